// Column sets over a database filled from fuzzed resource text: the set "l.col" read
// (with or without class forms and qualification), written back and read again.
// The first byte steers; no include is followed (the loader's own harness has them).
#include "xrm/xrm_listcol.h"
#include "xrm/xrm_load.h"
#include "fuzz_util.h"

namespace {

void check(const listcol& lc) {
  FUZZ_CHECK(lc.ncols <= LISTCOL_MAX);
  FUZZ_CHECK(lc.ngrps <= LISTCOL_GRP_MAX);
  bool seen[LISTCOL_MAX] = {};
  for (unsigned i = 0; i < lc.ncols; ++i) {
    FUZZ_CHECK(lc.order[i] < lc.ncols && !seen[lc.order[i]]);
    seen[lc.order[i]] = true;
    const listcol_col& c = lc.cols[i];
    FUZZ_CHECK(fuzz::terminated(c.id, sizeof c.id) && c.id[0]);
    FUZZ_CHECK(fuzz::terminated(c.name, sizeof c.name));
    FUZZ_CHECK(fuzz::terminated(c.wpref, sizeof c.wpref));
    FUZZ_CHECK(c.align >= LISTCOL_LEFT && c.align <= LISTCOL_RIGHT);
    FUZZ_CHECK((c.excl | c.visible | c.sortrev_dflt) <= 1);
    FUZZ_CHECK(c.grp >= -1 && c.grp < (int)lc.ngrps);
    FUZZ_CHECK(listcol_find(&lc, c.id) == (int)i);
  }
  for (unsigned g = 0; g < lc.ngrps; ++g) {
    FUZZ_CHECK(lc.grps[g].ncols <= lc.ncols);
    for (unsigned i = 0; i < lc.grps[g].ncols; ++i) FUZZ_CHECK(lc.cols[lc.grps[g].cols[i]].grp == (int)g);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::string text(reinterpret_cast<const char*>(data), size);
  for (char& c : text)
    if (c == '#') c = '!';
  static xrm x;
  FUZZ_CHECK(xrm_init(&x, "quarnw", "moxware", "u", nullptr, nullptr) == 0);
  db* d = xrm_db_new(&x);
  FUZZ_CHECK(d != nullptr);
  static xrml l;
  xrml_init(&l);
  xrml_load_data(&l, d, text.data(), (unsigned)text.size());
  xrml_free(&l);

  const char* cls = (h & 1) ? "L.Col" : nullptr;
  const int qualify = (h >> 1) & 1;
  static listcol lc, back;
  int rc = xrm_listcol_load(d, "l.col", cls, qualify, &lc);
  check(lc);
  if (rc == 0 && lc.ncols) {
    // the user moves the last column first and widens the first one
    unsigned last = lc.order[lc.ncols - 1];
    memmove(lc.order + 1, lc.order, (lc.ncols - 1) * sizeof lc.order[0]);
    lc.order[0] = last;
    lc.cols[0].w = h;
    if (xrm_listcol_save(d, (h & 4) ? "*l.col" : "u.quarnw.l.col", &lc) == 0) {
      rc = xrm_listcol_load(d, "l.col", cls, qualify, &back);
      check(back);
    }
  }
  xrm_free(&x);
  return 0;
}
