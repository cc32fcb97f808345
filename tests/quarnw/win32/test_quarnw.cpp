// The windowed program in-process: started as its entry point starts it (with its own
// configuration directory), its main window driven with messages and read back:
// title, menus, sort commands, the error route and the error dialog, the About box,
// and the settings it saves at the end and finds again at the next start.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "c/str.h"
#include "err/err.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_wnd.h"

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
  // another column: its key list and default direction; the same one: reversed
  const Step steps[] = {{IDM_FSORTBYNAME, "name,dir", 0}, {IDM_FSORTBYNAME, "name,dir", 1},
                        {IDM_FSORTBYPATH, "path", 0},     {IDM_FSORTREV, "path", 1},
                        {IDM_FSORTBYPATH, "path", 0},     {IDM_FUNSORT, "", 0}};
  for (const Step& s : steps) {
    SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(s.idm, 0), 0);
    pump(50);
    EXPECT_STREQ(g_cfg.sortby, s.sortby) << s.idm;
    EXPECT_EQ(g_cfg.sortrev, s.rev) << s.idm;
  }
  // the radio mark follows sortby exactly, none when no key list matches
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_FSORTBYEXT, 0), 0);
  EXPECT_TRUE(checked(IDM_FSORTBYEXT));
  EXPECT_FALSE(checked(IDM_FSORTBYNAME));
  mox_strcpy(g_cfg.sortby, sizeof g_cfg.sortby, "EXT,path");
  EXPECT_FALSE(checked(IDM_FSORTBYEXT)) << "compared with case";
  EXPECT_FALSE(checked(IDM_FSORTREV));
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_FSORTREV, 0), 0);
  EXPECT_TRUE(checked(IDM_FSORTREV));
  const int ic = g_cfg.sort_ignorecase;
  SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(IDM_FSORTIGNORECASE, 0), 0);
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
    SendMessageA(g_main_wnd, WM_COMMAND, MAKEWPARAM(s.idm, 0), 0);
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
  EXPECT_EQ(copyright, "Copyright Copyright (c) 2026 moxware\r\nAll rights reserved.\r\n");
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
                           "quarnw.pathlist.0 : C:\\\\two\n", "quarnw.npathlist : 2\n"})
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

}  // namespace
