// Start-up, message loop and shut-down of the windowed program; the error route from
// any thread to the error dialog.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>
#include <cstring>

#include "c/futil.h"
#include "c/str.h"
#include "c/ver.h"
#include "dnd/win32/dnd.h"
#include "err/err.h"
#include "err/sigh.h"
#include "quarnw/resimg.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_wnd.h"
#include "txr/apptxr.h"

HINSTANCE g_inst;
HWND g_main_wnd;
HWND g_cur_dlg;
HWND g_saved_focus;
int g_ole_init;
UINT g_cf_preferred_dropeffect;
UINT g_cf_performed_dropeffect;
int g_cfg_loaded;
quarnwcfg g_cfg;
quarnwcfg g_cfg0;
cmdp g_cmdp;
txr g_txr;
appxrm g_xrm;
syscfg g_syscfg;
dgrp g_dgrp;
ntf g_ntf;
progr g_progr;
uerrque g_uerrque;
uerrlist g_uerrlist;
wndmap g_wndmap;
ctlclr g_ctlclr;
menu g_menu;
menu g_flistmenu;
menu g_cmdmenu;
quarndlg* g_quarndlg;

namespace {

constexpr const char* kApp = "quarnw";
constexpr const char* kVendor = "moxware";
constexpr unsigned kPwdSize = 32768;

int g_subscribed;  // notifications 100, 101 and 10 are subscribed
int g_started;     // start-up ran and shut-down has not: shut-down runs once

const char* ver_nvp(char* buf, unsigned size) {
  int rc = 0;
  ver_text(&app_ver, "nvp", " ", buf, size, &rc);
  return buf;
}

// The user's configuration directory must exist before anything is read from or
// written to it; one that cannot be made ends start-up.
int make_cfgdir(const char* dir) {
  if (!dir || !*dir || mox_is_dir(dir)) return 0;
  if (CreateDirectoryA(dir, nullptr)) return 0;
  const int e = (int)GetLastError();
  ERR_USER(ERR_ERR, e ? e : 9001, "Cannot create the configuration directory `%s'.", dir);
  return e ? e : 9001;
}

int on_open_info(int, void* data, void*) {
  if (int rc = quarnw_finf_open()) return rc;
  return ntf_post(&g_ntf, NTF_SHOW_INFO, data, nullptr);
}

int on_research(int, void*, void*) {
  if (g_quarndlg && g_quarndlg->dlg && !PostMessageA(g_quarndlg->dlg, WM_COMMAND, MAKEWPARAM(1004, 1), 0))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "PostMessage() failed - dlg: %p.", (void*)g_quarndlg->dlg);
  return 0;
}

int on_progress(int, void* data, void*) {
  progr* p = static_cast<progr*>(data ? data : &g_progr);
  if (progr_lock(p)) return 0;
  quarnw_set_title(p->text);  // the text is read while the lock is held
  progr_unlock(p);
  return 0;
}

int subscribe() {
  int rc = ntf_add(&g_ntf, NTF_OPEN_INFO, nullptr, on_open_info, nullptr);
  if (!rc) rc = ntf_add(&g_ntf, NTF_RESEARCH, nullptr, on_research, nullptr);
  if (!rc) rc = ntf_add(&g_ntf, NTF_PROGRESS, nullptr, on_progress, nullptr);
  g_subscribed = 1;
  return rc;
}

void unsubscribe() {
  if (!g_subscribed) return;
  ntf_del(&g_ntf, NTF_OPEN_INFO, nullptr, on_open_info, nullptr);
  ntf_del(&g_ntf, NTF_RESEARCH, nullptr, on_research, nullptr);
  ntf_del(&g_ntf, NTF_PROGRESS, nullptr, on_progress, nullptr);
  g_subscribed = 0;
}

void clear_records() {
  g_inst = nullptr;
  g_main_wnd = g_cur_dlg = g_saved_focus = nullptr;
  g_ole_init = 0;
  g_cf_preferred_dropeffect = g_cf_performed_dropeffect = 0;
  g_cfg_loaded = 0;
  g_quarndlg = nullptr;
  memset(&g_cmdp, 0, sizeof g_cmdp);
  memset(&g_txr, 0, sizeof g_txr);
  memset(&g_xrm, 0, sizeof g_xrm);
  memset(&g_dgrp, 0, sizeof g_dgrp);
  memset(&g_ntf, 0, sizeof g_ntf);
  memset(&g_progr, 0, sizeof g_progr);
  memset(&g_menu, 0, sizeof g_menu);
  memset(&g_flistmenu, 0, sizeof g_flistmenu);
  memset(&g_cmdmenu, 0, sizeof g_cmdmenu);
  syscfg_clear(&g_syscfg);
  quarnwcfg_init(&g_cfg);
  quarnwcfg_init(&g_cfg0);
  wndmap_init(&g_wndmap);
  ctlclr_init(&g_ctlclr);
}

int load_settings() {
  int rc = quarnwcfg_set_dflts(&g_cfg);
  if (!rc) rc = quarnwcfg_get_xrm(&g_cfg, g_xrm.maindb);
  if (!rc) rc = quarnwcfg_set_dflts(&g_cfg0);
  if (!rc) rc = quarnwcfg_copy(&g_cfg0, &g_cfg);
  if (!rc) rc = quarnwcfg_get_cmdp(&g_cfg, &g_cmdp);
  if (!rc) g_cfg_loaded = 1;
  return rc;
}

int load_dgrp() {
  int rc = dgrp_init(&g_dgrp, &g_syscfg);
  if (!rc && g_cfg.dgrp_num == QUARNW_DGRP_USR)
    rc = dgrp_set_usr(&g_dgrp, &g_syscfg, g_cfg.dgrp_num_usrFmt, g_cfg.dgrp_num_usrGrpsep, g_cfg.dgrp_num_usrDecmark);
  return rc;
}

// -ver: the version record to ver-out, or the About box alone.
int show_version() {
  const char* fmt = nullptr;
  cmdp_has_op(&g_cmdp, "ver", &fmt);
  const char* out = cmdp_last_op(&g_cmdp, "ver-out");
  if (out && *out) return ver_print(&app_ver, fmt && *fmt ? fmt : "nvp", out);
  return quarnw_about(nullptr);
}

}  // namespace

int quarnw_startup(int argc, const char* const* args, int show, int* ended) {
  int dummy = 0;
  if (!ended) ended = &dummy;
  *ended = 0;
  char buf[256];
  ERR_LOG(ERR_INFO, 0, "%s begin.", ver_nvp(buf, sizeof buf));
  {
    static char pwd[kPwdSize];
    if (GetCurrentDirectoryA(sizeof pwd, pwd)) ERR_LOG(ERR_DBG, 0, "pwd: `%s'.", pwd);
  }
  sigh_install();
  clear_records();
  g_started = 1;

  int rc = uerrlist_init(&g_uerrlist);
  if (!rc) rc = uerrque_init(&g_uerrque, &g_main_wnd);
  g_inst = GetModuleHandleA(nullptr);
  if (!rc) rc = cmdp_init(&g_cmdp);
  if (rc) return rc;
  if (const char* env = getenv("QUARNW"); env && *env)
    if ((rc = cmdp_parse_str(&g_cmdp, env, 0, nullptr))) return rc;
  if ((rc = cmdp_parse_argv(&g_cmdp, argc, args))) return rc;

  const char* cfgdir = cmdp_last_op(&g_cmdp, "cfgdir");
  if ((rc = make_cfgdir(cfgdir))) return rc;
  rc = apptxr_load(&g_txr, cmdp_last_op(&g_cmdp, "lang"), kApp, kVendor, quarnw_txr_img, quarnw_txr_img_size, cfgdir,
                   cmdp_last_op(&g_cmdp, "txr"));
  if (rc) return rc;
  rc = appxrm_init(&g_xrm, kApp, kVendor, nullptr, &g_txr, quarnw_xrm_img, quarnw_xrm_img_size, cfgdir,
                   cmdp_last_op(&g_cmdp, "cfg"), cmdp_last_op(&g_cmdp, "usrcfg"));
  if (rc) return rc;
  if ((rc = syscfg_init(&g_syscfg))) return rc;
  rc = syscfg_load(&g_syscfg, SYSCFG_FMTS | SYSCFG_KBD | SYSCFG_SM, SYSCFG_FMT_DGRP | SYSCFG_FMT_TIME, g_xrm.maindb);
  if (rc) return rc;
  if ((rc = load_settings())) return rc;
  if ((rc = load_dgrp())) return rc;
  if ((rc = ntf_init(&g_ntf, &g_main_wnd, WM_QUARNW_NTF))) return rc;
  if ((rc = progr_init(&g_progr, &g_cfg))) return rc;
  wndmap_init(&g_wndmap);
  ctlclr_init(&g_ctlclr);

  INITCOMMONCONTROLSEX icc{8, ICC_LISTVIEW_CLASSES};
  if (!InitCommonControlsEx(&icc)) {
    ERR_LOG(ERR_ERR, 9001, "InitCommonControlsEx() failed.");
    return 9001;
  }
  if (FAILED(OleInitialize(nullptr))) {
    ERR_LOG(ERR_ERR, 9002, "OleInitialize() failed.");
    return 9002;
  }
  g_ole_init = 1;
  if (!(g_cf_preferred_dropeffect = RegisterClipboardFormatA("Preferred DropEffect")))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "RegisterClipboardFormat() failed.");
  if (!(g_cf_performed_dropeffect = RegisterClipboardFormatA("Performed DropEffect")))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "RegisterClipboardFormat() failed.");
  dnd_set_env(g_cf_preferred_dropeffect, g_cf_performed_dropeffect, &g_txr, &g_ntf);

  if (cmdp_has(&g_cmdp, "ver")) {
    *ended = 1;
    return show_version();
  }
  if ((rc = quarnw_create_main(show))) return rc;
  return subscribe();
}

int quarnw_loop() {
  HACCEL acc = LoadAcceleratorsA(g_inst, MAKEINTRESOURCEA(IDR_ACCEL));
  if (!acc) ERR_LOG(ERR_ERR, (int)GetLastError(), "LoadAccelerators() failed - id: %d.", IDR_ACCEL);
  MSG msg;
  BOOL r;
  while ((r = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
    if (r == -1) {
      ERR_LOG(ERR_ERR, (int)GetLastError(), "GetMessage() failed.");
      return 9001;
    }
    if (acc && g_main_wnd && TranslateAcceleratorA(g_main_wnd, acc, &msg)) continue;
    if (g_cur_dlg && IsDialogMessageA(g_cur_dlg, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return (int)msg.wParam;
}

int quarnw_shutdown(int rc) {
  if (!g_started) return rc;  // the session's end ran it already
  g_started = 0;
  unsubscribe();
  if (g_ole_init) {
    dnd_release_clipboard(1);  // what was copied stays for other programs
    OleUninitialize();
    g_ole_init = 0;
  }
  if (!rc && g_cfg_loaded && g_xrm.maindb) {
    rc = quarnwcfg_save(&g_cfg, &g_cfg0, g_xrm.maindb);
    if (!rc) rc = appxrm_save(&g_xrm);
  }
  g_cfg_loaded = 0;
  menu_free(&g_menu);
  menu_free(&g_flistmenu);
  menu_free(&g_cmdmenu);
  ntf_free(&g_ntf);
  progr_free(&g_progr);
  wndmap_free(&g_wndmap);
  ctlclr_free(&g_ctlclr);
  txr_free(&g_txr);
  appxrm_free(&g_xrm);
  syscfg_free(&g_syscfg);
  dgrp_free(&g_dgrp);
  cmdp_free(&g_cmdp);
  quarnwcfg_free(&g_cfg);
  quarnwcfg_free(&g_cfg0);
  uerrlist_free(&g_uerrlist);
  uerrque_free(&g_uerrque);
  char buf[256];
  ERR_LOG(ERR_INFO, 0, "%s end.", ver_nvp(buf, sizeof buf));
  return rc;
}

HWND quarnw_cur_dlg() { return g_cur_dlg; }
void quarnw_set_cur_dlg(HWND dlg) { g_cur_dlg = dlg; }

const char* quarnw_text(const char* ctx, const char* id) {
  const char* t = txr_get(&g_txr, ctx, id);
  return t ? t : id;
}

// Reports waiting in the queue move into the list; the dialog is shown by a second message.
int quarnw_uerr_queued() { return uerrque_move(&g_uerrque, &g_uerrlist); }
