#include <gtest/gtest.h>

#include <string>

#include "c/enum.h"
#include "c/log_capture.h"

namespace {
constexpr enum_item kShow[] = {{3, "SW_SHOWMAXIMIZED"}, {2, "SW_SHOWMINIMIZED"}, {1, "SW_SHOWNORMAL"},
                               {1, "normal"}, {-7, "minus"}};
constexpr enum_list kList = {sizeof kShow / sizeof kShow[0], kShow};
}  // namespace

TEST(Enum, RoundTripsIgnoringCaseAndRefusesUnknowns) {
  for (const enum_item& it : kShow) {
    int v = 99;
    const char* name = nullptr;
    ASSERT_EQ(enum_from_str(&kList, it.name, &v), 0) << it.name;
    ASSERT_EQ(enum_to_str(&kList, v, &name), 0);
    EXPECT_STREQ(name, v == 1 ? "SW_SHOWNORMAL" : it.name);  // a value with two names gives the first
  }
  int v = 0;
  EXPECT_EQ(enum_from_str(&kList, "sw_ShowMaximized", &v), 0);
  EXPECT_EQ(v, 3);
  const char* name = "keep";
  enum_list broken = {3, nullptr};
  LogCapture log;
  EXPECT_EQ(enum_from_str(&kList, "SW_SHOW", &v), 9006);  // a prefix is no match
  EXPECT_EQ(enum_from_str(&kList, "", &v), 9006);
  EXPECT_EQ(enum_to_str(&kList, 5, &name), 9006);
  EXPECT_EQ(enum_from_str(&broken, "a", &v), 9003);
  EXPECT_EQ(v, 3);
  EXPECT_STREQ(name, "keep");
  EXPECT_TRUE(log.has(" 9006 ") && log.has("Enum string value [SW_SHOW] not found.")) << log.done();
}
