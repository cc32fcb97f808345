// File-name patterns compiled in glob mode, without separators.
#include "rex/fnmatch.h"

#include <cstring>

#include "err/err.h"
#include "rex/rexmatch.h"

namespace {
constexpr int kParam = 9003;
}

int fnm_compile(rexm* re, const char* patt, int esc) {
  int rc = 0;
  bool star = false;  // the last atom was a star: more stars add nothing
  for (const char* p = patt; *p && !rc;) {
    unsigned char c = (unsigned char)*p;
    if (c == '*') {
      if (!star) rc = rexm_add_char(re, REXM_ANY_NOSEP, '*');
      star = true;
      p++;
      continue;
    }
    star = false;
    if (c == '?') {
      rc = rexm_add_char(re, REXM_ANY_NOSEP, '?');
      p++;
    } else if (c == '[') {
      unsigned used = 0;
      rc = rexm_add_chl(re, p, '!', &used);
      p += used ? used : 1;
    } else if (c == (unsigned char)esc) {
      if (p[1]) rc = rexm_add_char(re, (unsigned char)p[1], 0);
      p += p[1] ? 2 : 1;
    } else {
      rc = rexm_add_char(re, c, 0);
      p++;
    }
  }
  return rc ? rc : rexm_finish(re);
}

int fnm_init(fnm* fn, const char* patt, int flags) {
  if (!fn) {
    ERR_LOG(ERR_ERR, kParam, "`fnm' is NUL.");
    return kParam;
  }
  if (!patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fnm: %p, patt: `%s'.", (void*)fn, "NUL");
    return kParam;
  }
  rexm_free(&fn->re);
  fn->flags = flags;
  int rc = rexm_init(&fn->re, REXM_GLOB | (flags & FNM_ICASE ? REXM_ICASE : 0), nullptr);
  if (!rc) rc = fnm_compile(&fn->re, patt, '^');
  if (rc) rexm_free(&fn->re);
  return rc;
}

int fnm_match(const fnm* fn, const char* str, int* err) {
  if (!fn) {
    ERR_LOG(ERR_ERR, kParam, "`fnm' is NUL.");
    if (err) *err = kParam;
    return 0;
  }
  return rexm_match(&fn->re, str, err);
}

int fnm_free(fnm* fn) {
  if (!fn) {
    ERR_LOG(ERR_ERR, kParam, "`fnm' is NUL.");
    return kParam;
  }
  rexm_free(&fn->re);
  return fnm_clear(fn);
}

int fnm_clear(fnm* fn) {
  if (!fn) {
    ERR_LOG(ERR_ERR, kParam, "`fnm' is NUL.");
    return kParam;
  }
  memset(fn, 0, sizeof *fn);
  return 0;
}
