// File operations on real files: each case runs the threads the way a dialog does
// (start, wait for notification 11, answer, start again) and then reads the disk.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fm/flist.h"
#include "fm/fthread.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"
#include "c/osu.h"
#include "quarnw/progr.h"
#include "txr/txr.h"

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

void put(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD n = 0;
  WriteFile(h, data.data(), (DWORD)data.size(), &n, nullptr);
  CloseHandle(h);
}

// The file's bytes, or "<none>" when it cannot be read.
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

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
DWORD attr(const std::string& path) { return GetFileAttributesA(path.c_str()); }

std::string content(const std::string& name) { return "content of " + name + std::string(100, '.'); }

// A fresh directory under base: names ending in '\' are directories, files hold content(name).
struct Tree {
  std::string root;
  Tree(const std::string& base, const std::string& name, const V& entries) {
    root = base + name + std::to_string(GetCurrentProcessId());
    remove_tree(root);
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), nullptr)) << root;
    for (const auto& e : entries) {
      if (e.back() == '\\') EXPECT_TRUE(CreateDirectoryA(path(e).c_str(), nullptr));
      else put(path(e), content(e));
    }
  }
  ~Tree() { remove_tree(root); }
  std::string path(const std::string& rel) const {
    std::string p = root + "\\" + rel;
    return p.back() == '\\' ? p.substr(0, p.size() - 1) : p;
  }
};

std::string temp() {
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  return tmp;
}

// What the dialog side sees: the hub drained on this thread, the ended requests.
struct Ops {
  ntf hub{};
  progr pr{};
  txr tx{};
  ftenv env{};
  ft* ended = nullptr;
  int nended = 0;
  int nprogress = 0;
  int cancel_after = -1;  // progress notifications before a stop request
  V progress_texts;

  Ops() {
    EXPECT_EQ(ntf_init(&hub, nullptr, NTF_WAKE_MSG), 0);
    EXPECT_EQ(progr_init(&pr, nullptr), 0);
    EXPECT_EQ(txr_init(&tx, "en"), 0);
    EXPECT_EQ(ntf_add(&hub, NTF_THREAD_END, nullptr, on_end, this), 0);
    EXPECT_EQ(ntf_add(&hub, NTF_PROGRESS, nullptr, on_progress, this), 0);
    env.hub = &hub;
    env.tx = &tx;
  }
  ~Ops() {
    if (ended) ft_free(ended);
    ntf_free(&hub);
    progr_free(&pr);
    txr_free(&tx);
  }
  static int on_end(int, void* data, void* usrdata) {
    Ops* r = static_cast<Ops*>(usrdata);
    if (r->ended) ft_free(r->ended);
    r->ended = static_cast<ft*>(data);
    ++r->nended;
    return 0;
  }
  static int on_progress(int, void* data, void* usrdata) {
    Ops* r = static_cast<Ops*>(usrdata);
    progr* p = static_cast<progr*>(data);
    if (!progr_lock(p)) {
      r->progress_texts.push_back(p->text);
      progr_unlock(p);
    }
    if (++r->nprogress == r->cancel_after) progr_cancel(p);
    return 0;
  }
  // Dispatches until the next end; the request (owned here until the next wait).
  ft* wait() {
    const int before = nended;
    for (DWORD t0 = GetTickCount(); nended == before && GetTickCount() - t0 < 60000;) {
      ntf_dispatch(&hub);
      if (nended == before) Sleep(2);
    }
    EXPECT_EQ(nended, before + 1) << "no notification 11";
    return nended == before + 1 ? ended : nullptr;
  }
};

bool begins_with_sysmsg(const ft* r) {
  char sys[1024];
  mox_sys_errmsg(r->errcode, sys, sizeof sys);
  return r->errtext && std::string(r->errtext).rfind(std::string(sys) + " ", 0) == 0;
}

// The file's change time, which every write of its attributes moves.
LONGLONG changed(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  FILE_BASIC_INFO bi{};
  const BOOL ok = GetFileInformationByHandleEx(h, FileBasicInfo, &bi, sizeof bi);
  CloseHandle(h);
  return ok ? bi.ChangeTime.QuadPart : -1;
}

// The gathered list of everything below dir, through the gathering thread.
void gather(Ops& run, flist* fl, const std::string& dir) {
  ASSERT_EQ(fthread_gather(&run.env, dir.c_str(), fl, &run.pr, fl), 0);
  ft* r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 0);
  EXPECT_EQ(r->ref, fl);
}

// A dialog's loop over one list: answers come from answers in order; a record that fails
// gets its error and is passed. Returns the last request's end.
struct Driver {
  Ops& run;
  flist* fl;
  ft_op op;
  std::string path, to;
  ftdec dec{};
  int askro = 1;
  unsigned pos = 0, done = 0;
  std::vector<int> answers;
  std::vector<ft_need> asked;
  std::vector<std::string> asked_about;
  V failed;

  Driver(Ops& o, flist* l, ft_op p, const std::string& from, const std::string& dest)
      : run(o), fl(l), op(p), path(from), to(dest) {}

  ft_end go(unsigned flags) {
    unsigned n = flist_count(fl);
    for (size_t ai = 0;;) {
      int rc = op == FT_OP_DEL_LIST
                   ? fthread_del_list(&run.env, path.c_str(), flags, fl, &pos, &done, &run.pr, this)
                   : op == FT_OP_MOVE_LIST
                         ? fthread_move_list(&run.env, path.c_str(), to.c_str(), flags, fl, &pos, &done, &run.pr, this)
                         : fthread_copy_list(&run.env, path.c_str(), to.c_str(), flags, fl, &pos, &done, &run.pr, this);
      EXPECT_EQ(rc, 0);
      if (rc) return FT_END_FAILED;
      ft* r = run.wait();
      if (!r) return FT_END_FAILED;
      EXPECT_EQ(r->ref, this);
      const ft_end e = ft_end_of(r, n);
      if (e == FT_END_RECORD) {
        failed.push_back(r->errtext ? r->errtext : "");
        frec* rec = op == FT_OP_DEL_LIST ? flist_get(fl, pos) : flist_get_found(fl, pos);
        flist_set_foerr(rec, r->errcode, r->errtext);
        ++pos;
        flags = op == FT_OP_DEL_LIST ? ftdec_del_flags(&dec) : ftdec_copy_flags(&dec, askro);
        continue;
      }
      if (e != FT_END_DECIDE) return e;
      asked.push_back(r->need);
      asked_about.push_back(r->target ? r->target : "");
      if (ai >= answers.size()) return e;  // the test wants to look first
      switch (ftdec_answer(&dec, r->need, answers[ai++], askro, &flags)) {
        case FTDEC_RESTART: break;
        case FTDEC_SKIP: ++pos; break;
        case FTDEC_STOP: return e;
      }
    }
  }
};

TEST(Fthread, CopyAsksBeforeAnExistingFileAndHonoursTheAnswer) {
  struct Row {
    int answer;
    bool overwritten;
  } rows[] = {{FT_ANS_YES, true}, {FT_ANS_NO, false}};
  for (const Row& row : rows) {
    Tree src(temp(), "ftsrc", {"a.txt", "b.txt", "sub\\", "sub\\c.txt"});
    Tree dst(temp(), "ftdst", {"b.txt"});
    put(dst.path("b.txt"), "old bytes of b");
    Ops run;
    flist fl{};
    flist_init(&fl, 1);
    gather(run, &fl, src.root);
    ASSERT_EQ(flist_count(&fl), 4u);
    Driver d{run, &fl, FT_OP_COPY_LIST, src.root, dst.root};
    // no answer yet: the thread stops in front of b.txt and has not touched it
    EXPECT_EQ(d.go(0), FT_END_DECIDE);
    ASSERT_EQ(d.asked.size(), 1u);
    EXPECT_EQ(d.asked[0], FT_NEED_OVERWRITE);
    EXPECT_EQ(d.asked_about[0], dst.path("b.txt"));
    EXPECT_EQ(get(dst.path("b.txt")), "old bytes of b");
    EXPECT_EQ(run.ended->result, 0);
    EXPECT_EQ(run.ended->errcode, 0);
    d.answers = {row.answer};
    d.asked.clear();
    unsigned flags = 0;
    ftdec_answer(&d.dec, FT_NEED_OVERWRITE, row.answer, 1, &flags);
    if (row.answer == FT_ANS_NO) ++d.pos;
    d.answers.clear();
    EXPECT_EQ(d.go(flags), FT_END_DONE);
    EXPECT_TRUE(d.asked.empty()) << "asked again";
    EXPECT_EQ(get(dst.path("b.txt")), row.overwritten ? content("b.txt") : "old bytes of b");
    EXPECT_EQ(get(dst.path("a.txt")), content("a.txt"));
    EXPECT_EQ(get(dst.path("sub\\c.txt")), content("sub\\c.txt"));
    EXPECT_EQ(d.pos, 4u);
    EXPECT_EQ(d.done, row.overwritten ? 4u : 3u);
    EXPECT_EQ(run.ended->skipped, 0u);  // the skip was the dialog's own step
    flist_free(&fl);
  }
}

TEST(Fthread, NoToAllSkipsEveryLaterExistingFile) {
  Tree src(temp(), "ftsrc", {"1", "2", "3", "4", "5"});
  Tree dst(temp(), "ftdst", {"2", "4", "5"});
  for (const char* n : {"2", "4", "5"}) put(dst.path(n), std::string("old ") + n);
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  Driver d{run, &fl, FT_OP_COPY_LIST, src.root, dst.root};
  d.answers = {FT_ANS_NOALL};
  EXPECT_EQ(d.go(0), FT_END_DONE);
  EXPECT_EQ(d.asked.size(), 1u);
  for (const char* n : {"2", "4", "5"}) EXPECT_EQ(get(dst.path(n)), std::string("old ") + n);
  for (const char* n : {"1", "3"}) EXPECT_EQ(get(dst.path(n)), content(n));
  EXPECT_EQ(d.done, 2u);
  EXPECT_EQ(run.ended->skipped, 2u);
  flist_free(&fl);
}

// A No passes one file: the thread starts on the next one, which exists too, and must
// ask about it rather than take the start position for a Yes.
TEST(Fthread, NoOnOneFileStillAsksAboutTheNext) {
  Tree src(temp(), "ftsrc", {"1", "2", "3"});
  Tree dst(temp(), "ftdst", {"1", "2", "3"});
  for (const char* n : {"1", "2", "3"}) put(dst.path(n), std::string("old ") + n);
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  Driver d{run, &fl, FT_OP_COPY_LIST, src.root, dst.root};
  d.answers = {FT_ANS_NO, FT_ANS_YES, FT_ANS_NO};
  EXPECT_EQ(d.go(0), FT_END_DONE);
  ASSERT_EQ(d.asked_about.size(), 3u);
  // the order of finding decides which file got which answer
  for (unsigned i = 0; i < 3; ++i) {
    const std::string n = flist_get_found(&fl, i)->name;
    EXPECT_EQ(d.asked_about[i], dst.path(n));
    EXPECT_EQ(get(dst.path(n)), i == 1 ? content(n) : "old " + n) << n;
  }
  EXPECT_EQ(d.done, 1u);
  flist_free(&fl);
}

TEST(Fthread, ReadOnlyDestinationIsAskedEvenWithOverwriteAll) {
  Tree src(temp(), "ftsrc", {"plain", "ro"});
  Tree dst(temp(), "ftdst", {"plain", "ro"});
  put(dst.path("plain"), "old plain");
  put(dst.path("ro"), "old ro");
  SetFileAttributesA(dst.path("ro").c_str(), FILE_ATTRIBUTE_READONLY);
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  Driver d{run, &fl, FT_OP_COPY_LIST, src.root, dst.root};
  d.dec.ow = 1;  // the overwrite-all setting; askRO stays Yes
  EXPECT_EQ(d.go(ftdec_copy_flags(&d.dec, 1)), FT_END_DECIDE);
  ASSERT_EQ(d.asked.size(), 1u);
  EXPECT_EQ(d.asked[0], FT_NEED_OVERWRITE_RO);
  EXPECT_EQ(get(dst.path("ro")), "old ro");
  EXPECT_TRUE(attr(dst.path("ro")) & FILE_ATTRIBUTE_READONLY);
  d.answers = {FT_ANS_YES};
  d.asked.clear();
  unsigned flags = 0;
  ftdec_answer(&d.dec, FT_NEED_OVERWRITE_RO, FT_ANS_YES, 1, &flags);
  EXPECT_EQ(d.go(flags), FT_END_DONE);
  EXPECT_TRUE(d.asked.empty());
  EXPECT_EQ(get(dst.path("ro")), content("ro"));
  EXPECT_EQ(get(dst.path("plain")), content("plain"));
  EXPECT_FALSE(attr(dst.path("ro")) & FILE_ATTRIBUTE_READONLY);
  flist_free(&fl);
}

// Three sources held open without sharing cannot be read.
TEST(Fthread, DirectoryWithFailuresIsPartiallyCopied) {
  V names;
  for (int i = 0; i < 10; ++i) names.push_back("f" + std::to_string(i));
  Tree src(temp(), "ftsrc", names);
  Tree dst(temp(), "ftdst", {});
  std::vector<HANDLE> locks;
  for (const char* n : {"f2", "f5", "f9"})
    locks.push_back(CreateFileA(src.path(n).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  for (HANDLE h : locks) ASSERT_NE(h, INVALID_HANDLE_VALUE);
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  const std::string to = dst.path("copy");
  Driver d{run, &fl, FT_OP_COPY_LIST, src.root, to};
  EXPECT_EQ(d.go(0), FT_END_DONE);
  for (HANDLE h : locks) CloseHandle(h);
  EXPECT_EQ(d.done, 7u);
  ASSERT_EQ(d.failed.size(), 3u);
  for (const std::string& t : d.failed) EXPECT_NE(t.find(" Copy `"), std::string::npos) << t;
  for (const std::string& n : names) {
    const bool locked = n == "f2" || n == "f5" || n == "f9";
    if (locked) {
      EXPECT_FALSE(exists(dst.path("copy\\" + n))) << n;
    } else {
      EXPECT_EQ(get(dst.path("copy\\" + n)), content(n)) << n;
    }
  }
  // the directory's row, the way the dialog marks it
  flist items{};
  flist_init(&items, 1);
  qnd q{};
  std::string dir = temp();
  std::string name = src.root.substr(dir.size());
  q.dir = dir.c_str();
  q.rdir = dir.c_str();
  q.name = name.c_str();
  q.fd.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
  ASSERT_EQ(flist_add(&items, &q), 0);
  frec* item = flist_get(&items, 0);
  EXPECT_EQ(ft_item_partial(&run.tx, FT_OP_COPY_LIST, d.done, flist_count(&fl), item), 1);
  EXPECT_STREQ(item->foerrtext, "Partially copied (7/10).");
  EXPECT_EQ(item->foerrcode, 0);
  flist_free(&items);
  flist_free(&fl);
}

TEST(Fthread, MoveWithinOneDriveMovesTheDirectoryInOneStep) {
  Tree src(temp(), "ftsrc", {"a", "sub\\", "sub\\b"});
  Tree dst(temp(), "ftdst", {});
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  const std::string to = dst.path("moved");
  Driver d{run, &fl, FT_OP_MOVE_LIST, src.root, to};
  EXPECT_EQ(d.go(0), FT_END_DONE);
  EXPECT_EQ(d.pos, 3u);
  EXPECT_EQ(d.done, 3u);
  EXPECT_TRUE(run.progress_texts.empty()) << "went record by record";
  EXPECT_FALSE(exists(src.root));
  EXPECT_EQ(get(to + "\\a"), content("a"));
  EXPECT_EQ(get(to + "\\sub\\b"), content("sub\\b"));
  flist_free(&fl);
}

// Z: is the root of the Unix file system in every Wine prefix: another drive.
std::string other_drive() {
  std::string z = "Z:\\tmp\\";
  return exists(z) ? z : "";
}

TEST(Fthread, MoveToAnotherDriveGoesFileByFileAndRemovesTheSourcesLast) {
  const std::string z = other_drive();
  if (z.empty()) GTEST_SKIP() << "no Z: drive";
  Tree src(temp(), "ftsrc", {"a", "sub\\", "sub\\b", "sub\\deep\\", "sub\\deep\\c"});
  Tree dst(z, "ftdst", {});
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  const std::string to = dst.path("moved");
  Driver d{run, &fl, FT_OP_MOVE_LIST, src.root, to};
  EXPECT_EQ(d.go(0), FT_END_DONE);
  EXPECT_EQ(d.done, 5u);
  EXPECT_FALSE(run.progress_texts.empty()) << "moved in one step";
  for (const char* n : {"a", "sub\\b", "sub\\deep\\c"}) EXPECT_EQ(get(to + "\\" + n), content(n));
  EXPECT_FALSE(exists(src.root));
  flist_free(&fl);
}

// A source that cannot be read, or a destination held open that cannot be replaced: the
// move stops at that file and it is still whole at its source.
TEST(Fthread, FailedMoveLeavesEveryFileAtItsSourceOrCompleteAtItsDestination) {
  const std::string z = other_drive();
  if (z.empty()) GTEST_SKIP() << "no Z: drive";
  for (const bool lock_dst : {false, true}) {
    V names = {"sub\\"};
    for (int i = 0; i < 6; ++i) names.push_back("sub\\f" + std::to_string(i));
    Tree src(temp(), "ftsrc", names);
    Tree dst(z, "ftdst", {"moved\\", "moved\\sub\\", "moved\\sub\\f3"});
    put(dst.path("moved\\sub\\f3"), "old f3");
    const std::string held = lock_dst ? dst.path("moved\\sub\\f3") : src.path("sub\\f3");
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Ops run;
    flist fl{};
    flist_init(&fl, 1);
    gather(run, &fl, src.root);
    const std::string to = dst.path("moved");
    unsigned pos = 0, done = 0;
    ASSERT_EQ(fthread_move_list(&run.env, src.root.c_str(), to.c_str(), FT_OVERWRITE, &fl, &pos, &done, &run.pr,
                                nullptr), 0);
    ft* r = run.wait();
    ASSERT_TRUE(r);
    EXPECT_EQ(ft_end_of(r, flist_count(&fl)), FT_END_RECORD) << lock_dst;
    EXPECT_NE(r->errcode, 0);
    EXPECT_STREQ(flist_get_found(&fl, pos)->name, "f3");
    CloseHandle(lock);
    for (int i = 0; i < 6; ++i) {
      const std::string n = "sub\\f" + std::to_string(i);
      const std::string at_src = get(src.path(n)), at_dst = get(to + "\\" + n);
      EXPECT_TRUE(at_src == content(n) || at_dst == content(n)) << n << ": neither";
      if (at_src != content(n)) {
        EXPECT_EQ(at_src, "<none>") << n;
      }
    }
    EXPECT_EQ(get(src.path("sub\\f3")), content("sub\\f3"));
    EXPECT_EQ(get(dst.path("moved\\sub\\f3")), "old f3");
    EXPECT_TRUE(exists(src.path("sub")));  // the sources' directories stay until the end
    flist_free(&fl);
  }
}

TEST(Fthread, MoveOntoExistingFilesAsksAsACopyDoes) {
  const std::string z = other_drive();
  struct Row {
    std::string base;
  } rows[] = {{temp()}, {z}};
  for (const Row& row : rows) {
    if (row.base.empty()) continue;
    Tree src(temp(), "ftsrc", {"a", "b"});
    Tree dst(row.base, "ftdst", {"b"});
    put(dst.path("b"), "old b");
    Ops run;
    flist fl{};
    flist_init(&fl, 1);
    gather(run, &fl, src.root);
    Driver d{run, &fl, FT_OP_MOVE_LIST, src.root, dst.root};
    d.answers = {FT_ANS_NO};
    EXPECT_EQ(d.go(0), FT_END_DONE) << row.base;
    ASSERT_EQ(d.asked.size(), 1u) << row.base;
    EXPECT_EQ(d.asked[0], FT_NEED_OVERWRITE);
    EXPECT_EQ(get(dst.path("b")), "old b");
    EXPECT_EQ(get(src.path("b")), content("b"));  // not moved, not lost
    EXPECT_EQ(get(dst.path("a")), content("a"));
    EXPECT_FALSE(exists(src.path("a")));
    EXPECT_TRUE(exists(src.root));  // holds what was kept
    flist_free(&fl);
  }
}

TEST(Fthread, DeleteStopsForReadOnlyFilesAndDirectoriesHoldingThem) {
  Tree t(temp(), "ftdel", {"plain", "ro", "dir\\", "dir\\x", "dir\\inner", "dir\\sub\\"});
  SetFileAttributesA(t.path("ro").c_str(), FILE_ATTRIBUTE_READONLY);
  SetFileAttributesA(t.path("dir\\inner").c_str(), FILE_ATTRIBUTE_READONLY);
  Ops run;
  // the read-only search the dialog runs before it asks about a directory
  flist ro{};
  flist_init(&ro, 1);
  ASSERT_EQ(fthread_find_ro(&run.env, t.path("dir").c_str(), &ro, &run.pr, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(run.ended->result, 0);
  ASSERT_EQ(flist_count(&ro), 1u);
  EXPECT_STREQ(flist_get(&ro, 0)->name, "inner");
  flist_free(&ro);
  // a directory without one finds nothing
  flist none{};
  flist_init(&none, 1);
  ASSERT_EQ(fthread_find_ro(&run.env, t.path("dir\\sub").c_str(), &none, &run.pr, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(flist_count(&none), 0u);
  flist_free(&none);

  // the tree, contents first; deleting without the read-only decision stops at inner
  flist fl{};
  flist_init(&fl, 1);
  ASSERT_EQ(fthread_gather_del(&run.env, t.path("dir").c_str(), &fl, &run.pr, nullptr), 0);
  ASSERT_TRUE(run.wait());
  ASSERT_EQ(flist_count(&fl), 4u);
  EXPECT_STREQ(flist_get(&fl, 3)->name, "dir");
  Driver d{run, &fl, FT_OP_DEL_LIST, t.path("dir"), ""};
  d.dec.del = 1;
  EXPECT_EQ(d.go(ftdec_del_flags(&d.dec)), FT_END_DECIDE);
  ASSERT_EQ(d.asked.size(), 1u);
  EXPECT_EQ(d.asked[0], FT_NEED_DEL_RO);
  EXPECT_EQ(d.asked_about[0], t.path("dir\\inner"));
  EXPECT_EQ(get(t.path("dir\\inner")), content("dir\\inner"));
  d.answers = {FT_ANS_YES};
  d.asked.clear();
  unsigned flags = 0;
  ftdec_answer(&d.dec, FT_NEED_DEL_RO, FT_ANS_YES, 1, &flags);
  EXPECT_EQ(d.go(flags), FT_END_DONE);
  EXPECT_FALSE(exists(t.path("dir")));
  EXPECT_EQ(d.done, 4u);

  // one read-only file through the list: asked; skipped with the skip decision
  flist one{};
  flist_init(&one, 1);
  gather(run, &one, t.root);
  Driver d2{run, &one, FT_OP_DEL_LIST, t.root, ""};
  d2.dec.del = 1;
  d2.answers = {FT_ANS_NOALL};
  EXPECT_EQ(d2.go(ftdec_del_flags(&d2.dec)), FT_END_DONE);
  EXPECT_EQ(d2.asked, std::vector<ft_need>{FT_NEED_DEL_RO});
  EXPECT_FALSE(exists(t.path("plain")));
  EXPECT_EQ(get(t.path("ro")), content("ro"));
  flist_free(&one);
  flist_free(&fl);

  // the single-file thread deletes what the dialog already confirmed, read-only or not
  unsigned done = 0;
  ASSERT_EQ(fthread_del(&run.env, t.path("ro").c_str(), &done, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(run.ended->result, 0);
  EXPECT_EQ(done, 1u);
  EXPECT_FALSE(exists(t.path("ro")));
}

// Skipped read-only files keep their directories: the directory is passed over.
TEST(Fthread, DeletePassesOverDirectoriesThatKeepSkippedFiles) {
  Tree t(temp(), "ftdel", {"d\\", "d\\a", "d\\s\\", "d\\s\\ro", "d\\s\\b"});
  SetFileAttributesA(t.path("d\\s\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  ASSERT_EQ(fthread_gather_del(&run.env, t.path("d").c_str(), &fl, &run.pr, nullptr), 0);
  ASSERT_TRUE(run.wait());
  ASSERT_EQ(flist_count(&fl), 5u);
  Driver d{run, &fl, FT_OP_DEL_LIST, t.path("d"), ""};
  d.dec.del = d.dec.skip_del_ro = 1;
  EXPECT_EQ(d.go(ftdec_del_flags(&d.dec)), FT_END_DONE);
  EXPECT_TRUE(d.asked.empty());
  EXPECT_EQ(get(t.path("d\\s\\ro")), content("d\\s\\ro"));
  EXPECT_FALSE(exists(t.path("d\\a")));
  EXPECT_FALSE(exists(t.path("d\\s\\b")));
  EXPECT_TRUE(exists(t.path("d\\s")));
  EXPECT_EQ(d.done, 2u);  // the two files; the kept directories are not counted
  EXPECT_EQ(run.ended->skipped, 1u);
  EXPECT_EQ(run.ended->errcode, 0);
  flist_free(&fl);
}

TEST(Fthread, RecycleMovesTheFileToTheTrash) {
  // Wine names the Unix home as \??\Z:\home\user; a Windows HOME is taken as it is
  std::string home;
  if (const char* w = getenv("WINEHOMEDIR")) home = std::string(w).substr(strncmp(w, "\\??\\", 4) ? 0 : 4);
  else if (const char* h = getenv("HOME")) home = std::string("Z:") + h;
  Tree t(temp(), "ftrec", {});
  const std::string name = "quarn-recycle-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
  put(t.path(name), content(name));
  Ops run;
  unsigned done = 0;
  ASSERT_EQ(fthread_recycle(&run.env, t.path(name).c_str(), 0, &done, nullptr), 0);
  ft* r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 0) << (r->errtext ? r->errtext : "");
  EXPECT_EQ(done, 1u);
  EXPECT_FALSE(exists(t.path(name)));
  // the desktop trash of the user, where Wine's recycle bin puts files
  V places;
  if (const char* xdg = getenv("XDG_DATA_HOME")) places.push_back(std::string("Z:") + xdg + "/Trash/files/" + name);
  if (!home.empty()) places.push_back(home + "/.local/share/Trash/files/" + name);
  bool found = false;
  for (std::string p : places) {
    for (char& c : p)
      if (c == '/') c = '\\';
    if (get(p) == content(name)) {
      found = true;
      DeleteFileA(p.c_str());
      std::string info = p;
      info.replace(info.find("\\files\\"), 7, "\\info\\");
      DeleteFileA((info + ".trashinfo").c_str());
    }
  }
  EXPECT_TRUE(found) << "not in the trash";
}

TEST(Fthread, StopDuringALongCopyEndsAtTheNextRecord) {
  V names;
  for (int i = 0; i < 1000; ++i) names.push_back("f" + std::to_string(i));
  Tree src(temp(), "ftsrc", names);
  Tree dst(temp(), "ftdst", {});
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  ASSERT_EQ(flist_count(&fl), 1000u);
  txr_set(&run.tx, "Aborted.", "fthread.foerr", nullptr, "Stopped by you.", 0);
  run.cancel_after = 5;
  unsigned pos = 0, done = 0;
  ASSERT_EQ(fthread_copy_list(&run.env, src.root.c_str(), dst.root.c_str(), 0, &fl, &pos, &done, &run.pr, nullptr), 0);
  ft* r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 9017);
  EXPECT_EQ(r->errcode, 9017);
  EXPECT_STREQ(r->errtext, "Stopped by you.");
  EXPECT_EQ(ft_end_of(r, 1000), FT_END_ABORTED);
  EXPECT_GE(pos, 5u);
  EXPECT_LT(pos, 1000u);
  EXPECT_EQ(done, pos);
  // exactly the records before the position were copied, each complete
  unsigned copied = 0;
  for (unsigned i = 0; i < 1000; ++i) {
    const frec* rec = flist_get_found(&fl, i);
    const std::string p = dst.path(rec->name);
    if (i < pos) {
      EXPECT_EQ(get(p), content(rec->name)) << p;
      ++copied;
    } else {
      EXPECT_FALSE(exists(p)) << p;
    }
  }
  EXPECT_EQ(copied, pos);
  ASSERT_FALSE(run.progress_texts.empty());
  // the shared record holds the latest text when the window reads it
  const std::string& t = run.progress_texts[0];
  EXPECT_EQ(t.rfind("Copy: f", 0), 0u) << t;
  EXPECT_EQ(t.substr(t.find(" (")), " (" + src.root + "\\)") << t;
  flist_free(&fl);
}

TEST(Fthread, AttributesSetToWhatTheyAreWriteNothingAndCountAsDone) {
  Tree t(temp(), "ftatt", {"f"});
  const std::string f = t.path("f");
  constexpr unsigned kRH = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  constexpr unsigned kMask = kRH | FILE_ATTRIBUTE_ARCHIVE;
  SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  Ops run;
  // the probe: a write of the same attributes moves the change time
  const LONGLONG c0 = changed(f);
  Sleep(30);
  SetFileAttributesA(f.c_str(), attr(f));
  const LONGLONG c1 = changed(f);
  EXPECT_NE(c0, c1) << "the change time does not show writes";
  Sleep(30);
  unsigned done = 0;
  ASSERT_EQ(fthread_attrib(&run.env, f.c_str(), attr(f), kMask, &done, nullptr), 0);
  ft* r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 0);
  EXPECT_EQ(done, 1u);
  EXPECT_EQ(changed(f), c1) << "written";
  // a real change is written; only read-only and hidden are compared (the archive bit
  // may be kept by the file system)
  struct Row {
    unsigned set, mask, want;
  } rows[] = {
      {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY, kRH},
      {0, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_READONLY},
      {FILE_ATTRIBUTE_HIDDEN, kRH, FILE_ATTRIBUTE_HIDDEN},
      {0, kMask, 0},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(fthread_attrib(&run.env, f.c_str(), row.set, row.mask, &done, nullptr), 0);
    ASSERT_TRUE(run.wait());
    EXPECT_EQ(run.ended->result, 0);
    EXPECT_EQ(attr(f) & kRH, row.want) << std::hex << row.set;
  }
  EXPECT_EQ(done, 5u);
  // a missing file: the system's message
  ASSERT_EQ(fthread_attrib(&run.env, t.path("gone").c_str(), 0, kMask, &done, nullptr), 0);
  r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 2);
  EXPECT_EQ(r->errcode, 2);
  EXPECT_TRUE(begins_with_sysmsg(r));
  EXPECT_NE(std::string(r->errtext).find("Get attr."), std::string::npos);
  EXPECT_EQ(done, 5u);
}

TEST(Fthread, SingleFileCopyAndMoveClearReadOnlyAndReportFailures) {
  Tree t(temp(), "ftone", {"a", "b", "ro"});
  SetFileAttributesA(t.path("ro").c_str(), FILE_ATTRIBUTE_READONLY);
  Ops run;
  unsigned done = 0;
  ASSERT_EQ(fthread_copy(&run.env, t.path("a").c_str(), t.path("ro").c_str(), &done, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(run.ended->result, 0);
  EXPECT_EQ(get(t.path("ro")), content("a"));
  ASSERT_EQ(fthread_move(&run.env, t.path("b").c_str(), t.path("moved").c_str(), &done, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(run.ended->result, 0);
  EXPECT_EQ(get(t.path("moved")), content("b"));
  EXPECT_FALSE(exists(t.path("b")));
  EXPECT_EQ(done, 2u);
  ASSERT_EQ(fthread_copy(&run.env, t.path("none").c_str(), t.path("x").c_str(), &done, nullptr), 0);
  ft* r = run.wait();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->result, 2);
  EXPECT_EQ(std::string(r->errtext).find(" Copy `" + t.path("none") + "' to `" + t.path("x") + "'."),
            std::string(r->errtext).size() - (" Copy `" + t.path("none") + "' to `" + t.path("x") + "'.").size());
  EXPECT_EQ(done, 2u);
}

TEST(Fthread, PathsAtTheLimitFailCleanly) {
  Tree src(temp(), "ftlong", {"a"});
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, src.root);
  struct Row {
    size_t len;
  } rows[] = {{4094}, {4095}, {4096}, {5000}};
  for (const Row& row : rows) {
    std::string to = temp() + std::string(row.len, 'x');
    to.resize(row.len);
    unsigned pos = 0, done = 0;
    ASSERT_EQ(fthread_copy_list(&run.env, src.root.c_str(), to.c_str(), 0, &fl, &pos, &done, &run.pr, nullptr), 0);
    ft* r = run.wait();
    ASSERT_TRUE(r);
    EXPECT_NE(r->result, 0) << row.len;
    EXPECT_EQ(r->errcode, r->result);
    ASSERT_TRUE(r->errtext);
    EXPECT_TRUE(begins_with_sysmsg(r)) << std::string(r->errtext).substr(0, 80);
    EXPECT_EQ(done, 0u);
    EXPECT_FALSE(exists(to));
    ASSERT_EQ(fthread_copy(&run.env, src.path("a").c_str(), to.c_str(), &done, nullptr), 0);
    r = run.wait();
    ASSERT_TRUE(r);
    EXPECT_NE(r->result, 0);
    ASSERT_TRUE(r->errtext);
    EXPECT_TRUE(begins_with_sysmsg(r)) << std::string(r->errtext).substr(0, 80);
    const std::string e = r->errtext;
    EXPECT_TRUE(e.find(" Copy `") != std::string::npos || e.find(" Get attr. `") != std::string::npos) << e.substr(0, 80);
    EXPECT_FALSE(exists(to));
  }
  flist_free(&fl);
}

TEST(Fthread, StartFunctionsRefuseMissingArguments) {
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  unsigned pos = 0;
  ftenv nohub{};
  const int rcs[] = {
      fthread_attrib(&run.env, "", 0, 0, nullptr, nullptr),
      fthread_copy(&run.env, "C:\\a", nullptr, nullptr, nullptr),
      fthread_move(&run.env, nullptr, "C:\\b", nullptr, nullptr),
      fthread_copy_list(&run.env, "C:\\a", "C:\\b", 0, nullptr, &pos, nullptr, nullptr, nullptr),
      fthread_move_list(&run.env, "C:\\a", "C:\\b", 0, &fl, nullptr, nullptr, nullptr, nullptr),
      fthread_del(&run.env, nullptr, nullptr, nullptr),
      fthread_del_list(&run.env, "C:\\a", 0, nullptr, &pos, nullptr, nullptr, nullptr),
      fthread_recycle(&run.env, "", 0, nullptr, nullptr),
      fthread_gather(&run.env, "C:\\a", nullptr, nullptr, nullptr),
      fthread_find_ro(&run.env, nullptr, &fl, nullptr, nullptr),
      fthread_gather_del(&run.env, "", &fl, nullptr, nullptr),
      fthread_copy(&nohub, "C:\\a", "C:\\b", nullptr, nullptr),
      fthread_copy(nullptr, "C:\\a", "C:\\b", nullptr, nullptr),
  };
  for (int rc : rcs) EXPECT_EQ(rc, 9003);
  Sleep(50);
  EXPECT_EQ(ntf_queued(&run.hub), 0u);
  flist_free(&fl);
}

TEST(Fthread, GatherBelowListsEverythingUnderTheDirectoryButItself) {
  Tree t(temp(), "ftgat", {"a", "d\\", "d\\b", "d\\e\\", "d\\e\\c"});
  Ops run;
  flist fl{};
  flist_init(&fl, 1);
  gather(run, &fl, t.root);
  V names;
  for (unsigned i = 0; i < flist_count(&fl); ++i) names.push_back(flist_get_found(&fl, i)->name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (V{"a", "b", "c", "d", "e"}));
  // a directory comes before what it holds
  unsigned di = 0, bi = 0;
  for (unsigned i = 0; i < flist_count(&fl); ++i) {
    if (!strcmp(flist_get_found(&fl, i)->name, "d")) di = i;
    if (!strcmp(flist_get_found(&fl, i)->name, "b")) bi = i;
  }
  EXPECT_LT(di, bi);
  // a stop request before the search ends it without an error and adds nothing
  flist st{};
  flist_init(&st, 1);
  progr_cancel(&run.pr);
  ASSERT_EQ(fthread_gather(&run.env, t.root.c_str(), &st, &run.pr, nullptr), 0);
  ASSERT_TRUE(run.wait());
  EXPECT_EQ(run.ended->result, 0);
  EXPECT_EQ(flist_count(&st), 0u);
  flist_free(&st);
  flist_free(&fl);
}

}  // namespace
