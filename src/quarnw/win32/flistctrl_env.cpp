// The result list's environment in the program: the main window's state. Apart from the
// control so that tests of the control need not link the program.
#include "quarnw/win32/flistctrl.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"

namespace {

void title(void*) { quarnw_update_title(); }
int busy(void*) { return g_quarndlg && quarndlg_running(g_quarndlg); }

}  // namespace

const flistctrl_env* flistctrl_env_prog() {
  static flistctrl_env env;
  env.main_wnd = g_main_wnd;  // read at each call: the window may come after the first one
  env.inst = g_inst;
  env.cfg = &g_cfg;
  env.tx = &g_txr;
  env.rdb = g_xrm.maindb;
  env.hub = &g_ntf;
  env.dg = &g_dgrp;
  env.sc = &g_syscfg;
  env.flistmenu = &g_flistmenu;
  env.update_title = title;
  env.busy = busy;
  return &env;
}
