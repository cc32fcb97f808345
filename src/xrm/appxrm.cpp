// The windowed program's resources: built-in defaults, configuration file and
// user file into the main database, the user's own settings mirrored into the
// user database and written back to the user file.
#include "xrm/appxrm.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "c/futil.h"
#include "c/osu.h"
#include "c/str.h"
#include "err/err.h"
#include "xrm/xrm_load.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kPathSize = 4096;

// cfg when given (placed in dir unless it names a directory itself), else dir + fmt's name.
char* file_name(const char* given, const char* dir, const char* fmt, const char* app) {
  char path[kPathSize];
  char sepdir[kPathSize];
  int rc = 0;
  mox_path_add_sep(dir, sepdir, sizeof sepdir, &rc);
  if (!rc) {
    if (given && *given)
      rc = strpbrk(given, "\\/:") ? mox_snprintf(path, sizeof path, "%s", given)
                                  : mox_snprintf(path, sizeof path, "%s%s", sepdir, given);
    else
      rc = mox_snprintf(path, sizeof path, fmt, sepdir, app);
  }
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", (unsigned)sizeof path);
    return nullptr;
  }
  return mox_strndup(path, (unsigned)strlen(path));
}

// Removes a temporary file at the end of a scope unless it was kept.
struct TempFile {
  char name[kPathSize];
  bool keep = false;
  ~TempFile() {
    if (!keep && *name) DeleteFileA(name);
  }
};

}  // namespace

int appxrm_init(appxrm* a, const char* app, const char* com, const char* usrname, void* w1, const void* data,
                unsigned datasize, const char* cfgdir, const char* cfg, const char* usrcfg) {
  if (!a) {
    ERR_LOG(ERR_ERR, kParam, "`appxrm' is NUL.");
    return kParam;
  }
  appxrm_free(a);
  if (!app || !*app || !com || !*com) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - appxrm: %p, app: `%s', com: `%s'.", (void*)a, mox_nul(app),
            mox_nul(com));
    return kParam;
  }
  int rc = xrm_init(&a->mgr, app, com, usrname, w1, nullptr);
  if (rc) return rc;
  char dir[kPathSize];
  if (cfgdir && *cfgdir) {
    mox_strcpy(dir, sizeof dir, cfgdir, &rc);
    if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, cfgdir: `%s'.", (unsigned)sizeof dir, cfgdir);
  } else {
    rc = mox_app_data_dir(com, dir, sizeof dir, 1);
  }
  if (rc) return rc;
  a->cfg = file_name(cfg, dir, "%s%s.cfg", app);
  a->usrcfg = file_name(usrcfg, dir, "%s_%s.cfg", app);
  if (!a->cfg || !a->usrcfg) return 9004;
  ERR_LOG(ERR_DBG, 0, "Cfg: `%s'.", a->cfg);
  ERR_LOG(ERR_DBG, 0, "Usrcfg: `%s'.", a->usrcfg);
  a->maindb = xrm_db_new(&a->mgr);
  a->usrdb = a->maindb ? xrm_db_new(&a->mgr) : nullptr;
  if (!a->usrdb) return 9004;
  xrml l;
  xrml_init(&l);
  rc = xrml_load_data(&l, a->maindb, data, datasize);
  if (!rc && mox_path_exists(a->cfg)) xrml_load_file(&l, a->maindb, a->cfg);  // errors logged, not fatal
  if (!rc) rc = xrm_add_cb(a->maindb, XRM_EV_SET, xrm_cb_mirror, a->usrdb, nullptr, 0);
  if (!rc && mox_path_exists(a->usrcfg)) xrml_load_file(&l, a->maindb, a->usrcfg);
  xrml_free(&l);
  return rc;
}

int appxrm_save(appxrm* a) {
  if (!a || !a->usrdb || !a->usrcfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - appxrm: %p.", (void*)a);
    return kParam;
  }
  // The new file is written beside the old one and replaces it only when complete,
  // so a failed write (full disk, crash) keeps the previous settings.
  TempFile tmp;
  int rc = mox_snprintf(tmp.name, sizeof tmp.name, "%s.tmp", a->usrcfg);
  if (rc) {
    *tmp.name = 0;
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", (unsigned)sizeof tmp.name);
    return rc;
  }
  rc = xrm_db_save(a->usrdb, tmp.name);
  if (rc && rc != 9005) return rc;  // 9005: only over-long lines left out
  const bool exists = mox_path_exists(a->usrcfg);
  if (exists && !SetFileAttributesA(a->usrcfg, FILE_ATTRIBUTE_NORMAL)) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e, "SetFileAttributes() failed - file: `%s'.", a->usrcfg);
    return e ? e : 9001;
  }
  if (!MoveFileExA(tmp.name, a->usrcfg, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e, "MoveFileEx() failed - from: `%s', to: `%s'.", tmp.name, a->usrcfg);
    if (exists) SetFileAttributesA(a->usrcfg, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    return e ? e : 9001;
  }
  tmp.keep = true;
  if (!SetFileAttributesA(a->usrcfg, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE)) {
    const int e = (int)GetLastError();
    ERR_LOG(ERR_ERR, e, "SetFileAttributes() failed - file: `%s'.", a->usrcfg);
    return e ? e : 9001;
  }
  return rc;
}

void appxrm_free(appxrm* a) {
  if (!a) return;
  xrm_free(&a->mgr);
  free(a->cfg);
  free(a->usrcfg);
  memset(a, 0, sizeof *a);
}
