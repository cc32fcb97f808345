// Saving the result list and copying the search's command line, in the program's own
// main window: a search run from the fields, then the rows exported and read back against
// what the list view shows.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "err/err.h"
#include "quarnw/flistexp.h"
#include "quarnw/qncmdln.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_export.h"
#include "quarnw/win32/quarnw_wnd.h"
#include "quarnw/win32/stdvw.h"

namespace {

using V = std::vector<std::string>;

std::vector<std::string> g_reports;
int report_hook(const uerr_item* it, void*) {
  g_reports.push_back(it->msg ? it->msg : "");
  return 0;
}

std::string g_tmp, g_root;

void make_file(const std::string& path, unsigned size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  std::string data(size, 'x');
  DWORD n = 0;
  if (size) WriteFile(h, data.data(), size, &n, nullptr);
  CloseHandle(h);
}

std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    fclose(f);
  }
  return s;
}

V names_in(const std::string& dir) {
  V v;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd))
    if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) v.push_back(fd.cFileName);
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  std::sort(v.begin(), v.end());
  return v;
}

void remove_tree(const std::string& dir) {
  for (const std::string& n : names_in(dir)) {
    const std::string p = dir + "\\" + n;
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(p.c_str())) remove_tree(p);
  }
  RemoveDirectoryA(dir.c_str());
}

struct TreeEnv : testing::Environment {
  void SetUp() override {
    err_init(0, nullptr, nullptr, nullptr, report_hook, nullptr);
    char t[MAX_PATH];
    GetTempPathA(sizeof t, t);
    g_tmp = std::string(t) + "qnexport" + std::to_string(GetCurrentProcessId());
    remove_tree(g_tmp);
    ASSERT_TRUE(CreateDirectoryA(g_tmp.c_str(), nullptr));
    CreateDirectoryA((g_tmp + "\\cfg").c_str(), nullptr);
    CreateDirectoryA((g_tmp + "\\out").c_str(), nullptr);
    g_root = g_tmp + "\\Tree";
    CreateDirectoryA(g_root.c_str(), nullptr);
    CreateDirectoryA((g_root + "\\sub").c_str(), nullptr);
    make_file(g_root + "\\a, b.txt", 1500);
    make_file(g_root + "\\plain.c", 20);
    make_file(g_root + "\\sub\\deep.txt", 70000);
    make_file(g_root + "\\skip.obj", 5);
  }
  void TearDown() override {
    remove_tree(g_tmp);
    err_free();
  }
};
testing::Environment* const tree_env = testing::AddGlobalTestEnvironment(new TreeEnv);

// RFC 4180 records: quoted fields with commas, doubled quotes and line breaks; CRLF ends.
std::vector<V> read_csv(const std::string& s) {
  std::vector<V> rows;
  V row;
  std::string f;
  bool quoted = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '"' && i + 1 < s.size() && s[i + 1] == '"') f += '"', ++i;
      else if (c == '"') quoted = false;
      else f += c;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      row.push_back(f), f.clear();
    } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      row.push_back(f), f.clear(), ++i;
      rows.push_back(row), row.clear();
    } else {
      f += c;
    }
  }
  return rows;
}

// Runs on another thread: waits for a dialog of this process with the title, then cancels it.
struct DialogWatch {
  std::atomic<bool> found{false};
  std::thread t;
  explicit DialogWatch(const std::string& caption)
      : t([this, caption] {
          for (int i = 0; i < 400 && !found; ++i, Sleep(50)) {
            HWND d = FindWindowA("#32770", caption.c_str());
            DWORD pid = 0;
            if (d) GetWindowThreadProcessId(d, &pid);
            if (d && pid == GetCurrentProcessId() && IsWindowVisible(d)) {
              found = true;
              Sleep(200);
              PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
            }
          }
        }) {}
  bool join() {
    if (t.joinable()) t.join();
    return found;
  }
  ~DialogWatch() { join(); }
};

struct Export : testing::Test {
  quarndlg* qd = nullptr;
  HWND list = nullptr;
  void SetUp() override {
    const std::string cfgdir = "-cfgdir:" + g_tmp + "\\cfg";
    const char* args[] = {cfgdir.c_str()};
    int ended = 0;
    ASSERT_EQ(quarnw_startup(1, args, SW_SHOWNOACTIVATE, &ended), 0);
    qd = g_quarndlg;
    ASSERT_NE(qd, nullptr);
    list = GetDlgItem(qd->dlg, IDC_QD_FLIST);
    ASSERT_NE(list, nullptr);
    pump(100);
    g_reports.clear();
  }
  void TearDown() override {
    if (g_main_wnd) DestroyWindow(g_main_wnd);
    pump(50);
    quarnw_shutdown(1);
  }
  static void pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    MSG m;
    do {
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      Sleep(5);
    } while ((int)(GetTickCount() - end) < 0);
  }
  void search(const char* name) {
    SendMessageA(GetDlgItem(qd->vw.dlg, IDC_STD_PATH), WM_SETTEXT, 0, (LPARAM)g_root.c_str());
    SendMessageA(qd->vw.dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE),
                 (LPARAM)GetDlgItem(qd->vw.dlg, IDC_STD_PATH));
    SendMessageA(GetDlgItem(qd->vw.dlg, IDC_STD_NAME), WM_SETTEXT, 0, (LPARAM)name);
    SendMessageA(GetDlgItem(qd->vw.dlg, IDC_STD_FIND), BM_CLICK, 0, 0);
    for (int i = 0; i < 600 && quarndlg_running(qd); ++i) pump(50);
    pump(200);
  }
  bool enabled(int idm) {
    SendMessageA(g_main_wnd, WM_INITMENUPOPUP, (WPARAM)GetSubMenu(GetMenu(g_main_wnd), 0), 0);
    return !(GetMenuState(GetMenu(g_main_wnd), (UINT)idm, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED));
  }
  // The list view as the user sees it: header titles and cells in display order.
  std::vector<V> shown() {
    HWND hdr = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    const int ncols = (int)SendMessageA(hdr, HDM_GETITEMCOUNT, 0, 0);
    std::vector<int> order(ncols);
    SendMessageA(list, LVM_GETCOLUMNORDERARRAY, ncols, (LPARAM)order.data());
    std::vector<V> rows(1);
    for (int c : order) {
      char t[256] = "";
      LVCOLUMNA col{};
      col.mask = LVCF_TEXT;
      col.pszText = t;
      col.cchTextMax = sizeof t;
      SendMessageA(list, LVM_GETCOLUMNA, c, (LPARAM)&col);
      rows[0].push_back(t);
    }
    const int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int r = 0; r < n; ++r) {
      V row;
      for (int c : order) {
        char t[1024] = "";
        LVITEMA it{};
        it.iSubItem = c;
        it.pszText = t;
        it.cchTextMax = sizeof t;
        SendMessageA(list, LVM_GETITEMTEXTA, r, (LPARAM)&it);
        row.push_back(t);
      }
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_F(Export, SavedRowsReadBackAsTheListShowsThem) {
  EXPECT_FALSE(enabled(IDM_FSAVE)) << "nothing to save yet";
  EXPECT_TRUE(enabled(IDM_FCPCMDLN));
  search("*.txt | *.c");
  ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_TRUE(enabled(IDM_FSAVE));

  const std::string csv = g_tmp + "\\out\\rows.csv", txt = g_tmp + "\\out\\rows.txt";
  ASSERT_EQ(quarnw_export_rows(csv.c_str(), FLISTEXP_CSV), 0);
  const std::vector<V> want = shown();
  ASSERT_GE(want[0].size(), 2u);
  EXPECT_EQ(read_csv(read_file(csv)), want);

  ASSERT_EQ(quarnw_export_rows(txt.c_str(), FLISTEXP_PATHS), 0);
  std::set<std::string> paths;
  std::string s = read_file(txt);
  for (size_t at = 0, nl; (nl = s.find("\r\n", at)) != std::string::npos; at = nl + 2) paths.insert(s.substr(at, nl - at));
  EXPECT_EQ(paths, (std::set<std::string>{g_root + "\\a, b.txt", g_root + "\\plain.c", g_root + "\\sub\\deep.txt"}));

  // with a selection, the selected rows only
  LVITEMA sel{};
  sel.stateMask = LVIS_SELECTED;
  sel.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, (LPARAM)&sel);
  pump(50);
  ASSERT_EQ(quarnw_export_rows(csv.c_str(), FLISTEXP_CSV), 0);
  EXPECT_EQ(read_csv(read_file(csv)), (std::vector<V>{want[0], want[2]}));
  EXPECT_EQ(names_in(g_tmp + "\\out"), (V{"rows.csv", "rows.txt"})) << "no temporary file left";
  EXPECT_TRUE(g_reports.empty());

  // the dialog comes up from the command; cancelled, nothing happens
  {
    DialogWatch w("Save results");
    quarnw_command(IDM_FSAVE);
    pump(100);
    EXPECT_TRUE(w.join());
  }
  EXPECT_TRUE(g_reports.empty());
}

TEST_F(Export, AFailedWriteLeavesNoPartialFile) {
  const std::string out = g_tmp + "\\out", keep = out + "\\keep.txt";
  make_file(keep, 3);
  char msg[1024];
  // replaced whole
  ASSERT_EQ(quarnw_export_write(keep.c_str(), "new text", 8, msg, sizeof msg), 0);
  EXPECT_EQ(read_file(keep), "new text");
  // a folder that does not exist: nothing made
  const std::string missing = out + "\\nowhere\\x.txt";
  EXPECT_NE(quarnw_export_write(missing.c_str(), "abc", 3, msg, sizeof msg), 0);
  EXPECT_NE(std::string(msg).find(out + "\\nowhere"), std::string::npos) << msg;
  // the target is a folder: the rename fails, the new file is removed again
  CreateDirectoryA((out + "\\adir").c_str(), nullptr);
  EXPECT_NE(quarnw_export_write((out + "\\adir").c_str(), "abc", 3, msg, sizeof msg), 0);
  EXPECT_NE(std::string(msg).find("adir"), std::string::npos) << msg;
  V left = names_in(out);
  left.erase(std::remove_if(left.begin(), left.end(), [](const std::string& n) { return n.rfind("rows.", 0) == 0; }),
             left.end());
  EXPECT_EQ(left, (V{"adir", "keep.txt"}));
  EXPECT_EQ(read_file(keep), "new text");
  EXPECT_EQ(names_in(out + "\\adir"), V{});
}

std::string clip(UINT fmt) {
  std::string s;
  if (!OpenClipboard(nullptr)) return "(clipboard busy)";
  if (HANDLE h = GetClipboardData(fmt)) {
    if (fmt == CF_UNICODETEXT) {
      const wchar_t* w = static_cast<const wchar_t*>(GlobalLock(h));
      char b[16384];
      WideCharToMultiByte(CP_ACP, 0, w, -1, b, sizeof b, nullptr, nullptr);
      s = b;
    } else {
      s = static_cast<const char*>(GlobalLock(h));
    }
    GlobalUnlock(h);
  }
  CloseClipboard();
  return s;
}

TEST_F(Export, CopyCommandLinePutsTheSearchOnTheClipboard) {
  SendMessageA(GetDlgItem(qd->vw.dlg, IDC_STD_SIZE), WM_SETTEXT, 0, (LPARAM) ">=1k");
  search("*.txt");
  g_cfg.ignorecase = 0;
  ASSERT_EQ(quarnw_command(IDM_FCPCMDLN), 0);
  char line[QNCMDLN_SIZE];
  ASSERT_EQ(quarnw_cmdln(line, sizeof line), 0);
  EXPECT_EQ(std::string(line), "quarn " + g_root + " ( ! -size:-1k ) ( -name:*.txt ) -ignorecase:no");
  EXPECT_EQ(clip(CF_TEXT), line);
  EXPECT_EQ(clip(CF_UNICODETEXT), line);
  g_cfg.ignorecase = 1;
  SendMessageA(GetDlgItem(qd->vw.dlg, IDC_STD_SIZE), WM_SETTEXT, 0, (LPARAM) "");
}

}  // namespace
