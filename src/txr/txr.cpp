#include "txr/txr.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;

constexpr const char* kDfltLang = "en";

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline bool is_empty(const char* s) { return !s || !*s; }

// Keys are owned texts held by pointer, compared byte-wise with case.
int key_cmp(unsigned, const void* key1, unsigned, unsigned, const void* key2, unsigned, void*) {
  return strcmp(*static_cast<char* const*>(key1), *static_cast<char* const*>(key2));
}

int key_release(unsigned, void* data, unsigned*, unsigned*, void*) {
  char** key = static_cast<char**>(data);
  free(*key);
  *key = nullptr;
  return 0;
}

int item_release(unsigned, void* data, unsigned*, unsigned*, void*) {
  txr_item* item = static_cast<txr_item*>(data);
  free(item->lang);
  free(item->str);
  item->lang = item->str = nullptr;
  return 0;
}

// Splits lang into its parts; 9003 (logged) for a tag of no shape.
int split(const txr* tx, const char* lang, txr_tag* tag) {
  int e = 0;
  if (!ltm_match(&tx->ltags, lang, tag->lang, sizeof tag->lang, tag->extlang, sizeof tag->extlang, tag->scr,
                 sizeof tag->scr, tag->rgn, sizeof tag->rgn, tag->var, sizeof tag->var, &e)) {
    if (e) return e;
    ERR_LOG(ERR_ERR, kParam, "No lang match [%s].", mox_nul(lang));
    return kParam;
  }
  return 0;
}

inline bool same_part(const char* given, const char* req) { return !*given || strcasecmp(given, req) == 0; }

bool tag_matches(const txr_tag& given, const txr_tag& req) {
  return strcasecmp(given.lang, req.lang) == 0 && same_part(given.extlang, req.extlang) &&
         same_part(given.scr, req.scr) && same_part(given.rgn, req.rgn) && same_part(given.var, req.var);
}

// "ctx.id", or the id alone for an empty context.
int make_key(char* key, const char* ctx, const char* id) {
  int e = is_empty(ctx) ? mox_snprintf(key, TXR_KEY_SIZE, "%s", id) : mox_snprintf(key, TXR_KEY_SIZE, "%s.%s", ctx, id);
  return e;
}

char* dup(const char* s) {
  char* d = strdup(s);
  if (!d) ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(s));
  return d;
}

}  // namespace

int txr_tag_score(const txr_tag* tag) {
  if (!tag) return 0;
  return (*tag->lang ? TXR_SCORE_LANG : 0) + (*tag->extlang ? TXR_SCORE_EXTLANG : 0) +
         (*tag->scr ? TXR_SCORE_SCR : 0) + (*tag->rgn ? TXR_SCORE_RGN : 0) + (*tag->var ? TXR_SCORE_VAR : 0);
}

int txr_clear(txr* tx) {
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    return kParam;
  }
  memset(tx, 0, sizeof *tx);
  return 0;
}

int txr_free(txr* tx) {
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    return kParam;
  }
  if (tx->items.keysize) rbtree_free(&tx->items);
  if (tx->ltags.shapes.datasize) ltm_free(&tx->ltags);
  free(tx->rlang);
  return txr_clear(tx);
}

int txr_init(txr* tx, const char* lang) {
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    return kParam;
  }
  txr_free(tx);
  if (is_empty(lang)) lang = kDfltLang;
  int e = ltm_init(&tx->ltags);
  if (!e) {
    tx->rlang = dup(lang);
    if (!tx->rlang) e = kNoMem;
  }
  if (!e) e = split(tx, lang, &tx->rtag);
  if (!e) {
    tx->rscore = txr_tag_score(&tx->rtag);
    e = rbtree_init(&tx->items, sizeof(char*), 0, key_cmp, nullptr, key_release, nullptr, sizeof(txr_item), 0,
                    nullptr, item_release, nullptr, nullptr);
  }
  if (!e) e = txr_set_lang(tx, nullptr);
  if (e) txr_free(tx);
  return e;
}

const char* txr_get(const txr* tx, const char* ctx, const char* id) {
  if (!tx || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - txr: %p, id: `%s'.", (const void*)tx, mox_nul(id));
    return id;
  }
  if (!rbtree_count(&tx->items)) return id;
  char buf[TXR_KEY_SIZE];
  if (make_key(buf, ctx, id)) return id;  // too long to be a stored key
  char* key = buf;
  const rbtree_node* node = rbtree_find(&tx->items, &key);
  if (!node) return id;
  const txr_item* item = static_cast<const txr_item*>(rbtree_val(&tx->items, node));
  return item->str ? item->str : "";
}

int txr_set_lang(txr* tx, const char* lang) {
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    return kParam;
  }
  if (is_empty(lang)) lang = kDfltLang;
  txr_tag tag;
  int e = split(tx, lang, &tag);
  if (e) return e;
  int score = 0;
  int m = txr_match(tx, lang, &score, &e);
  if (e) return e;
  mox_strcpy(tx->clang, sizeof tx->clang, lang);
  tx->ctag = tag;
  tx->cmatch = m;
  tx->cscore = score;
  return 0;
}

int txr_match(const txr* tx, const char* lang, int* score, int* err) {
  set_err(err, 0);
  if (score) *score = 0;
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    set_err(err, kParam);
    return 0;
  }
  txr_tag tag;
  int e = split(tx, lang, &tag);
  if (e) {
    set_err(err, e);
    return 0;
  }
  if (score) *score = txr_tag_score(&tag);
  return tag_matches(tag, tx->rtag) ? 1 : 0;
}

int txr_lang_score(const txr* tx, const char* lang, int* score, int* err) {
  set_err(err, 0);
  if (score) *score = 0;
  if (!tx) {
    ERR_LOG(ERR_ERR, kParam, "`txr' is NUL.");
    set_err(err, kParam);
    return 0;
  }
  if (is_empty(lang) || strcasecmp(lang, tx->clang) == 0) {
    if (score) *score = tx->cscore;
    return tx->cmatch;
  }
  if (tx->rlang && strcasecmp(lang, tx->rlang) == 0) {
    if (score) *score = tx->rscore;
    return 1;
  }
  return txr_match(tx, lang, score, err);
}

int txr_set(txr* tx, const char* id, const char* ctx, const char* lang, const char* str, int score) {
  if (!tx || !id || !str || !tx->items.keysize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - txr: %p, id: `%s', str: `%s'.", (void*)tx, mox_nul(id),
            mox_nul(str));
    return kParam;
  }
  char buf[TXR_KEY_SIZE];
  if (make_key(buf, ctx, id)) {
    ERR_LOG(ERR_ERR, kCut, "mox_snprintf() failed - size: %u.", (unsigned)TXR_KEY_SIZE);
    return kCut;
  }
  if (!lang) lang = tx->clang;
  char* key = buf;
  rbtree_node* node = rbtree_find(&tx->items, &key);
  txr_item* item = node ? static_cast<txr_item*>(rbtree_val(&tx->items, node)) : nullptr;
  if (item && item->score > score) return 0;

  txr_item nitem = {dup(lang), dup(str), score};
  if (!nitem.lang || !nitem.str) {
    item_release(0, &nitem, nullptr, nullptr, nullptr);
    return kNoMem;
  }
  if (item) {
    item_release(0, item, nullptr, nullptr, nullptr);
    *item = nitem;
    return 0;
  }
  key = dup(buf);
  if (!key) {
    item_release(0, &nitem, nullptr, nullptr, nullptr);
    return kNoMem;
  }
  int e = 0;
  if (!rbtree_insert(&tx->items, &key, &nitem, &e)) {
    free(key);
    item_release(0, &nitem, nullptr, nullptr, nullptr);
    return e ? e : kNoMem;
  }
  return 0;
}
