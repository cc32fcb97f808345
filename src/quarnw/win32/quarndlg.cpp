#include "quarnw/win32/quarndlg.h"

#include <process.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "c/arg.h"
#include "c/str.h"
#include "c/val.h"
#include "ds/rbktree_v.h"
#include "err/err.h"
#include "quarn/qnex.h"
#include "quarnw/qnexfld.h"
#include "fm/win32/ffiltdlg.h"
#include "quarnw/win32/quarnw.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kPathWordSize = 4096;
constexpr xrm_idmap kCtrls[] = {{"vwPos", IDC_QD_VWPOS}, {"fList", IDC_QD_FLIST}};

int last_error() {
  int e = (int)GetLastError();
  return e ? e : 9001;
}

unsigned long long now_ms() { return GetTickCount64(); }

// The default push button a dialog answers, or dflt when it has none.
int default_id(HWND dlg, int dflt) {
  const LRESULT r = SendMessageA(dlg, DM_GETDEFID, 0, 0);
  return HIWORD(r) == DC_HASDEFID ? (int)LOWORD(r) : dflt;
}

int set_progress(const char* text) {
  if (progr_lock(&g_progr)) return 0;
  progr_set_text(&g_progr, text);
  progr_unlock(&g_progr);
  return ntf_post(&g_ntf, NTF_PROGRESS, &g_progr, &g_progr);
}

// --- the workers -------------------------------------------------------------------------

int path_casecmp(unsigned t1, const void* k1, unsigned s1, unsigned t2, const void* k2, unsigned s2, void*) {
  return val_casecmp(t1, *static_cast<char* const*>(k1), s1, t2, *static_cast<char* const*>(k2), s2);
}

// The last time the find thread announced a grown list (one find thread at a time).
unsigned long long g_grown_ms;

void find_thread(void* argp) {
  quarndlg* qd = static_cast<quarndlg*>(argp);
  arg words{};
  rbktree seen{};
  int rc = arg_init(&words, 0, nullptr, kPathWordSize, 0);
  if (!rc) rc = rbktree_v_init(&seen, 0x82, g_cfg.ignorecase ? path_casecmp : nullptr, nullptr, nullptr, nullptr, nullptr);
  qd->lastms = now_ms();
  if (!rc) rc = arg_split(&words, qd->paths);
  if (!rc && words.argc == 0) ERR_USER(ERR_ERR, 9010, "%s", quarnw_text("quarndlg", "No path specified."));
  const diserr* de = g_cfg.disable_err_size ? reinterpret_cast<const diserr*>(g_cfg.disable_err) : nullptr;
  for (int i = 0; !rc && i < words.argc; ++i) {
    const char* path = words.argv[i];
    if (!*path) continue;
    if (rbktree_v_find(&seen, path)) {
      ERR_USER(ERR_WARN, 9007, quarnw_text("quarndlg", "Duplicate path: %s: ignored."), path);
      continue;
    }
    qd->q.cancel = &g_progr.cancel;
    qd->q.flags = qd->filt.out.append ? (unsigned)QN_APPEND : 0u;
    rc = quarn_find(&qd->q, path, qd->parsed ? &qd->e : nullptr, qd->filt.cmd, qd->filt.out.out, qd->filt.out.err,
                    quarndlg_entry_cb, 1, de, qd);
    if (rc) break;
    int err = 0;
    if (!rbktree_v_insert(&seen, path, &err)) ERR_LOG(ERR_ERR, err, "Failed to add path - %s.", path);
  }
  ntf_post(&g_ntf, NTF_FLIST_GROWN, &qd->fl, &qd->fl);  // the last matches
  set_progress(quarnw_text("quarndlg", "Find: done"));
  arg_free(&words);
  rbktree_v_free(&seen);
  ntf_post(&g_ntf, NTF_THREAD_END, qd, qd);
  InterlockedExchange(&qd->worker, 0);  // the record is not touched after this
}

unsigned sort_flags() {
  unsigned f = 0;
  if (g_cfg.sortrev) f |= FLIST_REVERSE;
  if (g_cfg.sort_ignorecase) f |= FLIST_IGNORECASE;
  if (g_cfg.grpdir1st)
    f |= FLIST_DIRS_FIRST;
  else if (g_cfg.pathdir1st)
    f |= FLIST_PATHDIR_FIRST;
  return f;
}

void sort_thread(void* argp) {
  quarndlg* qd = static_cast<quarndlg*>(argp);
  qd->lastms = now_ms();
  char text[PROGR_TEXT_SIZE];
  mox_snprintf(text, sizeof text, quarnw_text("quarndlg", "Sort: %u"), flist_count(&qd->fl));
  set_progress(text);
  int rc = flist_sort(&qd->fl, g_cfg.sortby, sort_flags(), quarndlg_sort_cb, g_cfg.progress_cbEvery, qd);
  if (rc && rc != 9015) ERR_LOG(ERR_ERR, rc, "flist_sort() failed - sortby: `%s'.", g_cfg.sortby);
  set_progress(quarnw_text("quarndlg", "Sort: done"));
  ntf_post(&g_ntf, NTF_THREAD_END, qd, qd);
  InterlockedExchange(&qd->worker, 0);
}

int start_thread(void (*fn)(void*), quarndlg* qd) {
  InterlockedExchange(&qd->worker, 1);
  if (_beginthread(fn, 0, qd) == (uintptr_t)-1L) {
    InterlockedExchange(&qd->worker, 0);
    int e = errno;
    ERR_LOG(ERR_ERR, e ? e : 9001, "_beginthread() failed.");
    return e ? e : 9001;
  }
  return 0;
}

// --- the machine -------------------------------------------------------------------------

int on_start(int, int, int, int, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  if (int rc = progr_lock(&g_progr)) return rc;
  progr_reset(&g_progr);
  progr_unlock(&g_progr);
  memset(&qd->filt, 0, sizeof qd->filt);
  if (ffiltdlg_is_open(&g_ffiltdlg))
    if (int rc = ffiltdlg_prepare(&g_ffiltdlg, &qd->filt)) return rc;
  return stdvw_set_btn(&qd->vw, "Stop");
}

int on_stop(int, int, int, int, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  int rc = stdvw_set_btn(&qd->vw, "Find");
  quarnw_update_title();
  return rc;
}

int enter_finding(int, int, int, int, void* usrdata) { return start_thread(find_thread, static_cast<quarndlg*>(usrdata)); }

int enter_sorting(int, int, int, int, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  if (int rc = progr_lock(&g_progr)) return rc;
  g_progr.cancel = 0;
  progr_unlock(&g_progr);
  if (qd->lc) flistctrl_remember_sel(qd->lc);
  return start_thread(sort_thread, qd);
}

int leave_sorting(int, int, int, int, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  int cancelled = 0;
  if (!progr_lock(&g_progr)) {
    cancelled = (g_progr.cancelled & PROGR_CANCELLED_SORT) != 0;
    progr_unlock(&g_progr);
  }
  if (cancelled) {
    // the order was abandoned: the list counts as unsorted
    g_cfg.sortby[0] = 0;
    g_cfg.sortrev = 0;
  }
  if (!qd->lc) return 0;
  flistctrl_show_sort(qd->lc);
  flistctrl_restore_sel(qd->lc);
  return flistctrl_publish(qd->lc);
}

constexpr sm_state_def kStates[] = {
    {QD_READY, nullptr, nullptr}, {QD_FINDING, enter_finding, nullptr}, {QD_SORTING, enter_sorting, leave_sorting}};
constexpr sm_trans_def kTrans[] = {{QD_READY, QD_EV_FIND, QD_FINDING, nullptr, nullptr},
                                   {QD_READY, QD_EV_SORT, QD_SORTING, nullptr, nullptr},
                                   {QD_FINDING, QD_EV_SORT, QD_SORTING, nullptr, nullptr}};

void stop_if_running(quarndlg* qd) {
  if (sm_state(&qd->m)) sm_stop(&qd->m);
}

int on_next(int, void*, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  int rc = 0;
  switch (const int st = sm_state(&qd->m)) {
    case 0:
    case QD_READY: break;
    case QD_FINDING:
      rc = g_cfg.sortby[0] || g_cfg.sortrev ? sm_event(&qd->m, QD_EV_SORT) : sm_stop(&qd->m);
      break;
    case QD_SORTING: rc = sm_stop(&qd->m); break;
    default:
      ERR_LOG(ERR_ERR, kParam, "Invalid state [%d].", st);
      rc = kParam;
  }
  if (rc) stop_if_running(qd);
  return 0;
}

int on_thread_end(int, void*, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  if (ntf_post(&g_ntf, NTF_SM_NEXT, &qd->m, &qd->m)) stop_if_running(qd);
  return 0;
}

// --- creation and destruction ------------------------------------------------------------

int load_layout(quarndlg* qd) {
  int rc = geom_init(&qd->g, "quarn_d");
  if (!rc) rc = xrm_geom_load(g_xrm.maindb, "geom", nullptr, 1, &qd->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls);
  if (!rc) rc = geom_measure(&qd->g, g_inst, MAKEINTRESOURCEA(IDD_QUARNDLG), GetParent(qd->dlg));
  if (!rc) rc = geom_compute(&qd->g);
  if (rc) geom_free(&qd->g);  // the template's own placement stays
  return rc;
}

int on_init(HWND dlg, quarndlg* qd) {
  qd->dlg = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)qd);
  int rc = wndmap_add(&g_wndmap, dlg, qd);
  qd->dflt_id = default_id(dlg, 1);
  quarn_init(&qd->q);
  if (!rc) rc = flist_init(&qd->fl, g_cfg.ignorecase);
  if (!rc) rc = ex_init(&qd->e, qnex_free);
  if (!rc)
    rc = sm_init(&qd->m, sizeof kStates / sizeof kStates[0], kStates, sizeof kTrans / sizeof kTrans[0], kTrans,
                 on_start, on_stop, nullptr, qd);
  if (rc) return rc;
  load_layout(qd);
  if ((rc = stdvw_init(&qd->vw, qd))) return rc;
  if ((rc = stdvw_create(&qd->vw, dlg, GetDlgItem(dlg, IDC_QD_VWPOS)))) return rc;
  flistctrl_init(&qd->lcrec);
  HWND lv = GetDlgItem(dlg, IDC_QD_FLIST);
  if (!lv) {
    rc = last_error();
    ERR_LOG(ERR_ERR, rc, "GetDlgItem() failed [%d] - dlg: %p.", IDC_QD_FLIST, (void*)dlg);
    return rc;
  }
  if ((rc = flistctrl_create(&qd->lcrec, lv, &qd->fl, flistctrl_env_prog()))) return rc;
  qd->lc = &qd->lcrec;
  if ((rc = quarndlg_show_view(qd))) return rc;
  rc = ntf_add(&g_ntf, NTF_SM_NEXT, &qd->m, on_next, qd);
  if (!rc) rc = ntf_add(&g_ntf, NTF_THREAD_END, qd, on_thread_end, qd);
  qd->subscribed = 1;
  if (!rc) ShowWindow(dlg, SW_SHOW);
  return rc;
}

// A window destroyed during a search (the session ends): the worker is stopped and
// waited for before the record it uses goes.
void stop_worker(quarndlg* qd) {
  if (!qd->worker) return;
  progr_cancel(&g_progr);
  for (int i = 0; qd->worker && i < 3000; ++i) Sleep(10);
  if (qd->worker) ERR_LOG(ERR_ERR, 9011, "Worker thread still running - dlg: %p.", (void*)qd->dlg);
}

void on_destroy(quarndlg* qd) {
  if (qd->worker) return;  // the record is left to it rather than freed under it
  if (qd->subscribed) {
    ntf_del(&g_ntf, NTF_SM_NEXT, &qd->m, on_next, qd);
    ntf_del(&g_ntf, NTF_THREAD_END, qd, on_thread_end, qd);
  }
  if (qd->lc) flistctrl_free(qd->lc);
  stdvw_free(&qd->vw);
  quarn_free(&qd->q);
  flist_free(&qd->fl);
  ex_free(&qd->e);
  qnexparser_free(&qd->exparser);
  geom_free(&qd->g);
  sm_free(&qd->m);
  wndmap_del(&g_wndmap, qd->dlg);
  free(qd->paths);
  free(qd);
}

void on_size(quarndlg* qd, int w, int h) {
  if (qd->g.root && geom_resize(&qd->g, w, h) == 0) geom_apply(&qd->g, qd->dlg);
}

}  // namespace

// --- callbacks on the workers ------------------------------------------------------------

int quarndlg_entry_cb(const qnd* d, int match, unsigned count, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  if (!d || !qd) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - qnd: %p, dlg: %p.", (const void*)d, usrdata);
    return kParam;
  }
  const unsigned long long now = now_ms();
  if (match) {
    if (int rc = flist_add(&qd->fl, d)) return rc;
    // each post takes the hub's lock and wakes the window to repaint: the first match, then
    // one a progress tick
    if (now - g_grown_ms >= g_cfg.progress_updateEvery || flist_count(&qd->fl) == 1) {
      g_grown_ms = now;
      ntf_post(&g_ntf, NTF_FLIST_GROWN, &qd->fl, &qd->fl);
    }
  }
  if (now - qd->lastms < g_cfg.progress_updateEvery) return 0;
  qd->lastms = now;
  if (progr_lock(&g_progr)) return 0;
  if (g_progr.cancel) {
    g_progr.cancelled |= PROGR_CANCELLED_FIND;
    progr_unlock(&g_progr);
    return 9015;
  }
  char path[PROGR_TEXT_SIZE], text[PROGR_TEXT_SIZE];
  mox_snprintf(path, sizeof path, "%s%s", d->dir ? d->dir : "", d->dir && d->name ? d->name : "");
  mox_snprintf(text, sizeof text, quarnw_text("quarndlg", "Find: %u/%u %s"), flist_count(&qd->fl), count, path);
  progr_set_text(&g_progr, text);
  ntf_post(&g_ntf, NTF_PROGRESS, &g_progr, &g_progr);
  progr_unlock(&g_progr);
  return 0;
}

int quarndlg_sort_cb(double done, void* usrdata) {
  quarndlg* qd = static_cast<quarndlg*>(usrdata);
  if (!qd) {
    ERR_LOG(ERR_ERR, kParam, "`dlg' is NUL.");
    return kParam;
  }
  const unsigned long long now = now_ms();
  if (now - qd->lastms < g_cfg.progress_updateEvery) return 0;
  qd->lastms = now;
  if (progr_lock(&g_progr)) return 0;
  if (g_progr.cancel) {
    g_progr.cancelled |= PROGR_CANCELLED_SORT;
    progr_unlock(&g_progr);
    return 9015;
  }
  char text[PROGR_TEXT_SIZE];
  mox_snprintf(text, sizeof text, quarnw_text("quarndlg", "Sort: %.1f%%"), done * 100.0);
  progr_set_text(&g_progr, text);
  ntf_post(&g_ntf, NTF_PROGRESS, &g_progr, &g_progr);
  progr_unlock(&g_progr);
  return 0;
}

// --- interface ---------------------------------------------------------------------------

int quarndlg_create(HWND parent, quarndlg** out) {
  if (!parent || !out) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - parent: %p, out: %p.", (void*)parent, (void*)out);
    return kParam;
  }
  *out = nullptr;
  quarndlg* qd = static_cast<quarndlg*>(calloc(1, sizeof(quarndlg)));
  if (!qd) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(quarndlg));
    return 9004;
  }
  HWND dlg = CreateDialogParamA(g_inst, MAKEINTRESOURCEA(IDD_QUARNDLG), parent, quarndlg_proc, (LPARAM)qd);
  if (!dlg) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - %d.", IDD_QUARNDLG);
    if (!qd->dlg) free(qd);  // never initialised: the dialog did not take it over
    return e;
  }
  if (int rc = qd->initrc) {
    DestroyWindow(dlg);  // frees the record
    return rc;
  }
  *out = qd;
  return 0;
}

int quarndlg_search(quarndlg* qd, const char* expr) {
  if (!qd || !expr) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, expr: %p.", (void*)qd, (const void*)expr);
    return kParam;
  }
  if (sm_state(&qd->m)) return SM_E_RUNNING;
  int rc = sm_start(&qd->m);
  if (!rc) rc = quarndlg_clear(qd);
  if (!rc) {
    quarn_reset(&qd->q);
    quarn_prepare(&qd->q);
    free(qd->paths);
    int err = 0;
    qd->paths = mox_strndup(g_cfg.path, (unsigned)strlen(g_cfg.path), &err);
    rc = qd->paths ? 0 : (err ? err : 9004);
  }
  if (!rc)
    rc = qnexfld_parse(&qd->exparser, &qd->e, expr, g_cfg.ignorecase, g_cfg.timef_fmts, (long)time(nullptr),
                       &qd->parsed);
  if (!rc && ffiltdlg_is_open(&g_ffiltdlg)) rc = ffiltdlg_search_started(&g_ffiltdlg);
  if (!rc) rc = ntf_post(&g_ntf, NTF_SHOW_INFO, nullptr, nullptr);
  if (!rc) rc = sm_event(&qd->m, QD_EV_FIND);
  if (rc) stop_if_running(qd);
  return rc;
}

int quarndlg_sort(quarndlg* qd) {
  if (!qd) {
    ERR_LOG(ERR_ERR, kParam, "`dlg' is NUL.");
    return kParam;
  }
  if (sm_state(&qd->m)) return SM_E_RUNNING;
  int rc = sm_start(&qd->m);
  if (!rc) rc = sm_event(&qd->m, QD_EV_SORT);
  if (rc) stop_if_running(qd);
  return rc;
}

int quarndlg_clear(quarndlg* qd) {
  if (!qd) {
    ERR_LOG(ERR_ERR, kParam, "`dlg' is NUL.");
    return kParam;
  }
  // the control lets go of the rows before they go
  int rc = qd->lc ? flistctrl_clear(qd->lc) : 0;
  int rc2 = flist_clear(&qd->fl);
  return rc ? rc : rc2;
}

int quarndlg_running(const quarndlg* qd) { return qd && sm_state(&qd->m) != 0; }

int quarndlg_show_view(quarndlg* qd) {
  if (!qd || !qd->dlg || !qd->vw.dlg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)qd);
    return kParam;
  }
  HWND vw = qd->vw.dlg;
  if (qd->vwwnd && qd->vwwnd != vw) ShowWindow(qd->vwwnd, SW_HIDE);
  qd->vwwnd = vw;
  SendMessageA(qd->dlg, DM_SETDEFID, (WPARAM)default_id(vw, qd->dflt_id), 0);

  RECT vr{};
  GetWindowRect(vw, &vr);
  if (geom_item* it = qd->g.root ? geom_find(&qd->g, "vwPos") : nullptr) {
    geom_set_wnd(&qd->g, "vwPos", vw);
    it->nested = qd->vw.g.root ? &qd->vw.g : nullptr;
    it->rect.w = (int)(vr.right - vr.left);
    it->rect.h = (int)(vr.bottom - vr.top);
    int minw = 0, minh = 0;
    if (!stdvw_min_size(&qd->vw, &minw, &minh)) {
      it->minW = (unsigned)minw;
      it->minH = (unsigned)minh;
    }
    geom_compute(&qd->g);
    RECT cr;
    if (GetClientRect(qd->dlg, &cr)) on_size(qd, (int)cr.right, (int)cr.bottom);
  } else if (HWND pos = GetDlgItem(qd->dlg, IDC_QD_VWPOS)) {
    RECT pr;
    GetWindowRect(pos, &pr);
    MapWindowPoints(nullptr, qd->dlg, reinterpret_cast<POINT*>(&pr), 2);
    MoveWindow(vw, pr.left, pr.top, pr.right - pr.left, pr.bottom - pr.top, TRUE);
  }
  int rc = stdvw_fill(&qd->vw);
  if (HWND first = GetNextDlgTabItem(vw, nullptr, FALSE))
    PostMessageA(qd->dlg, WM_NEXTDLGCTL, (WPARAM)first, TRUE);
  ShowWindow(vw, SW_SHOWNA);
  // a field that does not parse is no failure of showing
  return rc == kParam ? 0 : rc;
}

int quarndlg_min_size(const quarndlg* qd, int* w, int* h) {
  if (!qd || !w || !h) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, w: %p, h: %p.", (const void*)qd, (void*)w, (void*)h);
    return kParam;
  }
  if (!qd->g.root) return 9006;
  *w = qd->g.minWndW;
  *h = qd->g.minWndH;
  return 0;
}

int quarndlg_fwd_cmd(quarndlg* qd, int id, int code) {
  if (!qd) {
    ERR_LOG(ERR_ERR, kParam, "`dlg' is NUL.");
    return kParam;
  }
  if (id != IDC_STD_FIND || qd->vwwnd != qd->vw.dlg) return 0;
  (void)code;
  return stdvw_find(&qd->vw);
}

flistctrl* quarndlg_flistctrl(quarndlg* qd) { return qd ? qd->lc : nullptr; }
flist* quarndlg_flist(quarndlg* qd) { return qd ? &qd->fl : nullptr; }

INT_PTR CALLBACK quarndlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  quarndlg* qd = reinterpret_cast<quarndlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG: {
      quarndlg* rec = reinterpret_cast<quarndlg*>(lp);
      rec->initrc = on_init(dlg, rec);
      return FALSE;
    }
    case WM_SIZE:
      if (qd) on_size(qd, LOWORD(lp), HIWORD(lp));
      return TRUE;
    case WM_NOTIFY: {
      LRESULT r = 0;
      if (qd && qd->lc && flistctrl_notify(qd->lc, reinterpret_cast<NMHDR*>(lp), &r)) {
        SetWindowLongPtrA(dlg, DWLP_MSGRESULT, r);
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (qd && LOWORD(wp) == IDC_STD_FIND) {
        quarndlg_fwd_cmd(qd, LOWORD(wp), HIWORD(wp));
        return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (qd) stop_worker(qd);
      return FALSE;
    case WM_NCDESTROY:
      if (qd) {
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        on_destroy(qd);
      }
      return FALSE;
    default: return FALSE;
  }
}
