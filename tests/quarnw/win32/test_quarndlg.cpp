// The find dialog in the program's own main window: fields typed with WM_SETTEXT, Find
// and Stop pressed with BM_CLICK, messages pumped until the machine stops, rows read back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "err/err.h"
#include "fm/flist.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"

namespace {

// --- user reports ------------------------------------------------------------------------

std::mutex g_rep_mtx;
std::vector<std::string> g_reports;  // "level code message"

int report_hook(const uerr_item* it, void*) {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  g_reports.push_back(std::to_string(it->level) + " " + std::to_string(it->code) + " " + (it->msg ? it->msg : ""));
  return 0;
}

std::vector<std::string> take_reports() {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  std::vector<std::string> v;
  v.swap(g_reports);
  return v;
}

// --- the generated tree ------------------------------------------------------------------

std::string g_tmp;   // our temporary directory, with its separator
std::string g_root;  // the tree searched
std::set<std::string> g_entries;  // every path under the root, the root excluded
constexpr int kDirs = 8, kFilesPerDir = 150;

void make_file(const std::string& path, unsigned size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  if (size) {
    SetFilePointer(h, (LONG)size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
  }
  CloseHandle(h);
  g_entries.insert(path);
}

void make_dir(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
  g_entries.insert(path + "\\");
}

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    std::string n = fd.cFileName;
    if (n == "." || n == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      remove_tree(dir + "\\" + n);
    else
      DeleteFileA((dir + "\\" + n).c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

struct TreeEnv : testing::Environment {
  void SetUp() override {
    err_init(0, nullptr, nullptr, nullptr, report_hook, nullptr);
    char t[MAX_PATH];
    GetTempPathA(sizeof t, t);
    g_tmp = std::string(t) + "quarndlg" + std::to_string(GetCurrentProcessId());
    remove_tree(g_tmp);
    ASSERT_TRUE(CreateDirectoryA(g_tmp.c_str(), nullptr));
    g_root = g_tmp + "\\Tree";
    ASSERT_TRUE(CreateDirectoryA(g_root.c_str(), nullptr));
    make_file(g_root + "\\my file.txt", 10);
    make_file(g_root + "\\my", 10);
    make_file(g_root + "\\file.txt", 10);
    for (int d = 0; d < kDirs; ++d) {
      const std::string dir = g_root + "\\d" + std::to_string(d);
      make_dir(dir);
      make_dir(dir + "\\sub");
      for (int f = 0; f < kFilesPerDir; ++f) {
        static const char* const kExt[] = {".txt", ".c", ".obj", ".h", ""};
        const std::string where = f % 3 ? dir : dir + "\\sub";
        make_file(where + "\\f" + std::to_string(f) + kExt[f % 5], (unsigned)((f * 977 + d * 131) % 6000));
      }
    }
    CreateDirectoryA((g_tmp + "\\cfg").c_str(), nullptr);
  }
  void TearDown() override {
    remove_tree(g_tmp);
    err_free();
  }
};
testing::Environment* const tree_env = testing::AddGlobalTestEnvironment(new TreeEnv);

std::string upper(std::string s) {
  for (char& c : s) c = (char)toupper((unsigned char)c);
  return s;
}

// --- the program -------------------------------------------------------------------------

struct FindDlg : testing::Test {
  quarndlg* qd = nullptr;
  HWND path = nullptr, name = nullptr, md = nullptr, size = nullptr, find = nullptr, list = nullptr;

  void SetUp() override {
    const std::string cfgdir = "-cfgdir:" + g_tmp + "\\cfg";
    const char* args[] = {cfgdir.c_str()};
    int ended = 0;
    ASSERT_EQ(quarnw_startup(1, args, SW_SHOWNOACTIVATE, &ended), 0);
    ASSERT_NE(g_main_wnd, nullptr);
    qd = g_quarndlg;
    ASSERT_NE(qd, nullptr);
    ASSERT_NE(qd->vw.dlg, nullptr);
    path = GetDlgItem(qd->vw.dlg, IDC_STD_PATH);
    name = GetDlgItem(qd->vw.dlg, IDC_STD_NAME);
    md = GetDlgItem(qd->vw.dlg, IDC_STD_MD);
    size = GetDlgItem(qd->vw.dlg, IDC_STD_SIZE);
    find = GetDlgItem(qd->vw.dlg, IDC_STD_FIND);
    list = GetDlgItem(qd->dlg, IDC_QD_FLIST);
    ASSERT_TRUE(path && name && md && size && find && list);
    g_cfg.sortby[0] = 0;
    g_cfg.sortrev = 0;
    g_cfg.ignorecase = 1;
    pump();
    take_reports();
  }
  void TearDown() override {
    if (g_main_wnd) DestroyWindow(g_main_wnd);
    pump();
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    quarnw_shutdown(1);  // nothing saved
    take_reports();
  }

  static bool pump_until(const std::function<bool()>& done, DWORD ms = 30000) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) return done();
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      if (done()) return true;
      if ((int)(GetTickCount() - end) > 0) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  static void pump() {
    pump_until([] { return false; }, 50);
  }
  bool stopped() const { return !quarndlg_running(qd) && ntf_queued(&g_ntf) == 0; }
  bool wait_stopped() {
    return pump_until([this] { return stopped(); });
  }

  void type(HWND ctrl, const std::string& text) { SendMessageA(ctrl, WM_SETTEXT, 0, (LPARAM)text.c_str()); }
  // The Path box hears of typing through its edit-change command.
  void type_path(const std::string& text) {
    type(path, text);
    SendMessageA(qd->vw.dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE), (LPARAM)path);
  }
  void fields(const std::string& p, const std::string& n, const std::string& m, const std::string& s) {
    type_path(p);
    type(name, n);
    type(md, m);
    type(size, s);
  }
  void click() { SendMessageA(find, BM_CLICK, 0, 0); }
  bool search() {
    click();
    return wait_stopped();
  }
  std::string text(HWND w) {
    char b[1024] = "";
    GetWindowTextA(w, b, sizeof b);
    return b;
  }

  const flist* fl() const { return &qd->fl; }
  static std::string row_path(const frec* r) { return std::string(r->dir) + (r->name ? r->name : ""); }
  std::vector<std::string> rows() const {
    std::vector<std::string> v;
    for (unsigned i = 0; i < flist_count(fl()); ++i) v.push_back(row_path(flist_get(fl(), i)));
    return v;
  }
  std::set<std::string> row_set() const {
    auto v = rows();
    return {v.begin(), v.end()};
  }
  int list_count() const { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
  std::string progress() {
    std::string t;
    if (progr_lock(&g_progr) == 0) {
      t = g_progr.text;
      progr_unlock(&g_progr);
    }
    return t;
  }
  unsigned char cancelled() {
    unsigned char c = 0;
    if (progr_lock(&g_progr) == 0) {
      c = g_progr.cancelled;
      progr_unlock(&g_progr);
    }
    return c;
  }
  static bool has_report(const std::vector<std::string>& r, const std::string& prefix, const std::string& msg) {
    return std::any_of(r.begin(), r.end(),
                       [&](const std::string& x) { return x.rfind(prefix, 0) == 0 && x.find(msg) != std::string::npos; });
  }
  void set_sortby(const char* col) {
    const char* keys = quarnwcfg_sortby_of(&g_cfg, col);
    ASSERT_NE(keys, nullptr) << col;
    strcpy(g_cfg.sortby, keys);
  }
  bool in_found_order() const {
    for (unsigned i = 0; i < flist_count(fl()); ++i)
      if (flist_get(fl(), i) != flist_get_found(fl(), i)) return false;
    return true;
  }
  bool sorted_by_name() const {
    // directories may be grouped before files; within each kind names never go down
    for (unsigned i = 1; i < flist_count(fl()); ++i) {
      const frec *a = flist_get(fl(), i - 1), *b = flist_get(fl(), i);
      if (frec_isdir(a) == frec_isdir(b) && _stricmp(a->name, b->name) > 0) return false;
    }
    return true;
  }
};

// The console tool on the same tree with the expression in its signed form.
std::set<std::string> console(const std::string& args) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string dir = exe;
  dir.resize(dir.find_last_of('\\') + 1);
  const std::string out = g_tmp + "\\console.txt";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE h = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = h;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + dir + "quarn.exe\" " + args;
  std::vector<char> line(cmd.begin(), cmd.end());
  line.push_back(0);
  BOOL ok = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  EXPECT_TRUE(ok) << cmd;
  if (ok) {
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD rc = 1;
    GetExitCodeProcess(pi.hProcess, &rc);
    EXPECT_EQ(rc, 0u) << cmd;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(h);
  std::set<std::string> lines;
  FILE* f = fopen(out.c_str(), "rb");
  char buf[4096];
  while (f && fgets(buf, sizeof buf, f)) {
    std::string l = buf;
    while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
    lines.insert(l);
  }
  if (f) fclose(f);
  return lines;
}

// --- searching ---------------------------------------------------------------------------

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
    const std::set<std::string> got = row_set();
    EXPECT_EQ(got, console("\"" + g_root + "\" " + c.signed_form)) << c.name;
    EXPECT_EQ(list_count(), (int)got.size());
    EXPECT_TRUE(take_reports().empty()) << c.name;
  }
  // the typed values stayed in the settings
  EXPECT_STREQ(g_cfg.std_name, "*.h");
  EXPECT_STREQ(g_cfg.std_md, ">2019-12");
  EXPECT_STREQ(g_cfg.path, g_root.c_str());
}

TEST_F(FindDlg, QuotedNameWithABlankFindsThatFile) {
  fields(g_root, "\"my file.txt\"", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(rows(), std::vector<std::string>{g_root + "\\my file.txt"});
  EXPECT_TRUE(take_reports().empty());
  // unquoted, the two words are two names that must both match: nothing does
  fields(g_root, "my file.txt", "", "");
  ASSERT_TRUE(search());
  EXPECT_TRUE(rows().empty());
}

TEST_F(FindDlg, AllFieldsEmptyMatchEverything) {
  fields(g_root, "", "", "");
  ASSERT_TRUE(search());
  std::set<std::string> got = row_set();
  EXPECT_EQ(got.size(), g_entries.size() + 1);  // and the root itself
  for (const std::string& e : g_entries) EXPECT_TRUE(got.count(e)) << e;
  EXPECT_EQ(list_count(), (int)got.size());
  EXPECT_EQ(progress(), "Find: done");  // no sort order: no sort thread
  EXPECT_TRUE(take_reports().empty());
  EXPECT_EQ(text(find), "Find");
}

TEST_F(FindDlg, PathWordsEmptyAndDuplicate) {
  fields("", "*.txt", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(list_count(), 0);
  auto r = take_reports();
  EXPECT_TRUE(has_report(r, "4 9010 ", "No path specified.")) << r.size();

  fields(g_root, "*.c", "", "");
  ASSERT_TRUE(search());
  const std::set<std::string> once = row_set();
  ASSERT_FALSE(once.empty());
  take_reports();

  // the same directory twice, the second time in other letters: searched once
  fields(g_root + " " + upper(g_root), "*.c", "", "");
  ASSERT_TRUE(search());
  EXPECT_EQ(row_set(), once);
  EXPECT_EQ(list_count(), (int)once.size());
  r = take_reports();
  EXPECT_TRUE(has_report(r, "5 9007 ", "Duplicate path: " + upper(g_root) + ": ignored.")) << r.size();

  // with case counting, the other letters are another path (the same files again)
  g_cfg.ignorecase = 0;
  fields("\"" + g_root + "\" '" + g_root + "'", "*.c", "", "");
  ASSERT_TRUE(search());
  r = take_reports();
  EXPECT_TRUE(has_report(r, "5 9007 ", "Duplicate path: " + g_root + ": ignored."));
  EXPECT_EQ(row_set(), once);
}

TEST_F(FindDlg, BadFieldIsPaintedReportedAndClearsTheList) {
  fields(g_root, "*.c", "", "");
  ASSERT_TRUE(search());
  ASSERT_GT(list_count(), 0);
  take_reports();

  fields(g_root, "*.c", "", "abc");
  click();
  EXPECT_FALSE(quarndlg_running(qd));
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(list_count(), 0);
  EXPECT_EQ(flist_count(fl()), 0u);
  const ctlclr_ent* c = ctlclr_find(&g_ctlclr, size);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->fg, g_cfg.inval_fgClr);
  EXPECT_EQ(c->bg, g_cfg.inval_bgClr);
  EXPECT_EQ(ctlclr_find(&g_ctlclr, name), nullptr);
  auto r = take_reports();
  EXPECT_TRUE(has_report(r, "4 ", "( -size:abc )")) << r.size();

  // a lone operator in Name, too: both fields marked, one report each
  type(name, "&");
  click();
  ASSERT_TRUE(wait_stopped());
  EXPECT_NE(ctlclr_find(&g_ctlclr, name), nullptr);
  EXPECT_NE(ctlclr_find(&g_ctlclr, size), nullptr);
  r = take_reports();
  EXPECT_TRUE(has_report(r, "4 ", "( -a )"));
  EXPECT_TRUE(has_report(r, "4 ", "( -size:abc )"));

  // typing into a marked field takes its mark away; the next Find searches
  type(size, ">10");
  EXPECT_EQ(ctlclr_find(&g_ctlclr, size), nullptr);
  type(name, "*.c");
  EXPECT_EQ(ctlclr_find(&g_ctlclr, name), nullptr);
  ASSERT_TRUE(search());
  EXPECT_GT(list_count(), 0);
}

TEST_F(FindDlg, EnterInTheDialogActsAsFind) {
  fields(g_root, "*.obj", "", "");
  SendMessageA(qd->dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_FIND, BN_CLICKED), 0);
  ASSERT_TRUE(wait_stopped());
  EXPECT_GT(list_count(), 0);
  for (const std::string& p : rows()) EXPECT_EQ(p.substr(p.size() - 4), ".obj");
  // the dialog's default button is the view's Find
  EXPECT_EQ(LOWORD(SendMessageA(qd->dlg, DM_GETDEFID, 0, 0)), IDC_STD_FIND);
  // the searched path went to the front of the history and into the box's list
  EXPECT_EQ(std::string(fpathlist_text(fpathlist_first(&g_cfg.pathlist))), g_root);
  EXPECT_GE(SendMessageA(path, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)g_root.c_str()), 0);
  EXPECT_EQ(text(path), g_root);
}

// --- stopping and sorting ----------------------------------------------------------------

// The test holds the progress lock so the worker waits at its ticks; the walk is let on
// a few entries at a time until a part of the tree is found.
TEST_F(FindDlg, StopWhileFindingSortsThePartThenStopWhileSortingLeavesItUnsorted) {
  g_cfg.progress_updateEvery = 0;
  g_cfg.progress_cbEvery = 1;
  g_cfg.progress_lockTimeout = 30000;
  set_sortby("name");
  fields(g_root, "", "", "");

  // first: Stop during finding, the sort still runs
  ASSERT_EQ(progr_lock(&g_progr), 0);
  click();
  ASSERT_TRUE(quarndlg_running(qd));
  EXPECT_EQ(text(find), "Stop");
  const DWORD end = GetTickCount() + 20000;
  while (flist_count(fl()) < 100 && (int)(GetTickCount() - end) < 0) {
    progr_unlock(&g_progr);
    Sleep(0);
    progr_lock(&g_progr);
  }
  click();  // Stop
  progr_unlock(&g_progr);
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(cancelled(), PROGR_CANCELLED_FIND);
  const unsigned part = flist_count(fl());
  EXPECT_GE(part, 100u);
  EXPECT_LT(part, g_entries.size());
  EXPECT_EQ(list_count(), (int)part);
  EXPECT_STRNE(g_cfg.sortby, "");
  EXPECT_TRUE(sorted_by_name());
  EXPECT_FALSE(in_found_order());
  EXPECT_EQ(progress(), "Sort: done");
  EXPECT_EQ(text(find), "Find");

  // second: Stop during finding and again during sorting
  ASSERT_EQ(progr_lock(&g_progr), 0);
  click();
  while (flist_count(fl()) < 100 && (int)(GetTickCount() - end) < 0) {
    progr_unlock(&g_progr);
    Sleep(0);
    progr_lock(&g_progr);
  }
  click();
  progr_unlock(&g_progr);
  // the walk ends; the lock is taken again before the sort thread can tick
  ASSERT_TRUE(pump_until([this] { return progress() == "Find: done"; }));
  ASSERT_EQ(progr_lock(&g_progr), 0);
  ASSERT_TRUE(pump_until([this] { return sm_state(&qd->m) == QD_SORTING; }));
  click();  // Stop again
  progr_unlock(&g_progr);
  ASSERT_TRUE(wait_stopped());
  EXPECT_EQ(cancelled(), PROGR_CANCELLED_FIND | PROGR_CANCELLED_SORT);
  EXPECT_STREQ(g_cfg.sortby, "");
  EXPECT_EQ(g_cfg.sortrev, 0);
  EXPECT_TRUE(in_found_order());
  EXPECT_EQ(list_count(), (int)flist_count(fl()));
  EXPECT_FALSE(quarndlg_running(qd));
}

TEST_F(FindDlg, SelectionAndFocusFollowTheirRecordThroughASort) {
  fields(g_root, "*.txt", "", "");
  ASSERT_TRUE(search());
  ASSERT_TRUE(in_found_order());
  const std::vector<std::string> before = rows();
  const std::string pick[] = {g_root + "\\my file.txt", g_root + "\\d3\\f5.txt"};
  for (const std::string& p : pick) {
    const int i = (int)(std::find(before.begin(), before.end(), p) - before.begin());
    ASSERT_LT(i, (int)before.size()) << p;
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | (p == pick[0] ? LVIS_FOCUSED : 0);
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)i, (LPARAM)&it);
  }
  set_sortby("name");
  g_cfg.sortrev = 1;
  ASSERT_EQ(quarndlg_sort(qd), 0);
  ASSERT_TRUE(wait_stopped());
  EXPECT_NE(rows(), before);
  std::set<std::string> selected;
  for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED)) >= 0;)
    selected.insert(row_path(flist_get(fl(), (unsigned)i)));
  EXPECT_EQ(selected, std::set<std::string>(std::begin(pick), std::end(pick)));
  const int focus = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
  ASSERT_GE(focus, 0);
  EXPECT_EQ(row_path(flist_get(fl(), (unsigned)focus)), pick[0]);
  for (unsigned i = 0; i < flist_count(fl()); ++i)
    EXPECT_EQ(flist_get(fl(), i)->flags & (FREC_SELECTED | FREC_FOCUS), 0u);
  // a sort while one runs is refused
  g_cfg.progress_lockTimeout = 30000;
  ASSERT_EQ(progr_lock(&g_progr), 0);
  ASSERT_EQ(quarndlg_sort(qd), 0);
  EXPECT_NE(quarndlg_sort(qd), 0);
  EXPECT_NE(quarndlg_search(qd, ""), 0);
  progr_unlock(&g_progr);
  ASSERT_TRUE(wait_stopped());
}

// --- the view ----------------------------------------------------------------------------

TEST_F(FindDlg, FieldsComeFromTheSettingsAndTheLayoutFollowsTheFrame) {
  strcpy(g_cfg.std_name, "*.cpp");
  strcpy(g_cfg.std_md, "<3d");
  strcpy(g_cfg.std_size, "zz");
  strcpy(g_cfg.path, "C:\\x");
  ASSERT_EQ(quarndlg_show_view(qd), 0);
  EXPECT_EQ(text(name), "*.cpp");
  EXPECT_EQ(text(md), "<3d");
  EXPECT_EQ(text(size), "zz");
  EXPECT_EQ(text(path), "C:\\x");
  // shown fields are validated at once
  EXPECT_NE(ctlclr_find(&g_ctlclr, size), nullptr);
  EXPECT_EQ(ctlclr_find(&g_ctlclr, md), nullptr);
  EXPECT_FALSE(take_reports().empty());

  int minw = 0, minh = 0;
  ASSERT_EQ(quarndlg_min_size(qd, &minw, &minh), 0);
  EXPECT_GT(minw, 0);
  EXPECT_GT(minh, 0);
  auto rect = [](HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
  };
  SetWindowPos(g_main_wnd, nullptr, 0, 0, minw + 300, minh + 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  pump();
  const RECT l0 = rect(list), n0 = rect(name), f0 = rect(find), m0 = rect(md);
  SetWindowPos(g_main_wnd, nullptr, 0, 0, minw + 500, minh + 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  pump();
  const RECT l1 = rect(list), n1 = rect(name), f1 = rect(find), m1 = rect(md);
  EXPECT_EQ(l1.right - l1.left, l0.right - l0.left + 200);
  EXPECT_EQ(l1.bottom - l1.top, l0.bottom - l0.top + 100);
  EXPECT_EQ(n1.right - n1.left, n0.right - n0.left + 200);
  EXPECT_EQ(n1.bottom - n1.top, n0.bottom - n0.top);
  EXPECT_EQ(f1.right - f1.left, f0.right - f0.left);  // the button keeps its size
  EXPECT_LE(m1.right - m1.left, 25 * 16);             // Modified stops at its maximum
  EXPECT_GE(m1.right - m1.left, m0.right - m0.left);
  EXPECT_GE(l1.top, n1.bottom);                       // the list stays below the view
}

}  // namespace
