// The Path combo box over a path history: its list in history or alphabetical order, the
// text typed kept across a refill, the chosen entry's path.
#include "fm/win32/fpathcbx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(FpathCbx, OrdersAndSelection) {
  HWND cbx = CreateWindowA("COMBOBOX", "", CBS_DROPDOWN | WS_VSCROLL, 0, 0, 300, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(cbx, nullptr);
  pathl pl{};
  ASSERT_EQ(fpathlist_init(&pl), 0);
  for (const char* p : {"c:\\b", "C:\\a", "d:\\", "C:\\C"}) ASSERT_EQ(fpathlist_add(&pl, p), 0);
  auto items = [cbx] {
    std::string v;
    char b[256];
    for (int i = 0, n = (int)SendMessageA(cbx, CB_GETCOUNT, 0, 0); i < n; ++i)
      v += (SendMessageA(cbx, CB_GETLBTEXT, (WPARAM)i, (LPARAM)b), std::string(b) + " ");
    GetWindowTextA(cbx, b, sizeof b);
    return v + "| " + b;
  };
  const struct {
    int order, ignorecase;
    const char* want;
  } cases[] = {
      {FPATHCBX_HIST, 1, "C:\\C d:\\ C:\\a c:\\b | typed"},
      {FPATHCBX_ABC, 1, "C:\\a c:\\b C:\\C d:\\ | typed"},
      {FPATHCBX_ABC, 0, "C:\\C C:\\a c:\\b d:\\ | typed"},
  };
  fpathcbx c{};
  for (const auto& k : cases) {
    ASSERT_EQ(fpathcbx_init(&c, cbx, &pl, k.order, k.ignorecase), 0);
    SetWindowTextA(cbx, "typed");
    ASSERT_EQ(fpathcbx_refill(&c), 0);
    EXPECT_EQ(items(), k.want);
  }
  char buf[64], small[3];
  EXPECT_EQ(fpathcbx_sel_text(&c, buf, sizeof buf), 9006);  // nothing chosen
  SendMessageA(cbx, CB_SETCURSEL, 1, 0);
  ASSERT_EQ(fpathcbx_sel_text(&c, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "C:\\a");
  EXPECT_EQ(fpathcbx_sel_text(&c, small, sizeof small), 9005);
  EXPECT_EQ(fpathcbx_init(&c, cbx, &pl, 7, 1), 9003);
  fpathlist_free(&pl);
  DestroyWindow(cbx);
}
