#include "quarn/quarnlib.h"

#include <cstdlib>
#include <cstring>

#include "c/futil.h"
#include "c/osu.h"
#include "c/str.h"
#include "err/err.h"
#include "ex/ex.h"
#include "fio/intf.h"

namespace {

constexpr unsigned kPathSize = 4096;
constexpr unsigned kCmdlnSize = 32768;
constexpr unsigned kErrmsgSize = kPathSize + 1024;
constexpr DWORD kPollMs = 500;
constexpr int kTerminated = 9017;

// Buffers of one directory level. They live on the heap, one block per depth reached
// and reused by every directory at that depth, so the walk's stack frames stay small
// (deep trees do not exhaust a thread's stack) and nothing is allocated per entry.
struct level {
  level* next;               // block of the level below, once reached
  char findpath[kPathSize];  // the listing path
  char dir[kPathSize];       // directory part handed to a subdirectory
  char rdir[kPathSize];      // its full path
  qnd rec;                   // reused for every entry of the listing
  qnd self;                  // the directory's own record, held back in post-order
  int selfmatch;
};

struct walk {
  qn* q;
  const ex* e;
  quarn_cb cb;
  int reportall;
  const diserr* de;
  void* usrdata;
  level* top;
  char errtext[kPathSize];  // an error entry is reported at once, so one buffer serves all
};

struct handle_guard {
  HANDLE h;
  explicit handle_guard(HANDLE handle) : h(handle) {}
  handle_guard(const handle_guard&) = delete;
  handle_guard& operator=(const handle_guard&) = delete;
  ~handle_guard() {
    if (h && !CloseHandle(h)) ERR_LOG(ERR_ERR, (int)GetLastError(), "CloseHandle() failed [%p].", h);
  }
};

int level_get(level** slot, level** out) {
  if (!*slot) {
    auto* l = static_cast<level*>(malloc(sizeof(level)));
    if (!l) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(level));
      return 9004;
    }
    l->next = nullptr;
    *slot = l;
  }
  *out = *slot;
  return 0;
}

void levels_free(level* l) {
  while (l) {
    level* next = l->next;
    free(l);
    l = next;
  }
}

bool suppressed(const diserr* de, DWORD code) {
  if (!de) return false;
  const int c = (int)code;
  switch (de->op) {
    case INTF_EQ: return c == de->code;
    case INTF_LT: return c < de->code;
    case INTF_GT: return c > de->code;
    default: return false;
  }
}

bool is_dot(const char* s) { return s[0] == '.' && !s[1]; }
bool is_dotdot(const char* s) { return s[0] == '.' && s[1] == '.' && !s[2]; }

int decide(walk* w, qnd* rec, int* match) {
  *match = 1;
  if (w->e) {
    int err = 0;  // an evaluation error means no match; the walk goes on
    *match = ex_eval(w->e, rec, &err) ? 1 : 0;
  }
  if (*match && w->q->filter) return quarn_filter_run(w->q, rec, match);
  return 0;
}

int report(walk* w, const qnd* rec, int match) { return w->cb(rec, match, ++w->q->count, w->usrdata); }

int list(walk* w, level* l, const char* dir, const char* rdir, const char* patt, bool self);

// Texts of the walk's own failures; system codes get the system's message.
const char* own_errtext(int code) {
  switch (code) {
    case 9004: return "Out of memory.";
    case 9005: return "Path too long.";
    default: return nullptr;
  }
}

// A directory the walk cannot enter becomes an error entry, as one that cannot be
// listed, so its siblings and the next paths are still searched.
int report_error(walk* w, qnd* rec, const char* dir, const char* rdir, const char* patt, int code) {
  if (suppressed(w->de, (DWORD)code)) return 0;
  qnd_clear(rec);
  rec->dir = dir;
  rec->rdir = rdir ? rdir : dir;  // a full path that could not be taken: the path as built
  rec->name = patt;
  rec->depth = 0;
  rec->errcode = (unsigned)code;
  const char* own = own_errtext(code);
  rec->errtext = own ? own : mox_sys_errmsg(code, w->errtext, kPathSize);
  return report(w, rec, 1);
}

// The full path of a directory with a separator added. The system's path limit is no
// fault of the walk, so it is returned without a record; the caller reports the entry.
int full_dir(const char* path, char* rpath) {
  DWORD n = GetFullPathNameA(path, kPathSize, rpath, nullptr);
  if (!n) {
    *rpath = 0;
    const DWORD code = GetLastError();
    return code ? (int)code : 9001;
  }
  if (n >= kPathSize) {
    ERR_LOG(ERR_ERR, 9005, "`rpathsz' too small [%u] - rlen: %u.", kPathSize, (unsigned)n);
    *rpath = 0;
    return 9005;
  }
  int rc = 0;
  mox_path_add_sep(rpath, rpath, kPathSize, &rc);
  return rc;
}

// Lists the subdirectory `name' of dir one level down.
int descend(walk* w, level* l, const char* dir, const char* name) {
  int rc = mox_snprintf(l->dir, kPathSize, "%s%s\\", dir, name);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kPathSize);
    qnd erec;
    return report_error(w, &erec, dir, nullptr, name, rc);
  }
  // the full path of the directory without its separator, taken in place
  size_t len = strlen(l->dir);
  l->dir[len - 1] = 0;
  rc = full_dir(l->dir, l->rdir);
  l->dir[len - 1] = '\\';
  level* child = nullptr;
  if (!rc) rc = level_get(&l->next, &child);
  if (rc) {
    qnd erec;
    return report_error(w, &erec, l->dir, nullptr, "*.*", rc);
  }
  ++w->q->depth;
  rc = list(w, child, l->dir, l->rdir, "*.*", false);
  --w->q->depth;
  return rc;
}

// Lists dir with pattern patt; with self, the "." entry stands for dir itself.
int list(walk* w, level* l, const char* dir, const char* rdir, const char* patt, bool self) {
  qn* q = w->q;
  qnd* rec = &l->rec;
  qnd_clear(rec);
  int rc = mox_snprintf(l->findpath, kPathSize, "%s%s", dir, patt);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kPathSize);
    return report_error(w, rec, dir, rdir, patt, rc);
  }
  rec->dir = dir;
  rec->rdir = rdir;
  HANDLE h = FindFirstFileA(l->findpath, &rec->fd);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (suppressed(w->de, code)) return 0;
    memset(&rec->fd, 0, sizeof rec->fd);
    rec->name = patt;
    rec->errcode = code;
    rec->errtext = mox_sys_errmsg((int)code, w->errtext, kPathSize);
    return report(w, rec, 1);
  }

  bool held = false;
  for (;;) {
    rec->errcode = 0;
    rec->errtext = nullptr;
    const char* fname = rec->fd.cFileName;
    int match = 0;
    if (is_dot(fname)) {
      if (self) {
        rec->name = nullptr;
        rec->depth = q->depth;
        if ((rc = decide(w, rec, &match))) break;
        if (!match && !w->reportall) {
          ++q->count;
        } else if (!q->postorder) {
          if ((rc = report(w, rec, match))) break;
        } else {
          l->self = *rec;
          l->selfmatch = match;
          held = true;
        }
      }
    } else if (!is_dotdot(fname)) {
      rec->name = fname;
      rec->depth = q->depth + 1;
      if ((rc = decide(w, rec, &match))) break;
      const bool shown = match || w->reportall;
      if (!shown) {
        ++q->count;
      } else if (!q->postorder) {
        if ((rc = report(w, rec, match))) break;
      }
      // descended whether it matched or not
      if ((rec->fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (rc = descend(w, l, dir, fname))) break;
      if (shown && q->postorder && (rc = report(w, rec, match))) break;
    }
    if (!FindNextFileA(h, &rec->fd)) {
      const DWORD code = GetLastError();
      if (code == ERROR_NO_MORE_FILES) {
        if (held) rc = report(w, &l->self, l->selfmatch);
      } else {
        rc = (int)code;
        ERR_LOG(ERR_ERR, rc, "FindNextFile() failed - findpath: `%s'.", l->findpath);
      }
      break;
    }
  }
  if (!FindClose(h)) {
    const int code = (int)GetLastError();
    ERR_LOG(ERR_ERR, code, "FindClose() failed - h: %p, findpath: `%s'.", h, l->findpath);
    if (!rc) rc = code;
  }
  return rc;
}

int open_files(qn* q, const char* outfile, const char* errfile) {
  char msg[kErrmsgSize];
  const unsigned oflags = (q->flags & QN_APPEND) ? MOX_OPEN_APPEND : 0;
  if (outfile && *outfile) {
    void* h = nullptr;
    int rc = mox_open_file(outfile, oflags, &h, msg, sizeof msg);
    if (rc) {
      ERR_USER(ERR_ERR, rc, "%s", msg);
      return rc;
    }
    q->hout = h;
  }
  if (!errfile || !*errfile) {
    q->herr = q->hout;
  } else if (_stricmp(errfile, "nul") != 0) {
    void* h = nullptr;
    int rc = mox_open_file(errfile, oflags, &h, msg, sizeof msg);
    if (rc) {
      ERR_USER(ERR_ERR, rc, "%s", msg);
      return rc;
    }
    q->herr = h;
  }
  return 0;
}

void close_files(qn* q) {
  if (q->herr && q->herr != q->hout && !CloseHandle(q->herr))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "CloseHandle() failed [%p].", q->herr);
  if (q->hout && !CloseHandle(q->hout)) ERR_LOG(ERR_ERR, (int)GetLastError(), "CloseHandle() failed [%p].", q->hout);
  q->hout = nullptr;
  q->herr = nullptr;
}

int find_path(walk* w, const char* path) {
  char base[kPathSize];  // the path without its trailing separator
  char dir[kPathSize];
  char rdir[kPathSize];
  char fname[kPathSize];
  dir[0] = 0;
  level* top = nullptr;
  int rc = level_get(&w->top, &top);
  if (!rc) mox_path_del_sep(path, base, kPathSize, &rc);
  if (rc) {
    qnd erec;
    return report_error(w, &erec, "", nullptr, path, rc);
  }

  const DWORD attr = GetFileAttributesA(base);
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY)) {
    // a file, a pattern or nothing: list its directory with the last component as pattern
    if ((rc = mox_split_dir_fname(base, dir, kPathSize, fname, kPathSize)))
      return report_error(w, &top->rec, "", nullptr, path, rc);
    // a bare name lives in the current directory
    if ((rc = full_dir(*dir ? dir : ".", rdir))) return report_error(w, &top->rec, dir, nullptr, fname, rc);
    return list(w, top, dir, rdir, fname, false);
  }
  mox_path_add_sep(base, dir, kPathSize, &rc);
  if (!rc) rc = full_dir(base, rdir);
  if (rc) return report_error(w, &top->rec, *dir ? dir : "", nullptr, *dir ? "*.*" : path, rc);
  return list(w, top, dir, rdir, "*.*", true);
}

// Appends n bytes of src at *len.
int cmdln_put(char* cmdln, unsigned size, unsigned* len, const char* src, unsigned n) {
  int rc = 0;
  mox_strncpy(cmdln + *len, size - *len, src, n, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u.", size);
    *cmdln = 0;
    return rc;
  }
  *len += (unsigned)strlen(cmdln + *len);
  return 0;
}

}  // namespace

void qnd_clear(qnd* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, 9003, "`qnd' is NUL.");
    return;
  }
  memset(d, 0, sizeof *d);
}

void quarn_init(qn* q) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qn' is NUL.");
    return;
  }
  memset(q, 0, sizeof *q);
}

void quarn_free(qn* q) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qn' is NUL.");
    return;
  }
  quarn_filter_free(q);
  close_files(q);
  quarn_init(q);
}

void quarn_prepare(qn* q) { quarn_free(q); }

void quarn_reset(qn* q) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qn' is NUL.");
    return;
  }
  q->count = 0;
  q->depth = 0;
  q->cancel = nullptr;
}

int quarn_find(qn* q, const char* path, const ex* e, const char* filter, const char* outfile, const char* errfile,
               quarn_cb cb, int reportall, const diserr* de, void* usrdata) {
  if (!q || !path || !*path || !cb) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qn: %p, path: `%s', quarn_cb: %p.", (void*)q, mox_nul(path),
            reinterpret_cast<void*>(cb));
    return 9003;
  }
  int rc = quarn_filter_prepare(q, filter);
  if (rc) return rc;
  rc = open_files(q, outfile, errfile);
  if (!rc) {
    walk w;
    w.q = q;
    w.e = e;
    w.cb = cb;
    w.reportall = reportall;
    w.de = de;
    w.usrdata = usrdata;
    w.top = nullptr;
    const int depth = q->depth;
    rc = find_path(&w, path);
    q->depth = depth;
    levels_free(w.top);
  }
  quarn_filter_free(q);
  close_files(q);
  return rc;
}

void quarn_filter_free(qn* q) {
  if (!q) return;
  free(q->filter);
  q->filter = nullptr;
  memset(q->fpos, 0, sizeof q->fpos);
  q->xmatch = qn_cmp{0, 0};
  q->xerr = qn_cmp{0, 0};
}

int quarn_filter_prepare(qn* q, const char* filter) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qn' is NUL.");
    return 9003;
  }
  quarn_filter_free(q);
  if (mox_is_blank(filter)) return 0;

  const size_t len = strlen(filter);
  auto* cmd = static_cast<char*>(malloc(len + 1));
  if (!cmd) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(len + 1));
    return 9004;
  }
  intf f;
  intf_init(&f, INTF_SIGNED);
  size_t pos[QN_FPOS_MAX];
  unsigned npos = 0;
  qn_cmp xmatch{0, 0}, xerr{0, 0};
  char* out = cmd;
  const char* s = filter;
  int rc = 0;
  while (*s && !rc) {
    const char c = *s;
    if (c == '\r' || c == '\n') {
      *out++ = ' ';
      ++s;
    } else if (c == '^') {
      // the next character is taken literally; a final '^' is dropped
      if (s[1]) {
        *out++ = s[1];
        s += 2;
      } else {
        ++s;
      }
    } else if (c == '%' && s[1] == 'f') {
      if (npos == QN_FPOS_MAX) {
        ERR_USER(ERR_ERR, 9009, "Maximum number of `%%f' [%d] exceeded.", QN_FPOS_MAX);
        rc = 9009;
      } else {
        pos[npos++] = (size_t)(out - cmd);
        s += 2;
      }
    } else if (c == '%' && (s[1] == 'e' || s[1] == 'x')) {
      qn_cmp cmp{0, 0};
      const char* end = nullptr;
      rc = intf_parse(&f, s + 2, &end, &cmp.op, &cmp.value);
      if (rc) {
        ERR_USER(ERR_ERR, rc, "Filter syntax error: %s", s + 2);
      } else {
        (s[1] == 'e' ? xerr : xmatch) = cmp;
        s = end ? end : s + 2;
      }
    } else {
      *out++ = c;
      ++s;
    }
  }
  *out = 0;
  if (!rc && mox_is_blank(cmd)) {
    ERR_USER(ERR_ERR, 9001, "No filter command: %s", filter);
    rc = 9001;
  }
  if (rc) {
    free(cmd);
    return rc;
  }
  q->filter = cmd;
  for (unsigned i = 0; i < npos; ++i) q->fpos[i] = cmd + pos[i];
  q->xmatch = xmatch;
  q->xerr = xerr;
  return 0;
}

int quarn_filter_cmdln(const qn* q, const qnd* d, char* cmdln, unsigned cmdlnsz) {
  if (!q || !d || !cmdln || !cmdlnsz || !q->filter) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qn: %p, qnd: %p, pcmdln: %p, pcmdlnsz: %u.", (const void*)q,
            (const void*)d, (void*)cmdln, cmdlnsz);
    if (cmdln && cmdlnsz) *cmdln = 0;
    return 9003;
  }
  *cmdln = 0;
  char rpath[kPathSize];
  int rc = mox_snprintf(rpath, sizeof rpath, "%s%s", d->rdir ? d->rdir : "", d->name ? d->name : "");
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kPathSize);
    return rc;
  }
  char qpath[kPathSize + 3];
  // A found name is anyone's choice: outside quotes the command interpreter would act on
  // these characters (a&calc), inside them it passes them on as they are.
  if (!strchr(rpath, ' ') && strpbrk(rpath, "&^()%!,;="))
    rc = mox_snprintf(qpath, sizeof qpath, "\"%s\"", rpath);
  else
    mox_quote_path(rpath, qpath, sizeof qpath, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_quote_path() failed - rpath: `%s'.", rpath);
    return rc;
  }
  // a directory's own path ends with a separator, which would escape the closing quote
  size_t qlen = strlen(qpath);
  if (qlen >= 3 && qpath[0] == '"' && qpath[qlen - 1] == '"' && qpath[qlen - 2] == '\\') {
    qpath[qlen - 1] = '\\';
    qpath[qlen] = '"';
    qpath[qlen + 1] = 0;
  }
  if (!q->fpos[0]) {
    rc = mox_snprintf(cmdln, cmdlnsz, "%s %s", q->filter, qpath);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", cmdlnsz);
      *cmdln = 0;
    }
    return rc;
  }
  unsigned len = 0;
  const char* from = q->filter;
  for (unsigned i = 0; i < QN_FPOS_MAX && q->fpos[i]; ++i) {
    if ((rc = cmdln_put(cmdln, cmdlnsz, &len, from, (unsigned)(q->fpos[i] - from)))) return rc;
    if ((rc = cmdln_put(cmdln, cmdlnsz, &len, qpath, (unsigned)strlen(qpath)))) return rc;
    from = q->fpos[i];
  }
  return cmdln_put(cmdln, cmdlnsz, &len, from, (unsigned)strlen(from));
}

int quarn_filter_run(qn* q, qnd* d, int* match) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qn' is NUL.");
    return 9003;
  }
  if (!d || !match) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qn: %p, qnd: %p, match: %p.", (void*)q, (void*)d, (void*)match);
    return 9003;
  }
  char cmdln[kCmdlnSize];
  int rc = quarn_filter_cmdln(q, d, cmdln, sizeof cmdln);
  if (rc) return rc;

  STARTUPINFOA si;
  memset(&si, 0, sizeof si);
  si.cb = sizeof si;
  if (q->hout || q->herr) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nullptr;
    si.hStdOutput = q->hout;
    si.hStdError = q->herr;
  }
  PROCESS_INFORMATION pi;
  memset(&pi, 0, sizeof pi);
  char sysmsg[1024];
  if (!CreateProcessA(nullptr, cmdln, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    const int code = (int)GetLastError();
    ERR_USER(ERR_ERR, code, "Filter error: %s [%.4096s]", mox_sys_errmsg(code, sysmsg, sizeof sysmsg), cmdln);
    return code;
  }
  handle_guard process(pi.hProcess), thread(pi.hThread);

  bool cancelled = false;
  for (;;) {
    const DWORD r = WaitForSingleObject(pi.hProcess, q->cancel ? kPollMs : INFINITE);
    if (r == WAIT_OBJECT_0) break;
    if (r != WAIT_TIMEOUT) {
      const int code = (int)GetLastError();
      ERR_LOG(ERR_ERR, code, "WaitForSingleObject() failed - cmdln: `%.4096s'.", cmdln);
      return code ? code : 9001;
    }
    if (!cancelled && *q->cancel) {
      if (TerminateProcess(pi.hProcess, kTerminated))
        cancelled = true;  // the next wait sees it end
      else
        ERR_LOG(ERR_ERR, (int)GetLastError(), "TerminateProcess() failed");
    }
  }
  DWORD exitcode = 0;
  if (!GetExitCodeProcess(pi.hProcess, &exitcode)) {
    const int code = (int)GetLastError();
    ERR_USER(ERR_ERR, code, "Filter error: %s [%.4096s]", mox_sys_errmsg(code, sysmsg, sizeof sysmsg), cmdln);
    return code;
  }
  if (cancelled) return kTerminated;

  const int x = (int)exitcode;
  switch (q->xmatch.op) {
    case INTF_EQ: if (x != q->xmatch.value) *match = 0; break;
    case INTF_LT: if (!(x < q->xmatch.value)) *match = 0; break;
    case INTF_GT: if (!(x > q->xmatch.value)) *match = 0; break;
    default:
      ERR_LOG(ERR_ERR, 9012, "Unexpected `op' [%d].", (int)q->xmatch.op);
      return 9012;
  }
  if (q->xerr.value || q->xerr.op) {
    bool hit = false;
    switch (q->xerr.op) {
      case INTF_EQ: hit = x == q->xerr.value; break;
      case INTF_LT: hit = x < q->xerr.value; break;
      case INTF_GT: hit = x > q->xerr.value; break;
      default:
        ERR_LOG(ERR_ERR, 9012, "Unexpected `eop' [%d].", (int)q->xerr.op);
        return 9012;
    }
    if (hit) {
      d->errcode = exitcode;
      *match = 1;
    }
  }
  return 0;
}

int quarn_diserr_cvt(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize, char* str,
                     unsigned strsize, int dir) {
  if (valtype != 0xB0 || !val) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - valtype: %#X, diserr: %p.", valtype, val);
    return 9003;
  }
  if (valmaxsize && *valmaxsize < sizeof(diserr)) {
    ERR_LOG(ERR_ERR, 9005, "`valmaxsize' too small [%u].", *valmaxsize);
    return 9005;
  }
  auto* de = static_cast<diserr*>(val);
  intf f;
  intf_init(&f, INTF_SIGNED);
  if (!dir) {
    if (!str || !strsize) {
      ERR_LOG(ERR_ERR, 9003, "Invalid param - str: %p, strsize: %u.", (void*)str, strsize);
      return 9003;
    }
    return intf_to_str(&f, de->op, de->code, str, strsize);
  }
  memset(de, 0, sizeof *de);
  if (valsize) *valsize = sizeof(diserr);
  const char* end = str;
  int rc = intf_parse(&f, str, &end, &de->op, &de->code);
  // a code without digits would silently mean 0
  bool digits = false;
  for (const char* c = str; !rc && c && end && c < end; c++) digits = digits || (*c >= '0' && *c <= '9');
  if (!rc && str && *str && !digits) rc = 9003;
  if (rc) {
    memset(de, 0, sizeof *de);
    ERR_USER(ERR_ERR, rc, "Invalid `-disable-err': %s.", mox_nul(str));
  }
  return rc;
}
