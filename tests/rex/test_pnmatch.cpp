#include <gtest/gtest.h>

#include "rex/pnmatch.h"
#include "rex_test.h"

namespace {

int pmatch(const char* patt, int flags, const char* text, int* err = nullptr) {
  pnm pn;
  pnm_clear(&pn);
  int rc = pnm_init(&pn, patt, flags);
  int m = rc ? 0 : pnm_match(&pn, text, err);
  pnm_free(&pn);
  return rc ? -rc : m;
}

constexpr int D = PNM_DIR, I = PNM_ICASE;

TEST(Pnm, PathPatterns) {
  rex_table({{"c:\\src\\*.c", 0, "c:/src/a.c c:\\src\\a.c !c:\\src\\sub\\a.c"},
             {"c:\\src\\**.c", 0, "c:\\src\\sub\\a.c c:/src/a.c"}, {"c:/src/***.c", 0, "c:\\src\\x/y\\a.c"},
             {"C:\\SRC\\*.C", I, "c:/src/a.c"}, {"C:\\SRC\\*.C", 0, "!c:/src/a.c"},
             {"c:\\tmp", D, "c:\\tmp c:\\tmp\\ c:/tmp/ !c:\\tmp\\x !c:\\tmpx"}, {"c:\\tmp", 0, "!c:\\tmp\\"},
             {"c:\\tmp\\", D, "c:\\tmp"}, {"c:/tmp/", 0, "!c:\\tmp"}, {"c:", D, "c: !c:\\"}, {"", D, "~"},
             {"a\\b", D, "a/b/ !a//b"}, {"[!a]*", 0, "!\\x !/x bx !ax"}, {"a?b", 0, "!a\\b !a/b axb"},
             {"*", 0, "!a\\b"}, {"**\\*.h", 0, "x\\y.h x/y/z.h !y.h"}, {"a^\\b", 0, "a\\b !a/b"}, {"**", 0, "\\/"}},
            [](const char* p, int f, const char* t) { return pmatch(p, f, t); });
}

TEST(Pnm, AgreesWithReferenceAndBuildsNoEmptyLoop) {
  const std::vector<std::string> pieces = {"a", "b", "*", "**", "?", "\\", "/", "[ab]", "[!a]", "^\\", "^*"};
  const std::vector<std::string> letters = {"a", "b", "\\", "/", "*"};
  pnm pn;
  pnm_clear(&pn);
  rex_ref ref;
  ref.seps = "\\/";
  auto plain = [&](const std::string& p, const std::string& t) { return ref.match(p.c_str(), t.c_str()); };
  // the directory form: the pattern with a separator added that may be left out
  auto dir = [&](const std::string& p, const std::string& t) {
    std::string full = p;
    if (!p.empty() && !strchr("\\/:", p.back())) full += '\\';
    std::string cut = full;
    if (!cut.empty() && strchr("\\/", cut.back()) && !(cut.size() > 1 && cut[cut.size() - 2] == '^')) cut.pop_back();
    return plain(full, t) || plain(cut, t);
  };
  for (int flags : {0, (int)D}) {
    int hits = rex_cross(
        2, pieces, letters, [&](const std::string& p) { return pnm_init(&pn, p.c_str(), flags) ? nullptr : &pn.re; },
        flags ? std::function<bool(const std::string&, const std::string&)>(dir) : plain);
    EXPECT_GT(hits, 1000) << flags;
  }
  pnm_free(&pn);
}

TEST(Pnm, HostileInputAndLimits) {
  int err = -1;
  std::string longp(5000, 'a');
  {
    LogCapture log;
    EXPECT_EQ(pmatch(longp.c_str(), D, "a"), -9005);
    EXPECT_EQ(pmatch(std::string(2100, '\\').c_str(), 0, "\\"), -9009);  // each separator takes four states
    EXPECT_TRUE(log.has(" 9005 ") && log.has("`path' too small [4096]")) << log.done();
    EXPECT_TRUE(log.has(" 9009 ") && log.has("Failed to add state - num: 8192.")) << log.done();
  }
  EXPECT_EQ(pmatch(longp.c_str(), 0, longp.c_str()), 1);
  std::string text, all;
  for (int i = 0; i < 20000; i++) text += "ab\\/c";
  double t = rex_seconds([&] {
    EXPECT_EQ(pmatch("**a**b**c**d", I, text.c_str(), &err), 0);
    EXPECT_EQ(pmatch("**a**b**c*", I, text.c_str(), &err), 1);
    EXPECT_EQ(pmatch((std::string(4000, '*') + "c").c_str(), 0, text.c_str(), &err), 1);
  });
  EXPECT_LT(t, 5.0);
  for (int b = 1; b < 256; b++) all += (char)b;
  EXPECT_EQ(pmatch("*", 0, all.c_str()), 0);  // the text holds separators
  EXPECT_EQ(pmatch("**", I, all.c_str()), 1);
  EXPECT_GE(pmatch(all.c_str(), D, all.c_str()), 0);
}

}  // namespace
