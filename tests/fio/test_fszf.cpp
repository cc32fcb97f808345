#include <gtest/gtest.h>

#include "fio/fszf.h"
#include "fio/intf.h"

namespace {

struct Parsed {
  int rc;
  unsigned op, n, unit;
};

Parsed parse(unsigned flags, const char* text) {
  fszf f;
  fszf_init(&f, flags);
  Parsed p{0, 0, 0, 1};
  p.rc = fszf_parse(&f, text, &p.op, &p.n, &p.unit);
  return p;
}

TEST(Fszf, Units) {
  Parsed p = parse(1, "10k");
  EXPECT_EQ(p.rc, 0);
  EXPECT_EQ(p.n, 10u);
  EXPECT_EQ(p.unit, 1024u);
  EXPECT_EQ(parse(1, "10K").unit, 1024u);
  EXPECT_EQ(parse(1, "3m").unit, 1048576u);
  EXPECT_EQ(parse(1, "3G").unit, 1073741824u);
  p = parse(1, "10 ");
  EXPECT_EQ(p.rc, 0);
  EXPECT_EQ(p.unit, 1u);
  EXPECT_EQ(p.n, 10u);
  EXPECT_EQ(parse(1, "10").unit, 1u);
  EXPECT_EQ(parse(1, "10kb").rc, 0) << "text after the unit letter is not examined";
}

TEST(Fszf, Refusals) {
  EXPECT_EQ(parse(1, "10c").rc, 9003);
  EXPECT_EQ(parse(1, "10x").rc, 9003);
  EXPECT_EQ(parse(1, "-k").rc, 9003);
  EXPECT_EQ(parse(1, "k").rc, 9003);
  EXPECT_EQ(parse(0, "<=x").rc, 9003);
}

TEST(Fszf, PrefixAndOverflow) {
  Parsed p = parse(1, "+10k");
  EXPECT_EQ(p.op, (unsigned)INTF_GT);
  EXPECT_EQ(parse(0, ">=2").op, (unsigned)INTF_GE);
  EXPECT_EQ(parse(1, "99999999999999").n, 0xFFFFFFFFu) << "no range check: the largest value";
}

}  // namespace
