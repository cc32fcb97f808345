#include "fio/timef.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "c/log_capture.h"
#include "fio/intf.h"
#include "syscfg/syscfg.h"

namespace {

// Every expectation is absolute: US Eastern time with its daylight-saving rules.
struct EasternTime : ::testing::Environment {
  void SetUp() override {
    _putenv("TZ=EST5EDT");
    _tzset();
  }
};
const ::testing::Environment* const kTz = ::testing::AddGlobalTestEnvironment(new EasternTime);

long long utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return (era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468) * 86400 + h * 3600 + mi * 60 + s;
}
long long est(int y, int m, int d, int h = 0, int mi = 0) { return utc(y, m, d, h, mi) + 5 * 3600; }
long long edt(int y, int m, int d, int h = 0, int mi = 0) { return utc(y, m, d, h, mi) + 4 * 3600; }

const long long kRef = edt(2024, 7, 15, 10, 20) + 30;
const char* const kFmts = "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*";

struct Parsed {
  int rc;
  unsigned op;
  long long from, to;
};

class Timef : public ::testing::Test {
 protected:
  timef f{};
  void TearDown() override { timef_free(&f); }
  Parsed parse(const char* text, unsigned op = 0, long long ref = kRef) {
    time_t from = (time_t)ref, to = 12345;
    Parsed p{0, op, 0, 0};
    p.rc = timef_parse(&f, text, &p.op, &from, &to);
    p.from = from;
    p.to = to;
    return p;
  }
};

TEST_F(Timef, Prefixes) {
  const struct {
    unsigned flags;
    const char* text;
    int rc;
    unsigned op;  // the caller's 9 stays without a prefix
  } cases[] = {  // the signed forms are the console's (tests/e2e)
      {1, "<2017-02", 9003, 9}, {0, "2017-02", 0, 9},  {0, "<2017-02", 0, 1},     {0, "<=2017-02", 0, 2},
      {0, ">2017-02", 0, 3},    {0, ">=2017-02", 0, 4}, {0, "+2017-02", 9003, 9}, {0, "=2017-02", 9003, 9},
      {0, "<<2017-02", 9003, 1},
  };
  for (const auto& k : cases) {
    timef_free(&f);
    ASSERT_EQ(timef_init(&f, k.flags, kFmts), 0);
    Parsed p = parse(k.text, 9);
    EXPECT_EQ(p.rc, k.rc) << k.text;
    EXPECT_EQ(p.op, k.op) << k.text;
    if (p.rc) continue;
    EXPECT_EQ(p.from, est(2017, 2, 1)) << k.text;
    EXPECT_EQ(p.to, est(2017, 3, 1)) << k.text;
  }
  EXPECT_EQ(parse("-2017-02-10").rc, 9003) << "no '-' prefix in the relational form";
}

TEST_F(Timef, TheFormatList) {
  ASSERT_EQ(timef_init(&f, 1, "iso-d-e-ccyy_mm_dd"), 0);
  EXPECT_EQ(parse("2017-02-10").rc, 0);
  EXPECT_EQ(parse("2017-02").rc, 9003);
  ASSERT_EQ(timef_init(&f, 0, "iso-d-e-ccyy_mm"), 0);  // a second init replaces the list
  EXPECT_EQ(parse("2017-02").rc, 0);
  EXPECT_EQ(parse("2017-02-10").rc, 9003);
  ASSERT_EQ(timef_init(&f, 1, nullptr), 0);
  EXPECT_EQ(parse("2017-02").rc, 9003) << "no formats, no match";
  LogCapture log;
  EXPECT_NE(timef_init(&f, 1, ""), 0) << "an empty list is no list";
}

TEST_F(Timef, Refusals) {
  ASSERT_EQ(timef_init(&f, 1, kFmts), 0);
  EXPECT_EQ(parse("").rc, 9003);
  EXPECT_EQ(parse("+").rc, 9003);
  LogCapture log;
  unsigned op = 0;
  time_t from = (time_t)kRef, to = 0;
  EXPECT_EQ(timef_init(nullptr, 1, kFmts), 9003);
  EXPECT_EQ(timef_parse(&f, nullptr, &op, &from, &to), 9003);
  EXPECT_EQ(timef_parse(&f, "2017-02", &op, &from, nullptr), 9003);
  for (const char* m : {"`timef' is NUL.", "Invalid param - timef: ", "str: `NUL'"}) EXPECT_TRUE(log.has(m)) << log.got;
}

}  // namespace

// --- display ------------------------------------------------------------------

namespace {

struct tm mk(int y, int mon, int d, int h = 5, int mi = 6, int s = 7) {
  struct tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mon - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return t;
}

// The locale's side stands in here: it shows what it was asked for.
int fake_lc(unsigned what, const struct tm* t, const char* picture, char* buf, unsigned bufsize) {
  if (t->tm_year + 1900 < 1601) return 87;
  snprintf(buf, bufsize, "%u[%s]", what, picture ? picture : "-");
  return 0;
}

std::string show(const struct tm& t, unsigned style, const char* usr = nullptr, int* rc = nullptr,
                 unsigned size = 64) {
  timef_lc_fn prev = timef_set_lc(fake_lc);
  syscfg sc;
  syscfg_init(&sc);
  sc.tf_shortdate = strdup("d.M.yyyy");
  sc.tf_longdate = strdup("");  // no picture: the locale's own
  char buf[64] = "junk";
  int r = timef_to_str(&t, style, usr, &sc, buf, size);
  syscfg_free(&sc);
  timef_set_lc(prev);
  if (rc) *rc = r;
  return buf;
}

TEST(TimefToStr, RecentRule) {
  const struct tm now = mk(2026, 12, 7), feb = mk(2026, 2, 10);
  const struct {
    struct tm t;
    const struct tm* now;
    bool want;
  } cases[] = {
      {mk(2026, 12, 31), &now, true}, {mk(2026, 6, 7), &now, true},  {mk(2026, 6, 6), &now, false},
      {mk(2027, 1, 1), &now, false},  {mk(2025, 8, 10), &feb, true}, {mk(2025, 8, 9), &feb, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(timef_is_recent(&c.t, c.now), c.want) << c.t.tm_year << "-" << c.t.tm_mon << "-" << c.t.tm_mday;

  // against the real now: five months back shows the clock, seven the year
  static constexpr const char* kMon[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  time_t now_t = time(nullptr);
  struct tm five = *localtime(&now_t);
  five.tm_mday = 1;
  five.tm_hour = 12;  // clear of any daylight-saving shift
  five.tm_isdst = -1;
  struct tm seven = five;
  five.tm_mon -= 5;
  seven.tm_mon -= 7;
  mktime(&five);
  mktime(&seven);
  five.tm_hour = 9;
  five.tm_min = 5;
  char want[4][32];
  snprintf(want[0], 32, "%s 01 09:05", kMon[five.tm_mon]);
  snprintf(want[1], 32, "%s 01  %d", kMon[seven.tm_mon], seven.tm_year + 1900);
  snprintf(want[2], 32, "%02d-01 09:05", five.tm_mon + 1);
  snprintf(want[3], 32, "%d-%02d-01", seven.tm_year + 1900, seven.tm_mon + 1);
  EXPECT_EQ(show(five, TIMEF_LS) + show(seven, TIMEF_LS), std::string(want[0]) + want[1]);
  EXPECT_EQ(show(five, TIMEF_ISO) + show(seven, TIMEF_ISO), std::string(want[2]) + want[3]);
}

TEST(TimefToStr, StylesAndRefusals) {
  struct tm bad = mk(2021, 3, 4);
  bad.tm_mon = 12;
  const struct {
    struct tm t;
    unsigned style;
    const char* usr;
    unsigned size;
    int rc;
    const char* want;  // the text, or the message on failure
  } cases[] = {
      {mk(2021, 3, 4), TIMEF_ISO, nullptr, 64, 0, "2021-03-04"},
      {mk(2021, 3, 4), TIMEF_ISO_LONG, nullptr, 20, 0, "2021-03-04 05:06:07"},
      {mk(2021, 3, 4), TIMEF_LS, nullptr, 64, 0, "Mar 04  2021"},
      {mk(2021, 3, 4), TIMEF_LS_LONG, nullptr, 64, 0, "Mar 04 05:06:07 2021"},
      {mk(2021, 3, 4), TIMEF_USR, "%Y/%m %%", 64, 0, "2021/03 %"},
      {mk(2021, 3, 4), TIMEF_LC_SHORT, nullptr, 64, 0, "0[d.M.yyyy] 2[-]"},
      {mk(2021, 3, 4), TIMEF_LC_LONG, nullptr, 64, 0, "1[-], 3[-]"},  // the default text after the date
      {mk(1500, 3, 4), TIMEF_LC_LONG, nullptr, 64, 87, ""},  // the system's code
      {mk(2021, 3, 4), TIMEF_LC_SHORT, nullptr, 16, 9005, "`strsize' too small [16]."},
      {mk(2021, 3, 4), TIMEF_ISO_LONG, nullptr, 19, 9005, "`strsize' too small [19]."},
      {mk(2021, 3, 4), TIMEF_USR, nullptr, 64, 9003, "Invalid `usrfmt' [NUL]."},
      {mk(2021, 3, 4), TIMEF_USR, "%Y %Q", 64, 9003, "Invalid `usrfmt' [%Y %Q]."},
      {mk(2021, 3, 4), 7, nullptr, 64, 9003, "Invalid `tfmt' [7]."},
      {bad, TIMEF_ISO_LONG, nullptr, 64, 9003, "Invalid `tm' - 2021-13-4"},
  };
  for (const auto& c : cases) {
    LogCapture log;
    int rc = -1;
    std::string got = show(c.t, c.style, c.usr, &rc, c.size);
    EXPECT_EQ(rc, c.rc) << c.want;
    if (rc) {
      EXPECT_TRUE(got.empty() && log.has(c.want)) << got << log.got;
    } else {
      EXPECT_EQ(got, c.want);
    }
  }
}

}  // namespace
