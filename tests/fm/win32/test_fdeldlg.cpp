// The delete and change-attributes dialogs on real files: each case opens the dialog on
// records found by a real search, presses its button, answers the questions it asks from
// a script, and then reads the disk, the records and the dialog's rows.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../../../res/fattribdlg.h"
#include "../../../res/fdeldlg.h"
#include "ds/list_v.h"
#include "fio/dgrp.h"
#include "fm/flist.h"
#include "fm/win32/fattribdlg.h"
#include "fm/win32/fcfmdlg.h"
#include "fm/win32/fdeldlg.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"
#include "quarnw/progr.h"
#include "quarnw/resimg.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm.h"
#include "xrm/xrm_load.h"

namespace {

using V = std::vector<std::string>;

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

bool exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }
DWORD attr(const std::string& p) { return GetFileAttributesA(p.c_str()); }

// A fresh tree: names ending in '\' are directories, a leading '!' makes an entry read-only.
struct Tree {
  std::string root;
  explicit Tree(const V& entries) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "fdeldlg" + std::to_string(GetCurrentProcessId());
    remove_tree(root);
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    for (std::string e : entries) {
      const bool ro = e[0] == '!';
      if (ro) e = e.substr(1);
      const std::string p = path(e);
      if (e.back() == '\\') {
        EXPECT_TRUE(CreateDirectoryA(p.c_str(), nullptr)) << p;
      } else {
        HANDLE h = CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(h, INVALID_HANDLE_VALUE) << p;
        DWORD n = 0;
        WriteFile(h, e.data(), (DWORD)e.size(), &n, nullptr);
        CloseHandle(h);
      }
      if (ro) SetFileAttributesA(p.c_str(), attr(p) | FILE_ATTRIBUTE_READONLY);
    }
  }
  ~Tree() { remove_tree(root); }
  std::string path(const std::string& rel) const {
    std::string p = root + "\\" + rel;
    return p.back() == '\\' ? p.substr(0, p.size() - 1) : p;
  }
};

int add_match(const qnd* d, int match, unsigned, void* usrdata) {
  return match ? flist_add(static_cast<flist*>(usrdata), d) : 0;
}

// The questions asked and the answers given, through a timer inside the question's loop.
V g_asked;
std::vector<int> g_answers;

void CALLBACK answer_timer(HWND, UINT, UINT_PTR, DWORD) {
  HWND q = fcfmdlg_active();
  if (!q || !IsWindowVisible(q)) return;
  char text[256] = "";
  GetDlgItemTextA(q, IDC_FCFM_QUESTION, text, sizeof text);
  g_asked.push_back(text);
  int a = FT_ANS_CANCEL;
  if (!g_answers.empty()) {
    a = g_answers.front();
    g_answers.erase(g_answers.begin());
  }
  fcfmdlg_answer(q, a);
}

HWND g_hubwnd = nullptr;
ntf* g_hub = nullptr;

LRESULT CALLBACK hub_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == NTF_WAKE_MSG && g_hub) {
    ntf_dispatch(g_hub);
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

struct Dialogs : testing::Test {
  xrm x{};
  db* d = nullptr;
  txr tx{};
  syscfg sc{};
  dgrp dg{};
  ntf hub{};
  progr pr{};
  flist fl{};
  list recs{};
  fopenv env{};
  UINT_PTR timer = 0;

  static void SetUpTestSuite() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = hub_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "fdelhub";
    RegisterClassA(&wc);
    INITCOMMONCONTROLSEX ic{sizeof ic, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&ic);
  }

  void SetUp() override {
    ASSERT_EQ(xrm_init(&x, "quarnw", "moxware", "tester", nullptr, nullptr), 0);
    d = xrm_db_new(&x);
    xrml xl;
    xrml_init(&xl);
    ASSERT_EQ(xrml_load_data(&xl, d, quarnw_xrm_img, quarnw_xrm_img_size), 0);
    xrml_free(&xl);
    ASSERT_EQ(txr_init(&tx, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    ASSERT_EQ(txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    g_hubwnd = CreateWindowExA(0, "fdelhub", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    ASSERT_TRUE(g_hubwnd);
    ASSERT_EQ(ntf_init(&hub, &g_hubwnd, NTF_WAKE_MSG), 0);
    g_hub = &hub;
    ASSERT_EQ(progr_init(&pr, nullptr), 0);
    ASSERT_EQ(flist_init(&fl, 1), 0);
    ASSERT_EQ(list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr), 0);
    env = {GetModuleHandleA(nullptr), &tx, d, &hub, &dg, &sc};
    g_asked.clear();
    g_answers.clear();
    timer = SetTimer(nullptr, 0, 30, answer_timer);
  }

  void TearDown() override {
    KillTimer(nullptr, timer);
    pump([] { return false; }, 100);
    list_v_free(&recs);
    g_hub = nullptr;
    ntf_free(&hub);
    DestroyWindow(g_hubwnd);
    flist_free(&fl);
    progr_free(&pr);
    dgrp_free(&dg);
    syscfg_free(&sc);
    txr_free(&tx);
    xrm_free(&x);
  }

  // Runs the message loop until done() or ms have passed; false on the time-out.
  static bool pump(const std::function<bool()>& done, int ms = 20000) {
    const DWORD end = GetTickCount() + (DWORD)ms;
    while (!done()) {
      if ((int)(GetTickCount() - end) > 0) return false;
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      Sleep(5);
    }
    return true;
  }

  // The records of rel paths (found by searching the whole tree), in that order.
  void pick(const Tree& t, const V& rels) {
    qn q;
    quarn_init(&q);
    ASSERT_EQ(quarn_find(&q, t.root.c_str(), nullptr, nullptr, nullptr, nullptr, add_match, 1, nullptr, &fl), 0);
    quarn_free(&q);
    for (const auto& rel : rels) {
      frec* hit = nullptr;
      for (unsigned i = 0; i < flist_count(&fl); ++i) {
        frec* r = flist_get(&fl, i);
        if (_stricmp((std::string(r->rdir) + r->name).c_str(), t.path(rel).c_str()) == 0) hit = r;
      }
      ASSERT_TRUE(hit) << rel;
      list_v_append(&recs, hit);
    }
  }

  frec* rec(unsigned i) {
    list_node* n = list_first(&recs);
    while (i-- && n) n = list_next(n);
    return n ? static_cast<frec*>(list_v_ptr(n)) : nullptr;
  }

  // Row text of the dialog's list as the list view shows it (first column).
  static std::string row_text(HWND lv, int row) {
    char buf[1024] = "";
    LVITEMA it{};
    it.iSubItem = 0;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(lv, LVM_GETITEMTEXTA, row, (LPARAM)&it);
    return buf;
  }
};

// --- delete ----------------------------------------------------------------------------

struct DelRun {
  fdeldlgcfg cfg{};
  fdeldlg dlg{};
  DelRun(int undo, int all, const char* flags = "Dir Recursive") {
    fdeldlgcfg_init(&cfg);
    fdeldlgcfg_set_dflts(&cfg);
    cfg.undo = undo;
    cfg.yesAll = cfg.permYesAll = all;
    free(cfg.flags);
    cfg.flags = static_cast<char*>(malloc(strlen(flags) + 1));
    strcpy(cfg.flags, flags);
    fdeldlg_init(&dlg);
  }
  ~DelRun() {
    if (dlg.dlg) DestroyWindow(dlg.dlg);
    fdeldlg_free(&dlg);
    fdeldlgcfg_free(&cfg);
  }
};

TEST_F(Dialogs, DeleteAsksWhatEachItemNeedsAndDoesWhatTheAnswerSays) {
  struct Case {
    const char* name;
    V entries;
    const char* item;
    int undo, all;
    std::vector<int> answers;
    V asked;
    bool gone;
    int state;
  } cases[] = {
      {"read-only file, for good, Yes", {"!ro.txt"}, "ro.txt", 0, 0, {FT_ANS_YES},
       {"PERMANENTLY delete this READ-ONLY file?"}, true, FOPITEM_DONE},
      {"read-only file, All set still asks", {"!ro.txt"}, "ro.txt", 0, 1, {FT_ANS_YES},
       {"PERMANENTLY delete this READ-ONLY file?"}, true, FOPITEM_DONE},
      {"read-only file, recycle, No", {"!ro.txt"}, "ro.txt", 1, 0, {FT_ANS_NO}, {"Delete this READ-ONLY file?"},
       false, FOPITEM_SKIPPED},
      {"read-only file inside, for good, Yes", {"d\\", "d\\a.txt", "d\\e\\", "!d\\e\\ro.txt"}, "d", 0, 0,
       {FT_ANS_YES}, {"This directory contains READ-ONLY file(s). PERMANENTLY delete?"}, true, FOPITEM_DONE},
      {"read-only file inside, recycle, No", {"d\\", "d\\a.txt", "!d\\ro.txt"}, "d", 1, 0, {FT_ANS_NO},
       {"This directory contains READ-ONLY file(s). Delete?"}, false, FOPITEM_SKIPPED},
      {"plain directory, for good, Yes", {"d\\", "d\\a.txt", "d\\e\\", "d\\e\\b.txt"}, "d", 0, 0, {FT_ANS_YES},
       {"PERMANENTLY delete this directory?"}, true, FOPITEM_DONE},
      {"plain file, for good, No", {"a.txt"}, "a.txt", 0, 0, {FT_ANS_NO}, {"PERMANENTLY delete this file?"}, false,
       FOPITEM_SKIPPED},
      {"plain file, for good, All", {"a.txt"}, "a.txt", 0, 1, {}, {}, true, FOPITEM_DONE},
      {"plain file, Cancel", {"a.txt"}, "a.txt", 0, 0, {FT_ANS_CANCEL}, {"PERMANENTLY delete this file?"}, false,
       FOPITEM_TODO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t(c.entries);
    flist_clear(&fl);
    list_v_clear(&recs, 0);
    pick(t, {c.item});
    g_asked.clear();
    g_answers = c.answers;
    DelRun run(c.undo, c.all);
    ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
    ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
    ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
    EXPECT_EQ(g_asked, c.asked);
    EXPECT_EQ(exists(t.path(c.item)), !c.gone);
    // a run with no failure closes the dialog, a cancelled one stays open on its rows
    if (c.state != FOPITEM_TODO) {
      EXPECT_TRUE(pump([&] { return !run.dlg.dlg; }, 2000));
    } else {
      EXPECT_TRUE(run.dlg.dlg && IsWindow(run.dlg.dlg));
    }
    EXPECT_EQ(fdeldlg_item_state(&run.dlg, 0), c.state);
    EXPECT_EQ((rec(0)->flags & FREC_DELETED) != 0, c.gone);
  }
}

TEST_F(Dialogs, ShiftDeletesForGoodWhateverUndoSays) {
  Tree t({"a.txt"});
  pick(t, {"a.txt"});
  g_answers = {FT_ANS_YES};
  DelRun run(1, 0);
  ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 1), 0);
  ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
  ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
  EXPECT_EQ(g_asked, V{"PERMANENTLY delete this file?"});
  EXPECT_FALSE(exists(t.path("a.txt")));
}

// The desktop trash of the Unix side, where the shell's recycle bin goes under Wine.
V trash_dirs() {
  V dirs;
  char v[MAX_PATH];
  if (GetEnvironmentVariableA("XDG_DATA_HOME", v, sizeof v)) dirs.push_back(std::string("Z:") + v + "\\Trash");
  if (GetEnvironmentVariableA("WINEHOMEDIR", v, sizeof v)) {
    std::string h = v;
    if (h.rfind("\\??\\", 0) == 0) h = h.substr(4);
    dirs.push_back(h + "\\.local\\share\\Trash");
  }
  if (GetEnvironmentVariableA("HOME", v, sizeof v)) dirs.push_back(std::string("Z:") + v + "\\.local\\share\\Trash");
  for (auto& d : dirs)
    for (auto& ch : d)
      if (ch == '/') ch = '\\';
  return dirs;
}

TEST_F(Dialogs, RecycleMovesTheFileToTheTrashInsteadOfDeletingIt) {
  const std::string name = "recycled" + std::to_string(GetCurrentProcessId()) + ".txt";
  Tree t({name});
  pick(t, {name});
  DelRun run(1, 1);  // undo, All: no question of our own
  ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
  ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
  ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
  EXPECT_TRUE(g_asked.empty());
  EXPECT_FALSE(exists(t.path(name)));
  EXPECT_TRUE(rec(0)->flags & FREC_DELETED);
  std::string found;
  for (const auto& dir : trash_dirs())
    if (exists(dir + "\\files\\" + name)) found = dir;
  EXPECT_FALSE(found.empty()) << "not in the trash";
  if (!found.empty()) {
    DeleteFileA((found + "\\files\\" + name).c_str());
    DeleteFileA((found + "\\info\\" + name + ".trashinfo").c_str());
  }
}

TEST_F(Dialogs, DeletedRowsGetTheDeletedMarkAndAMissingItemItsError) {
  Tree t({"a.txt", "b.txt"});
  pick(t, {"a.txt", "b.txt"});
  DeleteFileA(t.path("b.txt").c_str());  // gone before the run
  DelRun run(0, 1);
  ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
  ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
  ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
  ASSERT_TRUE(run.dlg.dlg && IsWindow(run.dlg.dlg));  // one item failed: it stays open
  EXPECT_FALSE(exists(t.path("a.txt")));
  EXPECT_EQ(fdeldlg_item_state(&run.dlg, 0), FOPITEM_DONE);
  EXPECT_EQ(fdeldlg_item_state(&run.dlg, 1), FOPITEM_FAILED);
  EXPECT_TRUE(rec(0)->flags & FREC_DELETED);
  const HWND lv = GetDlgItem(run.dlg.dlg, IDC_FDEL_LIST);
  EXPECT_EQ(row_text(lv, 0).rfind("# ", 0), 0u) << row_text(lv, 0);
  EXPECT_EQ(rec(1)->foerrcode, 9008);
  EXPECT_EQ(std::string(rec(1)->foerrtext), "`" + t.path("b.txt") + "' does not exist.");
}

TEST_F(Dialogs, DirectoryItemsFollowTheDirectoriesAndRecursiveBoxes) {
  char notempty[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 145, 0, notempty,
                 sizeof notempty, nullptr);
  std::string ne = notempty;
  while (!ne.empty() && (ne.back() == '\n' || ne.back() == '\r' || ne.back() == ' ')) ne.pop_back();
  struct Case {
    const char* name;
    const char* flags;
    const char* item;
    bool gone;
    int code;
    std::string err;
  } cases[] = {
      {"Directories off", "Recursive", "d", false, 0, "Directory."},
      {"Recursive off, not empty", "Dir", "d", false, 145, ne},
      {"Recursive off, empty", "Dir", "e", true, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t({"d\\", "d\\a.txt", "e\\"});
    flist_clear(&fl);
    list_v_clear(&recs, 0);
    pick(t, {c.item});
    DelRun run(0, 1, c.flags);
    ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
    ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
    ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
    EXPECT_EQ(exists(t.path(c.item)), !c.gone);
    if (!c.err.empty()) {
      ASSERT_TRUE(rec(0)->foerrtext);
      EXPECT_EQ(rec(0)->foerrcode, c.code);
      EXPECT_EQ(std::string(rec(0)->foerrtext).rfind(c.err, 0), 0u) << rec(0)->foerrtext;
    }
    if (!c.gone) {
      EXPECT_TRUE(exists(t.path("d\\a.txt")));
    }
  }
}

TEST_F(Dialogs, AnEntryThatCannotGoFailsItsDirectoryButTheRestIsDeleted) {
  Tree t({"d\\", "d\\a.txt", "d\\held.txt", "d\\z.txt"});
  pick(t, {"d"});
  // open without sharing deletion: the entry cannot be deleted while the run goes on
  HANDLE h = CreateFileA(t.path("d\\held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DelRun run(0, 1);
  ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
  ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
  ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
  CloseHandle(h);
  EXPECT_FALSE(exists(t.path("d\\a.txt")));
  EXPECT_FALSE(exists(t.path("d\\z.txt")));
  EXPECT_TRUE(exists(t.path("d\\held.txt")));
  EXPECT_EQ(fdeldlg_item_state(&run.dlg, 0), FOPITEM_FAILED);
  ASSERT_TRUE(rec(0)->foerrtext);
  EXPECT_NE(std::string(rec(0)->foerrtext).find("held.txt"), std::string::npos) << rec(0)->foerrtext;
  EXPECT_FALSE(rec(0)->flags & FREC_DELETED);
  EXPECT_TRUE(run.dlg.dlg && IsWindow(run.dlg.dlg));
}

// --- attributes ------------------------------------------------------------------------

struct AttrRun {
  fattribdlgcfg cfg{};
  fattribdlg dlg{};
  AttrRun() {
    fattribdlgcfg_init(&cfg);
    fattribdlgcfg_set_dflts(&cfg);
    fattribdlg_init(&dlg);
  }
  ~AttrRun() {
    if (dlg.dlg) DestroyWindow(dlg.dlg);
    fattribdlg_free(&dlg);
    fattribdlgcfg_free(&cfg);
  }
};

// The time of the last change of the file's metadata (an attribute write moves it).
LONGLONG change_time(const std::string& p) {
  HANDLE h = CreateFileA(p.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  FILE_BASIC_INFO bi{};
  const BOOL ok = h != INVALID_HANDLE_VALUE && GetFileInformationByHandleEx(h, FileBasicInfo, &bi, sizeof bi);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return ok ? bi.ChangeTime.QuadPart : -1;
}

TEST_F(Dialogs, AttributesChangeOnDiskAndInTheRecords) {
  constexpr DWORD R = FILE_ATTRIBUTE_READONLY, H = FILE_ATTRIBUTE_HIDDEN;
  struct Case {
    const char* name;
    const char* entry;
    const char* cmd;  // nullptr: the boxes as they open
    DWORD want;       // of R and H
  } cases[] = {
      {"boxes as opened on a read-only file", "!a.txt", nullptr, R},
      {"+r +h", "a.txt", "+r +h", R | H},
      {"-r on a read-only file", "!a.txt", "-r", 0},
      {"+rh then -h in one text", "a.txt", "+rh -h", R},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Tree t({c.entry});
    const std::string rel = c.entry[0] == '!' ? c.entry + 1 : c.entry;
    flist_clear(&fl);
    list_v_clear(&recs, 0);
    pick(t, {rel});
    const LONGLONG before = change_time(t.path(rel));
    Sleep(20);
    AttrRun run;
    ASSERT_EQ(fattribdlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr), 0);
    if (c.cmd) SetDlgItemTextA(run.dlg.dlg, IDC_FATTRIB_CMD, c.cmd);
    ASSERT_EQ(fattribdlg_start(&run.dlg), 0);
    ASSERT_TRUE(pump([&] { return !fattribdlg_running(&run.dlg); }));
    EXPECT_EQ(attr(t.path(rel)) & (R | H), c.want);
    EXPECT_EQ(rec(0)->attr & (R | H), c.want);  // the record shows what the file holds now
    EXPECT_TRUE(rec(0)->flags & FREC_REFRESHED);
    EXPECT_FALSE(rec(0)->foerrtext && *rec(0)->foerrtext);
    // every item done: the dialog closed itself
    EXPECT_TRUE(pump([&] { return !run.dlg.dlg; }, 2000));
    // attributes as they were: nothing written, and still done
    if (!c.cmd && before >= 0) {
      EXPECT_EQ(change_time(t.path(rel)), before);
    }
    SetFileAttributesA(t.path(rel).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
}

TEST_F(Dialogs, ABadAttributeWordStartsNothing) {
  Tree t({"a.txt"});
  pick(t, {"a.txt"});
  AttrRun run;
  ASSERT_EQ(fattribdlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr), 0);
  SetDlgItemTextA(run.dlg.dlg, IDC_FATTRIB_CMD, "+r +x");
  EXPECT_EQ(fattribdlg_start(&run.dlg), 9012);
  EXPECT_FALSE(fattribdlg_running(&run.dlg));
  pump([] { return false; }, 200);
  EXPECT_EQ(attr(t.path("a.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(fattribdlg_item_state(&run.dlg, 0), FOPITEM_TODO);
}

// --- paths at the limit ----------------------------------------------------------------

TEST_F(Dialogs, PathsAtTheLimitFailCleanlyWithTheirMessage) {
  Tree t({"a.txt"});
  pick(t, {"a.txt"});
  // the record's directory as long as a path may not be
  const std::string longdir = "C:\\" + std::string(4096, 'x') + "\\";
  frec* r = rec(0);
  const char* was = r->rdir;
  r->rdir = longdir.c_str();
  char sys[512] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 206, 0, sys, sizeof sys,
                 nullptr);
  std::string msg = sys;
  while (!msg.empty() && (msg.back() == '\n' || msg.back() == '\r' || msg.back() == ' ')) msg.pop_back();
  {
    DelRun run(0, 1);
    ASSERT_EQ(fdeldlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr, 0), 0);
    ASSERT_EQ(fdeldlg_start(&run.dlg), 0);
    ASSERT_TRUE(pump([&] { return !fdeldlg_running(&run.dlg); }));
    EXPECT_EQ(fdeldlg_item_state(&run.dlg, 0), FOPITEM_FAILED);
    EXPECT_EQ(r->foerrcode, 206);
    ASSERT_TRUE(r->foerrtext);
    EXPECT_EQ(std::string(r->foerrtext).rfind(msg, 0), 0u) << r->foerrtext;
  }
  flist_set_foerr(r, 0, nullptr);
  {
    AttrRun run;
    ASSERT_EQ(fattribdlg_create(&run.dlg, &run.cfg, &env, &recs, nullptr, &pr), 0);
    SetDlgItemTextA(run.dlg.dlg, IDC_FATTRIB_CMD, "+r");
    ASSERT_EQ(fattribdlg_start(&run.dlg), 0);
    ASSERT_TRUE(pump([&] { return !fattribdlg_running(&run.dlg); }));
    EXPECT_EQ(fattribdlg_item_state(&run.dlg, 0), FOPITEM_FAILED);
    EXPECT_EQ(r->foerrcode, 206);
  }
  r->rdir = was;
  EXPECT_TRUE(exists(t.path("a.txt")));
  EXPECT_EQ(attr(t.path("a.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
}

}  // namespace
