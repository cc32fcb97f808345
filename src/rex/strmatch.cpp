// Plain string patterns: the wildcard compiler outside glob mode, so that '?' is
// optional, with '\' as the escape character.
#include "rex/strmatch.h"

#include <cstring>

#include "err/err.h"
#include "rex/rexmatch.h"

namespace {
constexpr int kParam = 9003;
}

int strm_init(strm* sm, const char* patt, int flags) {
  if (!sm) {
    ERR_LOG(ERR_ERR, kParam, "`strm' is NUL.");
    return kParam;
  }
  if (!patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - strm: %p, patt: `%s'.", (void*)sm, "NUL");
    return kParam;
  }
  sm->flags = flags;
  return rexm_init_wild(&sm->re, flags & STRM_ICASE ? REXM_ICASE : 0, nullptr, patt, '\\', 0);
}

int strm_match(const strm* sm, const char* str, int* err) {
  if (!sm) {
    ERR_LOG(ERR_ERR, kParam, "`strm' is NUL.");
    if (err) *err = kParam;
    return 0;
  }
  return rexm_match(&sm->re, str, err);
}

int strm_free(strm* sm) {
  if (!sm) {
    ERR_LOG(ERR_ERR, kParam, "`strm' is NUL.");
    return kParam;
  }
  rexm_free(&sm->re);
  return strm_clear(sm);
}

int strm_clear(strm* sm) {
  if (!sm) {
    ERR_LOG(ERR_ERR, kParam, "`strm' is NUL.");
    return kParam;
  }
  memset(sm, 0, sizeof *sm);
  return 0;
}
