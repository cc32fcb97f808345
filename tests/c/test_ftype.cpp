#include "c/ftype.h"

#include <gtest/gtest.h>

namespace {

TEST(Ftype, SignaturesAndLeastSizes) {
  struct {
    const char* bytes;
    unsigned least;
    int type;
  } cases[] = {
      {"BM", 2, 1}, {"BZh9", 3, 2}, {"\x1f\x8b", 2, 3}, {"\xff\xd8\xff\xe0\0\x10JFIF", 10, 4},
      {"\x89PNG\r\n\x1a\n", 8, 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mox_ftype(c.bytes, c.least), c.type);
    EXPECT_EQ(mox_ftype(c.bytes, c.least - 1), MOX_FTYPE_UNKNOWN) << c.type;
  }
  for (const char* near : {"\x89PNG\r\n\x1aX..", "BZX.......", "bm........", "\x1f\x8c........", "\xff\xd9........"})
    EXPECT_EQ(mox_ftype(near, 10), MOX_FTYPE_UNKNOWN) << near;
  EXPECT_EQ(mox_ftype(nullptr, 10), MOX_FTYPE_UNKNOWN);
}

}  // namespace
