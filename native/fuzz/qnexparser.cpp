// The search expression: scanner, grammar, primaries' constructors, then evaluation of
// the tree on a few entries that never touch the file system.
#include <cstring>

#include "ex/ex.h"
#include "fuzz_util.h"
#include "quarn/qnex.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"

namespace {

constexpr const char* kFmts[] = {"iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*", "*", nullptr};

void entry(qnd* d, const char* dir, const char* name, unsigned attr, unsigned long long size,
           unsigned long long ft, int depth) {
  qnd_clear(d);
  d->dir = dir;
  d->rdir = dir;
  d->name = name;
  d->depth = depth;
  d->fd.dwFileAttributes = attr;
  d->fd.nFileSizeHigh = (DWORD)(size >> 32);
  d->fd.nFileSizeLow = (DWORD)size;
  d->fd.ftLastWriteTime = {(DWORD)ft, (DWORD)(ft >> 32)};
  d->fd.ftLastAccessTime = {(DWORD)(ft + 1), (DWORD)((ft + 1) >> 32)};
  d->fd.ftCreationTime = {(DWORD)(ft / 2), (DWORD)((ft / 2) >> 32)};
  snprintf(d->fd.cFileName, sizeof d->fd.cFileName, "%s", name);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::string text = fuzz::text(data, size);
  const int ignorecase = h & 1;
  const unsigned fmtflags = (h >> 1) & 1;
  const char* fmts = kFmts[(h >> 2) % 3];
  const long now = (h & 0x20) ? 1721053230L : 946684800L;

  qnexp q;
  qnexparser_clear(&q);
  ex e;
  ex_clear(&e);
  FUZZ_CHECK(ex_init(&e, qnex_free) == 0);
  int rc = mox_qnexparser_parse(&q, &e, text.c_str(), ignorecase, fmtflags, fmts, now, h >> 7);
  if (rc == 0 && ex_root(&e)) {
    // files only: -empty on a directory would list it
    qnd d;
    const unsigned long long ft = (unsigned long long)(now + 11644473600LL) * 10000000ULL;
    entry(&d, "C:\\src\\", "main.c", 0x20, 10752, ft - 600000000ULL, 1);
    int err = 0;
    int m = ex_eval(&e, &d, &err);
    FUZZ_CHECK(m == 0 || m == 1);
    entry(&d, "c:/Tmp/A b/", ".Hidden.TXT", 0x23, 0x100000000ULL, ft - 86400ULL * 10000000ULL * 400, 7);
    m = ex_eval(&e, &d, &err);
    FUZZ_CHECK(m == 0 || m == 1);
    entry(&d, "", "", 0, 0, 0, 0);
    m = ex_eval(&e, &d, &err);
    FUZZ_CHECK(m == 0 || m == 1);
  }
  ex_free(&e);
  qnexparser_free(&q);
  return 0;
}
