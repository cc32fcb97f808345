#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "c/log_capture.h"
#include "fio/dgrp.h"
#include "syscfg/syscfg.h"

namespace {

// A system configuration of the defaults, with the locale's texts replaced where given.
struct Env {
  syscfg sc;
  dgrp dg;
  explicit Env(const char* fmt = nullptr, const char* sep = nullptr, const char* dec = nullptr,
               const char* point = nullptr) {
    syscfg_init(&sc);
    replace(&sc.dgrp_fmt, fmt);
    replace(&sc.dgrp_grpsep, sep);
    replace(&sc.dgrp_decmark, dec);
    replace(&sc.lc_decpoint, point);
    dgrp_init(&dg, &sc);
  }
  ~Env() {
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
  static void replace(char** f, const char* s) {
    if (!s) return;
    free(*f);
    *f = strdup(s);
  }
  std::string fmt(const char* num, unsigned style, unsigned flags = 0, int* rc = nullptr) {
    char out[DGRP_ISTR_SIZE + 64];
    int r = dgrp_fmt(&dg, num, style, flags, &sc, out, sizeof out);
    if (rc) *rc = r;
    return out;
  }
  std::string size(uint64_t n, unsigned sizefmt, unsigned style, int* rc = nullptr) {
    char out[64];
    int r = fsz_str(n, sizefmt, &dg, style, &sc, out, sizeof out);
    if (rc) *rc = r;
    return out;
  }
};

TEST(Dgrp, FixedStyles) {
  const struct {
    const char* num;
    unsigned style, flags;
    const char* want;
  } cases[] = {
      {"1234567", DGRP_SI_EN, 0, "1 234 567"},
      {"-1234567.5", DGRP_SI_EN, 0, "-1 234 567.5"},
      {"1234567.5", DGRP_SI_FR, 0, "1 234 567,5"},
      {"1234567.5", DGRP_SI_FR, DGRP_F_NOGRP, "1234567,5"},
      {"123", DGRP_SI_EN, 0, "123"},
      {"1000", DGRP_SI_EN, 0, "1 000"},
      {"+100000", DGRP_SI_EN, 0, "+100 000"},
      {".25", DGRP_SI_FR, 0, ",25"},
      {"", DGRP_SI_EN, 0, ""},
      {"1234567", DGRP_LOCALE, 0, "1,234,567"},  // the defaults: "%*%3" and ","
  };
  Env e;
  for (const auto& c : cases) EXPECT_EQ(e.fmt(c.num, c.style, c.flags), c.want) << c.num << " style " << c.style;
}

TEST(Dgrp, LocaleAndInputMark) {
  // an Indian-style grouping, a dot between groups and a decimal comma
  Env e("%*%2%S%3", ".", ",");
  EXPECT_EQ(e.fmt("1234567890.75", DGRP_LOCALE), "1.23.45.67.890,75");
  EXPECT_EQ(e.fmt("-12345", DGRP_LOCALE), "-12.345");
  // a runtime writing a decimal comma: the comma is the mark read
  Env f(nullptr, nullptr, nullptr, ",");
  EXPECT_EQ(f.fmt("1234,5", DGRP_SI_EN), "1 234.5");
  EXPECT_EQ(f.fmt("1.5", DGRP_SI_EN), "1.5") << "a dot is then a character like any other";
}

TEST(Dgrp, UserFormats) {
  const struct {
    const char* fmt;
    const char* sep;
    const char* num;
    const char* want;
  } cases[] = {
      {"%3%S%2", "'", "1234567", "12345'67"},  // only the rightmost explicit group
      {"%*%3", ".-", "1234567", "1.-234.-567"},
      {"x%3", "", "1234", "1x234"},
      {"x%3", "", "123", "123"},  // nothing left of the first digit
      {"%*", ",", "1234567", "1234567"},  // a repeat without a group size
      {"%D%3", ",", "1234567", "1234567"},
      {"%*%3%Dxyz%0", ",", "1234567", "1,234,567"},
      {"%*%1", "", "1234", "1,2,3,4"},  // no separator given: the locale's
  };
  for (const auto& c : cases) {
    Env e;
    ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, c.fmt, c.sep, "!"), 0) << c.fmt;
    EXPECT_EQ(e.fmt(c.num, DGRP_USR), c.want) << c.fmt;
  }
  // separator and decimal mark not given: the locale's
  Env e(nullptr, "_", "~");
  ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(e.fmt("12345.5", DGRP_USR), "12_345~5");
  ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, "%2", nullptr, ":"), 0);
  EXPECT_EQ(e.fmt("12345.5", DGRP_USR), "12345:5") << "a later call replaces the mark";
}

TEST(Dgrp, BadFormats) {
  std::string big;
  for (int i = 0; i < 29; ++i) big += "%9";
  const struct {
    std::string fmt;
    int rc;
    std::string msg;
  } cases[] = {
      {"%0", 9003, "Invalid `fmt' - `%0', p: `%0'."},
      {"%*%3%x", 9003, "p: `%x'."},
      {"%%3", 9003, "Invalid `fmt' - `%%3', p: `%%3'."},
      {"%3%", 9003, "p: `%'."},
      {big, 9009, "`dfmt' size exceeded [256] - fmt: `" + big + "', p: `%9%9%9"},
  };
  for (const auto& c : cases) {
    Env e;
    ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, "%*%2", "'", nullptr), 0);
    LogCapture log;
    EXPECT_EQ(dgrp_set_usr(&e.dg, &e.sc, c.fmt.c_str(), ",", nullptr), c.rc) << c.fmt;
    EXPECT_TRUE(log.has(c.msg)) << log.got;
    EXPECT_EQ(e.fmt("123456", DGRP_USR), "12'34'56") << "a failed format keeps the earlier one";
  }
  // a bad locale format leaves that style without groups
  LogCapture log;
  Env e("%3%q");
  EXPECT_TRUE(log.has("p: `%q'.")) << log.got;
  EXPECT_EQ(e.fmt("1234567", DGRP_LOCALE), "1234567");
  EXPECT_EQ(e.fmt("1234567", DGRP_SI_EN), "1 234 567");
}

TEST(Dgrp, Limits) {
  Env e;
  // 255 characters at most
  std::string n200(200, '7'), n300(300, '7');
  int rc = -1;
  std::string got = e.fmt(n200.c_str(), DGRP_SI_EN, 0, &rc);
  EXPECT_EQ(rc, 9005);
  EXPECT_EQ(got, n200) << "a failure hands back the number as it was";
  EXPECT_EQ(e.fmt(n200.c_str(), DGRP_SI_EN, DGRP_F_NOGRP, &rc), n200);
  EXPECT_EQ(rc, 0);
  {
    LogCapture log;
    EXPECT_EQ(e.fmt(n300.c_str(), DGRP_SI_EN, DGRP_F_NOGRP, &rc), n300);
    EXPECT_EQ(rc, 9005);
    EXPECT_TRUE(log.has("`istr' too small [256] - num: `" + n300)) << log.got;
  }
  // the caller's buffer
  char small[5];
  EXPECT_EQ(dgrp_fmt(&e.dg, "1234567", DGRP_SI_EN, 0, &e.sc, small, sizeof small), 9005);
  EXPECT_STREQ(small, "1234");
  EXPECT_EQ(dgrp_fmt(&e.dg, "12345", DGRP_SI_EN, 0, &e.sc, small, sizeof small), 9005) << "\"12 345\"";
  LogCapture log;
  EXPECT_EQ(dgrp_fmt(nullptr, "1", 0, 0, &e.sc, small, sizeof small), 9003);
  EXPECT_EQ(dgrp_fmt(&e.dg, "1", DGRP_NSTYLES, 0, &e.sc, small, sizeof small), 9003);
  EXPECT_TRUE(log.has("`dgrp' is NUL.")) << log.got;
  EXPECT_TRUE(log.has("Invalid param - num: `1', style: 4,")) << log.got;
}

TEST(FszStr, Styles) {
  const struct {
    uint64_t size;
    unsigned sizefmt, style;
    const char* want;
  } cases[] = {
      {0, FSZ_K, DGRP_SI_EN, "0 KB"},
      {1, FSZ_K, DGRP_SI_EN, "1 KB"},
      {1024, FSZ_K, DGRP_SI_EN, "1 KB"},
      {1025, FSZ_K, DGRP_SI_EN, "2 KB"},
      {UINT64_MAX, FSZ_K, DGRP_SI_EN, "18 014 398 509 481 984 KB"},
      {1234567890, FSZ_B, DGRP_LOCALE, "1,234,567,890"},
      {500, FSZ_H, DGRP_SI_EN, "500B"},
      {1023, FSZ_H, DGRP_SI_EN, "1023B"},
      {1536, FSZ_H, DGRP_SI_EN, "1.5K"},
      {1536, FSZ_H, DGRP_SI_FR, "1,5K"},
      {1048575, FSZ_H, DGRP_SI_EN, "1024K"},  // 1024.0 is wider than four
      {1048576, FSZ_H, DGRP_SI_EN, "1.0M"},
      {11010048, FSZ_H, DGRP_SI_EN, "10.5M"},
      {1073741823, FSZ_H, DGRP_SI_EN, "1024M"},
      {1ull << 40, FSZ_H, DGRP_SI_EN, "1.0T"},
      {3ull << 50, FSZ_H, DGRP_SI_EN, "3.0P"},
      {UINT64_MAX, FSZ_H, DGRP_SI_EN, "16.0E"},
  };
  Env e;
  for (const auto& c : cases) {
    int rc = -1;
    EXPECT_EQ(e.size(c.size, c.sizefmt, c.style, &rc), c.want) << c.size;
    EXPECT_EQ(rc, 0);
  }
}

TEST(FszStr, Refusals) {
  Env e;
  char out[5] = "xxxx";
  {
    LogCapture log;
    EXPECT_EQ(fsz_str(1536, FSZ_H, &e.dg, DGRP_SI_EN, &e.sc, out, 4), 9005);
    EXPECT_TRUE(log.has("`str' too small - size: 4.")) << log.got;
  }
  EXPECT_STREQ(out, "");
  EXPECT_EQ(fsz_str(1536, FSZ_H, &e.dg, DGRP_SI_EN, &e.sc, out, 5), 0);
  EXPECT_STREQ(out, "1.5K");
  LogCapture log;
  EXPECT_EQ(fsz_str(1, 3, &e.dg, DGRP_SI_EN, &e.sc, out, sizeof out), 9003);
  EXPECT_EQ(fsz_str(1, FSZ_B, nullptr, DGRP_SI_EN, &e.sc, out, sizeof out), 9003);
  EXPECT_TRUE(log.has("`dgrp' is NUL.")) << log.got;
}

}  // namespace
