// The Path combo box over a path history: its list in history or alphabetical order, the
// text typed kept across a refill, the chosen entry's path.
#include "fm/win32/fpathcbx.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Box : testing::Test {
  HWND cbx = nullptr;
  pathl pl{};
  fpathcbx c{};
  void SetUp() override {
    cbx = CreateWindowA("COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0, 0, 300, 200, nullptr, nullptr,
                        GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(cbx, nullptr);
    ASSERT_EQ(fpathlist_init(&pl), 0);
    for (const char* p : {"c:\\b", "C:\\a", "d:\\", "C:\\C"}) ASSERT_EQ(fpathlist_add(&pl, p), 0);
  }
  void TearDown() override {
    fpathcbx_free(&c);
    fpathlist_free(&pl);
    DestroyWindow(cbx);
  }
  std::vector<std::string> items() {
    std::vector<std::string> v;
    const int n = (int)SendMessageA(cbx, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
      char b[256] = "";
      SendMessageA(cbx, CB_GETLBTEXT, (WPARAM)i, (LPARAM)b);
      v.push_back(b);
    }
    return v;
  }
  std::string text() {
    char b[256] = "";
    GetWindowTextA(cbx, b, sizeof b);
    return b;
  }
};

TEST_F(Box, Orders) {
  const struct {
    int order, ignorecase;
    std::vector<std::string> want;
  } cases[] = {
      {FPATHCBX_HIST, 1, {"C:\\C", "d:\\", "C:\\a", "c:\\b"}},
      {FPATHCBX_ABC, 1, {"C:\\a", "c:\\b", "C:\\C", "d:\\"}},
      {FPATHCBX_ABC, 0, {"C:\\C", "C:\\a", "c:\\b", "d:\\"}},
  };
  for (const auto& k : cases) {
    ASSERT_EQ(fpathcbx_init(&c, cbx, &pl, k.order, k.ignorecase), 0);
    SetWindowTextA(cbx, "typed");
    ASSERT_EQ(fpathcbx_refill(&c), 0);
    EXPECT_EQ(items(), k.want) << k.order << k.ignorecase;
    EXPECT_EQ(text(), "typed");
  }
  // a path used again moves to the front at the next fill
  ASSERT_EQ(fpathcbx_init(&c, cbx, &pl, FPATHCBX_HIST, 1), 0);
  ASSERT_EQ(fpathlist_add(&pl, "c:\\b"), 0);
  ASSERT_EQ(fpathcbx_refill(&c), 0);
  EXPECT_EQ(items().front(), "c:\\b");
  EXPECT_EQ(items().size(), 4u);
}

TEST_F(Box, Selection) {
  ASSERT_EQ(fpathcbx_init(&c, cbx, &pl, FPATHCBX_ABC, 1), 0);
  ASSERT_EQ(fpathcbx_refill(&c), 0);
  char buf[64];
  EXPECT_EQ(fpathcbx_sel_text(&c, buf, sizeof buf), 9006);  // nothing chosen
  SendMessageA(cbx, CB_SETCURSEL, 2, 0);
  ASSERT_EQ(fpathcbx_sel_text(&c, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "C:\\C");
  char small[3];
  EXPECT_EQ(fpathcbx_sel_text(&c, small, sizeof small), 9005);
  EXPECT_STREQ(small, "C:");
  EXPECT_EQ(fpathcbx_init(&c, cbx, &pl, 7, 1), 9003);
}

}  // namespace
