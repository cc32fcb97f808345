#include <gtest/gtest.h>
#include "err/err.h"

TEST(ErrLevels, Words) {
  EXPECT_STREQ(err_level_word(4), "ERR");
  EXPECT_EQ(err_level_word(9), nullptr);
}
