#include "rex/tsmatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "rex_test.h"

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
constexpr long long kDay = 86400, kNone = -1;

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
  std::string names() const {
    std::string v;
    for (unsigned i = 0; i < tsm_count(&ts_); i++) {
      const char* n = nullptr;
      tsm_fmt(&ts_, i, &n);
      v += std::string(n ? n : "?") + " ";
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

TEST_F(Tsm, EveryTableEntryReadsItsExample) {
  ASSERT_EQ(tsm_table_size(), 49u);
  ASSERT_EQ(sizeof kExamples / sizeof kExamples[0], 49u);
  std::vector<int> ids;
  for (unsigned i = 0; i < 49; i++) {
    const Example& ex = kExamples[i];
    const char* name = nullptr;
    int id = tsm_table_entry(i, &name);
    EXPECT_STREQ(name, ex.name) << i;
    if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    SCOPED_TRACE(std::string(ex.name) + " / " + ex.text);
    ASSERT_EQ(init(ex.name), 0);
    ASSERT_EQ(tsm_count(&ts_), 1u);
    EXPECT_EQ(match(ex.text), 1);
    EXPECT_EQ(err_, 0);
    EXPECT_EQ(ft_, ex.from);
    EXPECT_EQ(tt_ - ft_, ex.len);
  }
  EXPECT_EQ(ids.size(), 45u);  // the unix-dt time names share the ids of the unix-t ones
  EXPECT_EQ(tsm_table_entry(49, nullptr), 0);
}

TEST_F(Tsm, NamePatternsAddFormatsInTableOrderOnce) {
  ASSERT_EQ(init(kDefault), 0);
  EXPECT_EQ(names(),
            "iso-d-e-ccyy_mm_dd iso-d-e-ccyy_mm iso-dt-e-ccyy_mm_ddTHH_MM_SS iso-dt-e-ccyy_mm_dd_HH_MM_SS "
            "iso-dt-e-ccyy_mm_ddTHH_MM iso-dt-e-ccyy_mm_dd_HH_MM iso-dt-e-ccyy_mm_ddTHH iso-dt-e-ccyy_mm_dd_HH "
            "unix-dt-HHMM_SS unix-dt-HMM_SS unix-dt-MM_SS unix-dt-M_SS unix-dt-ccyymmddHHMM_SS "
            "unix-dt-cyymmddHHMM_SS unix-dt-yymmddHHMM_SS unix-dt-ymmddHHMM_SS unix-dt-mmddHHMM_SS "
            "unix-dt-mddHHMM_SS unix-dt-ddHHMM_SS unix-dt-dHHMM_SS ");
  ASSERT_EQ(init("iso-d-?-ccyy"), 0);
  EXPECT_EQ(names(), "iso-d-e-ccyy iso-d-b-ccyy ");
  // the unix-dt time names are the unix-t formats: one id, added once
  ASSERT_EQ(init("unix-t-HHMM_SS unix-dt-HHMM_SS\tunix-t-*"), 0);
  EXPECT_EQ(names(), "unix-t-HHMM_SS unix-t-HMM_SS unix-t-MM_SS unix-t-M_SS ");
  // pieces in the order given; a later piece adds only new ids
  ASSERT_EQ(init("unix-d-d,iso-d-e-cc,unix-d-*"), 0);
  EXPECT_EQ(names().substr(0, 20), "unix-d-d iso-d-e-cc ");
  EXPECT_EQ(tsm_count(&ts_), 9u);
  ASSERT_EQ(init("*"), 0);
  EXPECT_EQ(tsm_count(&ts_), 45u);
  // letter case of names matters; a piece matching nothing is no error
  ASSERT_EQ(init("ISO-*,nothing,,  ,"), 0);
  EXPECT_EQ(tsm_count(&ts_), 0u);
  EXPECT_EQ(match("2024-03-15"), 0);
  EXPECT_EQ(err_, 0);
}

TEST_F(Tsm, RangesByCalendarPivotAndDaylightSaving) {
  const char *dflt = kDefault, *years = "unix-d-yymmdd,unix-d-ymmdd", *cent = "unix-d-cyymmdd,unix-dt-cyymmddHHMM_SS",
             *prec = "iso-d-e-ccyy_mm,iso-d-e-ccyy,iso-d-b-cc",
             *dst = "iso-dt-e-ccyy_mm_ddTHH_MM,iso-d-e-ccyy_mm_dd,unix-d-mmdd";
  const struct {
    const char *fmts, *text;
    long long from, to;  // to 0: not checked; from kNone: no match
    long long ref = kRef;
  } cases[] = {
      {dflt, "2024-03", est(2024, 3, 1), edt(2024, 4, 1)}, {dflt, "1230", edt(2024, 7, 15, 12, 30), edt(2024, 7, 15, 12, 31)},
      {dflt, "1230.15", edt(2024, 7, 15, 12, 30, 15), edt(2024, 7, 15, 12, 30, 16)},
      {dflt, "2403151230", edt(2024, 3, 15, 12, 30), 0}, {dflt, "9912311200", est(1999, 12, 31, 12), 0},
      {dflt, "0001011200", est(2000, 1, 1, 12), 0},
      {dflt, "2024-02-31", est(2024, 3, 2), est(2024, 3, 3)},  // normalised, not rejected
      {dflt, "2024-03-15t10", edt(2024, 3, 15, 10), edt(2024, 3, 15, 11)},
      {dflt, "151230", edt(2024, 7, 15, 12, 30), 0},  // ddHHMM of the reference month
      {dflt, "2024-03-15T10:20:30.5", kNone, 0}, {dflt, "", kNone, 0},
      // two-digit years pivot at sixty-nine
      {years, "700102", est(1970, 1, 2), 0}, {years, "991231", est(1999, 12, 31), 0},
      {years, "000101", est(2000, 1, 1), 0}, {years, "680101", est(2068, 1, 1), 0}, {years, "90101", est(2009, 1, 1), 0},
      // the century digit counts from nineteen hundred
      {cent, "0991231", est(1999, 12, 31), 0}, {cent, "1000101", est(2000, 1, 1), 0},
      {cent, "2240315", edt(2124, 3, 15), 0}, {cent, "12412312359", est(2024, 12, 31, 23, 59), 0},
      // months by the calendar, leap by the 4, 100 and 400 rules
      {prec, "2024-02", est(2024, 2, 1), est(2024, 3, 1)}, {prec, "2023-02", est(2023, 2, 1), est(2023, 3, 1)},
      {prec, "2000-02", est(2000, 2, 1), est(2000, 3, 1)}, {prec, "2100-02", est(2100, 2, 1), est(2100, 3, 1)},
      {prec, "2024-12", est(2024, 12, 1), est(2025, 1, 1)}, {prec, "2024-04", edt(2024, 4, 1), edt(2024, 5, 1)},
      {prec, "2024-11", edt(2024, 11, 1), est(2024, 12, 1)},  // 30 days and the hour gained
      {prec, "2024", est(2024, 1, 1), est(2025, 1, 1)}, {prec, "2100", est(2100, 1, 1), est(2101, 1, 1)},
      {prec, "20", est(2000, 1, 1), est(2100, 1, 1)},  // a century is the whole century
      // spring forward on 2024-03-10 at 02:00, fall back on 2024-11-03 at 02:00
      {dst, "2024-03-10T01:59", est(2024, 3, 10, 1, 59), 0}, {dst, "2024-03-10T03:00", edt(2024, 3, 10, 3), 0},
      {dst, "2024-11-03T00:59", edt(2024, 11, 3, 0, 59), 0}, {dst, "2024-11-03T02:00", est(2024, 11, 3, 2), 0},
      // a day is a fixed 86400 seconds, also on the days of a change
      {dst, "2024-03-10", est(2024, 3, 10), est(2024, 3, 10) + kDay},
      {dst, "2024-11-03", edt(2024, 11, 3), edt(2024, 11, 3) + kDay},
      // the date read decides, not the reference
      {dst, "1224", est(2024, 12, 24), 0}, {dst, "0704", edt(2024, 7, 4), 0, est(2024, 1, 2, 3)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(init(c.fmts), 0);
    EXPECT_EQ(match(c.text, c.ref), c.from != kNone);
    EXPECT_EQ(err_, 0);
    if (c.from == kNone) continue;
    EXPECT_EQ(ft_, c.from);
    EXPECT_TRUE(!c.to || tt_ == c.to) << tt_ - c.to;
  }
  // 69 is 1969, which some runtimes cannot convert; never 2069
  ASSERT_EQ(init(years), 0);
  EXPECT_TRUE(match("690701") ? ft_ == edt(1969, 7, 1) : err_ == 9001) << ft_;
}

TEST_F(Tsm, ValidationReportsTheFirstBadFieldOnly) {
  ASSERT_EQ(init("iso-dt-e-ccyy_mm_ddTHH,iso-d-e-ccyy_mm_dd,unix-d-dd"), 0);
  const char* cases[][2] = {
      {"2024-13-01", "Invalid month [13] - `2024-13-01'."}, {"2024-13-39T29", "Invalid month [13] - `2024-13-39T29'."},
      {"2024-00-39T29", "Invalid month [0]"}, {"2024-12-39T29", "Invalid day of month [39] - `2024-12-39T29'."},
      {"00", "Invalid day of month [0] - `00'."}, {"2024-12-31T24", "Invalid hours [24] - `2024-12-31T24'."},
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(match(c[0]), 0);
    EXPECT_EQ(err_, 9003);
    EXPECT_TRUE(log.has(c[1]) && log.done().find("Invalid ") == log.done().rfind("Invalid ")) << log.done();
  }
  // the fields no scan pattern lets go wrong, checked on their own
  const struct { int tm::*field; int value; const char* msg; } fields[] = {
      {&tm::tm_min, 60, "Invalid minutes [60] - `x'."}, {&tm::tm_sec, 60, "Invalid seconds [60]"},
      {&tm::tm_yday, 366, "Invalid day of year [366]"}, {&tm::tm_wday, 7, "Invalid day of week [7]"},
      {&tm::tm_hour, -1, "Invalid hours [-1]"}, {&tm::tm_yday, 365, nullptr}};
  for (const auto& f : fields) {
    struct tm tm = {};
    tm.tm_mday = 1;
    tm.*f.field = f.value;
    LogCapture log;
    EXPECT_EQ(tsm_validate(&tm, "x"), f.msg ? 9003 : 0) << f.value;
    EXPECT_TRUE(!f.msg || log.has(f.msg)) << log.done();
  }
}

TEST_F(Tsm, FailuresOfTheConversions) {
  ASSERT_EQ(init(kDefault), 0);
  LogCapture log;
  EXPECT_EQ(match("2024-03-15", LLONG_MAX), 0);
  EXPECT_EQ(err_, 9001);
  EXPECT_TRUE(log.has("localtime() failed - ft: ")) << log.done();
  // year 0 of a century text is out of the runtime's range on some systems
  ASSERT_EQ(init("iso-d-e-cc"), 0);
  EXPECT_TRUE(match("00") ? ft_ == est(0, 1, 1) : err_ == 9001) << ft_;
}

TEST_F(Tsm, HostileTextsAndPatterns) {
  ASSERT_EQ(init("*"), 0);
  std::string all, digits(100000, '1'), tail = "2024-03-15" + std::string(100000, 'x');
  for (int c = 1; c < 256; c++) all += (char)c;
  for (const std::string& s : {digits, tail, all}) {
    EXPECT_EQ(match(s.c_str()), 0);
    EXPECT_EQ(err_, 0);
  }
  // every byte after a valid date: only a nothing-at-all end matches
  for (int c = 1; c < 256; c++) EXPECT_EQ(match(("2024-03-15" + std::string(1, (char)c)).c_str()), 0) << c;
  // name-pattern lists: overlong pieces are cut, open lists and escapes end cleanly
  ASSERT_EQ(init(std::string(100000, '*').c_str()), 0);
  EXPECT_EQ(tsm_count(&ts_), 45u);
  ASSERT_EQ(init(std::string(100000, 'q').c_str()), 0);
  EXPECT_EQ(tsm_count(&ts_), 0u);
  for (const char* p : {"[", "iso-[", "unix-d-d\\", "\\", "[!", "[]]", "?????????????????????????????", all.c_str()}) {
    int e = init(p);
    EXPECT_TRUE(e == 0 || e == 9003 || e == 9009) << e << " " << p;
  }
}

TEST(TsmCompile, ScanPatternElements) {
  rex_table({{"%2H%2M%2S", 0, "235959 295959 !306000 !236000"}, {"%H%M%S%1H", 0, "9999"},
             {"%2d|%d", 0, "39 !40 !0 00"}, {"%2m-%m", 0, "19-9 !20-1 !01-0"},
             {"%2c%2y%c%yT(.%2S)?", 0, "999999t 000000T.59 !000000T.60 !000000T."}},
            [](const char* p, int, const char* t) {
              rexm re;
              rexm_clear(&re);
              rexm_init(&re, REXM_ICASE, nullptr);
              int m = tsm_compile(&re, p) ? -1 : rexm_match(&re, t);
              rexm_free(&re);
              return m;
            });
  rexm re;
  rexm_clear(&re);
  for (const char* bad : {"%2x", "%", "(%2H"}) {
    rexm_free(&re);
    rexm_init(&re, REXM_ICASE, nullptr);
    EXPECT_EQ(tsm_compile(&re, bad), 9003) << bad;
  }
  rexm_free(&re);
}

}  // namespace
