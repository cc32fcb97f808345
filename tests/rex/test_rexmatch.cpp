#include <gtest/gtest.h>

#include <thread>

#include "rex/pnmatch.h"
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
  ASSERT_EQ(rex_build(re, "a", 0), 0);
  EXPECT_EQ(rexm_match(&re, "a"), 1);  // the code is optional
  rexm_free(&re);
}

// n alternatives of the letter a: reading "a" reaches n states at once
int alternatives(int n, int* err) {
  rexm re;
  rexm_clear(&re);
  rexm_init(&re, 0, nullptr);
  for (int i = 0; i < n; i++) {
    if (i) rexm_alt(&re);
    rexm_add_char(&re, 'a', 0);
  }
  rexm_finish(&re);
  int m = rexm_match(&re, "a", err);
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
  EXPECT_TRUE(rex_empty_cycle(re));
  EXPECT_EQ(rexm_match(&re, "aaab") + rexm_match(&re, "b"), 2);
  EXPECT_EQ(rexm_match(&re, "aac"), 0);
  rexm_free(&re);
  // 5000 optional atoms: empty lines in a chain of 5000, walked without recursion
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

TEST(RexmMatch, ManyThreadsOnOneAutomaton) {
  pnm pn;
  pnm_clear(&pn);
  ASSERT_EQ(pnm_init(&pn, "**\\[a-m]*.t?t", PNM_ICASE), 0);
  std::mt19937 rng(7);
  std::vector<std::string> texts;
  for (int i = 0; i < 4000; i++) texts.push_back(rex_pick(rng, {"a", "Z", "\\", "/", ".txt", ".TXT", "m"}, 8));
  std::vector<char> want;
  for (auto& t : texts) want.push_back((char)pnm_match(&pn, t.c_str()));
  int hits = 0;
  for (char w : want) hits += w;
  ASSERT_GT(hits, 100);  // the check below must see both answers
  ASSERT_LT(hits, 3900);
  std::vector<int> wrong(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; t++)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 20; round++)
        for (size_t i = 0; i < texts.size(); i++) wrong[t] += pnm_match(&pn, texts[i].c_str()) != want[i];
    });
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; t++) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  pnm_free(&pn);
}

}  // namespace
