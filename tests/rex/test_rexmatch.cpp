#include "rex/rexmatch.h"

#include "rex_test.h"

namespace {

TEST(RexmMatch, AnUnfinishedAutomatonMatchesNothing) {
  rexm re;
  rexm_clear(&re);
  int err = 0;
  LogCapture log;
  EXPECT_EQ(rexm_match(&re, "", &err), 0);
  EXPECT_EQ(err, 9001);
  EXPECT_TRUE(log.has(" 9001 ") && log.has("Empty regular expression - rexm: ")) << log.done();
}

// n alternatives of the letter a: reading "a" reaches n states at once
int alternatives(int n, int* err) {
  std::string patt = "a";
  for (int i = 1; i < n; i++) patt += "|a";
  rexm re;
  int m = rex_build(re, patt.c_str(), 0) ? -1 : rexm_match(&re, "a", err);
  rexm_free(&re);
  return m;
}

TEST(RexmMatch, LiveStateLimit) {
  int err = -1;
  EXPECT_EQ(alternatives(511, &err), 1);
  EXPECT_EQ(err, 0);
  LogCapture log;
  EXPECT_EQ(alternatives(512, &err), 0);
  EXPECT_EQ(err, 9009);
  EXPECT_TRUE(log.has(" 9009 ") && log.has("Rexm max states exceeded [512].")) << log.done();
}

TEST(RexmMatch, EmptyLoopsAndLongEmptyChains) {
  rexm re;
  // a group that can match the empty text, repeated: no front end builds this, yet
  // the simulation must still end
  ASSERT_EQ(rex_build(re, "(a?)*b", 0), 0);
  EXPECT_EQ(rexm_match(&re, "aaab") + rexm_match(&re, "b") - rexm_match(&re, "aac"), 2);
  rexm_free(&re);
  // the closure used to recurse once per empty line: a chain of 5000 of them
  std::string patt;
  for (int i = 0; i < 5000; i++) patt += ".?";
  ASSERT_EQ(rex_build(re, patt.c_str(), 0), 0);
  int err = -1;
  EXPECT_EQ(rexm_match(&re, "", &err), 1);
  LogCapture log;
  EXPECT_EQ(rexm_match(&re, "ab", &err), 0);
  EXPECT_EQ(err, 9009);
  rexm_free(&re);
}

}  // namespace
