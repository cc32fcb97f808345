#include "fio/timef.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "c/log_capture.h"
#include "fio/intf.h"

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
