#include "fm/win32/fopdlg.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "c/arg.h"
#include "c/str.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/ftext.h"
#include "fm/win32/fcfmdlg.h"
#include "ntf/ntf.h"
#include "quarnw/flistcell.h"
#include "txr/txr.h"
#include "ui/menu.h"
#include "ui/win32/lvwcoldlg.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kDir = FILE_ATTRIBUTE_DIRECTORY;

int last_error() {
  int e = (int)GetLastError();
  return e ? e : 9001;
}

const char* mark_text(const txr* tx, const char* id, const char* dflt) {
  const char* t = tx ? txr_get(tx, "flist.mark", id) : nullptr;
  return t && strcmp(t, id) != 0 ? t : dflt;
}

flistcell_fmt cell_fmt(const foplist* l) {
  const fopdlgcfg* c = l->cfg;
  flistcell_fmt f{};
  f.file_type = c->file_type;
  f.timefmt = (unsigned)c->timefmt;
  f.timefmt_usr = c->timefmt_usr ? c->timefmt_usr : "%c";
  f.sizefmt = (unsigned)c->sizefmt;
  f.grpstyle = (unsigned)c->dgrp_num;
  f.dg = l->env->dg;
  f.sc = l->env->sc;
  f.mark_moved = l->mark_moved;
  f.mark_deleted = l->mark_deleted;
  return f;
}

// The operation's error, where the result list shows the search's.
void err_cell(const frec* r, char* buf, unsigned size) {
  if (r->foerrcode && r->foerrtext && *r->foerrtext)
    mox_snprintf(buf, size, "[%d] %s", r->foerrcode, r->foerrtext);
  else if (r->foerrtext && *r->foerrtext)
    mox_strcpy(buf, size, r->foerrtext);
  else if (r->foerrcode)
    mox_snprintf(buf, size, "[%d]", r->foerrcode);
  else
    *buf = 0;
}

int on_dispinfo(lvw*, NMLVDISPINFOA* di, int tag, void* usrdata) {
  auto* l = static_cast<foplist*>(usrdata);
  LVITEMA& it = di->item;
  if (it.iItem < 0 || (unsigned)it.iItem >= l->n) return 0;
  const frec* r = l->items[it.iItem].r;
  if (!(it.mask & LVIF_TEXT) || !it.pszText || it.cchTextMax <= 0) return 0;
  char* buf = it.pszText;
  unsigned size = (unsigned)it.cchTextMax;
  *buf = 0;
  if (tag < 0) return 0;
  // the mark of the record being processed leads its first column
  if (r == l->cur && lvw_col(&l->lv, 0) >= 0 && di->item.iSubItem == 0) {
    mox_strcpy(buf, size, l->mark);
    size_t k = strlen(buf);
    buf += k;
    size -= (unsigned)k;
  }
  if (tag == FLCOL_ERR) {
    err_cell(r, buf, size);
  } else {
    flistcell_fmt f = cell_fmt(l);
    flistcell_text(r, tag, &f, buf, size);
  }
  return 0;
}

LRESULT on_customdraw(lvw*, NMLVCUSTOMDRAW* cd, int, void* usrdata) {
  auto* l = static_cast<foplist*>(usrdata);
  switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      const DWORD_PTR row = cd->nmcd.dwItemSpec;
      if (row >= l->n) return CDRF_DODEFAULT;
      const fopitem& it = l->items[row];
      const fopdlgcfg* c = l->cfg;
      unsigned fg = 0, bg = 0;
      if (it.r == l->cur) {
        fg = c->fmark_fgClr;
        bg = c->fmark_bgClr;
      } else if (it.r->foerrcode || (it.r->foerrtext && *it.r->foerrtext)) {
        fg = c->err_fgClr;
        bg = c->err_bgClr;
      } else if (it.state == FOPITEM_DONE) {
        fg = c->fdone_fgClr;
        bg = c->fdone_bgClr;
      } else {
        flistcell_clrs k{c->flist_color,    c->file_fgClr,   c->file_bgClr,   c->dir_fgClr,
                         c->dir_bgClr,      c->fmoved_fgClr, c->fmoved_bgClr, c->fdeleted_fgClr,
                         c->fdeleted_bgClr, c->err_fgClr,    c->err_bgClr};
        if (!flistcell_colors(it.r, &k, &fg, &bg)) return CDRF_DODEFAULT;
      }
      cd->clrText = fg;
      cd->clrTextBk = bg;
      return CDRF_NEWFONT;
    }
    default: return CDRF_DODEFAULT;
  }
}

// --- sorting ---------------------------------------------------------------------------

enum Key { K_PATH, K_RPATH, K_DIR, K_NAME, K_EXT, K_MD, K_AD, K_BD, K_SIZE, K_ATTR, K_FOERR };
struct KeyName {
  const char* id;
  Key k;
};
constexpr KeyName kKeys[] = {{"path", K_PATH}, {"rpath", K_RPATH}, {"dir", K_DIR}, {"name", K_NAME},
                             {"ext", K_EXT},   {"md", K_MD},       {"ad", K_AD},   {"Bd", K_BD},
                             {"size", K_SIZE}, {"attr", K_ATTR},   {"foerr", K_FOERR}, {"err", K_FOERR}};

template <typename T>
int cmp3(T a, T b) {
  return a < b ? -1 : a > b ? 1 : 0;
}
unsigned long long ft64(const FILETIME& t) { return ((unsigned long long)t.dwHighDateTime << 32) | t.dwLowDateTime; }
const char* nz(const char* s) { return s ? s : ""; }

int cmp_path(const char* d1, const char* n1, const char* d2, const char* n2, bool ic) {
  int r = ftext_cmp(nz(d1), nz(d2), ic);
  return r ? r : ftext_cmp(nz(n1), nz(n2), ic);
}

int cmp_key(Key k, const frec* a, const frec* b, bool ic) {
  switch (k) {
    case K_PATH: return cmp_path(a->dir, a->name, b->dir, b->name, ic);
    case K_RPATH: return cmp_path(a->rdir, a->name, b->rdir, b->name, ic);
    case K_DIR: return ftext_cmp(nz(a->dir), nz(b->dir), ic);
    case K_NAME: return ftext_cmp(nz(a->name), nz(b->name), ic);
    case K_EXT: return ftext_cmp(frec_ext(a), frec_ext(b), ic);
    case K_MD: return cmp3(ft64(a->mtime), ft64(b->mtime));
    case K_AD: return cmp3(ft64(a->atime), ft64(b->atime));
    case K_BD: return cmp3(ft64(a->ctime), ft64(b->ctime));
    case K_SIZE: return cmp3(a->size, b->size);
    case K_ATTR: return cmp3(a->attr, b->attr);
    case K_FOERR: {
      int r = cmp3(a->foerrcode, b->foerrcode);
      return r ? r : ftext_cmp(nz(a->foerrtext), nz(b->foerrtext), ic);
    }
  }
  return 0;
}

int parse_keys(const char* keys, Key* out, int max) {
  int n = 0;
  const char* s = keys ? keys : "";
  while (*s && n < max) {
    while (*s == ',' || *s == ' ' || *s == '\t' || *s == '\r' || *s == '\n') ++s;
    const char* b = s;
    while (*s && *s != ',' && *s != ' ' && *s != '\t' && *s != '\r' && *s != '\n') ++s;
    const size_t len = (size_t)(s - b);
    for (const KeyName& k : kKeys)
      if (len && strlen(k.id) == len && strncmp(k.id, b, len) == 0) {
        out[n++] = k.k;
        break;
      }
  }
  return n;
}

struct SortCmd {
  int id;
  const char* col;
};
constexpr SortCmd kSortCmds[] = {{FOPLIST_IDM_FSORTBYDIR, "dir"},   {FOPLIST_IDM_FSORTBYNAME, "name"},
                                 {FOPLIST_IDM_FSORTBYEXT, "ext"},   {FOPLIST_IDM_FSORTBYAD, "ad"},
                                 {FOPLIST_IDM_FSORTBYBD, "Bd"},     {FOPLIST_IDM_FSORTBYMD, "md"},
                                 {FOPLIST_IDM_FSORTBYSIZE, "size"}, {FOPLIST_IDM_FSORTBYATTR, "attr"},
                                 {FOPLIST_IDM_FSORTBYPATH, "path"}, {FOPLIST_IDM_FSORTBYRPATH, "rpath"},
                                 {FOPLIST_IDM_FSORTBYERR, "err"}};

// The context menu's entries: sort commands, Unsort, Columns, Info.
struct MenuEnt {
  const char* id;
  int iid;
  const char* text;
};
constexpr MenuEnt kMenu[] = {
    {"fsortByPath", FOPLIST_IDM_FSORTBYPATH, "&Path"},   {"fsortByRPath", FOPLIST_IDM_FSORTBYRPATH, "R&eal path"},
    {"fsortByDir", FOPLIST_IDM_FSORTBYDIR, "&Directory"}, {"fsortByName", FOPLIST_IDM_FSORTBYNAME, "&Name"},
    {"fsortByExt", FOPLIST_IDM_FSORTBYEXT, "E&xtension"}, {"fsortByMd", FOPLIST_IDM_FSORTBYMD, "&Modified time"},
    {"fsortByAd", FOPLIST_IDM_FSORTBYAD, "&Accessed time"}, {"fsortByBd", FOPLIST_IDM_FSORTBYBD, "&Created time"},
    {"fsortBySize", FOPLIST_IDM_FSORTBYSIZE, "&Size"},    {"fsortByAttr", FOPLIST_IDM_FSORTBYATTR, "A&ttributes"},
    {"fsortByErr", FOPLIST_IDM_FSORTBYERR, "E&rror"},     {nullptr, 0, nullptr},
    {"fsortrev", FOPLIST_IDM_FSORTREV, "Re&verse"},       {"fsortIgnorecase", FOPLIST_IDM_FSORTIGNORECASE, "&Ignore case"}};

HMENU build_menu(const foplist* l) {
  HMENU pop = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  if (!pop || !sub) {
    if (pop) DestroyMenu(pop);
    if (sub) DestroyMenu(sub);
    return nullptr;
  }
  char ctx[FOPLIST_NAME_SIZE + 16], text[128];
  mox_snprintf(ctx, sizeof ctx, "%sMenu.name", l->name);
  auto label = [&](const char* id, const char* dflt) {
    const char* t = l->env->tx ? txr_get(l->env->tx, ctx, id) : dflt;
    if (!t || strcmp(t, id) == 0) t = dflt;
    if (menu_text_cvt(text, sizeof text, t)) mox_strcpy(text, sizeof text, t);
    return text;
  };
  for (const MenuEnt& e : kMenu) {
    if (!e.id)
      AppendMenuA(sub, MF_SEPARATOR, 0, nullptr);
    else
      AppendMenuA(sub, MF_STRING, (UINT_PTR)e.iid, label(e.id, e.text));
  }
  AppendMenuA(pop, MF_POPUP, (UINT_PTR)sub, label("fsort", "&Sort"));
  AppendMenuA(pop, MF_STRING, FOPLIST_IDM_FUNSORT, label("fUnsort", "U&nsort"));
  AppendMenuA(pop, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(pop, MF_STRING, FOPLIST_IDM_FCOLS, label("fcols", "Co&lumns..."));
  AppendMenuA(pop, MF_STRING, FOPLIST_IDM_FINF, label("finf", "&Info"));
  return pop;
}

}  // namespace

// --- the list --------------------------------------------------------------------------

int foplist_init(foplist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`foplist' is NUL.");
    return kParam;
  }
  memset(l, 0, sizeof *l);
  return lvw_init(&l->lv);
}

int foplist_create(foplist* l, HWND lv, HWND owner, const list* recs, const char* name, const fopenv* env,
                   const fopdlgcfg* cfg) {
  if (!l || !lv || !recs || !name || !env || !cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - list: %p, lv: %p, recs: %p, env: %p, cfg: %p.", (void*)l, (void*)lv,
            (const void*)recs, (const void*)env, (const void*)cfg);
    return kParam;
  }
  l->env = env;
  l->cfg = cfg;
  l->wnd = lv;
  l->owner = owner;
  mox_strcpy(l->name, sizeof l->name, name);
  mox_strcpy(l->mark, sizeof l->mark, mark_text(env->tx, ">\\w", "> "));
  mox_strcpy(l->mark_moved, sizeof l->mark_moved, mark_text(env->tx, "<\\w", "< "));
  mox_strcpy(l->mark_deleted, sizeof l->mark_deleted, mark_text(env->tx, "#\\w", "# "));
  const unsigned n = recs->count;
  l->items = static_cast<fopitem*>(calloc(n ? n : 1, sizeof(fopitem)));
  if (!l->items) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(n * sizeof(fopitem)));
    return 9004;
  }
  for (list_node* nd = list_first(recs); nd && l->n < n; nd = list_next(nd))
    l->items[l->n++].r = static_cast<frec*>(list_v_ptr(nd));
  char set[FOPLIST_NAME_SIZE + 8], ctx[FOPLIST_NAME_SIZE + 16];
  mox_snprintf(set, sizeof set, "%s.col", name);
  mox_snprintf(ctx, sizeof ctx, "%s.col.name", name);
  int rc = lvw_create(&l->lv, lv, env->rdb, set, nullptr, env->tx, ctx);
  if (!rc) rc = lvw_set_tags(&l->lv, flcol_ids, FLCOL_N);
  if (!rc) rc = lvw_set_cbs(&l->lv, on_dispinfo, on_customdraw, l);
  if (!rc && env->hub) rc = lvw_subscribe(&l->lv, env->hub);
  if (rc) return rc;
  if (cfg->sortby[0] || cfg->sortrev) foplist_sort(l, cfg->sortby, cfg->sortrev, cfg->sort_ignorecase);
  return lvw_set_count(&l->lv, l->n, 0);
}

int foplist_free(foplist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`foplist' is NUL.");
    return kParam;
  }
  lvw_free(&l->lv);
  if (l->menu) DestroyMenu(l->menu);
  free(l->items);
  memset(l, 0, sizeof *l);
  return 0;
}

int foplist_notify(foplist* l, const NMHDR* nm, LRESULT* result) {
  if (!l || !nm || !result || !l->wnd) return 0;
  return lvw_notify(&l->lv, nm, result);
}

int foplist_focused(const foplist* l) {
  if (!l || !l->wnd) return -1;
  return (int)SendMessageA(l->wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
}

int foplist_context_menu(foplist* l, HWND from, LPARAM lp) {
  if (!l || !l->wnd) {
    ERR_LOG(ERR_ERR, kParam, "`foplist' is NUL.");
    return kParam;
  }
  POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
  if (lp != (LPARAM)-1 && (from == l->lv.hdr || lvw_on_header(&l->lv, pt))) {
    PostMessageA(l->owner, WM_COMMAND, MAKEWPARAM(FOPLIST_IDM_FCOLS, 0), 0);
    return 0;
  }
  if (lp == (LPARAM)-1) {
    int row = foplist_focused(l);
    RECT rc{};
    rc.left = LVIR_BOUNDS;
    if (row >= 0 && SendMessageA(l->wnd, LVM_GETITEMRECT, row, (LPARAM)&rc))
      pt = {rc.left, rc.bottom};
    else
      pt = {0, 0};
    ClientToScreen(l->wnd, &pt);
  }
  if (!l->menu && !(l->menu = build_menu(l))) return last_error();
  if (!TrackPopupMenu(l->menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, l->owner, nullptr)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "TrackPopupMenu() failed [%p].", (void*)l->menu);
    return e;
  }
  return 0;
}

int foplist_sort(foplist* l, const char* keys, int rev, int icase) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`foplist' is NUL.");
    return kParam;
  }
  Key k[16];
  const int nk = parse_keys(keys, k, 16);
  const bool ic = icase != 0;
  auto by_seq = [](const fopitem& a, const fopitem& b) { return a.r->seq < b.r->seq; };
  std::stable_sort(l->items, l->items + l->n, by_seq);
  if (nk)
    std::stable_sort(l->items, l->items + l->n, [&](const fopitem& a, const fopitem& b) {
      for (int i = 0; i < nk; ++i)
        if (int r = cmp_key(k[i], a.r, b.r, ic)) return r < 0;
      return false;
    });
  if (rev) std::reverse(l->items, l->items + l->n);
  int col = -1;
  for (int i = 0; nk && i < FLCOL_N; ++i)
    if (const char* ks = fopdlgcfg_sortby_of(flcol_ids[i]))
      if (keys && strcmp(ks, keys) == 0) col = lvw_find(&l->lv, flcol_ids[i]);
  if (l->wnd) {
    lvw_set_sort(&l->lv, col, rev);
    InvalidateRect(l->wnd, nullptr, FALSE);
  }
  return 0;
}

int foplist_command(foplist* l, fopdlgcfg* cfg, int id) {
  if (!l || !cfg) return 0;
  for (const SortCmd& s : kSortCmds) {
    if (s.id != id) continue;
    const char* keys = fopdlgcfg_sortby_of(s.col);
    if (strcmp(cfg->sortby, keys) == 0) {
      cfg->sortrev = !cfg->sortrev;
    } else {
      mox_strcpy(cfg->sortby, sizeof cfg->sortby, keys);
      cfg->sortrev = lvw_sortrev_dflt(&l->lv, s.col);
    }
    foplist_sort(l, cfg->sortby, cfg->sortrev, cfg->sort_ignorecase);
    return 1;
  }
  switch (id) {
    case FOPLIST_IDM_FSORTREV:
      cfg->sortrev = !cfg->sortrev;
      foplist_sort(l, cfg->sortby, cfg->sortrev, cfg->sort_ignorecase);
      return 1;
    case FOPLIST_IDM_FSORTIGNORECASE:
      cfg->sort_ignorecase = !cfg->sort_ignorecase;
      foplist_sort(l, cfg->sortby, cfg->sortrev, cfg->sort_ignorecase);
      return 1;
    case FOPLIST_IDM_FUNSORT:
      cfg->sortby[0] = 0;
      cfg->sortrev = 0;
      foplist_sort(l, "", 0, cfg->sort_ignorecase);
      return 1;
    case FOPLIST_IDM_FINF: {
      const int row = foplist_focused(l);
      if (row >= 0 && (unsigned)row < l->n && l->env->hub)
        ntf_post(l->env->hub, NTF_OPEN_INFO, l->items[row].r, nullptr);
      return 1;
    }
    case FOPLIST_IDM_FCOLS: {
      lvwcoldlg d{};
      lvwcoldlg_init(&d);
      char ctx[FOPLIST_NAME_SIZE + 16];
      mox_snprintf(ctx, sizeof ctx, "%s.col.name", l->name);
      INT_PTR result = 0;
      int rc = lvwcoldlg_set(&d, &l->lv.lc, l->env->tx, ctx, l->env->hub);
      if (!rc) rc = lvwcoldlg_run(&d, l->env->inst, l->owner, &result);
      lvwcoldlg_free(&d);
      return 1;
    }
    default: return 0;
  }
}

int foplist_redraw(foplist* l, const frec* r) {
  if (!l || !l->wnd) return 0;
  for (unsigned i = 0; r && i < l->n; ++i)
    if (l->items[i].r == r) {
      SendMessageA(l->wnd, LVM_REDRAWITEMS, i, i);
      return 0;
    }
  if (!r) InvalidateRect(l->wnd, nullptr, FALSE);
  return 0;
}

int foplist_set_cur(foplist* l, const frec* r) {
  if (!l) return kParam;
  const frec* was = l->cur;
  l->cur = r;
  if (was) foplist_redraw(l, was);
  if (r) {
    foplist_redraw(l, r);
    for (unsigned i = 0; l->wnd && i < l->n; ++i)
      if (l->items[i].r == r) SendMessageA(l->wnd, LVM_ENSUREVISIBLE, i, FALSE);
  }
  return 0;
}

// --- title, destination, history, questions -------------------------------------------

int fop_title(const char* base, int focused, unsigned n, char* buf, unsigned size) {
  if (!base || !buf || !size) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - base: %p, buf: %p.", (const void*)base, (void*)buf);
    return kParam;
  }
  if (focused >= 0 && (unsigned)focused < n)
    return mox_snprintf(buf, size, "%s - %d/%u", base, focused + 1, n) ? 9005 : 0;
  return mox_snprintf(buf, size, "%s - %u", base, n) ? 9005 : 0;
}

int fop_check_dest(const char* to, unsigned nitems, char* abs, unsigned size, const char** msgid) {
  if (!to || !abs || !size || !msgid) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - to: %p, abs: %p, msgid: %p.", (const void*)to, (void*)abs,
            (void*)msgid);
    return kParam;
  }
  *msgid = nullptr;
  *abs = 0;
  arg words{};
  int rc = arg_init(&words, 0, nullptr, FT_PATH_SIZE, 0);
  if (!rc) rc = arg_split(&words, to);
  if (!rc && words.argc == 0) {
    *msgid = "No destination specified.";
    rc = 9012;
  } else if (!rc && words.argc > 1) {
    *msgid = "Multiple destinations not supported.";
    rc = 9013;
  }
  if (!rc) {
    DWORD k = GetFullPathNameA(words.argv[0], size, abs, nullptr);
    if (!k || k >= size) {
      rc = k ? 206 : last_error();
      ERR_LOG(ERR_ERR, rc, "GetFullPathName() failed - path: `%s'.", words.argv[0]);
    }
  }
  if (!rc && nitems > 1) {
    const DWORD a = GetFileAttributesA(abs);
    if (a == INVALID_FILE_ATTRIBUTES) {
      *msgid = "Destination directory does not exist.";
      rc = 9008;
    } else if (!(a & kDir)) {
      *msgid = "Destination is not a directory.";
      rc = 9012;
    }
  }
  arg_free(&words);
  return rc;
}

int fop_hist_push(pathl* pl, const char* to, unsigned max) {
  if (!pl || !to) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - list: %p, to: %p.", (void*)pl, (const void*)to);
    return kParam;
  }
  int rc = fpathlist_add(pl, to);
  const unsigned cnt = fpathlist_count(pl);
  if (rc || !max || cnt <= max) return rc;
  // the history has no removal: it is built again from its first max entries
  char** texts = static_cast<char**>(calloc(max, sizeof(char*)));
  if (!texts) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(max * sizeof(char*)));
    return 9004;
  }
  unsigned i = 0;
  for (list_node* n = fpathlist_first(pl); n && i < max; n = fpathlist_next(n), ++i)
    if (!(texts[i] = mox_strndup(fpathlist_text(n), (unsigned)strlen(fpathlist_text(n))))) rc = 9004;
  if (!rc) rc = fpathlist_free(pl);
  if (!rc) rc = fpathlist_init(pl);
  for (unsigned j = i; !rc && j-- > 0;) rc = fpathlist_add(pl, texts[j]);
  for (unsigned j = 0; j < i; ++j) free(texts[j]);
  free(texts);
  return rc;
}

ftdec_next fop_ask(const fopenv* env, HWND owner, ftdec* dec, ft_need need, int type, const char* target, int isdir,
                   int cfm_yn, int more, int askro, unsigned* flags) {
  if (!env || !dec || !target || !flags) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - env: %p, dec: %p, target: %p.", (const void*)env, (void*)dec,
            (const void*)target);
    return FTDEC_STOP;
  }
  fcfmdlg d{};
  d.type = type;
  d.isdir = isdir;
  d.btns = fcfm_btns_of(cfm_yn, more, 1);
  d.path = target;
  d.tx = env->tx;
  d.rdb = env->rdb;
  int answer = FT_ANS_CANCEL;
  if (fcfmdlg_run(&d, env->inst, owner, &answer)) answer = FT_ANS_CANCEL;
  return ftdec_answer(dec, need, answer, askro, flags);
}

const char* fop_text(const fopenv* env, const char* ctx, const char* id) {
  const char* t = env && env->tx ? txr_get(env->tx, ctx, id) : id;
  return t && flistcell_same_convs(t, id) ? t : id;
}

int fop_restore_placement(HWND dlg, const fopdlgcfg* cfg) {
  if (!dlg || !cfg) return kParam;
  const cfg_wndpl& wp = cfg->wp;
  const int* r = wp.rcNormalPosition;
  if (cfg->wp_size != sizeof wp || r[2] <= r[0] || r[3] <= r[1]) return 0;
  WINDOWPLACEMENT p;
  static_assert(sizeof p == sizeof wp, "window placement is 44 bytes");
  memcpy(&p, &wp, sizeof p);
  p.length = sizeof p;
  if (p.showCmd == SW_SHOWMINIMIZED || p.showCmd == SW_MINIMIZE || p.showCmd == SW_HIDE) p.showCmd = SW_SHOWNORMAL;
  return SetWindowPlacement(dlg, &p) ? 0 : last_error();
}

int fop_store_placement(HWND dlg, fopdlgcfg* cfg) {
  if (!dlg || !cfg) return kParam;
  WINDOWPLACEMENT p{};
  p.length = sizeof p;
  if (!GetWindowPlacement(dlg, &p)) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "GetWindowPlacement() failed - wnd: %p.", (void*)dlg);
    return e;
  }
  memcpy(&cfg->wp, &p, sizeof p);
  cfg->wp_size = sizeof p;
  return 0;
}

bool fop_dlg_msg(HWND dlg, UINT msg, WPARAM wp, LPARAM lp, foplist* fl, ctlclr* cc, geom* g, unsigned what,
                 INT_PTR* ret) {
  *ret = TRUE;
  switch (msg) {
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (!fl || !foplist_notify(fl, reinterpret_cast<const NMHDR*>(lp), &r)) return false;
      SetWindowLongPtrA(dlg, DWLP_MSGRESULT, r);
      return true;
    }
    case WM_CONTEXTMENU: {
      HWND from = reinterpret_cast<HWND>(wp);
      if (!fl || (from != fl->wnd && from != fl->lv.hdr)) return false;
      foplist_context_menu(fl, from, lp);
      return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX: {
      const unsigned bit = msg == WM_CTLCOLOREDIT     ? FOP_MSG_CLREDIT
                           : msg == WM_CTLCOLORSTATIC ? FOP_MSG_CLRSTATIC
                                                      : FOP_MSG_CLRLISTBOX;
      if (!(what & bit) || !cc) return false;
      void* b = ctlclr_paint(cc, reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp));
      if (!b) return false;
      *ret = reinterpret_cast<INT_PTR>(b);
      return true;
    }
    case WM_SIZE:
      if (g && g->root && !geom_resize(g, LOWORD(lp), HIWORD(lp))) geom_apply(g, dlg);
      return true;
    case WM_GETMINMAXINFO:
      if (!(what & FOP_MSG_MINMAX)) return false;
      if (g && g->root) geom_minmax(g, reinterpret_cast<void*>(lp));
      return true;
    default: return false;
  }
}
