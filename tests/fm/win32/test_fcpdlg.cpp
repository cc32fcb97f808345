// The copy and move dialogs on real files: the dialog is driven as a user would (To text,
// Copy button), the confirmation is answered by a timer that sees it open, and every
// case ends by reading the disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "ds/list_v.h"
#include "err/err.h"
#include "fio/dgrp.h"
#include "fm/flist.h"
#include "fm/fthread.h"
#include "fm/win32/fcfmdlg.h"
#include "fm/win32/fcpdlg.h"
#include "fm/win32/fmvdlg.h"
#include "ntf/ntf.h"
#include "quarnw/progr.h"
#include "quarnw/quarnwcfg.h"
#include "quarnw/resimg.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm.h"
#include "xrm/xrm_load.h"
#include "../../../res/fopdlg.h"

namespace {

using V = std::vector<std::string>;

std::mutex g_rep_mtx;
V g_reports;  // "code message"

int report_hook(const uerr_item* it, void*) {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  g_reports.push_back(std::to_string(it->code) + " " + (it->msg ? it->msg : ""));
  return 0;
}

V take_reports() {
  std::lock_guard<std::mutex> l(g_rep_mtx);
  V v;
  v.swap(g_reports);
  return v;
}

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
    (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? remove_tree(p) : (void)DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(dir.c_str());
}

void put(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD n = 0;
  WriteFile(h, data.data(), (DWORD)data.size(), &n, nullptr);
  CloseHandle(h);
}

std::string get(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<none>";
  std::string s;
  char buf[4096];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) s.append(buf, n);
  CloseHandle(h);
  return s;
}

bool exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
DWORD attr(const std::string& p) { return GetFileAttributesA(p.c_str()); }
std::string content(const std::string& name) { return "content of " + name + std::string(64, '.'); }

std::string g_tmp;

// The confirmation as a test sees it, and the answer it gives.
struct Asked {
  std::string title, question;
  int has_noall = 0;
  std::string dst_then;  // the destination's bytes while the question was open
};

struct Harness;
Harness* g_h = nullptr;

struct Harness {
  xrm x{};
  db* d = nullptr;
  txr tx{};
  syscfg sc{};
  dgrp dg{};
  ntf hub{};
  progr pr{};
  quarnwcfg cfg{};
  fopenv env{};
  flist fl{};
  list recs{};
  fcpdlg dlg{};
  HWND wake = nullptr;
  std::vector<Asked> asked;
  std::vector<int> answers;  // in order; Cancel when they run out
  std::string watch;         // a path whose bytes are read while the question is open
  UINT_PTR timer = 0;
  std::function<void()> on_tick;

  static LRESULT CALLBACK wake_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == NTF_WAKE_MSG && g_h) {
      ntf_dispatch(&g_h->hub);
      return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
  }

  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_h) return;
    if (g_h->on_tick) g_h->on_tick();
    HWND q = fcfmdlg_active();
    if (!q || !IsWindowVisible(q)) return;
    Asked a;
    char t[512];
    GetWindowTextA(q, t, sizeof t);
    a.title = t;
    GetDlgItemTextA(q, IDC_FCFM_QUESTION, t, sizeof t);
    a.question = t;
    a.has_noall = GetDlgItem(q, FT_ANS_NOALL) != nullptr;
    if (!g_h->watch.empty()) a.dst_then = get(g_h->watch);
    const size_t k = g_h->asked.size();
    g_h->asked.push_back(a);
    fcfmdlg_answer(q, k < g_h->answers.size() ? g_h->answers[k] : IDCANCEL);
  }

  Harness() {
    g_h = this;
    WNDCLASSA wc{};
    wc.lpfnWndProc = wake_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "fcpwake";
    RegisterClassA(&wc);
    wake = CreateWindowExA(0, "fcpwake", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    EXPECT_EQ(xrm_init(&x, "quarnw", "moxware", "tester", nullptr, nullptr), 0);
    d = xrm_db_new(&x);
    xrml xl;
    xrml_init(&xl);
    EXPECT_EQ(xrml_load_data(&xl, d, quarnw_xrm_img, quarnw_xrm_img_size), 0);
    xrml_free(&xl);
    xrm_put(d, "*fcplist.col.err.visible", 0, "Yes");
    EXPECT_EQ(txr_init(&tx, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    EXPECT_EQ(txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    EXPECT_EQ(ntf_init(&hub, &wake, NTF_WAKE_MSG), 0);
    EXPECT_EQ(progr_init(&pr, nullptr), 0);
    EXPECT_EQ(quarnwcfg_init(&cfg), 0);
    EXPECT_EQ(quarnwcfg_set_dflts(&cfg), 0);
    EXPECT_EQ(quarnwcfg_get_xrm(&cfg, d), 0);
    env = {GetModuleHandleA(nullptr), &tx, d, &hub, &dg, &sc};
    EXPECT_EQ(flist_init(&fl, 1), 0);
    EXPECT_EQ(list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr), 0);
    fcpdlg_init(&dlg);
    timer = SetTimer(nullptr, 0, 30, tick);
    take_reports();
  }

  ~Harness() {
    KillTimer(nullptr, timer);
    fcpdlg_free(&dlg);
    pump(100);
    list_v_free(&recs);
    flist_free(&fl);
    quarnwcfg_free(&cfg);
    ntf_free(&hub);
    progr_free(&pr);
    dgrp_free(&dg);
    syscfg_free(&sc);
    txr_free(&tx);
    xrm_free(&x);
    DestroyWindow(wake);
    g_h = nullptr;
  }

  // The entries directly in dir become the dialog's items, in name order.
  void items_of(const std::string& dir) {
    ftenv fe{&hub, &tx};
    bool ended = false;
    auto on_end = [](int, void* data, void* u) -> int {
      ft_free(static_cast<ft*>(data));
      *static_cast<bool*>(u) = true;
      return NTF_REMOVE;
    };
    ASSERT_EQ(ntf_add(&hub, NTF_THREAD_END, &fl, on_end, &ended), 0);
    ASSERT_EQ(fthread_gather(&fe, dir.c_str(), &fl, nullptr, &fl), 0);
    for (DWORD t0 = GetTickCount(); !ended && GetTickCount() - t0 < 30000;) pump(5);
    ASSERT_TRUE(ended);
    flist_sort(&fl, "name", 0, nullptr, 0, nullptr);
    const std::string top = dir + "\\";
    for (unsigned i = 0; i < flist_count(&fl); ++i) {
      frec* r = flist_get(&fl, i);
      if (std::string(r->dir) == top) list_v_append(&recs, r);
    }
  }

  void pump(DWORD ms) {
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < ms;) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (dlg.dlg && IsDialogMessageA(dlg.dlg, &m)) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      Sleep(2);
    }
  }

  bool open(int move = 0) {
    fopdlgcfg* c = move ? &cfg.fmvdlg : &cfg.fcpdlg;
    const int rc = move ? fmvdlg_create(&dlg, c, &env, &recs, nullptr, &pr) : fcpdlg_create(&dlg, c, &env, &recs, nullptr, &pr);
    EXPECT_EQ(rc, 0);
    return rc == 0 && dlg.dlg;
  }

  HWND to_field() const { return GetDlgItem(dlg.dlg, dlg.move ? IDC_FMV_TO : IDC_FCP_TO); }

  // Types the destination and presses Copy (Move); waits until the run ends.
  void run(const std::string& to, DWORD limit = 60000) {
    SendMessageA(to_field(), WM_SETTEXT, 0, (LPARAM)to.c_str());
    SendMessageA(GetDlgItem(dlg.dlg, dlg.move ? IDC_FMV_MOVE : IDC_FCP_COPY), BM_CLICK, 0, 0);
    for (DWORD t0 = GetTickCount(); dlg.dlg && fcpdlg_running(&dlg) && GetTickCount() - t0 < limit;) pump(5);
    pump(20);
  }

  const frec* item(const std::string& name) const {
    for (list_node* n = list_first(&recs); n; n = list_next(n)) {
      const frec* r = static_cast<const frec*>(list_v_ptr(n));
      if (name == r->name) return r;
    }
    return nullptr;
  }
  std::string foerr(const std::string& name) const {
    const frec* r = item(name);
    return r && r->foerrtext ? r->foerrtext : "";
  }
};

// A fresh folder pair: src with the given files (names ending in '\' are directories),
// dst with its own.
struct Dirs {
  std::string src, dst;
  explicit Dirs(const std::string& name) {
    src = g_tmp + "\\" + name + "src";
    dst = g_tmp + "\\" + name + "dst";
    remove_tree(src);
    remove_tree(dst);
    EXPECT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    EXPECT_TRUE(CreateDirectoryA(dst.c_str(), nullptr));
  }
  ~Dirs() {
    remove_tree(src);
    remove_tree(dst);
  }
  void files(const std::string& dir, const V& names) {
    for (const auto& n : names) {
      if (n.back() == '\\')
        CreateDirectoryA((dir + "\\" + n.substr(0, n.size() - 1)).c_str(), nullptr);
      else
        put(dir + "\\" + n, content(n));
    }
  }
};

struct Env : testing::Environment {
  void SetUp() override {
    err_init(0, nullptr, nullptr, nullptr, report_hook, nullptr);
    char t[MAX_PATH];
    GetTempPathA(sizeof t, t);
    g_tmp = std::string(t) + "fcpdlg" + std::to_string(GetCurrentProcessId());
    remove_tree(g_tmp);
    ASSERT_TRUE(CreateDirectoryA(g_tmp.c_str(), nullptr));
    INITCOMMONCONTROLSEX ic{sizeof ic, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&ic);
  }
  void TearDown() override { remove_tree(g_tmp); }
};
testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new Env);

}  // namespace

// --- overwriting -------------------------------------------------------------------------

TEST(FcpDlg, AnExistingDestinationIsAskedAboutAndTheAnswerDecides) {
  struct Case {
    int answer;
    bool overwritten;
  };
  for (const Case c : {Case{FT_ANS_YES, true}, Case{FT_ANS_NO, false}, Case{IDCANCEL, false}}) {
    SCOPED_TRACE(c.answer);
    Dirs dd("ow");
    dd.files(dd.src, {"a.txt", "b.txt"});
    put(dd.dst + "\\a.txt", "old bytes\r\n\x01\x02");
    Harness h;
    h.items_of(dd.src);
    ASSERT_EQ(h.recs.count, 2u);
    h.answers = {c.answer};
    h.watch = dd.dst + "\\a.txt";
    ASSERT_TRUE(h.open());
    h.run(dd.dst);
    ASSERT_EQ(h.asked.size(), 1u);
    EXPECT_EQ(h.asked[0].title, "Overwrite File");
    EXPECT_EQ(h.asked[0].question, "Overwrite this file?");
    EXPECT_EQ(h.asked[0].dst_then, "old bytes\r\n\x01\x02") << "nothing written before the answer";
    EXPECT_TRUE(h.asked[0].has_noall) << "another item follows: the full set";
    EXPECT_EQ(get(dd.dst + "\\a.txt"), c.overwritten ? content("a.txt") : "old bytes\r\n\x01\x02");
    // Cancel stops the run before the second item
    EXPECT_EQ(get(dd.dst + "\\b.txt"), c.answer == IDCANCEL ? "<none>" : content("b.txt"));
  }
}

TEST(FcpDlg, NoToAllSkipsEveryLaterExistingDestinationWithoutAsking) {
  Dirs dd("noall");
  dd.files(dd.src, {"a", "b", "c", "d"});
  for (const char* n : {"a", "b", "c"}) put(dd.dst + "\\" + n, std::string("keep ") + n);
  Harness h;
  h.items_of(dd.src);
  h.answers = {FT_ANS_NOALL};
  ASSERT_TRUE(h.open());
  h.run(dd.dst);
  EXPECT_EQ(h.asked.size(), 1u);
  for (const char* n : {"a", "b", "c"}) EXPECT_EQ(get(dd.dst + "\\" + n), std::string("keep ") + n);
  EXPECT_EQ(get(dd.dst + "\\d"), content("d"));
  EXPECT_EQ(h.dlg.dlg, nullptr) << "no item failed: the dialog closed itself";
}

TEST(FcpDlg, AReadOnlyDestinationIsAskedEvenWithOverwriteAllAndLosesItsFlag) {
  Dirs dd("ro");
  dd.files(dd.src, {"a", "r"});
  put(dd.dst + "\\a", "plain");
  put(dd.dst + "\\r", "read-only");
  SetFileAttributesA((dd.dst + "\\r").c_str(), FILE_ATTRIBUTE_READONLY);
  Harness h;
  h.cfg.fcpdlg.overwriteAll = 1;
  h.cfg.fcpdlg.askRO = 1;
  h.items_of(dd.src);
  h.answers = {FT_ANS_YES};
  ASSERT_TRUE(h.open());
  h.run(dd.dst);
  ASSERT_EQ(h.asked.size(), 1u) << "the plain one is covered by overwrite-all";
  EXPECT_EQ(h.asked[0].title, "Overwrite Read-Only File");
  EXPECT_EQ(h.asked[0].question, "Overwrite this READ-ONLY file?");
  EXPECT_EQ(get(dd.dst + "\\a"), content("a"));
  EXPECT_EQ(get(dd.dst + "\\r"), content("r"));
  EXPECT_EQ(attr(dd.dst + "\\r") & FILE_ATTRIBUTE_READONLY, 0u);
}

// --- directories -------------------------------------------------------------------------

TEST(FcpDlg, ADirectoryWithFilesThatCannotBeCopiedIsPartiallyCopied) {
  Dirs dd("part");
  V names;
  for (int i = 0; i < 10; ++i) names.push_back("f" + std::to_string(i));
  dd.files(dd.src, {"tree\\"});
  dd.files(dd.src + "\\tree", names);
  dd.files(dd.src, {"solo"});
  // three sources held open without sharing cannot be read
  std::vector<HANDLE> held;
  for (const char* n : {"f2", "f5", "f7"})
    held.push_back(CreateFileA((dd.src + "\\tree\\" + n).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr));
  for (HANDLE x : held) ASSERT_NE(x, INVALID_HANDLE_VALUE);
  Harness h;
  h.items_of(dd.src);
  ASSERT_EQ(h.recs.count, 2u);
  ASSERT_TRUE(h.open());
  h.run(dd.dst);
  for (HANDLE x : held) CloseHandle(x);
  ASSERT_NE(h.dlg.dlg, nullptr) << "an item failed: the dialog stays open";
  EXPECT_EQ(h.foerr("tree"), "Partially copied (7/10).");
  EXPECT_EQ(h.foerr("solo"), "");
  int complete = 0;
  for (const auto& n : names) {
    const std::string p = dd.dst + "\\tree\\" + n;
    if (n == "f2" || n == "f5" || n == "f7") continue;
    complete += get(p) == content(n);
  }
  EXPECT_EQ(complete, 7);
  EXPECT_EQ(get(dd.dst + "\\solo"), content("solo"));
  // the rows show the outcome
  for (unsigned i = 0; i < h.dlg.fl.n; ++i) {
    const std::string n = h.dlg.fl.items[i].r->name;
    EXPECT_EQ(fcpdlg_item_state(&h.dlg, i), n == "tree" ? FOPITEM_FAILED : FOPITEM_DONE) << n;
  }
}

TEST(FcpDlg, ADirectoryWithRecursiveOffIsMarkedAndNotCopied) {
  Dirs dd("norec");
  dd.files(dd.src, {"sub\\", "x"});
  dd.files(dd.src + "\\sub", {"in"});
  Harness h;
  free(h.cfg.fcpdlg.flags);
  h.cfg.fcpdlg.flags = nullptr;
  h.items_of(dd.src);
  ASSERT_TRUE(h.open());
  EXPECT_EQ(IsDlgButtonChecked(h.dlg.dlg, IDC_FCP_RECURSIVE), (UINT)BST_UNCHECKED);
  h.run(dd.dst);
  EXPECT_EQ(h.foerr("sub"), "Directory.");
  EXPECT_FALSE(exists(dd.dst + "\\sub"));
  EXPECT_EQ(get(dd.dst + "\\x"), content("x"));
}

TEST(FcpDlg, OneFileToANameThatDoesNotExistIsCopiedUnderThatName) {
  Dirs dd("rename");
  dd.files(dd.src, {"one"});
  Harness h;
  h.items_of(dd.src);
  ASSERT_TRUE(h.open());
  h.run("\"" + dd.dst + "\\other name\"");
  EXPECT_EQ(get(dd.dst + "\\other name"), content("one"));
  EXPECT_EQ(h.dlg.dlg, nullptr);
  EXPECT_NE(h.item("one")->flags & FREC_REFRESHED, 0u);
  EXPECT_EQ(h.cfg.fcpdlg.tolist.paths.count, 1u) << "the destination went into the history";
}

// --- stopping ----------------------------------------------------------------------------

TEST(FcpDlg, StopDuringALargeCopyEndsWithAbortedAndLeavesEveryCopyWhole) {
  Dirs dd("stop");
  dd.files(dd.src, {"big\\"});
  V names;
  for (int i = 0; i < 1000; ++i) names.push_back("n" + std::to_string(10000 + i));
  dd.files(dd.src + "\\big", names);
  Harness h;
  h.items_of(dd.src);
  ASSERT_TRUE(h.open());
  bool pressed = false;
  h.on_tick = [&] {
    // once copies have begun, the button (now Stop) is pressed
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((dd.dst + "\\big\\n1002*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return;
    FindClose(f);
    if (!pressed) SendMessageA(GetDlgItem(h.dlg.dlg, IDC_FCP_COPY), BM_CLICK, 0, 0);
    pressed = true;
  };
  h.run(dd.dst, 120000);
  h.on_tick = nullptr;
  ASSERT_TRUE(pressed);
  EXPECT_FALSE(fcpdlg_running(&h.dlg));
  EXPECT_EQ(h.foerr("big"), "Aborted.");
  int copied = 0;
  for (const auto& n : names) {
    const std::string p = dd.dst + "\\big\\" + n;
    if (!exists(p)) continue;
    ++copied;
    EXPECT_EQ(get(p), content(n)) << p;
  }
  EXPECT_GT(copied, 0);
  EXPECT_LT(copied, 1000);
  char b[64];
  GetDlgItemTextA(h.dlg.dlg, IDC_FCP_COPY, b, sizeof b);
  EXPECT_STREQ(b, "Copy");
}

// --- bad input ---------------------------------------------------------------------------

TEST(FcpDlg, ABadDestinationIsReportedMarkedAndStartsNothing) {
  Dirs dd("bad");
  dd.files(dd.src, {"a", "b"});
  put(dd.dst + "\\file", "x");
  struct Case {
    std::string to;
    std::string report;
  };
  const Case cases[] = {
      {"\"" + dd.dst + "\" \"" + dd.dst + "\"", "9013 Multiple destinations not supported."},
      {"   ", "9012 No destination specified."},
      {dd.dst + "\\missing", "9008 Destination directory does not exist."},
      {dd.dst + "\\file", "9012 Destination is not a directory."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    Harness h;
    h.items_of(dd.src);
    ASSERT_TRUE(h.open());
    h.run(c.to);
    const V reps = take_reports();
    ASSERT_EQ(reps.size(), 1u);
    EXPECT_EQ(reps[0], c.report);
    EXPECT_FALSE(fcpdlg_running(&h.dlg));
    EXPECT_NE(ctlclr_find(&h.dlg.cc, h.to_field()), nullptr) << "the To field has the invalid colours";
    EXPECT_FALSE(exists(dd.dst + "\\a"));
    EXPECT_FALSE(exists(dd.dst + "\\missing"));
    // a good destination afterwards clears the marking
    h.run(dd.dst);
    EXPECT_EQ(get(dd.dst + "\\a"), content("a"));
    DeleteFileA((dd.dst + "\\a").c_str());
    DeleteFileA((dd.dst + "\\b").c_str());
  }
}

// --- moving ------------------------------------------------------------------------------

TEST(FmvDlg, MovingOntoExistingFilesAsksAsCopyingDoes) {
  Dirs dd("mv");
  dd.files(dd.src, {"a", "b", "c"});
  put(dd.dst + "\\a", "old a");
  put(dd.dst + "\\b", "old b");
  Harness h;
  h.items_of(dd.src);
  h.answers = {FT_ANS_NO, FT_ANS_YES};
  h.dlg.move = 1;
  ASSERT_TRUE(h.open(1));
  h.run(dd.dst);
  ASSERT_EQ(h.asked.size(), 2u);
  EXPECT_EQ(h.asked[0].title, "Overwrite File");
  EXPECT_EQ(get(dd.dst + "\\a"), "old a");
  EXPECT_EQ(get(dd.src + "\\a"), content("a")) << "a No leaves the source where it is";
  EXPECT_EQ(get(dd.dst + "\\b"), content("b"));
  EXPECT_FALSE(exists(dd.src + "\\b"));
  EXPECT_EQ(get(dd.dst + "\\c"), content("c"));
  EXPECT_FALSE(exists(dd.src + "\\c"));
  EXPECT_NE(h.item("c")->flags & FREC_MOVED, 0u);
  EXPECT_EQ(h.item("a")->flags & FREC_MOVED, 0u);
}

TEST(FmvDlg, ADirectoryMovesWithItsContents) {
  Dirs dd("mvdir");
  dd.files(dd.src, {"d\\"});
  dd.files(dd.src + "\\d", {"x", "y", "sub\\"});
  dd.files(dd.src + "\\d\\sub", {"z"});
  Harness h;
  h.items_of(dd.src);
  h.dlg.move = 1;
  ASSERT_TRUE(h.open(1));
  h.run(dd.dst);
  EXPECT_EQ(get(dd.dst + "\\d\\x"), content("x"));
  EXPECT_EQ(get(dd.dst + "\\d\\sub\\z"), content("z"));
  EXPECT_FALSE(exists(dd.src + "\\d"));
  EXPECT_EQ(h.dlg.dlg, nullptr);
}

// --- the dialog's own list ---------------------------------------------------------------

namespace {

std::string cell(HWND lv, int row, int col) {
  char buf[512] = {0};
  LVITEMA it{};
  it.iSubItem = col;
  it.pszText = buf;
  it.cchTextMax = sizeof buf;
  SendMessageA(lv, LVM_GETITEMTEXTA, row, (LPARAM)&it);
  return buf;
}

void focus(HWND lv, int row) {
  LVITEMA it{};
  it.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
  it.state = LVIS_FOCUSED | LVIS_SELECTED;
  SendMessageA(lv, LVM_SETITEMSTATE, row, (LPARAM)&it);
}

std::string title(HWND w) {
  char t[256];
  GetWindowTextA(w, t, sizeof t);
  return t;
}

}  // namespace

TEST(FcpDlg, TheListHasItsTitleMarkSortAndInfo) {
  Dirs dd("list");
  dd.files(dd.src, {"b", "a", "c"});
  Harness h;
  h.items_of(dd.src);
  std::vector<void*> infos;
  ASSERT_EQ(ntf_add(&h.hub, NTF_OPEN_INFO, nullptr,
                    [](int, void* data, void* u) -> int {
                      static_cast<std::vector<void*>*>(u)->push_back(data);
                      return 0;
                    },
                    &infos),
            0);
  ASSERT_TRUE(h.open());
  HWND lv = h.dlg.fl.wnd;
  EXPECT_EQ(title(h.dlg.dlg), "Copy To - 3");
  focus(lv, 1);
  h.pump(20);
  EXPECT_EQ(title(h.dlg.dlg), "Copy To - 2/3");

  auto names = [&] {
    std::string s;
    for (unsigned i = 0; i < h.dlg.fl.n; ++i) s += h.dlg.fl.items[i].r->name;
    return s;
  };
  EXPECT_EQ(names(), "abc");
  SendMessageA(h.dlg.dlg, WM_COMMAND, FOPLIST_IDM_FSORTBYNAME, 0);
  const std::string first = names();
  SendMessageA(h.dlg.dlg, WM_COMMAND, FOPLIST_IDM_FSORTBYNAME, 0);
  EXPECT_EQ(std::string(first.rbegin(), first.rend()), names()) << "the same column again reverses";
  EXPECT_STREQ(h.cfg.fcpdlg.sortby, "name,dir");
  SendMessageA(h.dlg.dlg, WM_COMMAND, FOPLIST_IDM_FUNSORT, 0);
  EXPECT_STREQ(h.cfg.fcpdlg.sortby, "");

  // the record being processed leads its row with the mark
  foplist_set_cur(&h.dlg.fl, h.dlg.fl.items[2].r);
  EXPECT_EQ(cell(lv, 2, 0).rfind("> ", 0), 0u) << cell(lv, 2, 0);
  EXPECT_EQ(cell(lv, 1, 0).rfind("> ", 0), std::string::npos);
  foplist_set_cur(&h.dlg.fl, nullptr);
  EXPECT_EQ(cell(lv, 2, 0).rfind("> ", 0), std::string::npos);

  // the error column shows the operation's error
  flist_set_foerr(h.dlg.fl.items[0].r, 0, "Partially copied (1/2).");
  const int errcol = lvw_lvcol(&h.dlg.fl.lv, lvw_find(&h.dlg.fl.lv, "err"));
  ASSERT_GE(errcol, 0);
  EXPECT_EQ(cell(lv, 0, errcol), "Partially copied (1/2).");
  flist_set_foerr(h.dlg.fl.items[0].r, 0, nullptr);

  focus(lv, 2);
  SendMessageA(h.dlg.dlg, WM_COMMAND, FOPLIST_IDM_FINF, 0);
  h.pump(30);
  ASSERT_EQ(infos.size(), 1u);
  EXPECT_EQ(infos[0], h.dlg.fl.items[2].r);
}

TEST(FcpDlg, InsideADirectoryEachExistingFileIsAskedAndTheAnswersHold) {
  Dirs dd("dirask");
  dd.files(dd.src, {"d\\"});
  dd.files(dd.src + "\\d", {"1", "2", "3", "4"});
  dd.files(dd.dst, {"d\\"});
  for (const char* n : {"1", "2", "4"}) put(dd.dst + "\\d\\" + n, std::string("old ") + n);
  Harness h;
  h.items_of(dd.src);
  h.answers = {FT_ANS_NO, FT_ANS_YES, FT_ANS_NO};
  ASSERT_TRUE(h.open());
  h.run(dd.dst);
  ASSERT_EQ(h.asked.size(), 3u);
  EXPECT_TRUE(h.asked[0].has_noall);
  EXPECT_FALSE(h.asked[2].has_noall) << "the last file: Yes and No only";
  EXPECT_EQ(get(dd.dst + "\\d\\1"), "old 1");
  EXPECT_EQ(get(dd.dst + "\\d\\2"), content("2"));
  EXPECT_EQ(get(dd.dst + "\\d\\3"), content("3"));
  EXPECT_EQ(get(dd.dst + "\\d\\4"), "old 4");
  EXPECT_EQ(h.foerr("d"), "Partially copied (2/4).") << "skipped files are not copied";
}

TEST(FmvDlg, AMoveToAnotherDriveGoesFileByFileAndRemovesTheSourcesLast) {
  Dirs dd("mvx");
  dd.files(dd.src, {"d\\"});
  dd.files(dd.src + "\\d", {"x", "sub\\"});
  dd.files(dd.src + "\\d\\sub", {"y"});
  // the destination folder through Wine's other drive, Z: (the Unix root)
  typedef char* (CDECL * unix_name_fn)(const WCHAR*);
  auto unix_name = reinterpret_cast<unix_name_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) GTEST_SKIP() << "not under Wine";
  WCHAR wdst[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, dd.dst.c_str(), -1, wdst, MAX_PATH);
  char* u = unix_name(wdst);
  ASSERT_NE(u, nullptr);
  std::string to = "Z:" + std::string(u) + "\\";
  HeapFree(GetProcessHeap(), 0, u);
  for (char& c : to)
    if (c == '/') c = '\\';
  ASSERT_TRUE(exists(to)) << to;
  Harness h;
  h.items_of(dd.src);
  h.dlg.move = 1;
  ASSERT_TRUE(h.open(1));
  h.run(to + "moved");
  EXPECT_EQ(get(dd.dst + "\\moved\\x"), content("x"));
  EXPECT_EQ(get(dd.dst + "\\moved\\sub\\y"), content("y"));
  EXPECT_FALSE(exists(dd.src + "\\d\\sub\\y"));
  EXPECT_FALSE(exists(dd.src + "\\d")) << "the emptied source directories are removed";
  EXPECT_NE(h.item("d")->flags & FREC_MOVED, 0u);
}
