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

TEST(Uintf, SignedFormPrefixes) {
  Parsed p = parse(1, "+5");
  EXPECT_EQ(p.rc, 0);
  EXPECT_EQ(p.op, (unsigned)INTF_GT);
  EXPECT_EQ(p.value, 5u);
  p = parse(1, "-5");
  EXPECT_EQ(p.op, (unsigned)INTF_LT);
  EXPECT_EQ(p.value, 5u);
  p = parse(1, "5");
  EXPECT_EQ(p.op, 77u) << "no prefix leaves the code as the caller set it";
  p = parse(1, "<5");
  EXPECT_EQ(p.op, 77u) << "relational prefixes mean nothing in the signed form";
  EXPECT_EQ(p.value, 0u);
}

TEST(Uintf, RelationalFormPrefixes) {
  EXPECT_EQ(parse(0, "<=5").op, (unsigned)INTF_LE);
  EXPECT_EQ(parse(0, "<5").op, (unsigned)INTF_LT);
  EXPECT_EQ(parse(0, ">=5").op, (unsigned)INTF_GE);
  EXPECT_EQ(parse(0, ">5").op, (unsigned)INTF_GT);
  Parsed p = parse(0, "=5");
  EXPECT_EQ(p.op, 77u);
  EXPECT_EQ(p.value, 0u) << "'=' is no prefix, so no digits are read";
  EXPECT_EQ(parse(0, "+5").op, 77u);
}

TEST(Uintf, NumbersAsFarAsTheyGo) {
  EXPECT_EQ(parse(1, "abc").value, 0u);
  EXPECT_EQ(parse(1, "5x").value, 5u);
  EXPECT_EQ(parse(1, "4294967295").value, 4294967295u);
  EXPECT_EQ(parse(1, "4294967296").rc, 9003);
  EXPECT_EQ(parse(1, "99999999999999999999999").rc, 9003);
}

TEST(Uintf, EmptyTextTouchesNothing) {
  Parsed p = parse(1, "");
  EXPECT_EQ(p.rc, 0);
  EXPECT_EQ(p.op, 77u);
  EXPECT_EQ(p.value, 88u);
  p = parse(1, nullptr);
  EXPECT_EQ(p.value, 88u);
}

}  // namespace
