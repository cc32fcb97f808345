#include "c/futil.h"

#include <windows.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "c/osu.h"
#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;

struct HeapText {
  char* p;
  ~HeapText() { free(p); }
};

}  // namespace

int mox_path_exists(const char* path) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return 0;
  }
  return _access(path, 0) == 0;
}

int mox_is_dir(const char* path) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return 0;
  }
  HeapText p{mox_strndup(path, (unsigned)strlen(path))};
  if (!p.p) return 0;
  // a root keeps its separator: "C:\" and "\" are directories, "C:" is the drive's current one
  size_t len = strlen(p.p);
  while (len > 1 && mox_is_sep(p.p[len - 1]) && p.p[len - 2] != ':') p.p[--len] = 0;
  struct _stat st;
  if (_stat(p.p, &st) != 0) {
    ERR_LOG(ERR_ERR, 9001, "_stat() failed - path: `%s'.", p.p);
    return 0;
  }
  return (st.st_mode & _S_IFDIR) != 0;
}

int mox_dir_is_empty(const char* path) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return 0;
  }
  size_t n = strlen(path) + 5;
  HeapText ipath{(char*)malloc(n)};
  if (!ipath.p) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)n);
    return 0;
  }
  mox_path_add_sep(path, ipath.p, (unsigned)n);
  mox_strcat(ipath.p, (unsigned)n, "*.*");
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(ipath.p, &fd);
  if (h == INVALID_HANDLE_VALUE) {
    ERR_LOG(ERR_ERR, (int)GetLastError(), "FindFirstFile() failed - ipath: `%s'.", ipath.p);
    return 0;
  }
  int empty = 1;
  for (;;) {
    const char* f = fd.cFileName;
    if (strcmp(f, ".") != 0 && strcmp(f, "..") != 0) {
      empty = 0;
      break;
    }
    if (!FindNextFileA(h, &fd)) {
      DWORD code = GetLastError();
      if (code != ERROR_NO_MORE_FILES) {
        ERR_LOG(ERR_ERR, (int)code, "FindNextFile() failed - ipath: `%s'.", ipath.p);
        empty = 0;
      }
      break;
    }
  }
  if (!FindClose(h)) {
    ERR_LOG(ERR_ERR, (int)GetLastError(), "FindClose() failed - h: %p, ipath: `%s'.", (void*)h, ipath.p);
    return 0;
  }
  return empty;
}

int mox_is_readonly(const char* path) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return 0;
  }
  DWORD a = GetFileAttributesA(path);
  if (a == INVALID_FILE_ATTRIBUTES) {
    ERR_LOG(ERR_ERR, (int)GetLastError(), "GetFileAttributes() failed - path: `%s'.", path);
    return 0;
  }
  return (a & FILE_ATTRIBUTE_READONLY) != 0;
}

int mox_full_path(const char* path, char* rpath, unsigned rpathsz, char** fname) {
  if (fname) *fname = nullptr;
  if (!rpath || !rpathsz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rpath: %p, rpathsz: %u.", (void*)rpath, rpathsz);
    return kParam;
  }
  if (!path) path = "";
  char* part = nullptr;
  DWORD rlen = GetFullPathNameA(path, rpathsz, rpath, &part);
  if (!rlen) {
    int code = (int)GetLastError();
    ERR_LOG(ERR_ERR, code, "GetFullPathName() failed - path: `%s'.", path);
    *rpath = 0;
    return code ? code : 9001;
  }
  if (rlen >= rpathsz) {
    // rlen is then the size the full path needs
    ERR_LOG(ERR_ERR, kCut, "`rpathsz' too small [%u] - rlen: %u.", rpathsz, (unsigned)rlen);
    *rpath = 0;
    return kCut;
  }
  if (fname) *fname = part;
  return 0;
}

int mox_open_file(const char* fname, unsigned flags, void** handle, char* errmsg, unsigned errmsgsz) {
  if (errmsg && errmsgsz) *errmsg = 0;
  if (!handle) {
    ERR_LOG(ERR_ERR, kParam, "`h' is NUL.");
    return kParam;
  }
  *handle = INVALID_HANDLE_VALUE;
  if (!fname || !*fname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `fname' - `%s'.", mox_nul(fname));
    return kParam;
  }
  bool append = (flags & MOX_OPEN_APPEND) != 0;
  SECURITY_ATTRIBUTES sa;
  sa.nLength = sizeof sa;
  sa.lpSecurityDescriptor = nullptr;
  sa.bInheritHandle = TRUE;
  HANDLE h = CreateFileA(fname, append ? FILE_APPEND_DATA : FILE_WRITE_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         &sa, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const char* what = nullptr;
  int code = 0;
  if (h == INVALID_HANDLE_VALUE) {
    code = (int)GetLastError();
    what = "Open file failed: %s [%.4096s]";
  } else if (append && SetFilePointer(h, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
             GetLastError() != NO_ERROR) {
    code = (int)GetLastError();
    what = "Move file pointer failed: %s [%.4096s]";
    CloseHandle(h);
  }
  if (!what) {
    *handle = h;
    return 0;
  }
  char sys[512];
  mox_sys_errmsg(code, sys, sizeof sys);
  ERR_LOG(ERR_ERR, code, what, sys, fname);
  if (errmsg && mox_snprintf(errmsg, errmsgsz, what, sys, fname) == kCut)
    ERR_LOG(ERR_ERR, kCut, "mox_snprintf() failed - errmsgsz: %u.", errmsgsz);
  return code ? code : 9001;
}
