// Language tags against the thirteen shapes, into buffers of varying sizes; every part
// stays terminated within its buffer.
#include "fuzz_util.h"
#include "rex/ltmatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  static ltm lt;
  static bool ready = false;
  if (!ready) {
    ltm_clear(&lt);
    FUZZ_CHECK(ltm_init(&lt) == 0);
    ready = true;
  }
  uint8_t h = fuzz::head(data, size);
  std::string tag = fuzz::text(data, size);
  const unsigned sz = (h & 0x80) ? LTM_SUBTAG_SIZE : 1 + (h & 0x1F);
  std::vector<char> lang(sz), ext(sz), scr(sz), rgn(sz), var(sz);
  int err = -1;
  int m = ltm_match(&lt, tag.c_str(), lang.data(), sz, ext.data(), sz, scr.data(), sz, rgn.data(), sz, var.data(),
                    sz, &err);
  FUZZ_CHECK(m == 0 || m == 1);
  for (auto* b : {&lang, &ext, &scr, &rgn, &var}) FUZZ_CHECK(fuzz::terminated(b->data(), sz));
  if (m) FUZZ_CHECK(err == 0 && (sz == 1 || lang[0]));
  return 0;
}
