// The windowed program's state on its window thread and the operations the main window
// offers to the find dialog, the result list and the dialogs.
#pragma once

#include <windows.h>

#include "c/cmdparser.h"
#include "fio/dgrp.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "quarnw/quarnwcfg.h"
#include "quarnw/quarnwrules.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"
#include "ui/ctlclr.h"
#include "ui/menu.h"
#include "ui/uerrlist.h"
#include "ui/uerrque.h"
#include "ui/wndmap.h"
#include "xrm/appxrm.h"

struct quarndlg;
struct ffiltdlg;
struct finfdlg;

// Command ids of the menus and accelerators.
enum : int {
  IDM_EXDEL = 1013,
  IDM_ABOUT = 40001,
  IDM_MAN = 40003,
  IDM_FCP = 40004,
  IDM_FCUT = 40005,
  IDM_VWSTD = 40006,
  IDM_VWEXT = 40007,
  IDM_VWCMD = 40008,
  IDM_FSORTBYDIR = 40009,
  IDM_FSORTBYNAME = 40010,
  IDM_FSORTBYEXT = 40011,
  IDM_FSORTBYAD = 40012,
  IDM_FSORTBYBD = 40013,
  IDM_FSORTBYMD = 40014,
  IDM_FSORTBYSIZE = 40015,
  IDM_FSORTBYATTR = 40016,
  IDM_FSORTREV = 40017,
  IDM_FUNSORT = 40018,
  IDM_FSORTIGNORECASE = 40019,
  IDM_FGRPDIR1ST = 40020,
  IDM_FPATHDIR1ST = 40021,
  IDM_FCOLS = 40022,
  IDM_FSORTBYPATH = 40023,
  IDM_FSORTBYRPATH = 40024,
  IDM_UERR = 40025,
  IDM_FSORTBYERR = 40026,
  IDM_FEDIT = 40027,
  IDM_FOPEN = 40028,
  IDM_FOPENAS = 40029,
  IDM_FOPENDIR = 40030,
  IDM_EXIT = 40031,
  IDM_FCPTO = 40032,
  IDM_FMVTO = 40033,
  IDM_FDEL = 40034,
  IDM_FATTRIB = 40035,
  IDM_FEXEC = 40036,
  IDM_FINF = 40037,
  IDM_FFILT = 40038,
  IDM_FIRST = IDM_ABOUT,
  IDM_LAST = IDM_FFILT
};

// Private messages of the main window.
enum : UINT { WM_QUARNW_NTF = 32769u, WM_QUARNW_UERR_QUEUED = 32770u, WM_QUARNW_UERR_SHOW = 32771u,
              WM_QUARNW_DND_DONE = 32772u };

// Resources of the program.
enum : int {
  IDR_ACCEL = 101,
  IDD_QUARNDLG = 110,
  IDD_ABOUT = 111,
  IDD_STDVW = 112,
  IDI_QUARNW = 151,
  IDB_ROWIMG = 7450,
  IDD_UERRDLG = 7201,
  IDD_UERRDLG_BOTLIST = 7202,
  IDC_ABOUT_TEXT = 1002,
  IDC_ABOUT_COPYRIGHT = 1003,
  // labels and rule of the standard view (template 112), for its layout
  IDC_STD_PATHLBL = 1032,
  IDC_STD_NAMELBL = 1033,
  IDC_STD_MDLBL = 1034,
  IDC_STD_SIZELBL = 1035,
  IDC_STD_VRULE = 1036
};

// Program-wide state, owned by the window thread.
extern HINSTANCE g_inst;
extern HWND g_main_wnd;
extern HWND g_cur_dlg;       // the dialog whose keys the message loop serves, or nullptr
extern HWND g_saved_focus;   // focus when the main window was last deactivated
extern int g_ole_init;
extern UINT g_cf_preferred_dropeffect;
extern UINT g_cf_performed_dropeffect;
extern int g_cfg_loaded;
extern quarnwcfg g_cfg;      // working settings
extern quarnwcfg g_cfg0;     // start-up copy: database applied, command line not yet
extern cmdp g_cmdp;
extern txr g_txr;
extern appxrm g_xrm;         // its maindb is the resource database
extern syscfg g_syscfg;
extern dgrp g_dgrp;
extern ntf g_ntf;
extern progr g_progr;
extern uerrque g_uerrque;
extern uerrlist g_uerrlist;
extern wndmap g_wndmap;
extern ctlclr g_ctlclr;
extern menu g_menu;          // main menu
extern menu g_flistmenu;     // the list's context menu
extern menu g_cmdmenu;       // command names by id
extern quarndlg* g_quarndlg; // the find dialog, or nullptr
extern ffiltdlg g_ffiltdlg;   // the filter dialog
extern finfdlg g_finfdlg;     // the information dialog

// Start-up through the creation of the main window (no message loop). args: the words of
// the command line after the program name. Returns 0 when the window (or, with -ver, the
// version output or About box) is done; with -ver *ended is set: nothing left to run.
int quarnw_startup(int argc, const char* const* args, int show, int* ended);
// Message loop until the quit message; its code.
int quarnw_loop();
// Shut-down: saves what changed when rc is 0 and the settings were loaded, frees
// everything; the program's result (0 or the first failure).
int quarnw_shutdown(int rc);

// Operations for the other modules (window thread).
void quarnw_update_title();
void quarnw_set_title(const char* text);
// Open (or activate) the filter and the information dialogs.
int quarnw_ffilt_open();
int quarnw_finf_open();
HWND quarnw_cur_dlg();
void quarnw_set_cur_dlg(HWND dlg);
// The text of id in context ctx of the program's text store.
const char* quarnw_text(const char* ctx, const char* id);
