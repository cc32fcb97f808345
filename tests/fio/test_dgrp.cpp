#include <gtest/gtest.h>

#include <string>

#include "c/log_capture.h"
#include "fio/dgrp.h"
#include "syscfg/syscfg.h"

namespace {

// The default system configuration, the locale's grouping, separator and decimal mark
// and the runtime's decimal point replaced where given.
struct Env {
  syscfg sc;
  dgrp dg;
  explicit Env(const char* fmt = nullptr, const char* sep = nullptr, const char* dec = nullptr,
               const char* pt = nullptr) {
    syscfg_init(&sc);
    char** f[] = {&sc.dgrp_fmt, &sc.dgrp_grpsep, &sc.dgrp_decmark, &sc.lc_decpoint};
    const char* v[] = {fmt, sep, dec, pt};
    for (int i = 0; i < 4; ++i) {
      if (!v[i]) continue;
      free(*f[i]);
      *f[i] = strdup(v[i]);
    }
    dgrp_init(&dg, &sc);
  }
  ~Env() {
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
  std::string fmt(const std::string& num, unsigned style, unsigned flags = 0, int* rc = nullptr, unsigned size = 512) {
    char out[512];
    int r = dgrp_fmt(&dg, num.c_str(), style, flags, &sc, out, size);
    if (rc) *rc = r;
    return out;
  }
};

TEST(Dgrp, Styles) {
  const struct {
    const char* num;
    unsigned style, flags;
    const char* want;
  } fixed[] = {
      {"1234567", DGRP_SI_EN, 0, "1 234 567"},       {"-1234567.5", DGRP_SI_EN, 0, "-1 234 567.5"},
      {"1234567.5", DGRP_SI_FR, 0, "1 234 567,5"},   {"1234567.5", DGRP_SI_FR, DGRP_F_NOGRP, "1234567,5"},
      {"1234567", DGRP_LOCALE, 0, "1,234,567"},
  };
  Env e;
  for (const auto& c : fixed) EXPECT_EQ(e.fmt(c.num, c.style, c.flags), c.want) << c.num;

  const struct {
    const char *fmt, *sep, *dec, *num, *want;
  } usr[] = {
      {"%3%S%2", "'", "!", "1234567.5", "12345'67!5"},  // only the rightmost group
      {"%*%3", ".-", nullptr, "1234567", "1.-234.-567"},
      {"x%3", nullptr, nullptr, "123", "123"},  // nothing left of the first digit
      {"%*", nullptr, nullptr, "1234567", "1234567"},  // a repeat needs a group size
      {"%*%2", "", "", "12345.5", "1,23,45.5"},  // empty: the locale's separator and mark
  };
  for (const auto& c : usr) {
    ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, c.fmt, c.sep, c.dec), 0);
    EXPECT_EQ(e.fmt(c.num, DGRP_USR), c.want) << c.fmt;
  }
  Env in("%*%2%S%3", ".", ",", ",");  // a runtime writing decimal commas
  EXPECT_EQ(in.fmt("1234567890,75", DGRP_LOCALE), "1.23.45.67.890,75");
  EXPECT_EQ(in.fmt("1234,5", DGRP_SI_EN), "1 234.5");
}

TEST(Dgrp, Refusals) {
  std::string big;
  for (int i = 0; i < 29; ++i) big += "%9";
  const struct {
    std::string fmt;
    int rc;
    std::string msg;
  } cases[] = {
      {"%0", 9003, "Invalid `fmt' - `%0', p: `%0'."},
      {"%*%3%x", 9003, "p: `%x'."},
      {"%3%", 9003, "p: `%'."},
      {big, 9009, "`dfmt' size exceeded [256] - fmt: `" + big + "', p: `%9%9%9"},
  };
  for (const auto& c : cases) {
    Env e(c.fmt.c_str());
    ASSERT_EQ(dgrp_set_usr(&e.dg, &e.sc, "%*%2", "'", nullptr), 0);
    LogCapture log;
    EXPECT_EQ(dgrp_set_usr(&e.dg, &e.sc, c.fmt.c_str(), ",", nullptr), c.rc) << c.fmt;
    EXPECT_TRUE(log.has(c.msg)) << log.got;
    EXPECT_EQ(e.fmt("123456", DGRP_USR), "12'34'56") << "the earlier user format stays";
    EXPECT_EQ(e.fmt("123456", DGRP_LOCALE), "123456") << "a bad locale format groups nothing";
  }
  Env e;
  const std::string n200(200, '7'), n300(300, '7');
  int rc = 0;
  LogCapture log;
  EXPECT_TRUE(e.fmt(n200, DGRP_SI_EN, 0, &rc) == n200 && rc == 9005) << "266 characters: the number as it was";
  EXPECT_TRUE(e.fmt(n300, DGRP_SI_EN, DGRP_F_NOGRP, &rc) == n300 && rc == 9005);
  EXPECT_TRUE(log.has("`istr' too small [256] - num: `" + n300)) << log.got;
  EXPECT_TRUE(e.fmt("12345", DGRP_SI_EN, 0, &rc, 6) == "12345" && rc == 9005) << "\"12 345\" does not fit";
}

TEST(FszStr, Styles) {
  const struct {
    uint64_t size;
    unsigned sizefmt, style;
    const char* want;
  } cases[] = {
      {1024, FSZ_K, DGRP_SI_EN, "1 KB"},    {1025, FSZ_K, DGRP_SI_EN, "2 KB"},
      {UINT64_MAX, FSZ_K, DGRP_SI_EN, "18 014 398 509 481 984 KB"},
      {1234567890, FSZ_B, DGRP_LOCALE, "1,234,567,890"},
      {500, FSZ_H, DGRP_SI_EN, "500B"},     {1536, FSZ_H, DGRP_SI_EN, "1.5K"},
      {1536, FSZ_H, DGRP_SI_FR, "1,5K"},    {1048575, FSZ_H, DGRP_SI_EN, "1024K"},
      {11010048, FSZ_H, DGRP_SI_EN, "10.5M"}, {UINT64_MAX, FSZ_H, DGRP_SI_EN, "16.0E"},
  };
  Env e;
  char out[64];
  for (const auto& c : cases) {
    EXPECT_EQ(fsz_str(c.size, c.sizefmt, &e.dg, c.style, &e.sc, out, sizeof out), 0);
    EXPECT_STREQ(out, c.want) << c.size;
  }
  LogCapture log;
  EXPECT_EQ(fsz_str(1536, FSZ_H, &e.dg, DGRP_SI_EN, &e.sc, out, 4), 9005);
  EXPECT_TRUE(log.has("`str' too small - size: 4.")) << log.got;
}

}  // namespace
