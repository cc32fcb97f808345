#include "quarnw/quarnwcfg.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"
#include "quarn/quarnlib.h"
#include "xrm/xrm.h"
#include "xrm/xrm_cmd.h"

namespace {

constexpr int kParam = 9003;

constexpr enum_item kPathlistSort[] = {{QUARNW_PATHLIST_ABC, "abc"}, {QUARNW_PATHLIST_HIST, "hist"}};
constexpr enum_item kView[] = {{QUARNW_VIEW_STD, "std"}, {QUARNW_VIEW_EXT, "ext"}, {QUARNW_VIEW_CMD, "cmd"}};
constexpr enum_item kTimefmt[] = {{QUARNW_TIMEFMT_ISO, "iso"},
                                  {QUARNW_TIMEFMT_ISO_LONG, "iso-long"},
                                  {QUARNW_TIMEFMT_LOCALE_SHORT, "locale-short"},
                                  {QUARNW_TIMEFMT_LOCALE_LONG, "locale-long"},
                                  {QUARNW_TIMEFMT_LS, "ls"},
                                  {QUARNW_TIMEFMT_LS_LONG, "ls-long"},
                                  {QUARNW_TIMEFMT_USR, "usr"}};
constexpr enum_item kSizefmt[] = {{QUARNW_SIZEFMT_B, "b"}, {QUARNW_SIZEFMT_K, "k"}, {QUARNW_SIZEFMT_H, "h"}};
constexpr enum_item kDgrp[] = {{QUARNW_DGRP_LOCALE, "locale"},
                               {QUARNW_DGRP_SI_EN, "si-en"},
                               {QUARNW_DGRP_SI_FR, "si-fr"},
                               {QUARNW_DGRP_USR, "usr"}};
constexpr enum_list kPathlistSortList{2, kPathlistSort};
constexpr enum_list kViewList{3, kView};
constexpr enum_list kSizefmtList{3, kSizefmt};
constexpr enum_list kDgrpList{4, kDgrp};

#define OFF(f) (unsigned)offsetof(quarnwcfg, f)
#define IOFF(f) (int)offsetof(quarnwcfg, f)
// name: read name; save: save name or nullptr.
#define UINT_ITEM(f, d, op, name, save) {VAL_UINT, OFF(f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, save}
#define INT_ITEM(f, d, op, name, save) {VAL_INT, OFF(f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, save}
#define STR_ITEM(f, d, op, name, save) {VAL_STR, OFF(f), -1, -1, d, {}, 0, op, nullptr, name, nullptr, save}
#define BUF_ITEM(f, d, op, name, save) \
  {VAL_STRBUF, OFF(f), -1, IOFF(f##_cap), d, {}, 0, op, nullptr, name, nullptr, save}
#define BOOL_ITEM(f, d, op, name, save) {VAL_BOOL, OFF(f), -1, -1, d, {}, 0, op, "Yes", name, nullptr, save}
#define ENUM_ITEM(f, d, l, op, name, save) \
  {VAL_ENUM, OFF(f), -1, -1, d, cfg_cvt(&l), 0, op, nullptr, name, nullptr, save}
#define CLR_ITEM(f, d, name, save) {VAL_COLOR, OFF(f), -1, -1, d, {}, 0, nullptr, nullptr, name, nullptr, save}
#define WP_ITEM(f, name) \
  {VAL_DATABUF, OFF(f), IOFF(f##_size), IOFF(f##_cap), nullptr, cfg_cvt(cfg_wndpl_cvt), CFG_F_CVT, nullptr, nullptr, name, nullptr, name}

}  // namespace

const enum_list quarnwcfg_timefmt_enums{7, kTimefmt};

const cfg_item quarnwcfg_items[] = {
    UINT_ITEM(nprof_max, "256", nullptr, "nprof.max", nullptr),
    UINT_ITEM(npathlist_max, "64", nullptr, "npathlist.max", nullptr),
    STR_ITEM(title, "quarn", nullptr, "title", nullptr),
    UINT_ITEM(title_path_max, "50", nullptr, "title.path.max", nullptr),
    BUF_ITEM(path, nullptr, nullptr, "path", "path"),
    ENUM_ITEM(pathlist_sort, "hist", kPathlistSortList, "pathlist-sort", "pathlist.sort", "pathlist.sort"),
    BUF_ITEM(flist_dblclk_cmd_id, "fdflt", nullptr, "flist.dblclk.cmd.id", "flist.dblclk.cmd.id"),
    BUF_ITEM(std_name, nullptr, nullptr, "std.name", "std.name"),
    BUF_ITEM(std_md, nullptr, nullptr, "std.md", "std.md"),
    BUF_ITEM(std_size, nullptr, nullptr, "std.size", "std.size"),
    ENUM_ITEM(view, "std", kViewList, "view", "view", "view"),
    BUF_ITEM(sortby, nullptr, "sort", "sortby", "sortby"),
    STR_ITEM(sortby_ad, "ad,path", nullptr, "sortby.ad", nullptr),
    STR_ITEM(sortby_attr, "attr,path", nullptr, "sortby.attr", nullptr),
    STR_ITEM(sortby_Bd, "Bd,path", nullptr, "sortby.Bd", nullptr),
    STR_ITEM(sortby_dir, "dir,name", nullptr, "sortby.dir", nullptr),
    STR_ITEM(sortby_err, "err,path", nullptr, "sortby.err", nullptr),
    STR_ITEM(sortby_ext, "ext,path", nullptr, "sortby.ext", nullptr),
    STR_ITEM(sortby_md, "md,path", nullptr, "sortby.md", nullptr),
    STR_ITEM(sortby_name, "name,dir", nullptr, "sortby.name", nullptr),
    STR_ITEM(sortby_path, "path", nullptr, "sortby.path", nullptr),
    STR_ITEM(sortby_rpath, "rpath", nullptr, "sortby.rpath", nullptr),
    STR_ITEM(sortby_size, "size,path", nullptr, "sortby.size", nullptr),
    BOOL_ITEM(sortrev, "No", "sortrev", "sortrev", "sortrev"),
    BOOL_ITEM(sort_ignorecase, "Yes", "sort-ignorecase", "sort.ignorecase", "sort.ignorecase"),
    BOOL_ITEM(grpdir1st, "No", "grpdir1st", "grpdir1st", "grpdir1st"),
    BOOL_ITEM(pathdir1st, "No", "pathdir1st", "pathdir1st", "pathdir1st"),
    BOOL_ITEM(ignorecase, "Yes", "ignorecase", "ignorecase", "ignorecase"),
    BOOL_ITEM(file_type, "No", "file-type", "file.type", "file.type"),
    {VAL_DATABUF, OFF(disable_err), IOFF(disable_err_size), IOFF(disable_err_cap), nullptr,
     cfg_cvt(quarn_diserr_cvt), CFG_F_CVT, "disable-err", nullptr, "disableErr", nullptr, "disableErr"},
    STR_ITEM(lang, nullptr, "lang", "lang", "lang"),
    STR_ITEM(timef_fmts, "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*", nullptr, "timef.fmts", nullptr),
    ENUM_ITEM(timefmt, "locale-short", quarnwcfg_timefmt_enums, "timefmt", "timefmt", "timefmt"),
    STR_ITEM(timefmt_usr, "%c", "timefmt-usr", "timefmt.usr", "timefmt.usr"),
    ENUM_ITEM(sizefmt, "k", kSizefmtList, "sizefmt", "sizefmt", "sizefmt"),
    ENUM_ITEM(dgrp_num, "locale", kDgrpList, "dgrp-num", "dgrp.num", "dgrp.num"),
    STR_ITEM(dgrp_num_usrFmt, "%*%3", "dgrp-num-usrfmt", "dgrp.num.usrFmt", "dgrp.num.usrFmt"),
    STR_ITEM(dgrp_num_usrGrpsep, nullptr, "dgrp-num-usrgrpsep", "dgrp.num.usrGrpsep", "dgrp.num.usrGrpsep"),
    STR_ITEM(dgrp_num_usrDecmark, nullptr, "dgrp-num-usrdecmark", "dgrp.num.usrDecmark", "dgrp.num.usrDecmark"),
    UINT_ITEM(dnd_bufszK, "0", nullptr, "dnd.bufszK", nullptr),
    BOOL_ITEM(flist_color, "Yes", "flist-color", "flist.color", "flist.color"),
    BOOL_ITEM(flist_img, "No", "flist-img", "flist.img", "flist.img"),
    CLR_ITEM(file_fgClr, "sys:WINDOWTEXT", "file.fgClr", nullptr),
    CLR_ITEM(file_bgClr, "sys:WINDOW", "file.bgClr", nullptr),
    CLR_ITEM(dir_fgClr, "black", "dir.fgClr", nullptr),
    CLR_ITEM(dir_bgClr, "rgb:219,234,234", "dir.bgClr", nullptr),
    CLR_ITEM(fmoved_fgClr, "white", "fmoved.fgClr", nullptr),
    CLR_ITEM(fmoved_bgClr, "grey50", "fmoved.bgClr", nullptr),
    CLR_ITEM(fdeleted_fgClr, "white", "fdeleted.fgClr", nullptr),
    CLR_ITEM(fdeleted_bgClr, "grey50", "fdeleted.bgClr", nullptr),
    CLR_ITEM(err_fgClr, "white", "err.fgClr", "err.fgClr"),
    CLR_ITEM(err_bgClr, "red", "err.bgClr", "err.bgClr"),
    CLR_ITEM(inval_fgClr, "white", "inval.fgClr", "inval.fgClr"),
    CLR_ITEM(inval_bgClr, "red", "inval.bgClr", "inval.bgClr"),
    WP_ITEM(frame_wp, "frame.wp"),
    STR_ITEM(frame_xPref, nullptr, nullptr, "frame.xPref", nullptr),
    STR_ITEM(frame_yPref, nullptr, nullptr, "frame.yPref", nullptr),
    STR_ITEM(frame_wPref, nullptr, nullptr, "frame.wPref", nullptr),
    STR_ITEM(frame_hPref, nullptr, nullptr, "frame.hPref", nullptr),
    WP_ITEM(profdlg_wp, "profdlg.wp"),
    INT_ITEM(progress_lockTimeout, "500", "progress-locktimeout", "progress.lockTimeout", "progress.lockTimeout"),
    UINT_ITEM(progress_cbEvery, "100", "progress-cbevery", "progress.cbEvery", "progress.cbEvery"),
    UINT_ITEM(progress_updateEvery, "50", "progress-updateevery", "progress.updateEvery", "progress.updateEvery"),
};
const unsigned quarnwcfg_nitems = sizeof quarnwcfg_items / sizeof quarnwcfg_items[0];

namespace {

void set_caps(quarnwcfg* c) {
  c->path_cap = sizeof c->path;
  c->flist_dblclk_cmd_id_cap = sizeof c->flist_dblclk_cmd_id;
  c->std_name_cap = sizeof c->std_name;
  c->std_md_cap = sizeof c->std_md;
  c->std_size_cap = sizeof c->std_size;
  c->sortby_cap = sizeof c->sortby;
  c->disable_err_cap = sizeof c->disable_err;
  c->frame_wp_cap = sizeof c->frame_wp;
  c->profdlg_wp_cap = sizeof c->profdlg_wp;
}

const void* slot(const void* base, unsigned off) { return static_cast<const char*>(base) + off; }

unsigned size_field(const void* base, int off) {
  return off < 0 ? 0u : *static_cast<const unsigned*>(slot(base, (unsigned)off));
}

// Whether two records hold the same value of item it.
bool same_value(const void* a, const void* b, const cfg_item& it) {
  const void* va = slot(a, it.val_off);
  const void* vb = slot(b, it.val_off);
  switch (it.valtype) {
    case VAL_STR: {
      const char* sa = *static_cast<const char* const*>(va);
      const char* sb = *static_cast<const char* const*>(vb);
      return (!sa || !*sa) ? (!sb || !*sb) : (sb && strcmp(sa, sb) == 0);
    }
    case VAL_STRBUF:
      return strcmp(static_cast<const char*>(va), static_cast<const char*>(vb)) == 0;
    case VAL_DATABUF: {
      const unsigned na = size_field(a, it.valsize_off), nb = size_field(b, it.valsize_off);
      return na == nb && memcmp(va, vb, na) == 0;
    }
    default:
      return memcmp(va, vb, sizeof(int)) == 0;
  }
}

// Reads the items one by one, so that one bad value keeps its default and the rest load.
int get_items(db* d, void* base, unsigned n, const cfg_item* items, const char* prefix) {
  for (unsigned i = 0; i < n; ++i) {
    if (!items[i].xrm_name) continue;
    const int rc = xrm_get_items(d, base, 1, &items[i], prefix, nullptr, 1);
    if (rc == 9011) return rc;  // the database is not reachable: nothing else will be
    if (!rc) continue;
    ERR_LOG(ERR_WARN, rc, "Bad value of `%s' ignored.", items[i].xrm_name);
    // a failed conversion may have left part of a value: the default again
    unsigned *vs = nullptr, *vms = nullptr;
    if (!cfg_valsizes(base, items[i].valtype, items[i].valsize_off, items[i].valmaxsize_off, &vs, &vms))
      val_free(items[i].valtype, static_cast<char*>(base) + items[i].val_off, vs, nullptr);
    if (items[i].dflt) cfg_set_item(base, &items[i], items[i].dflt, 1);
  }
  return 0;
}

// Puts every item that has a save name and differs from orig.
int save_items(db* d, const void* base, const void* orig, unsigned n, const cfg_item* items) {
  for (unsigned i = 0; i < n; ++i) {
    const cfg_item& it = items[i];
    if (!it.xrm_name2) continue;
    if (orig && same_value(base, orig, it)) continue;
    cfg_item put = it;
    put.xrm_name = it.xrm_name2;
    const int rc = xrm_put_items(d, base, 1, &put, nullptr, 1);
    if (rc) return rc;
  }
  return 0;
}

int get_pathlist(quarnwcfg* c, db* d) {
  unsigned n = 0;
  int rc = xrm_get(d, "npathlist", nullptr, 1, VAL_UINT, &n, nullptr, nullptr, nullptr);
  if (rc == 9006) return 0;
  if (rc) return rc;
  if (c->npathlist_max && n > c->npathlist_max) n = c->npathlist_max;
  // highest index first, each to the front: the saved order comes back
  for (unsigned i = n; i-- > 0;) {
    char name[32], path[FPATHLIST_PATHSIZE];
    mox_snprintf(name, sizeof name, "pathlist.%u", i);
    rc = xrm_get_str(d, name, nullptr, 1, path, sizeof path);
    if (rc == 9006) continue;
    if (rc) {
      ERR_LOG(ERR_WARN, rc, "Bad value of `%s' ignored.", name);
      continue;
    }
    rc = fpathlist_add(&c->pathlist, path);
    if (rc) return rc;
  }
  return 0;
}

int save_pathlist(const quarnwcfg* c, db* d) {
  unsigned i = 0;
  for (list_node* n = fpathlist_first(&c->pathlist); n && i < c->npathlist_max; n = fpathlist_next(n), ++i) {
    char name[32];
    mox_snprintf(name, sizeof name, "pathlist.%u", i);
    const int rc = xrm_put(d, name, 1, fpathlist_text(n));
    if (rc) return rc;
  }
  char num[16];
  mox_snprintf(num, sizeof num, "%u", i);
  return xrm_put(d, "npathlist", 1, num);
}

// A dialog's destination history: "<prefix>.ntolist" entries "<prefix>.tolist.<i>", most
// recent first, as the path history.
int get_tolist(fopdlgcfg* c, db* d, const char* prefix) {
  char name[64];
  mox_snprintf(name, sizeof name, "%s.ntolist", prefix);
  unsigned n = 0;
  int rc = xrm_get(d, name, nullptr, 1, VAL_UINT, &n, nullptr, nullptr, nullptr);
  if (rc == 9006) return 0;
  if (rc) return rc;
  if (c->ntolist_max && n > c->ntolist_max) n = c->ntolist_max;
  for (unsigned i = n; i-- > 0;) {
    char path[FPATHLIST_PATHSIZE];
    mox_snprintf(name, sizeof name, "%s.tolist.%u", prefix, i);
    rc = xrm_get_str(d, name, nullptr, 1, path, sizeof path);
    if (rc == 9006) continue;
    if (rc) {
      ERR_LOG(ERR_WARN, rc, "Bad value of `%s' ignored.", name);
      continue;
    }
    if ((rc = fpathlist_add(&c->tolist, path))) return rc;
  }
  return 0;
}

int save_tolist(const fopdlgcfg* c, db* d, const char* prefix) {
  char name[64];
  unsigned i = 0;
  for (list_node* n = fpathlist_first(&c->tolist); n && i < c->ntolist_max; n = fpathlist_next(n), ++i) {
    mox_snprintf(name, sizeof name, "%s.tolist.%u", prefix, i);
    if (const int rc = xrm_put(d, name, 1, fpathlist_text(n))) return rc;
  }
  if (!i) return 0;
  char num[16];
  mox_snprintf(num, sizeof num, "%u", i);
  mox_snprintf(name, sizeof name, "%s.ntolist", prefix);
  return xrm_put(d, name, 1, num);
}

// The search paths of the command line as one Path text; words with a blank quoted.
int get_paths(quarnwcfg* c, const cmdp* cp) {
  char text[QUARNWCFG_PATH_SIZE];
  unsigned len = 0;
  text[0] = 0;
  int idx = -1;
  for (const char* w; (w = cmdp_next_arg(cp, &idx)) != nullptr;) {
    if (!*w) continue;
    const char* fmt = strpbrk(w, " \t") ? (len ? " \"%s\"" : "\"%s\"") : (len ? " %s" : "%s");
    const int rc = mox_snprintf(text + len, sizeof text - len, fmt, w);
    if (rc) {
      // a cut list would search somewhere else: the Path field keeps its text
      ERR_USER(ERR_ERR, rc, "Search paths too long [%u]: ignored.", (unsigned)sizeof text - 1);
      return 0;
    }
    len += (unsigned)strlen(text + len);
  }
  if (!len) return 0;
  memcpy(c->path, text, len + 1);
  return fpathlist_add(&c->pathlist, text);
}

}  // namespace

int quarnwcfg_init(quarnwcfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, kParam, "`quarnwcfg' is NUL.");
    return kParam;
  }
  memset(cfg, 0, sizeof *cfg);
  cfg_clear(cfg, quarnwcfg_nitems, quarnwcfg_items);
  set_caps(cfg);  // the fixed buffers' capacities, which the clear zeroes
  int rc = fpathlist_init(&cfg->pathlist);
  if (!rc) rc = cmdlist_init(&cfg->cmd);
  if (!rc) rc = cmdlist_init(&cfg->flistCmd);
  if (!rc) rc = uerrdlgcfg_init(&cfg->uerrdlg);
  if (!rc) rc = fopdlgcfg_init(&cfg->fcpdlg);
  if (!rc) rc = fopdlgcfg_init(&cfg->fmvdlg);
  if (!rc) rc = fdeldlgcfg_init(&cfg->fdeldlg);
  if (!rc) rc = fattribdlgcfg_init(&cfg->fattribdlg);
  if (!rc) rc = ffiltdlgcfg_init(&cfg->ffiltdlg);
  if (!rc) rc = finfdlgcfg_init(&cfg->finfdlg);
  return rc;
}

int quarnwcfg_free(quarnwcfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, kParam, "`quarnwcfg' is NUL.");
    return kParam;
  }
  cfg_free(cfg, quarnwcfg_nitems, quarnwcfg_items);
  fpathlist_free(&cfg->pathlist);
  cmdlist_free(&cfg->cmd);
  cmdlist_free(&cfg->flistCmd);
  uerrdlgcfg_free(&cfg->uerrdlg);
  fopdlgcfg_free(&cfg->fcpdlg);
  fopdlgcfg_free(&cfg->fmvdlg);
  fdeldlgcfg_free(&cfg->fdeldlg);
  fattribdlgcfg_free(&cfg->fattribdlg);
  ffiltdlgcfg_free(&cfg->ffiltdlg);
  finfdlgcfg_free(&cfg->finfdlg);
  memset(cfg, 0, sizeof *cfg);
  set_caps(cfg);
  return 0;
}

int quarnwcfg_set_dflts(quarnwcfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, kParam, "`quarnwcfg' is NUL.");
    return kParam;
  }
  int rc = quarnwcfg_free(cfg);
  if (!rc) rc = quarnwcfg_init(cfg);
  if (!rc) rc = cfg_set_dflts(cfg, quarnwcfg_nitems, quarnwcfg_items, 1);
  if (!rc) rc = uerrdlgcfg_set_dflts(&cfg->uerrdlg);
  if (!rc) rc = fopdlgcfg_set_dflts(&cfg->fcpdlg, fcpdlgcfg_items, fcpdlgcfg_nitems);
  if (!rc) rc = fopdlgcfg_set_dflts(&cfg->fmvdlg, fmvdlgcfg_items, fmvdlgcfg_nitems);
  if (!rc) rc = fdeldlgcfg_set_dflts(&cfg->fdeldlg);
  if (!rc) rc = fattribdlgcfg_set_dflts(&cfg->fattribdlg);
  if (!rc) rc = ffiltdlgcfg_set_dflts(&cfg->ffiltdlg);
  if (!rc) rc = finfdlgcfg_set_dflts(&cfg->finfdlg);
  return rc;
}

int quarnwcfg_get_xrm(quarnwcfg* cfg, db* d) {
  if (!cfg || !d) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cfg: %p, db: %p.", (void*)cfg, (void*)d);
    return kParam;
  }
  int rc = get_items(d, cfg, quarnwcfg_nitems, quarnwcfg_items, nullptr);
  if (!rc) rc = get_pathlist(cfg, d);
  if (!rc) rc = xrm_cmd_load(d, "quarnw.cmd", nullptr, 1, &cfg->cmd);
  if (!rc) rc = xrm_cmd_load(d, "flistCmd", nullptr, 1, &cfg->flistCmd);
  if (!rc) rc = get_items(d, &cfg->uerrdlg, uerrdlgcfg_nitems, uerrdlgcfg_items, nullptr);
  if (!rc) rc = get_items(d, &cfg->fcpdlg, fcpdlgcfg_nitems, fcpdlgcfg_items, nullptr);
  if (!rc) rc = get_items(d, &cfg->fmvdlg, fmvdlgcfg_nitems, fmvdlgcfg_items, nullptr);
  if (!rc) rc = get_tolist(&cfg->fcpdlg, d, "fcpdlg");
  if (!rc) rc = get_tolist(&cfg->fmvdlg, d, "fmvdlg");
  if (!rc) rc = get_items(d, &cfg->fdeldlg, fdeldlgcfg_nitems, fdeldlgcfg_items, nullptr);
  if (!rc) rc = get_items(d, &cfg->fattribdlg, fattribdlgcfg_nitems, fattribdlgcfg_items, nullptr);
  if (!rc) rc = get_items(d, &cfg->ffiltdlg, ffiltdlgcfg_nitems, ffiltdlgcfg_items, nullptr);
  if (!rc) rc = ffiltdlgcfg_load_cmdlist(&cfg->ffiltdlg, d);
  if (!rc) rc = get_items(d, &cfg->finfdlg, finfdlgcfg_nitems, finfdlgcfg_items, nullptr);
  return rc;
}

int quarnwcfg_get_cmdp(quarnwcfg* cfg, const cmdp* cp) {
  if (!cfg || !cp) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cfg: %p, cmdp: %p.", (void*)cfg, (const void*)cp);
    return kParam;
  }
  int rc = cmdp_get_items(cp, cfg, quarnwcfg_nitems, quarnwcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->uerrdlg, uerrdlgcfg_nitems, uerrdlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->fcpdlg, fcpdlgcfg_nitems, fcpdlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->fmvdlg, fmvdlgcfg_nitems, fmvdlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->fdeldlg, fdeldlgcfg_nitems, fdeldlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->fattribdlg, fattribdlgcfg_nitems, fattribdlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->ffiltdlg, ffiltdlgcfg_nitems, ffiltdlgcfg_items, 1);
  if (!rc) rc = cmdp_get_items(cp, &cfg->finfdlg, finfdlgcfg_nitems, finfdlgcfg_items, 1);
  if (!rc) rc = get_paths(cfg, cp);
  return rc;
}

int quarnwcfg_save(const quarnwcfg* cfg, const quarnwcfg* orig, db* d) {
  if (!cfg || !d) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cfg: %p, db: %p.", (const void*)cfg, (void*)d);
    return kParam;
  }
  int rc = xrm_lock(d);
  if (rc) return rc;
  rc = save_items(d, cfg, orig, quarnwcfg_nitems, quarnwcfg_items);
  if (!rc) rc = save_pathlist(cfg, d);
  if (!rc)
    rc = save_items(d, &cfg->uerrdlg, orig ? &orig->uerrdlg : nullptr, uerrdlgcfg_nitems, uerrdlgcfg_items);
  if (!rc) rc = save_items(d, &cfg->fcpdlg, orig ? &orig->fcpdlg : nullptr, fcpdlgcfg_nitems, fcpdlgcfg_items);
  if (!rc) rc = save_items(d, &cfg->fmvdlg, orig ? &orig->fmvdlg : nullptr, fmvdlgcfg_nitems, fmvdlgcfg_items);
  if (!rc) rc = save_tolist(&cfg->fcpdlg, d, "fcpdlg");
  if (!rc) rc = save_tolist(&cfg->fmvdlg, d, "fmvdlg");
  if (!rc)
    rc = save_items(d, &cfg->fdeldlg, orig ? &orig->fdeldlg : nullptr, fdeldlgcfg_nitems, fdeldlgcfg_items);
  if (!rc)
    rc = save_items(d, &cfg->fattribdlg, orig ? &orig->fattribdlg : nullptr, fattribdlgcfg_nitems,
                    fattribdlgcfg_items);
  if (!rc)
    rc = save_items(d, &cfg->ffiltdlg, orig ? &orig->ffiltdlg : nullptr, ffiltdlgcfg_nitems, ffiltdlgcfg_items);
  if (!rc) rc = ffiltdlgcfg_save_cmdlist(&cfg->ffiltdlg, d);
  if (!rc)
    rc = save_items(d, &cfg->finfdlg, orig ? &orig->finfdlg : nullptr, finfdlgcfg_nitems, finfdlgcfg_items);
  xrm_unlock(d);
  return rc;
}

int quarnwcfg_copy(quarnwcfg* dest, const quarnwcfg* src) {
  if (!dest || !src) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, src: %p.", (void*)dest, (const void*)src);
    return kParam;
  }
  int rc = cfg_copy(dest, src, quarnwcfg_nitems, quarnwcfg_items);
  if (!rc) rc = cfg_copy(&dest->uerrdlg, &src->uerrdlg, uerrdlgcfg_nitems, uerrdlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->fcpdlg, &src->fcpdlg, fcpdlgcfg_nitems, fcpdlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->fmvdlg, &src->fmvdlg, fmvdlgcfg_nitems, fmvdlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->fdeldlg, &src->fdeldlg, fdeldlgcfg_nitems, fdeldlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->fattribdlg, &src->fattribdlg, fattribdlgcfg_nitems, fattribdlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->ffiltdlg, &src->ffiltdlg, ffiltdlgcfg_nitems, ffiltdlgcfg_items);
  if (!rc) rc = cfg_copy(&dest->finfdlg, &src->finfdlg, finfdlgcfg_nitems, finfdlgcfg_items);
  return rc;
}

const char* quarnwcfg_sortby_of(const quarnwcfg* cfg, const char* col) {
  if (!cfg || !col) return nullptr;
  struct Col {
    const char* name;
    char* quarnwcfg::*keys;
  };
  static constexpr Col kCols[] = {
      {"ad", &quarnwcfg::sortby_ad},     {"attr", &quarnwcfg::sortby_attr}, {"Bd", &quarnwcfg::sortby_Bd},
      {"dir", &quarnwcfg::sortby_dir},   {"err", &quarnwcfg::sortby_err},   {"ext", &quarnwcfg::sortby_ext},
      {"md", &quarnwcfg::sortby_md},     {"name", &quarnwcfg::sortby_name}, {"path", &quarnwcfg::sortby_path},
      {"rpath", &quarnwcfg::sortby_rpath}, {"size", &quarnwcfg::sortby_size}};
  for (const Col& c : kCols)
    if (strcmp(c.name, col) == 0) return cfg->*c.keys ? cfg->*c.keys : "";
  return nullptr;
}
