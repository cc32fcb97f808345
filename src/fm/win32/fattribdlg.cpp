#include "fm/win32/fattribdlg.h"

#include <cstdlib>
#include <cstring>

#include "../../../res/fattribdlg.h"
#include "c/osu.h"
#include "c/str.h"
#include "err/err.h"
#include "fm/fattrcmd.h"
#include "fm/win32/flistchg.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr int kTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

constexpr xrm_idmap kCtrls[] = {
    {"fattribList", IDC_FATTRIB_LIST}, {"ro", IDC_FATTRIB_RO},         {"hidden", IDC_FATTRIB_HIDDEN},
    {"archive", IDC_FATTRIB_ARCHIVE},  {"rule", IDC_FATTRIB_RULE},     {"cmdLbl", IDC_FATTRIB_CMDLBL},
    {"cmd", IDC_FATTRIB_CMD},          {"change", IDC_FATTRIB_CHANGE}, {"cancel", IDCANCEL}};

constexpr int kBoxes[] = {IDC_FATTRIB_RO, IDC_FATTRIB_HIDDEN, IDC_FATTRIB_ARCHIVE};
constexpr unsigned kBits[] = {FATTR_RO, FATTR_HIDDEN, FATTR_ARCHIVE};

fattribdlg* of(HWND dlg) { return reinterpret_cast<fattribdlg*>(GetWindowLongPtrA(dlg, DWLP_USER)); }
const char* tr(const fattribdlg* d, const char* ctx, const char* id) { return fop_text(d->env, ctx, id); }
frec* item_rec(const fattribdlg* d) { return d->cur < d->fl.n ? d->fl.items[d->cur].r : nullptr; }

void set_item(fattribdlg* d, unsigned char state) {
  if (d->cur < d->fl.n) d->fl.items[d->cur].state = state;
  if (state == FOPITEM_FAILED) d->failed = 1;
}

void item_err(fattribdlg* d, int code, const char* text) {
  frec* r = item_rec(d);
  if (!r) return;
  flist_set_foerr(r, code, text);
  set_item(d, FOPITEM_FAILED);
  foplist_redraw(&d->fl, r);
}

void set_title(fattribdlg* d) {
  char t[FATTRIB_TITLE_SIZE + 32];
  fop_title(d->title, foplist_focused(&d->fl), d->fl.n, t, sizeof t);
  SetWindowTextA(d->dlg, t);
}

void next(fattribdlg* d) { ntf_post(d->env->hub, NTF_SM_NEXT, d, d); }
void stop_machine(fattribdlg* d) {
  if (sm_state(&d->m)) sm_stop(&d->m);
}

int on_start(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  if (d->pr && !progr_lock(d->pr)) {
    progr_reset(d->pr);
    progr_unlock(d->pr);
  }
  SetDlgItemTextA(d->dlg, IDC_FATTRIB_CHANGE, tr(d, "fattribdlg.btn", "Stop"));
  return 0;
}

int on_stop(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  if (frec* r = item_rec(d)) {
    r->flags &= ~FATTRIB_FREC_BUSY;
    ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
  }
  foplist_set_cur(&d->fl, nullptr);
  d->cur = d->fl.n;
  SetDlgItemTextA(d->dlg, IDC_FATTRIB_CHANGE, tr(d, "fattribdlg.btn", "Change"));
  set_title(d);
  if (d->close_after) PostMessageA(d->dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
  return 0;
}

int on_err(int state, int event, int, int, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  ERR_LOG(ERR_ERR, d->m.err, "State machine failed - state: %d, event: %d.", state, event);
  return 0;
}

int act_change(int, int, int, int, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  const frec* r = item_rec(d);
  char p[FT_PATH_SIZE];
  mox_snprintf(p, sizeof p, "%s%s", r->rdir, r->name);
  d->done = 0;
  const ftenv env{d->env->hub, d->env->tx};
  d->startrc = fthread_attrib(&env, p, d->set, d->mask, &d->done, d);
  return 0;
}

constexpr sm_state_def kStates[] = {{FATTRIB_READY, nullptr, nullptr},
                                    {FATTRIB_ITEM, nullptr, nullptr},
                                    {FATTRIB_CHANGING, nullptr, nullptr},
                                    {FATTRIB_SORTING, nullptr, nullptr}};
constexpr sm_trans_def kTrans[] = {
    {FATTRIB_READY, FATTRIB_EV_NEXT, FATTRIB_ITEM, nullptr, nullptr},
    {FATTRIB_READY, FATTRIB_EV_SORT, FATTRIB_SORTING, nullptr, nullptr},
    {FATTRIB_ITEM, FATTRIB_EV_CHANGE, FATTRIB_CHANGING, act_change, nullptr},
    {FATTRIB_CHANGING, FATTRIB_EV_FINISHED, FATTRIB_ITEM, nullptr, nullptr},
};

// The record shows what the file holds now, whatever happened.
void refresh(fattribdlg* d, frec* r) {
  r->flags &= ~FREC_REFRESHED;
  flist_refresh_attr(r, d->env->hub, nullptr);
  foplist_redraw(&d->fl, r);
}

void finish_item(fattribdlg* d) {
  frec* r = item_rec(d);
  if (r) {
    r->flags &= ~FATTRIB_FREC_BUSY;
    ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
  }
  const bool failed = d->cur < d->fl.n && d->fl.items[d->cur].state == FOPITEM_FAILED;
  if (sm_state(&d->m) == FATTRIB_CHANGING) sm_event(&d->m, FATTRIB_EV_FINISHED);
  if (failed && d->cfg->base.stopOnErr) return stop_machine(d);
  ++d->cur;
  next(d);
}

void advance_item(fattribdlg* d) {
  if (d->stop || d->cur >= d->fl.n) {
    const bool ok = !d->failed && !d->stop;
    stop_machine(d);
    if (ok) PostMessageA(d->dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    return;
  }
  frec* r = item_rec(d);
  SendMessageA(d->fl.wnd, LVM_ENSUREVISIBLE, d->cur, FALSE);
  char p[FT_PATH_SIZE];
  if (mox_snprintf(p, sizeof p, "%s%s", r->rdir, r->name)) {
    char sys[512], t[1024];
    mox_sys_errmsg(kTooLong, sys, sizeof sys);
    mox_snprintf(t, sizeof t, "%s `%.200s'.", sys, p);
    item_err(d, kTooLong, t);
    return finish_item(d);
  }
  if (d->pr && !progr_lock(d->pr)) {
    char t[PROGR_TEXT_SIZE];
    mox_snprintf(t, sizeof t, tr(d, "fattribdlg", "Change: %s (%s)"), r->name, r->rdir);
    progr_set_text(d->pr, t);
    progr_unlock(d->pr);
    ntf_post(d->env->hub, NTF_PROGRESS, d->pr, d);
  }
  r->flags |= FATTRIB_FREC_BUSY;
  ntf_post(d->env->hub, NTF_FREC_CHANGED, r, nullptr);
  foplist_set_cur(&d->fl, r);
  d->startrc = 0;
  const int rc = sm_event(&d->m, FATTRIB_EV_CHANGE);
  if (rc || d->startrc) {
    item_err(d, d->startrc ? d->startrc : rc, "");
    finish_item(d);
  }
}

int on_next(int, void* data, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  if (data != d) return 0;
  switch (sm_state(&d->m)) {
    case FATTRIB_ITEM: advance_item(d); break;
    case 0:
    case FATTRIB_READY:
    case FATTRIB_SORTING: break;
    default:
      ERR_LOG(ERR_ERR, kParam, "Invalid state [%d].", sm_state(&d->m));
      stop_machine(d);
      return kParam;
  }
  return 0;
}

int on_end(int, void* data, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  ft* r = static_cast<ft*>(data);
  if (!r || r->ref != d) return 0;
  frec* item = item_rec(d);
  if (r->result)
    item_err(d, r->errcode ? r->errcode : r->result, r->errtext ? r->errtext : "");
  else
    set_item(d, d->done ? FOPITEM_DONE : FOPITEM_SKIPPED);
  ft_free(r);
  if (item) refresh(d, item);
  finish_item(d);
  return 0;
}

int on_progress(int, void* data, void* usrdata) {
  auto* d = static_cast<fattribdlg*>(usrdata);
  if (data != d->pr || !sm_state(&d->m) || !d->pr || progr_lock(d->pr)) return 0;
  SetWindowTextA(d->dlg, d->pr->text);
  progr_unlock(d->pr);
  return 0;
}

void subscribe(fattribdlg* d, bool on) {
  ntf* hub = d->env->hub;
  if (!hub || on == (d->subscribed != 0)) return;
  auto f = on ? ntf_add : ntf_del;
  f(hub, NTF_SM_NEXT, d, on_next, d);
  f(hub, NTF_THREAD_END, d, on_end, d);
  f(hub, NTF_PROGRESS, d, on_progress, d);
  d->subscribed = on;
}

// The Cmd field decides while it holds text: it then shows the set colour.
void cmd_changed(fattribdlg* d) {
  HWND cmd = GetDlgItem(d->dlg, IDC_FATTRIB_CMD);
  if (GetWindowTextLengthA(cmd) > 0)
    ctlclr_set(&d->cc, cmd, d->cfg->set_color, GetSysColor(COLOR_WINDOW));
  else
    ctlclr_del(&d->cc, cmd);
  InvalidateRect(cmd, nullptr, TRUE);
}

void layout(fattribdlg* d) {
  if (!d->env->rdb || geom_init(&d->g, "fattribdlg")) return;
  if (xrm_geom_load(d->env->rdb, "fattribdlgGeom", nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls) ||
      geom_measure(&d->g, d->env->inst, MAKEINTRESOURCEA(IDD_FATTRIBDLG), d->owner) || geom_compute(&d->g)) {
    geom_free(&d->g);
    return;
  }
  RECT cr;
  GetClientRect(d->dlg, &cr);
  if (!geom_resize(&d->g, (int)cr.right, (int)cr.bottom)) geom_apply(&d->g, d->dlg);
}

int on_init(HWND dlg, fattribdlg* d) {
  d->dlg = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)d);
  GetWindowTextA(dlg, d->title, sizeof d->title);
  int rc = foplist_create(&d->fl, GetDlgItem(dlg, IDC_FATTRIB_LIST), dlg, d->recs, "fattriblist", d->env,
                          &d->cfg->base);
  if (rc) return rc;
  rc = sm_init(&d->m, sizeof kStates / sizeof kStates[0], kStates, sizeof kTrans / sizeof kTrans[0], kTrans,
               on_start, on_stop, on_err, d);
  if (rc) return rc;
  // the boxes start at what the items share, so Change as opened writes nothing new
  unsigned* attrs = static_cast<unsigned*>(calloc(d->fl.n ? d->fl.n : 1, sizeof(unsigned)));
  if (!attrs) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(d->fl.n * sizeof(unsigned)));
    return 9004;
  }
  for (unsigned i = 0; i < d->fl.n; ++i) attrs[i] = d->fl.items[i].r->attr;
  for (int i = 0; i < 3; ++i) {
    const int s = fattr_box_of(attrs, d->fl.n, kBits[i]);
    CheckDlgButton(dlg, kBoxes[i], s == FATTR_BOX_ON ? BST_CHECKED : s == FATTR_BOX_OFF ? BST_UNCHECKED
                                                                                        : BST_INDETERMINATE);
  }
  free(attrs);
  SendDlgItemMessageA(dlg, IDC_FATTRIB_CMD, EM_LIMITTEXT, FATTRIB_CMD_SIZE - 1, 0);
  layout(d);
  if (d->cfg->base.wp_size == sizeof(WINDOWPLACEMENT)) {
    WINDOWPLACEMENT wp;
    memcpy(&wp, &d->cfg->base.wp, sizeof wp);
    wp.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(dlg, &wp);
  }
  subscribe(d, true);
  set_title(d);
  switch (d->cfg->iniFocus) {
    case FATTRIBDLG_FOCUS_CMD: SetFocus(GetDlgItem(dlg, IDC_FATTRIB_CMD)); return -1;
    case FATTRIBDLG_FOCUS_LIST: SetFocus(d->fl.wnd); return -1;
    default: return 0;
  }
}

void close(fattribdlg* d) {
  if (sm_state(&d->m) && sm_state(&d->m) != FATTRIB_READY) {
    d->close_after = 1;
    d->stop = 1;
    return;
  }
  stop_machine(d);
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (GetWindowPlacement(d->dlg, &wp)) {
    memcpy(&d->cfg->base.wp, &wp, sizeof wp);
    d->cfg->base.wp_size = sizeof wp;
  }
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

void on_sort(fattribdlg* d, int id) {
  if (sm_state(&d->m)) return;
  if (!sm_start(&d->m) && !sm_event(&d->m, FATTRIB_EV_SORT)) foplist_command(&d->fl, &d->cfg->base, id);
  stop_machine(d);
}

int open_common(fattribdlg* d, fattribdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
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

int fattribdlg_init(fattribdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fattribdlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  int rc = foplist_init(&d->fl);
  if (!rc) rc = ctlclr_init(&d->cc);
  if (!rc) rc = geom_clear(&d->g);
  return rc;
}

int fattribdlg_free(fattribdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`fattribdlg' is NUL.");
    return kParam;
  }
  if (d->env) subscribe(d, false);
  sm_free(&d->m);
  foplist_free(&d->fl);
  ctlclr_free(&d->cc);
  geom_free(&d->g);
  memset(d, 0, sizeof *d);
  return 0;
}

int fattribdlg_open(fattribdlg* d, fattribdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr)) return rc;
  d->modal = 1;
  const INT_PTR r = DialogBoxParamA(env->inst, MAKEINTRESOURCEA(IDD_FATTRIBDLG), owner, fattribdlg_proc,
                                    reinterpret_cast<LPARAM>(d));
  if (r == -1) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "DialogBoxParam() failed - %d.", e);
    return e ? e : 9001;
  }
  return d->initrc;
}

int fattribdlg_create(fattribdlg* d, fattribdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner,
                      progr* pr) {
  if (int rc = open_common(d, cfg, env, recs, owner, pr)) return rc;
  HWND w = CreateDialogParamA(env->inst, MAKEINTRESOURCEA(IDD_FATTRIBDLG), owner, fattribdlg_proc,
                              reinterpret_cast<LPARAM>(d));
  if (!w) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e ? e : 9001, "CreateDialogParam() failed - %d.", e);
    return e ? e : 9001;
  }
  return d->initrc;
}

int fattribdlg_start(fattribdlg* d) {
  if (!d || !d->dlg) {
    ERR_LOG(ERR_ERR, kParam, "`fattribdlg' is NUL.");
    return kParam;
  }
  if (sm_state(&d->m)) {
    d->stop = 1;
    return 0;
  }
  char cmd[FATTRIB_CMD_SIZE];
  GetDlgItemTextA(d->dlg, IDC_FATTRIB_CMD, cmd, sizeof cmd);
  const char* bad = nullptr;
  unsigned set = 0, mask = 0;
  if (fattr_parse(cmd, &set, &mask, &bad)) {
    char w[64];
    size_t n = strcspn(bad, " \t,");
    mox_snprintf(w, sizeof w, "%.*s", (int)(n < 63 ? n : 63), bad);
    ERR_USER(ERR_ERR, 9012, "Invalid attribute [%s] - cmd: `%s'.", w, cmd);
    HWND c = GetDlgItem(d->dlg, IDC_FATTRIB_CMD);
    ctlclr_set(&d->cc, c, d->cfg->base.inval_fgClr, d->cfg->base.inval_bgClr);
    InvalidateRect(c, nullptr, TRUE);
    return 9012;
  }
  if (!mask) {
    int st[3];
    for (int i = 0; i < 3; ++i) {
      const UINT b = IsDlgButtonChecked(d->dlg, kBoxes[i]);
      st[i] = b == BST_CHECKED ? FATTR_BOX_ON : b == BST_UNCHECKED ? FATTR_BOX_OFF : FATTR_BOX_KEEP;
    }
    fattr_of_boxes(st[0], st[1], st[2], &set, &mask);
  }
  d->set = set;
  d->mask = mask;
  d->cur = 0;
  d->stop = d->failed = 0;
  for (unsigned i = 0; i < d->fl.n; ++i) d->fl.items[i].state = FOPITEM_TODO;
  int rc = sm_start(&d->m);
  if (!rc) rc = sm_event(&d->m, FATTRIB_EV_NEXT);
  if (rc) return stop_machine(d), rc;
  next(d);
  return 0;
}

int fattribdlg_running(const fattribdlg* d) { return d && sm_state(&d->m) != 0; }

int fattribdlg_item_state(const fattribdlg* d, unsigned i) { return d && i < d->fl.n ? d->fl.items[i].state : -1; }

INT_PTR CALLBACK fattribdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  fattribdlg* d = of(dlg);
  if (d && msg == WM_NOTIFY) {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lp);
    if (nm->idFrom == IDC_FATTRIB_LIST && nm->code == LVN_ITEMCHANGED && !sm_state(&d->m)) set_title(d);
  }
  INT_PTR r = FALSE;
  if (fop_dlg_msg(dlg, msg, wp, lp, d ? &d->fl : nullptr, d ? &d->cc : nullptr, d ? &d->g : nullptr,
                  FOP_MSG_CLREDIT | FOP_MSG_MINMAX, &r))
    return r;
  switch (msg) {
    case WM_INITDIALOG: {
      d = reinterpret_cast<fattribdlg*>(lp);
      const int rc = on_init(dlg, d);
      d->initrc = rc < 0 ? 0 : rc;
      if (d->initrc) {
        if (d->modal) EndDialog(dlg, -1);
        else DestroyWindow(dlg);
      }
      return rc < 0 ? FALSE : TRUE;
    }
    case WM_COMMAND:
      if (!d) return FALSE;
      switch (LOWORD(wp)) {
        case IDC_FATTRIB_CHANGE: fattribdlg_start(d); return TRUE;
        case IDCANCEL: close(d); return TRUE;
        case IDC_FATTRIB_CMD:
          if (HIWORD(wp) == EN_CHANGE) cmd_changed(d);
          return TRUE;
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
