// File-name patterns compiled in glob mode, without separators.
#include "rex/fnmatch.h"

#include <cstdlib>
#include <cstring>

#include "err/err.h"
#include "rex/rexfold.h"
#include "rex/rexmatch.h"

namespace {
constexpr int kParam = 9003;
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
  fn->flags = flags;
  char* folded = nullptr;
  if (flags & FNM_ICASE) {
    int rc = rexm_fold_patt(patt, &folded);
    if (rc) {
      rexm_free(&fn->re);
      return rc;
    }
  }
  int rc = rexm_init_wild(&fn->re, REXM_GLOB | (flags & FNM_ICASE ? REXM_ICASE : 0), nullptr, folded ? folded : patt,
                          '^', 0);
  free(folded);
  return rc;
}

int fnm_match(const fnm* fn, const char* str, int* err) {
  if (!fn) {
    ERR_LOG(ERR_ERR, kParam, "`fnm' is NUL.");
    if (err) *err = kParam;
    return 0;
  }
  // the byte-wise match as it is for ASCII; other text is folded as the pattern was
  if ((fn->flags & FNM_ICASE) && str && !rexm_is_ascii(str)) return rexm_match_fold(&fn->re, str, err);
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
