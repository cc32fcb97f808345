#include "c/path.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kCut = 9005;

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline char lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

bool same_nocase(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

inline bool is_drive(const char* p) {
  return ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) && p[1] == ':';
}

// Past one component and, when there is one, its separator.
const char* skip_component(const char* p) {
  while (*p && !mox_is_sep(*p)) ++p;
  return *p ? p + 1 : p;
}

// The end of the root that begins at p (p itself when there is none).
const char* root_end(const char* p) {
  bool two = mox_is_sep(p[0]) && mox_is_sep(p[1]);
  if (two && p[2] == '?' && mox_is_sep(p[3])) {
    const char* q = p + 4;
    if (same_nocase(q, "unc", 3) && mox_is_sep(q[3])) return skip_component(skip_component(q + 4));
    if (is_drive(q)) return mox_is_sep(q[2]) ? q + 3 : q + 2;
    return skip_component(q);
  }
  if (two && p[2] == '.' && mox_is_sep(p[3])) return skip_component(p + 4);
  if (two) return skip_component(skip_component(p + 2));
  if (is_drive(p)) return mox_is_sep(p[2]) ? p + 3 : p + 2;
  const char* q = p;
  while (*q && !mox_is_sep(*q)) ++q;
  // a bare name has no root: it is all file name
  return *q ? q + 1 : p;
}

struct Parts {
  const char* dir;
  unsigned dirlen;
  const char* fname;
  unsigned fnamelen;  // without the extension
  const char* ext;
};

Parts split(const char* path) {
  const char* rest = root_end(path);
  const char* last = nullptr;
  for (const char* q = rest; *q; ++q)
    if (mox_is_sep(*q)) last = q;
  const char* name = last ? last + 1 : rest;
  const char* dot = name[0] == '.' ? nullptr : strrchr(name, '.');
  unsigned namelen = (unsigned)strlen(name);
  return Parts{path, (unsigned)(name - path), name, dot ? (unsigned)(dot - name) : namelen, dot};
}

// Hands back the root (or the next component) at *pathptr and moves past it.
int walk(const char** pathptr, const char** ptr, unsigned* len, bool root) {
  if (!pathptr || !*pathptr || !ptr || !len) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - pathptr[%p]: %p, ptr: %p, len: %p.", (void*)pathptr,
            pathptr ? (const void*)*pathptr : nullptr, (void*)ptr, (void*)len);
    return kParam;
  }
  const char* p = *pathptr;
  const char* e;
  if (root) {
    e = root_end(p);
  } else {
    while (mox_is_sep(*p)) ++p;
    e = p;
    while (*e && !mox_is_sep(*e)) ++e;
  }
  *ptr = e == p ? nullptr : p;
  *len = (unsigned)(e - p);
  *pathptr = e;
  return 0;
}

// A whole part copied and its cut logged.
int copy_all(char* buf, unsigned size, const char* src) {
  int err = 0;
  mox_strcpy(buf, size, src, &err);
  if (err == kCut) ERR_LOG(ERR_ERR, err, "mox_strcpy() failed - size: %u, len: %u.", size, (unsigned)strlen(src));
  return err;
}

// The parts asked for, copied; the first failure is the result. keep_ext leaves the
// extension in the name.
int copy_parts(const char* path, char* dir, unsigned dirsz, char* fname, unsigned fnamesz, bool keep_ext, char* ext,
               unsigned extsz) {
  if (dir && dirsz) *dir = 0;
  if (fname && fnamesz) *fname = 0;
  if (ext && extsz) *ext = 0;
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return kParam;
  }
  Parts s = split(path);
  int rc = 0, err = 0;
  auto keep = [&rc](int e) {
    if (e && !rc) rc = e;
  };
  if (dir) {
    mox_strncpy(dir, dirsz, s.dir, s.dirlen, &err);
    if (err == kCut) ERR_LOG(ERR_ERR, err, "mox_strncpy() failed - size: %u, dirlen: %u.", dirsz, s.dirlen);
    keep(err);
  }
  if (fname && keep_ext) {
    keep(copy_all(fname, fnamesz, s.fname));
  } else if (fname) {
    mox_strncpy(fname, fnamesz, s.fname, s.fnamelen, &err);
    if (err == kCut) ERR_LOG(ERR_ERR, err, "mox_strncpy() failed - size: %u, fnamelen: %u.", fnamesz, s.fnamelen);
    keep(err);
  }
  if (ext) keep(copy_all(ext, extsz, s.ext));
  return rc;
}

bool bad_buf(const char* buf, unsigned bufsz, int* err) {
  if (buf && bufsz) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, size: %u.", (const void*)buf, bufsz);
  set_err(err, kParam);
  return true;
}

}  // namespace

int mox_path_root(const char** pathptr, const char** ptr, unsigned* len) { return walk(pathptr, ptr, len, true); }

int mox_path_next(const char** pathptr, const char** ptr, unsigned* len) { return walk(pathptr, ptr, len, false); }

int mox_path_split(const char* path, const char** dir, unsigned* dirlen, const char** fname, unsigned* fnamelen,
                   const char** ext) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return kParam;
  }
  Parts s = split(path);
  if (dir) *dir = s.dir;
  if (dirlen) *dirlen = s.dirlen;
  if (fname) *fname = s.fname;
  if (fnamelen) *fnamelen = s.fnamelen;
  if (ext) *ext = s.ext;
  return 0;
}

int mox_split_dir_fname_ext(const char* path, char* dir, unsigned dirsz, char* fname, unsigned fnamesz, char* ext,
                            unsigned extsz) {
  return copy_parts(path, dir, dirsz, fname, fnamesz, false, ext, extsz);
}

int mox_split_dir_fname(const char* path, char* dir, unsigned dirsz, char* fname, unsigned fnamesz) {
  return copy_parts(path, dir, dirsz, fname, fnamesz, true, nullptr, 0);
}

const char* mox_path_ext(const char* path) {
  if (!path) {
    ERR_LOG(ERR_ERR, kParam, "`path' is NUL.");
    return nullptr;
  }
  return split(path).ext;
}

int mox_same_root(const char* path1, const char* path2) {
  if (!path1 || !*path1 || !path2 || !*path2) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - path1: `%s', path2: `%s'.", mox_nul(path1), mox_nul(path2));
    return 0;
  }
  size_t n1 = root_end(path1) - path1, n2 = root_end(path2) - path2;
  if (n1 != n2) return 0;
  // "C:\" and "c:/" name the same root
  for (size_t i = 0; i < n1; ++i) {
    char a = lower(path1[i]), b = lower(path2[i]);
    if (a != b && !(mox_is_sep(a) && mox_is_sep(b))) return 0;
  }
  return 1;
}

char* mox_path_add_sep(const char* path, char* buf, unsigned bufsz, int* err) {
  if (bad_buf(buf, bufsz, err)) return buf;
  set_err(err, 0);
  if (!path) path = "";
  unsigned len = (unsigned)strlen(path);
  // the limit holds whether or not a separator is added
  if (len && len + 1 >= bufsz) {
    mox_strcpy(buf, bufsz, path);
    ERR_LOG(ERR_ERR, kCut, "`path' too small [%u] - len: %u, path: `%.50s'.", bufsz, len, path);
    set_err(err, kCut);
    return buf;
  }
  memmove(buf, path, len + 1);
  char last = len ? path[len - 1] : 0;
  if (len && last != '\\' && last != '/' && last != ':') {
    buf[len] = '\\';
    buf[len + 1] = 0;
  }
  return buf;
}

char* mox_path_del_sep(const char* path, char* buf, unsigned bufsz, int* err) {
  if (bad_buf(buf, bufsz, err)) return buf;
  if (!path) path = "";
  unsigned len = (unsigned)strlen(path);
  if (len >= 2 && mox_is_sep(path[len - 1]) && path[len - 2] != ':') --len;
  int rc = 0;
  mox_strncpy(buf, bufsz, path, len, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strncpy() failed - size: %u, len: %u.", bufsz, len);
  set_err(err, rc);
  return buf;
}

char* mox_quote_path(const char* path, char* buf, unsigned bufsz, int* err) {
  if (!buf || !bufsz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - path: %p, pathsz: %u.", (void*)buf, bufsz);
    set_err(err, kParam);
    return buf;
  }
  if (!path) path = "";
  int rc = 0;
  if (strchr(path, ' '))
    rc = mox_snprintf(buf, bufsz, "\"%s\"", path);
  else
    mox_strcpy(buf, bufsz, path, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u, len: %u.", bufsz, (unsigned)strlen(path));
    *buf = 0;
  }
  set_err(err, rc);
  return buf;
}
