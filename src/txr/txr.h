// Text resource store: texts looked up by context and id in the user's language.
// An id is itself a usable text, so a lookup that finds nothing returns the id.
// Of several translations of one key the store keeps the most specific one that
// fits the requested language (later ones win ties).
#pragma once

#include "ds/rbtree.h"
#include "rex/ltmatch.h"

enum {
  TXR_LANG_SIZE = 256,     // the current language
  TXR_KEY_SIZE = 8192      // "ctx.id"
};

// specificity of the parts of a tag
enum { TXR_SCORE_LANG = 256, TXR_SCORE_EXTLANG = 128, TXR_SCORE_SCR = 64, TXR_SCORE_RGN = 32, TXR_SCORE_VAR = 16 };

// The subtags of one tag.
struct txr_tag {
  char lang[LTM_SUBTAG_SIZE];
  char extlang[LTM_SUBTAG_SIZE];
  char scr[LTM_SUBTAG_SIZE];
  char rgn[LTM_SUBTAG_SIZE];
  char var[LTM_SUBTAG_SIZE];
};

struct txr_item {
  char* lang;    // the tag it was given in, owned
  char* str;     // owned
  int score;
};

struct txr {
  ltm ltags;                   // shape list
  char* rlang;                 // requested language, owned
  txr_tag rtag;                // its parts
  int rscore;
  char clang[TXR_LANG_SIZE];   // current language of untagged texts
  txr_tag ctag;
  int cmatch;                  // 1 when the current language matches the requested one
  int cscore;
  rbtree items;                // char* key (owned) -> txr_item
};

// Frees and clears the record, then prepares it for the requested language (none
// or empty: "en"); the current language is "en". A zero-filled record may be passed.
int txr_init(txr* tx, const char* lang);
int txr_free(txr* tx);
int txr_clear(txr* tx);

// The text of ctx.id (ctx none or empty: the id alone); "" for an item without a
// text; the id itself when there is no item or on bad arguments.
const char* txr_get(const txr* tx, const char* ctx, const char* id);

// Sets the language of untagged texts (none or empty: "en").
int txr_set_lang(txr* tx, const char* lang);

// 1 when lang matches the requested language: the same language subtag, and every
// other subtag it has equal to the requested one of its kind (no case). *score
// receives lang's own specificity. 0 when it does not match or on failure (*err).
int txr_match(const txr* tx, const char* lang, int* score, int* err = nullptr);
// As txr_match; none, "" or the current language give the stored current match.
int txr_lang_score(const txr* tx, const char* lang, int* score, int* err = nullptr);
// Stores one translation of ctx.id in lang (none: the current language) unless the
// key holds one with a higher score.
int txr_set(txr* tx, const char* id, const char* ctx, const char* lang, const char* str, int score);

// Specificity of split parts: 256 language, 128 extended language, 64 script, 32 region, 16 variant.
int txr_tag_score(const txr_tag* tag);
