#include "txr/txr.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "err/err.h"
#include "rex/tsm_logcap.h"

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
  txr tx_;
};

TEST_F(Txr, DefaultsToEnglish) {
  ASSERT_EQ(txr_init(&tx_, nullptr), 0);
  EXPECT_STREQ(tx_.rlang, "en");
  EXPECT_EQ(tx_.rscore, 256);
  EXPECT_STREQ(tx_.clang, "en");
  EXPECT_EQ(tx_.cmatch, 1);
  EXPECT_EQ(tx_.cscore, 256);
  ASSERT_EQ(txr_init(&tx_, ""), 0);
  EXPECT_STREQ(tx_.rlang, "en");

  ASSERT_EQ(txr_init(&tx_, "de"), 0);
  EXPECT_STREQ(tx_.clang, "en");  // untagged texts are English until told otherwise
  EXPECT_EQ(tx_.cmatch, 0);
}

TEST_F(Txr, MissingTextIsItsId) {
  const char* id = "Invalid `-ad': %s.";
  EXPECT_EQ(txr_get(&tx_, "err.qnex", id), id);  // a record never initialised
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  EXPECT_EQ(txr_get(&tx_, "err.qnex", id), id);
  ASSERT_EQ(txr_set(&tx_, id, "err.qnex", nullptr, "Invalid `Accessed time': %s.", 256), 0);
  EXPECT_STREQ(txr_get(&tx_, "err.qnex", id), "Invalid `Accessed time': %s.");
  EXPECT_EQ(txr_get(&tx_, "err.qnexx", id), id);
  EXPECT_EQ(txr_get(&tx_, nullptr, id), id);
  const char* other = "Invalid `-size': %s.";
  EXPECT_EQ(txr_get(&tx_, "err.qnex", other), other);

  LogFile log;
  EXPECT_EQ(txr_get(nullptr, "err.qnex", id), id);
  EXPECT_TRUE(log.has("Invalid param - txr: ")) << log.text();
  EXPECT_EQ(txr_get(&tx_, "err.qnex", nullptr), nullptr);
  EXPECT_TRUE(log.has(", id: `NUL'."));
}

TEST_F(Txr, KeysAreContextDotIdComparedWithCase) {
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  ASSERT_EQ(txr_set(&tx_, "Size", "", nullptr, "bare", 256), 0);
  ASSERT_EQ(txr_set(&tx_, "Size", "col", nullptr, "in col", 256), 0);
  ASSERT_EQ(txr_set(&tx_, "size", "col", nullptr, "lower", 256), 0);
  ASSERT_EQ(txr_set(&tx_, "Empty", "col", nullptr, "", 256), 0);
  EXPECT_STREQ(txr_get(&tx_, nullptr, "Size"), "bare");
  EXPECT_STREQ(txr_get(&tx_, "", "Size"), "bare");
  EXPECT_STREQ(txr_get(&tx_, "col", "Size"), "in col");
  EXPECT_STREQ(txr_get(&tx_, "col", "size"), "lower");
  EXPECT_STREQ(txr_get(&tx_, "Col", "Size"), "Size");
  EXPECT_STREQ(txr_get(&tx_, nullptr, "col.Size"), "in col");
  EXPECT_STREQ(txr_get(&tx_, "col", "Empty"), "");

  for (int i = 0; i < 1000; i++) {
    std::string id = "id" + std::to_string(i * 7919 % 1000), str = "text " + id;
    ASSERT_EQ(txr_set(&tx_, id.c_str(), "many", nullptr, str.c_str(), 256), 0);
  }
  for (int i = 0; i < 1000; i++) {
    std::string id = "id" + std::to_string(i);
    EXPECT_EQ(std::string(txr_get(&tx_, "many", id.c_str())), "text " + id);
  }
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
    SCOPED_TRACE(c.lang);
    int score = -1, err = -1;
    EXPECT_EQ(txr_match(&tx_, c.lang, &score, &err), c.match);
    EXPECT_EQ(score, c.score);
    EXPECT_EQ(err, 0);
  }
  ASSERT_EQ(txr_init(&tx_, "zh-yue-Hant-TW-rozaj"), 0);
  EXPECT_EQ(tx_.rscore, 496);
  int score = 0;
  EXPECT_EQ(txr_match(&tx_, "zh-Hant", &score), 1);
  EXPECT_EQ(score, 320);
  EXPECT_EQ(txr_match(&tx_, "zh-yue-TW", &score), 1);
  EXPECT_EQ(txr_match(&tx_, "zh-Hans", &score), 0);
  EXPECT_EQ(txr_match(&tx_, "zh-min", &score), 0);

  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  EXPECT_EQ(txr_match(&tx_, "en-US", &score), 0);  // more specific than the request

  LogFile log;
  int err = 0;
  EXPECT_EQ(txr_match(&tx_, "en_US", &score, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has("No lang match [en_US].")) << log.text();
}

TEST_F(Txr, InvalidRequestedLanguageFails) {
  LogFile log;
  EXPECT_EQ(txr_init(&tx_, "en_US"), 9003);
  EXPECT_TRUE(log.has("No lang match [en_US].")) << log.text();
  EXPECT_STREQ(txr_get(&tx_, "ctx", "id"), "id");
  EXPECT_EQ(txr_set(&tx_, "id", "ctx", nullptr, "x", 256), 9003);
  EXPECT_EQ(txr_init(nullptr, "en"), 9003);
  EXPECT_EQ(txr_free(nullptr), 9003);
}

TEST_F(Txr, CurrentLanguageAndLangScoreShortcuts) {
  ASSERT_EQ(txr_init(&tx_, "de-CH"), 0);
  int score = -1, err = -1;
  EXPECT_EQ(txr_lang_score(&tx_, nullptr, &score, &err), 0);  // current "en"
  EXPECT_EQ(err, 0);
  ASSERT_EQ(txr_set_lang(&tx_, "DE"), 0);
  EXPECT_STREQ(tx_.clang, "DE");
  EXPECT_EQ(tx_.cmatch, 1);
  EXPECT_EQ(tx_.cscore, 256);
  EXPECT_EQ(txr_lang_score(&tx_, nullptr, &score), 1);
  EXPECT_EQ(score, 256);
  EXPECT_EQ(txr_lang_score(&tx_, "", &score), 1);
  EXPECT_EQ(txr_lang_score(&tx_, "de", &score), 1);
  EXPECT_EQ(score, 256);
  EXPECT_EQ(txr_lang_score(&tx_, "DE-ch", &score), 1);
  EXPECT_EQ(score, 288);
  EXPECT_EQ(txr_lang_score(&tx_, "de-AT", &score), 0);
  EXPECT_EQ(txr_lang_score(&tx_, "fr", &score), 0);

  LogFile log;
  EXPECT_EQ(txr_set_lang(&tx_, "de_CH"), 9003);
  EXPECT_TRUE(log.has("No lang match [de_CH]."));
  EXPECT_STREQ(tx_.clang, "DE");  // unchanged by the failure
  EXPECT_EQ(txr_lang_score(&tx_, "x", &score, &err), 0);
  EXPECT_EQ(err, 9003);

  ASSERT_EQ(txr_set_lang(&tx_, nullptr), 0);
  EXPECT_STREQ(tx_.clang, "en");
  EXPECT_EQ(tx_.cmatch, 0);
}

TEST_F(Txr, MostSpecificFittingTranslationIsKept) {
  ASSERT_EQ(txr_init(&tx_, "de-CH"), 0);
  EXPECT_EQ(offer("en", "menu", "File", "File"), -1);  // English does not fit a German request
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "File");
  EXPECT_EQ(offer("de", "menu", "File", "Datei"), 0);
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "Datei");
  EXPECT_EQ(offer("de-CH", "menu", "File", "Datei (CH)"), 0);
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "Datei (CH)");
  EXPECT_EQ(offer("de", "menu", "File", "Datei 2"), 0);  // less specific: no change
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "Datei (CH)");
  EXPECT_EQ(offer("de-AT", "menu", "File", "Datei (AT)"), -1);
  EXPECT_EQ(offer("fr", "menu", "File", "Fichier"), -1);
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "Datei (CH)");
  EXPECT_EQ(offer("de-CH", "menu", "File", "Datei (CH) 2"), 0);  // equal score: the later wins
  EXPECT_STREQ(txr_get(&tx_, "menu", "File"), "Datei (CH) 2");

  // untagged lines are in the current language
  ASSERT_EQ(txr_set_lang(&tx_, "de"), 0);
  EXPECT_EQ(offer(nullptr, "menu", "Edit", "Bearbeiten"), 0);
  EXPECT_STREQ(txr_get(&tx_, "menu", "Edit"), "Bearbeiten");

  const rbtree_node* n = rbtree_first(&tx_.items);
  ASSERT_NE(n, nullptr);
  const txr_item* item = static_cast<const txr_item*>(rbtree_val(&tx_.items, n));
  EXPECT_STREQ(*static_cast<char**>(rbtree_key(n)), "menu.Edit");
  EXPECT_STREQ(item->lang, "de");
  EXPECT_EQ(item->score, 256);
}

TEST_F(Txr, RepeatedEnglishEntryOfALaterFileWins) {
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  EXPECT_EQ(offer(nullptr, "col", "ad", "Accessed time"), 0);
  EXPECT_EQ(offer(nullptr, "col", "ad", "Last access"), 0);
  EXPECT_STREQ(txr_get(&tx_, "col", "ad"), "Last access");
}

TEST_F(Txr, HostileInput) {
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  LogFile log;
  std::string huge(100000, 'x');
  EXPECT_EQ(txr_set(&tx_, huge.c_str(), "ctx", nullptr, "t", 256), 9005);
  EXPECT_TRUE(log.has("mox_snprintf() failed - size: 8192.")) << log.text().substr(0, 300);
  EXPECT_EQ(txr_get(&tx_, "ctx", huge.c_str()), huge.c_str());

  // the longest key that fits: 8191 characters with the context and its dot
  std::string id(8191 - 4, 'i');
  ASSERT_EQ(txr_set(&tx_, id.c_str(), "ctx", nullptr, "long key", 256), 0);
  EXPECT_STREQ(txr_get(&tx_, "ctx", id.c_str()), "long key");
  id += 'i';
  EXPECT_EQ(txr_set(&tx_, id.c_str(), "ctx", nullptr, "x", 256), 9005);

  ASSERT_EQ(txr_set(&tx_, "big", "ctx", nullptr, huge.c_str(), 256), 0);
  EXPECT_EQ(std::string(txr_get(&tx_, "ctx", "big")), huge);

  std::string all;
  for (int c = 1; c < 256; c++) all += (char)c;
  ASSERT_EQ(txr_set(&tx_, all.c_str(), all.c_str(), all.c_str(), all.c_str(), 256), 0);
  EXPECT_EQ(std::string(txr_get(&tx_, all.c_str(), all.c_str())), all);
  int score = 0, err = 0;
  EXPECT_EQ(txr_match(&tx_, all.c_str(), &score, &err), 0);
  EXPECT_EQ(err, 9003);
  EXPECT_EQ(txr_match(&tx_, huge.c_str(), &score, &err), 0);
  EXPECT_EQ(err, 9003);
  std::string longvar = "en-" + std::string(100000, 'v');
  EXPECT_EQ(txr_match(&tx_, longvar.c_str(), &score, &err), 0);  // a variant the request lacks
  EXPECT_EQ(score, 272);
  EXPECT_EQ(txr_init(&tx_, huge.c_str()), 9003);

  EXPECT_EQ(txr_set(&tx_, nullptr, "ctx", nullptr, "x", 256), 9003);
  EXPECT_EQ(txr_set(&tx_, "id", "ctx", nullptr, nullptr, 256), 9003);
  EXPECT_TRUE(log.has("Invalid param - txr: "));
}

TEST_F(Txr, InitAndFreeReleaseEverything) {
  ASSERT_EQ(txr_init(&tx_, "en"), 0);
  ASSERT_EQ(txr_set(&tx_, "a", "c", nullptr, "A", 256), 0);
  ASSERT_EQ(txr_init(&tx_, "en-GB"), 0);  // starts over
  EXPECT_STREQ(txr_get(&tx_, "c", "a"), "a");
  EXPECT_EQ(rbtree_count(&tx_.items), 0u);
  ASSERT_EQ(txr_set(&tx_, "a", "c", nullptr, "A", 256), 0);
  ASSERT_EQ(txr_free(&tx_), 0);
  EXPECT_EQ(tx_.rlang, nullptr);
  EXPECT_STREQ(txr_get(&tx_, "c", "a"), "a");
  EXPECT_EQ(txr_free(&tx_), 0);  // a freed record may be freed again
}

}  // namespace
