// Resource files: the input, cut at its first two form feeds, is the data loaded and
// two files "a" and "b" in a directory of the harness's own that it may include. The
// first byte says whether the data is handed over as it is (plain text, or a bzip2 or
// gzip image the input holds) or compressed here first, whole or cut short. What was
// stored must read back unchanged after a save.
#include <map>

#include "xrm/xrm_load.h"
#include "fuzz_util.h"

namespace {

std::map<std::string, std::string> contents(db* d) {
  std::map<std::string, std::string> m;
  for (rbtree_node* n = rbtree_first(&d->res); n; n = rbtree_next(n)) {
    const quarks* q = *static_cast<const quarks* const*>(rbtree_key(n));
    const char* v = *static_cast<char* const*>(rbtree_val(&d->res, n));
    FUZZ_CHECK(strlen(q->text) < XRML_SPEC_MAX);
    FUZZ_CHECK(strlen(v) < XRML_VALUE_MAX);
    m[q->text] = v;
  }
  return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup({{"A", "a"}, {"EMPTY", ""}, {"SELF", "xrml"}});
  fuzz::enter_own_dir("xrml", {"a", "b", "saved"});
  uint8_t h = fuzz::head(data, size);
  std::string all(reinterpret_cast<const char*>(data), size);
  const bool asis = !(h & 0x80);
  std::array<std::string, 3> parts = fuzz::ff_parts(all);
  if (!asis) fuzz::no_slash(parts[0]);  // an image as it is: opaque
  fuzz::no_slash(parts[1]);
  fuzz::no_slash(parts[2]);
  fuzz::write_file("a", parts[1]);
  fuzz::write_file("b", parts[2]);
  std::string in = parts[0];
  if (!asis) {
    in = fuzz::bzip(in);
    if (h & 0x40) in.resize(in.size() * ((h >> 3) & 7) / 8);
  }

  xrm x{};
  FUZZ_CHECK(xrm_init(&x, "quarnw", "Mox", "joe", nullptr, nullptr) == 0);
  db* d = xrm_db_new(&x);
  FUZZ_CHECK(d != nullptr);
  xrml l;
  xrml_init(&l);
  const int rc = xrml_load_data(&l, d, in.data(), (unsigned)in.size());
  FUZZ_CHECK(rc == l.err);
  FUZZ_CHECK(rc == 0 || rc == 9001 || rc == 9005 || rc == 9009 || rc == 9013);
  FUZZ_CHECK(fuzz::terminated(l.errtext, sizeof l.errtext));
  FUZZ_CHECK(l.nsrcs == 0);
  const auto before = contents(d);

  // saved and loaded again: the same resources
  int src = xrm_db_save(d, "saved");
  FUZZ_CHECK(src == 0 || src == 9005);
  if (src == 0) {
    db* d2 = xrm_db_new(&x);
    FUZZ_CHECK(d2 != nullptr);
    FUZZ_CHECK(xrml_load_file(&l, d2, "saved") == (before.empty() ? 9001 : 0));
    FUZZ_CHECK(contents(d2) == before);
  }
  xrml_free(&l);
  xrm_free(&x);
  return 0;
}
