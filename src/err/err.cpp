// Error log: options, destinations, diagnostic records and user reports.
#include "err/err.h"

#include <windows.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "err/err_pipe.h"

volatile int err_active = 0;
volatile int errsever = ERR_NOTICE;

namespace {
constexpr unsigned kBufSize = ERR_BUFSIZE;
constexpr unsigned kOptSize = ERR_OPTSIZE;
constexpr int kDefSever = ERR_NOTICE;
constexpr int kDefWait = 5000;
constexpr char kDefPipe[] = "\\\\.\\pipe\\errmon";
constexpr const char* kLevelWords[] = {"EMERG", "ALERT", "CRIT", "ERR", "WARN", "NOTICE", "INFO", "DBG"};

// The formatter that lost the tail of a record, reported once the record is out.
enum class Cut { none, snprintf_, vsnprintf_ };

struct Ctx {
  HANDLE mutex;
  char* app;
  char* modpath;
  char* errout;
  char* errpipe;
  int errpipewaittimeout;
  int errhires;
  DWORD pid;
  FILE* stream;
  ::errpipe pipe;  // the monitor connection
  char rec[kBufSize];
  size_t len;
  Cut cut;
  unsigned cutline;
  uerr_item uerr;
  char ibuf[kBufSize];
  const char* curname;
  err_hook hook;
  void* usrdata;
};
Ctx ctx;

struct KeepErrors {
  int saved_errno = errno;
  DWORD saved_last = GetLastError();
  ~KeepErrors() {
    errno = saved_errno;
    SetLastError(saved_last);
  }
};

const char* nul(const char* s) { return s ? s : "NUL"; }
const char* app() { return ctx.app ? ctx.app : ""; }
FILE* out_stream() { return ctx.stream ? ctx.stream : stderr; }
unsigned long own_pid() { return ctx.pid ? ctx.pid : GetCurrentProcessId(); }

// --- internal errors: straight to the stream, no mutex, no pipe ---

void ierr_v(int code, const char* srcfile, unsigned line, const char* fmt, va_list ap) {
  char* b = ctx.ibuf;
  int r = snprintf(b, kBufSize, "ERR: ERROR %d %s(%lu) %s(%u)\nERR: ", code, ctx.modpath ? ctx.modpath : "",
                   own_pid(), nul(srcfile), line);
  size_t n = r < 0 ? 0 : (size_t)r < kBufSize ? (size_t)r : kBufSize - 1;
  if (n < kBufSize - 1) {
    r = vsnprintf(b + n, kBufSize - n, fmt, ap);
    if (r >= 0) n = n + r < kBufSize - 1 ? n + r : kBufSize - 1;
  }
  if (n < kBufSize - 1) b[n++] = '\n';
  b[n] = 0;
  FILE* out = out_stream();
  fwrite(b, 1, n, out);
  fflush(out);
}

void ierr(int code, unsigned line, const char* fmt, ...) ERR_PRINTF_LIKE(3, 4);
void ierr(int code, unsigned line, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  ierr_v(code, __FILE__, line, fmt, ap);
  va_end(ap);
}

char* dup(const char* s) {
  char* d = strdup(s);
  if (!d) ierr(ERR_E_NOMEM, __LINE__, "strdup() failed - len: %u.", (unsigned)strlen(s));
  return d;
}

void drop(char*& s) {
  free(s);
  s = nullptr;
}

// --- the record under construction ---

void rec_reset() {
  ctx.len = 0;
  ctx.rec[0] = 0;
  ctx.cut = Cut::none;
}

// Appends one bounded piece. A piece that does not fit closes the record at its
// last byte; the pieces after it are skipped.
void rec_vadd(Cut how, unsigned line, const char* fmt, va_list ap) {
  if (ctx.cut != Cut::none) return;
  size_t room = kBufSize - ctx.len;
  int n = vsnprintf(ctx.rec + ctx.len, room, fmt, ap);
  if (n >= 0 && (size_t)n < room) {
    ctx.len += n;
    return;
  }
  if (n >= 0) ctx.len = kBufSize - 1;
  ctx.rec[ctx.len] = 0;
  ctx.cut = how;
  ctx.cutline = line;
}

void rec_add(unsigned line, const char* fmt, ...) ERR_PRINTF_LIKE(2, 3);
void rec_add(unsigned line, const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  rec_vadd(Cut::snprintf_, line, fmt, ap);
  va_end(ap);
}

void rec_add_level(int level) {
  if (const char* w = err_level_word(level))
    rec_add(__LINE__, "%s", w);
  else
    rec_add(__LINE__, "ERR-%d", level);
}

void rec_to_stream() {
  FILE* out = out_stream();
  fwrite(ctx.rec, 1, ctx.len, out);
  fflush(out);
}

void rec_report_cut() {
  if (ctx.cut == Cut::snprintf_)
    ierr(ERR_E_CUT, ctx.cutline, "_err_snprintf() failed [%u].", kBufSize);
  else if (ctx.cut == Cut::vsnprintf_)
    ierr(ERR_E_CUT, ctx.cutline, "_err_vsnprintf() failed [%u].", kBufSize);
  ctx.cut = Cut::none;
}

void lock() {
  if (WaitForSingleObject(ctx.mutex, INFINITE) == WAIT_FAILED)
    ierr((int)GetLastError(), __LINE__, "WaitForSingleObject() failed - mutex[%p]: %p.", (void*)&ctx.mutex,
         ctx.mutex);
}

void unlock() {
  if (!ReleaseMutex(ctx.mutex))
    ierr((int)GetLastError(), __LINE__, "ReleaseMutex() failed - mutex[%p]: %p.", (void*)&ctx.mutex, ctx.mutex);
}

// --- option words ---

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

enum class Tok { end, option, other, stop };

struct OptWord {
  char name[kOptSize];
  char value[kOptSize];
  size_t nlen, vlen;
  bool too_long;
};

// Reads the next token of an option text: quotes group and are removed, backslashes
// follow the argument-vector rule; an option's name ends at its first free colon.
Tok next_token(const char*& p, OptWord& w) {
  while (is_space(*p)) ++p;
  if (!*p) return Tok::end;
  const bool opt = *p == '-';
  if (opt && (!p[1] || is_space(p[1]))) {
    ++p;
    return Tok::stop;
  }
  if (opt) ++p;
  memset(&w, 0, sizeof w);
  bool quoted = false, in_value = false;
  auto put = [&](char c) {
    if (!opt) return;
    char* buf = in_value ? w.value : w.name;
    size_t& len = in_value ? w.vlen : w.nlen;
    if (len + 1 < kOptSize)
      buf[len++] = c;
    else
      w.too_long = true;
  };
  while (*p && (quoted || !is_space(*p))) {
    if (*p == '\\') {
      size_t n = 0;
      while (p[n] == '\\') ++n;
      if (p[n] == '"') {
        for (size_t i = 0; i < n / 2; ++i) put('\\');
        p += n;
        if (n & 1) put(*p++);  // odd: the quote is a character
      } else {
        for (size_t i = 0; i < n; ++i) put('\\');
        p += n;
      }
    } else if (*p == '"') {
      quoted = !quoted;
      ++p;
    } else if (*p == ':' && opt && !quoted && !in_value) {
      in_value = true;
      ++p;
    } else {
      put(*p++);
    }
  }
  return opt ? Tok::option : Tok::other;
}

unsigned count_words(const char* text) {
  OptWord w;
  unsigned n = 0;
  for (const char* p = text;;) {
    Tok t = next_token(p, w);
    if (t == Tok::end) break;
    ++n;
    if (t == Tok::stop) break;
  }
  return n;
}

// Replaces the len characters at `at' of s by rep, unless s would reach kOptSize.
bool replace_at(char* s, char* at, size_t len, const char* rep, size_t replen) {
  size_t slen = strlen(s);
  if (slen - len + replen >= kOptSize) {
    ierr(ERR_E_CUT, __LINE__, "`str' size too small - str: `%s', strsz: %u.", s, kOptSize);
    return false;
  }
  memmove(at + replen, at + len, slen - (at - s) - len + 1);
  memcpy(at, rep, replen);
  return true;
}

// Inserted text is never scanned again, so a value holding its own macro cannot loop.
void replace_all(char* s, const char* pat, const char* rep) {
  const size_t plen = strlen(pat), rlen = strlen(rep);
  for (char* at = strstr(s, pat); at; at = strstr(at + rlen, pat))
    if (!replace_at(s, at, plen, rep, rlen)) return;
}

void replace_env(char* s) {
  for (char* at = strstr(s, "$("); at;) {
    char* end = strchr(at + 2, ')');
    if (!end) return;
    const size_t nlen = end - (at + 2);
    char macro[kOptSize];
    int n = snprintf(macro, sizeof macro, "$(%.*s)", (int)nlen, at + 2);
    if (n < 0 || (size_t)n >= sizeof macro) {
      ierr(ERR_E_CUT, __LINE__, "_err_snprintf() failed - size: %u.", kOptSize);
      return;
    }
    char name[kOptSize];
    memcpy(name, at + 2, nlen);
    name[nlen] = 0;
    char val[kOptSize];
    DWORD vlen = GetEnvironmentVariableA(name, val, sizeof val);
    if (vlen >= sizeof val) {
      ierr(ERR_E_CUT, __LINE__, "`str' size too small - str: `%s', strsz: %u.", s, kOptSize);
      at = strstr(end + 1, "$(");
      continue;
    }
    if (!vlen) val[0] = 0;  // unset: the macro goes
    if (replace_at(s, at, (size_t)n, val, vlen))
      at = strstr(at + vlen, "$(");
    else
      at = strstr(end + 1, "$(");
  }
}

void expand_macros(char* s) {
  replace_all(s, "$(app)", app());
  char buf[32];
  snprintf(buf, sizeof buf, "%lu", own_pid());
  replace_all(s, "$(pid)", buf);
  time_t now = time(nullptr);
  if (const struct tm* lt = localtime(&now)) {
    const struct tm t = *lt;
    snprintf(buf, sizeof buf, "%04d%02d%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
    replace_all(s, "$(date)", buf);
    snprintf(buf, sizeof buf, "%02d%02d%02d", t.tm_hour, t.tm_min, t.tm_sec);
    replace_all(s, "$(time)", buf);
  }
  replace_env(s);
}

int sever_of(const char* word) {
  for (int i = 0; i < 8; ++i)
    if (!_stricmp(word, kLevelWords[i])) return i + 1;
  return kDefSever;
}

int set_copy(char*& field, const char* value) {
  char* d = dup(value);
  if (!d) return ERR_E_NOMEM;
  free(field);
  field = d;
  return 0;
}

int apply_option(const OptWord& w) {
  enum { out, sever, pipe, wait, hires, none } which = none;
  if (!_stricmp(w.name, "errout")) which = out;
  else if (!_stricmp(w.name, "errsever")) which = sever;
  else if (!_stricmp(w.name, "errpipe")) which = pipe;
  else if (!_stricmp(w.name, "errpipewaittimeout")) which = wait;
  else if (!_stricmp(w.name, "errhires")) which = hires;
  if (which == none) return 0;  // the program's own option
  if (w.too_long) {
    ierr(ERR_E_CUT, __LINE__, "Option value longer than %u characters ignored - option: `%s'.", kOptSize - 1,
         w.name);
    return ERR_E_CUT;
  }
  const char* v = w.value;
  switch (which) {
    case out: {
      if (!*v) return 0;
      char val[kOptSize];
      memcpy(val, v, w.vlen + 1);
      if (strstr(val, "$(")) expand_macros(val);
      return set_copy(ctx.errout, val);
    }
    case sever:
      if (*v) errsever = sever_of(v);
      return 0;
    case pipe:
      if (!*v) {
        drop(ctx.errpipe);
        return 0;
      }
      return set_copy(ctx.errpipe, v);
    case wait:
      if (*v) ctx.errpipewaittimeout = (int)strtol(v, nullptr, 10);
      return 0;
    case hires:
      ctx.errhires = *v && strchr("1TtYy", *v);
      return 0;
    case none:
      break;
  }
  return 0;
}

// A limited text (the defaults, ERR) with too many words is rejected whole.
int apply_text(const char* text, bool limited) {
  if (limited && count_words(text) > ERR_MAXOPTS) {
    ierr(ERR_E_MAXOPTS, __LINE__, "Max err command line options [%u] exceeded.", (unsigned)ERR_MAXOPTS);
    return ERR_E_MAXOPTS;
  }
  OptWord w;
  for (const char* p = text;;) {
    Tok t = next_token(p, w);
    if (t == Tok::end || t == Tok::stop) break;
    if (t == Tok::option) apply_option(w);
  }
  return 0;
}

void apply_env() {
  DWORD size = GetEnvironmentVariableA("ERR", nullptr, 0);
  if (!size) return;
  char* text = (char*)malloc(size);
  if (!text) {
    ierr(ERR_E_NOMEM, __LINE__, "malloc() failed - size: %u.", (unsigned)size);
    return;
  }
  DWORD n = GetEnvironmentVariableA("ERR", text, size);
  if (n && n < size) apply_text(text, true);
  free(text);
}

void set_names(int argc, char** argv, void* module) {
  if (argc <= 0 || !argv || !argv[0] || !*argv[0]) return;
  HMODULE h = module ? (HMODULE)module : GetModuleHandleA(nullptr);
  if (!h) {
    ierr((int)GetLastError(), __LINE__, "GetModuleHandle() failed.");
    return;
  }
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(h, path, sizeof path);
  if (!n || n >= sizeof path) {
    ierr((int)GetLastError(), __LINE__, "GetModuleFileName() failed - hmodule: %#X.", (unsigned)(uintptr_t)h);
    return;
  }
  char name[_MAX_FNAME];
  _splitpath(path, nullptr, nullptr, name, nullptr);
  ctx.app = dup(name);
  ctx.modpath = dup(path);
}

void open_stream() {
  if (!ctx.errout || !_stricmp(ctx.errout, "stderr")) {
    ctx.stream = stderr;
  } else if (!_stricmp(ctx.errout, "stdout")) {
    ctx.stream = stdout;
  } else if (FILE* f = fopen(ctx.errout, "at")) {
    ctx.stream = f;
  } else {
    ierr(errno, __LINE__, "fopen() failed [%s].", ctx.errout);
    ctx.stream = stderr;
  }
}

void release() {
  errpipe_close(&ctx.pipe);
  drop(ctx.errpipe);
  if (ctx.stream && ctx.stream != stderr && ctx.stream != stdout) {
    FILE* f = ctx.stream;
    int fd = _fileno(f);
    ctx.stream = nullptr;
    if (fclose(f)) ierr(errno, __LINE__, "fclose() failed [%s] - fileno: %d.", nul(ctx.errout), fd);
  }
  drop(ctx.errout);
  drop(ctx.app);
  drop(ctx.modpath);
  if (ctx.mutex && !CloseHandle(ctx.mutex))
    ierr((int)GetLastError(), __LINE__, "CloseHandle() failed - mutex[%p]: %p.", (void*)&ctx.mutex, ctx.mutex);
  memset(&ctx, 0, sizeof ctx);
}

int fail_init(int code) {
  release();
  err_active = 0;
  return code;
}
}  // namespace

const char* err_level_word(int level) {
  return level >= 1 && level <= 8 ? kLevelWords[level - 1] : nullptr;
}

void err_internal(int code, const char* srcfile, unsigned line, const char* format, ...) {
  KeepErrors keep;
  va_list ap;
  va_start(ap, format);
  ierr_v(code, srcfile, line, format, ap);
  va_end(ap);
}

int err_init(int argc, char** argv, const char* defopts, void* module, err_hook hook, void* usrdata) {
  KeepErrors keep;
  // Checked before the context is cleared: a second call must not orphan the running log.
  if (ctx.mutex) {
    ierr(ERR_E_MUTEX, __LINE__, "Mutex already created - mutex[%p]: %p.", (void*)&ctx.mutex, ctx.mutex);
    return ERR_E_MUTEX;
  }
  err_active = 1;
  memset(&ctx, 0, sizeof ctx);
  ctx.pid = GetCurrentProcessId();
  errpipe_clear(&ctx.pipe);

  SetLastError(0);
  HANDLE m = CreateMutexA(nullptr, FALSE, nullptr);
  DWORD e = GetLastError();
  if (!m) {
    ierr((int)e, __LINE__, "CreateMutex() failed [%p].", (void*)&ctx.mutex);
    return fail_init(e ? (int)e : ERR_E_MUTEX);
  }
  if (e) {
    ierr((int)e, __LINE__, "CreateMutex() error - mutex[%p]: %p.", (void*)&ctx.mutex, m);
    CloseHandle(m);
    return fail_init((int)e);
  }
  ctx.mutex = m;

  errsever = kDefSever;
  ctx.errpipe = dup(kDefPipe);
  if (!ctx.errpipe) return fail_init(ERR_E_NOMEM);
  ctx.errpipewaittimeout = kDefWait;
  ctx.errhires = 0;

  set_names(argc, argv, module);
  if (!ctx.app && !(ctx.app = dup(""))) return fail_init(ERR_E_NOMEM);
  if (!ctx.modpath && !(ctx.modpath = dup(""))) return fail_init(ERR_E_NOMEM);

  if (defopts) apply_text(defopts, true);
  apply_env();
  for (int i = 1; argv && i < argc; ++i)
    if (argv[i]) apply_text(argv[i], false);

  open_stream();
  if (ctx.errpipe) errpipe_connect(&ctx.pipe, ctx.errpipe, (unsigned long)ctx.errpipewaittimeout);
  if (ctx.errhires) {
    LARGE_INTEGER f;
    if (!QueryPerformanceFrequency(&f)) ctx.errhires = 0;
  }
  ctx.hook = hook;
  ctx.usrdata = usrdata;
  return 0;
}

void err_free() {
  KeepErrors keep;
  err_active = 0;
  release();
}

int err_head(int level, int code, const char* name, long pid, const char* srcfile, unsigned line) {
  KeepErrors keep;
  lock();
  rec_reset();
  ctx.curname = name ? name : app();
  rec_add(__LINE__, "%s: ", ctx.curname);
  rec_add_level(level);
  rec_add(__LINE__, " %d", code);
  SYSTEMTIME st;
  GetLocalTime(&st);
  rec_add(__LINE__, " %04d-%02d-%02d %02d:%02d:%02d.%03d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
          st.wSecond, st.wMilliseconds);
  if (ctx.errhires) {
    LARGE_INTEGER c;
    if (QueryPerformanceCounter(&c))
      rec_add(__LINE__, "(%010lu)", (unsigned long)c.LowPart);
    else
      ctx.errhires = 0;
  }
  rec_add(__LINE__, " %s", name ? name : ctx.modpath ? ctx.modpath : "");
  if (pid == -1)
    rec_add(__LINE__, "(%lu)", own_pid());
  else if (pid != -2)
    rec_add(__LINE__, "(%lu)", (unsigned long)pid);
  rec_add(__LINE__, " %s(%u)\n", nul(srcfile), line);
  return 0;
}

int err_printf(const char* format, ...) {
  KeepErrors keep;
  rec_add(__LINE__, "%s: ", ctx.curname ? ctx.curname : app());
  va_list ap;
  va_start(ap, format);
  rec_vadd(Cut::vsnprintf_, __LINE__, format, ap);
  va_end(ap);
  rec_add(__LINE__, "\n");
  rec_to_stream();
  if (errpipe_is_open(&ctx.pipe)) errpipe_write(&ctx.pipe, ctx.rec, (unsigned long)ctx.len);
  rec_report_cut();
  unlock();
  return 0;
}

int err_user_head(int level, int code, const char* name, long pid) {
  KeepErrors keep;
  lock();
  memset(&ctx.uerr, 0, sizeof ctx.uerr);
  ctx.uerr.level = level;
  ctx.uerr.code = code;
  ctx.uerr.name = name ? name : app();
  ctx.uerr.pid = (unsigned)pid;
  time_t now = time(nullptr);
  if (const struct tm* lt = localtime(&now)) ctx.uerr.tm = *lt;
  return 0;
}

int err_user_printf(const char* format, ...) {
  KeepErrors keep;
  va_list ap;
  va_start(ap, format);
  if (ctx.hook) {
    char msg[kBufSize];  // on the caller's stack: no memory per report
    int n = vsnprintf(msg, sizeof msg, format, ap);
    if (n < 0) msg[0] = 0;
    ctx.uerr.msg = msg;
    ctx.hook(&ctx.uerr, ctx.usrdata);
    ctx.uerr.msg = nullptr;
    if (n < 0 || (size_t)n >= sizeof msg)
      ierr(ERR_E_CUT, __LINE__, "_err_vsnprintf() failed [%u].", kBufSize);
  } else {
    rec_reset();
    rec_add(__LINE__, "%s: ", nul(ctx.uerr.name));
    rec_add_level(ctx.uerr.level);
    rec_add(__LINE__, "[%d]: ", ctx.uerr.code);
    rec_vadd(Cut::vsnprintf_, __LINE__, format, ap);
    rec_add(__LINE__, "\n");
    rec_to_stream();
    rec_report_cut();
  }
  va_end(ap);
  unlock();
  return 0;
}
