#include "rex/tsmatch.h"

#include <climits>
#include <cstdlib>
#include <ctime>

#include "rex_test.h"

namespace {

// All expectations are absolute: the tests run in US Eastern time with its
// daylight-saving rules (second Sunday of March to first Sunday of November).
const bool kEastern = [] {
#ifdef _WIN32
  _putenv("TZ=EST5EDT");
  _tzset();
#else
  setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1);
  tzset();
#endif
  return true;
}();

// Seconds since 1970 of a UTC calendar time (days from the civil date).
long long utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  y -= m <= 2;
  long long era = (y >= 0 ? y : y - 399) / 400, yoe = y - era * 400;
  long long doe = yoe * 365 + yoe / 4 - yoe / 100 + (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return (era * 146097 + doe - 719468) * 86400 + h * 3600 + mi * 60 + s;
}
// Local Eastern times: standard (UTC-5) and daylight (UTC-4).
long long est(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return utc(y, m, d, h, mi, s) + 5 * 3600; }
long long edt(int y, int m, int d, int h = 0, int mi = 0, int s = 0) { return utc(y, m, d, h, mi, s) + 4 * 3600; }

// The reference ("now"): Monday 2024-07-15 10:20:30 daylight time.
const long long kRef = edt(2024, 7, 15, 10, 20, 30);
constexpr long long kDay = 86400, kNone = -1;
const char* const kDefault = "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*";

class Tsm : public ::testing::Test {
 protected:
  void TearDown() override { tsm_free(&ts_); }
  int init(const char* fmts) {
    tsm_free(&ts_);
    return tsm_init(&ts_, fmts);
  }
  int match(const char* s, long long ref = kRef) {
    time_t f = (time_t)ref, t = 0;
    err_ = -1;
    int m = tsm_match(&ts_, s, &f, &t, &err_);
    ft_ = f, tt_ = t;
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
  tsm ts_{};
  long long ft_ = 0, tt_ = 0;
  int err_ = 0;
};

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
  // pieces in the order given; the unix-dt time names are the unix-t formats, added once
  ASSERT_EQ(init("unix-d-d,iso-d-e-cc unix-t-HHMM_SS\tunix-dt-*"), 0);
  EXPECT_EQ(names().substr(0, 35), "unix-d-d iso-d-e-cc unix-t-HHMM_SS ");
  EXPECT_EQ(tsm_count(&ts_), 14u);
  ASSERT_EQ(init(std::string(100000, '*').c_str()), 0);  // an over-long piece is cut
  EXPECT_EQ(tsm_count(&ts_), 45u);
  const char* name = nullptr;
  for (unsigned i = 0; tsm_table_entry(i, &name); i++) EXPECT_TRUE(!init(name) && tsm_count(&ts_) == 1) << name;
  EXPECT_EQ(tsm_table_size(), 49u);
  // letter case of names matters; a piece matching nothing is no error
  ASSERT_EQ(init("ISO-*,nothing,,  ,"), 0);
  EXPECT_EQ(match("2024-03-15") * 10 + err_ + (int)tsm_count(&ts_), 0);
  LogCapture log;
  EXPECT_EQ(init(""), 9003);
  EXPECT_TRUE(log.has("Invalid param - tsm: ")) << log.done();
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
      {dflt, "2024-03", est(2024, 3, 1), edt(2024, 4, 1)}, {dflt, "2024-12", est(2024, 12, 1), est(2025, 1, 1)},
      {dflt, "1230", edt(2024, 7, 15, 12, 30), edt(2024, 7, 15, 12, 31)},
      {dflt, "2403151230", edt(2024, 3, 15, 12, 30), 0}, {dflt, "9912311200", est(1999, 12, 31, 12), 0},
      {dflt, "0001011200", est(2000, 1, 1, 12), 0},
      {dflt, "2024-02-31", est(2024, 3, 2), est(2024, 3, 3)},  // normalised, not rejected
      {dflt, "151230", edt(2024, 7, 15, 12, 30), 0},           // ddHHMM of the reference month
      {dflt, "2024-01-15T10:20:30", est(2024, 1, 15, 10, 20, 30), est(2024, 1, 15, 10, 20, 31)},
      {dflt, "2024-01-15 10", est(2024, 1, 15, 10), est(2024, 1, 15, 11)},
      {dflt, "1151230.01", est(2024, 1, 15, 12, 30, 1), 0}, {dflt, "11230", edt(2024, 7, 1, 12, 30), 0},
      {dflt, "45", edt(2024, 7, 15, 10, 45), edt(2024, 7, 15, 10, 46)},  // the hour of the reference
      {dflt, "7.00", edt(2024, 7, 15, 10, 7), edt(2024, 7, 15, 10, 7, 1)},
      {dflt, "2024-03-15T10:20:30.5", kNone, 0}, {dflt, "", kNone, 0},
      // the other families, one name each
      {"iso-d-b-ccyymmdd", "20240315", edt(2024, 3, 15), edt(2024, 3, 16)}, {"iso-d-b-cc", "21", est(2100, 1, 1), 0},
      {"iso-t-e-HH_MM_SS", "12:34:56", edt(2024, 7, 15, 12, 34, 56), 0}, {"iso-t-e-HH", "09", edt(2024, 7, 15, 9), 0},
      {"iso-t-b-HHMMSS", "123456", edt(2024, 7, 15, 12, 34, 56), 0},
      {"iso-dt-b-ccyymmddTHHMM", "20240115t1020", est(2024, 1, 15, 10, 20), est(2024, 1, 15, 10, 21)},
      {"iso-dt-b-ccyymmdd_HH", "20240115 10", est(2024, 1, 15, 10), 0}, {"unix-d-ccyymmdd", "19991231", est(1999, 12, 31), 0},
      {"unix-d-mdd", "315", edt(2024, 3, 15), 0}, {"unix-d-dd", "05", edt(2024, 7, 5), 0},
      {"unix-d-d", "9", edt(2024, 7, 9), edt(2024, 7, 10)},
      // two-digit years pivot at sixty-nine
      {years, "700102", est(1970, 1, 2), 0}, {years, "680101", est(2068, 1, 1), 0}, {years, "90101", est(2009, 1, 1), 0},
      // the century digit counts from nineteen hundred
      {cent, "0991231", est(1999, 12, 31), 0}, {cent, "1000101", est(2000, 1, 1), 0},
      {cent, "12412312359", est(2024, 12, 31, 23, 59), 0},
      // months by the calendar, leap by the 4, 100 and 400 rules; a century is the whole century
      {prec, "2100-02", est(2100, 2, 1), est(2100, 3, 1)}, {prec, "2000-02", est(2000, 2, 1), est(2000, 3, 1)},
      {prec, "2024-11", edt(2024, 11, 1), est(2024, 12, 1)}, {prec, "2024", est(2024, 1, 1), est(2025, 1, 1)},
      {prec, "20", est(2000, 1, 1), est(2100, 1, 1)},
      // spring forward on 2024-03-10 at 02:00, fall back on 2024-11-03 at 02:00; a day is
      // a fixed 86400 seconds, also on the days of a change
      {dst, "2024-03-10T01:59", est(2024, 3, 10, 1, 59), 0}, {dst, "2024-03-10T03:00", edt(2024, 3, 10, 3), 0},
      {dst, "2024-11-03T02:00", est(2024, 11, 3, 2), 0}, {dst, "2024-03-10", est(2024, 3, 10), est(2024, 3, 10) + kDay},
      {dst, "2024-11-03", edt(2024, 11, 3), edt(2024, 11, 3) + kDay},
      {dst, "0704", edt(2024, 7, 4), 0, est(2024, 1, 2, 3)},  // the date read decides, not the reference
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_EQ(init(c.fmts), 0);
    EXPECT_EQ(match(c.text, c.ref) * 10 + err_, c.from != kNone ? 10 : 0);
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
  for (auto c : {std::pair{"2024-13-39T29", "Invalid month [13] - `2024-13-39T29'."}, {"2024-00-01", "Invalid month [0]"},
                 {"2024-12-39T29", "Invalid day of month [39] - `2024-12-39T29'."}, {"00", "Invalid day of month [0]"},
                 {"2024-12-31T24", "Invalid hours [24] - `2024-12-31T24'."}}) {
    LogCapture log;
    EXPECT_EQ(match(c.first) * 10 + err_, 9003);
    EXPECT_TRUE(log.has(c.second) && log.done().find("Invalid ") == log.done().rfind("Invalid ")) << log.done();
  }
  // the fields no scan pattern lets go wrong, checked on their own at their limits
  const struct { int tm::*field; int value; const char* msg; } fields[] = {
      {&tm::tm_min, 60, "Invalid minutes [60] - `x'."}, {&tm::tm_sec, 60, "Invalid seconds [60]"},
      {&tm::tm_yday, 366, "Invalid day of year [366]"}, {&tm::tm_wday, 7, "Invalid day of week [7]"},
      {&tm::tm_hour, -1, "Invalid hours [-1]"}, {&tm::tm_yday, 365, nullptr}, {&tm::tm_wday, 6, nullptr}};
  for (const auto& f : fields) {
    struct tm tm = {};
    tm.tm_mday = 1;
    tm.*f.field = f.value;
    LogCapture log;
    EXPECT_EQ(tsm_validate(&tm, "x"), f.msg ? 9003 : 0) << f.value;
    EXPECT_TRUE(!f.msg || log.has(f.msg)) << log.done();
  }
}

TEST_F(Tsm, HostileTextsAndFailures) {
  ASSERT_EQ(init("*"), 0);
  std::string all, digits(100000, '1');
  for (int c = 1; c < 256; c++) all += (char)c;
  for (const std::string& s : {digits, "2024-03-15" + digits, all}) EXPECT_EQ(match(s.c_str()) * 10 + err_, 0);
  LogCapture log;
  EXPECT_EQ(match("2024-03-15", LLONG_MAX) * 10 + err_, 9001);
  EXPECT_TRUE(log.has("localtime() failed - ft: ")) << log.done();
  // name patterns with open lists and trailing escapes end cleanly
  for (const char* p : {"[", "iso-[", "unix-d-d\\", "\\", "[!", "[]]", all.c_str()}) {
    int e = init(p);
    EXPECT_TRUE(e == 0 || e == 9003 || e == 9009) << e << " " << p;
  }
}

TEST(TsmCompile, ScanPatternElements) {
  auto run = [](const char* p, int, const char* t) {
    rexm re{};
    rexm_init(&re, REXM_ICASE, nullptr);
    int m = tsm_compile(&re, p) ? -1 : rexm_match(&re, t);
    rexm_free(&re);
    return m;
  };
  rex_table({{"%2H%2M%2S", 0, "235959 295959 !306000 !236000"}, {"%H%M%S%1H", 0, "9999"}, {"%2d|%d", 0, "39 !40 !0 00"},
             {"%2m-%m", 0, "19-9 !20-1 !01-0"}, {"%2c%2y%c%yT(.%2S)?", 0, "999999t 000000T.59 !000000T.60 !000000T."}},
            run);
  LogCapture log;
  EXPECT_EQ(run("%2x", 0, "") + run("%", 0, "") + run("(%2H", 0, ""), -3);
  EXPECT_TRUE(log.has(" 9003 ") && log.has("Invalid syntax [x] - patt: `%2x'.")) << log.done();
}

}  // namespace
