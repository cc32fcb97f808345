// Window units against a real window: its own device context with a font and a mapping
// mode of its own, so characters and logical units differ from pixels.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "c/log_capture.h"
#include "fio/wndf.h"

namespace {

LRESULT CALLBACK plain_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

struct OwnDcWindow {
  HWND wnd = nullptr;
  HFONT font = nullptr;
  TEXTMETRICA tm = {};
  OwnDcWindow() {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = plain_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "wndf_test";
    RegisterClassA(&wc);
    wnd = CreateWindowA("wndf_test", "wndf", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                        wc.hInstance, nullptr);
    if (!wnd) return;
    HDC dc = GetDC(wnd);  // the window's own: what is set here stays
    font = CreateFontA(-23, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Courier New");
    SelectObject(dc, font);
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 2, 4, nullptr);
    SetViewportExtEx(dc, 6, 2, nullptr);  // x times 3, y halved
    GetTextMetricsA(dc, &tm);
    ReleaseDC(wnd, dc);
  }
  ~OwnDcWindow() {
    if (wnd) DestroyWindow(wnd);
    if (font) DeleteObject(font);
  }
};

TEST(Wndf, Units) {
  OwnDcWindow w;
  ASSERT_NE(w.wnd, nullptr);
  ASSERT_GT(w.tm.tmAveCharWidth, 0);
  ASSERT_NE(w.tm.tmAveCharWidth, w.tm.tmHeight) << "the two axes must be told apart";
  const struct {
    const char* str;
    int x, y;
  } cases[] = {
      {"12C", 12 * (int)w.tm.tmAveCharWidth, 12 * (int)w.tm.tmHeight},
      {"3c", 3 * (int)w.tm.tmAveCharWidth, 3 * (int)w.tm.tmHeight},
      {"10L", 30, 5},
      {"10l", 30, 5},
      {"10", 30, 5},
      {"10 px", 30, 5},  // white space ends the number: logical units
      {"5p", 5, 5},
      {"5P", 5, 5},
      {"0", 0, 0},
      {"0x", 0, 0},  // zero is zero, whatever follows
  };
  for (const auto& c : cases) {
    int x = -1, y = -1;
    EXPECT_EQ(wndf_x(w.wnd, c.str, &x), 0) << c.str;
    EXPECT_EQ(wndf_y(w.wnd, c.str, &y), 0) << c.str;
    EXPECT_EQ(x, c.x) << c.str;
    EXPECT_EQ(y, c.y) << c.str;
  }
}

TEST(Wndf, Refusals) {
  OwnDcWindow w;
  ASSERT_NE(w.wnd, nullptr);
  const char* bad[] = {"3x", "3.5C", "C", "", " 3", "-3", "+3", "99999999999P", "2147483648C"};
  for (const char* s : bad) {
    LogCapture log;
    int v = 77;
    EXPECT_EQ(wndf_x(w.wnd, s, &v), 9003) << s;
    EXPECT_EQ(v, 77) << s;
    EXPECT_TRUE(log.has(std::string("Invalid `str' [") + s + "].")) << log.got;
  }
  {
    // a count that fits, but not once multiplied by the width
    const std::string many = std::to_string(INT_MAX / w.tm.tmAveCharWidth + 1) + "C";
    LogCapture log;
    int v = 77;
    EXPECT_EQ(wndf_x(w.wnd, many.c_str(), &v), 9009) << many;
    EXPECT_EQ(v, 77);
    EXPECT_TRUE(log.has("Window unit out of range [" + many + "]")) << log.got;
  }
  LogCapture log;
  int v = 77;
  EXPECT_EQ(wndf_y(w.wnd, nullptr, &v), 9003);
  EXPECT_TRUE(log.has("Invalid param - wnd: ")) << log.got;
}

TEST(Wndf, DeviceContextFailure) {
  // a window that is gone has no device context
  OwnDcWindow w;
  ASSERT_NE(w.wnd, nullptr);
  HWND gone = w.wnd;
  DestroyWindow(w.wnd);
  w.wnd = nullptr;
  LogCapture log;
  int v = 77;
  int rc = wndf_x(gone, "4C", &v);
  EXPECT_NE(rc, 0);
  EXPECT_EQ(v, 77);
  EXPECT_TRUE(log.has("GetDC() failed - wnd: ")) << log.got;
  int p = 0;
  EXPECT_EQ(wndf_x(gone, "4P", &p), 0) << "pixels need no window";
  EXPECT_EQ(p, 4);
}

}  // namespace
