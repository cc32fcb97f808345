#include "txr/txr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "c/log_capture.h"

namespace {

class Txr : public ::testing::Test {
 protected:
  void SetUp() override { txr_clear(&tx_); }
  void TearDown() override { txr_free(&tx_); }
  // What a text file loader does with one translation line.
  int offer(const char* lang, const char* ctx, const char* id, const char* str) {
    int score = 0, err = 0;
    if (!txr_lang_score(&tx_, lang, &score, &err)) return err ? err : -1;
    return txr_set(&tx_, id, ctx, lang, str, score);
  }
  std::string get(const char* ctx, const char* id) { return txr_get(&tx_, ctx, id); }
  txr tx_;
};

TEST_F(Txr, MissingTextIsItsIdAndKeysAreContextDotId) {
  const char* id = "Invalid `-ad': %s.";
  EXPECT_EQ(txr_get(&tx_, "err.qnex", id), id);  // a record never initialised
  ASSERT_EQ(txr_init(&tx_, nullptr), 0);         // English by default
  EXPECT_STREQ(tx_.rlang, "en");
  EXPECT_EQ(txr_get(&tx_, "err.qnex", id), id);
  const char* keys[][3] = {{"", "Size", "bare"}, {"col", "Size", "in col"}, {"col", "size", "lower"},
                           {"col", "Empty", ""}};
  for (const auto& k : keys) ASSERT_EQ(txr_set(&tx_, k[1], k[0], nullptr, k[2], 256), 0);
  EXPECT_EQ(get(nullptr, "Size") + "|" + get("col", "Size") + "|" + get("col", "size") + "|" + get("Col", "Size") + "|" +
                get(nullptr, "col.Size") + "|" + get("col", "Empty") + "|" + get("col", "Other"),
            "bare|in col|lower|Size|in col||Other");
  EXPECT_EQ(txr_get(nullptr, "err.qnex", id), id);
}

TEST_F(Txr, LanguageMatchAndScores) {
  ASSERT_EQ(txr_init(&tx_, "en-GB"), 0);
  EXPECT_EQ(tx_.rscore, 288);
  struct {
    const char* lang;
    int match, score;
  } cases[] = {
      {"en", 1, 256},       {"en-GB", 1, 288},      {"EN-gb", 1, 288},      {"en-US", 0, 288},
      {"fr", 0, 256},       {"en-Latn", 0, 320},    {"en-GB-oxendict", 0, 304}, {"zh-Hant-TW", 0, 352},
      {"en-yue", 0, 384},   {"zh-yue-Hant-TW-rozaj", 0, 496},
  };
  for (const auto& c : cases) {
    int score = -1, err = -1;
    EXPECT_EQ(txr_match(&tx_, c.lang, &score, &err), c.match) << c.lang;
    EXPECT_EQ(score, c.score) << c.lang;
    EXPECT_EQ(err, 0);
  }
  ASSERT_EQ(txr_init(&tx_, "zh-yue-Hant-TW-rozaj"), 0);
  int score = 0;
  EXPECT_EQ(txr_match(&tx_, "zh-Hant", &score), 1);
  EXPECT_EQ(score, 320);
  EXPECT_EQ(txr_match(&tx_, "zh-Hans", &score) + txr_match(&tx_, "zh-min", &score), 0);
  LogCapture log;
  int err = 0;
  EXPECT_EQ(txr_match(&tx_, "en_US", &score, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_EQ(txr_init(&tx_, "en_US"), 9003);  // no valid request: nothing to translate into
  EXPECT_EQ(get("ctx", "id"), "id");
  EXPECT_EQ(txr_set(&tx_, "id", "ctx", nullptr, "x", 256), 9003);
  EXPECT_TRUE(log.has(" 9003 ") && log.has("No lang match [en_US].")) << log.done();
}

TEST_F(Txr, MostSpecificFittingTranslationIsKept) {
  ASSERT_EQ(txr_init(&tx_, "de-CH"), 0);
  EXPECT_STREQ(tx_.clang, "en");  // untagged texts are English until told otherwise
  EXPECT_EQ(offer("en", "menu", "File", "File"), -1);  // English does not fit a German request
  const struct { const char *lang, *str; int rc; const char* now; } steps[] = {
      {"de", "Datei", 0, "Datei"}, {"de-CH", "Datei (CH)", 0, "Datei (CH)"},
      {"de", "Datei 2", 0, "Datei (CH)"},  // less specific: no change
      {"de-AT", "Datei (AT)", -1, "Datei (CH)"}, {"fr", "Fichier", -1, "Datei (CH)"},
      {"de-CH", "Datei (CH) 2", 0, "Datei (CH) 2"},  // equal score: the later wins
  };
  for (const auto& s : steps) {
    EXPECT_EQ(offer(s.lang, "menu", "File", s.str), s.rc) << s.str;
    EXPECT_EQ(get("menu", "File"), s.now) << s.str;
  }
  int score = -1;
  ASSERT_EQ(txr_set_lang(&tx_, "DE"), 0);
  EXPECT_EQ(txr_lang_score(&tx_, nullptr, &score), 1);  // untagged lines are in the current language
  EXPECT_EQ(score, 256);
  EXPECT_EQ(txr_set_lang(&tx_, "de_CH"), 9003);
  EXPECT_STREQ(tx_.clang, "DE");  // unchanged by the failure
  EXPECT_EQ(offer(nullptr, "menu", "Edit", "Bearbeiten"), 0);
  EXPECT_EQ(get("menu", "Edit"), "Bearbeiten");
  ASSERT_EQ(txr_init(&tx_, "en"), 0);  // starts over
  EXPECT_EQ(get("menu", "File"), "File");
  EXPECT_EQ(offer(nullptr, "col", "ad", "Accessed time"), 0);
  EXPECT_EQ(offer(nullptr, "col", "ad", "Last access"), 0);  // a later file's entry wins
  EXPECT_EQ(get("col", "ad"), "Last access");
  ASSERT_EQ(txr_free(&tx_), 0);
  EXPECT_EQ(get("col", "ad"), "ad");
  EXPECT_EQ(txr_free(&tx_), 0);  // a freed record may be freed again
}

TEST_F(Txr, HostileInputAndTheKeyLimit) {
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  std::string huge(100000, 'x'), all;
  LogCapture log;
  EXPECT_EQ(txr_set(&tx_, huge.c_str(), "ctx", nullptr, "t", 256), 9005);
  EXPECT_TRUE(log.has("mox_snprintf() failed - size: 8192.")) << log.done().substr(0, 300);
  EXPECT_EQ(txr_get(&tx_, "ctx", huge.c_str()), huge.c_str());
  // the longest key that fits: 8191 characters with the context and its dot
  std::string id(8191 - 4, 'i');
  ASSERT_EQ(txr_set(&tx_, id.c_str(), "ctx", nullptr, "long key", 256), 0);
  EXPECT_EQ(get("ctx", id.c_str()), "long key");
  EXPECT_EQ(txr_set(&tx_, (id + "i").c_str(), "ctx", nullptr, "x", 256), 9005);
  ASSERT_EQ(txr_set(&tx_, "big", "ctx", nullptr, huge.c_str(), 256), 0);
  EXPECT_EQ(get("ctx", "big"), huge);
  for (int c = 1; c < 256; c++) all += (char)c;
  ASSERT_EQ(txr_set(&tx_, all.c_str(), all.c_str(), all.c_str(), all.c_str(), 256), 0);
  EXPECT_EQ(get(all.c_str(), all.c_str()), all);
  int score = 0, err = 0;
  EXPECT_EQ(txr_match(&tx_, all.c_str(), &score, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_EQ(txr_match(&tx_, ("en-" + std::string(100000, 'v')).c_str(), &score, &err), 0);  // a variant the request lacks
  EXPECT_EQ(score, 272);
  EXPECT_EQ(txr_init(&tx_, huge.c_str()), 9003);
}

}  // namespace
