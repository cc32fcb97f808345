// Times the wildcard matchers on generated file names and paths, and PathMatchSpecA on
// the same texts for the patterns whose meaning it shares.
// Usage: bench_match [count]
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rex/fnmatch.h"
#include "rex/pnmatch.h"

namespace {

struct Texts {
  std::vector<char> buf;
  std::vector<unsigned> path;  // offsets of the paths
  std::vector<unsigned> name;  // offsets of their last components
};

unsigned rnd(unsigned* seed) {
  *seed = *seed * 1103515245u + 12345u;
  return *seed >> 8;
}

void generate(Texts* t, unsigned n) {
  static const char* exts[] = {".c", ".h", ".txt", ".tar.gz", ".gz", ".cpp", ".TXT", ".C", "", ".H"};
  static const char* dirs[] = {"src", "include", "lib", "Docs", "a", "build", "tmp"};
  static const char chars[] = "abcdefghijklmnopqrstuvwxyz0123456789_ABC";
  unsigned seed = 12345;
  t->buf.reserve((size_t)n * 32);
  for (unsigned i = 0; i < n; i++) {
    std::string s;
    for (unsigned d = rnd(&seed) % 4; d > 0; d--) {
      s += dirs[rnd(&seed) % 7];
      s += '\\';
    }
    size_t nameat = s.size();
    for (unsigned k = 1 + rnd(&seed) % 12; k > 0; k--) s += chars[rnd(&seed) % (sizeof chars - 1)];
    s += exts[rnd(&seed) % 10];
    t->path.push_back((unsigned)t->buf.size());
    t->name.push_back((unsigned)(t->buf.size() + nameat));
    t->buf.insert(t->buf.end(), s.begin(), s.end());
    t->buf.push_back(0);
  }
}

double now() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return (double)c.QuadPart / (double)freq.QuadPart;
}

struct Patt {
  const char* patt;
  bool path;     // matched as a path (pnm) against the whole path
  bool shared;   // PathMatchSpecA means the same
};

}  // namespace

int main(int argc, char** argv) {
  unsigned n = argc > 1 ? (unsigned)strtoul(argv[1], nullptr, 10) : 1000000;
  if (!n) n = 1000000;
  Texts t;
  generate(&t, n);
  const Patt patts[] = {
      {"*.c", false, true},      {"*.tar.gz", false, true}, {"[a-m]*.txt", false, false},
      {"a?c*", false, true},     {"**\\*.h", true, true},
  };
  printf("%u generated names, case ignored\n", n);
  printf("%-12s %14s %8s %18s %8s\n", "pattern", "rexm ns/match", "matches", "PathMatchSpecA ns", "matches");
  double rexm_total = 0, pms_total = 0;
  int rc = 0;
  for (const Patt& p : patts) {
    fnm fn;
    pnm pn;
    fnm_clear(&fn);
    pnm_clear(&pn);
    int err = p.path ? pnm_init(&pn, p.patt, PNM_ICASE) : fnm_init(&fn, p.patt, FNM_ICASE);
    if (err) {
      fprintf(stderr, "bench_match: pattern %s failed: %d\n", p.patt, err);
      return 1;
    }
    const std::vector<unsigned>& offs = p.path ? t.path : t.name;
    const char* base = t.buf.data();
    unsigned hits = 0;
    double t0 = now();
    if (p.path)
      for (unsigned off : offs) hits += (unsigned)pnm_match(&pn, base + off);
    else
      for (unsigned off : offs) hits += (unsigned)fnm_match(&fn, base + off);
    double dt = now() - t0;
    printf("%-12s %14.1f %8u", p.patt, dt * 1e9 / n, hits);
    if (p.shared) {
      unsigned phits = 0;
      t0 = now();
      for (unsigned off : offs) phits += PathMatchSpecA(base + off, p.patt) ? 1 : 0;
      double pt = now() - t0;
      printf(" %18.1f %8u%s\n", pt * 1e9 / n, phits, phits == hits ? "" : "  (results differ)");
      if (phits != hits) rc = 2;
      rexm_total += dt;
      pms_total += pt;
    } else {
      printf(" %18s\n", "n/a");
    }
    fnm_free(&fn);
    pnm_free(&pn);
  }
  printf("rexm/PathMatchSpecA: %.2f\n", pms_total > 0 ? rexm_total / pms_total : 0.0);
  return rc;
}
