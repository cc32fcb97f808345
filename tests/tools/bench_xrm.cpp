// Times the resource database as the windowed program uses it: the start-up loads of
// the built-in resource and text images, and lookups of fully qualified names built
// from every resource the built-in file holds (instance and class, qualified).
// Usage: bench_xrm [lookups] [loads]
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "quarnw/resimg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm_load.h"

namespace {

double now_us() {
  static LARGE_INTEGER f = [] {
    LARGE_INTEGER x;
    QueryPerformanceFrequency(&x);
    return x;
  }();
  LARGE_INTEGER c;
  QueryPerformanceCounter(&c);
  return (double)c.QuadPart * 1e6 / (double)f.QuadPart;
}

// CPU time of this thread: the wall clock also counts the time the machine gives others.
double cpu_us() {
  FILETIME c, e, k, u;
  GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
  auto us = [](const FILETIME& f) { return (double)(((unsigned long long)f.dwHighDateTime << 32) | f.dwLowDateTime) / 10; };
  return us(k) + us(u);
}

struct Query {
  std::string name, cls;
};

// "*flist.col.size.wPref" -> "flist.col.size.wPref" and "Flist.Col.Size.WPref".
Query query_of(const char* spec) {
  Query q;
  bool start = true;
  for (const char* p = spec; *p; ++p) {
    if (*p == '*' || *p == '.') {
      if (!q.name.empty() && q.name.back() != '.') {
        q.name += '.';
        q.cls += '.';
      }
      start = true;
      continue;
    }
    q.name += *p;
    q.cls += start ? (char)toupper((unsigned char)*p) : *p;
    start = false;
  }
  return q;
}

}  // namespace

int main(int argc, char** argv) {
  const unsigned nlookups = argc > 1 ? (unsigned)strtoul(argv[1], nullptr, 10) : 1000000u;
  const unsigned nloads = argc > 2 ? (unsigned)strtoul(argv[2], nullptr, 10) : 20u;

  double xrm_us = 0, txr_us = 0;
  int rc = 0;
  for (unsigned i = 0; i < nloads && !rc; ++i) {
    xrm x{};
    rc = xrm_init(&x, "quarnw", "Mox", "joe", nullptr, nullptr);
    db* d = rc ? nullptr : xrm_db_new(&x);
    xrml l;
    xrml_init(&l);
    double t0 = now_us();
    if (d) rc = xrml_load_data(&l, d, quarnw_xrm_img, quarnw_xrm_img_size);
    xrm_us += now_us() - t0;
    xrml_free(&l);
    xrm_free(&x);
  }
  if (rc) {
    fprintf(stderr, "resource image load failed: %d\n", rc);
    return 1;
  }
  for (unsigned i = 0; i < nloads && !rc; ++i) {
    txr tx{};
    txr_init(&tx, "en");
    txrl tl;
    txrl_clear(&tl);
    double t0 = now_us();
    rc = txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size);
    txr_us += now_us() - t0;
    txrl_clear(&tl);
    txr_free(&tx);
  }
  if (rc) {
    fprintf(stderr, "text image load failed: %d\n", rc);
    return 1;
  }

  xrm x{};
  xrm_init(&x, "quarnw", "Mox", "joe", nullptr, nullptr);
  db* d = xrm_db_new(&x);
  xrml l;
  xrml_init(&l);
  xrml_load_data(&l, d, quarnw_xrm_img, quarnw_xrm_img_size);
  std::vector<Query> qs;
  for (rbtree_node* n = rbtree_first(&d->res); n; n = rbtree_next(n))
    qs.push_back(query_of((*static_cast<const quarks* const*>(rbtree_key(n)))->text));
  char buf[XRM_VALUE_SIZE];
  unsigned found = 0;
  double t0 = now_us(), c0 = cpu_us();
  for (unsigned i = 0; i < nlookups; ++i) {
    const Query& q = qs[i % qs.size()];
    if (!xrm_get_str(d, q.name.c_str(), q.cls.c_str(), 1, buf, sizeof buf)) ++found;
  }
  const double get_us = now_us() - t0, get_cpu = cpu_us() - c0;
  // the same under one hold of the mutex, as the loaders of lists and layouts read
  xrm_lock(d);
  t0 = now_us();
  c0 = cpu_us();
  for (unsigned i = 0; i < nlookups; ++i) {
    const Query& q = qs[i % qs.size()];
    if (!xrm_get_str(d, q.name.c_str(), q.cls.c_str(), 1, buf, sizeof buf)) ++found;
  }
  const double held_us = now_us() - t0, held_cpu = cpu_us() - c0;
  xrm_unlock(d);

  printf("resources: %u, built-in image %u bytes (bzip2)\n", xrm_db_count(d), quarnw_xrm_img_size);
  printf("load resource image: %.3f ms\n", xrm_us / nloads / 1000);
  printf("load text image:     %.3f ms (%u bytes)\n", txr_us / nloads / 1000, quarnw_txr_img_size);
  printf("both loads:          %.3f ms (mean of %u)\n", (xrm_us + txr_us) / nloads / 1000, nloads);
  printf("xrm_get: %u lookups of %u qualified names, %u found\n", nlookups, (unsigned)qs.size(), found / 2);
  printf("  each taking the mutex: %.1f ns per lookup (thread CPU %.1f ns)\n", get_us * 1000 / nlookups,
         get_cpu * 1000 / nlookups);
  printf("  under one hold:        %.1f ns per lookup (thread CPU %.1f ns)\n", held_us * 1000 / nlookups,
         held_cpu * 1000 / nlookups);
  xrml_free(&l);
  xrm_free(&x);
  return found ? 0 : 1;
}
