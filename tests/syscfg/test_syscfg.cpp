#include <gtest/gtest.h>

#include <string>

#include "c/log_capture.h"
#include "syscfg/syscfg.h"

namespace {

TEST(Syscfg, GroupingConversion) {
  std::string g32 = "9";
  for (int i = 1; i < 32; ++i) g32 += ";9";
  const struct {
    std::string sg;
    unsigned size;
    int rc;
    const char* want;  // the format, or the message on failure
  } cases[] = {
      {"3;0", 256, 0, "%*%3"},
      {"3;2;0", 256, 0, "%*%2%S%3"},
      {"3", 256, 0, "%S%3"},  // one group, then digits without separators
      {"3;0;0", 256, 0, "%S%3"},  // cut before the first two zeros
      {"3;0;2", 256, 0, "%S%2%*%3"},
      {"", 256, 9013, "Not supported SGROUPING - `', sp: `'."},
      {"12;0", 256, 9013, "sp: `2;0'."},
      {g32 + ";9", 256, 9009, "`sn' size exceeded [32]."},
      {g32, 128, 9005, "`dgrpfmt' too small - size: 128."},  // 32 times "%S%9" and the zero
  };
  for (const auto& c : cases) {
    LogCapture log;
    char out[256] = "junk";
    EXPECT_EQ(syscfg_dgrpfmt(c.sg.c_str(), out, c.size), c.rc) << c.sg;
    if (c.rc) {
      EXPECT_TRUE(!*out && log.has(c.want)) << out << log.got;
    } else {
      EXPECT_STREQ(out, c.want) << c.sg;
    }
  }
}

TEST(Syscfg, DefaultsAndKeyboard) {
  syscfg sc;
  ASSERT_EQ(syscfg_init(&sc), 0);
  EXPECT_EQ(std::string(sc.dgrp_fmt) + sc.dgrp_grpsep + sc.dgrp_decmark + sc.tf_dtsep + sc.lc_decpoint, "%*%3,.,.");
  EXPECT_EQ(sc.tf_shortdate, nullptr);
  syscfg_free(&sc);

  const struct {
    const char* text;
    unsigned delay, period;  // 7: refused, unchanged
  } cases[] = {{"0", 250, 500}, {"3", 1000, 455}, {" 2 ", 750, 470}, {"31", 7, 35},
               {"32", 7, 7},    {"x", 7, 7},      {"99999999999999999999", 7, 7}};
  for (const auto& c : cases) {
    unsigned d = 7, p = 7;
    EXPECT_EQ(syscfg_kbd_delay(c.text, &d), c.delay == 7 ? 9003 : 0) << c.text;
    EXPECT_EQ(syscfg_kbd_period(c.text, &p), c.period == 7 ? 9003 : 0) << c.text;
    EXPECT_EQ(d, c.delay) << c.text;
    EXPECT_EQ(p, c.period) << c.text;
  }
}

}  // namespace
