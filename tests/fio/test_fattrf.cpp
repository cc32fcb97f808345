#include <gtest/gtest.h>

#include "fio/fattrf.h"
#include "fio/ftypef.h"

namespace {

TEST(Fattrf, LettersToMask) {
  fattrf f;
  fattrf_init(&f, 1);
  unsigned op = 5, mask = 0;
  EXPECT_EQ(fattrf_parse(&f, "adhrs", &op, &mask), 0);
  EXPECT_EQ(mask, 0x37u);
  EXPECT_EQ(op, 5u) << "the code is never set";
  EXPECT_EQ(fattrf_parse(&f, "R", &op, &mask), 9003);  // the console's letters: tests/e2e
}

TEST(Ftypef, Letters) {
  ftypef f;
  ftypef_init(&f, 0);
  unsigned op = 5, dir = 0, reg = 0;
  EXPECT_EQ(ftypef_parse(&f, "df", &op, &dir, &reg), 0);
  EXPECT_EQ(dir, 0x10u);
  EXPECT_EQ(reg, 1u);
  EXPECT_EQ(ftypef_parse(&f, "D", &op, &dir, &reg), 9003);
}

TEST(FattrfToStr, Letters) {
  const struct {
    unsigned attrs, size;
    int rc;
    const char* want;
  } cases[] = {{0x13, 10, 0, "DRH"}, {0xFFFFFFFF, 10, 0, "DRSHA"}, {0x24, 10, 0, "SA"}, {0x80, 10, 0, ""},
               {0x13, 9, 9005, ""}};
  for (const auto& c : cases) {
    char buf[10] = "junk";
    EXPECT_EQ(fattrf_to_str(c.attrs, buf, c.size), c.rc);
    EXPECT_STREQ(buf, c.want) << std::hex << c.attrs;
  }
}

}  // namespace
