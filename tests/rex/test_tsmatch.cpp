#include "rex/tsmatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "err/err.h"
#include "rex/tsm_logcap.h"
#include "rex/rexmatch.h"

namespace {

// All expectations are absolute: the tests run in US Eastern time with its
// daylight-saving rules (second Sunday of March to first Sunday of November).
class EasternTime : public ::testing::Environment {
 public:
  void SetUp() override {
#ifdef _WIN32
    _putenv("TZ=EST5EDT");
    _tzset();
#else
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
    tzset();
#endif
  }
};
const ::testing::Environment* const kTz = ::testing::AddGlobalTestEnvironment(new EasternTime);

// Seconds since 1970 of a UTC calendar time (days from the civil date).
long long utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400;
  long long yoe = y - era * 400;
  long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  long long days = era * 146097 + doe - 719468;
  return days * 86400 + h * 3600 + mi * 60 + s;
}
// Local Eastern times: standard (UTC-5) and daylight (UTC-4).
long long est(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return utc(y, m, d, h, mi, s) + 5 * 3600; }
long long edt(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return utc(y, m, d, h, mi, s) + 4 * 3600; }

// The reference ("now") of the tests: Monday 2024-07-15 10:20:30 daylight time.
const long long kRef = edt(2024, 7, 15, 10, 20, 30);

const char* const kDefault = "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*";

class Tsm : public ::testing::Test {
 protected:
  void SetUp() override { tsm_clear(&ts_); }
  void TearDown() override { tsm_free(&ts_); }
  int init(const char* fmts) {
    tsm_free(&ts_);
    return tsm_init(&ts_, fmts);
  }
  // match with the test reference; ft and tt receive the range
  int match(const char* s, long long ref = kRef) {
    time_t f = (time_t)ref, t = 0;
    err_ = -1;
    int m = tsm_match(&ts_, s, &f, &t, &err_);
    ft_ = f;
    tt_ = t;
    return m;
  }
  std::vector<std::string> names() const {
    std::vector<std::string> v;
    for (unsigned i = 0; i < tsm_count(&ts_); i++) {
      const char* n = nullptr;
      tsm_fmt(&ts_, i, &n);
      v.push_back(n ? n : "?");
    }
    return v;
  }
  tsm ts_;
  long long ft_ = 0, tt_ = 0;
  int err_ = 0;
};

struct Example {
  const char* name;
  const char* text;
  long long from;
  long long len;  // tt - ft
};

constexpr long long kDay = 86400;

// One example for every name of the table, read against kRef.
const Example kExamples[] = {
    {"iso-d-e-ccyy_mm_dd", "2024-03-15", edt(2024, 3, 15), kDay},
    {"iso-d-e-ccyy_mm", "2024-02", est(2024, 2, 1), 29 * kDay},
    {"iso-d-e-ccyy", "2023", est(2023, 1, 1), 365 * kDay},
    {"iso-d-e-cc", "20", est(2000, 1, 1), est(2100, 1, 1) - est(2000, 1, 1)},
    {"iso-d-b-ccyymmdd", "20240315", edt(2024, 3, 15), kDay},
    {"iso-d-b-ccyy", "2024", est(2024, 1, 1), 366 * kDay},
    {"iso-d-b-cc", "21", est(2100, 1, 1), est(2200, 1, 1) - est(2100, 1, 1)},
    {"iso-t-e-HH_MM_SS", "12:34:56", edt(2024, 7, 15, 12, 34, 56), 1},
    {"iso-t-e-HH_MM", "12:34", edt(2024, 7, 15, 12, 34), 60},
    {"iso-t-e-HH", "09", edt(2024, 7, 15, 9), 3600},
    {"iso-t-b-HHMMSS", "123456", edt(2024, 7, 15, 12, 34, 56), 1},
    {"iso-t-b-HHMM", "2359", edt(2024, 7, 15, 23, 59), 60},
    {"iso-t-b-HH", "23", edt(2024, 7, 15, 23), 3600},
    {"iso-dt-e-ccyy_mm_ddTHH_MM_SS", "2024-01-15T10:20:30", est(2024, 1, 15, 10, 20, 30), 1},
    {"iso-dt-e-ccyy_mm_dd_HH_MM_SS", "2024-01-15 10:20:30", est(2024, 1, 15, 10, 20, 30), 1},
    {"iso-dt-e-ccyy_mm_ddTHH_MM", "2024-01-15T10:20", est(2024, 1, 15, 10, 20), 60},
    {"iso-dt-e-ccyy_mm_dd_HH_MM", "2024-01-15 10:20", est(2024, 1, 15, 10, 20), 60},
    {"iso-dt-e-ccyy_mm_ddTHH", "2024-01-15t10", est(2024, 1, 15, 10), 3600},
    {"iso-dt-e-ccyy_mm_dd_HH", "2024-01-15 10", est(2024, 1, 15, 10), 3600},
    {"iso-dt-b-ccyymmddTHHMMSS", "20240115T102030", est(2024, 1, 15, 10, 20, 30), 1},
    {"iso-dt-b-ccyymmdd_HHMMSS", "20240115 102030", est(2024, 1, 15, 10, 20, 30), 1},
    {"iso-dt-b-ccyymmddTHHMM", "20240115t1020", est(2024, 1, 15, 10, 20), 60},
    {"iso-dt-b-ccyymmdd_HHMM", "20240115 1020", est(2024, 1, 15, 10, 20), 60},
    {"iso-dt-b-ccyymmddTHH", "20240115T10", est(2024, 1, 15, 10), 3600},
    {"iso-dt-b-ccyymmdd_HH", "20240115 10", est(2024, 1, 15, 10), 3600},
    {"unix-d-ccyymmdd", "19991231", est(1999, 12, 31), kDay},
    {"unix-d-cyymmdd", "1240315", edt(2024, 3, 15), kDay},
    {"unix-d-yymmdd", "991231", est(1999, 12, 31), kDay},
    {"unix-d-ymmdd", "40115", est(2004, 1, 15), kDay},
    {"unix-d-mmdd", "0115", est(2024, 1, 15), kDay},
    {"unix-d-mdd", "315", edt(2024, 3, 15), kDay},
    {"unix-d-dd", "05", edt(2024, 7, 5), kDay},
    {"unix-d-d", "9", edt(2024, 7, 9), kDay},
    {"unix-t-HHMM_SS", "1230", edt(2024, 7, 15, 12, 30), 60},
    {"unix-dt-HHMM_SS", "1230.15", edt(2024, 7, 15, 12, 30, 15), 1},
    {"unix-t-HMM_SS", "930", edt(2024, 7, 15, 9, 30), 60},
    {"unix-dt-HMM_SS", "930.07", edt(2024, 7, 15, 9, 30, 7), 1},
    {"unix-t-MM_SS", "45", edt(2024, 7, 15, 10, 45), 60},
    {"unix-dt-MM_SS", "45.59", edt(2024, 7, 15, 10, 45, 59), 1},
    {"unix-t-M_SS", "7", edt(2024, 7, 15, 10, 7), 60},
    {"unix-dt-M_SS", "7.00", edt(2024, 7, 15, 10, 7), 1},
    {"unix-dt-ccyymmddHHMM_SS", "202401151230", est(2024, 1, 15, 12, 30), 60},
    {"unix-dt-cyymmddHHMM_SS", "12401151230.45", est(2024, 1, 15, 12, 30, 45), 1},
    {"unix-dt-yymmddHHMM_SS", "2401151230", est(2024, 1, 15, 12, 30), 60},
    {"unix-dt-ymmddHHMM_SS", "401151230", est(2004, 1, 15, 12, 30), 60},
    {"unix-dt-mmddHHMM_SS", "01151230", est(2024, 1, 15, 12, 30), 60},
    {"unix-dt-mddHHMM_SS", "1151230.01", est(2024, 1, 15, 12, 30, 1), 1},
    {"unix-dt-ddHHMM_SS", "011230", edt(2024, 7, 1, 12, 30), 60},
    {"unix-dt-dHHMM_SS", "11230", edt(2024, 7, 1, 12, 30), 60},
};

TEST_F(Tsm, TableHoldsFortyNineNamesOverFortyFiveIds) {
  ASSERT_EQ(tsm_table_size(), 49u);
  ASSERT_EQ(sizeof kExamples / sizeof kExamples[0], 49u);
  std::vector<int> ids;
  for (unsigned i = 0; i < 49; i++) {
    const char* name = nullptr;
    int id = tsm_table_entry(i, &name);
    EXPECT_STREQ(name, kExamples[i].name) << i;
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
  }
  EXPECT_EQ(ids.size(), 45u);
  EXPECT_EQ(tsm_table_entry(49, nullptr), 0);
}

TEST_F(Tsm, EveryTableEntryReadsItsExample) {
  for (const Example& ex : kExamples) {
    SCOPED_TRACE(std::string(ex.name) + " / " + ex.text);
    ASSERT_EQ(init(ex.name), 0);
    ASSERT_EQ(tsm_count(&ts_), 1u);
    EXPECT_EQ(match(ex.text), 1);
    EXPECT_EQ(err_, 0);
    EXPECT_EQ(ft_, ex.from);
    EXPECT_EQ(tt_ - ft_, ex.len);
  }
}

TEST_F(Tsm, NamePatternsAddFormatsInTableOrderOnce) {
  ASSERT_EQ(init(kDefault), 0);
  std::vector<std::string> want = {"iso-d-e-ccyy_mm_dd",
                                   "iso-d-e-ccyy_mm",
                                   "iso-dt-e-ccyy_mm_ddTHH_MM_SS",
                                   "iso-dt-e-ccyy_mm_dd_HH_MM_SS",
                                   "iso-dt-e-ccyy_mm_ddTHH_MM",
                                   "iso-dt-e-ccyy_mm_dd_HH_MM",
                                   "iso-dt-e-ccyy_mm_ddTHH",
                                   "iso-dt-e-ccyy_mm_dd_HH",
                                   "unix-dt-HHMM_SS",
                                   "unix-dt-HMM_SS",
                                   "unix-dt-MM_SS",
                                   "unix-dt-M_SS",
                                   "unix-dt-ccyymmddHHMM_SS",
                                   "unix-dt-cyymmddHHMM_SS",
                                   "unix-dt-yymmddHHMM_SS",
                                   "unix-dt-ymmddHHMM_SS",
                                   "unix-dt-mmddHHMM_SS",
                                   "unix-dt-mddHHMM_SS",
                                   "unix-dt-ddHHMM_SS",
                                   "unix-dt-dHHMM_SS"};
  EXPECT_EQ(names(), want);

  ASSERT_EQ(init("iso-d-?-ccyy"), 0);
  EXPECT_EQ(names(), (std::vector<std::string>{"iso-d-e-ccyy", "iso-d-b-ccyy"}));

  // the unix-dt time names are the unix-t formats: one id, added once
  ASSERT_EQ(init("unix-t-HHMM_SS unix-dt-HHMM_SS\tunix-t-*"), 0);
  EXPECT_EQ(names(), (std::vector<std::string>{"unix-t-HHMM_SS", "unix-t-HMM_SS", "unix-t-MM_SS", "unix-t-M_SS"}));

  // pieces in the order given; a later piece adds only new ids
  ASSERT_EQ(init("unix-d-d,iso-d-e-cc,unix-d-*"), 0);
  EXPECT_EQ(names()[0], "unix-d-d");
  EXPECT_EQ(names()[1], "iso-d-e-cc");
  EXPECT_EQ(tsm_count(&ts_), 9u);
  EXPECT_EQ(tsm_fmt(&ts_, 2), 26);

  ASSERT_EQ(init("*"), 0);
  EXPECT_EQ(tsm_count(&ts_), 45u);

  // letter case of names matters; a piece matching nothing is no error
  ASSERT_EQ(init("ISO-*,nothing,,  ,"), 0);
  EXPECT_EQ(tsm_count(&ts_), 0u);
  EXPECT_EQ(match("2024-03-15"), 0);
  EXPECT_EQ(err_, 0);
}

TEST_F(Tsm, DefaultListExamples) {
  ASSERT_EQ(init(kDefault), 0);
  EXPECT_EQ(match("2024-03"), 1);
  EXPECT_EQ(ft_, est(2024, 3, 1));
  EXPECT_EQ(tt_, edt(2024, 4, 1));
  EXPECT_EQ(match("2024-12"), 1);
  EXPECT_EQ(ft_, est(2024, 12, 1));
  EXPECT_EQ(tt_, est(2025, 1, 1));

  EXPECT_EQ(match("1230"), 1);
  EXPECT_EQ(ft_, edt(2024, 7, 15, 12, 30));
  EXPECT_EQ(tt_, edt(2024, 7, 15, 12, 31));
  EXPECT_EQ(match("1230.15"), 1);
  EXPECT_EQ(ft_, edt(2024, 7, 15, 12, 30, 15));
  EXPECT_EQ(tt_, edt(2024, 7, 15, 12, 30, 16));

  EXPECT_EQ(match("2403151230"), 1);
  EXPECT_EQ(ft_, edt(2024, 3, 15, 12, 30));
  EXPECT_EQ(match("9912311200"), 1);
  EXPECT_EQ(ft_, est(1999, 12, 31, 12));
  EXPECT_EQ(match("0001011200"), 1);
  EXPECT_EQ(ft_, est(2000, 1, 1, 12));

  EXPECT_EQ(match("2024-02-31"), 1);  // normalised, not rejected
  EXPECT_EQ(ft_, est(2024, 3, 2));
  EXPECT_EQ(tt_ - ft_, kDay);

  EXPECT_EQ(match("2024-03-15t10"), 1);
  EXPECT_EQ(ft_, edt(2024, 3, 15, 10));
  EXPECT_EQ(tt_, edt(2024, 3, 15, 11));

  EXPECT_EQ(match("151230"), 1);  // ddHHMM of the reference month
  EXPECT_EQ(ft_, edt(2024, 7, 15, 12, 30));

  EXPECT_EQ(match("2024-03-15T10:20:30.5"), 0);
  EXPECT_EQ(err_, 0);
  EXPECT_EQ(match(""), 0);
  EXPECT_EQ(err_, 0);
}

TEST_F(Tsm, TwoDigitYearsPivotAtSixtyNine) {
  ASSERT_EQ(init("unix-d-yymmdd,unix-d-ymmdd"), 0);
  EXPECT_EQ(match("700102"), 1);
  EXPECT_EQ(ft_, est(1970, 1, 2));
  EXPECT_EQ(match("991231"), 1);
  EXPECT_EQ(ft_, est(1999, 12, 31));
  EXPECT_EQ(match("000101"), 1);
  EXPECT_EQ(ft_, est(2000, 1, 1));
  EXPECT_EQ(match("680101"), 1);
  EXPECT_EQ(ft_, est(2068, 1, 1));
  // 69 is 1969, which some runtimes cannot convert; never 2069
  int m = match("690701");
  if (m)
    EXPECT_EQ(ft_, edt(1969, 7, 1));
  else
    EXPECT_EQ(err_, 9001);
  EXPECT_EQ(match("90101"), 1);
  EXPECT_EQ(ft_, est(2009, 1, 1));
}

TEST_F(Tsm, CenturyDigitCountsFromNineteenHundred) {
  ASSERT_EQ(init("unix-d-cyymmdd,unix-dt-cyymmddHHMM_SS"), 0);
  EXPECT_EQ(match("0991231"), 1);
  EXPECT_EQ(ft_, est(1999, 12, 31));
  EXPECT_EQ(match("1000101"), 1);
  EXPECT_EQ(ft_, est(2000, 1, 1));
  EXPECT_EQ(match("2240315"), 1);
  EXPECT_EQ(ft_, edt(2124, 3, 15));
  EXPECT_EQ(match("12412312359"), 1);
  EXPECT_EQ(ft_, est(2024, 12, 31, 23, 59));
}

TEST_F(Tsm, RangeEndsByPrecision) {
  ASSERT_EQ(init("iso-d-e-ccyy_mm,iso-d-e-ccyy,iso-d-b-cc"), 0);
  // months by the calendar
  const struct {
    const char* text;
    long long from, to;
  } months[] = {
      {"2024-02", est(2024, 2, 1), est(2024, 3, 1)},    // leap year
      {"2023-02", est(2023, 2, 1), est(2023, 3, 1)},
      {"2000-02", est(2000, 2, 1), est(2000, 3, 1)},    // leap by the 400 rule
      {"2100-02", est(2100, 2, 1), est(2100, 3, 1)},    // no leap by the 100 rule
      {"2024-12", est(2024, 12, 1), est(2025, 1, 1)},
      {"2024-01", est(2024, 1, 1), est(2024, 2, 1)},
      {"2024-04", edt(2024, 4, 1), edt(2024, 5, 1)},
      {"2024-03", est(2024, 3, 1), edt(2024, 4, 1)},    // 31 days less the hour given up
      {"2024-11", edt(2024, 11, 1), est(2024, 12, 1)},  // 30 days and the hour gained
  };
  for (const auto& c : months) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(match(c.text), 1);
    EXPECT_EQ(ft_, c.from);
    EXPECT_EQ(tt_, c.to);
  }
  EXPECT_EQ(match("2024"), 1);
  EXPECT_EQ(tt_ - ft_, 366 * kDay);
  EXPECT_EQ(match("2100"), 1);
  EXPECT_EQ(tt_ - ft_, 365 * kDay);
  // a century is the whole century
  EXPECT_EQ(match("20"), 1);
  EXPECT_EQ(ft_, est(2000, 1, 1));
  EXPECT_EQ(tt_, est(2100, 1, 1));
}

TEST_F(Tsm, DaylightSavingIsThatOfTheDateRead) {
  ASSERT_EQ(init("iso-dt-e-ccyy_mm_ddTHH_MM,iso-d-e-ccyy_mm_dd,unix-d-mmdd"), 0);
  // spring forward on 2024-03-10 at 02:00 standard time
  EXPECT_EQ(match("2024-03-10T01:59"), 1);
  EXPECT_EQ(ft_, est(2024, 3, 10, 1, 59));
  EXPECT_EQ(match("2024-03-10T03:00"), 1);
  EXPECT_EQ(ft_, edt(2024, 3, 10, 3));
  EXPECT_EQ(ft_ - est(2024, 3, 10, 1, 59), 60);
  // fall back on 2024-11-03: 00:59 is still daylight time, 02:00 standard
  EXPECT_EQ(match("2024-11-03T00:59"), 1);
  EXPECT_EQ(ft_, edt(2024, 11, 3, 0, 59));
  EXPECT_EQ(match("2024-11-03T02:00"), 1);
  EXPECT_EQ(ft_, est(2024, 11, 3, 2));
  // a day is a fixed 86400 seconds, also on the days of a change
  EXPECT_EQ(match("2024-03-10"), 1);
  EXPECT_EQ(ft_, est(2024, 3, 10));
  EXPECT_EQ(tt_ - ft_, kDay);
  EXPECT_EQ(match("2024-11-03"), 1);
  EXPECT_EQ(ft_, edt(2024, 11, 3));
  EXPECT_EQ(tt_ - ft_, kDay);
  // a winter date read against a summer reference gets standard time
  EXPECT_EQ(match("1224"), 1);
  EXPECT_EQ(ft_, est(2024, 12, 24));
  EXPECT_EQ(match("0704", est(2024, 1, 2, 3)), 1);
  EXPECT_EQ(ft_, edt(2024, 7, 4));
}

TEST_F(Tsm, ValidationReportsTheFirstBadFieldInOrder) {
  LogFile log;
  ASSERT_EQ(init("iso-dt-e-ccyy_mm_ddTHH,iso-d-e-ccyy_mm_dd,unix-d-dd"), 0);
  EXPECT_EQ(match("2024-13-01"), 0);
  EXPECT_EQ(err_, 9003);
  EXPECT_TRUE(log.has("Invalid month [13] - `2024-13-01'.")) << log.text();
  EXPECT_EQ(match("2024-13-39T29"), 0);
  EXPECT_TRUE(log.has("Invalid month [13] - `2024-13-39T29'."));
  EXPECT_FALSE(log.has("Invalid day of month [39]"));
  EXPECT_EQ(match("2024-00-39T29"), 0);
  EXPECT_TRUE(log.has("Invalid month [0] - `2024-00-39T29'."));
  EXPECT_EQ(match("2024-12-39T29"), 0);
  EXPECT_EQ(err_, 9003);
  EXPECT_TRUE(log.has("Invalid day of month [39] - `2024-12-39T29'."));
  EXPECT_FALSE(log.has("Invalid hours [29]"));
  EXPECT_EQ(match("00"), 0);
  EXPECT_TRUE(log.has("Invalid day of month [0] - `00'."));
  EXPECT_EQ(match("2024-12-31T24"), 0);
  EXPECT_EQ(err_, 9003);
  EXPECT_TRUE(log.has("Invalid hours [24] - `2024-12-31T24'."));

  // the fields no scan pattern lets go wrong, checked on their own
  struct tm tm = {};
  tm.tm_mday = 1;
  tm.tm_min = 60;
  tm.tm_sec = 60;
  tm.tm_yday = 366;
  tm.tm_wday = 7;
  EXPECT_EQ(tsm_validate(&tm, "x"), 9003);
  EXPECT_TRUE(log.has("Invalid minutes [60] - `x'."));
  tm.tm_min = 59;
  EXPECT_EQ(tsm_validate(&tm, "y"), 9003);
  EXPECT_TRUE(log.has("Invalid seconds [60] - `y'."));
  tm.tm_sec = 0;
  EXPECT_EQ(tsm_validate(&tm, "z"), 9003);
  EXPECT_TRUE(log.has("Invalid day of year [366] - `z'."));
  tm.tm_yday = 365;
  EXPECT_EQ(tsm_validate(&tm, "w"), 9003);
  EXPECT_TRUE(log.has("Invalid day of week [7] - `w'."));
  tm.tm_wday = 6;
  EXPECT_EQ(tsm_validate(&tm, "v"), 0);
  tm.tm_hour = -1;
  EXPECT_EQ(tsm_validate(&tm, "u"), 9003);
  EXPECT_TRUE(log.has("Invalid hours [-1] - `u'."));
}

TEST_F(Tsm, FailuresOfTheConversions) {
  LogFile log;
  ASSERT_EQ(init(kDefault), 0);
  EXPECT_EQ(match("2024-03-15", LLONG_MAX), 0);
  EXPECT_EQ(err_, 9001);
  EXPECT_TRUE(log.has("localtime() failed - ft: ")) << log.text();
  // year 0 of a century text is out of the runtime's range on some systems
  ASSERT_EQ(init("iso-d-e-cc"), 0);
  if (!match("00"))
    EXPECT_EQ(err_, 9001);
  else
    EXPECT_EQ(ft_, est(0, 1, 1));
}

TEST_F(Tsm, BadArguments) {
  LogFile log;
  EXPECT_EQ(tsm_init(nullptr, kDefault), 9003);
  EXPECT_EQ(tsm_init(&ts_, nullptr), 9003);
  EXPECT_TRUE(log.has("fmts: `NUL'.")) << log.text();
  EXPECT_EQ(tsm_init(&ts_, ""), 9003);
  EXPECT_TRUE(log.has("fmts: `'."));
  EXPECT_EQ(tsm_add(&ts_, nullptr), 9003);
  EXPECT_TRUE(log.has("patt: `NUL'."));
  ASSERT_EQ(init(kDefault), 0);
  time_t f = 0, t = 0;
  int err = 0;
  EXPECT_EQ(tsm_match(&ts_, nullptr, &f, &t, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has("str: `NUL', ft: "));
  err = 0;
  EXPECT_EQ(tsm_match(&ts_, "1230", nullptr, &t, &err), 0);
  EXPECT_EQ(err, 9003);
  err = 0;
  EXPECT_EQ(tsm_match(&ts_, "1230", &f, nullptr, &err), 0);
  EXPECT_EQ(err, 9003);
  err = 0;
  EXPECT_EQ(tsm_match(nullptr, "1230", &f, &t, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has("`tsm' is NUL."));
  EXPECT_EQ(tsm_free(nullptr), 9003);
}

TEST_F(Tsm, HostileTextsAndPatterns) {
  ASSERT_EQ(init("*"), 0);
  std::string digits(100000, '1');
  EXPECT_EQ(match(digits.c_str()), 0);
  EXPECT_EQ(err_, 0);
  std::string tail = "2024-03-15" + std::string(100000, 'x');
  EXPECT_EQ(match(tail.c_str()), 0);
  EXPECT_EQ(err_, 0);
  std::string all;
  for (int c = 1; c < 256; c++) all += (char)c;
  EXPECT_EQ(match(all.c_str()), 0);
  EXPECT_EQ(err_, 0);
  // every byte after a valid date: only a nothing-at-all end matches
  for (int c = 1; c < 256; c++) {
    std::string s = "2024-03-15";
    s += (char)c;
    EXPECT_EQ(match(s.c_str()), 0) << c;
  }

  // name-pattern lists: overlong pieces are cut, open lists and escapes end cleanly
  std::string stars(100000, '*');
  ASSERT_EQ(init(stars.c_str()), 0);
  EXPECT_EQ(tsm_count(&ts_), 45u);
  std::string junk(100000, 'q');
  ASSERT_EQ(init(junk.c_str()), 0);
  EXPECT_EQ(tsm_count(&ts_), 0u);
  for (const char* p : {"[", "iso-[", "unix-d-d\\", "\\", "[!", "[]]", "?????????????????????????????"}) {
    SCOPED_TRACE(p);
    int e = init(p);
    EXPECT_TRUE(e == 0 || e == 9003 || e == 9009) << e;
  }
  std::string bytes;
  for (int c = 1; c < 256; c++) bytes += (char)c;
  int e = init(bytes.c_str());
  EXPECT_TRUE(e == 0 || e == 9003 || e == 9009) << e;
}

TEST(TsmCompile, ScanPatternElements) {
  rexm re;
  rexm_clear(&re);
  auto compile = [&](const char* patt) {
    rexm_free(&re);
    rexm_init(&re, REXM_ICASE, nullptr);
    return tsm_compile(&re, patt);
  };
  ASSERT_EQ(compile("%2H%2M%2S"), 0);
  EXPECT_EQ(rexm_match(&re, "235959"), 1);
  EXPECT_EQ(rexm_match(&re, "295959"), 1);
  EXPECT_EQ(rexm_match(&re, "306000"), 0);
  EXPECT_EQ(rexm_match(&re, "236000"), 0);
  ASSERT_EQ(compile("%H%M%S%1H"), 0);
  EXPECT_EQ(rexm_match(&re, "9999"), 1);
  ASSERT_EQ(compile("%2d|%d"), 0);
  EXPECT_EQ(rexm_match(&re, "39"), 1);
  EXPECT_EQ(rexm_match(&re, "40"), 0);
  EXPECT_EQ(rexm_match(&re, "0"), 0);
  EXPECT_EQ(rexm_match(&re, "00"), 1);
  ASSERT_EQ(compile("%2m-%m"), 0);
  EXPECT_EQ(rexm_match(&re, "19-9"), 1);
  EXPECT_EQ(rexm_match(&re, "20-1"), 0);
  EXPECT_EQ(rexm_match(&re, "01-0"), 0);
  ASSERT_EQ(compile("%2c%2y%c%yT(.%2S)?"), 0);
  EXPECT_EQ(rexm_match(&re, "999999t"), 1);
  EXPECT_EQ(rexm_match(&re, "000000T.59"), 1);
  EXPECT_EQ(rexm_match(&re, "000000T.60"), 0);
  EXPECT_EQ(rexm_match(&re, "000000T."), 0);
  EXPECT_EQ(compile("%2x"), 9003);
  EXPECT_EQ(compile("%"), 9003);
  EXPECT_EQ(compile("(%2H"), 9003);
  rexm_free(&re);
}

}  // namespace
