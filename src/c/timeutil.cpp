#include "c/timeutil.h"

#include "err/err.h"

namespace {
constexpr int kSys = 9001;
constexpr int kParam = 9003;

inline void set_code(int* code, int v) {
  if (code) *code = v;
}

bool mktime_failed(const struct tm* tm) {
  ERR_LOG(ERR_ERR, kSys, "mktime() failed - %d-%02d-%02d %02d:%02d:%02d.", tm->tm_year + 1900, tm->tm_mon + 1,
          tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec);
  return true;
}
}  // namespace

// mktime honours the caller's tm_isdst, which is wrong whenever the caller guessed;
// the first pass finds the date, its local time tells whether saving is in force.
time_t mktime_local(struct tm* tm, int* code) {
  set_code(code, 0);
  if (!tm) {
    ERR_LOG(ERR_ERR, kParam, "`tm' is NUL.");
    set_code(code, kParam);
    return -1;
  }
  struct tm probe = *tm;
  time_t tt = mktime(&probe);
  if (tt == (time_t)-1) {
    mktime_failed(tm);
    set_code(code, kSys);
    return -1;
  }
  const struct tm* lt = localtime(&tt);
  if (!lt) {
    ERR_LOG(ERR_ERR, kSys, "localtime() failed - tt: %d.", (int)tt);
    set_code(code, kSys);
    return -1;
  }
  tm->tm_isdst = lt->tm_isdst;
  tt = mktime(tm);
  if (tt == (time_t)-1) {
    mktime_failed(tm);
    set_code(code, kSys);
    return -1;
  }
  return tt;
}
