#include "fio/timef.h"

#include <atomic>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "c/str.h"
#include "err/err.h"
#include "fio/cmpf.h"
#include "syscfg/syscfg.h"

namespace {

constexpr int kParam = 9003;
constexpr int kCut = 9005;
constexpr unsigned kLcSize = 256;

#ifdef _WIN32
constexpr timef_lc_fn kLcDflt = timef_lc_sys;
#else
constexpr timef_lc_fn kLcDflt = nullptr;  // no locale formatting outside Windows
#endif
std::atomic<timef_lc_fn> g_lc{kLcDflt};

bool local_now(struct tm* out) {
  time_t now = time(nullptr);
#ifdef _WIN32
  bool ok = localtime_s(out, &now) == 0;
#else
  bool ok = localtime_r(&now, out) != nullptr;
#endif
  if (!ok) ERR_LOG(ERR_ERR, 9001, "localtime() failed - syst: %d.", (int)now);
  return ok;
}

// Fields the runtime's and the system's formatters accept; others make them fail hard.
bool tm_ok(const struct tm* t) {
  return t->tm_sec >= 0 && t->tm_sec <= 60 && t->tm_min >= 0 && t->tm_min <= 59 && t->tm_hour >= 0 &&
         t->tm_hour <= 23 && t->tm_mday >= 1 && t->tm_mday <= 31 && t->tm_mon >= 0 && t->tm_mon <= 11 &&
         t->tm_year >= -1900 && t->tm_year <= 8099 && t->tm_wday >= 0 && t->tm_wday <= 6 && t->tm_yday >= 0 &&
         t->tm_yday <= 365;
}

// Only the directives every runtime the program meets knows: an unknown one may end the
// process instead of failing.
bool usrfmt_ok(const char* fmt) {
  static constexpr char kDirs[] = "aAbBcdHIjmMpSUwWxXyYzZ%";
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%') continue;
    if (*++p == '#') ++p;
    if (!*p || !strchr(kDirs, *p)) return false;
  }
  return true;
}

int too_small(char* buf, unsigned bufsize) {
  ERR_LOG(ERR_ERR, kCut, "`strsize' too small [%u].", bufsize);
  *buf = 0;
  return kCut;
}

// strftime with a leading mark, which tells an empty result from one that does not fit.
int put_time(char* buf, unsigned bufsize, const char* fmt, const struct tm* t) {
  const size_t flen = strlen(fmt);
  std::unique_ptr<char[]> f(new (std::nothrow) char[flen + 2]);
  std::unique_ptr<char[]> out(new (std::nothrow) char[(size_t)bufsize + 1]);
  if (!f || !out) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", bufsize + 1);
    *buf = 0;
    return 9004;
  }
  f[0] = '#';
  memcpy(&f[1], fmt, flen + 1);
  size_t n = strftime(out.get(), (size_t)bufsize + 1, f.get(), t);
  if (n == 0) return too_small(buf, bufsize);
  memcpy(buf, &out[1], n);  // n - 1 characters and the zero
  return 0;
}

inline const char* picture(const char* s) { return s && *s ? s : nullptr; }

int put_locale(const struct tm* t, unsigned style, const syscfg* sc, char* buf, unsigned bufsize) {
  timef_lc_fn lc = g_lc.load();
  if (!lc) {
    ERR_LOG(ERR_ERR, 9013, "No locale time formatting - tfmt: %u.", style);
    *buf = 0;
    return 9013;
  }
  char date[kLcSize], tod[kLcSize];
  const bool lng = style == TIMEF_LC_LONG;
  int rc = lc(lng ? TIMEF_LC_LONGDATE : TIMEF_LC_SHORTDATE, t, picture(lng ? sc->tf_longdate : sc->tf_shortdate),
              date, sizeof date);
  if (!rc) rc = lc(lng ? TIMEF_LC_TIME : TIMEF_LC_TIME_NOSEC, t, picture(sc->tf_time), tod, sizeof tod);
  if (rc) {
    *buf = 0;
    return rc;
  }
  rc = lng ? mox_snprintf(buf, bufsize, "%s%s %s", date, sc->tf_dtsep ? sc->tf_dtsep : "", tod)
           : mox_snprintf(buf, bufsize, "%s %s", date, tod);
  return rc ? too_small(buf, bufsize) : 0;
}

}  // namespace

int timef_init(timef* f, unsigned flags, const char* fmts) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`timef' is NUL.");
    return 9003;
  }
  timef_free(f);
  f->flags = flags;
  return fmts ? tsm_init(&f->fmts, fmts) : 0;
}

void timef_clear(timef* f) {
  if (f) memset(f, 0, sizeof *f);
}

void timef_free(timef* f) {
  if (!f) return;
  tsm_free(&f->fmts);
  timef_clear(f);
}

int timef_parse(const timef* f, const char* text, unsigned* op, time_t* from, time_t* to) {
  if (!f || !text || !op || !from || !to) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - timef: %p, str: `%s', op: %p, from: %p, to: %p.", (const void*)f,
            text ? text : "NUL", (void*)op, (void*)from, (void*)to);
    return 9003;
  }
  const char* p = cmpf_prefix(text, f->flags, op);
  int err = 0;
  if (tsm_match(&f->fmts, p, from, to, &err)) return 0;
  return err ? err : 9003;
}

timef_lc_fn timef_set_lc(timef_lc_fn fn) { return g_lc.exchange(fn ? fn : kLcDflt); }

bool timef_is_recent(const struct tm* t, const struct tm* now) {
  if (!t || !now) return false;
  int d;
  if (t->tm_year == now->tm_year)
    d = now->tm_mon - t->tm_mon;
  else if (t->tm_year + 1 == now->tm_year)
    d = now->tm_mon + 12 - t->tm_mon;
  else
    return false;
  return (d >= 0 && d <= 5) || (d == 6 && t->tm_mday >= now->tm_mday);
}

int timef_to_str(const struct tm* tm, unsigned style, const char* usrfmt, const syscfg* sc, char* buf,
                 unsigned bufsize) {
  if (!tm || !sc || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - tm: %p, syscfg: %p, str: %p, strsize: %u.", (const void*)tm,
            (const void*)sc, (void*)buf, bufsize);
    return kParam;
  }
  *buf = 0;
  if (!tm_ok(tm)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `tm' - %d-%d-%d %d:%d:%d, wday: %d, yday: %d.", tm->tm_year + 1900,
            tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec, tm->tm_wday, tm->tm_yday);
    return kParam;
  }
  struct tm now;
  switch (style) {
    case TIMEF_ISO:
    case TIMEF_LS: {
      if (!local_now(&now)) return 9001;
      const bool recent = timef_is_recent(tm, &now);
      const char* f = style == TIMEF_ISO ? (recent ? "%m-%d %H:%M" : "%Y-%m-%d")
                                         : (recent ? "%b %d %H:%M" : "%b %d  %Y");
      return put_time(buf, bufsize, f, tm);
    }
    case TIMEF_ISO_LONG: return put_time(buf, bufsize, "%Y-%m-%d %H:%M:%S", tm);
    case TIMEF_LS_LONG: return put_time(buf, bufsize, "%b %d %H:%M:%S %Y", tm);
    case TIMEF_LC_SHORT:
    case TIMEF_LC_LONG: return put_locale(tm, style, sc, buf, bufsize);
    case TIMEF_USR:
      if (!usrfmt || !*usrfmt || !usrfmt_ok(usrfmt)) {
        ERR_LOG(ERR_ERR, kParam, "Invalid `usrfmt' [%s].", mox_nul(usrfmt));
        return kParam;
      }
      return put_time(buf, bufsize, usrfmt, tm);
    default:
      ERR_LOG(ERR_ERR, kParam, "Invalid `tfmt' [%d].", (int)style);
      return kParam;
  }
}
