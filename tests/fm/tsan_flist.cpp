// The find thread appends a million records while the window thread reads every row below
// each count it is given, built under ThreadSanitizer (no test framework: it would need a
// build of its own). Exit status 0 when every row read back whole; the sanitizer fails
// the run on a race.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "err/err.h"
#include "fm/flist.h"
#include "quarn/quarnlib.h"

int main(int argc, char** argv) {
  const unsigned n = argc > 1 ? (unsigned)std::strtoul(argv[1], nullptr, 10) : 1000000u;
  flist fl{};
  if (flist_init(&fl, 1)) return 2;
  std::atomic<bool> done{false};
  std::thread writer([&] {
    char dir[64], name[64];
    qnd d;
    std::memset(&d, 0, sizeof d);
    d.dir = d.rdir = dir;
    d.name = name;
    for (unsigned i = 0; i < n; ++i) {
      std::snprintf(dir, sizeof dir, "C:\\tree\\d%03u\\s%u\\", i / 1000, i / 100 % 10);
      std::snprintf(name, sizeof name, "File%07u.dat", i);
      d.fd.nFileSizeLow = i;
      if (flist_add(&fl, &d)) break;
    }
    done = true;
  });
  unsigned seen = 0, bad = 0, looks = 0;
  for (bool last = false; !last; ++looks) {
    last = done;
    unsigned c = flist_count(&fl);
    for (unsigned i = seen; i < c; ++i) {
      const frec* r = flist_get(&fl, i);
      char name[64];
      std::snprintf(name, sizeof name, "File%07u.dat", i);
      if (!r || r->seq != i || r->size != i || std::strcmp(r->name, name) || r->pnode->rec != r ||
          std::strncmp(r->dir, "C:\\tree\\d", 9))
        ++bad;
    }
    seen = c;
    if (!last) std::this_thread::yield();
  }
  writer.join();
  std::printf("flist tsan: %u rows read in %u looks, %u bad\n", seen, looks, bad);
  flist_free(&fl);
  return seen == n && !bad ? 0 : 1;
}
