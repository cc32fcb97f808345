// Time stamps: a format list (fixed, or the first line of the input as name patterns)
// and texts read against a reference time; a match is a non-empty range.
#include "fuzz_util.h"
#include "rex/tsmatch.h"

namespace {
constexpr const char* kLists[] = {"*", "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*", "unix-d-*,unix-t-*"};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::vector<std::string> ls = fuzz::lines(fuzz::text(data, size));
  const bool own = h & 4;
  const char* fmts = own ? ls[0].c_str() : kLists[h % 3];
  static const time_t kRefs[] = {1721053230, 0, 946684799, 32535215999, 1615689005, 86399};
  tsm ts;
  tsm_clear(&ts);
  if (tsm_init(&ts, fmts) == 0) {
    for (size_t i = own ? 1 : 0; i < ls.size(); i++) {
      time_t ft = kRefs[(h >> 3) % 6], tt = 0;
      int err = -1;
      int m = tsm_match(&ts, ls[i].c_str(), &ft, &tt, &err);
      FUZZ_CHECK(m == 0 || m == 1);
      if (m) FUZZ_CHECK(err == 0 && ft < tt);
    }
  }
  tsm_free(&ts);
  return 0;
}
