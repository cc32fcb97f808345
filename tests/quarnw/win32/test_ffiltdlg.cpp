// The filter and information dialogs in the program's own main window: the filter dialog's
// fields typed, Find pressed, the filter program's output read back; records shown in the
// information dialog; both dialogs open again after a restart.
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
#include "fm/flist.h"
#include "fm/win32/ffiltdlg.h"
#include "fm/win32/finfdlg.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "quarnw/win32/quarnw_wnd.h"
#include "res/ffiltdlg.h"
#include "ui/ctlclr.h"

namespace {

std::mutex g_rep_mtx;
std::vector<std::string> g_reports;

int report_hook(const uerr_item* it, void*) {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  g_reports.push_back(std::to_string(it->code) + " " + (it->msg ? it->msg : ""));
  return 0;
}

std::vector<std::string> take_reports() {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  std::vector<std::string> v;
  v.swap(g_reports);
  return v;
}

std::string g_tmp, g_root, g_tool;

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

std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    for (int c; (c = fgetc(f)) != EOF;)
      if (c != '\r') s += (char)c;
    fclose(f);
  }
  return s;
}

struct Env : testing::Environment {
  void SetUp() override {
    err_init(0, nullptr, nullptr, nullptr, report_hook, nullptr);
    char t[MAX_PATH];
    GetTempPathA(sizeof t, t);
    g_tmp = std::string(t) + "ffiltdlg" + std::to_string(GetCurrentProcessId());
    remove_tree(g_tmp);
    ASSERT_TRUE(CreateDirectoryA(g_tmp.c_str(), nullptr));
    CreateDirectoryA((g_tmp + "\\cfg").c_str(), nullptr);
    g_root = g_tmp + "\\Tree";
    ASSERT_TRUE(CreateDirectoryA(g_root.c_str(), nullptr));
    for (const char* n : {"0.txt", "1.txt", "2.txt", "0.c"})
      CloseHandle(CreateFileA((g_root + "\\" + n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    char exe[MAX_PATH];
    std::string p(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
    g_tool = p.substr(0, p.find_last_of('\\') + 1) + "exitcode.exe";
  }
  void TearDown() override {
    remove_tree(g_tmp);
    err_free();
  }
};
testing::Environment* const env = testing::AddGlobalTestEnvironment(new Env);

struct Dlgs : testing::Test {
  quarndlg* qd = nullptr;
  HWND path = nullptr, name = nullptr, find = nullptr, list = nullptr;

  void start() {
    const std::string cfgdir = "-cfgdir:" + g_tmp + "\\cfg";
    const char* args[] = {cfgdir.c_str()};
    int ended = 0;
    ASSERT_EQ(quarnw_startup(1, args, SW_SHOWNOACTIVATE, &ended), 0);
    qd = g_quarndlg;
    ASSERT_NE(qd, nullptr);
    path = GetDlgItem(qd->vw.dlg, IDC_STD_PATH);
    name = GetDlgItem(qd->vw.dlg, IDC_STD_NAME);
    find = GetDlgItem(qd->vw.dlg, IDC_STD_FIND);
    list = GetDlgItem(qd->dlg, IDC_QD_FLIST);
    g_cfg.sortby[0] = 0;
    g_cfg.sortrev = 0;
    pump();
  }
  void stop(int save) {
    if (g_main_wnd) DestroyWindow(g_main_wnd);
    pump();
    quarnw_shutdown(save ? 0 : 1);
  }
  void SetUp() override {
    start();
    take_reports();
  }
  void TearDown() override {
    stop(0);
    take_reports();
  }
  static bool pump_until(const std::function<bool()>& done, DWORD ms = 30000) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
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
  bool search(const std::string& p, const std::string& n) {
    SendMessageA(path, WM_SETTEXT, 0, (LPARAM)p.c_str());
    SendMessageA(qd->vw.dlg, WM_COMMAND, MAKEWPARAM(IDC_STD_PATH, CBN_EDITCHANGE), (LPARAM)path);
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)n.c_str());
    SendMessageA(find, BM_CLICK, 0, 0);
    return pump_until([this] { return !quarndlg_running(qd) && ntf_queued(&g_ntf) == 0; });
  }
  std::set<std::string> rows() const {
    std::set<std::string> v;
    for (unsigned i = 0; i < flist_count(&qd->fl); ++i) {
      const frec* r = flist_get(&qd->fl, i);
      v.insert(std::string(r->dir) + (r->name ? r->name : ""));
    }
    return v;
  }
  HWND ctl(int id) const { return GetDlgItem(g_ffiltdlg.dlg, id); }
  void filter(const std::string& cmd, bool out, const std::string& to) {
    SendMessageA(ctl(FFILTDLG_CMDLN), WM_SETTEXT, 0, (LPARAM)cmd.c_str());
    CheckDlgButton(g_ffiltdlg.dlg, FFILTDLG_CMDOUT, out ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(ctl(FFILTDLG_CMDOUTTO), WM_SETTEXT, 0, (LPARAM)to.c_str());
  }
  static std::string info() {
    char b[4096];
    finfdlg_text(&g_finfdlg, b, sizeof b);
    return b;
  }
};

std::set<std::string> lines(const std::string& text) {
  std::set<std::string> s;
  std::string l;
  for (char c : text)
    if (c == '\n') s.insert(l), l.clear();
    else l += c;
  return s;
}

TEST_F(Dlgs, FilterProgramDecidesAndWritesToTheChosenFile) {
  ASSERT_EQ(quarnw_command(IDM_FFILT), 0);
  ASSERT_TRUE(ffiltdlg_is_open(&g_ffiltdlg));
  EXPECT_TRUE(g_cfg.ffiltdlg.open);
  const std::string out = g_tmp + "\\out.txt", err = g_tmp + "\\err.txt", R = g_root + "\\";
  // the tool exits with the number the name starts with: only names starting with 0 stay
  filter("\"" + g_tool + "\" name %f", true, "\"" + out + "\"");
  ASSERT_TRUE(search(g_root, "*.txt"));
  EXPECT_EQ(rows(), (std::set<std::string>{R + "0.txt"}));
  EXPECT_EQ(lines(read_file(out)), (std::set<std::string>{"out:" + R + "0.txt", "err:" + R + "0.txt", "out:" + R + "1.txt",
                                                           "err:" + R + "1.txt", "out:" + R + "2.txt", "err:" + R + "2.txt"}));
  // appended, errors apart
  filter("\"" + g_tool + "\" name %f %x+0", true, "\"" + out + "\" -append -err:\"" + err + "\"");
  ASSERT_TRUE(search(g_root, "0*"));
  EXPECT_EQ(rows(), (std::set<std::string>{}));
  const std::string o = read_file(out);
  const std::string added = "out:" + R + "0.c\nout:" + R + "0.txt\n";  // as Wine lists: by name
  ASSERT_GT(o.size(), added.size());
  EXPECT_EQ(o.substr(o.size() - added.size()), added) << o;
  EXPECT_EQ(lines(o.substr(0, o.size() - added.size())).size(), 6u) << o;  // the first search's lines kept
  EXPECT_EQ(lines(read_file(err)), (std::set<std::string>{"err:" + R + "0.c", "err:" + R + "0.txt"}));
  EXPECT_TRUE(take_reports().empty());
  // both commands went to the history, the latest first
  ASSERT_EQ(g_cfg.ffiltdlg.cmdlist.n, 2u);
  EXPECT_EQ(std::string(fcmdlist_get(&g_cfg.ffiltdlg.cmdlist, 0)), "\"" + g_tool + "\" name %f %x+0");
  EXPECT_EQ(SendMessageA(ctl(FFILTDLG_CMDLIST), CB_GETCOUNT, 0, 0), 2);

  // closing the dialog: no filter any more
  SendMessageA(g_ffiltdlg.dlg, WM_CLOSE, 0, 0);
  EXPECT_FALSE(ffiltdlg_is_open(&g_ffiltdlg));
  EXPECT_FALSE(g_cfg.ffiltdlg.open);
  ASSERT_TRUE(search(g_root, "*.txt"));
  EXPECT_EQ(rows().size(), 3u);
}

TEST_F(Dlgs, OutputAskedForWithoutAFileStopsTheSearch) {
  ASSERT_EQ(quarnw_command(IDM_FFILT), 0);
  filter("\"" + g_tool + "\" 0", true, "  -append ");
  ASSERT_TRUE(search(g_root, "*.txt"));
  EXPECT_EQ(flist_count(&qd->fl), 0u);
  const auto r = take_reports();
  EXPECT_TRUE(std::find(r.begin(), r.end(), "9010 No output specified.") != r.end()) << (r.empty() ? "" : r[0]);
  ctlclr_ent* e = ctlclr_find(&g_ctlclr, ctl(FFILTDLG_CMDOUTTO));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->bg, g_cfg.ffiltdlg.inval_bgClr);
  // typing a file takes the colours away
  SendMessageA(ctl(FFILTDLG_CMDOUTTO), WM_SETTEXT, 0, (LPARAM)"nul");
  EXPECT_EQ(ctlclr_find(&g_ctlclr, ctl(FFILTDLG_CMDOUTTO)), nullptr);
}

TEST_F(Dlgs, InformationOfPlainErrorAndMovedRecords) {
  ASSERT_TRUE(search(g_root, "*.txt"));
  ASSERT_EQ(flist_count(&qd->fl), 3u);
  // the focused row's record comes with the command
  SendMessageA(list, WM_SETFOCUS, 0, 0);
  LVITEMA it{};
  it.stateMask = it.state = LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, (LPARAM)&it);
  ASSERT_EQ(quarnw_command(IDM_FINF), 0);
  pump();
  const frec* r = flist_get(&qd->fl, 1);
  EXPECT_EQ(info().rfind(std::string(r->dir) + r->name + "\r\nModif.: ", 0), 0u) << info();
  EXPECT_NE(info().find("; Size: 0"), std::string::npos) << info();
  EXPECT_FALSE(g_finfdlg.err);

  frec bad = *flist_get(&qd->fl, 0);
  bad.errcode = 5;
  bad.errtext = const_cast<char*>("Access denied.");
  ntf_post(&g_ntf, NTF_SHOW_INFO, &bad, nullptr);
  pump();
  EXPECT_EQ(info(), std::string(bad.dir) + bad.name + "\r\nErr.: [5] Access denied.");
  EXPECT_TRUE(g_finfdlg.err);  // painted in the error colours

  frec moved = *flist_get(&qd->fl, 2);
  ntf_post(&g_ntf, NTF_SHOW_INFO, &moved, nullptr);
  pump();
  EXPECT_FALSE(g_finfdlg.err);
  moved.flags |= FREC_MOVED;  // the record changes while shown
  ntf_post(&g_ntf, NTF_FREC_CHANGED, &moved, nullptr);
  pump();
  EXPECT_EQ(info().rfind("< " + std::string(moved.dir) + moved.name + "\r\n", 0), 0u) << info();

  // a new search empties it
  ASSERT_TRUE(search(g_root, "*.c"));
  EXPECT_EQ(info(), "");
}

TEST_F(Dlgs, OpenDialogsComeBackAfterARestart) {
  ASSERT_EQ(quarnw_command(IDM_FFILT), 0);
  ASSERT_EQ(quarnw_command(IDM_FINF), 0);
  filter("sort", false, "o.txt");
  ASSERT_TRUE(search(g_root, "*.txt"));
  stop(1);
  start();
  EXPECT_TRUE(ffiltdlg_is_open(&g_ffiltdlg));
  EXPECT_TRUE(finfdlg_is_open(&g_finfdlg));
  char b[64] = "";
  GetWindowTextA(ctl(FFILTDLG_CMDLN), b, sizeof b);
  EXPECT_STREQ(b, "sort");
  EXPECT_EQ(SendMessageA(ctl(FFILTDLG_CMDLIST), CB_GETCOUNT, 0, 0), 1);
  // closed by the user: closed at the next start
  SendMessageA(g_ffiltdlg.dlg, WM_CLOSE, 0, 0);
  SendMessageA(g_finfdlg.dlg, WM_CLOSE, 0, 0);
  stop(1);
  start();
  EXPECT_FALSE(ffiltdlg_is_open(&g_ffiltdlg));
  EXPECT_FALSE(finfdlg_is_open(&g_finfdlg));
}

}  // namespace
