#include "quarnw/win32/flistctrl.h"

#include <cstring>
#include <new>

#include "c/str.h"
#include "cmd/cmd.h"
#include "dnd/win32/dnd.h"
#include "ds/list.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/flist.h"
#include "ntf/ntf.h"
#include "quarnw/flistcell.h"
#include "quarnw/quarnwcfg.h"
#include "txr/txr.h"
#include "ui/menu.h"
#include "ui/win32/lvw.h"

namespace {

constexpr int kParam = 9003;
constexpr const char* kProp = "flistctrl";
constexpr const char* kColSet = "flist.col";
constexpr const char* kColTxr = "flist.col.name";
constexpr const char* kMarkCtx = "flist.mark";
constexpr const char* kMoved = "< ";
constexpr const char* kDeleted = "# ";
constexpr const char* kMaxItems = "Maximum selected items [%d] exceeded (%s).";
constexpr const char* kMaxFiles = "Maximum selected files [%u] exceeded.";
constexpr const char* kDblclkDflt = "fdflt";
constexpr int kIdmFcp = 40004, kIdmFcut = 40005, kIdmFcols = 40022, kIdmFdel = 40034;
// Row images: 0 is an error; the others are the bitmap's own choice.
constexpr int kImgErr = 0, kImgFile = 1, kImgDir = 2;
constexpr int kNtfIds[] = {NTF_FLIST_GROWN, NTF_FREC_CHANGED, NTF_FREC_DELETED, NTF_FREC_MOVED};

bool usable(const frec* r) { return r && !r->errcode && !(r->flags & (FREC_MOVED | FREC_DELETED)); }

// The text of id in ctx when it asks for the same values as id itself does.
const char* report_fmt(const flistctrl* lc, const char* ctx, const char* id) {
  const char* t = lc->env->tx ? txr_get(lc->env->tx, ctx, id) : id;
  return t && flistcell_same_convs(t, id) ? t : id;
}

void post_cmd(const flistctrl* lc, int idm) {
  if (!PostMessageA(lc->env->main_wnd, WM_COMMAND, MAKEWPARAM(idm, 1), 0))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "PostMessage() failed - wnd: %p, cmd: %d.", (void*)lc->env->main_wnd, idm);
}

void update_title(const flistctrl* lc) {
  if (lc->env->update_title) lc->env->update_title(lc->env->usrdata);
}

// The selected usable rows dragged to another window.
void drag(flistctrl* lc) {
  list recs{};
  int rc = list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  if (!rc) rc = flistctrl_collect(lc, &recs);
  if (!rc && list_count(&recs)) dnd_drag(lc->fl, &recs, lc->env->cfg->dnd_bufszK);
  list_v_free(&recs);
}

flistcell_fmt cell_fmt(const flistctrl* lc) {
  const quarnwcfg* c = lc->env->cfg;
  flistcell_fmt f{};
  f.file_type = c->file_type;
  f.timefmt = (unsigned)c->timefmt;
  f.timefmt_usr = c->timefmt_usr;
  f.sizefmt = (unsigned)c->sizefmt;
  f.grpstyle = (unsigned)c->dgrp_num;
  f.dg = lc->env->dg;
  f.sc = lc->env->sc;
  f.mark_moved = lc->mark_moved;
  f.mark_deleted = lc->mark_deleted;
  return f;
}

flistcell_clrs cell_clrs(const quarnwcfg* c) {
  return {c->flist_color,    c->file_fgClr,     c->file_bgClr,     c->dir_fgClr,
          c->dir_bgClr,      c->fmoved_fgClr,   c->fmoved_bgClr,   c->fdeleted_fgClr,
          c->fdeleted_bgClr, c->err_fgClr,      c->err_bgClr};
}

// --- the list view's requests -------------------------------------------------------

int on_dispinfo(lvw*, NMLVDISPINFOA* di, int tag, void* usrdata) {
  auto* lc = static_cast<flistctrl*>(usrdata);
  LVITEMA& it = di->item;
  if (it.iItem < 0 || (unsigned)it.iItem >= lc->published) return 0;
  const frec* r = flist_get(lc->fl, (unsigned)it.iItem);
  if (!r) return 9006;
  if ((it.mask & LVIF_TEXT) && it.pszText && it.cchTextMax > 0) {
    if (tag < 0) {
      it.pszText[0] = 0;
    } else {
      flistcell_fmt f = cell_fmt(lc);
      flistcell_text(r, tag, &f, it.pszText, (unsigned)it.cchTextMax);  // a cut cell is still shown
    }
  }
  if (it.mask & LVIF_IMAGE) it.iImage = r->errcode ? kImgErr : frec_isdir(r) ? kImgDir : kImgFile;
  return 0;
}

LRESULT on_customdraw(lvw*, NMLVCUSTOMDRAW* cd, int, void* usrdata) {
  auto* lc = static_cast<flistctrl*>(usrdata);
  switch (cd->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
      DWORD_PTR row = cd->nmcd.dwItemSpec;
      if (row >= lc->published) return CDRF_DODEFAULT;
      const frec* r = flist_get(lc->fl, (unsigned)row);
      flistcell_clrs c = cell_clrs(lc->env->cfg);
      unsigned fg = 0, bg = 0;
      if (!r || !flistcell_colors(r, &c, &fg, &bg)) return CDRF_DODEFAULT;
      cd->clrText = fg;
      cd->clrTextBk = bg;
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

// --- notifications of the hub --------------------------------------------------------

int on_grown(int, void*, void* usrdata) {
  auto* lc = static_cast<flistctrl*>(usrdata);
  unsigned n = flist_count(lc->fl);
  if (n == lc->published) return 0;
  lc->published = n;
  // rows already shown stay where they are; the list follows only a user who selected nothing
  SendMessageA(lc->wnd, LVM_SETITEMCOUNT, n, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  if (n && SendMessageA(lc->wnd, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
    SendMessageA(lc->wnd, LVM_ENSUREVISIBLE, n - 1, FALSE);
  return 0;
}

int on_rec(int, void* data, void* usrdata) {
  auto* lc = static_cast<flistctrl*>(usrdata);
  if (!data || !lc->published) return 0;
  int top = (int)SendMessageA(lc->wnd, LVM_GETTOPINDEX, 0, 0);
  int page = (int)SendMessageA(lc->wnd, LVM_GETCOUNTPERPAGE, 0, 0);
  if (top < 0) top = 0;
  unsigned last = (unsigned)top + (unsigned)(page > 0 ? page : 0);
  if (last >= lc->published) last = lc->published - 1;
  for (unsigned i = (unsigned)top; i <= last; ++i)
    if (flist_get(lc->fl, i) == data) {
      SendMessageA(lc->wnd, LVM_REDRAWITEMS, i, i);
      break;
    }
  return 0;
}

void unsubscribe(flistctrl* lc) {
  ntf* hub = lc->env ? lc->env->hub : nullptr;
  if (!hub) return;
  for (int id : kNtfIds) {
    void* ref = id == NTF_FLIST_GROWN ? lc->fl : nullptr;
    ntf_del(hub, id, ref, id == NTF_FLIST_GROWN ? on_grown : on_rec, lc);
  }
}

// --- the subclassed list view ----------------------------------------------------------

void context_menu(flistctrl* lc, HWND from, LPARAM lp) {
  POINT pt{(short)LOWORD(lp), (short)HIWORD(lp)};
  bool keyboard = lp == (LPARAM)-1;
  if (!keyboard && (from == lc->lv->hdr || lvw_on_header(lc->lv, pt))) {
    post_cmd(lc, kIdmFcols);
    return;
  }
  if (keyboard) {
    int row = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    RECT rc{};
    rc.left = LVIR_BOUNDS;
    if (row >= 0 && SendMessageA(lc->wnd, LVM_GETITEMRECT, row, (LPARAM)&rc))
      pt = {rc.left, rc.bottom};
    else
      pt = {0, 0};
    ClientToScreen(lc->wnd, &pt);
  }
  menu* m = lc->env->flistmenu;
  if (!m) return;
  if (!m->wmenu && menu_build_popup(m)) return;
  if (!m->popup) return;
  // the main window receives the chosen command as if from its own menu
  if (!TrackPopupMenu(static_cast<HMENU>(m->wmenu), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                      lc->env->main_wnd, nullptr))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "TrackPopupMenu() failed [%p].", m->wmenu);
}

LRESULT CALLBACK list_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* lc = static_cast<flistctrl*>(GetPropA(wnd, kProp));
  if (!lc || !lc->orig_proc) {
    ERR_LOG(ERR_ERR, 9012, "`_orig_proc' is NULL - wnd: %p.", (void*)wnd);
    return 0;
  }
  switch (msg) {
    case WM_KEYDOWN: {
      bool ctrl = GetKeyState(VK_CONTROL) < 0;
      int idm = wp == VK_DELETE ? kIdmFdel : ctrl && wp == 'C' ? kIdmFcp : ctrl && wp == 'X' ? kIdmFcut : 0;
      if (idm) {
        post_cmd(lc, idm);
        return 0;
      }
      break;
    }
    case WM_CONTEXTMENU:
      context_menu(lc, (HWND)wp, lp);
      return 0;
    default:
      break;
  }
  return CallWindowProcA(lc->orig_proc, wnd, msg, wp, lp);
}

// Rows the user selected, or every row when none is, that a command may act on.
template <class F>
void each_usable(const flistctrl* lc, F&& f) {
  unsigned n = lc->published;
  if (SendMessageA(lc->wnd, LVM_GETSELECTEDCOUNT, 0, 0) > 0) {
    for (int i = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); i >= 0 && (unsigned)i < n;
         i = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, i, LVNI_SELECTED)) {
      frec* r = flist_get(lc->fl, (unsigned)i);
      if (usable(r) && !f(r)) return;
    }
    return;
  }
  for (unsigned i = 0; i < n; ++i) {
    frec* r = flist_get(lc->fl, i);
    if (usable(r) && !f(r)) return;
  }
}

bool created(const flistctrl* lc) { return lc && lc->lv && lc->wnd && lc->fl && lc->env; }

int not_created(const flistctrl* lc) {
  if (!lc)
    ERR_LOG(ERR_ERR, kParam, "`listctrl' is NUL.");
  else
    ERR_LOG(ERR_ERR, kParam, "Invalid param - listctrl: %p, wnd: %p, flist: %p.", (const void*)lc, (void*)lc->wnd,
            (void*)lc->fl);
  return kParam;
}

}  // namespace

int flistctrl_init(flistctrl* lc) {
  if (!lc) {
    ERR_LOG(ERR_ERR, kParam, "`listctrl' is NUL.");
    return kParam;
  }
  std::memset(lc, 0, sizeof *lc);
  return 0;
}

int flistctrl_create(flistctrl* lc, HWND ctrl, flist* fl, const flistctrl_env* env) {
  if (!lc || !ctrl || !fl || !env || !env->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - listctrl: %p, ctrl: %p, flist: %p.", (void*)lc, (void*)ctrl, (void*)fl);
    return kParam;
  }
  if (lc->lv) flistctrl_free(lc);
  flistctrl_init(lc);
  lc->env = env;
  lc->wnd = ctrl;
  lc->fl = fl;
  lc->lv = new (std::nothrow) lvw{};
  if (!lc->lv) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(lvw));
    return 9004;
  }
  lvw_init(lc->lv);
  int e = lvw_create(lc->lv, ctrl, env->rdb, kColSet, nullptr, env->tx, kColTxr);
  if (!e) e = lvw_set_tags(lc->lv, flcol_ids, FLCOL_N);
  if (!e) e = lvw_set_cbs(lc->lv, on_dispinfo, on_customdraw, lc);
  if (e) {
    lvw_free(lc->lv);
    delete lc->lv;
    flistctrl_init(lc);
    return e;
  }

  if (env->tx) {
    mox_strcpy(lc->mark_moved, sizeof lc->mark_moved, txr_get(env->tx, kMarkCtx, kMoved));
    mox_strcpy(lc->mark_deleted, sizeof lc->mark_deleted, txr_get(env->tx, kMarkCtx, kDeleted));
  }

  if (env->cfg->flist_img) {
    lc->img = ImageList_LoadImageA(env->inst, MAKEINTRESOURCEA(FLISTCTRL_IDB_ROWIMG), FLISTCTRL_IMG_CX, 0,
                                   RGB(255, 0, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (lc->img) {
      // the list view must not destroy the images with itself: free does, also after the window is gone
      SetWindowLongPtrA(ctrl, GWL_STYLE, GetWindowLongPtrA(ctrl, GWL_STYLE) | LVS_SHAREIMAGELISTS);
      SendMessageA(ctrl, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)lc->img);
    }
    else
      ERR_LOG(ERR_WARN, (int)GetLastError(), "ImageList_LoadBitmap() failed [%d].", FLISTCTRL_IDB_ROWIMG);
  }

  if (!SetPropA(ctrl, kProp, lc)) {
    e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e, "SetProp() failed - wnd: %p.", (void*)ctrl);
    flistctrl_free(lc);
    return e ? e : 9001;
  }
  lc->orig_proc = (WNDPROC)SetWindowLongPtrA(ctrl, GWLP_WNDPROC, (LONG_PTR)list_proc);

  flistctrl_show_sort(lc);

  if (env->hub) {
    for (int id : kNtfIds) {
      void* ref = id == NTF_FLIST_GROWN ? fl : nullptr;
      if ((e = ntf_add(env->hub, id, ref, id == NTF_FLIST_GROWN ? on_grown : on_rec, lc))) break;
    }
    if (!e) e = lvw_subscribe(lc->lv, env->hub);
    if (e) {
      flistctrl_free(lc);
      return e;
    }
  }
  lc->published = flist_count(fl);
  lvw_set_count(lc->lv, lc->published, 0);
  return 0;
}

int flistctrl_free(flistctrl* lc) {
  if (!lc) {
    ERR_LOG(ERR_ERR, kParam, "`listctrl' is NUL.");
    return kParam;
  }
  unsubscribe(lc);
  if (lc->wnd && lc->orig_proc) {
    SetWindowLongPtrA(lc->wnd, GWLP_WNDPROC, (LONG_PTR)lc->orig_proc);
    RemovePropA(lc->wnd, kProp);
  }
  int e = 0;
  if (lc->lv) {
    e = lvw_free(lc->lv);  // saves the column set
    delete lc->lv;
  }
  if (lc->img) {
    if (lc->wnd && IsWindow(lc->wnd)) SendMessageA(lc->wnd, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(lc->img);
  }
  std::memset(lc, 0, sizeof *lc);
  return e;
}

unsigned flistctrl_usable_count(const flistctrl* lc) {
  if (!created(lc)) return 0;
  unsigned n = 0;
  each_usable(lc, [&n](frec*) { return ++n < 2; });
  return n;
}

unsigned flistctrl_selected_count(const flistctrl* lc) {
  if (!created(lc)) return 0;
  return (unsigned)SendMessageA(lc->wnd, LVM_GETSELECTEDCOUNT, 0, 0);
}

int flistctrl_collect(const flistctrl* lc, list* recs) {
  if (!created(lc) || !recs) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - listctrl: %p, recs: %p.", (const void*)lc, (void*)recs);
    return kParam;
  }
  int e = 0;
  each_usable(lc, [&](frec* r) {
    list_v_append(recs, r, &e);
    return e == 0;
  });
  return e;
}

int flistctrl_run_cmd(flistctrl* lc, const char* id) {
  if (!created(lc) || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - listctrl: %p, id: `%s'.", (void*)lc, id ? id : "NUL");
    return kParam;
  }
  const cmd* c = cmdlist_find(&lc->env->cfg->flistCmd, id);
  if (!c) {
    ERR_LOG(ERR_ERR, 9006, "`cmd' [%s] not found.", id);
    return 9006;
  }
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  int e = flistctrl_collect(lc, &recs);
  if (!e && list_count(&recs) > (unsigned)c->ncmdMax) {
    e = 9009;
    ERR_USER(ERR_ERR, e, report_fmt(lc, "err.ncmdMaxExceeded", kMaxItems), c->ncmdMax,
             c->cmdname ? c->cmdname : "NUL");
  }
  for (list_node* n = e ? nullptr : list_first(&recs); n && !e; n = list_next(n)) {
    const frec* r = static_cast<const frec*>(list_v_ptr(n));
    e = cmd_run(c, r->name, r->rdir, lc->env->main_wnd);
  }
  list_v_free(&recs);
  return e;
}

int flistctrl_open_dir(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  int e = flistctrl_collect(lc, &recs);
  if (!e && list_count(&recs) > FLISTCTRL_OPENDIR_MAX) {
    e = 9009;
    ERR_USER(ERR_ERR, e, report_fmt(lc, "err.fopendir", kMaxFiles), (unsigned)FLISTCTRL_OPENDIR_MAX);
  }
  const frec* r = !e && list_count(&recs) ? static_cast<const frec*>(list_v_ptr(list_first(&recs))) : nullptr;
  list_v_free(&recs);
  if (!r) return e;
  const cmd* c = cmdlist_find(&lc->env->cfg->flistCmd, "fopendir");
  if (!c) {
    ERR_LOG(ERR_ERR, 9006, "`fopendir' cmd not found.");
    return 9006;
  }
  if (frec_isdir(r)) return cmd_run(c, r->name, r->rdir, lc->env->main_wnd);
  char parent[4096], last[MAX_PATH];
  flistcell_split_dir(r->rdir, parent, sizeof parent, last, sizeof last);
  // a file at a drive's root: the root itself is the folder to open
  if (!*last) return cmd_run(c, parent, nullptr, lc->env->main_wnd);
  return cmd_run(c, last, parent, lc->env->main_wnd);
}

int flistctrl_remember_sel(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  int focus = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
  if (focus >= 0 && (unsigned)focus < lc->published)
    if (frec* r = flist_get(lc->fl, (unsigned)focus)) r->flags |= FREC_FOCUS;
  for (int i = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); i >= 0 && (unsigned)i < lc->published;
       i = (int)SendMessageA(lc->wnd, LVM_GETNEXTITEM, i, LVNI_SELECTED))
    if (frec* r = flist_get(lc->fl, (unsigned)i)) r->flags |= FREC_SELECTED;
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(lc->wnd, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&it);
  return 0;
}

int flistctrl_restore_sel(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  for (unsigned i = 0; i < lc->published; ++i) {
    frec* r = flist_get(lc->fl, i);
    if (!r || !(r->flags & (FREC_SELECTED | FREC_FOCUS))) continue;
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = (r->flags & FREC_SELECTED ? LVIS_SELECTED : 0) | (r->flags & FREC_FOCUS ? LVIS_FOCUSED : 0);
    r->flags &= ~(FREC_SELECTED | FREC_FOCUS);
    SendMessageA(lc->wnd, LVM_SETITEMSTATE, i, (LPARAM)&it);
  }
  return 0;
}

int flistctrl_show_sort(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  const quarnwcfg* c = lc->env->cfg;
  for (int col = 0; col < FLCOL_N; ++col) {
    const char* keys = quarnwcfg_sortby_of(c, flcol_ids[col]);
    if (keys && *keys && !std::strcmp(keys, c->sortby)) return lvw_set_sort_id(lc->lv, flcol_ids[col], c->sortrev);
  }
  return lvw_set_sort_id(lc->lv, nullptr, 0);
}

int flistctrl_sortrev_dflt(const flistctrl* lc, const char* sortby) {
  if (!created(lc) || !sortby) return 0;
  for (int col = 0; col < FLCOL_N; ++col) {
    const char* keys = quarnwcfg_sortby_of(lc->env->cfg, flcol_ids[col]);
    if (keys && *keys && !std::strcmp(keys, sortby)) return lvw_sortrev_dflt(lc->lv, flcol_ids[col]);
  }
  return 0;
}

int flistctrl_publish(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  lc->published = flist_count(lc->fl);
  int e = lvw_set_count(lc->lv, lc->published, 0);
  InvalidateRect(lc->wnd, nullptr, TRUE);
  update_title(lc);
  return e;
}

int flistctrl_clear(flistctrl* lc) {
  if (!created(lc)) return not_created(lc);
  lc->published = 0;
  int e = lvw_set_count(lc->lv, 0, 0);
  InvalidateRect(lc->wnd, nullptr, TRUE);
  update_title(lc);
  return e;
}

int flistctrl_notify(flistctrl* lc, const NMHDR* nm, LRESULT* result) {
  if (!created(lc) || !nm || !result) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - listctrl: %p, nm: %p, result: %p.", (void*)lc, (const void*)nm,
            (void*)result);
    return 0;
  }
  if (nm->hwndFrom == lc->wnd) {
    switch (nm->code) {
      case LVN_COLUMNCLICK: {
        auto* v = reinterpret_cast<const NMLISTVIEW*>(nm);
        if (int idm = flcol_sortcmd(lvw_tag(lc->lv, v->iSubItem))) post_cmd(lc, idm);
        break;
      }
      case LVN_ITEMCHANGED: {
        auto* v = reinterpret_cast<const NMLISTVIEW*>(nm);
        if ((v->uChanged & LVIF_STATE) && (v->uNewState & LVIS_FOCUSED) && v->iItem >= 0 && (unsigned)v->iItem < lc->published && lc->env->hub)
          ntf_post(lc->env->hub, NTF_SHOW_INFO, flist_get(lc->fl, (unsigned)v->iItem), nullptr);
        update_title(lc);
        break;
      }
      case LVN_BEGINDRAG:
        if (!lc->env->busy || !lc->env->busy(lc->env->usrdata)) drag(lc);
        break;
      case LVN_ODSTATECHANGED:  // a range of rows selected at once
        update_title(lc);
        break;
      case NM_DBLCLK: {
        const char* id = lc->env->cfg->flist_dblclk_cmd_id;
        flistctrl_run_cmd(lc, id && *id ? id : kDblclkDflt);
        break;
      }
      default:
        break;
    }
  }
  return lvw_notify(lc->lv, nm, result);
}

int flistctrl_cell(const flistctrl* lc, unsigned row, const char* colid, char* buf, unsigned size) {
  if (!created(lc) || !buf || !size) return not_created(lc);
  buf[0] = 0;
  int col = flcol_find(colid);
  if (col < 0 || row >= lc->published) return 9006;
  const frec* r = flist_get(lc->fl, row);
  if (!r) return 9006;
  flistcell_fmt f = cell_fmt(lc);
  return flistcell_text(r, col, &f, buf, size);
}
