#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "c/log_capture.h"
#include "ds/list_v.h"
#include "fm/flist.h"
#include "fm/flist_helper.h"

namespace {

using V = std::vector<std::string>;

struct List {
  flist fl{};
  explicit List(int icase = 0) { EXPECT_EQ(flist_init(&fl, icase), 0); }
  ~List() { flist_free(&fl); }
  void add(const std::vector<Ent>& es) {
    for (const Ent& e : es) ASSERT_EQ(add_ent(&fl, e), 0) << e.dir << (e.name ? e.name : "");
  }
  V sorted(const char* keys, unsigned flags) {
    EXPECT_EQ(flist_sort(&fl, keys, flags, nullptr, 0, nullptr), 0);
    return rows(&fl);
  }
};

// The walk of one searched directory as the engine reports it in pre-order.
std::vector<Ent> walk_c_a_b() {
  return {dir_ent("C:\\a\\b\\", nullptr), file_ent("C:\\a\\b\\", "x.txt"), file_ent("C:\\a\\b\\", "y.txt")};
}
std::vector<Ent> walk_c_a() {
  return {dir_ent("C:\\a\\", nullptr), file_ent("C:\\a\\", "top.txt"), dir_ent("C:\\a\\", "b"),
          file_ent("C:\\a\\b\\", "x.txt"), file_ent("C:\\a\\b\\", "y.txt")};
}

TEST(FlistAdd, OverlappingSearchPathsListEachEntryOnce) {
  for (bool deeper_first : {false, true}) {
    List l;
    if (deeper_first) {
      l.add(walk_c_a_b());
      l.add(walk_c_a());
    } else {
      l.add(walk_c_a());
      l.add(walk_c_a_b());
    }
    V got = rows(&l.fl);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (V{"C:\\a", "C:\\a\\b", "C:\\a\\b\\x.txt", "C:\\a\\b\\y.txt", "C:\\a\\top.txt"}))
        << "deeper first: " << deeper_first;
  }
}

TEST(FlistAdd, RootsSplitAndDirectoriesShared) {
  List l;
  l.add({dir_ent("C:\\", nullptr), Ent{"src\\", "Z:\\w\\src\\", nullptr, 0x10}, file_ent("C:\\", "boot.ini"),
         Ent{"src\\", "Z:\\w\\src\\", "m.c"}, Ent{"src\\", "Z:\\w\\src\\", "n.c"}});
  const frec* drive = flist_get(&l.fl, 0);
  EXPECT_STREQ(drive->dir, "");
  EXPECT_STREQ(drive->name, "C:\\");  // a separator after a drive colon stays
  const frec* src = flist_get(&l.fl, 1);
  EXPECT_STREQ(src->dir, "");
  EXPECT_STREQ(src->name, "src");
  EXPECT_STREQ(src->rdir, "Z:\\w\\");
  EXPECT_EQ(src->dirorder, (unsigned)FLIST_DIR_ORDER);
  const frec *boot = flist_get(&l.fl, 2), *m = flist_get(&l.fl, 3), *n = flist_get(&l.fl, 4);
  EXPECT_STREQ(boot->dir, "C:\\");
  EXPECT_EQ(boot->pnode->parent, drive->pnode);  // the root's own node is its entries' directory
  EXPECT_EQ(m->dir, n->dir);                     // one text for a directory
  EXPECT_EQ(m->rdir, n->rdir);
  EXPECT_EQ(m->pnode->parent, src->pnode);
  EXPECT_EQ(m->dirorder, (unsigned)FLIST_FILE_ORDER);
  EXPECT_EQ(m->seq, 3u);
}

TEST(FlistAdd, DotRootsTakeTheRealName) {
  // "." and ".." searched: the record must name the directory itself, not its parent
  List l;
  l.add({Ent{".\\", "C:\\work\\cur\\", nullptr, 0x10}, Ent{".\\", "C:\\work\\cur\\", "f.c"},
         Ent{"sub\\..\\", "C:\\work\\cur\\", nullptr, 0x10}});
  const frec* r = flist_get(&l.fl, 0);
  EXPECT_STREQ(r->rdir, "C:\\work\\");
  EXPECT_STREQ(r->name, "cur");
  EXPECT_STREQ(r->dir, ".\\..\\");
  EXPECT_STREQ(flist_get(&l.fl, 1)->dir, ".\\");
  EXPECT_STREQ(flist_get(&l.fl, 2)->dir, "sub\\..\\..\\");
  EXPECT_STREQ(flist_get(&l.fl, 2)->name, "cur");
}

TEST(FlistAdd, CaseOfDuplicatesFollowsTheList) {
  for (int icase : {0, 1}) {
    List l(icase);
    l.add({file_ent("C:\\Dir\\", "A.txt"), file_ent("c:\\dir\\", "a.TXT"), file_ent("C:\\Dir\\", "A.txt")});
    EXPECT_EQ(flist_count(&l.fl), icase ? 1u : 2u);
  }
}

TEST(FlistAdd, FieldsErrorsAndExtensions) {
  List l;
  Ent e = file_ent("D:\\x\\", "*.*");
  e.errcode = 5;
  e.errtext = "Access is denied.";
  Ent big = file_ent("D:\\", "big.tar.gz", 0x123456789ull);
  big.time = 0x01D0000000000001ull;
  l.add({e, big, file_ent("D:\\", ".profile"), file_ent("D:\\", "README")});
  const frec* r = flist_get(&l.fl, 0);
  EXPECT_EQ(r->errcode, 5);
  EXPECT_STREQ(r->errtext, "Access is denied.");
  EXPECT_NE(r->errtext, e.errtext);
  r = flist_get(&l.fl, 1);
  EXPECT_EQ(r->size, 0x123456789ull);
  EXPECT_EQ(r->mtime.dwHighDateTime, 0x01D00000u);
  EXPECT_EQ(r->mtime.dwLowDateTime, 1u);
  EXPECT_STREQ(frec_ext(r), "gz");
  EXPECT_STREQ(frec_ext(flist_get(&l.fl, 2)), "");  // a leading dot starts no extension
  EXPECT_STREQ(frec_ext(flist_get(&l.fl, 3)), "");
}

TEST(FlistAdd, RefusedEntriesAndPositionsPastTheEnd) {
  List l;
  qnd d;
  qnd_clear(&d);
  d.dir = "C:\\";
  d.name = "x";
  LogCapture log;
  EXPECT_EQ(flist_add(&l.fl, &d), 9012);
  EXPECT_EQ(flist_add(&l.fl, nullptr), 9003);
  EXPECT_EQ(flist_get(&l.fl, 0), nullptr);
  EXPECT_EQ(flist_count(&l.fl), 0u);
  EXPECT_TRUE(log.has("Unexpected - qnd.dir: `C:\\', qnd.rdir: `NUL'.")) << log.done();
  EXPECT_TRUE(log.has("`ai' is NULL - idx: 0.")) << log.done();
}

TEST(FlistAdd, ClearEmptiesAndKeepsTheCaseRule) {
  List l(1);
  l.add(walk_c_a());
  EXPECT_EQ(flist_clear(&l.fl), 0);
  EXPECT_EQ(flist_count(&l.fl), 0u);
  l.add({file_ent("C:\\A\\", "x"), file_ent("c:\\a\\", "X")});
  EXPECT_EQ(flist_count(&l.fl), 1u);
  EXPECT_EQ(flist_get(&l.fl, 0)->seq, 0u);
}

// --- sorting ----------------------------------------------------------------------------

TEST(FlistSort, NameThenDirWithoutCase) {
  List l;
  l.add({file_ent("C:\\z\\", "a.txt"), file_ent("C:\\b\\", "B.txt"), file_ent("C:\\a\\", "A.txt"),
         file_ent("C:\\b\\", "b.txt"), file_ent("C:\\a\\", "b.txt")});
  EXPECT_EQ(l.sorted("name,dir", FLIST_IGNORECASE),
            (V{"C:\\a\\A.txt", "C:\\z\\a.txt", "C:\\a\\b.txt", "C:\\b\\B.txt", "C:\\b\\b.txt"}));
  // with case, upper case letters come first
  EXPECT_EQ(l.sorted("name dir", 0),
            (V{"C:\\a\\A.txt", "C:\\b\\B.txt", "C:\\z\\a.txt", "C:\\a\\b.txt", "C:\\b\\b.txt"}));
}

TEST(FlistSort, SizeDirectoriesAndReverse) {
  List l;
  l.add({file_ent("C:\\", "mid", 50), dir_ent("C:\\", "d1"), file_ent("C:\\", "big", 1ull << 40),
         dir_ent("C:\\", "d2"), file_ent("C:\\", "small", 1)});
  EXPECT_EQ(l.sorted("size", 0), (V{"C:\\d1", "C:\\d2", "C:\\small", "C:\\mid", "C:\\big"}));
  EXPECT_EQ(l.sorted("size", FLIST_REVERSE), (V{"C:\\big", "C:\\mid", "C:\\small", "C:\\d2", "C:\\d1"}));
  // the directory order does not turn round
  EXPECT_EQ(l.sorted("name", FLIST_REVERSE | FLIST_DIRS_FIRST),
            (V{"C:\\d2", "C:\\d1", "C:\\small", "C:\\mid", "C:\\big"}));
}

TEST(FlistSort, KeyListsAndTheirMessages) {
  List l;
  l.add({file_ent("C:\\", "c", 3), file_ent("C:\\", "a", 1), file_ent("C:\\", "b", 2)});
  {
    LogCapture log;
    EXPECT_EQ(l.sorted("foo,size", 0), (V{"C:\\a", "C:\\b", "C:\\c"}));
    EXPECT_TRUE(log.has("Invalid sort id [foo] - ignored.")) << log.done();
  }
  {
    // 61 ids: the first 60 tie (all times 0), the dropped last would sort by name
    std::string keys;
    for (int i = 0; i < 60; ++i) keys += "md,";
    keys += "name";
    LogCapture log;
    EXPECT_EQ(l.sorted(keys.c_str(), FLIST_REVERSE), (V{"C:\\b", "C:\\a", "C:\\c"}));
    EXPECT_TRUE(log.has("Max sort ids [60] exceeded.")) << log.done();
  }
  for (const char* keys : {"", " ,\t\r\n", "nope"}) {
    LogCapture log;
    EXPECT_EQ(l.sorted(keys, FLIST_REVERSE), (V{"C:\\b", "C:\\a", "C:\\c"})) << keys;
    EXPECT_EQ(l.sorted(keys, 0), (V{"C:\\c", "C:\\a", "C:\\b"})) << keys;
  }
}

TEST(FlistSort, EveryComparator) {
  List l;
  auto ent = [](const char* name, unsigned attr, unsigned long long time, int err, const char* errtext) {
    Ent e = file_ent("C:\\d\\", name);
    e.attr = attr;
    e.time = time;
    e.errcode = (unsigned)err;
    e.errtext = errtext;
    return e;
  };
  l.add({ent("q.Zip", 0x21, 30, 5, "b"), ent("p", 0x01, 10, 0, nullptr), ent("r.c", 0x22, 20, 5, "a"),
         ent("s.bat", 0x10, 40, 2, nullptr)});
  flist_set_foerr(flist_get(&l.fl, 0), 32, "in use");
  flist_set_foerr(flist_get(&l.fl, 3), 5, nullptr);
  struct {
    const char* keys;
    unsigned flags;
    V names;
  } cases[] = {
      {"md", 0, {"p", "r.c", "q.Zip", "s.bat"}},
      {"ad", FLIST_REVERSE, {"s.bat", "q.Zip", "r.c", "p"}},
      {"Bd", 0, {"p", "r.c", "q.Zip", "s.bat"}},
      {"attr", 0, {"s.bat", "r.c", "p", "q.Zip"}},  // "D" "HA" "R" "RA"
      {"ext", 0, {"p", "q.Zip", "s.bat", "r.c"}},
      {"ext", FLIST_IGNORECASE, {"p", "s.bat", "r.c", "q.Zip"}},
      {"ext", FLIST_IGNORECASE | FLIST_REVERSE, {"q.Zip", "r.c", "s.bat", "p"}},
      {"err", 0, {"p", "s.bat", "r.c", "q.Zip"}},
      {"foerr", 0, {"p", "r.c", "s.bat", "q.Zip"}},
      {"size,attr", FLIST_DIRS_FIRST, {"s.bat", "r.c", "p", "q.Zip"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flist_sort(&l.fl, c.keys, c.flags, nullptr, 0, nullptr), 0);
    V got;
    for (unsigned i = 0; i < flist_count(&l.fl); ++i) got.push_back(flist_get(&l.fl, i)->name);
    EXPECT_EQ(got, c.names) << c.keys << " flags " << c.flags;
  }
}

TEST(FlistSort, PathsDirectoriesAndRealPaths) {
  List l;
  l.add({file_ent("C:\\", "b.txt"), dir_ent("C:\\", "b"), file_ent("C:\\b\\", "z.txt"), dir_ent("C:\\b\\", "a"),
         file_ent("C:\\b\\a\\", "f"), file_ent("C:\\", "a.txt"), Ent{"C:\\", "A:\\", "c"}});
  EXPECT_EQ(l.sorted("path", 0), (V{"C:\\a.txt", "C:\\b", "C:\\b\\a", "C:\\b\\a\\f", "C:\\b\\z.txt", "C:\\b.txt",
                                    "C:\\c"}));
  EXPECT_EQ(l.sorted("path", FLIST_PATHDIR_FIRST),
            (V{"C:\\b", "C:\\b\\a", "C:\\b\\a\\f", "C:\\b\\z.txt", "C:\\a.txt", "C:\\b.txt", "C:\\c"}));
  EXPECT_EQ(l.sorted("path", FLIST_REVERSE), (V{"C:\\c", "C:\\b.txt", "C:\\b\\z.txt", "C:\\b\\a\\f", "C:\\b\\a",
                                                "C:\\b", "C:\\a.txt"}));
  // directories only: same directory in the order of finding, a parent before its children
  EXPECT_EQ(l.sorted("dir", 0), (V{"C:\\b.txt", "C:\\b", "C:\\a.txt", "C:\\c", "C:\\b\\z.txt", "C:\\b\\a",
                                   "C:\\b\\a\\f"}));
  // the real path of c is A:\c
  EXPECT_EQ(l.sorted("rpath", 0).front(), "C:\\c");
}

TEST(FlistSort, ComponentLimit) {
  List l;
  std::string deep = "C:\\";
  for (int i = 0; i < 256; ++i) deep += "d\\";  // 257 components with the name
  l.add({file_ent(deep, "z"), file_ent(deep, "a"), file_ent("C:\\", "y")});
  LogCapture log;
  EXPECT_EQ(l.sorted("path", 0)[0], deep + "z");  // called equal: the order of finding
  EXPECT_TRUE(log.has("Max path components [256] exceeded.")) << log.done();
}

TEST(FlistSort, ProgressAndCancel) {
  List l;
  for (int i = 0; i < 10; ++i) l.add({file_ent("C:\\", std::to_string(9 - i).c_str())});
  struct Prog {
    std::vector<double> seen;
    size_t stop_at;
  };
  auto cb = [](double done, void* u) {
    Prog* p = static_cast<Prog*>(u);
    p->seen.push_back(done);
    return p->seen.size() == p->stop_at ? 9015 : 0;
  };
  Prog go{{}, 0};
  EXPECT_EQ(flist_sort(&l.fl, "name", 0, cb, 3, &go), 0);
  EXPECT_EQ(go.seen, (std::vector<double>{0.3, 0.6, 0.9}));
  EXPECT_EQ(flist_get(&l.fl, 0)->name, std::string("0"));
  Prog stop{{}, 2};
  EXPECT_EQ(flist_sort(&l.fl, "name", FLIST_REVERSE, cb, 3, &stop), 9015);
  EXPECT_EQ(stop.seen.size(), 2u);
  for (unsigned i = 0; i < 10; ++i) EXPECT_EQ(flist_get(&l.fl, i)->seq, 9 - i);  // finding order, backwards
}

// The order the component walk gives, worked out from the texts: every component spelled
// as the list first met it (a list without case merges the others into it).
struct Oracle {
  bool treeicase;
  std::map<std::string, std::string> spelling;  // folded or plain prefix -> component as met first
  std::string key(std::string s) const {
    if (treeicase)
      for (char& c : s) c = (char)tolower((unsigned char)c);
    return s;
  }
  static V split(const std::string& path) {
    V v;
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i)
      if (path[i] == '\\') {
        v.push_back(path.substr(start, i - start + (i && path[i - 1] == ':' ? 1 : 0)));
        start = i + 1;
      }
    if (start < path.size()) v.push_back(path.substr(start));
    return v;
  }
  V chain(const std::string& dir, const std::string& name) {
    V c = split(dir), out;
    c.push_back(name);
    std::string prefix;
    for (const std::string& comp : c) {
      prefix += "\\" + comp;
      out.push_back(spelling.emplace(key(prefix), comp).first->second);
    }
    return out;
  }
  static int text(const std::string& a, const std::string& b, bool icase) {
    if (!icase) return a.compare(b);
    return strcasecmp(a.c_str(), b.c_str());
  }
  // a < b by the component walk: negative, 0, positive
  static int walk(const V& a, bool adir, const V& b, bool bdir, bool icase, bool dir1st) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
      int t = text(a[i], b[i], icase);
      if (!t) continue;
      if (dir1st) {
        bool da = i + 1 < a.size() || adir, db = i + 1 < b.size() || bdir;
        if (da != db) return da ? -1 : 1;
      }
      return t;
    }
    return (int)a.size() - (int)b.size();
  }
};

TEST(FlistSort, ComponentOrdersAgreeWithTheWalkOverTexts) {
  std::mt19937 rng(7);
  // directory and file names apart, as on a disk: a file never holds entries
  const char* dirs[] = {"a", "A", "b", "B", "ab", "aB", "a.b"};
  const char* files[] = {"b_", "Z", "z", "a.b.c", "A.b.c"};
  for (int round = 0; round < 24; ++round) {
    int icase = round & 1;
    List l(icase);
    std::vector<Ent> ents;
    for (int i = 0; i < 120; ++i) {
      std::string dir = (rng() % 2) ? "C:\\" : "c:\\";
      int depth = (int)(rng() % 4);
      for (int k = 0; k < depth; ++k) dir += std::string(dirs[rng() % 7]) + "\\";
      std::string rdir = "R:\\" + dir.substr(3);
      bool isdir = rng() % 3 == 0;
      Ent e{dir, rdir, isdir ? dirs[rng() % 7] : files[rng() % 5], isdir ? 0x10u : 0x20u};
      ents.push_back(e);
      if (rng() % 5 == 0) ents.push_back(Ent{dir, rdir, nullptr, 0x10});  // a searched directory
    }
    for (const Ent& e : ents) ASSERT_EQ(add_ent(&l.fl, e), 0);
    Oracle paths{icase != 0, {}}, rpaths{icase != 0, {}};
    struct Row {
      const frec* r;
      V path, rpath, dir;
    };
    std::vector<Row> all;
    for (unsigned i = 0; i < flist_count(&l.fl); ++i) {
      const frec* r = flist_get_found(&l.fl, i);
      Row row{r, paths.chain(r->dir, r->name), rpaths.chain(r->rdir, r->name), {}};
      row.dir.assign(row.path.begin(), row.path.end() - 1);
      all.push_back(row);
    }
    for (const char* key : {"path", "rpath", "dir"}) {
      unsigned flags = (unsigned)(rng() % 16) & ~(unsigned)FLIST_DIRS_FIRST;
      // a real path's last component is the record's own spelling, not a node's: with a
      // list without case, only a sort without case is spelling-blind there
      if (key[0] == 'r' && icase) flags |= FLIST_IGNORECASE;
      bool icase_sort = flags & FLIST_IGNORECASE, dir1st = flags & FLIST_PATHDIR_FIRST;
      std::vector<Row> want = all;
      std::stable_sort(want.begin(), want.end(), [&](const Row& x, const Row& y) {
        int c = key[0] == 'p'   ? Oracle::walk(x.path, frec_isdir(x.r), y.path, frec_isdir(y.r), icase_sort, dir1st)
                : key[0] == 'r' ? Oracle::walk(x.rpath, frec_isdir(x.r), y.rpath, frec_isdir(y.r), icase_sort, dir1st)
                                : Oracle::walk(x.dir, true, y.dir, true, icase_sort, false);
        if (flags & FLIST_REVERSE) c = -c;
        return c ? c < 0 : (flags & FLIST_REVERSE ? x.r->seq > y.r->seq : x.r->seq < y.r->seq);
      });
      ASSERT_EQ(flist_sort(&l.fl, key, flags, nullptr, 0, nullptr), 0);
      for (unsigned i = 0; i < want.size(); ++i)
        ASSERT_EQ(flist_get(&l.fl, i), want[i].r)
            << "round " << round << " key " << key << " flags " << flags << " row " << i << ": "
            << flist_get(&l.fl, i)->dir << flist_get(&l.fl, i)->name << " vs " << want[i].r->dir << want[i].r->name;
    }
  }
}

// --- a reader below the published count while the writer appends ----------------------

TEST(FlistConcurrent, ReaderSeesEveryPublishedRowWhole) {
  const char* env = std::getenv("QUARN_FLIST_RACE_N");
  const unsigned n = env ? (unsigned)std::strtoul(env, nullptr, 10) : 200000u;
  List l;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    char name[32], dir[32];
    for (unsigned i = 0; i < n; ++i) {
      snprintf(dir, sizeof dir, "C:\\d%u\\", i / 1000);
      snprintf(name, sizeof name, "f%u.txt", i);
      Ent e = file_ent(dir, name, i);
      if (add_ent(&l.fl, e)) break;
    }
    done = true;
  });
  unsigned seen = 0, bad = 0;
  for (bool last = false; !last;) {
    last = done;
    unsigned c = flist_count(&l.fl);
    for (unsigned i = seen; i < c; ++i) {
      const frec* r = flist_get(&l.fl, i);
      char name[32];
      snprintf(name, sizeof name, "f%u.txt", i);
      if (!r || r->seq != i || r->size != i || strcmp(r->name, name) != 0 || r->pnode->rec != r) ++bad;
    }
    seen = c;
    if (!last) std::this_thread::yield();
  }
  writer.join();
  EXPECT_EQ(seen, n);
  EXPECT_EQ(bad, 0u);
}

// --- the path list for the clipboard -----------------------------------------------------

TEST(FlistFullpaths, ZeroOrSeparatorEndedAndTooSmall) {
  List l;
  l.add({Ent{"here\\", "C:\\w\\", "a.txt"}, Ent{"here\\", "C:\\w\\", "b"}});
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  for (unsigned i = 0; i < 2; ++i) list_v_append(&recs, flist_get(&l.fl, i));
  const std::wstring zero(L"C:\\w\\a.txt\0C:\\w\\b\0\0", 19);
  const std::wstring lines(L"C:\\w\\a.txt\nC:\\w\\b\n\0", 19);
  wchar_t buf[64];
  EXPECT_EQ(flist_fullpaths(&recs, 0, buf, 19), 0);
  EXPECT_EQ(std::wstring(buf, 19), zero);
  EXPECT_EQ(flist_fullpaths(&recs, L'\n', buf, 64), 0);
  EXPECT_EQ(std::wstring(buf, 19), lines);
  {
    LogCapture log;
    EXPECT_EQ(flist_fullpaths(&recs, 0, buf, 18), 9005);
    EXPECT_TRUE(log.has("Buf too small - str_size: 18.")) << log.done();
  }
  list_v_free(&recs);
}

}  // namespace
