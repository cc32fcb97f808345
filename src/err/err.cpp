// First cut of the error log: head and message lines, user reports, no options yet.
#include "err/err.h"

#include <windows.h>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

volatile int err_active = 0;
volatile int errsever = ERR_NOTICE;

namespace {
constexpr unsigned kBufSize = 32768;
constexpr const char* kLevelWords[] = {"EMERG", "ALERT", "CRIT", "ERR", "WARN", "NOTICE", "INFO", "DBG"};

struct Ctx {
  HANDLE mutex;
  char app[MAX_PATH];
  char modpath[MAX_PATH];
  DWORD pid;
  FILE* stream;
  char rec[kBufSize];
  size_t len;
  const char* curname;
  uerr_item uerr;
  err_hook hook;
  void* usrdata;
} ctx;

struct KeepErrors {
  int saved_errno = errno;
  DWORD saved_last = GetLastError();
  ~KeepErrors() { errno = saved_errno; SetLastError(saved_last); }
};

void append(const char* fmt, ...) {
  if (ctx.len >= kBufSize - 1) return;
  va_list ap;
  va_start(ap, fmt);
  int n = vsnprintf(ctx.rec + ctx.len, kBufSize - ctx.len, fmt, ap);
  va_end(ap);
  if (n < 0 || (size_t)n >= kBufSize - ctx.len) { ctx.len = kBufSize - 1; ctx.rec[ctx.len] = 0; }
  else ctx.len += n;
}
}  // namespace

const char* err_level_word(int level) {
  return level >= 1 && level <= 8 ? kLevelWords[level - 1] : nullptr;
}

int err_init(int argc, char** argv, const char*, void* module, err_hook hook, void* usrdata) {
  KeepErrors keep;
  err_active = 1;
  memset(&ctx, 0, sizeof ctx);
  ctx.pid = GetCurrentProcessId();
  ctx.mutex = CreateMutexA(nullptr, FALSE, nullptr);
  errsever = ERR_NOTICE;
  if (argc > 0 && argv && argv[0] && *argv[0]) {
    HMODULE h = module ? (HMODULE)module : GetModuleHandleA(nullptr);
    if (GetModuleFileNameA(h, ctx.modpath, MAX_PATH)) {
      char name[MAX_PATH];
      _splitpath(ctx.modpath, nullptr, nullptr, name, nullptr);
      strcpy(ctx.app, name);
    }
  }
  ctx.stream = stderr;
  ctx.hook = hook;
  ctx.usrdata = usrdata;
  return 0;
}

void err_free() {
  KeepErrors keep;
  err_active = 0;
  if (ctx.mutex) CloseHandle(ctx.mutex);
  memset(&ctx, 0, sizeof ctx);
}

int err_head(int level, int code, const char* name, long pid, const char* srcfile, unsigned line) {
  KeepErrors keep;
  WaitForSingleObject(ctx.mutex, INFINITE);
  ctx.len = 0;
  ctx.rec[0] = 0;
  ctx.curname = name ? name : ctx.app;
  append("%s: ", ctx.curname);
  const char* w = err_level_word(level);
  if (w) append("%s", w); else append("ERR-%d", level);
  append(" %d", code);
  SYSTEMTIME st;
  GetLocalTime(&st);
  append(" %04d-%02d-%02d %02d:%02d:%02d.%03d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
         st.wSecond, st.wMilliseconds);
  append(" %s", name ? name : ctx.modpath);
  if (pid == -1) append("(%lu)", (unsigned long)ctx.pid);
  else if (pid != -2) append("(%lu)", (unsigned long)pid);
  append(" %s(%u)\n", srcfile ? srcfile : "", line);
  return 0;
}

int err_printf(const char* format, ...) {
  KeepErrors keep;
  append("%s: ", ctx.curname ? ctx.curname : "");
  if (ctx.len < kBufSize - 1) {
    va_list ap;
    va_start(ap, format);
    int n = vsnprintf(ctx.rec + ctx.len, kBufSize - ctx.len, format, ap);
    va_end(ap);
    if (n < 0 || (size_t)n >= kBufSize - ctx.len) { ctx.len = kBufSize - 1; ctx.rec[ctx.len] = 0; }
    else ctx.len += n;
  }
  append("\n");
  fwrite(ctx.rec, 1, ctx.len, ctx.stream);
  fflush(ctx.stream);
  ReleaseMutex(ctx.mutex);
  return 0;
}

int err_user_head(int level, int code, const char* name, long pid) {
  KeepErrors keep;
  WaitForSingleObject(ctx.mutex, INFINITE);
  memset(&ctx.uerr, 0, sizeof ctx.uerr);
  ctx.uerr.level = level;
  ctx.uerr.code = code;
  ctx.uerr.name = name ? name : ctx.app;
  ctx.uerr.pid = (unsigned)pid;
  time_t now = time(nullptr);
  struct tm* lt = localtime(&now);
  if (lt) ctx.uerr.tm = *lt;
  return 0;
}

int err_user_printf(const char* format, ...) {
  KeepErrors keep;
  va_list ap;
  va_start(ap, format);
  if (ctx.hook) {
    char msg[kBufSize];
    vsnprintf(msg, sizeof msg, format, ap);
    ctx.uerr.msg = msg;
    ctx.hook(&ctx.uerr, ctx.usrdata);
    ctx.uerr.msg = nullptr;
  } else {
    ctx.len = 0;
    append("%s: ", ctx.uerr.name);
    const char* w = err_level_word(ctx.uerr.level);
    if (w) append("%s", w); else append("ERR-%d", ctx.uerr.level);
    append("[%d]: ", ctx.uerr.code);
    if (ctx.len < kBufSize - 1) {
      int n = vsnprintf(ctx.rec + ctx.len, kBufSize - ctx.len, format, ap);
      if (n < 0 || (size_t)n >= kBufSize - ctx.len) { ctx.len = kBufSize - 1; ctx.rec[ctx.len] = 0; }
      else ctx.len += n;
    }
    append("\n");
    fwrite(ctx.rec, 1, ctx.len, ctx.stream);
    fflush(ctx.stream);
  }
  va_end(ap);
  ReleaseMutex(ctx.mutex);
  return 0;
}
