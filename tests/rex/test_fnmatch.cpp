#include "rex/fnmatch.h"

#include "rex_test.h"

namespace {

int fmatch(const char* patt, int flags, const char* text, int* err = nullptr) {
  return rex_once<fnm>(fnm_init, fnm_match, patt, flags, text, err);
}

TEST(Fnm, NamePatterns) {
  rex_table({{"*.txt", 0, "a.txt .txt !a.txt.bak !A.TXT"}, {"*.TXT", FNM_ICASE, "a.txt"}, {"a?c", 0, "abc !ac !abbc"},
             {"^*x", 0, "*x !ax"}, {"ab^", 0, "ab"}, {"^[a]", 0, "[a]"}, {"[a-c]x", 0, "bx"}, {"[!a-c]x", 0, "!bx dx !x"},
             {"", 0, "~ !a"}, {"*", 0, "~ a\\b/c"}, {"*a*b*", 0, "xaybz !xbya"}, {"[ab", 0, "b"}, {"x[]", 0, "!x"}},
            [](const char* p, int f, const char* t) { return fmatch(p, f, t); });
}

TEST(Fnm, HostileInputAndFailures) {
  std::string text(100000, 'a'), many;
  for (int i = 0; i < 3000; i++) many += "*a";
  int err = -1;
  double t = rex_seconds([&] {
    // a backtracking matcher needs exponential time here
    EXPECT_EQ(fmatch("*a*a*a*a*a*a*a*a*a*a*a*a*b", 0, text.c_str(), &err), 0);
    EXPECT_EQ(fmatch((std::string(5000, '*') + "a").c_str(), 0, text.c_str(), &err), 1);
    LogCapture log;  // more live states than allowed: a clean code
    EXPECT_EQ(fmatch(many.c_str(), 0, text.c_str(), &err), 0);
    EXPECT_EQ(err, 9009);
  });
  EXPECT_LT(t, 5.0);
  std::string all, esc;
  for (int b = 1; b < 256; b++) all += (char)b, esc += '^', esc += (char)b;
  EXPECT_EQ(fmatch(esc.c_str(), FNM_ICASE, all.c_str()), 1);
  // an over-long list abandons the pattern; a later pattern replaces it
  fnm fn{};
  LogCapture log;
  EXPECT_EQ(fnm_init(&fn, ("x[" + std::string(2000, 'a') + "]").c_str(), 0), 9009);
  EXPECT_EQ(fnm_match(&fn, "xa", &err), 0);
  EXPECT_EQ(err, 9001);
  EXPECT_TRUE(log.has(" 9009 ") && log.has("Character list size [1024] exceeded.")) << log.done();
  ASSERT_EQ(fnm_init(&fn, "b*", FNM_ICASE), 0);
  EXPECT_EQ(fnm_match(&fn, "Bx"), 1);
  fnm_free(&fn);
  LogCapture log2;
  EXPECT_EQ(fnm_init(nullptr, "a", 0) + fnm_init(&fn, nullptr, 0), 2 * 9003);
  EXPECT_TRUE(log2.has("`fnm' is NUL.") && log2.has("Invalid param - fnm: ")) << log2.done();
}

}  // namespace
