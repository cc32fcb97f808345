// The main window: class, placement, menus, message handling, command dispatch and
// enabling, title, About box and the error dialog route.
#include "quarnw/win32/quarnw_wnd.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "c/ver.h"
#include "err/err.h"
#include "fio/wndf.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_export.h"
#include "quarnw/win32/quarnw_lc.h"
#include "fm/win32/ffiltdlg.h"
#include "fm/win32/finfdlg.h"
#include "ui/win32/uerrdlg.h"
#include "xrm/xrm_menu.h"

namespace {

constexpr const char* kClass = "quarnw";
constexpr unsigned kAboutSize = 8192;

// The command table of the menus: exDel first, the rest by name without case.
constexpr xrm_idmap kCmdIds[] = {
    {"exDel", IDM_EXDEL},
    {"about", IDM_ABOUT},
    {"exit", IDM_EXIT},
    {"fattrib", IDM_FATTRIB},
    {"fcols", IDM_FCOLS},
    {"fcp", IDM_FCP},
    {"fcpcmdln", IDM_FCPCMDLN},
    {"fcpto", IDM_FCPTO},
    {"fcut", IDM_FCUT},
    {"fdel", IDM_FDEL},
    {"fedit", IDM_FEDIT},
    {"fexec", IDM_FEXEC},
    {"ffilt", IDM_FFILT},
    {"fgrpdir1st", IDM_FGRPDIR1ST},
    {"finf", IDM_FINF},
    {"fmvto", IDM_FMVTO},
    {"fopen", IDM_FOPEN},
    {"fopenas", IDM_FOPENAS},
    {"fopendir", IDM_FOPENDIR},
    {"fpathdir1st", IDM_FPATHDIR1ST},
    {"fsave", IDM_FSAVE},
    {"fsortByAd", IDM_FSORTBYAD},
    {"fsortByAttr", IDM_FSORTBYATTR},
    {"fsortByBd", IDM_FSORTBYBD},
    {"fsortByDir", IDM_FSORTBYDIR},
    {"fsortByErr", IDM_FSORTBYERR},
    {"fsortByExt", IDM_FSORTBYEXT},
    {"fsortByMd", IDM_FSORTBYMD},
    {"fsortByName", IDM_FSORTBYNAME},
    {"fsortByPath", IDM_FSORTBYPATH},
    {"fsortByRPath", IDM_FSORTBYRPATH},
    {"fsortBySize", IDM_FSORTBYSIZE},
    {"fsortIgnorecase", IDM_FSORTIGNORECASE},
    {"fsortrev", IDM_FSORTREV},
    {"fUnsort", IDM_FUNSORT},
    {"man", IDM_MAN},
    {"uerr", IDM_UERR},
    {"vwCmd", IDM_VWCMD},
    {"vwExt", IDM_VWEXT},
    {"vwStd", IDM_VWSTD},
};
constexpr unsigned kNCmdIds = sizeof kCmdIds / sizeof kCmdIds[0];

// The list commands whose enabling depends on the counts.
constexpr int kListCmds[] = {IDM_FCP,  IDM_FCUT,  IDM_FCPTO,   IDM_FMVTO,    IDM_FDEL,  IDM_FATTRIB,
                             IDM_FEDIT, IDM_FOPEN, IDM_FOPENAS, IDM_FOPENDIR, IDM_FEXEC, IDM_FSAVE};

uerrdlg g_uerrdlg;

int last_error() {
  const int e = (int)GetLastError();
  return e ? e : 9001;
}

const char* cmd_name(int idm) {
  for (const xrm_idmap& m : kCmdIds)
    if (m.val == idm) return m.id;
  return nullptr;
}

bool machine_running() { return g_quarndlg && quarndlg_running(g_quarndlg); }

// The state of one entry of a built menu; entries a menu does not have are passed over.
void menu_state(menu* m, const char* id, int enable, int check) {
  if (!m->wmenu) return;
  menu_item* it = menu_find(m, id);
  if (!it || !it->wmenu) return;
  if (enable >= 0) menu_enable(m, id, enable);
  if (check >= 0) menu_check(m, id, check);
}

int build_menus(HWND wnd) {
  int rc = menu_init(&g_menu, "menu");
  if (!rc) rc = menu_init(&g_flistmenu, "flistMenu");
  if (!rc) rc = xrm_menu_load(g_xrm.maindb, "menu", nullptr, 1, "menu.name", &g_menu, kNCmdIds, kCmdIds);
  if (!rc) rc = menu_build_bar(&g_menu);
  if (!rc) rc = xrm_menu_load(g_xrm.maindb, "flistMenu", nullptr, 1, "flistMenu.name", &g_flistmenu, kNCmdIds, kCmdIds);
  if (!rc) rc = menu_build_popup(&g_flistmenu);
  if (!rc) rc = menu_init(&g_cmdmenu, "cmd");
  for (unsigned i = 0; !rc && i < kNCmdIds; ++i)
    if (!menu_add(&g_cmdmenu, nullptr, kCmdIds[i].id, kCmdIds[i].val, nullptr, 1, &rc)) rc = rc ? rc : 9004;
  if (rc) return rc;
  if (!SetMenu(wnd, static_cast<HMENU>(g_menu.wmenu))) {
    ERR_LOG(ERR_ERR, last_error(), "SetMenu() failed - wnd: %p, wmenu: %p.", (void*)wnd, g_menu.wmenu);
    return last_error();
  }
  return 0;
}

void store_placement(HWND wnd) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  if (!GetWindowPlacement(wnd, &wp)) {
    ERR_LOG(ERR_ERR, last_error(), "GetWindowPlacement() failed - wnd: %p.", (void*)wnd);
    return;
  }
  static_assert(sizeof wp == sizeof g_cfg.frame_wp, "placement layout");
  memcpy(&g_cfg.frame_wp, &wp, sizeof wp);
  g_cfg.frame_wp_size = sizeof wp;
}

// Keeps the frame at least as large as the find dialog's layout needs.
void on_sizing(HWND wnd, WPARAM edge, RECT* r) {
  int minw = 0, minh = 0;
  if (!g_quarndlg || quarndlg_min_size(g_quarndlg, &minw, &minh)) return;
  RECT wr, cr;
  if (!GetWindowRect(wnd, &wr)) {
    ERR_LOG(ERR_ERR, last_error(), "GetWindowRect() failed - wnd: %p.", (void*)wnd);
    return;
  }
  if (!GetClientRect(wnd, &cr)) {
    ERR_LOG(ERR_ERR, last_error(), "GetClientRect() failed - wnd: %p.", (void*)wnd);
    return;
  }
  minw += (wr.right - wr.left) - (cr.right - cr.left);
  minh += (wr.bottom - wr.top) - (cr.bottom - cr.top);
  if (r->right - r->left < minw) {
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
      r->left = r->right - minw;
    else
      r->right = r->left + minw;
  }
  if (r->bottom - r->top < minh) {
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
      r->top = r->bottom - minh;
    else
      r->bottom = r->top + minh;
  }
}

void on_size(HWND wnd) {
  store_placement(wnd);
  if (!g_quarndlg || !g_quarndlg->dlg) return;
  RECT cr;
  if (GetClientRect(wnd, &cr))
    SetWindowPos(g_quarndlg->dlg, nullptr, 0, 0, cr.right, cr.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void on_activate(HWND wnd, WPARAM wp) {
  if (LOWORD(wp) != WA_INACTIVE) {
    g_cur_dlg = g_quarndlg ? g_quarndlg->dlg : nullptr;
  } else if (!HIWORD(wp)) {
    HWND f = GetFocus();
    g_saved_focus = f && IsChild(wnd, f) ? f : nullptr;
    g_cur_dlg = nullptr;
  }
}

void on_setfocus(HWND wnd) {
  if (g_saved_focus && IsWindowEnabled(wnd) && IsWindow(g_saved_focus) && !SetFocus(g_saved_focus))
    ERR_LOG(ERR_ERR, last_error(), "SetFocus() failed [%p].", (void*)g_saved_focus);
}

int sort_again() { return g_quarndlg ? quarndlg_sort(g_quarndlg) : 0; }

int sort_by(int idm) {
  const char* col = quarnw_sortcol(idm);
  const char* keys = quarnwcfg_sortby_of(&g_cfg, col);
  if (!keys) return 9012;
  char name[64];
  int revdflt = 0;
  mox_snprintf(name, sizeof name, "flist.col.%s.sortrevDflt", col);
  if (xrm_get(g_xrm.maindb, name, nullptr, 1, VAL_BOOL, &revdflt, nullptr, nullptr, nullptr)) revdflt = 0;
  const int rc = quarnw_sort_choose(&g_cfg, keys, revdflt);
  return rc ? rc : sort_again();
}

int run_man(HWND wnd) {
  char dir[MAX_PATH];
  const DWORD n = GetModuleFileNameA(g_inst, dir, sizeof dir);
  if (!n || n >= sizeof dir) {
    ERR_LOG(ERR_ERR, last_error(), "GetModuleFileName() failed - g_inst: %#X.", (unsigned)(uintptr_t)g_inst);
    return last_error();
  }
  if (char* sep = strrchr(dir, '\\')) sep[1] = 0;
  int err = 0;
  const cmd* c = cmdlist_find(&g_cfg.cmd, "man", &err);
  if (!c) {
    ERR_LOG(ERR_ERR, err ? err : 9006, "`%s' not found.", "man");
    return err ? err : 9006;
  }
  return cmd_run(c, nullptr, dir, wnd);
}

// The counts the enabling rules take; selected 0 and usable 0 without a list.
void list_counts(unsigned* usable, unsigned* selected) {
  *usable = *selected = 0;
  if (g_quarndlg) quarnw_lc_counts(g_quarndlg, usable, selected);
}

bool enabled_now(int idm) {
  unsigned usable, selected;
  list_counts(&usable, &selected);
  int on = 0;
  return quarnw_cmd_enabled(idm, usable, selected, &on) == 0 && on;
}

int file_command(int idm) {
  if (machine_running() || !enabled_now(idm)) return 0;
  switch (idm) {
    case IDM_FOPEN:
    case IDM_FEDIT:
    case IDM_FOPENAS: return quarnw_lc_run(g_quarndlg, cmd_name(idm));
    case IDM_FOPENDIR: return quarnw_lc_opendir(g_quarndlg);
    case IDM_FCP: return quarnw_lc_clipboard(g_quarndlg, DROPEFFECT_COPY);
    case IDM_FCUT: return quarnw_lc_clipboard(g_quarndlg, DROPEFFECT_MOVE);
    case IDM_FCPTO: return quarnw_lc_fop(g_quarndlg, 0);
    case IDM_FMVTO: return quarnw_lc_fop(g_quarndlg, 1);
    // Shift at the command deletes for good
    case IDM_FDEL: return quarnw_lc_del(g_quarndlg, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
    case IDM_FATTRIB: return quarnw_lc_attrib(g_quarndlg);
    default: return 0;
  }
}

}  // namespace

const frec* focused_rec();

int quarnw_command(int idm) {
  HWND wnd = g_main_wnd;
  switch (idm) {
    case IDM_ABOUT: return quarnw_about(wnd);
    case IDM_MAN: return run_man(wnd);
    case IDM_FOPEN:
    case IDM_FEDIT:
    case IDM_FOPENAS:
    case IDM_FOPENDIR:
    case IDM_FCP:
    case IDM_FCUT:
    case IDM_FCPTO:
    case IDM_FMVTO:
    case IDM_FDEL:
    case IDM_FATTRIB: return file_command(idm);
    case IDM_VWSTD:
      g_cfg.view = QUARNW_VIEW_STD;
      menu_state(&g_menu, "vwStd", -1, 1);
      return g_quarndlg ? quarndlg_show_view(g_quarndlg) : 0;
    case IDM_FSORTREV:
      if (machine_running()) return 0;
      g_cfg.sortrev = !g_cfg.sortrev;
      return sort_again();
    case IDM_FUNSORT:
      if (machine_running()) return 0;
      g_cfg.sortby[0] = 0;
      g_cfg.sortrev = 0;
      return sort_again();
    case IDM_FSORTIGNORECASE:
      if (machine_running()) return 0;
      g_cfg.sort_ignorecase = !g_cfg.sort_ignorecase;
      return g_cfg.sortby[0] ? sort_again() : 0;
    case IDM_FGRPDIR1ST:
    case IDM_FPATHDIR1ST:
      if (machine_running()) return 0;
      return quarnw_toggle_dir1st(&g_cfg, idm == IDM_FGRPDIR1ST) ? sort_again() : 0;
    case IDM_FCOLS: return g_quarndlg ? quarnw_lc_cols(g_quarndlg) : 0;
    case IDM_FSAVE: return machine_running() || !enabled_now(idm) ? 0 : quarnw_save_results(wnd);
    case IDM_FCPCMDLN: return quarnw_copy_cmdln(wnd);
    case IDM_UERR: return quarnw_uerr_show();
    case IDM_FFILT: return quarnw_ffilt_open();
    case IDM_FINF: {
      int rc = quarnw_finf_open();
      if (!rc) rc = ntf_post(&g_ntf, NTF_SHOW_INFO, const_cast<frec*>(focused_rec()), nullptr);
      return rc;
    }
    case IDM_EXIT:
      if (!PostMessageA(wnd, WM_CLOSE, 0, 0)) ERR_LOG(ERR_ERR, last_error(), "PostMessage() failed - wnd: %p.", (void*)wnd);
      return 0;
    default:
      if (quarnw_sortcol(idm)) return machine_running() ? 0 : sort_by(idm);
      return 0;  // no action here (vwExt, vwCmd, fexec) or a dialog of its own module
  }
}

int quarnw_menu_states() {
  unsigned usable, selected;
  list_counts(&usable, &selected);
  menu* menus[] = {&g_menu, &g_flistmenu};
  for (menu* m : menus) {
    for (int idm : kListCmds) {
      int on = 0;
      if (quarnw_cmd_enabled(idm, usable, selected, &on)) {
        ERR_LOG(ERR_ERR, 9003, "Invalid param - idm: `%s', listctrl: %p.", mox_nul(cmd_name(idm)), (void*)g_quarndlg);
        continue;
      }
      menu_state(m, cmd_name(idm), on, -1);
    }
    bool marked = false;
    for (const xrm_idmap& c : kCmdIds) {
      const char* col = quarnw_sortcol(c.val);
      if (!col) continue;
      const char* keys = quarnwcfg_sortby_of(&g_cfg, col);
      const int on = !marked && keys && strcmp(keys, g_cfg.sortby) == 0;
      marked = marked || on;
      menu_state(m, c.id, -1, on);
    }
    menu_state(m, "fsortrev", -1, g_cfg.sortrev);
    menu_state(m, "fsortIgnorecase", -1, g_cfg.sort_ignorecase);
    menu_state(m, "fgrpdir1st", -1, g_cfg.grpdir1st);
    menu_state(m, "fpathdir1st", -1, g_cfg.pathdir1st);
    menu_state(m, "vwStd", -1, g_cfg.view == QUARNW_VIEW_STD);
    menu_state(m, "vwExt", -1, g_cfg.view == QUARNW_VIEW_EXT);
    menu_state(m, "vwCmd", -1, g_cfg.view == QUARNW_VIEW_CMD);
    menu_state(m, "ffilt", -1, ffiltdlg_is_open(&g_ffiltdlg));
    menu_state(m, "finf", -1, finfdlg_is_open(&g_finfdlg));
  }
  return 0;
}

void quarnw_update_title() {
  if (!g_main_wnd) return;
  int count = 0, focus = -1;
  if (g_quarndlg && g_quarndlg->dlg)
    if (HWND lv = GetDlgItem(g_quarndlg->dlg, IDC_QD_FLIST)) {
      count = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
      focus = (int)SendMessageA(lv, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    }
  char title[QUARNW_TITLE_SIZE];
  if (quarnw_title_fmt(title, sizeof title, g_cfg.path, (int)g_cfg.title_path_max, count, focus, g_cfg.title)) return;
  quarnw_set_title(title);
}

void quarnw_set_title(const char* text) {
  if (g_main_wnd && !SetWindowTextA(g_main_wnd, text ? text : ""))
    ERR_LOG(ERR_ERR, last_error(), "SetWindowText() failed - wnd: %p.", (void*)g_main_wnd);
}

ffiltdlg g_ffiltdlg;
finfdlg g_finfdlg;

namespace {

// A modeless dialog serves its own keys while active; the find dialog takes them back.
void dlg_activated(HWND dlg, int active) {
  if (active)
    g_cur_dlg = dlg;
  else if (g_cur_dlg == dlg)
    g_cur_dlg = nullptr;
}

}  // namespace

// The record of the focused row, or nullptr.
const frec* focused_rec() {
  if (!g_quarndlg || !g_quarndlg->dlg) return nullptr;
  HWND lv = GetDlgItem(g_quarndlg->dlg, IDC_QD_FLIST);
  const int focus = lv ? (int)SendMessageA(lv, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) : -1;
  const int count = lv ? (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0) : 0;
  return focus >= 0 && focus < count ? flist_get(&g_quarndlg->fl, (unsigned)focus) : nullptr;
}

int quarnw_ffilt_open() {
  g_ffiltdlg.on_activate = dlg_activated;
  return ffiltdlg_open(&g_ffiltdlg, g_inst, g_main_wnd);
}

int quarnw_finf_open() {
  g_finfdlg.on_activate = dlg_activated;
  return finfdlg_open(&g_finfdlg, g_inst, g_main_wnd);
}

int quarnw_uerr_show() {
  if (uerrdlg_is_open(&g_uerrdlg)) return uerrdlg_refresh(&g_uerrdlg);
  HWND owner = g_cur_dlg ? g_cur_dlg : g_main_wnd;
  return uerrdlg_run(&g_uerrdlg, &g_cfg.uerrdlg, &g_uerrlist, g_inst, owner);
}

// --- the window ------------------------------------------------------------------

namespace {

LRESULT on_create(HWND wnd) {
  g_main_wnd = wnd;
  uerrdlg_init(&g_uerrdlg, g_xrm.maindb, &g_txr, &g_syscfg);
  ffiltdlg_init(&g_ffiltdlg, &g_cfg.ffiltdlg, g_xrm.maindb, &g_txr, &g_ctlclr);
  finfdlg_init(&g_finfdlg, &g_cfg.finfdlg, g_xrm.maindb, &g_txr, &g_syscfg, &g_dgrp, &g_ntf);
  int rc = build_menus(wnd);
  if (!rc) rc = quarndlg_create(wnd, &g_quarndlg);
  // open at the last exit: open again
  if (!rc && g_cfg.ffiltdlg.open) rc = quarnw_ffilt_open();
  if (!rc && g_cfg.finfdlg.open) rc = quarnw_finf_open();
  return rc ? -1 : 0;
}

int pref(const char* text, int (*conv)(HWND, const char*, int*), int* out) {
  return text && *text && conv(nullptr, text, out) == 0;
}

}  // namespace

LRESULT CALLBACK quarnw_wndproc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE: return on_create(wnd);
    case WM_DESTROY:
      SetMenu(wnd, nullptr);
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      menu_destroy(&g_menu);
      menu_destroy(&g_flistmenu);
      uerrdlg_free(&g_uerrdlg);
      ffiltdlg_free(&g_ffiltdlg);
      finfdlg_free(&g_finfdlg);
      g_main_wnd = nullptr;
      g_quarndlg = nullptr;
      g_cur_dlg = g_saved_focus = nullptr;
      break;
    case WM_MOVE: store_placement(wnd); break;
    case WM_SIZE: on_size(wnd); return 0;
    case WM_SIZING: on_sizing(wnd, wp, reinterpret_cast<RECT*>(lp)); return TRUE;
    case WM_ACTIVATE: on_activate(wnd, wp); return 0;
    case WM_SETFOCUS: on_setfocus(wnd); return 0;
    case WM_CLOSE:
      if (machine_running()) {
        progr_cancel(&g_progr);
        return 0;
      }
      break;
    case WM_ENDSESSION:
      if (wp) quarnw_shutdown(0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wp) >= IDM_FIRST && LOWORD(wp) <= IDM_LAST) {
        quarnw_command(LOWORD(wp));
        return 0;
      }
      break;
    case WM_INITMENUPOPUP: quarnw_menu_states(); return 0;
    case WM_QUARNW_NTF: ntf_dispatch(&g_ntf); return 0;
    case WM_QUARNW_UERR_QUEUED: quarnw_uerr_queued(); return 0;
    case WM_QUARNW_UERR_SHOW: quarnw_uerr_show(); return 0;
    case WM_QUARNW_DND_DONE:
      if (g_quarndlg) quarnw_lc_handed(g_quarndlg);
      return 0;
    default: break;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

int quarnw_create_main(int show) {
  WNDCLASSA wc{};
  wc.style = CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = quarnw_wndproc;
  wc.hInstance = g_inst;
  wc.hIcon = LoadIconA(g_inst, MAKEINTRESOURCEA(IDI_QUARNW));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClass;
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    ERR_LOG(ERR_ERR, last_error(), "RegisterClass() failed - class: `%s'.", kClass);
    return last_error();
  }
  const int* r = g_cfg.frame_wp.rcNormalPosition;
  int x = r[0], y = r[1], w = r[2] - r[0], h = r[3] - r[1];
  if (g_cfg.frame_wp_size == 0 || x < 1 || y < 1 || w < 1 || h < 1) {
    x = y = w = h = CW_USEDEFAULT;
    int v = 0;
    if (pref(g_cfg.frame_xPref, wndf_x, &v)) x = v;
    if (pref(g_cfg.frame_yPref, wndf_y, &v)) y = v;
    if (pref(g_cfg.frame_wPref, wndf_x, &v)) w = v;
    if (pref(g_cfg.frame_hPref, wndf_y, &v)) h = v;
    if (x == CW_USEDEFAULT && y != CW_USEDEFAULT) x = 0;  // y alone is taken as a show command
  }
  HWND wnd = CreateWindowExA(WS_EX_APPWINDOW, kClass, g_cfg.title ? g_cfg.title : "", WS_OVERLAPPEDWINDOW, x, y, w,
                             h, nullptr, nullptr, g_inst, nullptr);
  if (!wnd) {
    ERR_LOG(ERR_ERR, last_error(), "CreateWindow() failed.");
    return last_error();
  }
  // a preferred size below what the find dialog's layout needs grows to it
  RECT wr;
  if (GetWindowRect(wnd, &wr)) {
    RECT want = wr;
    on_sizing(wnd, WMSZ_BOTTOMRIGHT, &want);
    if (want.right != wr.right || want.bottom != wr.bottom)
      SetWindowPos(wnd, nullptr, 0, 0, want.right - want.left, want.bottom - want.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ShowWindow(wnd, g_cfg.frame_wp_size && g_cfg.frame_wp.showCmd == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : show);
  UpdateWindow(wnd);
  quarnw_update_title();
  return 0;
}

// --- About box -------------------------------------------------------------------

namespace {

void set_item_text(HWND dlg, int id, const char* text) {
  HWND item = GetDlgItem(dlg, id);
  if (!item) {
    ERR_LOG(ERR_ERR, last_error(), "GetDlgItem() failed [%d] - dlg: %p.", id, (void*)dlg);
    return;
  }
  SetWindowTextA(item, text);
}

void about_init(HWND dlg) {
  const char* title = g_cfg.title ? g_cfg.title : "";
  char buf[kAboutSize], ver[kAboutSize / 2];
  int rc = mox_snprintf(buf, sizeof buf, quarnw_text("aboutdlg", "About %s"), title);
  if (rc)
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kAboutSize);
  else
    SetWindowTextA(dlg, buf);
  int err = 0;
  ver_text(&app_ver, "vpd", "\r\n", ver, sizeof ver, &err);
  rc = mox_snprintf(buf, sizeof buf, "%s %s\r\n", title, ver);
  const unsigned len = (unsigned)strlen(buf);
  if (!rc && app_ver.description) rc = mox_snprintf(buf + len, sizeof buf - len, "%s\r\n", app_ver.description);
  if (rc)
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kAboutSize);
  else
    set_item_text(dlg, IDC_ABOUT_TEXT, buf);
  buf[0] = 0;
  rc = app_ver.copyright ? mox_snprintf(buf, sizeof buf, "Copyright %s\r\nAll rights reserved.\r\n", app_ver.copyright) : 0;
  if (rc)
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kAboutSize);
  else
    set_item_text(dlg, IDC_ABOUT_COPYRIGHT, buf);
}

INT_PTR CALLBACK about_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_INITDIALOG: about_init(dlg); return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(dlg, LOWORD(wp));
        return TRUE;
      }
      break;
    default: break;
  }
  return FALSE;
}

}  // namespace

int quarnw_about(HWND owner) {
  if (DialogBoxParamA(g_inst, MAKEINTRESOURCEA(IDD_ABOUT), owner, about_proc, 0) == -1) {
    ERR_LOG(ERR_ERR, last_error(), "DialogBoxParam() failed - %d.", IDD_ABOUT);
    return last_error();
  }
  return 0;
}
