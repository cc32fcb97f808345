#include <gtest/gtest.h>

#include "fio/intf.h"
#include "fio/uintf.h"

namespace {

struct Parsed {
  int rc;
  unsigned op;
  unsigned value;
};

Parsed parse(unsigned flags, const char* text) {
  uintf f;
  uintf_init(&f, flags);
  Parsed p{0, 77, 88};
  p.rc = uintf_parse(&f, text, nullptr, &p.op, &p.value);
  return p;
}

TEST(Uintf, Prefixes) {
  const struct {
    unsigned flags;
    const char* text;
    unsigned op, value;
  } cases[] = {
      {1, "+5", INTF_GT, 5}, {1, "-5", INTF_LT, 5}, {1, "5", 77, 5}, {1, "<5", 77, 0},  // no prefix: op as set
      {0, "<=5", INTF_LE, 5}, {0, "<5", INTF_LT, 5}, {0, ">=5", INTF_GE, 5}, {0, ">5", INTF_GT, 5},
      {0, "=5", 77, 0}, {0, "+5", 77, 5},
  };
  for (const auto& k : cases) {
    Parsed p = parse(k.flags, k.text);
    EXPECT_EQ(p.rc, 0) << k.text;
    EXPECT_EQ(p.op, k.op) << k.text;
    EXPECT_EQ(p.value, k.value) << k.text;
  }
}

TEST(Uintf, NumbersAsFarAsTheyGo) {
  EXPECT_EQ(parse(1, "abc").value, 0u);
  EXPECT_EQ(parse(1, "5x").value, 5u);
  EXPECT_EQ(parse(1, "4294967295").value, 4294967295u);
  EXPECT_EQ(parse(1, "4294967296").rc, 9003);
  EXPECT_EQ(parse(1, "99999999999999999999999").rc, 9003);
  // the runtime's conversion takes a sign and wraps: a negative number was once read as a huge one
  EXPECT_EQ(parse(0, "-5").rc, 9003);
  EXPECT_EQ(parse(0, "-18446744073709551615").rc, 9003) << "wraps to 1, inside the range";
  EXPECT_EQ(parse(1, "+-5").rc, 9003);
  EXPECT_EQ(parse(0, "-0").rc, 0);
  Parsed p = parse(1, "");
  EXPECT_EQ(p.rc + p.op + p.value, 77u + 88u) << "an empty text touches nothing";
  EXPECT_EQ(parse(1, nullptr).value, 88u);
}

}  // namespace
