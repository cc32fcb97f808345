#include "fm/fopdlgcfg.h"

#include <cstddef>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

extern const enum_list quarnwcfg_timefmt_enums;

namespace {

constexpr int kParam = 9003;

constexpr enum_item kCfm[] = {{FOPDLG_CFM_NY, "ny"}, {FOPDLG_CFM_YN, "yn"}};
constexpr enum_list kCfmList{2, kCfm};
constexpr enum_item kTolist[] = {{FOPDLG_TOLIST_ABC, "abc"}, {FOPDLG_TOLIST_HIST, "hist"}};
constexpr enum_list kTolistList{2, kTolist};
constexpr enum_item kSizefmt[] = {{0, "b"}, {1, "k"}, {2, "h"}};
constexpr enum_list kSizefmtList{3, kSizefmt};
constexpr enum_item kDgrp[] = {{0, "locale"}, {1, "si-en"}, {2, "si-fr"}, {3, "usr"}};
constexpr enum_list kDgrpList{4, kDgrp};

#define OFF(f) (unsigned)offsetof(fopdlgcfg, f)
#define IOFF(f) (int)offsetof(fopdlgcfg, f)
#define SAVED(p, n) p "." n
#define BUF_ITEM(f, d, op, name) {VAL_STRBUF, OFF(f), -1, IOFF(f##_cap), d, {}, 0, op, nullptr, name, nullptr, name}
#define STR_ITEM(f, d, op, name) {VAL_STR, OFF(f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, name}
#define BOOL_ITEM(f, d, op, name) {VAL_BOOL, OFF(f), -1, -1, d, {}, 0, op, "Yes", name, nullptr, name}
#define ENUM_ITEM(f, d, l, op, name) {VAL_ENUM, OFF(f), -1, -1, d, cfg_cvt(&l), 0, op, nullptr, name, nullptr, name}
#define CLR_ITEM(f, d, name) {VAL_COLOR, OFF(f), -1, -1, d, {}, 0, nullptr, nullptr, name, nullptr, nullptr}

// The items both dialogs share, under prefix p (resource names) and o (options).
#define FOP_ITEMS(p, o)                                                                              \
  BUF_ITEM(to, "", nullptr, p ".to"),                                                                \
  ENUM_ITEM(tolist_sort, "hist", kTolistList, o "-tolist-sort", p ".tolist.sort"),                   \
  {VAL_UINT, OFF(ntolist_max), -1, -1, "64", {}, 0, nullptr, nullptr, p ".ntolist.max", nullptr, nullptr}, \
  BOOL_ITEM(overwriteAll, "No", o "-overwrite-all", p ".overwriteAll"),                              \
  BOOL_ITEM(askRO, "Yes", o "-ask-ro", p ".askRO"),                                                  \
  BOOL_ITEM(stopOnErr, "No", o "-stop-on-err", p ".stopOnErr"),                                      \
  ENUM_ITEM(cfm_yn, "yn", kCfmList, o "-cfm-yn", p ".cfm.yn"),                                       \
  BUF_ITEM(sortby, "", o "-sort", p ".sortby"),                                                      \
  BOOL_ITEM(sortrev, "No", o "-sortrev", p ".sortrev"),                                              \
  BOOL_ITEM(sort_ignorecase, "Yes", o "-sort-ignorecase", p ".sort.ignorecase"),                     \
  BOOL_ITEM(ignorecase, "Yes", o "-ignorecase", p ".ignorecase"),                                    \
  BOOL_ITEM(file_type, "No", o "-file-type", p ".file.type"),                                        \
  BOOL_ITEM(flist_color, "Yes", o "-flist-color", p ".flist.color"),                                 \
  BOOL_ITEM(flist_img, "Yes", o "-flist-img", p ".flist.img"),                                       \
  ENUM_ITEM(timefmt, "locale-short", quarnwcfg_timefmt_enums, o "-timefmt", p ".timefmt"),           \
  STR_ITEM(timefmt_usr, "%c", o "-timefmt-usr", p ".timefmt.usr"),                                   \
  ENUM_ITEM(sizefmt, "k", kSizefmtList, o "-sizefmt", p ".sizefmt"),                                 \
  ENUM_ITEM(dgrp_num, "locale", kDgrpList, o "-dgrp-num", p ".dgrp.num"),                            \
  CLR_ITEM(file_fgClr, "sys:WINDOWTEXT", p ".file.fgClr"),                                           \
  CLR_ITEM(file_bgClr, "sys:WINDOW", p ".file.bgClr"),                                               \
  CLR_ITEM(dir_fgClr, "black", p ".dir.fgClr"),                                                      \
  CLR_ITEM(dir_bgClr, "rgb:219,234,234", p ".dir.bgClr"),                                            \
  CLR_ITEM(fmoved_fgClr, "white", p ".fmoved.fgClr"),                                                \
  CLR_ITEM(fmoved_bgClr, "grey50", p ".fmoved.bgClr"),                                               \
  CLR_ITEM(fdeleted_fgClr, "white", p ".fdeleted.fgClr"),                                            \
  CLR_ITEM(fdeleted_bgClr, "grey50", p ".fdeleted.bgClr"),                                           \
  CLR_ITEM(err_fgClr, "white", p ".err.fgClr"),                                                      \
  CLR_ITEM(err_bgClr, "red", p ".err.bgClr"),                                                        \
  CLR_ITEM(inval_fgClr, "white", p ".inval.fgClr"),                                                  \
  CLR_ITEM(inval_bgClr, "red", p ".inval.bgClr"),                                                    \
  CLR_ITEM(fdone_fgClr, "black", p ".fdone.fgClr"),                                                  \
  CLR_ITEM(fdone_bgClr, "green", p ".fdone.bgClr"),                                                  \
  CLR_ITEM(fmark_fgClr, "yellow", p ".fmark.fgClr"),                                                 \
  CLR_ITEM(fmark_bgClr, "blue", p ".fmark.bgClr"),                                                   \
  {VAL_DATABUF, OFF(wp), IOFF(wp_size), IOFF(wp_cap), nullptr, cfg_cvt(cfg_wndpl_cvt), CFG_F_CVT, nullptr, \
   nullptr, p ".wp", nullptr, p ".wp"}

struct SortKeys {
  const char* col;
  const char* keys;
};
constexpr SortKeys kSortKeys[] = {{"ad", "ad,path"},   {"attr", "attr,path"}, {"Bd", "Bd,path"},
                                  {"dir", "dir,name"}, {"err", "foerr,path"}, {"ext", "ext,path"},
                                  {"md", "md,path"},   {"name", "name,dir"},  {"path", "path"},
                                  {"rpath", "rpath"},  {"size", "size,path"}};

}  // namespace

const cfg_item fcpdlgcfg_items[] = {
    FOP_ITEMS("fcpdlg", "fcpdlg"),
    STR_ITEM(flags, "Recursive", "fcpdlg-flags", "fcpdlg.flags"),
};
const unsigned fcpdlgcfg_nitems = sizeof fcpdlgcfg_items / sizeof fcpdlgcfg_items[0];
const cfg_item fmvdlgcfg_items[] = {FOP_ITEMS("fmvdlg", "fmvdlg")};
const unsigned fmvdlgcfg_nitems = sizeof fmvdlgcfg_items / sizeof fmvdlgcfg_items[0];

int fopdlgcfg_init(fopdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fopdlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  cfg_clear(c, fcpdlgcfg_nitems, fcpdlgcfg_items);
  c->to_cap = sizeof c->to;
  c->sortby_cap = sizeof c->sortby;
  c->wp_cap = sizeof c->wp;
  return fpathlist_init(&c->tolist);
}

int fopdlgcfg_free(fopdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fopdlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, fcpdlgcfg_nitems, fcpdlgcfg_items);
  fpathlist_free(&c->tolist);
  memset(c, 0, sizeof *c);
  c->to_cap = sizeof c->to;
  c->sortby_cap = sizeof c->sortby;
  c->wp_cap = sizeof c->wp;
  return 0;
}

int fopdlgcfg_set_dflts(fopdlgcfg* c, const cfg_item* items, unsigned nitems) {
  if (!c || !items) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cfg: %p, items: %p.", (void*)c, (const void*)items);
    return kParam;
  }
  int rc = fopdlgcfg_free(c);
  if (!rc) rc = fopdlgcfg_init(c);
  if (!rc) rc = cfg_set_dflts(c, nitems, items, 1);
  return rc;
}

unsigned fopdlgcfg_flags(const fopdlgcfg* c) {
  if (!c || !c->flags) return 0;
  unsigned f = 0;
  const char* s = c->flags;
  while (*s) {
    while (*s == ' ' || *s == '\t' || *s == ',' || *s == '\r' || *s == '\n') ++s;
    const char* b = s;
    while (*s && *s != ' ' && *s != '\t' && *s != ',' && *s != '\r' && *s != '\n') ++s;
    const size_t n = (size_t)(s - b);
    if (!n) continue;
    if (n == 9 && strncmp(b, "Recursive", 9) == 0) {
      f |= FOPDLG_RECURSIVE;
    } else {
      char w[64];
      mox_snprintf(w, sizeof w, "%.*s", (int)(n < 63 ? n : 63), b);
      ERR_LOG(ERR_WARN, 9012, "Invalid flag [%s] - ignored - str: `%s'.", w, c->flags);
    }
  }
  return f;
}

const char* fopdlgcfg_sortby_of(const char* col) {
  if (!col) return nullptr;
  for (const SortKeys& k : kSortKeys)
    if (strcmp(k.col, col) == 0) return k.keys;
  return nullptr;
}
