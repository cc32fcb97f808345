#include <gtest/gtest.h>

#include "rex/fnmatch.h"
#include "rex_test.h"

namespace {

int fmatch(const char* patt, int flags, const char* text, int* err = nullptr) {
  fnm fn;
  fnm_clear(&fn);
  int rc = fnm_init(&fn, patt, flags);
  int m = rc ? 0 : fnm_match(&fn, text, err);
  fnm_free(&fn);
  return rc ? -rc : m;
}

TEST(Fnm, NamePatterns) {
  rex_table({{"*.txt", 0, "a.txt .txt !a.txt.bak !A.TXT"}, {"*.txt", FNM_ICASE, "A.TXT"}, {"*.TXT", FNM_ICASE, "a.txt"},
             {"a?c", 0, "abc !ac !abbc"}, {"^*x", 0, "*x !ax"}, {"a^?", 0, "a? !ab"}, {"ab^", 0, "ab"},
             {"^[a]", 0, "[a]"}, {"[a-c]x", 0, "bx"}, {"[!a-c]x", 0, "!bx dx !x"}, {"", 0, "~ !a"},
             {"*", 0, "~ a\\b/c"}, {"a\\b", 0, "a\\b"}, {"*a*b*", 0, "xaybz !xbya"}, {"[ab", 0, "b"}, {"x[]", 0, "!x"}},
            [](const char* p, int f, const char* t) { return fmatch(p, f, t); });
}

TEST(Fnm, AgreesWithReferenceAndBuildsNoEmptyLoop) {
  for (int flags : {0, (int)FNM_ICASE}) {
    fnm fn;
    fnm_clear(&fn);
    rex_ref ref;
    ref.icase = flags;
    int hits = rex_cross(
        1 + flags, {"a", "b", "A", "*", "?", "[ab]", "[!a]", "[b-a]", "^*", "^?", "^", "-"},
        {"a", "b", "A", "B", "*", "?", "-", "^"},
        [&](const std::string& p) { return fnm_init(&fn, p.c_str(), flags) ? nullptr : &fn.re; },
        [&](const std::string& p, const std::string& t) { return ref.match(p.c_str(), t.c_str()); });
    EXPECT_GT(hits, 1000);
    fnm_free(&fn);
  }
}

TEST(Fnm, HostileInput) {
  std::string text(100000, 'a'), many;
  for (int i = 0; i < 3000; i++) many += "*a";
  int err = -1;
  double t = rex_seconds([&] {
    // a backtracking matcher needs exponential time here
    EXPECT_EQ(fmatch("*a*a*a*a*a*a*a*a*a*a*a*a*b", 0, text.c_str(), &err), 0);
    EXPECT_EQ(fmatch("*a*a*a*a*a*a*a*a*a*a*a*a*b", 0, (text + "b").c_str(), &err), 1);
    EXPECT_EQ(fmatch((std::string(5000, '*') + "a").c_str(), 0, text.c_str(), &err), 1);
    EXPECT_EQ(fmatch("*.c", FNM_ICASE, (text + ".C").c_str(), &err), 1);
    // thousands of star-letter pairs: more live states than allowed, a clean code
    LogCapture log;
    EXPECT_EQ(fmatch(many.c_str(), 0, text.c_str(), &err), 0);
    EXPECT_EQ(err, 9009);
  });
  EXPECT_LT(t, 5.0);
  // an over-long list: the pattern is abandoned
  fnm fn;
  fnm_clear(&fn);
  LogCapture log;
  EXPECT_EQ(fnm_init(&fn, ("x[" + std::string(2000, 'a') + "]").c_str(), 0), 9009);
  EXPECT_EQ(fnm_match(&fn, "xa", &err), 0);
  EXPECT_EQ(err, 9001);
  EXPECT_TRUE(log.has(" 9009 ") && log.has("Character list size [1024] exceeded.")) << log.done();
  // every byte value, literally and as pattern characters
  std::string all, esc;
  for (int b = 1; b < 256; b++) all += (char)b, esc += '^', esc += (char)b;
  EXPECT_EQ(fmatch("*", 0, all.c_str()), 1);
  EXPECT_EQ(fmatch(esc.c_str(), FNM_ICASE, all.c_str()), 1);
  EXPECT_GE(fmatch(all.c_str(), 0, all.c_str()), 0);
}

TEST(Fnm, InitReplacesTheEarlierPattern) {
  fnm fn;
  fnm_clear(&fn);
  ASSERT_EQ(fnm_init(&fn, "a*", 0), 0);
  ASSERT_EQ(fnm_init(&fn, "b*", FNM_ICASE), 0);
  EXPECT_EQ(fnm_match(&fn, "Bx") * 2 + fnm_match(&fn, "ax"), 2);
  fnm_free(&fn);
  EXPECT_EQ(fnm_init(nullptr, "a", 0) + fnm_init(&fn, nullptr, 0), 2 * 9003);
}

}  // namespace
