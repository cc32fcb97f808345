// The file list over a real tree walked by the search engine, and what it learns about
// the files afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "c/log_capture.h"
#include "ds/list_v.h"
#include "fm/flist.h"
#include "fm/win32/flistchg.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"

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
  RemoveDirectoryA(dir.c_str());
}

// A fresh directory: names ending in '\' are made as directories, files get size bytes.
struct Tree {
  std::string root;
  explicit Tree(const std::vector<std::pair<std::string, unsigned>>& entries) {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "flst" + std::to_string(GetCurrentProcessId());
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    for (const auto& e : entries) {
      if (e.first.back() == '\\') {
        EXPECT_TRUE(CreateDirectoryA(path(e.first).c_str(), nullptr));
        continue;
      }
      HANDLE h = CreateFileA(path(e.first).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      DWORD n = 0;
      WriteFile(h, std::string(e.second, 'x').data(), e.second, &n, nullptr);
      CloseHandle(h);
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

int walk(flist* fl, const std::string& path) {
  qn q;
  quarn_init(&q);
  int rc = quarn_find(&q, path.c_str(), nullptr, nullptr, nullptr, nullptr, add_match, 1, nullptr, fl);
  quarn_free(&q);
  return rc;
}

// paths relative to the tree, in display order
V rel_rows(const flist* fl, const Tree& t) {
  V v;
  for (unsigned i = 0; i < flist_count(fl); ++i) {
    const frec* r = flist_get(fl, i);
    std::string p = std::string(r->rdir) + r->name;
    v.push_back(p.size() > t.root.size() ? p.substr(t.root.size() + 1) : "");
  }
  return v;
}

struct Fixture : testing::Test {
  Tree t{{{"a\\", 0}, {"a\\top.txt", 5}, {"a\\B\\", 0}, {"a\\B\\x.txt", 300}, {"a\\B\\Y.txt", 20},
          {"a\\b.txt", 1}, {"a\\c\\", 0}, {"a\\c\\X.TXT", 7}}};
  flist fl{};
  void SetUp() override { ASSERT_EQ(flist_init(&fl, 1), 0); }
  void TearDown() override { flist_free(&fl); }
  V sorted(const char* keys, unsigned flags) {
    EXPECT_EQ(flist_sort(&fl, keys, flags, nullptr, 0, nullptr), 0);
    return rel_rows(&fl, t);
  }
};

TEST_F(Fixture, OverlappingSearchPathsThenSorts) {
  // the deeper path first, then its parent: every entry once, the parent's record too
  for (const char* p : {"a\\B", "a", "a\\B\\"}) ASSERT_EQ(walk(&fl, t.path(p)), 0);
  V got = rel_rows(&fl, t);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (V{"a", "a\\B", "a\\B\\Y.txt", "a\\B\\x.txt", "a\\b.txt", "a\\c", "a\\c\\X.TXT", "a\\top.txt"}));
  EXPECT_EQ(sorted("path", FLIST_IGNORECASE | FLIST_PATHDIR_FIRST),
            (V{"a", "a\\B", "a\\B\\x.txt", "a\\B\\Y.txt", "a\\c", "a\\c\\X.TXT", "a\\b.txt", "a\\top.txt"}));
  EXPECT_EQ(sorted("name,dir", FLIST_IGNORECASE),
            (V{"a", "a\\B", "a\\b.txt", "a\\c", "a\\top.txt", "a\\B\\x.txt", "a\\c\\X.TXT", "a\\B\\Y.txt"}));
  V bysize = sorted("size", FLIST_REVERSE);
  EXPECT_EQ(V(bysize.begin(), bysize.begin() + 5), (V{"a\\B\\x.txt", "a\\B\\Y.txt", "a\\c\\X.TXT", "a\\top.txt",
                                                      "a\\b.txt"}));
  std::sort(bysize.begin() + 5, bysize.end());
  EXPECT_EQ(V(bysize.begin() + 5, bysize.end()), (V{"a", "a\\B", "a\\c"}));
}

// Notifications as the window thread receives them.
struct Hub {
  ntf n{};
  std::vector<std::pair<int, void*>> got;
  Hub() {
    EXPECT_EQ(ntf_init(&n, nullptr, NTF_WAKE_MSG), 0);
    for (int id : {NTF_FREC_CHANGED, NTF_FREC_REFRESHED, NTF_FREC_DELETED, NTF_FREC_MOVING, NTF_FREC_MOVED})
      ntf_add(&n, id, nullptr, on, this);
  }
  ~Hub() { ntf_free(&n); }
  static int on(int id, void* data, void* usrdata) {
    static_cast<Hub*>(usrdata)->got.push_back({id, data});
    return 0;
  }
  std::vector<std::pair<int, void*>> drain() {
    got.clear();
    ntf_dispatch(&n);
    return got;
  }
};

frec* find_rec(const flist* fl, const char* name) {
  for (unsigned i = 0; i < flist_count(fl); ++i)
    if (!strcmp(flist_get(fl, i)->name, name)) return flist_get(fl, i);
  return nullptr;
}

using Posts = std::vector<std::pair<int, void*>>;

TEST_F(Fixture, MovedDeletedAndHandedOverFiles) {
  ASSERT_EQ(walk(&fl, t.path("a")), 0);
  Hub hub;
  frec *top = find_rec(&fl, "top.txt"), *btxt = find_rec(&fl, "b.txt"), *x = find_rec(&fl, "x.txt");
  ASSERT_TRUE(top && btxt && x);
  // still there: nothing happens
  EXPECT_EQ(flist_check_moved(top, &hub.n, nullptr), 0);
  EXPECT_EQ(flist_check_deleted(top, &hub.n, nullptr), 0);
  EXPECT_TRUE(hub.drain().empty());
  EXPECT_EQ(top->flags, 0u);

  ASSERT_TRUE(MoveFileA(t.path("a\\top.txt").c_str(), t.path("moved.txt").c_str()));
  ASSERT_TRUE(DeleteFileA(t.path("a\\b.txt").c_str()));
  EXPECT_EQ(flist_check_moved(top, &hub.n, nullptr), 0);
  EXPECT_EQ(flist_check_deleted(btxt, &hub.n, nullptr), 0);
  EXPECT_EQ(flist_check_moved(top, &hub.n, nullptr), 0);  // once
  EXPECT_EQ(hub.drain(), (Posts{{NTF_FREC_MOVED, top}, {NTF_FREC_DELETED, btxt}}));
  EXPECT_EQ(top->flags, (unsigned)FREC_MOVED);
  EXPECT_EQ(btxt->flags, (unsigned)FREC_DELETED);
  EXPECT_EQ(flist_count(&fl), 8u);  // both stay in the list

  // handed over for moving (the moved one is left out), then the paste moved x only
  frec* y = find_rec(&fl, "Y.txt");
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  for (frec* r : {x, y, top}) list_v_append(&recs, r);
  EXPECT_EQ(flist_mark_handed(&recs, &hub.n, nullptr), 0);
  EXPECT_EQ(hub.drain(), (Posts{{NTF_FREC_MOVING, x}, {NTF_FREC_MOVING, y}}));
  ASSERT_TRUE(MoveFileA(t.path("a\\B\\x.txt").c_str(), t.path("x.txt").c_str()));
  EXPECT_EQ(flist_check_handed(&fl, &hub.n, nullptr), 0);
  EXPECT_EQ(hub.drain(), (Posts{{NTF_FREC_MOVED, x}}));
  EXPECT_EQ(x->flags, (unsigned)FREC_MOVED);
  EXPECT_EQ(y->flags, (unsigned)FREC_HANDED);
  list_v_free(&recs);
}

TEST_F(Fixture, AttributesRefreshedOnceAndFailuresKept) {
  ASSERT_EQ(walk(&fl, t.path("a")), 0);
  Hub hub;
  frec *y = find_rec(&fl, "Y.txt"), *c = find_rec(&fl, "X.TXT");
  ASSERT_TRUE(SetFileAttributesA(t.path("a\\B\\Y.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(flist_refresh_attr(y, &hub.n, nullptr), 0);
  EXPECT_TRUE(y->attr & FILE_ATTRIBUTE_READONLY);
  // refreshed already: not read again
  ASSERT_TRUE(SetFileAttributesA(t.path("a\\B\\Y.txt").c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(flist_refresh_attr(y, &hub.n, nullptr), 0);
  EXPECT_TRUE(y->attr & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(DeleteFileA(t.path("a\\c\\X.TXT").c_str()));
  EXPECT_EQ(flist_refresh_attr(c, &hub.n, nullptr), 0);
  EXPECT_EQ(c->errcode, 2);
  ASSERT_NE(c->errtext, nullptr);
  EXPECT_NE(std::string(c->errtext).find(" Get attr."), std::string::npos) << c->errtext;
  frec* top = find_rec(&fl, "top.txt");
  EXPECT_EQ(flist_mark_refreshed(top, &hub.n, nullptr), 0);
  EXPECT_EQ(top->flags, (unsigned)FREC_REFRESHED);
  EXPECT_EQ(hub.drain(), (Posts{{NTF_FREC_CHANGED, y}, {NTF_FREC_CHANGED, c}, {NTF_FREC_REFRESHED, top}}));
}

}  // namespace
