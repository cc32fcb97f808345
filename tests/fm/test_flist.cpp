#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "ds/list_v.h"
#include "fm/flist.h"
#include "quarn/quarnlib.h"

namespace {

using V = std::vector<std::string>;

// An entry as the search engine reports it; name nullptr: a searched directory itself.
struct Ent {
  std::string dir, rdir;  // rdir empty: same as dir
  const char* name;
  unsigned attr = 0x20;
  unsigned long long size = 0, time = 0;
  unsigned errcode = 0;
  const char* errtext = nullptr;
};
Ent D(const std::string& dir, const char* name) { return Ent{dir, "", name, 0x10}; }
Ent F(const std::string& dir, const char* name, unsigned long long size = 0) { return Ent{dir, "", name, 0x20, size}; }

struct List {
  flist fl{};
  explicit List(int icase = 0) { EXPECT_EQ(flist_init(&fl, icase), 0); }
  ~List() { flist_free(&fl); }
  int add(const Ent& e) {
    qnd d;
    qnd_clear(&d);
    d.dir = e.dir.c_str();
    d.rdir = e.rdir.empty() ? d.dir : e.rdir.c_str();
    d.name = e.name;
    d.fd.dwFileAttributes = e.attr;
    d.fd.nFileSizeHigh = (DWORD)(e.size >> 32);
    d.fd.nFileSizeLow = (DWORD)e.size;
    d.fd.ftLastWriteTime = FILETIME{(DWORD)e.time, (DWORD)(e.time >> 32)};
    d.fd.ftCreationTime = d.fd.ftLastAccessTime = d.fd.ftLastWriteTime;
    d.errcode = e.errcode;
    d.errtext = e.errtext;
    return flist_add(&fl, &d);
  }
  void add(const std::vector<Ent>& es) {
    for (const Ent& e : es) ASSERT_EQ(add(e), 0) << e.dir << (e.name ? e.name : "");
  }
  frec* at(unsigned i) { return flist_get(&fl, i); }
  V rows() {
    V v;
    for (unsigned i = 0; i < flist_count(&fl); ++i) v.push_back(std::string(at(i)->dir) + at(i)->name);
    return v;
  }
  V sorted(const char* keys, unsigned flags) {
    EXPECT_EQ(flist_sort(&fl, keys, flags, nullptr, 0, nullptr), 0);
    return rows();
  }
};

TEST(FlistAdd, OverlappingSearchPathsListEachEntryOnce) {
  // C:\a\b walked, and C:\a, in either order
  std::vector<Ent> ab = {D("C:\\a\\b\\", nullptr), F("C:\\a\\b\\", "x"), F("C:\\a\\b\\", "y")};
  std::vector<Ent> a = {D("C:\\a\\", nullptr), F("C:\\a\\", "t"), D("C:\\a\\", "b"), F("C:\\a\\b\\", "x"),
                        F("C:\\a\\b\\", "y")};
  for (bool deeper_first : {false, true}) {
    List l;
    l.add(deeper_first ? ab : a);
    l.add(deeper_first ? a : ab);
    V got = l.rows();
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (V{"C:\\a", "C:\\a\\b", "C:\\a\\b\\x", "C:\\a\\b\\y", "C:\\a\\t"})) << deeper_first;
  }
}

TEST(FlistAdd, RootsSplitDirectoriesSharedFieldsKept) {
  List l;
  Ent err = F("src\\", "*.*");
  err.errcode = 5;
  err.errtext = "Access is denied.";
  l.add({D("C:\\", nullptr), Ent{"src\\", "Z:\\w\\src\\", nullptr, 0x10}, F("C:\\", "boot.ini", 0x123456789ull),
         Ent{"src\\", "Z:\\w\\src\\", "m.tar.gz"}, Ent{"src\\", "Z:\\w\\src\\", ".profile"}, err});
  frec *drive = l.at(0), *src = l.at(1), *boot = l.at(2), *m = l.at(3), *prof = l.at(4);
  EXPECT_STREQ(drive->dir, "");
  EXPECT_STREQ(drive->name, "C:\\");  // a separator after a drive colon stays
  EXPECT_STREQ(src->dir, "");
  EXPECT_STREQ(src->name, "src");
  EXPECT_STREQ(src->rdir, "Z:\\w\\");
  EXPECT_EQ(boot->pnode->parent, drive->pnode);  // the root's own node is its entries' directory
  EXPECT_EQ(m->pnode->parent, src->pnode);
  EXPECT_EQ(m->dir, prof->dir);  // one text for a directory
  EXPECT_EQ(m->rdir, prof->rdir);
  EXPECT_EQ(boot->size, 0x123456789ull);
  EXPECT_STREQ(frec_ext(m), "gz");
  EXPECT_STREQ(frec_ext(prof), "");  // a leading dot starts none
  EXPECT_EQ(l.at(5)->errcode, 5);
  EXPECT_STREQ(l.at(5)->errtext, "Access is denied.");
  EXPECT_NE(l.at(5)->errtext, err.errtext);
}

TEST(FlistAdd, DotRootsTakeTheRealName) {
  // "." searched: the record names the directory itself, not its parent
  List l;
  l.add({Ent{".\\", "C:\\w\\cur\\", nullptr, 0x10}, Ent{"s\\..\\", "C:\\w\\cur\\", nullptr, 0x10}});
  EXPECT_EQ(std::string(l.at(0)->rdir) + l.at(0)->name, "C:\\w\\cur");
  EXPECT_EQ(l.rows(), (V{".\\..\\cur", "s\\..\\..\\cur"}));
}

TEST(FlistAdd, DuplicatesRefusalsAndClear) {
  for (int icase : {0, 1}) {
    List l(icase);
    l.add({F("C:\\Dir\\", "A.txt"), F("c:\\dir\\", "a.TXT"), F("C:\\Dir\\", "A.txt")});
    EXPECT_EQ(flist_count(&l.fl), icase ? 1u : 2u);
    EXPECT_EQ(flist_clear(&l.fl), 0);
    l.add({F("c:\\dir\\", "a.TXT"), F("C:\\Dir\\", "A.txt")});
    EXPECT_EQ(flist_count(&l.fl), icase ? 1u : 2u);
  }
  List l;
  qnd d;
  qnd_clear(&d);
  d.dir = "C:\\";
  d.name = "x";
  LogCapture log;
  EXPECT_EQ(flist_add(&l.fl, &d), 9012);
  EXPECT_EQ(flist_get(&l.fl, 0), nullptr);
  EXPECT_TRUE(log.has("Unexpected - qnd.dir: `C:\\', qnd.rdir: `NUL'.")) << log.done();
  EXPECT_TRUE(log.has("`ai' is NULL - idx: 0.")) << log.done();
}

TEST(FlistSort, NameDirAndSizeOrders) {
  List l;
  l.add({F("C:\\z\\", "a.txt"), F("C:\\b\\", "B.txt"), F("C:\\a\\", "A.txt"), F("C:\\b\\", "b.txt"),
         F("C:\\a\\", "b.txt")});
  // equal names next to each other by directory, in one directory by the order of finding
  EXPECT_EQ(l.sorted("name,dir", FLIST_IGNORECASE),
            (V{"C:\\a\\A.txt", "C:\\z\\a.txt", "C:\\a\\b.txt", "C:\\b\\B.txt", "C:\\b\\b.txt"}));
  EXPECT_EQ(l.sorted("name dir", 0),
            (V{"C:\\a\\A.txt", "C:\\b\\B.txt", "C:\\z\\a.txt", "C:\\a\\b.txt", "C:\\b\\b.txt"}));
  List s;
  s.add({F("C:\\", "mid", 50), D("C:\\", "d1"), F("C:\\", "big", 1ull << 40), D("C:\\", "d2"), F("C:\\", "small", 1)});
  EXPECT_EQ(s.sorted("size", 0), (V{"C:\\d1", "C:\\d2", "C:\\small", "C:\\mid", "C:\\big"}));
  EXPECT_EQ(s.sorted("size", FLIST_REVERSE), (V{"C:\\big", "C:\\mid", "C:\\small", "C:\\d2", "C:\\d1"}));
  // the directory order does not turn round
  EXPECT_EQ(s.sorted("name", FLIST_REVERSE | FLIST_DIRS_FIRST),
            (V{"C:\\d2", "C:\\d1", "C:\\small", "C:\\mid", "C:\\big"}));
}

TEST(FlistSort, KeyListsAndTheirMessages) {
  List l;
  l.add({F("C:\\", "c", 3), F("C:\\", "a", 1), F("C:\\", "b", 2)});
  {
    LogCapture log;
    EXPECT_EQ(l.sorted("foo,size", 0), (V{"C:\\a", "C:\\b", "C:\\c"}));
    EXPECT_TRUE(log.has("Invalid sort id [foo] - ignored.")) << log.done();
  }
  {
    // 61 ids: the first 60 tie (all times 0); the dropped last would sort by name
    std::string keys;
    for (int i = 0; i < 60; ++i) keys += "md,";
    LogCapture log;
    EXPECT_EQ(l.sorted((keys + "name").c_str(), FLIST_REVERSE), (V{"C:\\b", "C:\\a", "C:\\c"}));
    EXPECT_TRUE(log.has("Max sort ids [60] exceeded.")) << log.done();
  }
  // without a known id: the order of finding, backwards or not, directories first or not
  List d;
  d.add({F("C:\\", "c"), F("C:\\", "a"), D("C:\\", "d")});
  for (const char* keys : {"", "nope"}) {
    LogCapture log;
    EXPECT_EQ(d.sorted(keys, FLIST_REVERSE), (V{"C:\\d", "C:\\a", "C:\\c"})) << keys;
    EXPECT_EQ(d.sorted(keys, FLIST_DIRS_FIRST), (V{"C:\\c", "C:\\a", "C:\\d"})) << keys;
  }
}

TEST(FlistSort, EveryComparator) {
  List l;
  auto ent = [](const char* name, unsigned attr, unsigned long long time, unsigned err, const char* errtext) {
    Ent e{"C:\\d\\", "", name, attr};
    e.time = time;
    e.errcode = err;
    e.errtext = errtext;
    return e;
  };
  l.add({ent("q.Zip", 0x21, 30, 5, "b"), ent("p", 0x01, 10, 0, nullptr), ent("r.c", 0x22, 20, 5, "a"),
         ent("s.bat", 0x10, 40, 2, nullptr)});
  flist_set_foerr(l.at(0), 32, "in use");
  flist_set_foerr(l.at(3), 5, nullptr);
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
      {"ext", FLIST_IGNORECASE | FLIST_REVERSE, {"q.Zip", "r.c", "s.bat", "p"}},
      {"err", 0, {"p", "s.bat", "r.c", "q.Zip"}},
      {"foerr", 0, {"p", "r.c", "s.bat", "q.Zip"}},
      {"size,attr", FLIST_DIRS_FIRST, {"s.bat", "r.c", "p", "q.Zip"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flist_sort(&l.fl, c.keys, c.flags, nullptr, 0, nullptr), 0);
    V got;
    for (unsigned i = 0; i < 4; ++i) got.push_back(l.at(i)->name);
    EXPECT_EQ(got, c.names) << c.keys << " flags " << c.flags;
  }
}

TEST(FlistSort, ComponentLimitProgressAndCancel) {
  List l;
  std::string deep = "C:\\";
  for (int i = 0; i < 256; ++i) deep += "d\\";  // 257 components and the name
  l.add({F(deep, "z"), F(deep, "a"), F("C:\\", "y")});
  EXPECT_EQ(l.at(0)->pnode->depth, 258);
  {
    LogCapture log;
    EXPECT_EQ(l.sorted("path", 0)[0], deep + "z");  // called equal: the order of finding
    EXPECT_TRUE(log.has("Max path components [256] exceeded.")) << log.done();
  }
  for (int i = 0; i < 7; ++i) l.add(F("C:\\", std::to_string(9 - i).c_str()));
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
  EXPECT_STREQ(l.at(0)->name, "3");
  Prog stop{{}, 2};
  EXPECT_EQ(flist_sort(&l.fl, "name", FLIST_REVERSE, cb, 3, &stop), 9015);
  EXPECT_EQ(stop.seen.size(), 2u);
  for (unsigned i = 0; i < 10; ++i) EXPECT_EQ(l.at(i)->seq, 9 - i);  // the order of finding, backwards
}

// The component walk worked out from the texts, each component spelled as the list met
// it first (a list without case merges the other spellings into it).
struct Oracle {
  bool treeicase;
  std::map<std::string, std::string> spelling;
  V chain(const std::string& dir, const std::string& name) {
    V out;
    std::string prefix;
    size_t start = 0;
    auto take = [&](std::string comp) {
      prefix += "\\" + comp;
      std::string key = prefix;
      if (treeicase) std::transform(key.begin(), key.end(), key.begin(), ::tolower);
      out.push_back(spelling.emplace(key, comp).first->second);
    };
    for (size_t i = 0; i < dir.size(); ++i)
      if (dir[i] == '\\') {
        take(dir.substr(start, i - start + (i && dir[i - 1] == ':')));
        start = i + 1;
      }
    take(name);
    return out;
  }
  static int walk(const V& a, bool adir, const V& b, bool bdir, bool icase, bool dir1st) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
      int t = icase ? strcasecmp(a[i].c_str(), b[i].c_str()) : a[i].compare(b[i]);
      if (!t) continue;
      bool da = i + 1 < a.size() || adir, db = i + 1 < b.size() || bdir;
      return dir1st && da != db ? (da ? -1 : 1) : t;
    }
    return (int)a.size() - (int)b.size();  // an ancestor first
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
    for (int i = 0; i < 120; ++i) {
      std::string dir = rng() % 2 ? "C:\\" : "c:\\";
      for (int k = (int)(rng() % 4); k > 0; --k) dir += std::string(dirs[rng() % 7]) + "\\";
      std::string rdir = "R:\\" + dir.substr(3);
      bool isdir = rng() % 3 == 0;
      l.add(Ent{dir, rdir, isdir ? dirs[rng() % 7] : files[rng() % 5], isdir ? 0x10u : 0x20u});
      if (rng() % 5 == 0) l.add(Ent{dir, rdir, nullptr, 0x10});
    }
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
    for (char key : {'p', 'r', 'd'}) {
      unsigned flags = (unsigned)(rng() % 16) & ~(unsigned)FLIST_DIRS_FIRST;
      // a real path's last component is the record's own spelling, not a node's: in a list
      // without case only a sort without case is blind to it
      if (key == 'r' && icase) flags |= FLIST_IGNORECASE;
      bool ic = flags & FLIST_IGNORECASE, d1 = flags & FLIST_PATHDIR_FIRST, rev = flags & FLIST_REVERSE;
      std::vector<Row> want = all;
      std::stable_sort(want.begin(), want.end(), [&](const Row& x, const Row& y) {
        bool xd = frec_isdir(x.r), yd = frec_isdir(y.r);
        int c = key == 'p' ? Oracle::walk(x.path, xd, y.path, yd, ic, d1)
                : key == 'r' ? Oracle::walk(x.rpath, xd, y.rpath, yd, ic, d1)
                             : Oracle::walk(x.dir, true, y.dir, true, ic, false);
        return c ? (rev ? c > 0 : c < 0) : (rev ? x.r->seq > y.r->seq : x.r->seq < y.r->seq);
      });
      const char* keys = key == 'p' ? "path" : key == 'r' ? "rpath" : "dir";
      ASSERT_EQ(flist_sort(&l.fl, keys, flags, nullptr, 0, nullptr), 0);
      for (unsigned i = 0; i < want.size(); ++i)
        ASSERT_EQ(l.at(i), want[i].r) << "round " << round << ' ' << keys << " flags " << flags << " row " << i;
    }
  }
}

TEST(FlistFullpaths, ZeroOrSeparatorEndedAndTooSmall) {
  List l;
  l.add({Ent{"here\\", "C:\\w\\", "a.txt"}, Ent{"here\\", "C:\\w\\", "b"}});
  list recs{};
  list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
  for (unsigned i = 0; i < 2; ++i) list_v_append(&recs, l.at(i));
  wchar_t buf[64];
  EXPECT_EQ(flist_fullpaths(&recs, 0, buf, 19), 0);
  EXPECT_EQ(std::wstring(buf, 19), std::wstring(L"C:\\w\\a.txt\0C:\\w\\b\0\0", 19));
  EXPECT_EQ(flist_fullpaths(&recs, L'\n', buf, 64), 0);
  EXPECT_EQ(std::wstring(buf, 19), std::wstring(L"C:\\w\\a.txt\nC:\\w\\b\n\0", 19));
  LogCapture log;
  EXPECT_EQ(flist_fullpaths(&recs, 0, buf, 18), 9005);
  EXPECT_TRUE(log.has("Buf too small - str_size: 18.")) << log.done();
  list_v_free(&recs);
}

}  // namespace
