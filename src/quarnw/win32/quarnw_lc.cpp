#include "quarnw/win32/quarnw_lc.h"

#include "dnd/win32/dnd.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/win32/fattribdlg.h"
#include "fm/win32/fdeldlg.h"
#include "fm/win32/flistchg.h"
#include "fm/win32/fmvdlg.h"
#include "quarnw/win32/flistctrl.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "ui/win32/lvw.h"
#include "ui/win32/lvwcoldlg.h"

namespace {

flistctrl* control(quarndlg* qd) { return qd ? quarndlg_flistctrl(qd) : nullptr; }

}  // namespace

int quarnw_lc_counts(quarndlg* qd, unsigned* usable, unsigned* selected) {
  if (!usable || !selected) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qd: %p, usable: %p, selected: %p.", (void*)qd, (void*)usable,
            (void*)selected);
    return 9003;
  }
  *usable = *selected = 0;
  const flistctrl* lc = control(qd);
  if (!lc) return 0;
  *usable = flistctrl_usable_count(lc);
  *selected = flistctrl_selected_count(lc);
  return 0;
}

int quarnw_lc_run(quarndlg* qd, const char* id) {
  flistctrl* lc = control(qd);
  return lc ? flistctrl_run_cmd(lc, id) : 0;
}

int quarnw_lc_opendir(quarndlg* qd) {
  flistctrl* lc = control(qd);
  return lc ? flistctrl_open_dir(lc) : 0;
}

int quarnw_lc_clipboard(quarndlg* qd, unsigned long effect) {
  flistctrl* lc = control(qd);
  if (!lc) return 0;
  list recs{};
  int rc = list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  if (!rc) rc = flistctrl_collect(lc, &recs);
  if (!rc && list_count(&recs))
    rc = dnd_copy(quarndlg_flist(qd), &recs, (DWORD)effect, g_main_wnd, WM_QUARNW_DND_DONE, g_cfg.dnd_bufszK);
  list_v_free(&recs);
  return rc;
}

int quarnw_lc_handed(quarndlg* qd) {
  flist* fl = qd ? quarndlg_flist(qd) : nullptr;
  return fl ? flist_check_handed(fl, &g_ntf, fl) : 0;
}

int quarnw_lc_cols(quarndlg* qd) {
  flistctrl* lc = control(qd);
  if (!lc || !lc->lv) return 0;
  lvwcoldlg d{};
  lvwcoldlg_init(&d);
  // applying posts notification 1 for the set: the list rebuilds its columns then
  int rc = lvwcoldlg_set(&d, &lc->lv->lc, &g_txr, "flist.col.name", &g_ntf);
  INT_PTR result = 0;
  if (!rc) rc = lvwcoldlg_run(&d, g_inst, g_main_wnd, &result);
  lvwcoldlg_free(&d);
  return rc;
}

namespace {

// Runs open on the usable records of the list, the clipboard's data object released first.
template <typename F>
int on_usable(quarndlg* qd, F open) {
  flistctrl* lc = control(qd);
  if (!lc) return 0;
  list recs{};
  int rc = list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  if (!rc) rc = flistctrl_collect(lc, &recs);
  if (!rc && recs.count) {
    dnd_release_clipboard();
    const fopenv env{g_inst, &g_txr, g_xrm.maindb, &g_ntf, &g_dgrp, &g_syscfg};
    rc = open(env, recs);
  }
  list_v_free(&recs);
  return rc;
}

}  // namespace

int quarnw_lc_fop(quarndlg* qd, int move) {
  return on_usable(qd, [move](const fopenv& env, const list& recs) {
    fcpdlg d{};
    fcpdlg_init(&d);
    const int rc = move ? fmvdlg_open(&d, &g_cfg.fmvdlg, &env, &recs, g_main_wnd, &g_progr)
                        : fcpdlg_open(&d, &g_cfg.fcpdlg, &env, &recs, g_main_wnd, &g_progr);
    fcpdlg_free(&d);
    return rc;
  });
}

int quarnw_lc_del(quarndlg* qd, int perm) {
  return on_usable(qd, [perm](const fopenv& env, const list& recs) {
    fdeldlg d{};
    fdeldlg_init(&d);
    const int rc = fdeldlg_open(&d, &g_cfg.fdeldlg, &env, &recs, g_main_wnd, &g_progr, perm);
    fdeldlg_free(&d);
    return rc;
  });
}

int quarnw_lc_attrib(quarndlg* qd) {
  return on_usable(qd, [](const fopenv& env, const list& recs) {
    fattribdlg d{};
    fattribdlg_init(&d);
    const int rc = fattribdlg_open(&d, &g_cfg.fattribdlg, &env, &recs, g_main_wnd, &g_progr);
    fattribdlg_free(&d);
    return rc;
  });
}
