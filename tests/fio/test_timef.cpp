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

constexpr const char* kMon[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

struct tm mk(int y, int mon, int d, int h = 0, int mi = 0, int s = 0) {
  struct tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mon - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return t;
}

// Local now moved back by whole months, at 09:05:00 on day mday of that month.
struct tm months_ago(int n, int mday) {
  time_t t = time(nullptr);
  struct tm now = *localtime(&t);
  struct tm r = now;
  r.tm_mon -= n;
  r.tm_mday = 1;
  r.tm_hour = 12;
  mktime(&r);  // normalises month and year
  r.tm_mday = mday;
  r.tm_hour = 9;
  r.tm_min = 5;
  r.tm_sec = 0;
  return r;
}

void set_text(char** f, const char* s) {
  free(*f);
  *f = strdup(s);
}

struct Display {
  syscfg sc;
  Display() { syscfg_init(&sc); }
  ~Display() { syscfg_free(&sc); }
  std::string str(const struct tm& t, unsigned style, const char* usr = nullptr, int* rc = nullptr,
                  unsigned size = 128) {
    char buf[128] = "junk";
    int r = timef_to_str(&t, style, usr, &sc, buf, size);
    if (rc) *rc = r;
    return buf;
  }
};

TEST(TimefRecent, MonthsBack) {
  const struct tm now = mk(2026, 12, 7);
  const struct tm jan = mk(2026, 2, 10);
  const struct {
    struct tm t;
    const struct tm* now;
    bool want;
  } cases[] = {
      {mk(2026, 12, 31), &now, true},  {mk(2026, 7, 1), &now, true},    {mk(2026, 6, 7), &now, true},
      {mk(2026, 6, 6), &now, false},   {mk(2026, 5, 31), &now, false},  {mk(2025, 12, 7), &now, false},
      {mk(2027, 1, 1), &now, false},   {mk(2025, 9, 1), &jan, true},    {mk(2025, 8, 10), &jan, true},
      {mk(2025, 8, 9), &jan, false},   {mk(2024, 12, 31), &jan, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(timef_is_recent(&c.t, c.now), c.want) << c.t.tm_year + 1900 << "-" << c.t.tm_mon + 1 << "-"
                                                      << c.t.tm_mday;
}

TEST(TimefToStr, FixedStyles) {
  Display d;
  const struct tm old = mk(2021, 3, 4, 5, 6, 7);
  const struct {
    unsigned style;
    const char* usr;
    const char* want;
  } cases[] = {
      {TIMEF_ISO, nullptr, "2021-03-04"},
      {TIMEF_ISO_LONG, nullptr, "2021-03-04 05:06:07"},
      {TIMEF_LS, nullptr, "Mar 04  2021"},
      {TIMEF_LS_LONG, nullptr, "Mar 04 05:06:07 2021"},
      {TIMEF_USR, "%Y/%m/%d %%", "2021/03/04 %"},
  };
  for (const auto& c : cases) {
    int rc = -1;
    EXPECT_EQ(d.str(old, c.style, c.usr, &rc), c.want) << c.style;
    EXPECT_EQ(rc, 0);
  }
}

TEST(TimefToStr, RecentTimesShowTheClock) {
  Display d;
  const struct tm five = months_ago(5, 1), seven = months_ago(7, 28);
  EXPECT_EQ(d.str(five, TIMEF_LS), std::string(kMon[five.tm_mon]) + " 01 09:05");
  char iso[32];
  snprintf(iso, sizeof iso, "%02d-01 09:05", five.tm_mon + 1);
  EXPECT_EQ(d.str(five, TIMEF_ISO), iso);
  snprintf(iso, sizeof iso, "%s 28  %d", kMon[seven.tm_mon], seven.tm_year + 1900);
  EXPECT_EQ(d.str(seven, TIMEF_LS), iso);
  snprintf(iso, sizeof iso, "%d-%02d-28", seven.tm_year + 1900, seven.tm_mon + 1);
  EXPECT_EQ(d.str(seven, TIMEF_ISO), iso);
}

TEST(TimefToStr, Refusals) {
  Display d;
  const struct tm t = mk(2021, 3, 4, 5, 6, 7);
  struct tm bad = t;
  bad.tm_mon = 12;
  const struct {
    const struct tm* t;
    unsigned style;
    const char* usr;
    unsigned size;
    int rc;
    const char* msg;
  } cases[] = {
      {&t, TIMEF_USR, "", 128, 9003, "Invalid `usrfmt' []."},
      {&t, TIMEF_USR, nullptr, 128, 9003, "Invalid `usrfmt' [NUL]."},
      {&t, TIMEF_USR, "%Y %Q", 128, 9003, "Invalid `usrfmt' [%Y %Q]."},
      {&t, TIMEF_USR, "%Y %", 128, 9003, "Invalid `usrfmt' [%Y %]."},
      {&t, 7, nullptr, 128, 9003, "Invalid `tfmt' [7]."},
      {&bad, TIMEF_ISO_LONG, nullptr, 128, 9003, "Invalid `tm' - 2021-13-4"},
      {&t, TIMEF_ISO_LONG, nullptr, 19, 9005, "`strsize' too small [19]."},
      {&t, TIMEF_USR, "%Y", 4, 9005, "`strsize' too small [4]."},
  };
  for (const auto& c : cases) {
    LogCapture log;
    int rc = -1;
    EXPECT_EQ(d.str(*c.t, c.style, c.usr, &rc, c.size), "") << c.msg;
    EXPECT_EQ(rc, c.rc) << c.msg;
    EXPECT_TRUE(log.has(c.msg)) << log.got;
  }
  int rc = -1;
  EXPECT_EQ(d.str(t, TIMEF_ISO_LONG, nullptr, &rc, 20), "2021-03-04 05:06:07") << "exactly fits";
  EXPECT_EQ(d.str(t, TIMEF_USR, "%Y", &rc, 5), "2021");
  LogCapture log;
  char buf[8];
  EXPECT_EQ(timef_to_str(&t, TIMEF_ISO, nullptr, nullptr, buf, sizeof buf), 9003);
  EXPECT_TRUE(log.has("Invalid param - tm: ")) << log.got;
}

// The locale's side stands in here: it shows what it was asked for.
int fake_lc(unsigned what, const struct tm* t, const char* picture, char* buf, unsigned bufsize) {
  if (t->tm_year + 1900 < 1601) return 87;
  snprintf(buf, bufsize, "%u[%s]", what, picture ? picture : "-");
  return 0;
}

struct FakeLocale {
  timef_lc_fn prev = timef_set_lc(fake_lc);
  ~FakeLocale() { timef_set_lc(prev); }
};

TEST(TimefToStr, LocaleStyles) {
  FakeLocale fl;
  Display d;
  const struct tm t = mk(2021, 3, 4, 5, 6, 7);
  EXPECT_EQ(d.str(t, TIMEF_LC_SHORT), "0[-] 2[-]") << "no pictures: the locale's own";
  EXPECT_EQ(d.str(t, TIMEF_LC_LONG), "1[-], 3[-]");
  set_text(&d.sc.tf_shortdate, "d.M.yyyy");
  set_text(&d.sc.tf_longdate, "");
  set_text(&d.sc.tf_time, "HH:mm:ss");
  set_text(&d.sc.tf_dtsep, " at");
  EXPECT_EQ(d.str(t, TIMEF_LC_SHORT), "0[d.M.yyyy] 2[HH:mm:ss]");
  EXPECT_EQ(d.str(t, TIMEF_LC_LONG), "1[-] at 3[HH:mm:ss]");
  free(d.sc.tf_dtsep);
  d.sc.tf_dtsep = nullptr;
  EXPECT_EQ(d.str(t, TIMEF_LC_LONG), "1[-] 3[HH:mm:ss]");
  int rc = -1;
  EXPECT_EQ(d.str(t, TIMEF_LC_SHORT, nullptr, &rc, 23), "");
  EXPECT_EQ(rc, 9005);
  EXPECT_EQ(d.str(mk(1500, 1, 1), TIMEF_LC_SHORT, nullptr, &rc), "");
  EXPECT_EQ(rc, 87) << "the system's code comes back";
}

}  // namespace
