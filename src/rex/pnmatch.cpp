// Path patterns: glob mode with '\' and '/' as separators, compiled in the path form of
// the wildcard compiler; the directory form first makes sure the pattern ends in one.
#include "rex/pnmatch.h"

#include <cstdlib>
#include <cstring>

#include "c/path.h"
#include "err/err.h"
#include "rex/rexfold.h"
#include "rex/rexmatch.h"

namespace {
constexpr int kParam = 9003;
constexpr unsigned kPathSize = 4096;
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
  pn->flags = flags;
  char buf[kPathSize];
  if (flags & PNM_DIR) {
    int rc = 0;
    mox_path_add_sep(patt, buf, sizeof buf, &rc);
    if (rc) {
      rexm_free(&pn->re);
      return rc;
    }
    patt = buf;
  }
  char* folded = nullptr;
  if (flags & PNM_ICASE) {
    int rc = rexm_fold_patt(patt, &folded);
    if (rc) {
      rexm_free(&pn->re);
      return rc;
    }
  }
  int rc = rexm_init_wild(&pn->re, REXM_GLOB | (flags & PNM_ICASE ? REXM_ICASE : 0), "\\/", folded ? folded : patt,
                          '^', REXM_WILD_PATH | (flags & PNM_DIR ? REXM_WILD_DIR : 0));
  free(folded);
  return rc;
}

int pnm_match(const pnm* pn, const char* str, int* err) {
  if (!pn) {
    ERR_LOG(ERR_ERR, kParam, "`pnm' is NUL.");
    if (err) *err = kParam;
    return 0;
  }
  // the byte-wise match as it is for ASCII; other text is folded as the pattern was
  if ((pn->flags & PNM_ICASE) && str && !rexm_is_ascii(str)) return rexm_match_fold(&pn->re, str, err);
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
