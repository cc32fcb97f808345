// What the windowed program's search keeps of a tree with directory links: a link back
// to a directory being walked is one error record, any other link is walked.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../../quarn/dirlink.h"
#include "fm/flist.h"
#include "quarn/quarnlib.h"

namespace {

using V = std::vector<std::string>;

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? remove_tree(p) : (void)DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

struct LinkTree {
  std::string root;
  V links;
  LinkTree() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "flnk" + std::to_string(GetCurrentProcessId());
    for (const char* d : {"", "\\a", "\\a\\b", "\\c"}) EXPECT_TRUE(CreateDirectoryA((root + d).c_str(), nullptr));
    CloseHandle(CreateFileA((root + "\\a\\x.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  bool link(const std::string& rel, const std::string& target) {
    links.push_back(root + "\\" + rel);
    return dirlink::make(links.back(), target);
  }
  ~LinkTree() {
    for (const std::string& l : links) dirlink::remove(l);  // first, so nothing is removed through them
    remove_tree(root);
  }
};

// as the search thread does: matches and error entries go into the list
int add_match(const qnd* d, int match, unsigned, void* usrdata) {
  return match ? flist_add(static_cast<flist*>(usrdata), d) : 0;
}

struct Row {
  std::string path;
  int errcode;
  std::string errtext;
};

std::vector<Row> search(const std::string& root) {
  flist fl{};
  EXPECT_EQ(flist_init(&fl, 1), 0);
  qn q;
  quarn_init(&q);
  EXPECT_EQ(quarn_find(&q, root.c_str(), nullptr, nullptr, nullptr, nullptr, add_match, 0, nullptr, &fl), 0);
  quarn_free(&q);
  std::vector<Row> rows;
  for (unsigned i = 0; i < flist_count(&fl); ++i) {
    const frec* r = flist_get_found(&fl, i);
    std::string p = std::string(r->dir) + r->name;
    rows.push_back({p.compare(0, root.size(), root) == 0 ? "R" + p.substr(root.size()) : p, r->errcode,
                    r->errtext ? r->errtext : ""});
  }
  flist_free(&fl);
  std::sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) { return x.path < y.path; });
  return rows;
}

V paths(const std::vector<Row>& rows) {
  V v;
  for (const Row& r : rows) v.push_back(r.path);
  return v;
}

TEST(FlistLinks, LoopIsOneErrorRecordOtherLinksAreWalked) {
  LinkTree t;
  ASSERT_TRUE(t.link("a\\b\\up", t.root)) << "no directory link could be made";
  std::vector<Row> rows = search(t.root);
  EXPECT_EQ(paths(rows), (V{"R", "R\\a", "R\\a\\b", "R\\a\\b\\up", "R\\a\\b\\up\\*.*", "R\\a\\x.txt", "R\\c"}));
  char sys[512];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, 1921,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), sys, sizeof sys, nullptr);
  while (n && (sys[n - 1] == '\r' || sys[n - 1] == '\n')) --n;
  for (const Row& r : rows) {
    const bool loop = r.path == "R\\a\\b\\up\\*.*";
    EXPECT_EQ(r.errcode, loop ? 1921 : 0) << r.path;
    EXPECT_EQ(r.errtext, loop ? std::string(sys, n) : "") << r.path;
  }

  dirlink::remove(t.root + "\\a\\b\\up");
  t.links.clear();
  ASSERT_TRUE(t.link("c\\toa", t.root + "\\a"));
  rows = search(t.root);
  EXPECT_EQ(paths(rows), (V{"R", "R\\a", "R\\a\\b", "R\\a\\x.txt", "R\\c", "R\\c\\toa", "R\\c\\toa\\b",
                            "R\\c\\toa\\x.txt"}));
  for (const Row& r : rows) EXPECT_EQ(r.errcode, 0) << r.path;
}

}  // namespace
