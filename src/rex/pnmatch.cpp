// Path patterns: glob mode with '\' and '/' as separators. A separator in the pattern
// becomes a group of the two separators, so either matches either; in the directory
// form the last one also has an empty alternative.
#include "rex/pnmatch.h"

#include <cstring>

#include "c/path.h"
#include "err/err.h"
#include "rex/rexmatch.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kPathSize = 4096;

int add_sep(rexm* re, bool optional) {
  int rc = rexm_group(re);
  if (!rc) rc = rexm_add_char(re, '\\', 0);
  if (!rc) rc = rexm_alt(re);
  if (!rc) rc = rexm_add_char(re, '/', 0);
  if (!rc && optional) rc = rexm_alt(re);
  return rc ? rc : rexm_group_end(re, 0);
}

int compile(rexm* re, const char* patt, bool dir) {
  int rc = 0;
  for (const char* p = patt; *p && !rc;) {
    unsigned char c = (unsigned char)*p;
    if (c == '*') {
      // two stars cross separators; any longer run is the same as two
      const char* q = p;
      while (*q == '*') q++;
      rc = rexm_add_char(re, q - p > 1 ? REXM_ANY : REXM_ANY_NOSEP, '*');
      p = q;
    } else if (c == '?') {
      rc = rexm_add_char(re, REXM_ANY_NOSEP, '?');
      p++;
    } else if (c == '[') {
      unsigned used = 0;
      rc = rexm_add_chl(re, p, '!', &used);
      p += used ? used : 1;
    } else if (c == '^') {
      if (p[1]) rc = rexm_add_char(re, (unsigned char)p[1], 0);
      p += p[1] ? 2 : 1;
    } else if (c == '\\' || c == '/') {
      rc = add_sep(re, dir && !p[1]);
      p++;
    } else {
      rc = rexm_add_char(re, c, 0);
      p++;
    }
  }
  return rc ? rc : rexm_finish(re);
}

}  // namespace

int pnm_init(pnm* pn, const char* patt, int flags) {
  if (!pn) {
    ERR_LOG(ERR_ERR, kParam, "`pnm' is NUL.");
    return kParam;
  }
  if (!patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - pnm: %p, patt: `%s'.", (void*)pn, "NUL");
    return kParam;
  }
  rexm_free(&pn->re);
  pn->flags = flags;
  int rc = rexm_init(&pn->re, REXM_GLOB | (flags & PNM_ICASE ? REXM_ICASE : 0), "\\/");
  if (!rc) {
    if (flags & PNM_DIR) {
      char buf[kPathSize];
      mox_path_add_sep(patt, buf, sizeof buf, &rc);
      if (!rc) rc = compile(&pn->re, buf, true);
    } else {
      rc = compile(&pn->re, patt, false);
    }
  }
  if (rc) rexm_free(&pn->re);
  return rc;
}

int pnm_match(const pnm* pn, const char* str, int* err) {
  if (!pn) {
    ERR_LOG(ERR_ERR, kParam, "`pnm' is NUL.");
    if (err) *err = kParam;
    return 0;
  }
  return rexm_match(&pn->re, str, err);
}

int pnm_free(pnm* pn) {
  if (!pn) {
    ERR_LOG(ERR_ERR, kParam, "`pnm' is NUL.");
    return kParam;
  }
  rexm_free(&pn->re);
  return pnm_clear(pn);
}

int pnm_clear(pnm* pn) {
  if (!pn) {
    ERR_LOG(ERR_ERR, kParam, "`pnm' is NUL.");
    return kParam;
  }
  memset(pn, 0, sizeof *pn);
  return 0;
}
