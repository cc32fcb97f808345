#include "fm/win32/fdeldlg.h"

#include <cstdlib>
#include <cstring>

#include "../../../res/fdeldlg.h"
#include "c/osu.h"
#include "c/str.h"
#include "ds/list.h"
#include "err/err.h"
#include "fm/win32/fcfmdlg.h"
#include "fm/win32/flistchg.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "txr/txr.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kRO = FILE_ATTRIBUTE_READONLY;
constexpr unsigned kDir = FILE_ATTRIBUTE_DIRECTORY;
constexpr int kTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
constexpr int kNotEmpty = 145; // ERROR_DIR_NOT_EMPTY

constexpr xrm_idmap kCtrls[] = {{"fdelList", IDC_FDEL_LIST}, {"note", IDC_FDEL_NOTE},   {"dirs", IDC_FDEL_DIRS},
                                {"recursive", IDC_FDEL_RECURSIVE}, {"all", IDC_FDEL_ALL}, {"osCfm", IDC_FDEL_OSCFM},
                                {"rule", IDC_FDEL_RULE},   {"space", IDC_FDEL_SPACE},  {"del", IDC_FDEL_DEL},
                                {"cancel", IDCANCEL}};

fdeldlg* of(HWND dlg) { return reinterpret_cast<fdeldlg*>(GetWindowLongPtrA(dlg, DWLP_USER)); }

const char* tr(const fdeldlg* d, const char* ctx, const char* id) { return fop_text(d->env, ctx, id); }

frec* item_rec(const fdeldlg* d) { return d->cur < d->fl.n ? d->fl.items[d->cur].r : nullptr; }

void set_item(fdeldlg* d, unsigned char state) {
  if (d->cur < d->fl.n) d->fl.items[d->cur].state = state;
  if (state == FOPITEM_FAILED) d->failed = 1;
}

// The item's error, with the system's message in front of the path when code is one.
void item_err(fdeldlg* d, int code, const char* text) {
  frec* r = item_rec(d);
  if (!r) return;
  flist_set_foerr(r, code, text);
  set_item(d, FOPITEM_FAILED);
  foplist_redraw(&d->fl, r);
}

void item_sys_err(fdeldlg* d, int code, const char* path) {
  char sys[512], t[FT_PATH_SIZE + 600];
  mox_sys_errmsg(code, sys, sizeof sys);
  mox_snprintf(t, sizeof t, "%s `%.*s'.", sys, 200, path);  // the path is in the row already
  item_err(d, code, t);
}

int item_path(const frec* r, char* buf, unsigned size) {
  return mox_snprintf(buf, size, "%s%s", r->rdir ? r->rdir : "", r->name ? r->name : "") ? kTooLong : 0;
}

void set_title(fdeldlg* d) {
  char t[FDEL_TITLE_SIZE + 32];
  fop_title(d->title, foplist_focused(&d->fl), d->fl.n, t, sizeof t);
  SetWindowTextA(d->dlg, t);
}

void progress_text(fdeldlg* d, const frec* r) {
  if (!d->pr || progr_lock(d->pr)) return;
  char t[PROGR_TEXT_SIZE];
  mox_snprintf(t, sizeof t, tr(d, "fdeldlg", "Delete: %s (%s)"), r->name, r->rdir);
  progr_set_text(d->pr, t);
  progr_unlock(d->pr);
  ntf_post(d->env->hub, NTF_PROGRESS, d->pr, d);
}

void next(fdeldlg* d) { ntf_post(d->env->hub, NTF_SM_NEXT, d, d); }

int box(const fdeldlg* d, int id) { return IsDlgButtonChecked(d->dlg, id) == BST_CHECKED; }

unsigned box_flags(const fdeldlg* d) {
  unsigned f = 0;
  if (box(d, IDC_FDEL_DIRS)) f |= FDELDLG_DIR;
  if (box(d, IDC_FDEL_RECURSIVE)) f |= FDELDLG_RECURSIVE;
  return f;
}

void set_note(fdeldlg* d) {
  const char* t = d->perm ? tr(d, "fdeldlg.note", "Items will be deleted PERMANENTLY.")
                          : tr(d, "fdeldlg.note", "Items will be moved to the recycle bin.");
  SetDlgItemTextA(d->dlg, IDC_FDEL_NOTE, t);
  HWND note = GetDlgItem(d->dlg, IDC_FDEL_NOTE);
  if (d->perm)
    ctlclr_set(&d->cc, note, d->cfg->note_color, GetSysColor(COLOR_BTNFACE));
  else
    ctlclr_del(&d->cc, note);
  InvalidateRect(note, nullptr, TRUE);
}

// --- the machine ---------------------------------------------------------------------

int on_start(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  if (d->pr && !progr_lock(d->pr)) {
    progr_reset(d->pr);
    progr_unlock(d->pr);
  }
  SetDlgItemTextA(d->dlg, IDC_FDEL_DEL, tr(d, "fdeldlg.btn", "Stop"));
  return 0;
}

int on_stop(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  if (frec* r = item_rec(d)) {
    r->flags &= ~FDEL_FREC_BUSY;
    ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
  }
  foplist_set_cur(&d->fl, nullptr);
  flist_clear(&d->gathered);
  d->cur = d->fl.n;
  SetDlgItemTextA(d->dlg, IDC_FDEL_DEL, tr(d, "fdeldlg.btn", "Delete"));
  set_title(d);
  if (d->close_after) PostMessageA(d->dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  return 0;
}

int on_err(int state, int event, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  ERR_LOG(ERR_ERR, d->m.err, "State machine failed - state: %d, event: %d.", state, event);
  return 0;
}

void stop_machine(fdeldlg* d) {
  if (sm_state(&d->m)) sm_stop(&d->m);
}

int act_search(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  char p[FT_PATH_SIZE];
  item_path(item_rec(d), p, sizeof p);
  flist_clear(&d->gathered);
  d->phase = 0;
  d->ro_self = d->ro_inside = 0;
  const ftenv env{d->env->hub, d->env->tx};
  d->startrc = fthread_find_ro(&env, p, &d->gathered, d->pr, d);
  return 0;
}

int act_recycle(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  char p[FT_PATH_SIZE];
  item_path(item_rec(d), p, sizeof p);
  d->done = 0;
  const ftenv env{d->env->hub, d->env->tx};
  d->startrc = fthread_recycle(&env, p, d->oscfm ? (unsigned)FT_SHELL_CFM : 0u, &d->done, d);
  return 0;
}

// Permanently: a file at once, a directory's tree gathered first (or deleted when gathered).
int act_delete(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  const frec* r = item_rec(d);
  char p[FT_PATH_SIZE];
  item_path(r, p, sizeof p);
  const ftenv env{d->env->hub, d->env->tx};
  int rc;
  d->done = 0;
  if (!frec_isdir(r)) {
    rc = fthread_del(&env, p, &d->done, d);
  } else {
    d->pos = 0;
    rc = fthread_del_list(&env, p, d->dirflags | ftdec_del_flags(&d->dec), &d->gathered, &d->pos, &d->done, d->pr,
                          d);
  }
  d->startrc = rc;
  return 0;
}

// After a decision: the list delete again from its position.
int act_repeat(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  char p[FT_PATH_SIZE];
  item_path(item_rec(d), p, sizeof p);
  const ftenv env{d->env->hub, d->env->tx};
  d->startrc = fthread_del_list(&env, p, d->dirflags, &d->gathered, &d->pos, &d->done, d->pr, d);
  return 0;
}

constexpr sm_state_def kStates[] = {{FDEL_READY, nullptr, nullptr},     {FDEL_ITEM, nullptr, nullptr},
                                    {FDEL_SEARCHING, nullptr, nullptr}, {FDEL_RECYCLING, nullptr, nullptr},
                                    {FDEL_DELETING, nullptr, nullptr},  {FDEL_SORTING, nullptr, nullptr}};

constexpr sm_trans_def kTrans[] = {
    {FDEL_READY, FDEL_EV_NEXT, FDEL_ITEM, nullptr, nullptr},
    {FDEL_READY, FDEL_EV_SORT, FDEL_SORTING, nullptr, nullptr},
    {FDEL_ITEM, FDEL_EV_DIR, FDEL_SEARCHING, act_search, nullptr},
    {FDEL_ITEM, FDEL_EV_SHELL, FDEL_RECYCLING, act_recycle, nullptr},
    {FDEL_ITEM, FDEL_EV_BYITEM, FDEL_DELETING, act_delete, nullptr},
    {FDEL_SEARCHING, FDEL_EV_SHELL, FDEL_RECYCLING, act_recycle, nullptr},
    {FDEL_SEARCHING, FDEL_EV_BYITEM, FDEL_DELETING, act_delete, nullptr},
    {FDEL_SEARCHING, FDEL_EV_NEXT, FDEL_ITEM, nullptr, nullptr},
    {FDEL_RECYCLING, FDEL_EV_NEXT, FDEL_ITEM, nullptr, nullptr},
    {FDEL_DELETING, FDEL_EV_NEXT, FDEL_ITEM, nullptr, nullptr},
    {FDEL_DELETING, FDEL_EV_REPEAT, FDEL_DELETING, act_repeat, nullptr},
};

// Leaves the item: the busy mark off, the item counted, the next one asked for.
void finish_item(fdeldlg* d) {
  if (frec* r = item_rec(d)) {
    r->flags &= ~FDEL_FREC_BUSY;
    ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
    foplist_redraw(&d->fl, r);
  }
  const bool failed = d->cur < d->fl.n && d->fl.items[d->cur].state == FOPITEM_FAILED;
  if (failed && d->cfg->base.stopOnErr) {
    stop_machine(d);
    return;
  }
  ++d->cur;
  if (sm_state(&d->m) != FDEL_ITEM) sm_event(&d->m, FDEL_EV_NEXT);
  next(d);
}

// Takes a transition whose action starts a worker; a refused start fails the item.
void go(fdeldlg* d, int ev) {
  d->startrc = 0;
  const int rc = sm_event(&d->m, ev);
  if (rc || d->startrc) {
    item_err(d, d->startrc ? d->startrc : rc, "");
    if (sm_state(&d->m) == FDEL_READY || !sm_state(&d->m)) return;
    finish_item(d);
  }
}

// Records of the result list whose files are gone get the deleted mark.
void check_deleted(fdeldlg* d, frec* r) {
  flist_check_deleted(r, d->env->hub, nullptr);
  foplist_redraw(&d->fl, r);
}

// Asks before deleting the item; 1 when it may go, 0 when it is passed over, -1 to stop.
int confirm(fdeldlg* d, const frec* r, const char* path) {
  const bool isdir = frec_isdir(r);
  const bool ro = d->ro_self || d->ro_inside;
  const int askro = d->cfg->base.askRO;
  const bool covered = ro ? (d->dec.del_ro || (!askro && d->dec.del)) : d->dec.del;
  d->dirflags = FT_DEL | (ro ? (unsigned)FT_DEL_RO : 0u);
  if (ro && d->dec.skip_del_ro && !covered) return 0;
  if (covered) return 1;
  const bool more = d->cur + 1 < d->fl.n;
  unsigned flags = 0;
  const ftdec_next n = fop_ask(d->env, d->dlg, &d->dec, ro ? FT_NEED_DEL_RO : FT_NEED_DEL,
                               fdel_cfm_type(d->perm, d->ro_self, d->ro_inside && !d->ro_self), path, isdir,
                               d->cfg->base.cfm_yn, more, askro, &flags);
  if (n == FTDEC_STOP) return -1;
  return n == FTDEC_RESTART ? 1 : 0;
}

// A decision leaves the item unmarked and goes on with the next.
void pass_over(fdeldlg* d) {
  set_item(d, FOPITEM_SKIPPED);
  finish_item(d);
}

// State 2: the next item, or the end of the run.
void advance_item(fdeldlg* d) {
  if (d->stop || d->cur >= d->fl.n) {
    const bool ok = !d->failed && !d->stop;
    stop_machine(d);
    if (ok) PostMessageA(d->dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    return;
  }
  frec* r = item_rec(d);
  char p[FT_PATH_SIZE];
  SendMessageA(d->fl.wnd, LVM_ENSUREVISIBLE, d->cur, FALSE);
  if (item_path(r, p, sizeof p)) {
    item_sys_err(d, kTooLong, p);
    finish_item(d);
    return;
  }
  progress_text(d, r);
  r->flags |= FDEL_FREC_BUSY;
  ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
  foplist_set_cur(&d->fl, r);
  const DWORD a = GetFileAttributesA(p);
  if (a == INVALID_FILE_ATTRIBUTES) {
    char t[FT_PATH_SIZE + 64];
    mox_snprintf(t, sizeof t, tr(d, "fdeldlg.foerr", "`%s' does not exist."), p);
    item_err(d, 9008, t);
    finish_item(d);
    return;
  }
  d->ro_self = (a & kRO) != 0;
  d->ro_inside = 0;
  d->recerr = 0;
  if (a & kDir) {
    if (!(d->box & FDELDLG_DIR)) {
      item_err(d, 0, tr(d, "fdeldlg.foerr", "Directory."));
      finish_item(d);
      return;
    }
    if (!(d->box & FDELDLG_RECURSIVE)) {
      char pat[FT_PATH_SIZE + 4];
      WIN32_FIND_DATAA fd;
      bool empty = true;
      HANDLE h = mox_snprintf(pat, sizeof pat, "%s\\*", p) ? INVALID_HANDLE_VALUE : FindFirstFileA(pat, &fd);
      for (bool more = h != INVALID_HANDLE_VALUE; more && empty; more = FindNextFileA(h, &fd))
        empty = strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0;
      if (h != INVALID_HANDLE_VALUE) FindClose(h);
      if (!empty) {
        item_sys_err(d, kNotEmpty, p);
        finish_item(d);
        return;
      }
    }
    go(d, FDEL_EV_DIR);
    return;
  }
  const int c = confirm(d, r, p);
  if (c < 0) return stop_machine(d);
  if (c == 0) return pass_over(d);
  go(d, d->perm ? FDEL_EV_BYITEM : FDEL_EV_SHELL);
}

// State 3: the read-only search ended: ask, then gather (for good) or recycle.
void advance_search(fdeldlg* d, ft* r) {
  frec* item = item_rec(d);
  char p[FT_PATH_SIZE];
  item_path(item, p, sizeof p);
  if (r->result && r->result != 9015) {
    item_err(d, r->errcode ? r->errcode : r->result, r->errtext ? r->errtext : "");
    return finish_item(d);
  }
  if (d->stop) return stop_machine(d);
  if (d->phase == 0) {
    // the search stops at the first read-only entry: the directory itself or one below
    if (flist_count(&d->gathered)) {
      const frec* f = flist_get(&d->gathered, 0);
      char fp[FT_PATH_SIZE];
      d->ro_inside = !(item_path(f, fp, sizeof fp) == 0 && _stricmp(fp, p) == 0);
    }
    const int c = confirm(d, item, p);
    if (c < 0) return stop_machine(d);
    if (c == 0) {
      set_item(d, FOPITEM_SKIPPED);
      return finish_item(d);
    }
    if (!d->perm) return go(d, FDEL_EV_SHELL);
    d->phase = 1;
    flist_clear(&d->gathered);
    const ftenv env{d->env->hub, d->env->tx};
    if (int rc = fthread_gather_del(&env, p, &d->gathered, d->pr, d)) {
      item_err(d, rc, "");
      finish_item(d);
    }
    return;
  }
  go(d, FDEL_EV_BYITEM);
}

void advance_recycled(fdeldlg* d, ft* r) {
  frec* item = item_rec(d);
  if (r->result) {
    item_err(d, r->errcode ? r->errcode : r->result, r->errtext ? r->errtext : "");
  } else if (d->done) {
    set_item(d, FOPITEM_DONE);
    check_deleted(d, item);
  }
  if (r->result == 995 || r->result == 9017) return stop_machine(d);
  finish_item(d);
}

void advance_deleted(fdeldlg* d, ft* r) {
  frec* item = item_rec(d);
  if (!frec_isdir(item)) {
    if (r->result)
      item_err(d, r->errcode ? r->errcode : r->result, r->errtext ? r->errtext : "");
    else
      set_item(d, FOPITEM_DONE);
    check_deleted(d, item);
    return finish_item(d);
  }
  const unsigned total = flist_count(&d->gathered);
  switch (ft_end_of(r, total)) {
    case FT_END_DECIDE: {
      unsigned flags = 0;
      const int type = r->need == FT_NEED_DEL_RO ? fdel_cfm_type(d->perm, 1, 0) : fdel_cfm_type(d->perm, 0, 0);
      const char* t = r->target ? r->target : "";
      const DWORD ta = GetFileAttributesA(t);
      const int tdir = ta != INVALID_FILE_ATTRIBUTES && (ta & kDir);
      const ftdec_next n = fop_ask(d->env, d->dlg, &d->dec, r->need, type, t, tdir,
                                   d->cfg->base.cfm_yn, 1, d->cfg->base.askRO, &flags);
      if (n == FTDEC_STOP) {
        // what went before the question is gone: the row says how much
        if (ft_item_partial(d->env->tx, FT_OP_DEL_LIST, d->done, total, item)) set_item(d, FOPITEM_FAILED);
        check_deleted(d, item);
        return stop_machine(d);
      }
      if (n == FTDEC_SKIP) ++d->pos;
      d->dirflags = (d->dirflags & ~FT_CONFIRMED) | flags;
      go(d, FDEL_EV_REPEAT);
      return;
    }
    case FT_END_RECORD:
      // one entry failed: keep its message for the item, pass it and go on
      if (!d->recerr) {
        d->recerr = 1;
        d->recerrcode = r->errcode;
        free(d->recerrtext);
        d->recerrtext = r->errtext ? mox_strndup(r->errtext, (unsigned)strlen(r->errtext)) : nullptr;
      }
      ++d->pos;
      d->dirflags &= ~FT_CONFIRMED;
      go(d, FDEL_EV_REPEAT);
      return;
    case FT_END_ABORTED:
      item_err(d, r->errcode, r->errtext ? r->errtext : "");
      check_deleted(d, item);
      return stop_machine(d);
    case FT_END_FAILED:
      item_err(d, r->errcode ? r->errcode : r->result, r->errtext ? r->errtext : "");
      break;
    case FT_END_DONE:
      if (d->recerr) {
        item_err(d, d->recerrcode, d->recerrtext ? d->recerrtext : "");
      } else if (ft_item_partial(d->env->tx, FT_OP_DEL_LIST, d->done, total, item)) {
        set_item(d, FOPITEM_FAILED);
      } else if (d->done) {
        set_item(d, FOPITEM_DONE);
      } else {
        set_item(d, FOPITEM_SKIPPED);  // every entry passed over by a decision
      }
      break;
  }
  check_deleted(d, item);
  finish_item(d);
}

int on_next(int, void* data, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  if (data != d) return 0;
  switch (sm_state(&d->m)) {
    case FDEL_ITEM: advance_item(d); break;
    case FDEL_READY:
    case FDEL_SORTING:
    case 0: break;
    default:
      ERR_LOG(ERR_ERR, kParam, "Invalid state [%d].", sm_state(&d->m));
      stop_machine(d);
      return kParam;
  }
  return 0;
}

int on_end(int, void* data, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  ft* r = static_cast<ft*>(data);
  if (!r || r->ref != d) return 0;
  switch (sm_state(&d->m)) {
    case FDEL_SEARCHING: advance_search(d, r); break;
    case FDEL_RECYCLING: advance_recycled(d, r); break;
    case FDEL_DELETING: advance_deleted(d, r); break;
    default: ERR_LOG(ERR_ERR, kParam, "Invalid state [%d].", sm_state(&d->m)); break;
  }
  ft_free(r);
  return 0;
}

int on_progress(int, void* data, void* usrdata) {
  auto* d = static_cast<fdeldlg*>(usrdata);
  if (data != d->pr || !sm_state(&d->m) || !d->pr || progr_lock(d->pr)) return 0;
  SetWindowTextA(d->dlg, d->pr->text);
  progr_unlock(d->pr);
  return 0;
}

void subscribe(fdeldlg* d, bool on) {
  ntf* hub = d->env->hub;
  if (!hub || on == (d->subscribed != 0)) return;
  auto f = on ? ntf_add : ntf_del;
  f(hub, NTF_SM_NEXT, d, on_next, d);
  f(hub, NTF_THREAD_END, d, on_end, d);
  f(hub, NTF_PROGRESS, d, on_progress, d);
  d->subscribed = on;
}

// --- the window ----------------------------------------------------------------------

void layout(fdeldlg* d) {
  const char* name = "fdeldlgGeom";
  if (!d->env->rdb || geom_init(&d->g, "fdeldlg")) return;
  if (xrm_geom_load(d->env->rdb, name, nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls) ||
      geom_measure(&d->g, d->env->inst, MAKEINTRESOURCEA(IDD_FDELDLG), d->owner) || geom_compute(&d->g)) {
    geom_free(&d->g);  // the template's own placement stays
    return;
  }
  RECT cr;
  GetClientRect(d->dlg, &cr);
  if (!geom_resize(&d->g, (int)cr.right, (int)cr.bottom)) geom_apply(&d->g, d->dlg);
}

int on_init(HWND dlg, fdeldlg* d) {
  d->dlg = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
  GetWindowTextA(dlg, d->title, sizeof d->title);
  int rc = foplist_create(&d->fl, GetDlgItem(dlg, IDC_FDEL_LIST), dlg, d->recs, "fdellist", d->env, &d->cfg->base);
  if (rc) return rc;
  rc = sm_init(&d->m, sizeof kStates / sizeof kStates[0], kStates, sizeof kTrans / sizeof kTrans[0], kTrans,
               on_start, on_stop, on_err, d);
  if (rc) return rc;
  const unsigned f = fdeldlgcfg_flags(d->cfg->flags);
  CheckDlgButton(dlg, IDC_FDEL_DIRS, f & FDELDLG_DIR ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_FDEL_RECURSIVE, f & FDELDLG_RECURSIVE ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_FDEL_ALL, (d->perm ? d->cfg->permYesAll : d->cfg->yesAll) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dlg, IDC_FDEL_OSCFM, d->cfg->osCfm ? BST_CHECKED : BST_UNCHECKED);
  // the shell confirms only what goes to the recycle bin
  EnableWindow(GetDlgItem(dlg, IDC_FDEL_OSCFM), !d->perm);
  set_note(d);
  layout(d);
  if (d->cfg->base.wp_size == sizeof(WINDOWPLACEMENT)) {
    WINDOWPLACEMENT wp;
    memcpy(&wp, &d->cfg->base.wp, sizeof wp);
    wp.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(dlg, &wp);
  }
  subscribe(d, true);
  set_title(d);
  return 0;
}

// Keeps what the user chose for the next time.
void save_cfg(fdeldlg* d) {
  char w[64];
  unsigned f = box_flags(d);
  if (!fdeldlgcfg_flags_text(f, w, sizeof w)) {
    char* s = mox_strndup(w, (unsigned)strlen(w));
    if (s) {
      free(d->cfg->flags);
      d->cfg->flags = s;
    }
  }
  (d->perm ? d->cfg->permYesAll : d->cfg->yesAll) = box(d, IDC_FDEL_ALL);
  if (!d->perm) d->cfg->osCfm = box(d, IDC_FDEL_OSCFM);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (GetWindowPlacement(d->dlg, &wp)) {
    memcpy(&d->cfg->base.wp, &wp, sizeof wp);
    d->cfg->base.wp_size = sizeof wp;
  }
}

void close(fdeldlg* d) {
  if (sm_state(&d->m) && sm_state(&d->m) != FDEL_READY) {
    // the worker owns its request until it ends: stop it and close after
    d->close_after = 1;
    d->stop = 1;
    if (d->pr) progr_cancel(d->pr);
    return;
  }
  stop_machine(d);
  save_cfg(d);
  subscribe(d, false);
  if (d->modal)
    EndDialog(d->dlg, IDCANCEL);
  else
    DestroyWindow(d->dlg);
}

bool is_sort(int id) {
  return (id >= FOPLIST_IDM_FSORTBYDIR && id <= FOPLIST_IDM_FSORTIGNORECASE) || id == FOPLIST_IDM_FSORTBYPATH ||
         id == FOPLIST_IDM_FSORTBYRPATH || id == FOPLIST_IDM_FSORTBYERR;
}

void on_sort(fdeldlg* d, int id) {
  if (sm_state(&d->m)) return;
  if (sm_start(&d->m) || sm_event(&d->m, FDEL_EV_SORT)) return stop_machine(d);
  foplist_command(&d->fl, &d->cfg->base, id);
  stop_machine(d);
}

int open_common(fdeldlg* d, fdeldlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr, int perm) {
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
  d->perm = perm || !cfg->undo;
  return 0;
}

}  // namespace

int fdel_cfm_type(int perm, int ro, int ro_inside) {
  if (ro_inside) return perm ? FCFM_PERMDEL_RO_INDIR : FCFM_DEL_RO_INDIR;
  if (ro) return perm ? FCFM_PERMDEL_RO : FCFM_DEL_RO;
  return perm ? FCFM_PERMDEL : FCFM_DEL;
}

int fdeldlg_init(fdeldlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fdeldlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  int rc = foplist_init(&d->fl);
  if (!rc) rc = flist_init(&d->gathered, 1);
  if (!rc) rc = ctlclr_init(&d->cc);
  if (!rc) rc = geom_clear(&d->g);
  return rc;
}

int fdeldlg_free(fdeldlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fdeldlg' is NUL.");
    return kParam;
  }
  if (d->env) subscribe(d, false);
  sm_free(&d->m);
  foplist_free(&d->fl);
  flist_free(&d->gathered);
  ctlclr_free(&d->cc);
  geom_free(&d->g);
  free(d->recerrtext);
  memset(d, 0, sizeof *d);
  return 0;
}

int fdeldlg_open(fdeldlg* d, fdeldlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr, int perm) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr, perm)) return rc;
  d->modal = 1;
  const INT_PTR r =
      DialogBoxParamA(env->inst, MAKEINTRESOURCEA(IDD_FDELDLG), owner, fdeldlg_proc, reinterpret_cast<LPARAM>(d));
  if (r == -1) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "DialogBoxParam() failed - %d.", e);
    return e ? e : 9001;
  }
  return d->initrc;
}

int fdeldlg_create(fdeldlg* d, fdeldlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr,
                   int perm) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr, perm)) return rc;
  HWND w = CreateDialogParamA(env->inst, MAKEINTRESOURCEA(IDD_FDELDLG), owner, fdeldlg_proc,
                              reinterpret_cast<LPARAM>(d));
  if (!w) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "CreateDialogParam() failed - %d.", e);
    return e ? e : 9001;
  }
  return d->initrc;
}

int fdeldlg_start(fdeldlg* d) {
  if (!d || !d->dlg) {
    ERR_LOG(ERR_ERR, kParam, "`fdeldlg' is NUL.");
    return kParam;
  }
  if (sm_state(&d->m)) {
    d->stop = 1;
    if (d->pr) progr_cancel(d->pr);
    return 0;
  }
  d->cur = 0;
  d->pos = d->done = 0;
  d->stop = d->failed = 0;
  d->recerr = 0;
  d->dec = ftdec{};
  d->box = box_flags(d);
  d->all = box(d, IDC_FDEL_ALL);
  d->oscfm = !d->perm && box(d, IDC_FDEL_OSCFM);
  // the All box answers Yes to All in advance; with OS Confirm the shell asks instead
  d->dec.del = d->all || d->oscfm;
  for (unsigned i = 0; i < d->fl.n; ++i) d->fl.items[i].state = FOPITEM_TODO;
  int rc = sm_start(&d->m);
  if (!rc) rc = sm_event(&d->m, FDEL_EV_NEXT);
  if (rc) return stop_machine(d), rc;
  next(d);
  return 0;
}

int fdeldlg_running(const fdeldlg* d) { return d && sm_state(&d->m) != 0; }

int fdeldlg_item_state(const fdeldlg* d, unsigned i) {
  return d && i < d->fl.n ? d->fl.items[i].state : -1;
}

INT_PTR CALLBACK fdeldlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  fdeldlg* d = of(dlg);
  if (d && msg == WM_NOTIFY) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lp);
    if (nm->idFrom == IDC_FDEL_LIST && nm->code == LVN_ITEMCHANGED && !sm_state(&d->m)) set_title(d);
  }
  INT_PTR r = FALSE;
  if (fop_dlg_msg(dlg, msg, wp, lp, d ? &d->fl : nullptr, d ? &d->cc : nullptr, d ? &d->g : nullptr,
                  FOP_MSG_CLRSTATIC | FOP_MSG_MINMAX, &r))
    return r;
  switch (msg) {
    case WM_INITDIALOG: {
      d = reinterpret_cast<fdeldlg*>(lp);
      d->initrc = on_init(dlg, d);
      if (d->initrc) {
        if (d->modal) EndDialog(dlg, -1);
        else DestroyWindow(dlg);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (!d) return FALSE;
      switch (LOWORD(wp)) {
        case IDC_FDEL_DEL: fdeldlg_start(d); return TRUE;
        case IDCANCEL: close(d); return TRUE;
        default:
          if (is_sort(LOWORD(wp)))
            on_sort(d, LOWORD(wp));
          else
            foplist_command(&d->fl, &d->cfg->base, LOWORD(wp));
          return TRUE;
      }
    case WM_CONTEXTMENU: return TRUE;
    case WM_DESTROY:
      if (d) {
        subscribe(d, false);
        d->dlg = nullptr;
      }
      return FALSE;
    default: return FALSE;
  }
}
