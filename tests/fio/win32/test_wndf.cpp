// Window units against a real window whose own device context has a font and a mapping
// mode of its own, so characters, logical units and pixels all differ.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "c/log_capture.h"
#include "fio/wndf.h"

namespace {

struct OwnDcWindow {
  HWND wnd = nullptr;
  HFONT font = CreateFontA(-23, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Courier New");
  TEXTMETRICA tm = {};
  OwnDcWindow() {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;  // what is set in the context stays
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "wndf_test";
    RegisterClassA(&wc);
    wnd = CreateWindowA("wndf_test", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, wc.hInstance,
                        nullptr);
    HDC dc = GetDC(wnd);
    SelectObject(dc, font);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2, 4, nullptr);
    SetViewportExtEx(dc, 6, 2, nullptr);  // x times 3, y halved
    GetTextMetricsA(dc, &tm);
    ReleaseDC(wnd, dc);
  }
  ~OwnDcWindow() {
    if (wnd) DestroyWindow(wnd);
    DeleteObject(font);
  }
};

TEST(Wndf, Units) {
  OwnDcWindow w;
  ASSERT_TRUE(w.wnd && w.tm.tmAveCharWidth > 0 && w.tm.tmAveCharWidth != w.tm.tmHeight);
  const int cw = w.tm.tmAveCharWidth, ch = w.tm.tmHeight;
  const struct {
    const char* str;
    int rc, x, y;
  } cases[] = {
      {"12C", 0, 12 * cw, 12 * ch}, {"3c", 0, 3 * cw, 3 * ch}, {"10L", 0, 30, 5},
      {"10 px", 0, 30, 5},  // white space ends the number: logical units
      {"5p", 0, 5, 5}, {"0x", 0, 0, 0},  // zero is zero, whatever follows
      {"3x", 9003, 77, 77}, {"", 9003, 77, 77}, {"-3", 9003, 77, 77}, {"2147483648P", 9003, 77, 77},
  };
  for (const auto& c : cases) {
    LogCapture log;
    int x = 77, y = 77;
    EXPECT_EQ(wndf_x(w.wnd, c.str, &x), c.rc) << c.str;
    EXPECT_EQ(wndf_y(w.wnd, c.str, &y), c.rc) << c.str;
    EXPECT_TRUE(x == c.x && y == c.y) << c.str << ": " << x << ", " << y;
    if (c.rc) {
      EXPECT_TRUE(log.has(std::string("Invalid `str' [") + c.str + "].")) << log.got;
    }
  }
  // a count that fits, but not once multiplied by the width
  const std::string many = std::to_string(INT_MAX / cw + 1) + "C";
  LogCapture log;
  int v = 77;
  EXPECT_EQ(wndf_x(w.wnd, many.c_str(), &v), 9009);
  EXPECT_TRUE(v == 77 && log.has("Window unit out of range [" + many + "]")) << log.got;
}

TEST(Wndf, WindowGone) {
  OwnDcWindow w;
  DestroyWindow(w.wnd);
  LogCapture log;
  int v = 77;
  EXPECT_NE(wndf_x(w.wnd, "4C", &v), 0);
  EXPECT_TRUE(v == 77 && log.has("GetDC() failed - wnd: ")) << log.got;
  EXPECT_EQ(wndf_y(w.wnd, "4P", &v), 0) << "pixels need no window";
  EXPECT_EQ(v, 4);
  w.wnd = nullptr;
}

}  // namespace
