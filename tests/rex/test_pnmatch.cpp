#include "rex/pnmatch.h"

#include "rex_test.h"

namespace {

int pmatch(const char* patt, int flags, const char* text, int* err = nullptr) {
  return rex_once<pnm>(pnm_init, pnm_match, patt, flags, text, err);
}

constexpr int D = PNM_DIR, I = PNM_ICASE;

TEST(Pnm, PathPatterns) {
  rex_table({{"c:\\src\\*.c", 0, "c:/src/a.c c:\\src\\a.c !c:\\src\\sub\\a.c"},
             {"c:\\src\\**.c", 0, "c:\\src\\sub\\a.c c:/src/a.c"}, {"c:/src/***.c", 0, "c:\\src\\x/y\\a.c"},
             {"C:\\SRC\\*.C", I, "c:/src/a.c"}, {"C:\\SRC\\*.C", 0, "!c:/src/a.c"},
             {"c:\\tmp", D, "c:\\tmp c:\\tmp\\ c:/tmp/ !c:\\tmp\\x !c:\\tmpx"}, {"c:\\tmp", 0, "!c:\\tmp\\"},
             {"c:\\tmp\\", D, "c:\\tmp"}, {"c:", D, "c: !c:\\"}, {"", D, "~"}, {"a\\b", D, "a/b/ !a//b"},
             {"[!a]*", 0, "!\\x !/x bx !ax"}, {"a?b", 0, "!a\\b !a/b axb"}, {"**\\*.h", 0, "x\\y.h x/y/z.h !y.h"},
             {"a^\\b", 0, "a\\b !a/b"}},
            [](const char* p, int f, const char* t) { return pmatch(p, f, t); });
}

TEST(Pnm, HostileInputAndLimits) {
  {
    LogCapture log;
    EXPECT_EQ(pmatch(std::string(5000, 'a').c_str(), D, "a"), -9005);
    EXPECT_EQ(pmatch(std::string(2048, '\\').c_str(), 0, "\\"), -9009);  // each separator takes four states
    EXPECT_TRUE(log.has(" 9005 ") && log.has("`path' too small [4096]")) << log.done();
    EXPECT_TRUE(log.has(" 9009 ") && log.has("Failed to add state - num: 8192.")) << log.done();
  }
  EXPECT_EQ(pmatch(std::string(2047, '\\').c_str(), 0, std::string(2047, '/').c_str()), 1);
  std::string text, all;
  for (int i = 0; i < 20000; i++) text += "ab\\/c";
  double t = rex_seconds([&] {
    EXPECT_EQ(pmatch("**a**b**c**d", I, text.c_str()), 0);
    EXPECT_EQ(pmatch((std::string(4000, '*') + "c").c_str(), 0, text.c_str()), 1);
  });
  EXPECT_LT(t, 5.0);
  for (int b = 1; b < 256; b++) all += (char)b;
  EXPECT_EQ(pmatch("*", 0, all.c_str()), 0);  // the text holds separators
  EXPECT_EQ(pmatch("**", I, all.c_str()), 1);
}

}  // namespace
