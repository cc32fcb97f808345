#include "rex/ltmatch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "err/err.h"
#include "rex/tsm_logcap.h"
#include "rex/rexmatch.h"

namespace {

// The log writes to a file of our own; each test reads what was added since it started.

struct Parts {
  char lang[LTM_SUBTAG_SIZE], ext[LTM_SUBTAG_SIZE], scr[LTM_SUBTAG_SIZE], rgn[LTM_SUBTAG_SIZE],
      var[LTM_SUBTAG_SIZE];
  Parts() { fill(); }
  void fill() {
    for (char* b : {lang, ext, scr, rgn, var}) strcpy(b, "junk");
  }
  bool empty() const { return !*lang && !*ext && !*scr && !*rgn && !*var; }
};

class Ltm : public ::testing::Test {
 protected:
  void SetUp() override {
    ltm_clear(&lt_);
    ASSERT_EQ(ltm_init(&lt_), 0);
  }
  void TearDown() override { ltm_free(&lt_); }
  int match(const char* tag, Parts& p, int* err = nullptr) {
    return ltm_match(&lt_, tag, p.lang, sizeof p.lang, p.ext, sizeof p.ext, p.scr, sizeof p.scr, p.rgn,
                     sizeof p.rgn, p.var, sizeof p.var, err);
  }
  ltm lt_;
};

struct Shape {
  const char* tag;
  const char *lang, *ext, *scr, *rgn, *var;
};

// One tag of each of the thirteen shapes, plus the tags where the order of the
// shapes decides (a four-letter subtag is a script before it can be a variant).
const Shape kShapes[] = {
    {"en", "en", "", "", "", ""},
    {"gsw", "gsw", "", "", "", ""},
    {"en-US", "en", "", "", "US", ""},
    {"es-419", "es", "", "", "419", ""},
    {"de-CH-1901", "de", "", "", "CH", "1901"},
    {"sl-IT-rozaj", "sl", "", "", "IT", "rozaj"},
    {"zh-Hant", "zh", "", "Hant", "", ""},
    {"zh-Hant-TW", "zh", "", "Hant", "TW", ""},
    {"sr-Latn-RS-ekavsk", "sr", "", "Latn", "RS", "ekavsk"},
    {"sl-rozaj", "sl", "", "", "", "rozaj"},
    {"de-1901", "de", "", "", "", "1901"},
    {"en-abcde", "en", "", "", "", "abcde"},
    {"en-abcd", "en", "", "abcd", "", ""},
    {"zh-yue", "zh", "yue", "", "", ""},
    {"zh-yue-HK", "zh", "yue", "", "HK", ""},
    {"zh-yue-HK-1994", "zh", "yue", "", "HK", "1994"},
    {"zh-yue-Hant", "zh", "yue", "Hant", "", ""},
    {"zh-yue-Hant-HK", "zh", "yue", "Hant", "HK", ""},
    {"zh-yue-Hant-HK-rozaj", "zh", "yue", "Hant", "HK", "rozaj"},
    {"EN-us", "EN", "", "", "us", ""},
    {"de-123", "de", "", "", "123", ""},
};

TEST_F(Ltm, EveryShapeSplitsIntoItsParts) {
  for (const Shape& s : kShapes) {
    SCOPED_TRACE(s.tag);
    Parts p;
    int err = -1;
    EXPECT_EQ(match(s.tag, p, &err), 1);
    EXPECT_EQ(err, 0);
    EXPECT_STREQ(p.lang, s.lang);
    EXPECT_STREQ(p.ext, s.ext);
    EXPECT_STREQ(p.scr, s.scr);
    EXPECT_STREQ(p.rgn, s.rgn);
    EXPECT_STREQ(p.var, s.var);
  }
}

TEST_F(Ltm, NonTagsGiveZeroAndEmptyBuffers) {
  const char* bad[] = {"",   "e",      "english", "en_US",    "en-US-x", "en-",  "-en",    "en--US", "en-US-",
                       "e1", "en-U",   "en-12",   "en US",    "abcd",    "1-US", "en-12a", "en-a1",  "en-Hant-",
                       "en-US-rozaj-1901", "en-yue-abc"};
  for (const char* t : bad) {
    SCOPED_TRACE(t);
    Parts p;
    int err = -1;
    EXPECT_EQ(match(t, p, &err), 0);
    EXPECT_EQ(err, 0);
    EXPECT_TRUE(p.empty());
  }
  Parts p;
  EXPECT_EQ(match(nullptr, p), 0);
  EXPECT_TRUE(p.empty());
}

TEST_F(Ltm, LongSubtagsAreCutToTheReaderAndToTheCallersBuffers) {
  std::string var(40, 'v');
  for (int i = 0; i < 40; i++) var[i] = "abcdefghij0123456789"[i % 20];
  std::string tag = "de-CH-" + var;
  Parts p;
  ASSERT_EQ(match(tag.c_str(), p), 1);
  EXPECT_EQ(std::string(p.var), var.substr(0, 23));
  EXPECT_STREQ(p.rgn, "CH");

  char lang[2], ext[1], scr[3], rgn[2], v[8];
  int err = -1;
  ASSERT_EQ(ltm_match(&lt_, "gsw-Latn-CH-rozajx", lang, sizeof lang, ext, sizeof ext, scr, sizeof scr, rgn,
                      sizeof rgn, v, sizeof v, &err),
            1);
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(lang, "g");
  EXPECT_STREQ(ext, "");
  EXPECT_STREQ(scr, "La");
  EXPECT_STREQ(rgn, "C");
  EXPECT_STREQ(v, "rozajx");
}

TEST_F(Ltm, BadArgumentsAreRefused) {
  LogFile log;
  Parts p;
  int err = 0;
  EXPECT_EQ(ltm_match(&lt_, "en", p.lang, 0, p.ext, sizeof p.ext, p.scr, sizeof p.scr, p.rgn, sizeof p.rgn, p.var,
                      sizeof p.var, &err),
            0);
  EXPECT_EQ(err, 9003);
  err = 0;
  EXPECT_EQ(ltm_match(&lt_, "en", p.lang, sizeof p.lang, p.ext, sizeof p.ext, p.scr, sizeof p.scr, nullptr, 4,
                      p.var, sizeof p.var, &err),
            0);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has("Invalid param - ltm: ")) << log.text();
  EXPECT_TRUE(log.has(" [4], var: ")) << log.text();
  err = 0;
  EXPECT_EQ(ltm_match(nullptr, "en", p.lang, sizeof p.lang, p.ext, sizeof p.ext, p.scr, sizeof p.scr, p.rgn,
                      sizeof p.rgn, p.var, sizeof p.var, &err),
            0);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has("`ltm' is NUL."));
  EXPECT_EQ(ltm_init(nullptr), 9003);
  EXPECT_EQ(ltm_free(nullptr), 9003);
}

TEST_F(Ltm, HostileTagsGiveCleanResults) {
  Parts p;
  int err = -1;
  std::string letters(100000, 'a');
  EXPECT_EQ(match(letters.c_str(), p, &err), 0);
  EXPECT_EQ(err, 0);

  // a variant may be as long as it likes; it is cut, not overrun
  std::string longvar = "en-" + std::string(100000, '7');
  err = -1;
  EXPECT_EQ(match(longvar.c_str(), p, &err), 1);
  EXPECT_EQ(err, 0);
  EXPECT_EQ(std::string(p.var), std::string(23, '7'));

  std::string all;
  for (int c = 1; c < 256; c++) all += (char)c;
  p.fill();
  err = -1;
  EXPECT_EQ(match(all.c_str(), p, &err), 0);
  EXPECT_EQ(err, 0);
  EXPECT_TRUE(p.empty());

  // every byte in the place of a region letter: only letters make a tag
  for (int c = 1; c < 256; c++) {
    char tag[] = {'e', 'n', '-', 'U', (char)c, 0};
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    EXPECT_EQ(match(tag, p), letter ? 1 : 0) << c;
  }
}

TEST_F(Ltm, FreedRecordIsClearedAndCanBeInitialisedAgain) {
  ltm_free(&lt_);
  EXPECT_EQ(list_count(&lt_.shapes), 0u);
  ASSERT_EQ(ltm_init(&lt_), 0);
  EXPECT_EQ(list_count(&lt_.shapes), 13u);
  Parts p;
  EXPECT_EQ(match("en-GB", p), 1);
}

class Patt : public ::testing::Test {
 protected:
  void SetUp() override { rexm_clear(&re_); }
  void TearDown() override { rexm_free(&re_); }
  int compile(const char* patt) {
    rexm_free(&re_);
    rexm_init(&re_, REXM_ICASE, nullptr);
    return ltm_compile(&re_, patt);
  }
  bool matches(const char* s) { return rexm_match(&re_, s) == 1; }
  rexm re_;
};

TEST_F(Patt, ElementsGroupsAndEscapes) {
  ASSERT_EQ(compile("%3d-%2l%c"), 0);
  EXPECT_TRUE(matches("123-abZ"));
  EXPECT_TRUE(matches("123-AB9"));
  EXPECT_FALSE(matches("123-ab"));
  EXPECT_FALSE(matches("12a-abc"));

  ASSERT_EQ(compile("a(b|%2d)?c"), 0);
  EXPECT_TRUE(matches("ac"));
  EXPECT_TRUE(matches("abc"));
  EXPECT_TRUE(matches("a12c"));
  EXPECT_FALSE(matches("a1c"));

  ASSERT_EQ(compile("x(%d)+"), 0);
  EXPECT_FALSE(matches("x"));
  EXPECT_TRUE(matches("x1234567"));

  ASSERT_EQ(compile("a\\%b\\t\\(+?"), 0);
  EXPECT_TRUE(matches("a%b\t(+?"));
  EXPECT_FALSE(matches("a%bt(+?"));

  ASSERT_EQ(compile("ab\\"), 0);  // a lone escape at the end stands for nothing
  EXPECT_TRUE(matches("ab"));
  ASSERT_EQ(compile("%0lz"), 0);
  EXPECT_TRUE(matches("z"));
}

TEST_F(Patt, MalformedPatternsFailCleanly) {
  LogFile log;
  EXPECT_EQ(compile("%q"), 9003);
  EXPECT_TRUE(log.has("Invalid syntax [q] - patt: `%q'.")) << log.text();
  EXPECT_EQ(compile("ab%"), 9003);
  EXPECT_EQ(compile("ab%2"), 9003);
  EXPECT_EQ(compile("(ab"), 9003);
  EXPECT_EQ(compile("((ab)"), 9003);
  EXPECT_EQ(compile("ab)"), 9003);
  // '+' on a group that can match nothing would loop on empty lines
  EXPECT_EQ(compile("()+"), 9003);
  EXPECT_EQ(compile("((a)?)+"), 9003);
  EXPECT_EQ(compile("(a|)+"), 9003);
  EXPECT_EQ(compile("(|a)+"), 9003);
  EXPECT_EQ(compile("((a)?b)+"), 0);
  EXPECT_EQ(compile("(a|b)+"), 0);
  EXPECT_TRUE(matches("abba"));
  std::string deep(100, '(');
  EXPECT_NE(compile(deep.c_str()), 0);
}

}  // namespace
