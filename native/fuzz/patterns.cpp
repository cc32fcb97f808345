// The pattern front ends: the first line is a name, path or string pattern, compiled
// with the flags of the first byte and matched against every further line.
#include "fuzz_util.h"
#include "rex/fnmatch.h"
#include "rex/pnmatch.h"
#include "rex/strmatch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t h = fuzz::head(data, size);
  std::vector<std::string> ls = fuzz::lines(fuzz::text(data, size));
  const std::string& patt = ls[0];
  const int kind = h % 3;
  const int flags = (h >> 2) & 3;
  int rc;
  fnm fn;
  pnm pn;
  strm sm;
  fnm_clear(&fn);
  pnm_clear(&pn);
  strm_clear(&sm);
  if (kind == 0)
    rc = fnm_init(&fn, patt.c_str(), flags & FNM_ICASE);
  else if (kind == 1)
    rc = pnm_init(&pn, patt.c_str(), flags);
  else
    rc = strm_init(&sm, patt.c_str(), flags & STRM_ICASE);
  for (size_t i = 1; i < ls.size(); i++) {
    int err = -1;
    const char* s = ls[i].c_str();
    int m = kind == 0 ? fnm_match(&fn, s, &err) : kind == 1 ? pnm_match(&pn, s, &err) : strm_match(&sm, s, &err);
    FUZZ_CHECK(m == 0 || m == 1);
    if (rc == 0) FUZZ_CHECK(err == 0);
    // a pattern without wildcards, escapes or case folding matches itself only
    if (rc == 0 && kind != 1 && !flags && patt.find_first_of("*?[^\\") == std::string::npos)
      FUZZ_CHECK(m == (ls[i] == patt));
  }
  if (rc == 0 && kind == 0 && patt.find_first_of("*?[^") == std::string::npos)
    FUZZ_CHECK(fnm_match(&fn, patt.c_str()) == 1);
  fnm_free(&fn);
  pnm_free(&pn);
  strm_free(&sm);
  return 0;
}
