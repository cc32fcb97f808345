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

TEST(Fszf, UnitsAndRefusals) {
  const struct {
    const char* text;
    int rc;
    unsigned n, unit;
  } cases[] = {
      {"10K", 0, 10, 1024}, {"3m", 0, 3, 1048576}, {"3G", 0, 3, 1073741824},
      {"10 ", 0, 10, 1}, {"10kb", 0, 10, 1024},  // after the unit letter: not examined
      {"100c", 0, 100, 1}, {"7C", 0, 7, 1}, {"10x", 9003, 10, 1}, {"-k", 9003, 0, 1}, {"k", 9003, 0, 1},
  };
  for (const auto& k : cases) {
    Parsed p = parse(1, k.text);
    EXPECT_EQ(p.rc, k.rc) << k.text;
    EXPECT_EQ(p.n, k.n) << k.text;
    EXPECT_EQ(p.unit, k.unit) << k.text;
  }
  EXPECT_EQ(parse(0, "<=x").rc, 9003);
}

TEST(Fszf, PrefixAndOverflow) {
  Parsed p = parse(1, "+10k");
  EXPECT_EQ(p.op, (unsigned)INTF_GT);
  EXPECT_EQ(parse(0, ">=2").op, (unsigned)INTF_GE);
  EXPECT_EQ(parse(1, "99999999999999").n, 0xFFFFFFFFu) << "no range check: the largest value";
}

}  // namespace
