#include "fm/fdeldlgcfg.h"

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
constexpr enum_item kSizefmt[] = {{0, "b"}, {1, "k"}, {2, "h"}};
constexpr enum_list kSizefmtList{3, kSizefmt};
constexpr enum_item kDgrp[] = {{0, "locale"}, {1, "si-en"}, {2, "si-fr"}, {3, "usr"}};
constexpr enum_list kDgrpList{4, kDgrp};
constexpr enum_item kFocus[] = {
    {FATTRIBDLG_FOCUS_DFLT, "dflt"}, {FATTRIBDLG_FOCUS_CMD, "cmd"}, {FATTRIBDLG_FOCUS_LIST, "list"}};
constexpr enum_list kFocusList{3, kFocus};

struct FlagWord {
  unsigned bit;
  const char* word;
};
constexpr FlagWord kFlags[] = {{FDELDLG_DIR, "Dir"}, {FDELDLG_RECURSIVE, "Recursive"}};

// Every row binds a slot of T, the dialog's record; the shared part lives in T::base.
#define OFF(T, f) (unsigned)offsetof(T, f)
#define IOFF(T, f) (int)offsetof(T, f)
#define BUF_ITEM(T, f, d, op, name) {VAL_STRBUF, OFF(T, f), -1, IOFF(T, f##_cap), d, {}, 0, op, nullptr, name, nullptr, name}
#define STR_ITEM(T, f, d, op, name) {VAL_STR, OFF(T, f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, name}
#define BOOL_ITEM(T, f, d, op, name) {VAL_BOOL, OFF(T, f), -1, -1, d, {}, 0, op, "Yes", name, nullptr, name}
#define ENUM_ITEM(T, f, d, l, op, name) {VAL_ENUM, OFF(T, f), -1, -1, d, cfg_cvt(&l), 0, op, nullptr, name, nullptr, name}
#define CLR_ITEM(T, f, d, name) {VAL_COLOR, OFF(T, f), -1, -1, d, {}, 0, nullptr, nullptr, name, nullptr, nullptr}

// The list display and the run rules both dialogs share with the copy dialog, under prefix p.
#define SHARED_ITEMS(T, p)                                                                          \
  BOOL_ITEM(T, base.stopOnErr, "No", p "-stop-on-err", p ".stopOnErr"),                             \
  BUF_ITEM(T, base.sortby, "", p "-sort", p ".sortby"),                                             \
  BOOL_ITEM(T, base.sortrev, "No", p "-sortrev", p ".sortrev"),                                     \
  BOOL_ITEM(T, base.sort_ignorecase, "Yes", p "-sort-ignorecase", p ".sort.ignorecase"),            \
  BOOL_ITEM(T, base.ignorecase, "Yes", p "-ignorecase", p ".ignorecase"),                           \
  BOOL_ITEM(T, base.file_type, "No", p "-file-type", p ".file.type"),                               \
  BOOL_ITEM(T, base.flist_color, "Yes", p "-flist-color", p ".flist.color"),                        \
  BOOL_ITEM(T, base.flist_img, "Yes", p "-flist-img", p ".flist.img"),                              \
  ENUM_ITEM(T, base.timefmt, "locale-short", quarnwcfg_timefmt_enums, p "-timefmt", p ".timefmt"),  \
  STR_ITEM(T, base.timefmt_usr, "%c", p "-timefmt-usr", p ".timefmt.usr"),                          \
  ENUM_ITEM(T, base.sizefmt, "k", kSizefmtList, p "-sizefmt", p ".sizefmt"),                        \
  ENUM_ITEM(T, base.dgrp_num, "locale", kDgrpList, p "-dgrp-num", p ".dgrp.num"),                   \
  CLR_ITEM(T, base.file_fgClr, "sys:WINDOWTEXT", p ".file.fgClr"),                                  \
  CLR_ITEM(T, base.file_bgClr, "sys:WINDOW", p ".file.bgClr"),                                      \
  CLR_ITEM(T, base.dir_fgClr, "black", p ".dir.fgClr"),                                             \
  CLR_ITEM(T, base.dir_bgClr, "rgb:219,234,234", p ".dir.bgClr"),                                   \
  CLR_ITEM(T, base.fmoved_fgClr, "white", p ".fmoved.fgClr"),                                       \
  CLR_ITEM(T, base.fmoved_bgClr, "grey50", p ".fmoved.bgClr"),                                      \
  CLR_ITEM(T, base.fdeleted_fgClr, "white", p ".fdeleted.fgClr"),                                   \
  CLR_ITEM(T, base.fdeleted_bgClr, "grey50", p ".fdeleted.bgClr"),                                  \
  CLR_ITEM(T, base.err_fgClr, "white", p ".err.fgClr"),                                             \
  CLR_ITEM(T, base.err_bgClr, "red", p ".err.bgClr"),                                               \
  CLR_ITEM(T, base.inval_fgClr, "white", p ".inval.fgClr"),                                         \
  CLR_ITEM(T, base.inval_bgClr, "red", p ".inval.bgClr"),                                           \
  CLR_ITEM(T, base.fdone_fgClr, "black", p ".fdone.fgClr"),                                         \
  CLR_ITEM(T, base.fdone_bgClr, "green", p ".fdone.bgClr"),                                         \
  CLR_ITEM(T, base.fmark_fgClr, "yellow", p ".fmark.fgClr"),                                        \
  CLR_ITEM(T, base.fmark_bgClr, "blue", p ".fmark.bgClr"),                                          \
  {VAL_DATABUF, OFF(T, base.wp), IOFF(T, base.wp_size), IOFF(T, base.wp_cap), nullptr,              \
   cfg_cvt(cfg_wndpl_cvt), CFG_F_CVT, nullptr, nullptr, p ".wp", nullptr, p ".wp"}

void set_caps(fopdlgcfg* b) {
  b->to_cap = sizeof b->to;
  b->sortby_cap = sizeof b->sortby;
  b->wp_cap = sizeof b->wp;
}

}  // namespace

const cfg_item fdeldlgcfg_items[] = {
    SHARED_ITEMS(fdeldlgcfg, "fdeldlg"),
    ENUM_ITEM(fdeldlgcfg, base.cfm_yn, "yn", kCfmList, "fdeldlg-cfm-yn", "fdeldlg.cfm.yn"),
    BOOL_ITEM(fdeldlgcfg, base.askRO, "Yes", "fdeldlg-ask-ro", "fdeldlg.askRO"),
    STR_ITEM(fdeldlgcfg, flags, "Dir", "fdeldlg-flags", "fdeldlg.flags"),
    BOOL_ITEM(fdeldlgcfg, osCfm, "No", "fdeldlg-os-cfm", "fdeldlg.osCfm"),
    // nothing is lost for good unless asked for: the recycle bin by default
    BOOL_ITEM(fdeldlgcfg, undo, "Yes", "fdeldlg-undo", "fdeldlg.undo"),
    BOOL_ITEM(fdeldlgcfg, yesAll, "No", "fdeldlg-yes-all", "fdeldlg.yesAll"),
    BOOL_ITEM(fdeldlgcfg, permYesAll, "No", "fdeldlg-perm-yes-all", "fdeldlg.permYesAll"),
    CLR_ITEM(fdeldlgcfg, note_color, "red", "fdeldlg.note.color"),
};
const unsigned fdeldlgcfg_nitems = sizeof fdeldlgcfg_items / sizeof fdeldlgcfg_items[0];

const cfg_item fattribdlgcfg_items[] = {
    SHARED_ITEMS(fattribdlgcfg, "fattribdlg"),
    ENUM_ITEM(fattribdlgcfg, iniFocus, "dflt", kFocusList, "fattribdlg-ini-focus", "fattribdlg.iniFocus"),
    CLR_ITEM(fattribdlgcfg, set_color, "blue", "fattribdlg.set.color"),
};
const unsigned fattribdlgcfg_nitems = sizeof fattribdlgcfg_items / sizeof fattribdlgcfg_items[0];

int fdeldlgcfg_init(fdeldlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fdeldlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  cfg_clear(c, fdeldlgcfg_nitems, fdeldlgcfg_items);
  set_caps(&c->base);
  return fpathlist_init(&c->base.tolist);
}

int fdeldlgcfg_free(fdeldlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fdeldlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, fdeldlgcfg_nitems, fdeldlgcfg_items);
  fpathlist_free(&c->base.tolist);
  memset(c, 0, sizeof *c);
  set_caps(&c->base);
  return 0;
}

int fdeldlgcfg_set_dflts(fdeldlgcfg* c) {
  int rc = fdeldlgcfg_free(c);
  if (!rc) rc = fdeldlgcfg_init(c);
  if (!rc) rc = cfg_set_dflts(c, fdeldlgcfg_nitems, fdeldlgcfg_items, 1);
  return rc;
}

unsigned fdeldlgcfg_flags(const char* words) {
  if (!words) return 0;
  unsigned f = 0;
  const char* s = words;
  while (*s) {
    while (*s == ' ' || *s == '\t' || *s == ',' || *s == '\r' || *s == '\n') ++s;
    const char* b = s;
    while (*s && *s != ' ' && *s != '\t' && *s != ',' && *s != '\r' && *s != '\n') ++s;
    const size_t n = (size_t)(s - b);
    if (!n) continue;
    unsigned bit = 0;
    for (const FlagWord& w : kFlags)
      if (strlen(w.word) == n && strncmp(w.word, b, n) == 0) bit = w.bit;
    if (!bit) {
      char w[64];
      mox_snprintf(w, sizeof w, "%.*s", (int)(n < 63 ? n : 63), b);
      ERR_LOG(ERR_WARN, 9012, "Invalid flag [%s] - ignored - str: `%s'.", w, words);
    }
    f |= bit;
  }
  return f;
}

int fdeldlgcfg_flags_text(unsigned bits, char* buf, unsigned size) {
  if (!buf || !size) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - buf: %p, size: %u.", (void*)buf, size);
    return kParam;
  }
  buf[0] = 0;
  size_t len = 0;
  for (const FlagWord& w : kFlags) {
    if (!(bits & w.bit)) continue;
    if (mox_snprintf(buf + len, size - len, "%s%s", len ? " " : "", w.word)) return 206;
    len = strlen(buf);
  }
  return 0;
}

int fattribdlgcfg_init(fattribdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fattribdlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  cfg_clear(c, fattribdlgcfg_nitems, fattribdlgcfg_items);
  set_caps(&c->base);
  return fpathlist_init(&c->base.tolist);
}

int fattribdlgcfg_free(fattribdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fattribdlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, fattribdlgcfg_nitems, fattribdlgcfg_items);
  fpathlist_free(&c->base.tolist);
  memset(c, 0, sizeof *c);
  set_caps(&c->base);
  return 0;
}

int fattribdlgcfg_set_dflts(fattribdlgcfg* c) {
  int rc = fattribdlgcfg_free(c);
  if (!rc) rc = fattribdlgcfg_init(c);
  if (!rc) rc = cfg_set_dflts(c, fattribdlgcfg_nitems, fattribdlgcfg_items, 1);
  return rc;
}
