#include "fm/ffiltcfg.h"

#include <cstddef>
#include <cstring>

#include "c/enum.h"
#include "c/val.h"
#include "err/err.h"

// The time formats of the program's settings (same words, same values).
extern const enum_list quarnwcfg_timefmt_enums;

namespace {

constexpr int kParam = 9003;

constexpr enum_item kSort[] = {{FFILT_SORT_ABC, "abc"}, {FFILT_SORT_HIST, "hist"}};
constexpr enum_item kSizefmt[] = {{0, "b"}, {1, "k"}, {2, "h"}};
constexpr enum_item kDgrp[] = {{0, "locale"}, {1, "si-en"}, {2, "si-fr"}, {3, "usr"}};
constexpr enum_list kSortList{2, kSort};
constexpr enum_list kSizefmtList{3, kSizefmt};
constexpr enum_list kDgrpList{4, kDgrp};

#define ITEM(T, t, f, d, op, name, save) {t, (unsigned)offsetof(T, f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, save}
#define BOOL(T, f, d, op, name, save) {VAL_BOOL, (unsigned)offsetof(T, f), -1, -1, d, {}, 0, op, "Yes", name, nullptr, save}
#define ENUM(T, f, d, l, op, name, save) \
  {VAL_ENUM, (unsigned)offsetof(T, f), -1, -1, d, cfg_cvt(&l), 0, op, nullptr, name, nullptr, save}
#define WP(T, name)                                                                                               \
  {VAL_DATABUF, (unsigned)offsetof(T, wp), (int)offsetof(T, wp_size), (int)offsetof(T, wp_cap), nullptr,        \
   cfg_cvt(cfg_wndpl_cvt), CFG_F_CVT, nullptr, nullptr, name, nullptr, name}

}  // namespace

const cfg_item ffiltdlgcfg_items[] = {
    ITEM(ffiltdlgcfg, VAL_STR, cmdln, nullptr, nullptr, "ffiltdlg.cmdln", "ffiltdlg.cmdln"),
    BOOL(ffiltdlgcfg, cmdout, "No", nullptr, "ffiltdlg.cmdout", "ffiltdlg.cmdout"),
    ITEM(ffiltdlgcfg, VAL_STR, cmdoutTo, nullptr, nullptr, "ffiltdlg.cmdoutTo", "ffiltdlg.cmdoutTo"),
    ITEM(ffiltdlgcfg, VAL_STR, prefix, nullptr, nullptr, "ffiltCmdln", "ffiltCmdln"),
    ENUM(ffiltdlgcfg, cmdlist_sort, "hist", kSortList, "ffiltdlg-cmdlist-sort", "ffiltdlg.cmdlist.sort",
         "ffiltdlg.cmdlist.sort"),
    ITEM(ffiltdlgcfg, VAL_UINT, ncmdlist_max, "64", nullptr, "ffiltdlg.ncmdlist.max", nullptr),
    ITEM(ffiltdlgcfg, VAL_STR, font_name, nullptr, "ffiltdlg-cmdln-font-name", "ffiltdlg.cmdln.fontName", nullptr),
    ITEM(ffiltdlgcfg, VAL_UINT, font_height, "0", "ffiltdlg-cmdln-font-height", "ffiltdlg.cmdln.fontHeight",
         nullptr),
    BOOL(ffiltdlgcfg, ignorecase, "Yes", "ffiltdlg-ignorecase", "ffiltdlg.ignorecase", "ffiltdlg.ignorecase"),
    ITEM(ffiltdlgcfg, VAL_COLOR, inval_fgClr, "white", nullptr, "ffiltdlg.inval.fgClr", nullptr),
    ITEM(ffiltdlgcfg, VAL_COLOR, inval_bgClr, "red", nullptr, "ffiltdlg.inval.bgClr", nullptr),
    BOOL(ffiltdlgcfg, open, "No", nullptr, "ffiltdlg.open", "ffiltdlg.open"),
    WP(ffiltdlgcfg, "ffiltdlg.wp"),
};
const unsigned ffiltdlgcfg_nitems = sizeof ffiltdlgcfg_items / sizeof ffiltdlgcfg_items[0];

const cfg_item finfdlgcfg_items[] = {
    {VAL_ENUM, (unsigned)offsetof(finfdlgcfg, timefmt), -1, -1, "iso-long", cfg_cvt(&quarnwcfg_timefmt_enums), 0,
     "finfdlg-timefmt", nullptr, "finfdlg.timefmt", nullptr, "finfdlg.timefmt"},
    ITEM(finfdlgcfg, VAL_STR, timefmt_usr, "%c", "finfdlg-timefmt-usr", "finfdlg.timefmt.usr", "finfdlg.timefmt.usr"),
    ENUM(finfdlgcfg, sizefmt, "k", kSizefmtList, "finfdlg-sizefmt", "finfdlg.sizefmt", "finfdlg.sizefmt"),
    ENUM(finfdlgcfg, dgrp_num, "locale", kDgrpList, "finfdlg-dgrp-num", "finfdlg.dgrp.num", "finfdlg.dgrp.num"),
    BOOL(finfdlgcfg, color, "Yes", "finfdlg-color", "finfdlg.color", "finfdlg.color"),
    ITEM(finfdlgcfg, VAL_COLOR, err_fgClr, "white", nullptr, "finfdlg.err.fgClr", nullptr),
    ITEM(finfdlgcfg, VAL_COLOR, err_bgClr, "red", nullptr, "finfdlg.err.bgClr", nullptr),
    BOOL(finfdlgcfg, open, "No", nullptr, "finfdlg.open", "finfdlg.open"),
    WP(finfdlgcfg, "finfdlg.wp"),
};
const unsigned finfdlgcfg_nitems = sizeof finfdlgcfg_items / sizeof finfdlgcfg_items[0];

int ffiltdlgcfg_init(ffiltdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  const int rc = cfg_clear(c, ffiltdlgcfg_nitems, ffiltdlgcfg_items);
  c->wp_cap = sizeof c->wp;
  return rc ? rc : fcmdlist_init(&c->cmdlist, 1);
}

int ffiltdlgcfg_free(ffiltdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, ffiltdlgcfg_nitems, ffiltdlgcfg_items);
  fcmdlist_free(&c->cmdlist);
  return ffiltdlgcfg_init(c);
}

int ffiltdlgcfg_set_dflts(ffiltdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlgcfg' is NUL.");
    return kParam;
  }
  return cfg_set_dflts(c, ffiltdlgcfg_nitems, ffiltdlgcfg_items, 1);
}

int ffiltdlgcfg_load_cmdlist(ffiltdlgcfg* c, db* d) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlgcfg' is NUL.");
    return kParam;
  }
  fcmdlist_free(&c->cmdlist);
  c->cmdlist.ignorecase = c->ignorecase;
  return fcmdlist_load(&c->cmdlist, d, "ffiltCmdlist", "ffiltNcmdlist", c->ncmdlist_max);
}

int ffiltdlgcfg_save_cmdlist(const ffiltdlgcfg* c, db* d) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlgcfg' is NUL.");
    return kParam;
  }
  return fcmdlist_save(&c->cmdlist, d, "ffiltCmdlist", "ffiltNcmdlist", c->ncmdlist_max);
}

int finfdlgcfg_init(finfdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`finfdlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  const int rc = cfg_clear(c, finfdlgcfg_nitems, finfdlgcfg_items);
  c->wp_cap = sizeof c->wp;
  return rc;
}

int finfdlgcfg_free(finfdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`finfdlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, finfdlgcfg_nitems, finfdlgcfg_items);
  return finfdlgcfg_init(c);
}

int finfdlgcfg_set_dflts(finfdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`finfdlgcfg' is NUL.");
    return kParam;
  }
  return cfg_set_dflts(c, finfdlgcfg_nitems, finfdlgcfg_items, 1);
}
