// The file list with a million records: adding them as the search thread does, three
// sorts, memory per record, and a plain std::sort of the same full paths as a yardstick.
// Usage: bench_flist [files per directory]   (1000 directories; default 1000 files each)
#include <windows.h>
#ifdef _WIN32
#include <psapi.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "err/err.h"
#include "fm/flist.h"
#include "fm/ftext.h"
#include "quarn/quarnlib.h"

namespace {

// Memory the process has taken: private bytes on Windows, resident bytes elsewhere.
double mem_bytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc))
    return 0;
  // Wine leaves the private bytes at 0
  return (double)(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage ? pmc.PagefileUsage : pmc.WorkingSetSize);
#else
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return (double)resident * 4096.0;
#endif
}

double now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// CPU time of this thread: on a machine shared with other work the fair measure.
double cpu() {
#ifdef _WIN32
  FILETIME c, e, k, u;
  if (!GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u)) return 0;
  return (double)((unsigned long long)u.dwHighDateTime << 32 | u.dwLowDateTime) * 1e-7 +
         (double)((unsigned long long)k.dwHighDateTime << 32 | k.dwLowDateTime) * 1e-7;
#else
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return (double)ts.tv_sec + ts.tv_nsec * 1e-9;
#endif
}

struct Clock {
  double w = now(), c = cpu();
  double wall() const { return now() - w; }
  double used() const { return cpu() - c; }
};

struct Rng {
  unsigned long long s = 0x9E3779B97F4A7C15ull;
  unsigned next() {
    s ^= s << 13, s ^= s >> 7, s ^= s << 17;
    return (unsigned)(s >> 11);
  }
  unsigned operator()(unsigned n) { return next() % n; }
};

const char* kWords[] = {"report", "Invoice", "main", "README", "setup", "Photo", "IMG", "draft", "notes", "Budget",
                        "config", "index", "util", "Makefile", "test", "data", "Backup", "final", "summary", "log",
                        "module", "Scan", "thesis", "chapter", "Screenshot", "build", "release", "archive"};
const char* kExts[] = {".txt", ".docx", ".JPG", ".jpg", ".cpp", ".h", ".pdf", ".xlsx", ".png", ".dll", ".exe",
                       ".log", ".zip", ".tar.gz", ".json", ".xml", ".PDF", ".mp3", "", ".bak", ".c", ".md"};
const char* kDirs[] = {"Documents", "src", "Pictures", "projects", "Music", "lib", "Downloads", "include", "tmp",
                       "AppData"};

std::string file_name(Rng& r, unsigned i) {
  std::string s = kWords[r(28)];
  switch (r(5)) {
    case 0: s += "_" + std::to_string(1000 + r(9000)); break;
    case 1: s += " (" + std::to_string(1 + r(9)) + ")"; break;
    case 2: s += "-" + std::string(kWords[r(28)]) + "-" + std::to_string(2000 + r(25)); break;
    case 3: s += std::to_string(i); break;
    default: s += "_v" + std::to_string(r(20)) + "." + std::to_string(r(10)); break;
  }
  // unique within the directory whatever the draw
  return s + "~" + std::to_string(i) + kExts[r(22)];
}

struct Dir {
  std::string path;  // with its trailing separator
  std::vector<std::string> files;
  std::vector<unsigned> subdirs;  // indices of the directories below
};

// 10 x 10 x 10 leaf directories under a root, every directory holding files.
std::vector<Dir> make_tree(unsigned perdir, Rng& r) {
  std::vector<Dir> t;
  t.push_back(Dir{"C:\\Users\\dev\\", {}, {}});
  for (unsigned a = 0; a < 10; ++a) {
    unsigned ia = (unsigned)t.size();
    t[0].subdirs.push_back(ia);
    t.push_back(Dir{t[0].path + kDirs[a] + "\\", {}, {}});
    for (unsigned b = 0; b < 10; ++b) {
      unsigned ib = (unsigned)t.size();
      t[ia].subdirs.push_back(ib);
      t.push_back(Dir{t[ia].path + kWords[(a * 10 + b) % 28] + "_" + std::to_string(b) + "\\", {}, {}});
      for (unsigned c = 0; c < 10; ++c) {
        t[ib].subdirs.push_back((unsigned)t.size());
        t.push_back(Dir{t[ib].path + "Folder " + std::to_string(c) + "\\", {}, {}});
      }
    }
  }
  // 1000 directories of files: the leaves and, to spread it, none of the upper ones
  for (Dir& d : t)
    if (d.subdirs.empty())
      for (unsigned i = 0; i < perdir; ++i) d.files.push_back(file_name(r, i));
  return t;
}

void fill(qnd* d, const std::string& dir, const char* name, unsigned attr, Rng& r) {
  std::memset(d, 0, sizeof *d);
  d->dir = d->rdir = dir.c_str();
  d->name = name;
  d->fd.dwFileAttributes = attr;
  unsigned long long t = 130000000000000000ull + (unsigned long long)r.next() * 1000;
  FILETIME ft{(DWORD)t, (DWORD)(t >> 32)};
  d->fd.ftCreationTime = d->fd.ftLastAccessTime = d->fd.ftLastWriteTime = ft;
  d->fd.nFileSizeLow = attr & 0x10 ? 0 : r.next() % 5000000;
}

// Pre-order like the walker: the entries of a directory, each subdirectory reported and
// descended when it comes up.
struct Entry {
  const std::string* dir;
  const char* name;  // nullptr: the searched directory itself
  unsigned attr;
};

void list_dir(const std::vector<Dir>& t, unsigned i, std::vector<Entry>& out, Rng& r) {
  const Dir& d = t[i];
  std::vector<std::pair<const char*, int>> order;  // name, subdirectory index or -1
  for (const std::string& f : d.files) order.push_back({f.c_str(), -1});
  for (unsigned s : d.subdirs) {
    const std::string& p = t[s].path;
    size_t b = p.find_last_of('\\', p.size() - 2);
    order.push_back({p.c_str() + b + 1, (int)s});  // name up to the separator, cut below
  }
  // the order a file system hands them out in: hashed, not sorted
  for (size_t k = order.size(); k > 1; --k) std::swap(order[k - 1], order[r((unsigned)k)]);
  for (auto& o : order) {
    if (o.second < 0) {
      out.push_back(Entry{&d.path, o.first, 0x20});
    } else {
      out.push_back(Entry{&d.path, o.first, 0x10});
      list_dir(t, (unsigned)o.second, out, r);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr);
  unsigned perdir = argc > 1 ? (unsigned)std::strtoul(argv[1], nullptr, 10) : 1000;
  Rng rng;
  std::vector<Dir> tree = make_tree(perdir, rng);
  std::vector<Entry> ents;
  ents.push_back(Entry{&tree[0].path, nullptr, 0x10});
  list_dir(tree, 0, ents, rng);
  // subdirectory names were taken up to the end of their path: cut the separator off
  std::vector<std::string> dirnames;
  dirnames.reserve(ents.size() / 100 + 16);
  for (Entry& e : ents)
    if (e.name && (e.attr & 0x10)) {
      std::string n = e.name;
      n.pop_back();
      dirnames.push_back(n);
    }
  size_t k = 0;
  for (Entry& e : ents)
    if (e.name && (e.attr & 0x10)) e.name = dirnames[k++].c_str();
  std::vector<qnd> recs(ents.size());
  unsigned long long namebytes = 0;
  for (size_t i = 0; i < ents.size(); ++i) {
    fill(&recs[i], *ents[i].dir, ents[i].name, ents[i].attr, rng);
    namebytes += (ents[i].name ? std::strlen(ents[i].name) : std::strlen("dev")) + 1;
  }
  std::printf("records: %zu (%zu directories, %u files in each of the 1000 deepest; 7 components)\n", recs.size(),
              tree.size(), perdir);

  flist fl{};
  flist_init(&fl, 1);
  double m0 = mem_bytes();
  Clock ta;
  for (const qnd& d : recs)
    if (int rc = flist_add(&fl, &d)) {
      std::printf("add failed: %d\n", rc);
      return 1;
    }
  double tadd = ta.used(), wadd = ta.wall(), m1 = mem_bytes();
  unsigned n = flist_count(&fl);
  double per = (m1 - m0) / n;
  std::printf("times: cpu (wall)\n");
  std::printf("add:  %6.3f s (%6.3f)  %u records, memory %.1f bytes/record, %.1f beyond the name (%.1f name bytes)\n",
              tadd, wadd, n, per, per - (double)namebytes / n, (double)namebytes / n);

  struct {
    const char* label;
    const char* keys;
    unsigned flags;
  } sorts[] = {{"path", "path", 0},
               {"name,dir ignore case", "name,dir", FLIST_IGNORECASE},
               {"size reversed", "size", FLIST_REVERSE},
               {"path ignore case", "path", FLIST_IGNORECASE}};
  double tpath = 0, tpathi = 0;
  for (const auto& s : sorts) {
    Clock ts;
    int rc = flist_sort(&fl, s.keys, s.flags, nullptr, 0, nullptr);
    double el = ts.used();
    std::printf("sort: %6.3f s (%6.3f)  %s%s\n", el, ts.wall(), s.label, rc ? " FAILED" : "");
    if (!std::strcmp(s.label, "path")) tpath = el;
    if (!std::strcmp(s.label, "path ignore case")) tpathi = el;
  }
  // more key lists to time: QUARN_BENCH_SORTS="keys:flags;keys:flags"
  if (const char* more = std::getenv("QUARN_BENCH_SORTS")) {
    std::string all = more;
    for (size_t p = 0; p < all.size();) {
      size_t e = all.find(';', p);
      std::string one = all.substr(p, e == std::string::npos ? std::string::npos : e - p);
      p = e == std::string::npos ? all.size() : e + 1;
      size_t colon = one.find(':');
      std::string keys = one.substr(0, colon);
      unsigned flags = colon == std::string::npos ? 0 : (unsigned)std::strtoul(one.c_str() + colon + 1, nullptr, 0);
      Clock tx;
      flist_sort(&fl, keys.c_str(), flags, nullptr, 0, nullptr);
      std::printf("sort: %6.3f s (%6.3f)  %s flags %u\n", tx.used(), tx.wall(), keys.c_str(), flags);
    }
  }
  double m2 = mem_bytes();
  std::printf("memory after the sorts: %.1f bytes/record\n", (m2 - m0) / n);

  // the yardstick: the same full paths, in the order found, by a plain case-insensitive sort
  std::vector<std::string> paths;
  paths.reserve(n);
  for (unsigned i = 0; i < n; ++i) {
    const frec* r = flist_get_found(&fl, i);
    paths.push_back(std::string(r->dir) + r->name);
  }
  Clock ts;
  std::sort(paths.begin(), paths.end(),
            [](const std::string& a, const std::string& b) { return ftext_cmp(a.c_str(), b.c_str(), true) < 0; });
  double tstd = ts.used();
  std::printf("std::sort: %6.3f s (%6.3f)  %u full paths without case\n", tstd, ts.wall(), n);
  flist_free(&fl);
  err_free();
  std::printf("flist-path-ignorecase/stdsort: %.2f\n", tpathi / tstd);
  std::printf("flist-path/stdsort: %.2f\n", tpath / tstd);
  return 0;
}
