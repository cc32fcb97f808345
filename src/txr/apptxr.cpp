#include "txr/apptxr.h"

#include <windows.h>

#include <cstdlib>

#include "c/osu.h"
#include "c/path.h"
#include "c/str.h"
#include "err/err.h"
#include "txr/txr_load.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kPathSize = 4096;

inline bool is_empty(const char* s) { return !s || !*s; }

bool has_dir(const char* path) {
  unsigned dirlen = 0;
  return mox_path_split(path, nullptr, &dirlen, nullptr, nullptr, nullptr) == 0 && dirlen > 0;
}

bool is_file(const char* path) {
  DWORD attr = GetFileAttributesA(path);
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int apptxr_fname(const char* app, const char* com, const char* dir, const char* fname, char* buf, unsigned bufsz) {
  if (is_empty(app) || is_empty(com) || !buf || !bufsz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - app: `%s', com: `%s', buf: %p, bufsz: %u.", mox_nul(app),
            mox_nul(com), (void*)buf, bufsz);
    return kParam;
  }
  *buf = 0;
  int rc = 0;
  if (!is_empty(fname) && has_dir(fname)) {
    mox_strcpy(buf, bufsz, fname, &rc);
    if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, fname: `%s'.", bufsz, fname);
    return rc;
  }
  char d[kPathSize];
  if (is_empty(dir)) {
    rc = mox_app_data_dir(com, d, sizeof d, 0);  // logs its own failures
    if (rc) return rc;
    dir = d;
  }
  char ds[kPathSize];
  mox_path_add_sep(dir, ds, sizeof ds, &rc);  // logs a cut
  if (rc) return rc;
  rc = is_empty(fname) ? mox_snprintf(buf, bufsz, "%s%s.txr", ds, app) : mox_snprintf(buf, bufsz, "%s%s", ds, fname);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", bufsz);
  return rc;
}

int apptxr_load(txr* tx, const char* lang, const char* app, const char* com, const void* data, unsigned datasize,
                const char* dir, const char* fname) {
  if (!tx || is_empty(app) || is_empty(com)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - txr: %p, app: `%s', com: `%s'.", (void*)tx, mox_nul(app),
            mox_nul(com));
    return kParam;
  }
  int rc = txr_init(tx, lang);
  if (rc) return rc;
  char path[kPathSize];
  rc = apptxr_fname(app, com, dir, fname, path, sizeof path);
  if (rc) return rc;
  ERR_LOG(ERR_DBG, 0, "Txr: `%s'.", path);

  // The loader's record is large; it lives for one load.
  txrl* tl = static_cast<txrl*>(malloc(sizeof(txrl)));
  if (!tl) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(txrl));
    return 9004;
  }
  txrl_clear(tl);
  if (data) rc = txrl_load_data(tl, tx, data, datasize);
  // the user's translations come after the built-in ones, so they win ties
  if (!rc && is_file(path)) txrl_load_file(tl, tx, path);
  free(tl);
  return rc;
}
