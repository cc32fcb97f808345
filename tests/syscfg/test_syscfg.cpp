#include <gtest/gtest.h>

#include <string>

#include "c/log_capture.h"
#include "fio/dgrp.h"
#include "syscfg/syscfg.h"

namespace {

std::string conv(const char* sg, int* rc, unsigned size = 256) {
  char out[256] = "junk";
  *rc = syscfg_dgrpfmt(sg, out, size);
  return out;
}

TEST(SyscfgDgrpfmt, Groupings) {
  const struct {
    const char* sg;
    const char* want;
  } cases[] = {
      {"3;0", "%*%3"},
      {"3;2;0", "%*%2%S%3"},
      {"3", "%S%3"},       // one group, the rest without separators
      {"0", ""},
      {"3;0;0", "%S%3"},   // cut before the first two zeros
      {"0;0", ""},
      {"4;0;0;2", "%S%4"},
      {"3;0;2", "%S%2%*%3"},
      {"1;2;3;0", "%*%3%S%2%S%1"},
  };
  for (const auto& c : cases) {
    int rc = -1;
    EXPECT_EQ(conv(c.sg, &rc), c.want) << c.sg;
    EXPECT_EQ(rc, 0) << c.sg;
  }
}

TEST(SyscfgDgrpfmt, ConvertedFormatsGroup) {
  const struct {
    const char* sg;
    const char* want;
  } cases[] = {
      {"3;0", "1,234,567,890"},
      {"3;2;0", "1,23,45,67,890"},
      {"3", "1234567,890"},
      {"0", "1234567890"},
  };
  for (const auto& c : cases) {
    syscfg sc;
    syscfg_init(&sc);
    char buf[64];
    ASSERT_EQ(syscfg_dgrpfmt(c.sg, buf, sizeof buf), 0);
    free(sc.dgrp_fmt);
    sc.dgrp_fmt = strdup(buf);
    dgrp dg;
    ASSERT_EQ(dgrp_init(&dg, &sc), 0) << c.sg;
    char out[64];
    EXPECT_EQ(dgrp_fmt(&dg, "1234567890", DGRP_LOCALE, 0, &sc, out, sizeof out), 0);
    EXPECT_STREQ(out, c.want) << c.sg;
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
}

TEST(SyscfgDgrpfmt, Refusals) {
  const struct {
    const char* sg;
    int rc;
    const char* msg;
  } cases[] = {
      {"", 9013, "Not supported SGROUPING - `', sp: `'."},
      {"3;", 9013, "Not supported SGROUPING - `3;', sp: `'."},
      {"3;x", 9013, "sp: `x'."},
      {"12;0", 9013, "sp: `2;0'."},
      {"3,0", 9013, "sp: `,0'."},
      {"-3;0", 9013, "sp: `-3;0'."},
      {"3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3;3", 9009, "`sn' size exceeded [32]."},
  };
  for (const auto& c : cases) {
    LogCapture log;
    int rc = -1;
    EXPECT_EQ(conv(c.sg, &rc), "") << c.sg;
    EXPECT_EQ(rc, c.rc) << c.sg;
    EXPECT_TRUE(log.has(c.msg)) << log.got;
  }
  // 32 entries are allowed, but their format needs room
  const char* g32 = "9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9;9";
  int rc = -1;
  EXPECT_EQ(conv(g32, &rc).size(), 128u);
  EXPECT_EQ(rc, 0);
  LogCapture log;
  EXPECT_EQ(conv(g32, &rc, 128), "");
  EXPECT_EQ(rc, 9005);
  EXPECT_TRUE(log.has("`dgrpfmt' too small - size: 128.")) << log.got;
}

TEST(Syscfg, DefaultsAndKeyboard) {
  syscfg sc;
  ASSERT_EQ(syscfg_init(&sc), 0);
  EXPECT_STREQ(sc.dgrp_fmt, "%*%3");
  EXPECT_STREQ(sc.dgrp_grpsep, ",");
  EXPECT_STREQ(sc.dgrp_decmark, ".");
  EXPECT_STREQ(sc.tf_dtsep, ",");
  EXPECT_STREQ(sc.lc_decpoint, ".");
  EXPECT_EQ(sc.tf_shortdate, nullptr);
  EXPECT_EQ(sc.tf_time, nullptr);
  syscfg_free(&sc);
  EXPECT_EQ(sc.dgrp_fmt, nullptr);

  const struct {
    const char* text;
    int delay_rc;
    unsigned delay;
    int period_rc;
    unsigned period;
  } cases[] = {
      {"0", 0, 250, 0, 500}, {"1", 0, 500, 0, 485}, {"3", 0, 1000, 0, 455}, {" 2 ", 0, 750, 0, 470},
      {"31", 9003, 7, 0, 35}, {"32", 9003, 7, 9003, 7}, {"x", 9003, 7, 9003, 7}, {"", 9003, 7, 9003, 7},
      {"-1", 9003, 7, 9003, 7}, {"99999999999999999999", 9003, 7, 9003, 7},
  };
  for (const auto& c : cases) {
    unsigned d = 7, p = 7;
    EXPECT_EQ(syscfg_kbd_delay(c.text, &d), c.delay_rc) << c.text;
    EXPECT_EQ(d, c.delay) << c.text;
    EXPECT_EQ(syscfg_kbd_period(c.text, &p), c.period_rc) << c.text;
    EXPECT_EQ(p, c.period) << c.text;
  }
}

}  // namespace
