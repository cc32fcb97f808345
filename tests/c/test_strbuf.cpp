#include "c/strbuf.h"

#include <cstdlib>

#include "c/log_capture.h"

namespace {

TEST(Strbuf, GrowsByStepOrByNeed) {
  strbuf sb;
  ASSERT_EQ(strbuf_init(&sb, 16), 0);
  int err = -1;
  EXPECT_EQ(strbuf_cat(&sb, nullptr, &err), nullptr);  // nothing yet
  EXPECT_STREQ(strbuf_cat(&sb, "abc", &err), "abc");
  unsigned first = sb.size;
  EXPECT_GE(first, 16u);  // one step, or the block the heap gave
  std::string fill(first - 4, 'x'), big(1000, 'z');
  strbuf_cat(&sb, fill.c_str(), &err);  // fills the block exactly
  EXPECT_EQ(sb.size, first);
  strbuf_cat(&sb, "y", &err);  // one more byte grows by a step
  EXPECT_GE(sb.size, first + 16);
  EXPECT_LT(sb.size, first + 16 + 64);
  strbuf_cat(&sb, big.c_str(), &err);  // longer than a step: grows by the need
  EXPECT_GE(sb.size, first + 1001);
  EXPECT_EQ(std::string(sb.str), "abc" + fill + "y" + big);
  strbuf_free(&sb);
}

TEST(Strbuf, FailedGrowthKeepsText) {
  strbuf sb;
  strbuf_init(&sb, 8);
  int err = 0;
  strbuf_cat(&sb, "keep me", &err);
  unsigned size = sb.size;
  sb.step = 0xFFFFFFFFu;  // no 32-bit capacity can take this step
  LogCapture log;
  EXPECT_STREQ(strbuf_cat(&sb, "more text than fits", &err), "keep me");
  EXPECT_EQ(err, 9004);
  EXPECT_EQ(sb.size, size);
  EXPECT_TRUE(log.has(" 9004 ") && log.has(": size: ")) << log.done();
  strbuf_free(&sb);
}

}  // namespace
