// The windowed program in-process: started as its entry point starts it (with its own
// configuration directory), its main window driven with messages and read back:
// title, menus, sort commands, the error route and the error dialog, the About box,
// and the settings it saves at the end and finds again at the next start.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "c/str.h"
#include "dnd/win32/dataobj.h"
#include "dnd/win32/dnd.h"
#include "fm/flist.h"
#include "quarnw/win32/flistctrl.h"
#include "err/err.h"
#include "fm/flist.h"
#include "fm/win32/fcfmdlg.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_wnd.h"
#include "lvwcoldlg.h"

namespace {

std::string g_dir;  // the test's configuration directory

std::string temp_dir() {
  char base[MAX_PATH], name[MAX_PATH];
  GetTempPathA(sizeof base, base);
  snprintf(name, sizeof name, "%squarnw-test-%lu", base, GetCurrentProcessId());
  CreateDirectoryA(name, nullptr);
  return name;
}

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = dir + "\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(p);
      else {
        SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(p.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

int start(std::vector<std::string> args = {}) {
  args.insert(args.begin(), "-cfgdir:" + g_dir);
  std::vector<const char*> argv;
  for (auto& a : args) argv.push_back(a.c_str());
  int ended = 0;
  return quarnw_startup((int)argv.size(), argv.data(), SW_SHOWNORMAL, &ended);
}

// Processes the window thread's messages for ms milliseconds.
void pump(DWORD ms = 100) {
  const DWORD t0 = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - t0 < ms);
}

// A command as the menu gives it; returns when a sort it started has ended.
void command(int idm) {
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(idm, 0), 0);
  const DWORD t0 = GetTickCount();
  do pump(20);
  while (g_quarndlg && quarndlg_running(g_quarndlg) && GetTickCount() - t0 < 10000);
}

std::string title() {
  char buf[1024] = "";
  GetWindowTextA(g_main_wnd, buf, sizeof buf);
  return buf;
}

std::string item_text(HWND dlg, int id) {
  char buf[8192] = "";
  GetDlgItemTextA(dlg, id, buf, sizeof buf);
  return buf;
}

// Runs on another thread: waits for a dialog of this process with the given title,
// calls fn with it, then closes it. The window thread meanwhile runs the dialog.
class DialogWatch {
 public:
  DialogWatch(const std::string& caption, std::function<void(HWND)> fn)
      : t_([this, caption, fn] {
          for (int i = 0; i < 400 && !found_; ++i) {
            HWND d = FindWindowA("#32770", caption.c_str());
            DWORD pid = 0;
            if (d) GetWindowThreadProcessId(d, &pid);
            if (d && pid == GetCurrentProcessId() && IsWindowVisible(d)) {
              Sleep(200);
              fn(d);
              found_ = true;
              PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            }
            Sleep(50);
          }
        }) {}
  ~DialogWatch() { join(); }
  bool join() {
    if (t_.joinable()) t_.join();
    return found_;
  }

 private:
  std::atomic<bool> found_{false};
  std::thread t_;
};

// State of the menu entry of a command in the main menu after it was opened.
UINT menu_state(int idm) {
  SendMessageA(g_main_wnd, WM_INITMENUPOPUP, (WPARAM)GetSubMenu(GetMenu(g_main_wnd), 0), 0);
  return GetMenuState(GetMenu(g_main_wnd), (UINT)idm, MF_BYCOMMAND);
}
bool checked(int idm) { return menu_state(idm) & MF_CHECKED; }
bool enabled(int idm) { return !(menu_state(idm) & (MF_GRAYED | MF_DISABLED)); }

class Program : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    err_init(0, nullptr, nullptr, nullptr, uerrque_hook, &g_uerrque);
    g_dir = temp_dir();
    ASSERT_EQ(start(), 0);
    ASSERT_NE(g_main_wnd, nullptr);
    pump(300);
  }
  static void TearDownTestSuite() {
    if (g_main_wnd) {
      DestroyWindow(g_main_wnd);
      pump(100);
    }
    quarnw_shutdown(1);  // nothing saved
    err_free();
    remove_tree(g_dir);
  }
};

TEST_F(Program, MainWindowAndMenus) {
  char cls[64] = "";
  GetClassNameA(g_main_wnd, cls, sizeof cls);
  EXPECT_STREQ(cls, "quarnw");
  EXPECT_TRUE(IsWindowVisible(g_main_wnd));
  EXPECT_TRUE(GetWindowLongA(g_main_wnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  // the built-in preferred size, 80 by 40 characters, is larger than the default minimum
  RECT r;
  GetWindowRect(g_main_wnd, &r);
  EXPECT_GT(r.right - r.left, 300);
  EXPECT_GT(r.bottom - r.top, 300);
  // the menu bar from the database, texts from the text store
  HMENU bar = GetMenu(g_main_wnd);
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(GetMenuItemCount(bar), 4);
  char text[128] = "";
  GetMenuStringA(bar, IDM_ABOUT, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "&About...\tAlt+/");
  // Alt+"/" and Alt+"?" as characters, both for the About box
  HACCEL acc = LoadAcceleratorsA(g_inst, MAKEINTRESOURCEA(IDR_ACCEL));
  ASSERT_NE(acc, nullptr);
  ACCEL keys[4];
  ASSERT_EQ(CopyAcceleratorTableA(acc, keys, 4), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(keys[i].key, i ? '?' : '/');
    EXPECT_EQ(keys[i].cmd, IDM_ABOUT);
    EXPECT_EQ(keys[i].fVirt & (FALT | FVIRTKEY), FALT);
  }
  // the find dialog fills the client area
  ASSERT_NE(g_quarndlg, nullptr);
  RECT cr, dr;
  GetClientRect(g_main_wnd, &cr);
  GetClientRect(g_quarndlg->dlg, &dr);
  EXPECT_EQ(dr.right, cr.right);
  EXPECT_EQ(dr.bottom, cr.bottom);
}

TEST_F(Program, Title) {
  const std::string p50(50, 'p'), p49(49, 'p');
  struct Row {
    std::string path;
    unsigned max;
    std::string want;
  };
  const Row rows[] = {{p50, 50, p50 + "... - Quarn Std"},
                      {p49, 50, p49 + " - Quarn Std"},
                      {"C:\\src", 0, "Quarn Std"},
                      {std::string(1200, 'x'), 5000, std::string(1000, 'x') + "... - Quarn Std"},
                      {"", 50, "Quarn Std"}};
  for (const Row& r : rows) {
    mox_strcpy(g_cfg.path, sizeof g_cfg.path, r.path.c_str());
    g_cfg.title_path_max = r.max;
    quarnw_update_title();
    EXPECT_EQ(title(), r.want) << r.path.size() << " " << r.max;
  }
  g_cfg.title_path_max = 50;
  // the progress line replaces the title while a worker reports
  ASSERT_EQ(progr_lock(&g_progr), 0);
  progr_set_text(&g_progr, "Find: 3/10 C:\\x");
  progr_unlock(&g_progr);
  ntf_post(&g_ntf, NTF_PROGRESS, &g_progr, nullptr);
  pump(100);
  EXPECT_EQ(title(), "Find: 3/10 C:\\x");
  quarnw_update_title();
  EXPECT_EQ(title(), "Quarn Std");
}

TEST_F(Program, CommandsOfAnEmptyList) {
  // no entries: no list command is enabled
  for (int idm : {IDM_FCP, IDM_FCUT, IDM_FCPTO, IDM_FMVTO, IDM_FDEL, IDM_FATTRIB, IDM_FEDIT, IDM_FOPEN, IDM_FOPENAS,
                  IDM_FOPENDIR, IDM_FEXEC})
    EXPECT_FALSE(enabled(idm)) << idm;
  EXPECT_TRUE(enabled(IDM_ABOUT));
  EXPECT_TRUE(enabled(IDM_FSORTBYNAME));
  EXPECT_FALSE(enabled(IDM_VWEXT)) << "the built-in file disables it";
  EXPECT_TRUE(checked(IDM_VWSTD));
}

TEST_F(Program, SortCommands) {
  g_cfg.sortby[0] = 0;
  g_cfg.sortrev = 0;
  struct Step {
    int idm;
    const char* sortby;
    int rev;
  };
  // another column: its key list and default direction (newest and largest first for
  // times and sizes); the same one: reversed
  const Step steps[] = {{IDM_FSORTBYNAME, "name,dir", 0}, {IDM_FSORTBYNAME, "name,dir", 1},
                        {IDM_FSORTBYPATH, "path", 0},     {IDM_FSORTREV, "path", 1},
                        {IDM_FSORTBYPATH, "path", 0},     {IDM_FSORTBYSIZE, "size,path", 1},
                        {IDM_FSORTBYSIZE, "size,path", 0}, {IDM_FSORTBYMD, "md,path", 1},
                        {IDM_FUNSORT, "", 0}};
  for (const Step& s : steps) {
    command(s.idm);
    EXPECT_STREQ(g_cfg.sortby, s.sortby) << s.idm;
    EXPECT_EQ(g_cfg.sortrev, s.rev) << s.idm;
  }
  // the radio mark follows sortby exactly, none when no key list matches
  command(IDM_FSORTBYEXT);
  EXPECT_TRUE(checked(IDM_FSORTBYEXT));
  EXPECT_FALSE(checked(IDM_FSORTBYNAME));
  mox_strcpy(g_cfg.sortby, sizeof g_cfg.sortby, "EXT,path");
  EXPECT_FALSE(checked(IDM_FSORTBYEXT)) << "compared with case";
  mox_strcpy(g_cfg.sortby, sizeof g_cfg.sortby, "ext,path");
  EXPECT_FALSE(checked(IDM_FSORTREV));
  command(IDM_FSORTREV);
  EXPECT_TRUE(checked(IDM_FSORTREV));
  const int ic = g_cfg.sort_ignorecase;
  command(IDM_FSORTIGNORECASE);
  EXPECT_EQ(g_cfg.sort_ignorecase, !ic);
  EXPECT_EQ(checked(IDM_FSORTIGNORECASE), !ic);
}

TEST_F(Program, DirectoriesFirstExcludeEachOther) {
  g_cfg.grpdir1st = g_cfg.pathdir1st = 0;
  struct Step {
    int idm, grp, path;
  };
  const Step steps[] = {{IDM_FGRPDIR1ST, 1, 0}, {IDM_FPATHDIR1ST, 0, 1}, {IDM_FGRPDIR1ST, 1, 0},
                        {IDM_FGRPDIR1ST, 0, 0}, {IDM_FPATHDIR1ST, 0, 1}, {IDM_FPATHDIR1ST, 0, 0}};
  for (const Step& s : steps) {
    command(s.idm);
    EXPECT_EQ(g_cfg.grpdir1st, s.grp);
    EXPECT_EQ(g_cfg.pathdir1st, s.path);
    EXPECT_EQ(checked(IDM_FGRPDIR1ST), s.grp == 1);
    EXPECT_EQ(checked(IDM_FPATHDIR1ST), s.path == 1);
  }
}

TEST_F(Program, AboutBox) {
  std::string caption, text, copyright;
  DialogWatch w("About Quarn Std", [&](HWND d) {
    caption = "About Quarn Std";
    text = item_text(d, IDC_ABOUT_TEXT);
    copyright = item_text(d, IDC_ABOUT_COPYRIGHT);
  });
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_ABOUT, 0), 0);  // returns when closed
  ASSERT_TRUE(w.join());
  EXPECT_EQ(text.rfind("Quarn Std 1.0.0", 0), 0u) << text;
  EXPECT_NE(text.find("win"), std::string::npos) << "the platform: " << text;
  EXPECT_NE(text.find("Finds files and directories"), std::string::npos) << text;
  EXPECT_EQ(copyright, "Copyright (c) 2026 moxware\r\nAll rights reserved.\r\n");
}

TEST_F(Program, ColumnDialogOfTheResultList) {
  int shown = -1;
  DialogWatch w("Columns", [&](HWND d) { shown = (int)SendDlgItemMessageA(d, LVWCOLDLG_SHOWN, LB_GETCOUNT, 0, 0); });
  command(IDM_FCOLS);
  ASSERT_TRUE(w.join());
  // the built-in set shows some of the eleven columns
  EXPECT_GT(shown, 0);
  EXPECT_LE(shown, 11);
}

// The manual is opened by a help command run in the program's own folder; here the
// command starts a recorder that lies beside the test program.
TEST_F(Program, ManualCommandRunsInTheProgramsFolder) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string dir = exe;
  dir.erase(dir.rfind('\\') + 1);
  const std::string out = g_dir + "\\man.txt";
  SetEnvironmentVariableA("CMDREC_OUT", out.c_str());
  cmdlist_free(&g_cfg.cmd);
  ASSERT_EQ(cmdlist_init(&g_cfg.cmd), 0);
  ASSERT_NE(cmdlist_add(&g_cfg.cmd, "man", "shexec -verb:open -file:cmdrec.exe -show:SHOWMINNOACTIVE", nullptr, 0),
            nullptr);
  command(IDM_MAN);
  std::string got;
  for (int i = 0; i < 400 && got.empty(); ++i) {
    if (FILE* f = fopen(out.c_str(), "rb")) {
      char buf[2048];
      got.assign(buf, fread(buf, 1, sizeof buf, f));
      fclose(f);
    }
    Sleep(50);
  }
  ASSERT_FALSE(got.empty()) << "the help command did not run";
  EXPECT_NE(got.find("cmdrec.exe"), std::string::npos) << got;
  dir.pop_back();  // the working directory is reported without its last separator
  EXPECT_NE(got.find("\n" + dir), std::string::npos) << got;
}

// A burst of reports from a worker while the window thread is busy: at most three
// wake-ups queued, one dialog listing all of them in order.
TEST_F(Program, HundredReportsFromAWorker) {
  uerrlist_clear(&g_uerrlist);
  pump(50);
  std::thread worker([] {
    for (int i = 0; i < 100; ++i) ERR_USER(ERR_ERR, 9012, "report %d", i);
  });
  worker.join();
  // count the wake-ups waiting, then hand one back for the window to handle
  unsigned wakeups = 0;
  MSG msg;
  while (PeekMessageA(&msg, g_main_wnd, WM_QUARNW_UERR_QUEUED, WM_QUARNW_UERR_QUEUED, PM_REMOVE)) ++wakeups;
  EXPECT_GE(wakeups, 1u);
  EXPECT_LE(wakeups, 3u);
  EXPECT_EQ(uerrque_count(&g_uerrque), 100u);

  std::vector<std::string> rows;
  int ndialogs = 0;
  DialogWatch w("Errors", [&](HWND d) {
    ++ndialogs;
    HWND lv = GetDlgItem(d, 8201);
    const int n = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
      char buf[256] = "";
      LVITEMA li{};
      li.iSubItem = 0;
      li.pszText = buf;
      li.cchTextMax = sizeof buf;
      SendMessageA(lv, LVM_GETITEMTEXTA, i, (LPARAM)&li);
      rows.push_back(buf);
    }
  });
  PostMessageA(g_main_wnd, WM_QUARNW_UERR_QUEUED, 0, 0);
  const DWORD t0 = GetTickCount();
  while (GetTickCount() - t0 < 15000 && ndialogs == 0) pump(50);
  ASSERT_TRUE(w.join());
  ASSERT_EQ(rows.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(rows[i], "report " + std::to_string(i));
  EXPECT_EQ(uerrlist_count(&g_uerrlist), 0u) << "closing cleared the list";
}

COLORREF title_colour(HWND d) {
  HWND titl = GetDlgItem(d, 8203);
  RedrawWindow(titl, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  Sleep(200);
  RECT r;
  GetClientRect(titl, &r);
  HDC dc = GetDC(titl);
  const COLORREF c = GetPixel(dc, r.right - 4, r.bottom / 2);  // right of the text
  ReleaseDC(titl, dc);
  return c;
}

TEST_F(Program, ErrorDialogLevelsAndClearOnCloseOff) {
  uerrlist_clear(&g_uerrlist);
  g_cfg.uerrdlg.clearOnClose = 0;
  std::string titl[2], info;
  COLORREF clr[2] = {0, 0};
  int count = -1;
  DialogWatch w("Errors", [&](HWND d) {
    HWND lv = GetDlgItem(d, 8201);
    count = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
    // the newest report is selected first
    titl[1] = item_text(d, 8203);
    clr[1] = title_colour(d);
    LVITEMA li{};
    li.stateMask = li.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(lv, LVM_SETITEMSTATE, 0, (LPARAM)&li);
    Sleep(100);
    titl[0] = item_text(d, 8203);
    info = item_text(d, 8202);
    clr[0] = title_colour(d);
  });
  ERR_USER(ERR_WARN, 9007, "Duplicate path: C:\\x: ignored.");
  ERR_USER(ERR_NOTICE, 0, "Nothing to do.");
  const DWORD t0 = GetTickCount();
  while (GetTickCount() - t0 < 15000 && uerrlist_count(&g_uerrlist) < 2) pump(50);
  pump(200);
  ASSERT_TRUE(w.join());
  EXPECT_EQ(count, 2) << "one dialog for both";
  EXPECT_EQ(titl[0], "WARNING");
  EXPECT_EQ(clr[0], RGB(255, 255, 0)) << "warnings in their colours";
  EXPECT_EQ(info.rfind("Duplicate path: C:\\x: ignored.\r\n[WARN 9007 ", 0), 0u) << info;
  EXPECT_EQ(titl[1], "NOTICE");
  EXPECT_NE(clr[1], RGB(255, 255, 0));
  EXPECT_NE(clr[1], RGB(255, 0, 0));
  EXPECT_NE(clr[1], RGB(0, 0, 255)) << "a notice in the ordinary colours";
  EXPECT_EQ(uerrlist_count(&g_uerrlist), 2u) << "only marked as seen";
  EXPECT_EQ(g_uerrlist.seen, 2u);
  g_cfg.uerrdlg.clearOnClose = 1;
  uerrlist_clear(&g_uerrlist);
}

// --- with a search's results --------------------------------------------------------

bool wait_stopped(DWORD ms = 30000) {
  const DWORD t0 = GetTickCount();
  do pump(20);
  while ((quarndlg_running(g_quarndlg) || ntf_queued(&g_ntf)) && GetTickCount() - t0 < ms);
  return !quarndlg_running(g_quarndlg);
}

HWND list_view() { return GetDlgItem(g_quarndlg->dlg, IDC_QD_FLIST); }

void select_rows(std::vector<int> rows) {
  LVITEMA li{};
  li.stateMask = LVIS_SELECTED;
  li.state = 0;
  SendMessageA(list_view(), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&li);
  li.state = LVIS_SELECTED;
  for (int r : rows) SendMessageA(list_view(), LVM_SETITEMSTATE, r, (LPARAM)&li);
  pump(50);
}

// Types the fields of the standard view and presses Find.
void find(const std::string& path) {
  HWND vw = g_quarndlg->vw.dlg;
  HWND p = GetDlgItem(vw, IDC_STD_PATH);
  SendMessageA(p, WM_SETTEXT, 0, (LPARAM)path.c_str());
  SendMessageA(vw, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE), (LPARAM)p);
  for (int id : {IDC_STD_NAME, IDC_STD_MD, IDC_STD_SIZE}) SetDlgItemTextA(vw, id, "");
  SendMessageA(GetDlgItem(vw, IDC_STD_FIND), BM_CLICK, 0, 0);
}

TEST_F(Program, TitleAndCommandsOverResults) {
  const std::string tree = g_dir + "\\tree";
  CreateDirectoryA(tree.c_str(), nullptr);
  CreateDirectoryA((tree + "\\sub").c_str(), nullptr);
  for (const char* f : {"\\a.txt", "\\b.txt", "\\sub\\c.txt"}) {
    HANDLE h = CreateFileA((tree + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
  g_cfg.sortby[0] = 0;
  find(tree);
  ASSERT_TRUE(wait_stopped());
  const int n = (int)SendMessageA(list_view(), LVM_GETITEMCOUNT, 0, 0);
  ASSERT_GE(n, 4);
  // with nothing focused the count; with a focused row its position
  LVITEMA none{};
  none.stateMask = LVIS_FOCUSED;
  SendMessageA(list_view(), LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
  quarnw_update_title();
  const std::string p = tree + " - ";
  EXPECT_EQ(title(), p + std::to_string(n) + " - Quarn Std");
  LVITEMA li{};
  li.stateMask = li.state = LVIS_FOCUSED;
  SendMessageA(list_view(), LVM_SETITEMSTATE, 1, (LPARAM)&li);
  pump(50);
  EXPECT_EQ(title(), p + "2/" + std::to_string(n) + " - Quarn Std");

  struct Row {
    std::vector<int> sel;
    bool ops, open, openas;
  };
  const Row rows[] = {{{}, true, false, false}, {{0}, true, true, true}, {{0, 1}, true, true, false}};
  for (const Row& r : rows) {
    select_rows(r.sel);
    for (int idm : {IDM_FCP, IDM_FCUT, IDM_FCPTO, IDM_FMVTO, IDM_FDEL, IDM_FATTRIB})
      EXPECT_EQ(enabled(idm), r.ops) << idm << " with " << r.sel.size() << " selected";
    for (int idm : {IDM_FEDIT, IDM_FOPEN, IDM_FOPENDIR})
      EXPECT_EQ(enabled(idm), r.open) << idm << " with " << r.sel.size() << " selected";
    EXPECT_EQ(enabled(IDM_FOPENAS), r.openas) << r.sel.size() << " selected";
    EXPECT_FALSE(enabled(IDM_FEXEC));
  }
  // Copy: the usable selected files on the clipboard as a file drop
  select_rows({0, 1});
  if (OpenClipboard(g_main_wnd)) {
    EmptyClipboard();
    CloseClipboard();
  }
  command(IDM_FCP);
  unsigned nfiles = 0;
  IDataObject* obj = nullptr;
  if (SUCCEEDED(OleGetClipboard(&obj)) && obj) {
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM sm{};
    if (SUCCEEDED(obj->GetData(&fe, &sm))) {
      nfiles = DragQueryFileA(static_cast<HDROP>(sm.hGlobal), 0xFFFFFFFF, nullptr, 0);
      ReleaseStgMedium(&sm);
    }
    obj->Release();
  }
  EXPECT_EQ(nfiles, 2u);
  select_rows({});
}

// The file-drop data of the clipboard: the wide paths, each ended by a zero.
std::vector<std::string> clipboard_paths() {
  std::vector<std::string> out;
  IDataObject* obj = nullptr;
  if (FAILED(OleGetClipboard(&obj)) || !obj) return out;
  FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM sm{};
  if (SUCCEEDED(obj->GetData(&fe, &sm))) {
    auto* df = static_cast<const DROPFILES*>(GlobalLock(sm.hGlobal));
    const size_t size = GlobalSize(sm.hGlobal);
    if (df && df->fWide && df->pFiles < size) {
      const wchar_t* w = reinterpret_cast<const wchar_t*>(reinterpret_cast<const char*>(df) + df->pFiles);
      const wchar_t* end = reinterpret_cast<const wchar_t*>(reinterpret_cast<const char*>(df) + size);
      while (w < end && *w) {
        char buf[MAX_PATH * 3] = "";
        WideCharToMultiByte(CP_UTF8, 0, w, -1, buf, sizeof buf, nullptr, nullptr);
        out.push_back(buf);
        w += wcslen(w) + 1;
      }
      if (w >= end) out.push_back("<no end>");
    }
    GlobalUnlock(sm.hGlobal);
    ReleaseStgMedium(&sm);
  }
  obj->Release();
  return out;
}

// As a file manager tells the source of a pasted cut what it did.
HRESULT set_performed(IDataObject* o, DWORD effect) {
  FORMATETC fe{(CLIPFORMAT)RegisterClipboardFormatA("Performed DropEffect"), nullptr, DVASPECT_CONTENT, -1,
               TYMED_HGLOBAL};
  STGMEDIUM m{};
  m.tymed = TYMED_HGLOBAL;
  m.hGlobal = GlobalAlloc(GMEM_MOVEABLE, sizeof effect);
  std::memcpy(GlobalLock(m.hGlobal), &effect, sizeof effect);
  GlobalUnlock(m.hGlobal);
  HRESULT hr = o->SetData(&fe, &m, TRUE);
  if (FAILED(hr)) ReleaseStgMedium(&m);
  return hr;
}

TEST_F(Program, CopyAndCutHandTheListedFilesToOtherPrograms) {
  const std::string tree = g_dir + "\\clip", dest = g_dir + "\\pasted";
  CreateDirectoryA(tree.c_str(), nullptr);
  CreateDirectoryA(dest.c_str(), nullptr);
  for (const char* f : {"\\x1.txt", "\\x2.txt", "\\x3.txt"}) {
    HANDLE h = CreateFileA((tree + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
  g_cfg.sortby[0] = 0;
  find(tree);
  ASSERT_TRUE(wait_stopped());
  flist* fl = quarndlg_flist(g_quarndlg);
  const flistctrl* lc = quarndlg_flistctrl(g_quarndlg);
  ASSERT_TRUE(fl && lc);
  int row[4] = {-1, -1, -1, -1};  // of x1, x2, x3
  const int n = (int)SendMessageA(list_view(), LVM_GETITEMCOUNT, 0, 0);
  for (int i = 0; i < n; ++i) {
    const frec* r = flist_get(fl, (unsigned)i);
    if (r && r->name && std::strlen(r->name) == 6 && r->name[0] == 'x') row[r->name[1] - '0'] = i;
  }
  for (int k : {1, 2, 3}) ASSERT_GE(row[k], 0) << "x" << k;
  auto path = [&](int k) { return tree + "\\x" + std::to_string(k) + ".txt"; };

  // Copy: the full paths of the selected files, in row order, nothing handed over
  select_rows({std::min(row[1], row[3]), std::max(row[1], row[3])});
  command(IDM_FCP);
  const std::vector<std::string> first_last =
      row[1] < row[3] ? std::vector<std::string>{path(1), path(3)} : std::vector<std::string>{path(3), path(1)};
  EXPECT_EQ(clipboard_paths(), first_last);
  for (int k : {1, 2, 3}) EXPECT_EQ(flist_get(fl, (unsigned)row[k])->flags & FREC_HANDED, 0u);

  // Cut, pasted elsewhere by a file manager that moves the files and says so
  command(IDM_FCUT);
  EXPECT_EQ(clipboard_paths(), first_last);
  for (int k : {1, 3}) ASSERT_TRUE(MoveFileA(path(k).c_str(), (dest + "\\x" + std::to_string(k) + ".txt").c_str()));
  IDataObject* c = nullptr;
  ASSERT_EQ(OleGetClipboard(&c), S_OK);
  HRESULT hr = set_performed(c, DROPEFFECT_MOVE);
  c->Release();
  if (hr == E_NOTIMPL) {  // the clipboard's wrapper keeps SetData to itself: the program's own object
    DataObj* own = dnd_clipboard_obj();
    ASSERT_NE(own, nullptr);
    hr = set_performed(own, DROPEFFECT_MOVE);
    own->Release();
  }
  ASSERT_EQ(hr, S_OK);
  pump(300);
  char cell[MAX_PATH];
  for (int k : {1, 2, 3}) {
    const bool moved = k != 2;
    EXPECT_EQ(flist_get(fl, (unsigned)row[k])->flags & FREC_MOVED, moved ? (unsigned)FREC_MOVED : 0u) << k;
    ASSERT_EQ(flistctrl_cell(lc, (unsigned)row[k], "name", cell, sizeof cell), 0);
    EXPECT_EQ(std::string(cell), (moved ? "< x" : "x") + std::to_string(k) + ".txt");
  }
  // the moved rows are no longer usable: only x2 is copied now
  select_rows({row[1], row[2], row[3]});
  command(IDM_FCP);
  EXPECT_EQ(clipboard_paths(), std::vector<std::string>{path(2)});
  select_rows({});
}

TEST_F(Program, ClosingDuringASearchStopsIt) {
  const unsigned every = g_cfg.progress_updateEvery;
  const int timeout = g_cfg.progress_lockTimeout;
  g_cfg.progress_updateEvery = 0;
  g_cfg.progress_lockTimeout = 30000;
  // the worker waits at its first progress tick while the test holds the lock
  ASSERT_EQ(progr_lock(&g_progr), 0);
  find(g_dir);
  pump(100);
  ASSERT_TRUE(quarndlg_running(g_quarndlg));
  SendMessageA(g_main_wnd, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(g_main_wnd)) << "the window stays";
  EXPECT_NE(g_progr.cancel, 0) << "the search is asked to stop";
  progr_unlock(&g_progr);
  EXPECT_TRUE(wait_stopped());
  EXPECT_TRUE(IsWindow(g_main_wnd));
  EXPECT_TRUE(g_progr.cancelled & PROGR_CANCELLED_FIND);
  g_cfg.progress_updateEvery = every;
  g_cfg.progress_lockTimeout = timeout;
}

TEST_F(Program, ReportWhileTheDialogIsOpenJoinsIt) {
  uerrlist_clear(&g_uerrlist);
  int before = -1, after = -1, dialogs = 0;
  DialogWatch w("Errors", [&](HWND d) {
    HWND lv = GetDlgItem(d, 8201);
    before = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
    ERR_USER(ERR_ERR, 9010, "No path specified.");  // from this thread, while the dialog runs
    Sleep(500);
    after = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
    for (HWND x = nullptr; (x = FindWindowExA(nullptr, x, "#32770", "Errors")) != nullptr;) ++dialogs;
  });
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_UERR, 0), 0);  // the command opens it, empty
  ASSERT_TRUE(w.join());
  pump(100);
  EXPECT_EQ(before, 0);
  EXPECT_EQ(after, 1);
  EXPECT_EQ(dialogs, 1);
}

TEST_F(Program, ErrorDialogListAboveOrBelowTheText) {
  uerrlist_clear(&g_uerrlist);
  for (int botlist : {0, 1}) {
    g_cfg.uerrdlg.botlist = botlist;
    RECT list{}, info{};
    DialogWatch w("Errors", [&](HWND d) {
      GetWindowRect(GetDlgItem(d, 8201), &list);
      GetWindowRect(GetDlgItem(d, 8202), &info);
    });
    SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_UERR, 0), 0);
    ASSERT_TRUE(w.join());
    if (botlist)
      EXPECT_GT(list.top, info.bottom - 1) << "template 7202: the list below";
    else
      EXPECT_LT(list.bottom, info.top + 1) << "template 7201: the list above";
    EXPECT_GT(list.right - list.left, 0);
  }
  g_cfg.uerrdlg.botlist = 1;
}

// Last: the program ends as the user closes it, saves what changed, and finds it again.
TEST_F(Program, SettingsSurviveARestart) {
  mox_strcpy(g_cfg.sortby, sizeof g_cfg.sortby, "size,path");
  g_cfg.sortrev = 1;
  mox_strcpy(g_cfg.std_name, sizeof g_cfg.std_name, "*.txt");
  fpathlist_add(&g_cfg.pathlist, "C:\\one");
  fpathlist_add(&g_cfg.pathlist, "C:\\two");
  // the placement is taken at each move and size
  MoveWindow(g_main_wnd, 50, 60, 600, 500, TRUE);
  pump(100);
  PostMessageA(g_main_wnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(quarnw_loop(), 0);
  EXPECT_EQ(g_main_wnd, nullptr);
  ASSERT_EQ(quarnw_shutdown(0), 0);

  // the user file holds the changes, not the settings left as they were
  std::string text;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((g_dir + "\\*.cfg").c_str(), &fd);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FindClose(h);
  std::ifstream f(g_dir + "\\" + fd.cFileName);
  std::stringstream ss;
  ss << f.rdbuf();
  text = ss.str();
  for (const char* want : {"quarnw.sortby : size,path\n", "quarnw.sortrev : Yes\n", "quarnw.std.name : *.txt\n",
                           "quarnw.pathlist.0 : C:\\\\two\n", "quarnw.npathlist : "})
    EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
  for (const char* not_saved : {".quarnw.title ", ".quarnw.ignorecase ", ".quarnw.view ", ".quarnw.timefmt "})
    EXPECT_EQ(text.find(not_saved), std::string::npos) << not_saved << "\n" << text;

  ASSERT_EQ(start(), 0);
  pump(200);
  EXPECT_STREQ(g_cfg.sortby, "size,path");
  EXPECT_EQ(g_cfg.sortrev, 1);
  EXPECT_STREQ(g_cfg.std_name, "*.txt");
  list_node* n = fpathlist_first(&g_cfg.pathlist);
  ASSERT_NE(n, nullptr);
  EXPECT_STREQ(fpathlist_text(n), "C:\\two");
  EXPECT_STREQ(fpathlist_text(fpathlist_next(n)), "C:\\one");
  RECT r;
  GetWindowRect(g_main_wnd, &r);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(r.right - r.left, 600);
  EXPECT_EQ(r.bottom - r.top, 500);
}


// The open file-operation dialog of this thread that holds control id, or nullptr.
HWND dialog_with(int id) {
  struct Find {
    int id;
    HWND found;
  } f{id, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<Find*>(lp);
        if (IsWindowVisible(w) && GetDlgItem(w, f->id)) f->found = w;
        return !f->found;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// Drives the dialogs the commands open: the Cmd text and Change, Delete, Yes to questions.
std::string g_cmdtext;
std::vector<std::string> g_questions;
void CALLBACK fop_driver(HWND, UINT, UINT_PTR, DWORD) {
  if (HWND q = fcfmdlg_active()) {
    g_questions.push_back(item_text(q, IDC_FCFM_QUESTION));
    fcfmdlg_answer(q, FT_ANS_YES);
  } else if (HWND a = dialog_with(8536)) {  // Cmd field of the attribute dialog
    if (GetWindowTextLengthA(GetDlgItem(a, 8536)) == 0) {
      SetDlgItemTextA(a, 8536, g_cmdtext.c_str());
      PostMessageA(a, WM_COMMAND, MAKEWPARAM(8538, BN_CLICKED), 0);
    }
  } else if (HWND d = dialog_with(8403)) {  // Delete button of the delete dialog
    char b[64] = "";
    GetDlgItemTextA(d, 8403, b, sizeof b);
    if (strcmp(b, "Delete") == 0) PostMessageA(d, WM_COMMAND, MAKEWPARAM(8403, BN_CLICKED), 0);
  }
}

TEST_F(Program, AttributesThenDeleteFromTheResultList) {
  const std::string tree = g_dir + "\\fop";
  CreateDirectoryA(tree.c_str(), nullptr);
  const std::string file = tree + "\\x.txt";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  find(tree);
  ASSERT_TRUE(wait_stopped());
  const flist* fl = quarndlg_flist(g_quarndlg);
  const frec* r = nullptr;
  int row = -1;
  for (unsigned i = 0; i < flist_count(fl); ++i)
    if (strcmp(flist_get(fl, i)->name, "x.txt") == 0) r = flist_get(fl, row = (int)i);
  ASSERT_TRUE(r);
  select_rows({row});
  const UINT_PTR t = SetTimer(nullptr, 0, 50, fop_driver);
  // the command returns when the dialog closed itself after the run
  g_cmdtext = "+r";
  command(IDM_FATTRIB);
  EXPECT_TRUE(GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(r->attr & FILE_ATTRIBUTE_READONLY) << "the result list's record shows the change";
  g_questions.clear();
  g_cfg.fdeldlg.undo = 0;  // for good: nothing left in the desktop's trash
  command(IDM_FDEL);
  KillTimer(nullptr, t);
  EXPECT_EQ(g_questions, std::vector<std::string>{"PERMANENTLY delete this READ-ONLY file?"});
  EXPECT_EQ(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(r->flags & FREC_DELETED) << "the result list's record is marked deleted";
  RemoveDirectoryA(tree.c_str());
}

}  // namespace
