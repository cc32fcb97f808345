#include "rex/rexm.h"

#include "rex_test.h"

namespace {

// 1 or 0 as rexm_match answers, -code on a failure
int run(const char* patt, int flags, const char* text, const char* seps = nullptr) {
  rexm re;
  int rc = rex_build(re, patt, flags, seps), err = 0, m = 0;
  if (!rc) m = rexm_match(&re, text, &err);
  rexm_free(&re);
  return rc ? -rc : err ? -err : m;
}

constexpr int G = REXM_GLOB, I = REXM_ICASE;

TEST(RexmBuild, AtomsGroupsAlternatives) {
  rex_table({{"", 0, "~ !a"}, {"ab", 0, "ab !abc !a"}, {"a*", 0, "~ aaa !ab"}, {"a+", 0, "!~ a aaa"},
             {"a?b", 0, "b ab !aab"}, {"a?b", G, "!b ab"}, {"(ab)+", 0, "!~ abab !aba"}, {"(ab)*c", 0, "c abc ababc"},
             {"(ab)?c", 0, "c abc !ababc"}, {"(ab)?c", G, "!c abc"}, {"(a|bc)d", 0, "ad bcd !d !abcd"},
             // an empty alternative used to be lost when another one followed
             {"(a|)x", 0, "x ax"}, {"(|b)x", 0, "x bx"}, {"(a||b)x", 0, "x ax bx"},
             // an inner group joins only its own alternatives
             {"(a|(b|c)d)", 0, "a bd cd !ad"}, {"(x|y(z)+)w", 0, "xw yzzw !yw !xzw"},
             {"A", I, "a A"}, {"A", 0, "!a"}, {"\\A.", I, "aB"}},
            [](const char* p, int f, const char* t) { return run(p, f, t); });
}

TEST(RexmBuild, FailuresAreReportedAndTheStateLimitHolds) {
  rexm re;
  rexm_clear(&re);
  rexm_init(&re, 0, nullptr);
  LogCapture log;
  EXPECT_EQ(rexm_alt(&re), 9012);
  EXPECT_EQ(rexm_group_end(&re, 0), 9001);
  EXPECT_EQ(rexm_add_char(&re, 'a', 'x') + rexm_add_char(&re, 0, 0), 2 * 9003);
  EXPECT_EQ(re.nstates, 0);  // refused atoms add no state
  EXPECT_TRUE(log.has("No states - rexm: ") && log.has("No group.")) << log.done();
  LogCapture log2;
  int rc = 0;
  for (int i = 0; !rc && i < REXM_MAX_STATES + 5; i++) rc = rexm_add_char(&re, 'a', 0);
  EXPECT_EQ(rc, 9009);
  EXPECT_EQ(re.nstates, REXM_MAX_STATES);
  EXPECT_TRUE(log2.has(" 9009 ") && log2.has("Failed to add state - num: 8192.")) << log2.done();
  rexm_free(&re);
}

TEST(RexmChl, ReadsListsAndRangesUpTo1023Characters) {
  struct {
    const char *patt, *list;
    int neg;
    unsigned used;
  } cases[] = {
      {"[abc]x", "abc", 0, 5}, {"[a-c-e]x", "abcde", 0, 7}, {"[z-a]", "zabcdefghijklmnopqrstuvwxy", 0, 5},
      {"[a-]", "a-", 0, 4}, {"[-a]", "-a", 0, 4}, {"[]abc]", "", 0, 2}, {"[!]", "", 1, 3}, {"[abc", "abc", 0, 4},
      {"[a\\]b]", "a]b", 0, 6}, {"[a\\", "a", 0, 3}, {"[c-a-b]", "cabb", 0, 7}, {"[!!]", "!", 1, 4},
  };
  char chl[REXM_CHL_SIZE];
  int neg = -1;
  unsigned used = 0;
  for (auto& c : cases) {
    EXPECT_EQ(rexm_read_chl(c.patt, '!', chl, sizeof chl, &neg, &used), 0) << c.patt;
    EXPECT_EQ(std::string(chl) + "/" + std::to_string(neg) + "/" + std::to_string(used),
              std::string(c.list) + "/" + std::to_string(c.neg) + "/" + std::to_string(c.used));
  }
  std::string ok = "[\x01-\xff\x01-\xff\x01-\xff\x01-\xff" "abc]";  // 4 * 255 + 3
  EXPECT_EQ(rexm_read_chl(ok.c_str(), '!', chl, sizeof chl, &neg, nullptr), 0);
  EXPECT_EQ(strlen(chl), 1023u);
  rexm re;
  LogCapture log;
  EXPECT_EQ(rex_build(re, (ok.substr(0, ok.size() - 1) + "d]").c_str(), 0), 9009);
  EXPECT_TRUE(log.has(" 9009 ") && log.has("Character list size [1024] exceeded.")) << log.done();
  rexm_free(&re);
}

TEST(RexmChl, SeparatorsCaseAndEveryByte) {
  rex_table({{"[!]", 0, "x !\\ !~"}, {"[]", 0, "!x !] !~"}, {".", 0, "!/"}, {"#", 0, "/ \\"}, {"[\\\\/x]", 0, "!\\ x"},
             {"[A-C]", I, "b B"}, {"[A-C]", 0, "!b"}, {"[!a-c]", I, "!B"}},
            [](const char* p, int f, const char* t) { return run(p, f, t, "\\/"); });
  EXPECT_EQ(run(".", I, "x", "X"), 0);  // separators are compared lower-cased
  for (int b = 1; b < 256; b++) {
    char t[2] = {(char)b, 0};
    EXPECT_EQ(run("[\x01-\xff]", 0, t) - run("[!\x01-\xff]", I, t), 1) << b;
    EXPECT_EQ(run("[\x01-@[-\xff]", I, t), 1) << b;  // letters through their lower case
  }
}

}  // namespace
