#include "c/osu.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "c/path.h"
#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kSys = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;
constexpr int kNotFound = 9006;

bool bad_dest(const void* dest, unsigned size) {
  if (dest && size) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, size: %u.", dest, size);
  return true;
}

// An environment variable on the heap (free() it), or nullptr when it is not set.
char* env_dup(const char* name) {
  DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
  if (!n) return nullptr;
  char* v = (char*)malloc(n);
  if (!v) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)n);
    return nullptr;
  }
  DWORD m = GetEnvironmentVariableA(name, v, n);
  if (!m || m >= n) {
    free(v);
    return nullptr;
  }
  return v;
}

struct HeapText {
  char* p;
  ~HeapText() { free(p); }
};

}  // namespace

int mox_user_name(char* name, unsigned namesz) {
  if (bad_dest(name, namesz)) return kParam;
  DWORD n = namesz;
  if (!GetUserNameA(name, &n)) {
    int code = (int)GetLastError();
    ERR_LOG(ERR_ERR, code, "GetUserName() failed - inamesz: %lu.", (unsigned long)namesz);
    *name = 0;
    return code;
  }
  return 0;
}

int mox_user_profile_dir(char* dir, unsigned dirsz) {
  if (bad_dest(dir, dirsz)) return kParam;
  *dir = 0;
  HeapText v{env_dup("USERPROFILE")};
  if (!v.p) {
    ERR_LOG(ERR_ERR, kSys, "`USERPROFILE' environment variable not set.");
    return kSys;
  }
  int rc = 0;
  mox_strcpy(dir, dirsz, v.p, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, len: %u.", dirsz, (unsigned)strlen(v.p));
  return rc;
}

int mox_app_data_dir(const char* subdir, char* dir, unsigned dirsz, int create) {
  if (bad_dest(dir, dirsz)) return kParam;
  *dir = 0;
  HeapText base{env_dup("LOCALAPPDATA")};
  if (!base.p) {
    ERR_LOG(ERR_NOTICE, kNotFound, "`LOCALAPPDATA' environment variable not set.");
    base.p = env_dup("APPDATA");
    if (!base.p) ERR_LOG(ERR_NOTICE, kNotFound, "`APPDATA' environment variable not set.");
  }
  if (!base.p) {
    int rc = mox_user_profile_dir(dir, dirsz);
    if (rc) return rc;
    base.p = mox_strndup(dir, dirsz);
    if (!base.p) return kNoMem;
  }
  HeapText joined{nullptr};
  const char* pdir = base.p;
  if (subdir && *subdir) {
    size_t n = strlen(base.p) + 1 + strlen(subdir) + 1;
    joined.p = (char*)malloc(n);
    if (!joined.p) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)n);
      return kNoMem;
    }
    mox_snprintf(joined.p, (unsigned)n, "%s\\%s", base.p, subdir);
    pdir = joined.p;
  }
  int rc = 0;
  mox_strcpy(dir, dirsz, pdir, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, pdir: %u `%s'.", dirsz, (unsigned)strlen(pdir), pdir);
    return rc;
  }
  if (create && !CreateDirectoryA(dir, nullptr)) {
    int code = (int)GetLastError();
    if (code != ERROR_ALREADY_EXISTS) {
      ERR_LOG(ERR_ERR, code, "CreateDirectory() failed - dir: `%s'.", dir);
      return code;
    }
  }
  return 0;
}

char* mox_sys_errmsg(int code, char* errmsg, unsigned errmsgsz) {
  if (bad_dest(errmsg, errmsgsz)) return errmsg;
  char text[1024];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, (DWORD)code,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
  while (n && (text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
  if (!n) {
    mox_snprintf(errmsg, errmsgsz, "System error [%d].", code);
    return errmsg;
  }
  mox_strncpy(errmsg, errmsgsz, text, n);
  return errmsg;
}

int mox_has_recycle_bin(const char* path) {
  if (!path || !*path) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `path' - `%s'.", mox_nul(path));
    return 0;
  }
  const char* rest = path;
  const char* root = nullptr;
  unsigned len = 0;
  mox_path_root(&rest, &root, &len);
  char drive[MAX_PATH];
  int rc = 0;
  mox_strncpy(drive, sizeof drive, root ? root : path, root ? len : (unsigned)strlen(path), &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strncpy() failed - size: %u, len: %u.", (unsigned)sizeof drive, len);
    return 0;
  }
  SHQUERYRBINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  return SUCCEEDED(SHQueryRecycleBinA(drive, &info)) ? 1 : 0;
}
