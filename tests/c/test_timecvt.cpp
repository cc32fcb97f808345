#include "c/timecvt.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "c/log_capture.h"

namespace {

FILETIME ft_of(time_t tt) {
  FILETIME ft{};
  EXPECT_EQ(tt_to_ft(tt, &ft), 0);
  return ft;
}

// Every field ft_to_tm fills, as one text: "Y-M-D wWDAY dYDAY h:m:s dstFLAG".
std::string fields(const struct tm& tm) {
  char buf[80];
  snprintf(buf, sizeof buf, "%d-%02d-%02d w%d d%d %02d:%02d:%02d dst%d", tm.tm_year + 1900, tm.tm_mon + 1,
           tm.tm_mday, tm.tm_wday, tm.tm_yday, tm.tm_hour, tm.tm_min, tm.tm_sec, tm.tm_isdst);
  return buf;
}

}  // namespace

TEST(Timecvt, FileTimesOfKnownDates) {
  EXPECT_EQ(ft_u64(ft_of(0)), 116444736000000000ULL);
  EXPECT_EQ(ft_u64(ft_of(-11644473600LL)), 0ULL);              // 1601-01-01
  FILETIME ft;
  EXPECT_EQ(tt_to_ft(-11644473601LL, &ft), 9003);  // before the file time epoch
  TIME_ZONE_INFORMATION tzi;
  if (GetTimeZoneInformation(&tzi) != TIME_ZONE_ID_UNKNOWN) GTEST_SKIP() << "the system zone has daylight saving";
  long east = -tzi.Bias * 60L;
  const struct { time_t utc; const char* want; } cases[] = {{1709214330, "2024-02-29 w4 d59 13:45:30 dst-1"},
      {2147483648LL, "2038-01-19 w2 d18 03:14:08 dst-1"}};
  for (const auto& c : cases) {
    struct tm tm;
    ft = ft_of(c.utc - east);
    ASSERT_EQ(ft_to_tm(&ft, &tm), 0);
    EXPECT_EQ(fields(tm), c.want);
    EXPECT_EQ(_mkgmtime(&tm), c.utc);
  }
}

TEST(Timecvt, SystemTimeBothDirections) {
  SYSTEMTIME st = {2021, 3, 0, 14, 2, 30, 5, 999}, back;
  struct tm tm;
  ASSERT_EQ(st_to_tm(&st, &tm), 0);
  EXPECT_EQ(fields(tm), "2021-03-14 w0 d72 02:30:05 dst-1");
  memset(&back, 0xFF, sizeof back);
  ASSERT_EQ(tm_to_st(&tm, &back), 0);
  st.wMilliseconds = 0;
  EXPECT_EQ(memcmp(&back, &st, sizeof st), 0);
}

struct tm at(int y, int mon, int d, int h, int isdst) {
  struct tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mon - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_isdst = isdst;
  return tm;
}

// The runtime reads the zone from TZ and applies the US rules to it. Set once per
// suite: under Wine, unsetting TZ and setting it again loses the daylight rule.
class MktimeLocal : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* tz = getenv("TZ");
    saved_ = tz ? std::string("TZ=") + tz : "TZ=";
    _putenv("TZ=EST5EDT");
    _tzset();
  }
  static void TearDownTestSuite() {
    _putenv(saved_.c_str());
    _tzset();
  }
  static std::string saved_;
};

std::string MktimeLocal::saved_;

TEST_F(MktimeLocal, WrongGuessesTheChangeAndFailures) {
  struct tm tm = at(2021, 7, 1, 12, 0);
  if (mktime(&tm) != 1625158800) GTEST_SKIP() << "the runtime does not follow TZ";
  int code = -5;
  tm = at(2021, 7, 1, 12, 0);
  EXPECT_EQ(mktime_local(&tm, &code), 1625155200);  // 16:00 UTC
  EXPECT_EQ(code, 0);
  EXPECT_EQ(tm.tm_isdst, 1);
  tm = at(2021, 3, 13, 12, 1);
  time_t before = mktime_local(&tm, &code);
  EXPECT_EQ(before, 1615654800);  // 17:00 UTC
  EXPECT_EQ(tm.tm_isdst, 0);
  tm.tm_mday += 2;  // past the change, the flag still from the winter side
  EXPECT_EQ(mktime_local(&tm, &code) - before, 2 * 86400 - 3600);
  EXPECT_EQ(tm.tm_isdst, 1);
  tm = at(1950, 6, 1, 8, -1);
  tm.tm_min = 5;
  LogCapture log;
  EXPECT_EQ(mktime_local(&tm, &code), -1);
  EXPECT_EQ(code, 9001);
  EXPECT_TRUE(log.has(" 9001 ") && log.has("mktime() failed - 1950-06-01 08:05:00.")) << log.done();
}
