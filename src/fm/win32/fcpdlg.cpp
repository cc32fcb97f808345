#include "fm/win32/fcpdlg.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "fm/win32/fcfmdlg.h"
#include "fm/win32/flistchg.h"
#include "fm/win32/ftsys.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "txr/txr.h"
#include "xrm/xrm_geom.h"
#include "../../../res/fopdlg.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kDir = FILE_ATTRIBUTE_DIRECTORY;
constexpr unsigned kRO = FILE_ATTRIBUTE_READONLY;

// What differs between the copy and the move dialog.
struct Kind {
  int tmpl;
  int to_id, list_id, btn_id, lbl_id, space_id;
  const char* prefix;     // settings, texts
  const char* list_name;  // column set and menu
  const char* btn;        // the button's text when ready
  const char* progress;   // "Copy: %s (%s)"
  const char* geom;
  const char* root;
  const char* list_geom;
  const char* btn_geom;
};
constexpr Kind kCopy{IDD_FCPDLG, IDC_FCP_TO,      IDC_FCP_LIST,      IDC_FCP_COPY, IDC_FCP_TOLBL,
                     IDC_FCP_SPACE, "fcpdlg",     "fcplist",         "Copy",       "Copy: %s (%s)",
                     "fcpdlgGeom", "fcpdlg",      "fcpList",         "copy"};
constexpr Kind kMove{IDD_FMVDLG, IDC_FMV_TO,      IDC_FMV_LIST,      IDC_FMV_MOVE, IDC_FMV_TOLBL,
                     IDC_FMV_SPACE, "fmvdlg",     "fmvlist",         "Move",       "Move: %s (%s)",
                     "fmvdlgGeom", "fmvdlg",      "fmvList",         "move"};

const Kind& kind(const fcpdlg* d) { return d->move ? kMove : kCopy; }

int last_error() {
  int e = (int)GetLastError();
  return e ? e : 9001;
}

const char* text(const fcpdlg* d, const char* sub, const char* id) {
  char ctx[64];
  mox_snprintf(ctx, sizeof ctx, sub ? "%s.%s" : "%s", kind(d).prefix, sub);
  // a context made on the stack: the store returns its own text or the id
  const char* t = d->env->tx ? txr_get(d->env->tx, ctx, id) : id;
  return t ? t : id;
}

ftenv ft_env(const fcpdlg* d) { return ftenv{d->env->hub, d->env->tx}; }

frec* cur_rec(const fcpdlg* d) { return d->cur < d->fl.n ? d->fl.items[d->cur].r : nullptr; }

bool has_err(const frec* r) { return r->foerrcode || (r->foerrtext && *r->foerrtext); }

void post_rec(const fcpdlg* d, frec* r) {
  if (d->env->hub) ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
}

void set_title(fcpdlg* d) {
  char t[FCP_TITLE_SIZE + 32];
  fop_title(d->title, foplist_focused(&d->fl), d->fl.n, t, sizeof t);
  SetWindowTextA(d->dlg, t);
}

void set_progress(fcpdlg* d, const char* t) {
  if (!d->pr || progr_lock(d->pr)) return;
  progr_set_text(d->pr, t);
  progr_unlock(d->pr);
  if (d->env->hub) ntf_post(d->env->hub, NTF_PROGRESS, d->pr, d);
}

int item_err(fcpdlg* d, frec* r, int code, const char* fmt, const char* arg) {
  char t[FT_PATH_SIZE + 64];
  mox_snprintf(t, sizeof t, fmt, arg);
  flist_set_foerr(r, code, t);
  post_rec(d, r);
  return 0;
}

void clear_need(fcpdlg* d) {
  d->need = FT_NEED_NONE;
  free(d->target);
  d->target = nullptr;
}

int next(fcpdlg* d) { return d->env->hub ? ntf_post(d->env->hub, NTF_SM_NEXT, &d->m, &d->m) : 9012; }

void stop_machine(fcpdlg* d) {
  if (sm_state(&d->m)) sm_stop(&d->m);
}

// --- the steps -------------------------------------------------------------------------

int item_paths(fcpdlg* d, const frec* r, char* src, char* dst) {
  if (mox_snprintf(src, FT_PATH_SIZE, "%s%s", r->rdir, r->name)) return 206;
  unsigned a = 0;
  const int e = ftsys_attr(d->dest, &a);
  if (!e && (a & kDir)) return mox_snprintf(dst, FT_PATH_SIZE, "%s%s%s", d->dest,
                                            d->dest[strlen(d->dest) - 1] == '\\' ? "" : "\\", r->name) ? 206 : 0;
  return mox_snprintf(dst, FT_PATH_SIZE, "%s", d->dest) ? 206 : 0;
}

// The item ends without a worker: its outcome is already in place.
int finish_now(fcpdlg* d) { return next(d); }

int start_file(fcpdlg* d, const char* src, const char* dst) {
  d->done = 0;
  ftenv fe = ft_env(d);
  return d->move ? fthread_move(&fe, src, dst, &d->done, d) : fthread_copy(&fe, src, dst, &d->done, d);
}

ftdec_next ask(fcpdlg* d, ft_need need, const char* target, int more, unsigned* flags) {
  const int type = need == FT_NEED_OVERWRITE_RO ? FCFM_OVERWRITE_RO : FCFM_OVERWRITE;
  return fop_ask(d->env, d->dlg, &d->dec, need, type, target, 0, d->cfg->cfm_yn, more, d->cfg->askRO, flags);
}

int file_step(fcpdlg* d, frec* r, const char* src, const char* dst) {
  unsigned a = 0;
  int e = ftsys_attr(dst, &a);
  if (e && !ftsys_absent(e)) return item_err(d, r, e, "`%s'.", dst), finish_now(d);
  if (!e && (a & kDir)) return item_err(d, r, 9012, text(d, "foerr", "`%s' is a directory."), dst), finish_now(d);
  if (!e) {
    unsigned flags = ftdec_copy_flags(&d->dec, d->cfg->askRO);
    const int ro = (a & kRO) != 0;
    switch (ft_copy_act(flags, 0, 1, ro)) {
      case FT_ACT_DO: break;
      case FT_ACT_SKIP: d->fl.items[d->cur].state = FOPITEM_SKIPPED; return finish_now(d);
      case FT_ACT_ASK:
        switch (ask(d, ro ? FT_NEED_OVERWRITE_RO : FT_NEED_OVERWRITE, dst, d->cur + 1 < d->fl.n, &flags)) {
          case FTDEC_RESTART: break;
          case FTDEC_SKIP: d->fl.items[d->cur].state = FOPITEM_SKIPPED; return finish_now(d);
          case FTDEC_STOP: d->stop = 1; stop_machine(d); return 0;
        }
        break;
    }
  }
  return start_file(d, src, dst);
}

int dir_step(fcpdlg* d, frec* r, const char* src, char* dst) {
  unsigned a = 0;
  const int e = ftsys_attr(d->dest, &a);
  if (!e && !(a & kDir))
    return item_err(d, r, 9012, text(d, "foerr", "Destination is not a directory."), nullptr), finish_now(d);
  if (e) mox_snprintf(dst, FT_PATH_SIZE, "%s", d->dest);  // a new directory of that name
  unsigned flags = ftdec_copy_flags(&d->dec, d->cfg->askRO);
  if (d->need != FT_NEED_NONE) {
    const unsigned count = flist_count(&d->gathered);
    const ftdec_next nx = ask(d, d->need, d->target, d->pos + 1 < count, &flags);
    clear_need(d);
    if (nx == FTDEC_STOP) {
      d->stop = 1;
      stop_machine(d);
      return 0;
    }
    if (nx == FTDEC_SKIP && ++d->pos >= count) return finish_now(d);
  }
  ftenv fe = ft_env(d);
  return d->move ? fthread_move_list(&fe, src, dst, flags, &d->gathered, &d->pos, &d->done, d->pr, d)
                 : fthread_copy_list(&fe, src, dst, flags, &d->gathered, &d->pos, &d->done, d->pr, d);
}

// The copy step of the current item.
int copy_step(fcpdlg* d) {
  frec* r = cur_rec(d);
  if (!r) return kParam;
  char src[FT_PATH_SIZE], dst[FT_PATH_SIZE];
  if (int rc = item_paths(d, r, src, dst)) return item_err(d, r, rc, "`%s'.", r->name), finish_now(d);
  unsigned a = 0;
  if (ftsys_attr(src, &a)) return item_err(d, r, 9008, text(d, "foerr", "`%s' does not exist."), src), finish_now(d);
  int rc;
  if (frec_isdir(r)) {
    if (!d->move && !(fopdlgcfg_flags(d->cfg) & FOPDLG_RECURSIVE))
      return item_err(d, r, 9012, text(d, "foerr", "Directory."), nullptr), finish_now(d);
    rc = dir_step(d, r, src, dst);
  } else {
    rc = file_step(d, r, src, dst);
  }
  if (rc) item_err(d, r, rc, "`%s'.", src), finish_now(d);
  return 0;
}

// --- the machine -----------------------------------------------------------------------

int on_start(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  if (d->pr && !progr_lock(d->pr)) {
    progr_reset(d->pr);
    progr_unlock(d->pr);
  }
  SetDlgItemTextA(d->dlg, kind(d).btn_id, text(d, "btn", "Stop"));
  return 0;
}

int on_stop(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  if (frec* r = cur_rec(d)) {
    r->flags &= ~FCP_FREC_BUSY;
    post_rec(d, r);
  }
  foplist_set_cur(&d->fl, nullptr);
  flist_clear(&d->gathered);
  clear_need(d);
  SetDlgItemTextA(d->dlg, kind(d).btn_id, text(d, "btn", kind(d).btn));
  set_title(d);
  if (d->close_after) PostMessageA(d->dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  return 0;
}

int enter_gathering(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  frec* r = cur_rec(d);
  char src[FT_PATH_SIZE];
  if (!r || mox_snprintf(src, sizeof src, "%s%s", r->rdir, r->name)) return 206;
  flist_clear(&d->gathered);
  ftenv fe = ft_env(d);
  return fthread_gather(&fe, src, &d->gathered, d->pr, d);
}

int enter_sorting(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  foplist_sort(&d->fl, d->cfg->sortby, d->cfg->sortrev, d->cfg->sort_ignorecase);
  return next(d);
}

constexpr sm_state_def kStates[] = {{FCP_READY, nullptr, nullptr},
                                    {FCP_ITEM, nullptr, nullptr},
                                    {FCP_GATHERING, enter_gathering, nullptr},
                                    {FCP_COPYING, nullptr, nullptr},
                                    {FCP_SORTING, enter_sorting, nullptr}};
constexpr sm_trans_def kTrans[] = {{FCP_READY, FCP_EV_NEXT, FCP_ITEM, nullptr, nullptr},
                                   {FCP_READY, FCP_EV_SORT, FCP_SORTING, nullptr, nullptr},
                                   {FCP_ITEM, FCP_EV_DIR, FCP_GATHERING, nullptr, nullptr},
                                   {FCP_ITEM, FCP_EV_NEXT, FCP_COPYING, nullptr, nullptr},
                                   {FCP_GATHERING, FCP_EV_NEXT, FCP_COPYING, nullptr, nullptr},
                                   {FCP_COPYING, FCP_EV_NEXT, FCP_COPYING, nullptr, nullptr},
                                   {FCP_COPYING, FCP_EV_FINISHED, FCP_ITEM, nullptr, nullptr}};

void close_dlg(fcpdlg* d, int result);

int advance_item(fcpdlg* d) {
  if (d->stop) return sm_stop(&d->m);
  if (d->cur >= d->fl.n) {
    const int failed = d->failed;
    int rc = sm_stop(&d->m);
    if (!failed) close_dlg(d, IDOK);
    return rc;
  }
  frec* r = cur_rec(d);
  SendMessageA(d->fl.wnd, LVM_ENSUREVISIBLE, d->cur, FALSE);
  char t[PROGR_TEXT_SIZE];
  mox_snprintf(t, sizeof t, text(d, nullptr, kind(d).progress), r->name, r->rdir);
  set_progress(d, t);
  r->flags |= FCP_FREC_BUSY;
  foplist_set_cur(&d->fl, r);
  post_rec(d, r);
  d->pos = d->done = 0;
  if (frec_isdir(r) && (d->move || (fopdlgcfg_flags(d->cfg) & FOPDLG_RECURSIVE))) return sm_event(&d->m, FCP_EV_DIR);
  int rc = sm_event(&d->m, FCP_EV_NEXT);
  return rc ? rc : copy_step(d);
}

int advance_copying(fcpdlg* d) {
  frec* r = cur_rec(d);
  if (!r) return kParam;
  fopitem& it = d->fl.items[d->cur];
  if (!has_err(r) && it.state != FOPITEM_SKIPPED) {
    if (!frec_isdir(r) || !(d->move || (fopdlgcfg_flags(d->cfg) & FOPDLG_RECURSIVE))) {
      if (d->done == 1) {
        it.state = FOPITEM_DONE;
        if (d->move)
          flist_check_moved(r, d->env->hub, nullptr);
        else
          flist_mark_refreshed(r, d->env->hub, nullptr);
      }
    } else {
      const unsigned total = flist_count(&d->gathered);
      if (d->need != FT_NEED_NONE || (d->pos < total && !d->stop)) {
        int rc = sm_event(&d->m, FCP_EV_NEXT);
        return rc ? rc : copy_step(d);
      }
      if (d->done < total && ft_item_partial(d->env->tx, d->move ? FT_OP_MOVE_LIST : FT_OP_COPY_LIST, d->done, total, r)) {
        post_rec(d, r);
      } else if (d->done >= total) {
        it.state = FOPITEM_DONE;
        if (d->move)
          flist_check_moved(r, d->env->hub, nullptr);
        else
          flist_mark_refreshed(r, d->env->hub, nullptr);
      }
    }
  }
  if (has_err(r)) {
    it.state = FOPITEM_FAILED;
    d->failed = 1;
  }
  r->flags &= ~FCP_FREC_BUSY;
  post_rec(d, r);
  if (has_err(r) && d->cfg->stopOnErr) return sm_stop(&d->m);
  int rc = sm_event(&d->m, FCP_EV_FINISHED);
  ++d->cur;
  return rc ? rc : next(d);
}

int on_next(int, void*, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  int rc = 0;
  switch (const int st = sm_state(&d->m)) {
    case 0:
    case FCP_READY: break;
    case FCP_SORTING: rc = sm_stop(&d->m); break;
    case FCP_ITEM: rc = advance_item(d); break;
    case FCP_GATHERING:
      if (d->stop) {
        rc = sm_stop(&d->m);
        break;
      }
      d->pos = d->done = 0;
      rc = sm_event(&d->m, FCP_EV_NEXT);
      if (!rc) rc = copy_step(d);
      break;
    case FCP_COPYING: rc = advance_copying(d); break;
    default:
      ERR_LOG(ERR_ERR, kParam, "Invalid state [%d].", st);
      rc = kParam;
  }
  if (rc) stop_machine(d);
  return 0;
}

int on_thread_end(int, void* data, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  ft* r = static_cast<ft*>(data);
  if (!r) return 0;
  frec* item = cur_rec(d);
  const unsigned count = flist_count(&d->gathered);
  switch (r->op == FT_OP_GATHER ? (r->result ? FT_END_FAILED : FT_END_DONE) : ft_end_of(r, count)) {
    case FT_END_DONE: break;
    case FT_END_DECIDE:
      d->need = r->need;
      free(d->target);
      d->target = r->target;
      r->target = nullptr;
      break;
    case FT_END_RECORD:
      // the record keeps its failure; the item goes on with the next one
      if (frec* g = flist_get_found(&d->gathered, d->pos)) flist_set_foerr(g, r->errcode, r->errtext);
      ++d->pos;
      break;
    case FT_END_FAILED:
    case FT_END_ABORTED:
      if (item) {
        flist_set_foerr(item, r->errcode ? r->errcode : r->result, r->errtext);
        post_rec(d, item);
      }
      if (r->result == 9017) d->stop = 1;
      break;
  }
  ft_free(r);
  if (next(d)) stop_machine(d);
  return 0;
}

int on_progress(int, void* data, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  if (!sm_state(&d->m) || data != d->pr || progr_lock(d->pr)) return 0;
  char t[PROGR_TEXT_SIZE];
  mox_strcpy(t, sizeof t, d->pr->text);
  progr_unlock(d->pr);
  SetWindowTextA(d->dlg, t);
  return 0;
}

int on_rec(int, void* data, void* usrdata) {
  auto* d = static_cast<fcpdlg*>(usrdata);
  return foplist_redraw(&d->fl, static_cast<const frec*>(data));
}

// --- the dialog ------------------------------------------------------------------------

void mark_invalid(fcpdlg* d, int on) {
  HWND cbx = GetDlgItem(d->dlg, kind(d).to_id);
  HWND edit = cbx ? GetWindow(cbx, GW_CHILD) : nullptr;
  const HWND wnds[] = {cbx, edit};
  for (HWND w : wnds) {
    if (!w) continue;
    if (on)
      ctlclr_set(&d->cc, w, d->cfg->inval_fgClr, d->cfg->inval_bgClr);
    else
      ctlclr_del(&d->cc, w);
    InvalidateRect(w, nullptr, TRUE);
  }
}

int load_layout(fcpdlg* d) {
  const Kind& k = kind(d);
  const xrm_idmap ids[] = {{"toLbl", k.lbl_id},     {"to", k.to_id},       {k.list_geom, k.list_id},
                           {"recursive", IDC_FCP_RECURSIVE}, {"rule", IDC_FCP_RULE}, {"space", k.space_id},
                           {k.btn_geom, k.btn_id},  {"cancel", IDCANCEL}};
  if (!d->env->rdb) return 9006;
  int rc = geom_init(&d->g, k.root);
  if (!rc) rc = xrm_geom_load(d->env->rdb, k.geom, nullptr, 1, &d->g, sizeof ids / sizeof ids[0], ids);
  if (!rc) rc = geom_measure(&d->g, d->env->inst, MAKEINTRESOURCEA(k.tmpl), d->owner);
  if (!rc) rc = geom_compute(&d->g);
  if (rc) geom_free(&d->g);
  return rc;
}

int on_init(HWND dlg, fcpdlg* d) {
  d->dlg = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
  const Kind& k = kind(d);
  GetWindowTextA(dlg, d->title, sizeof d->title);
  int rc = flist_init(&d->gathered, d->cfg->ignorecase);
  if (!rc)
    rc = sm_init(&d->m, sizeof kStates / sizeof kStates[0], kStates, sizeof kTrans / sizeof kTrans[0], kTrans,
                 on_start, on_stop, nullptr, d);
  if (!rc) rc = ctlclr_init(&d->cc);
  if (!rc) rc = foplist_init(&d->fl);
  if (!rc) rc = foplist_create(&d->fl, GetDlgItem(dlg, k.list_id), dlg, d->recs, k.list_name, d->env, d->cfg);
  if (rc) return rc;
  HWND cbx = GetDlgItem(dlg, k.to_id);
  fpathcbx_init(&d->cbx, cbx, &d->cfg->tolist,
                d->cfg->tolist_sort == FOPDLG_TOLIST_ABC ? FPATHCBX_ABC : FPATHCBX_HIST, d->cfg->ignorecase);
  fpathcbx_refill(&d->cbx);
  SetWindowTextA(cbx, d->cfg->to);
  if (!d->move)
    CheckDlgButton(dlg, IDC_FCP_RECURSIVE, fopdlgcfg_flags(d->cfg) & FOPDLG_RECURSIVE ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(dlg, k.btn_id, text(d, "btn", k.btn));
  if (!load_layout(d)) {
    RECT cr;
    if (GetClientRect(dlg, &cr) && !geom_resize(&d->g, (int)cr.right, (int)cr.bottom)) geom_apply(&d->g, dlg);
  }
  fop_restore_placement(dlg, d->cfg);
  set_title(d);
  if (ntf* hub = d->env->hub) {
    rc = ntf_add(hub, NTF_SM_NEXT, &d->m, on_next, d);
    if (!rc) rc = ntf_add(hub, NTF_THREAD_END, d, on_thread_end, d);
    if (!rc) rc = ntf_add(hub, NTF_PROGRESS, d, on_progress, d);
    if (!rc) rc = ntf_add(hub, NTF_FREC_CHANGED, nullptr, on_rec, d);
    d->subscribed = 1;
  }
  return rc;
}

void save_settings(fcpdlg* d) {
  const Kind& k = kind(d);
  fop_store_placement(d->dlg, d->cfg);
  GetDlgItemTextA(d->dlg, k.to_id, d->cfg->to, sizeof d->cfg->to);
  if (!d->move) {
    const bool rec = IsDlgButtonChecked(d->dlg, IDC_FCP_RECURSIVE) == BST_CHECKED;
    if (rec != ((fopdlgcfg_flags(d->cfg) & FOPDLG_RECURSIVE) != 0)) {
      free(d->cfg->flags);
      d->cfg->flags = mox_strndup(rec ? "Recursive" : "", rec ? 9u : 0u);
    }
  }
}

void on_destroy(fcpdlg* d) {
  if (d->subscribed && d->env->hub) {
    ntf_del(d->env->hub, NTF_SM_NEXT, &d->m, on_next, d);
    ntf_del(d->env->hub, NTF_THREAD_END, d, on_thread_end, d);
    ntf_del(d->env->hub, NTF_PROGRESS, d, on_progress, d);
    ntf_del(d->env->hub, NTF_FREC_CHANGED, nullptr, on_rec, d);
    d->subscribed = 0;
  }
  foplist_free(&d->fl);
  fpathcbx_free(&d->cbx);
  geom_free(&d->g);
  sm_free(&d->m);
  ctlclr_free(&d->cc);
  flist_free(&d->gathered);
  clear_need(d);
  d->dlg = nullptr;
}

void close_dlg(fcpdlg* d, int result) {
  if (sm_state(&d->m)) {
    // a worker may still hold the gathered list: stop first, close when stopped
    d->close_after = 1;
    d->stop = 1;
    if (d->pr) progr_cancel(d->pr);
    return;
  }
  save_settings(d);
  if (d->modal)
    EndDialog(d->dlg, result);
  else
    DestroyWindow(d->dlg);
}

int open_common(fcpdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (!d || !cfg || !env || !recs) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, cfg: %p, flist: %p, idx: %p.", (void*)d, (void*)cfg,
            (const void*)recs, (const void*)env);
    return kParam;
  }
  d->cfg = cfg;
  d->env = env;
  d->recs = recs;
  d->owner = owner;
  d->pr = pr;
  return 0;
}

}  // namespace

int fcpdlg_init(fcpdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fcpdlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  return 0;
}

int fcpdlg_free(fcpdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fcpdlg' is NUL.");
    return kParam;
  }
  if (d->dlg) DestroyWindow(d->dlg);
  const int move = d->move;
  memset(d, 0, sizeof *d);
  d->move = move;
  return 0;
}

int fcpdlg_open(fcpdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr)) return rc;
  d->modal = 1;
  const int tmpl = kind(d).tmpl;
  INT_PTR r = DialogBoxParamA(env->inst, MAKEINTRESOURCEA(tmpl), owner, fcpdlg_proc, (LPARAM)d);
  if (r == -1) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "DialogBoxParam() failed - %d.", tmpl);
    return e;
  }
  return d->initrc;
}

int fcpdlg_create(fcpdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr)) return rc;
  d->modal = 0;
  const int tmpl = kind(d).tmpl;
  HWND w = CreateDialogParamA(env->inst, MAKEINTRESOURCEA(tmpl), owner, fcpdlg_proc, (LPARAM)d);
  if (!w) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - %d.", tmpl);
    return e;
  }
  if (d->initrc) {
    DestroyWindow(w);
    return d->initrc;
  }
  ShowWindow(w, SW_SHOW);
  return 0;
}

int fcpdlg_start(fcpdlg* d) {
  if (!d || !d->dlg) {
    ERR_LOG(ERR_ERR, kParam, "`fcpdlg' is NUL.");
    return kParam;
  }
  if (sm_state(&d->m)) {
    d->stop = 1;
    if (d->pr) progr_cancel(d->pr);
    return 0;
  }
  const Kind& k = kind(d);
  char to[FOPDLGCFG_TO_SIZE];
  GetDlgItemTextA(d->dlg, k.to_id, to, sizeof to);
  const char* msgid = nullptr;
  int rc = fop_check_dest(to, d->fl.n, d->dest, sizeof d->dest, &msgid);
  if (rc) {
    if (msgid) {
      mark_invalid(d, 1);
      ERR_USER(ERR_ERR, rc, "%s", text(d, nullptr, msgid));
    }
    return rc;
  }
  mark_invalid(d, 0);
  d->cur = 0;
  d->pos = d->done = 0;
  d->dec = ftdec{};
  d->dec.ow = d->cfg->overwriteAll;
  d->stop = 0;
  d->failed = 0;
  d->close_after = 0;
  clear_need(d);
  for (unsigned i = 0; i < d->fl.n; ++i) {
    d->fl.items[i].state = FOPITEM_TODO;
    flist_set_foerr(d->fl.items[i].r, 0, nullptr);
  }
  foplist_redraw(&d->fl, nullptr);
  fop_hist_push(&d->cfg->tolist, to, d->cfg->ntolist_max);
  fpathcbx_refill(&d->cbx);
  SetDlgItemTextA(d->dlg, k.to_id, to);
  mox_strcpy(d->cfg->to, sizeof d->cfg->to, to);
  rc = sm_start(&d->m);
  if (!rc) rc = sm_event(&d->m, FCP_EV_NEXT);
  if (!rc) rc = next(d);
  if (rc) stop_machine(d);
  return rc;
}

int fcpdlg_running(const fcpdlg* d) { return d && sm_state(&d->m) != 0; }

int fcpdlg_item_state(const fcpdlg* d, unsigned i) { return d && i < d->fl.n ? d->fl.items[i].state : -1; }

INT_PTR CALLBACK fcpdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  auto* d = reinterpret_cast<fcpdlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (d && msg == WM_NOTIFY) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lp);
    if (nm->hwndFrom == d->fl.wnd && nm->code == LVN_ITEMCHANGED && !sm_state(&d->m)) set_title(d);
  }
  INT_PTR r = FALSE;
  if (fop_dlg_msg(dlg, msg, wp, lp, d ? &d->fl : nullptr, d ? &d->cc : nullptr, d ? &d->g : nullptr,
                  FOP_MSG_CLREDIT | FOP_MSG_CLRLISTBOX, &r))
    return r;
  switch (msg) {
    case WM_INITDIALOG: {
      auto* rec = reinterpret_cast<fcpdlg*>(lp);
      rec->initrc = on_init(dlg, rec);
      if (rec->initrc && rec->modal) EndDialog(dlg, IDCANCEL);
      return TRUE;
    }
    case WM_COMMAND:
      if (!d) return FALSE;
      if (LOWORD(wp) == kind(d).btn_id) {
        fcpdlg_start(d);
        return TRUE;
      }
      if (LOWORD(wp) == IDCANCEL) {
        close_dlg(d, IDCANCEL);
        return TRUE;
      }
      if (!sm_state(&d->m) && foplist_command(&d->fl, d->cfg, LOWORD(wp))) return TRUE;
      if (HIWORD(wp) == CBN_SELCHANGE && LOWORD(wp) == kind(d).to_id) {
        char t[FOPDLGCFG_TO_SIZE];
        if (!fpathcbx_sel_text(&d->cbx, t, sizeof t)) SetDlgItemTextA(dlg, kind(d).to_id, t);
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (d) on_destroy(d);
      return FALSE;
    case WM_NCDESTROY:
      SetWindowLongPtrA(dlg, DWLP_USER, 0);
      return FALSE;
    default: return FALSE;
  }
}
