// The find dialog in the program's own main window: fields typed with WM_SETTEXT, Find
// and Stop pressed with BM_CLICK, messages pumped until the machine stops, rows read back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "err/err.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"

namespace {

using strs = std::set<std::string>;
std::mutex g_mtx;
std::string g_reports;  // "level code message\n" of every user report, from any thread

int report_hook(const uerr_item* it, void*) {
  std::lock_guard<std::mutex> l(g_mtx);
  g_reports += std::to_string(it->level) + " " + std::to_string(it->code) + " " + (it->msg ? it->msg : "") + "\n";
  return 0;
}
std::string take_reports() {
  std::lock_guard<std::mutex> l(g_mtx);
  return std::move(g_reports);
}

std::string g_tmp, g_root;  // our temporary directory; the tree searched
strs g_entries;             // every path under the root

void make(const std::string& path, int size) {  // size < 0: a directory
  if (size < 0) {
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
  } else {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    SetFilePointer(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
  }
  g_entries.insert(path);
}

struct TreeEnv : testing::Environment {
  void SetUp() override {
    err_init(0, nullptr, nullptr, nullptr, report_hook, nullptr);
    char t[MAX_PATH];
    GetTempPathA(sizeof t, t);
    g_tmp = t + std::string("quarndlg") + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(g_tmp.c_str(), nullptr);
    CreateDirectoryA((g_tmp + "\\cfg").c_str(), nullptr);
    g_root = g_tmp + "\\Tree";
    ASSERT_TRUE(CreateDirectoryA(g_root.c_str(), nullptr));
    for (const char* n : {"my file.txt", "my", "file.txt"}) make(g_root + "\\" + n, 10);
    static const char* const kExt[] = {".txt", ".c", ".obj", ".h", ""};
    for (int d = 0; d < 8; ++d) {
      const std::string dir = g_root + "\\d" + std::to_string(d);
      make(dir, -1);
      make(dir + "\\sub", -1);
      for (int f = 0; f < 150; ++f)
        make((f % 3 ? dir : dir + "\\sub") + "\\f" + std::to_string(f) + kExt[f % 5], (f * 977 + d * 131) % 6000);
    }
  }
  void TearDown() override {
    std::vector<std::string> all(g_entries.rbegin(), g_entries.rend());  // contents before their directory
    for (const std::string& p : all)
      if (!DeleteFileA(p.c_str())) RemoveDirectoryA(p.c_str());
    RemoveDirectoryA(g_root.c_str());
    err_free();
  }
};
testing::Environment* const tree_env = testing::AddGlobalTestEnvironment(new TreeEnv);

struct FindDlg : testing::Test {
  quarndlg* qd = nullptr;
  HWND path{}, name{}, md{}, size{}, find{}, list{};

  void SetUp() override {
    const std::string cfgdir = "-cfgdir:" + g_tmp + "\\cfg";
    const char* args[] = {cfgdir.c_str()};
    int ended = 0;
    ASSERT_EQ(quarnw_startup(1, args, SW_SHOWNOACTIVATE, &ended), 0);
    ASSERT_NE(qd = g_quarndlg, nullptr);
    HWND* ctrls[] = {&path, &name, &md, &size, &find};
    const int ids[] = {IDC_STD_PATH, IDC_STD_NAME, IDC_STD_MD, IDC_STD_SIZE, IDC_STD_FIND};
    for (int i = 0; i < 5; ++i) ASSERT_NE(*ctrls[i] = GetDlgItem(qd->vw.dlg, ids[i]), nullptr);
    ASSERT_NE(list = GetDlgItem(qd->dlg, IDC_QD_FLIST), nullptr);
    g_cfg.sortby[0] = 0;
    g_cfg.sortrev = 0;
    g_cfg.ignorecase = 1;
    pump_until(nullptr, 50);
    take_reports();
  }
  void TearDown() override {
    DestroyWindow(g_main_wnd);
    pump_until(nullptr, 50);
    quarnw_shutdown(1);  // nothing saved
  }

  // Dispatches until done() holds (nullptr: for ms); false on time-out.
  static bool pump_until(const std::function<bool()>& done, DWORD ms = 30000) {
    for (const DWORD end = GetTickCount() + ms;;) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message != WM_QUIT) DispatchMessageA(&m);
      if (done && done()) return true;
      if ((int)(GetTickCount() - end) > 0) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  bool wait_stopped() {
    return pump_until([this] { return !quarndlg_running(qd) && ntf_queued(&g_ntf) == 0; });
  }
  void fields(const std::string& p, const char* n, const char* m, const char* s) {
    SendMessageA(path, WM_SETTEXT, 0, (LPARAM)p.c_str());  // the box hears of typing by its edit-change
    SendMessageA(qd->vw.dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE), (LPARAM)path);
    for (auto f : {std::make_pair(name, n), {md, m}, {size, s}}) SendMessageA(f.first, WM_SETTEXT, 0, (LPARAM)f.second);
  }
  void click() { SendMessageA(find, BM_CLICK, 0, 0); }
  bool search() {
    click();
    return wait_stopped();
  }
  static std::string text(HWND w) {
    char b[1024] = "";
    GetWindowTextA(w, b, sizeof b);
    return b;
  }
  static std::string row_path(const frec* r) { return std::string(r->dir) + (r->name ? r->name : ""); }
  std::vector<std::string> rows() const {
    std::vector<std::string> v;
    for (unsigned i = 0; i < flist_count(&qd->fl); ++i) v.push_back(row_path(flist_get(&qd->fl, i)));
    return v;
  }
  strs row_set() const {
    auto v = rows();
    EXPECT_EQ((int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), (int)v.size()) << "rows published";
    return {v.begin(), v.end()};
  }
  std::string progress() {
    if (progr_lock(&g_progr)) return "";
    std::string t = g_progr.text;
    progr_unlock(&g_progr);
    return t;
  }
  bool in_found_order() const {
    for (unsigned i = 0; i < flist_count(&qd->fl); ++i)
      if (flist_get(&qd->fl, i) != flist_get_found(&qd->fl, i)) return false;
    return true;
  }
  // Holding the progress lock, the walk is let on a few entries at a time until part of the
  // tree is found; then Stop.
  void stop_after(unsigned n) {
    for (const DWORD end = GetTickCount() + 20000; flist_count(&qd->fl) < n && (int)(GetTickCount() - end) < 0;) {
      progr_unlock(&g_progr);
      Sleep(0);
      progr_lock(&g_progr);
    }
    click();
    progr_unlock(&g_progr);
  }
};

// The console tool on the same tree with the expression in its signed form.
strs console(const std::string& args) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string cmd = exe;
  cmd = "\"" + cmd.substr(0, cmd.find_last_of('\\') + 1) + "quarn.exe\" " + args;
  const std::string out = g_tmp + "\\console.txt";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE h = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = h;
  PROCESS_INFORMATION pi{};
  EXPECT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) << cmd;
  DWORD rc = 1;
  WaitForSingleObject(pi.hProcess, 60000);
  GetExitCodeProcess(pi.hProcess, &rc);
  EXPECT_EQ(rc, 0u) << cmd;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(h);
  strs lines;
  char buf[4096];
  for (FILE* f = fopen(out.c_str(), "rb"); f && (fgets(buf, sizeof buf, f) || (fclose(f), false));)
    lines.insert(std::string(buf, strcspn(buf, "\r\n")));
  return lines;
}

TEST_F(FindDlg, SameMatchesAsTheConsoleTool) {
  const struct {
    const char *name, *md, *size, *signed_form;
  } cases[] = {
      {"*.txt | *.c", "", ">2k", "( -size:+2k ) ( -name:*.txt -o -name:*.c )"},
      {"! *.obj & f1*", "", "<=1000", "( -size:-1001 -o -size:1000 ) ( ! -name:*.obj -a -name:f1* )"},
      {"*.h", ">2019-12", "", "( -md:+2019-12 ) ( -name:*.h )"},
  };
  for (const auto& c : cases) {
    fields(g_root, c.name, c.md, c.size);
    ASSERT_TRUE(search()) << c.name;
    EXPECT_EQ(row_set(), console("\"" + g_root + "\" " + c.signed_form)) << c.name;
  }
  EXPECT_EQ(take_reports(), "");
  EXPECT_STREQ(g_cfg.std_md, ">2019-12");  // the typed values are the settings
  EXPECT_STREQ(g_cfg.path, g_root.c_str());

  // a name typed in quotes keeps its blank; unquoted, the words are two names that both must match
  fields(g_root, "\"my file.txt\"", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(rows(), std::vector<std::string>{g_root + "\\my file.txt"});
  fields(g_root, "my file.txt", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(rows(), std::vector<std::string>{});
  EXPECT_EQ(take_reports(), "");
}

TEST_F(FindDlg, PathWords) {
  // all fields empty: every entry, the root too; no sort order, no sort thread
  fields(g_root, "", "", "");
  ASSERT_TRUE(search());
  strs all = g_entries;
  all.insert(g_root);
  EXPECT_EQ(row_set(), all);
  EXPECT_EQ(progress(), "Find: done");
  EXPECT_EQ(text(find), "Find");

  fields("", "*.txt", "", "");
  ASSERT_TRUE(search());
  EXPECT_TRUE(row_set().empty());
  EXPECT_EQ(take_reports(), "4 9010 No path specified.\n");

  // the same directory twice, the second time in other letters: searched once
  fields(g_root, "*.c", "", "");
  ASSERT_TRUE(search());
  const strs once = row_set();
  ASSERT_FALSE(once.empty());
  std::string up = g_root;
  std::transform(up.begin(), up.end(), up.begin(), ::toupper);
  fields(g_root + " " + up, "*.c", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(row_set(), once);
  EXPECT_EQ(take_reports(), "5 9007 Duplicate path: " + up + ": ignored.\n");
  // with case counting the other letters are another path; quoted words are paths too
  g_cfg.ignorecase = 0;
  fields("\"" + g_root + "\" '" + g_root + "'", "*.c", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(row_set(), once);
  EXPECT_EQ(take_reports(), "5 9007 Duplicate path: " + g_root + ": ignored.\n");

  // Enter in the dialog is Find; the path went to the front of the history and the box
  fields(g_root, "*.obj", "", "");
  SendMessageA(qd->dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_FIND, BN_CLICKED), 0);
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(row_set().size(), 8u * 30u);
  EXPECT_EQ(LOWORD(SendMessageA(qd->dlg, DM_GETDEFID, 0, 0)), IDC_STD_FIND);
  EXPECT_EQ(std::string(fpathlist_text(fpathlist_first(&g_cfg.pathlist))), g_root);
  EXPECT_GE(SendMessageA(path, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)g_root.c_str()), 0);
  EXPECT_EQ(text(path), g_root);
}

TEST_F(FindDlg, BadFieldsArePaintedReportedAndClearTheList) {
  fields(g_root, "*.c", "", "");
  ASSERT_TRUE(search());
  ASSERT_FALSE(row_set().empty());
  auto marked = [](HWND w) {
    const ctlclr_ent* c = ctlclr_find(&g_ctlclr, w);
    return c && c->fg == g_cfg.inval_fgClr && c->bg == g_cfg.inval_bgClr;
  };
  fields(g_root, "*.c", "", "abc");
  click();
  EXPECT_FALSE(quarndlg_running(qd));
  ASSERT_TRUE(wait_stopped());
  EXPECT_TRUE(row_set().empty());
  EXPECT_TRUE(marked(size));
  EXPECT_FALSE(marked(name));
  std::string r = take_reports();
  EXPECT_NE(r.find("4 9003 "), std::string::npos);
  EXPECT_NE(r.find(":  ( -size:abc ).\n"), std::string::npos) << r;

  // a lone operator in Name as well: both marked, both reported
  fields(g_root, "&", "", "abc");
  click();
  ASSERT_TRUE(wait_stopped());
  EXPECT_TRUE(marked(name) && marked(size));
  r = take_reports();
  EXPECT_NE(r.find(":  ( -a ).\n"), std::string::npos) << r;
  EXPECT_NE(r.find(":  ( -size:abc ).\n"), std::string::npos) << r;

  // typing takes a mark away; the next Find searches
  fields(g_root, "*.c", "", ">10");
  EXPECT_FALSE(marked(name) || marked(size));
  ASSERT_TRUE(search());
  EXPECT_FALSE(row_set().empty());
}

TEST_F(FindDlg, StopWhileFindingSortsThePartStopWhileSortingLeavesItUnsorted) {
  g_cfg.progress_updateEvery = 0;
  g_cfg.progress_cbEvery = 1;
  g_cfg.progress_lockTimeout = 30000;
  strcpy(g_cfg.sortby, quarnwcfg_sortby_of(&g_cfg, "name"));
  fields(g_root, "", "", "");

  ASSERT_EQ(progr_lock(&g_progr), 0);
  click();
  ASSERT_TRUE(quarndlg_running(qd));
  EXPECT_EQ(text(find), "Stop");
  stop_after(100);
  // every tick wrote a progress line: found, examined, the entry's path
  const std::string line = progress();
  EXPECT_EQ(line.find("Find: "), 0u) << line;
  EXPECT_NE(line.find("/"), std::string::npos) << line;
  EXPECT_NE(line.find(" " + g_root), std::string::npos) << line;
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(g_progr.cancelled, PROGR_CANCELLED_FIND);
  const unsigned part = flist_count(&qd->fl);
  EXPECT_GE(part, 100u);
  EXPECT_LT(part, g_entries.size());
  EXPECT_EQ(row_set().size(), part);
  EXPECT_FALSE(in_found_order());
  for (unsigned i = 1; i < part; ++i) {  // names never go down within directories and files
    const frec *a = flist_get(&qd->fl, i - 1), *b = flist_get(&qd->fl, i);
    EXPECT_FALSE(frec_isdir(a) == frec_isdir(b) && _stricmp(a->name, b->name) > 0) << a->name << " " << b->name;
  }
  EXPECT_EQ(progress(), "Sort: done");
  EXPECT_EQ(text(find), "Find");

  // again; the walk ends without a dispatch, so the lock is held before the sort can tick
  ASSERT_EQ(progr_lock(&g_progr), 0);
  click();
  stop_after(100);
  for (DWORD t = GetTickCount(); progress() != "Find: done" && GetTickCount() - t < 20000;) Sleep(5);
  ASSERT_EQ(progr_lock(&g_progr), 0);
  ASSERT_TRUE(pump_until([this] { return sm_state(&qd->m) == QD_SORTING; }));
  click();  // the second Stop
  progr_unlock(&g_progr);
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(g_progr.cancelled, PROGR_CANCELLED_FIND | PROGR_CANCELLED_SORT);
  EXPECT_STREQ(g_cfg.sortby, "");
  EXPECT_EQ(g_cfg.sortrev, 0);
  EXPECT_TRUE(in_found_order());
  EXPECT_EQ(row_set().size(), flist_count(&qd->fl));
}

// The session ends during a search: the walk is stopped before the dialog's record goes.
// A helper holds the progress lock a while so the walk is still on when the window goes.
TEST_F(FindDlg, DestroyedWhileFinding) {
  g_cfg.progress_updateEvery = 0;
  g_cfg.progress_lockTimeout = 30000;
  fields(g_root, "", "", "");
  HANDLE locked = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  auto hold = [](void* ev) -> DWORD {
    progr_lock(&g_progr);
    SetEvent(static_cast<HANDLE>(ev));
    Sleep(4000);  // the window system takes its time over destroying the frame
    return progr_unlock(&g_progr);
  };
  click();
  HANDLE helper = CreateThread(nullptr, 0, +hold, locked, 0, nullptr);
  ASSERT_EQ(WaitForSingleObject(locked, 10000), WAIT_OBJECT_0);
  ASSERT_EQ(qd->worker, 1);
  DestroyWindow(g_main_wnd);
  EXPECT_EQ(g_quarndlg, nullptr);
  EXPECT_EQ(g_progr.cancelled, PROGR_CANCELLED_FIND);
  WaitForSingleObject(helper, 10000);
  CloseHandle(helper);
  CloseHandle(locked);
}

TEST_F(FindDlg, SelectionAndFocusFollowTheirRecordsThroughASort) {
  fields(g_root, "*.txt", "", "");
  ASSERT_TRUE(search());
  const std::vector<std::string> before = rows();
  const strs pick = {g_root + "\\my file.txt", g_root + "\\d3\\f5.txt"};
  for (const std::string& p : pick) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | (p == *pick.begin() ? LVIS_FOCUSED : 0);
    SendMessageA(list, LVM_SETITEMSTATE, std::find(before.begin(), before.end(), p) - before.begin(), (LPARAM)&it);
  }
  strcpy(g_cfg.sortby, quarnwcfg_sortby_of(&g_cfg, "name"));
  g_cfg.sortrev = 1;
  ASSERT_EQ(quarndlg_sort(qd), 0);
  ASSERT_TRUE(wait_stopped());
  EXPECT_NE(rows(), before);
  strs selected;
  for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED)) >= 0;)
    selected.insert(row_path(flist_get(&qd->fl, (unsigned)i)));
  EXPECT_EQ(selected, pick);
  const int focus = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
  ASSERT_GE(focus, 0);
  EXPECT_EQ(row_path(flist_get(&qd->fl, (unsigned)focus)), *pick.begin());

  // while a sort runs, another sort or search is refused
  g_cfg.progress_lockTimeout = 30000;
  ASSERT_EQ(progr_lock(&g_progr), 0);
  ASSERT_EQ(quarndlg_sort(qd), 0);
  EXPECT_NE(quarndlg_sort(qd), 0);
  EXPECT_NE(quarndlg_search(qd, ""), 0);
  progr_unlock(&g_progr);
  ASSERT_TRUE(wait_stopped());
}

TEST_F(FindDlg, FieldsComeFromTheSettingsAndTheLayoutFollowsTheFrame) {
  strcpy(g_cfg.std_name, "*.cpp");
  strcpy(g_cfg.std_md, "<2024-03");
  strcpy(g_cfg.std_size, "zz");
  strcpy(g_cfg.path, "C:\\x");
  ASSERT_EQ(quarndlg_show_view(qd), 0);
  EXPECT_EQ(text(name) + text(md) + text(size) + text(path), "*.cpp<2024-03zzC:\\x");
  EXPECT_NE(ctlclr_find(&g_ctlclr, size), nullptr);  // validated when shown
  EXPECT_EQ(ctlclr_find(&g_ctlclr, md), nullptr);
  EXPECT_NE(take_reports(), "");

  int minw = 0, minh = 0;
  ASSERT_EQ(quarndlg_min_size(qd, &minw, &minh), 0);
  ASSERT_GT(minw * minh, 0);
  // widths and heights of the list, Name and the button at two frame sizes
  auto sizes = [&](int w, int h) {
    SetWindowPos(g_main_wnd, nullptr, 0, 0, minw + w, minh + h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pump_until(nullptr, 50);
    std::vector<long> v;
    RECT r;
    for (HWND c : {list, name, find}) GetWindowRect(c, &r), v.push_back(r.right - r.left), v.push_back(r.bottom - r.top);
    return v;
  };
  const auto a = sizes(300, 300), b = sizes(500, 400);
  EXPECT_EQ(b, (std::vector<long>{a[0] + 200, a[1] + 100, a[2] + 200, a[3], a[4], a[5]}));
}

}  // namespace
