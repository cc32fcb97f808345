#include "rex/ltmatch.h"

#include <cstring>

#include "rex_test.h"

namespace {

class Ltm : public ::testing::Test {
 protected:
  void SetUp() override {
    ltm_clear(&lt_);
    ASSERT_EQ(ltm_init(&lt_), 0);
  }
  void TearDown() override { ltm_free(&lt_); }
  // "lang|ext|scr|rgn|var" of a tag, with the answer and the code in front
  std::string split(const char* tag, unsigned size = LTM_SUBTAG_SIZE) {
    char p[5][LTM_SUBTAG_SIZE];
    for (auto& b : p) strcpy(b, "junk");
    int err = -1;
    int m = ltm_match(&lt_, tag, p[0], size, p[1], size, p[2], size, p[3], size, p[4], size, &err);
    return std::to_string(m) + "/" + std::to_string(err) + " " + p[0] + "|" + p[1] + "|" + p[2] + "|" + p[3] + "|" + p[4];
  }
  ltm lt_;
};

TEST_F(Ltm, EveryShapeSplitsIntoItsParts) {
  // one tag of each shape, and tags where the order of the shapes decides (four
  // letters are a script before they can be a variant)
  const char* cases[][2] = {
      {"gsw", "gsw||||"}, {"en-US", "en|||US|"}, {"es-419", "es|||419|"}, {"de-CH-1901", "de|||CH|1901"},
      {"zh-Hant", "zh||Hant||"}, {"zh-Hant-TW", "zh||Hant|TW|"}, {"sr-Latn-RS-ekavsk", "sr||Latn|RS|ekavsk"},
      {"sl-rozaj", "sl||||rozaj"}, {"de-1901", "de||||1901"}, {"en-abcd", "en||abcd||"}, {"zh-yue", "zh|yue|||"},
      {"zh-yue-HK", "zh|yue||HK|"}, {"zh-yue-HK-1994", "zh|yue||HK|1994"}, {"zh-yue-Hant", "zh|yue|Hant||"},
      {"zh-yue-Hant-HK", "zh|yue|Hant|HK|"}, {"zh-yue-Hant-HK-rozaj", "zh|yue|Hant|HK|rozaj"}, {"EN-us", "EN|||us|"},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c[0]), std::string("1/0 ") + c[1]) << c[0];
  const std::string longer(100000, 'a');
  for (const char* t : {"", "e", "english", "en_US", "en-US-x", "en-", "en--US", "en-US-", "en-12", "en-12a",
                        "en-Hant-", "en-US-rozaj-1901", "en-yue-abc", longer.c_str()})
    EXPECT_EQ(split(t), "0/0 ||||") << t;
}

TEST_F(Ltm, SubtagsAreCutToTheReaderAndToTheCallersBuffers) {
  EXPECT_EQ(split(("en-" + std::string(100000, '7')).c_str()), "1/0 en||||" + std::string(23, '7'));
  char lang[2], ext[1], scr[3], rgn[2], v[8];
  int err = -1;
  ASSERT_EQ(ltm_match(&lt_, "gsw-Latn-CH-rozajx", lang, sizeof lang, ext, sizeof ext, scr, sizeof scr, rgn,
                      sizeof rgn, v, sizeof v, &err),
            1);
  EXPECT_EQ(std::string(lang) + "|" + ext + "|" + scr + "|" + rgn + "|" + v + "/" + std::to_string(err),
            "g||La|C|rozajx/0");
  LogCapture log;
  EXPECT_EQ(split("en", 0), "0/9003 junk|junk|junk|junk|junk");
  EXPECT_TRUE(log.has(" 9003 ") && log.has("Invalid param - ltm: ")) << log.done();
  LogCapture log2;
  EXPECT_EQ(ltm_init(nullptr) + ltm_free(nullptr), 2 * 9003);
  EXPECT_TRUE(log2.has("`ltm' is NUL.")) << log2.done();
}

int compiled_match(const char* patt, int, const char* text) {
  rexm re;
  rexm_clear(&re);
  rexm_init(&re, REXM_ICASE, nullptr);
  int rc = ltm_compile(&re, patt), m = rc ? -rc : rexm_match(&re, text);
  rexm_free(&re);
  return m;
}

TEST(LtmCompile, ElementsGroupsAndEscapes) {
  rex_table({{"%3d-%2l%c", 0, "123-abZ 123-AB9 !123-ab !12a-abc"}, {"a(b|%2d)?c", 0, "ac abc a12c !a1c"},
             {"x(%d)+", 0, "!x x1234567"}, {"a\\%b\\(+?", 0, "a%b(+? !a%(+?"},
             {"ab\\", 0, "ab"},  // a lone escape at the end stands for nothing
             {"((a)?b)+", 0, "bab"}, {"(a|b)+", 0, "abba"}},
            compiled_match);
  EXPECT_EQ(compiled_match("a\\t", 0, "a\t") * 2 + compiled_match("a\\t", 0, "at"), 2);  // the table splits at tabs
  // '+' on a group that can match nothing would loop on empty lines
  for (const char* bad : {"%q", "ab%", "ab%2", "(ab", "ab)", "()+", "((a)?)+", "(a|)+", "(|a)+"})
    EXPECT_EQ(compiled_match(bad, 0, ""), -9003) << bad;
  EXPECT_LT(compiled_match(std::string(100, '(').c_str(), 0, ""), 0);
  LogCapture log;
  compiled_match("%q", 0, "");
  EXPECT_TRUE(log.has("Invalid syntax [q] - patt: `%q'.")) << log.done();
}

}  // namespace
