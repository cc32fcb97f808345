#include "rex/tsmatch.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "c/dv.h"
#include "c/str.h"
#include "c/timeutil.h"
#include "err/err.h"
#include "rex/ltmatch.h"
#include "rex/strmatch.h"

namespace {

constexpr int kSyscall = 9001;
constexpr int kParam = 9003;
constexpr int kLimit = 9009;
constexpr int kUnexpected = 9012;

// a compiled format, kept as a shape is
using tsr = ltr;

// Fields of a read form, in order: Y year as written (four digits), c year of the
// cyy forms, y two- or one-digit year, C century, M month, D day, h, m, s.
struct fmt_def {
  int id;
  const char* name;
  const char* scan;
  const char* read;
  const char* fields;
  int prec;
  bool dotsec;  // an optional ".SS" makes the precision second
};

// The year of the cyy forms: the century digit counts from 1900, so 0 is the 1900s,
// 1 the 2000s (1240315 is 2024-03-15). A century text denotes the whole century.
constexpr int kCyyBase = 1900;
constexpr int kPivot = 69;  // two-digit years from here on are 19yy, below 20yy

constexpr fmt_def kFmts[] = {
    {1, "iso-d-e-ccyy_mm_dd", "%2c%2y-%2m-%2d", "%4d-%2d-%2d", "YMD", TSM_DAY, false},
    {2, "iso-d-e-ccyy_mm", "%2c%2y-%2m", "%4d-%2d", "YM", TSM_MONTH, false},
    {3, "iso-d-e-ccyy", "%2c%2y", "%4d", "Y", TSM_YEAR, false},
    {4, "iso-d-e-cc", "%2c", "%2d", "C", TSM_CENTURY, false},
    {5, "iso-d-b-ccyymmdd", "%2c%2y%2m%2d", "%4d%2d%2d", "YMD", TSM_DAY, false},
    {6, "iso-d-b-ccyy", "%2c%2y", "%4d", "Y", TSM_YEAR, false},
    {7, "iso-d-b-cc", "%2c", "%2d", "C", TSM_CENTURY, false},
    {8, "iso-t-e-HH_MM_SS", "%2H:%2M:%2S", "%2d:%2d:%2d", "hms", TSM_SEC, false},
    {9, "iso-t-e-HH_MM", "%2H:%2M", "%2d:%2d", "hm", TSM_MIN, false},
    {10, "iso-t-e-HH", "%2H", "%2d", "h", TSM_HOUR, false},
    {11, "iso-t-b-HHMMSS", "%2H%2M%2S", "%2d%2d%2d", "hms", TSM_SEC, false},
    {12, "iso-t-b-HHMM", "%2H%2M", "%2d%2d", "hm", TSM_MIN, false},
    {13, "iso-t-b-HH", "%2H", "%2d", "h", TSM_HOUR, false},
    {14, "iso-dt-e-ccyy_mm_ddTHH_MM_SS", "%2c%2y-%2m-%2dT%2H:%2M:%2S", "%4d-%2d-%2dT%2d:%2d:%2d", "YMDhms", TSM_SEC,
     false},
    {15, "iso-dt-e-ccyy_mm_dd_HH_MM_SS", "%2c%2y-%2m-%2d %2H:%2M:%2S", "%4d-%2d-%2d %2d:%2d:%2d", "YMDhms", TSM_SEC,
     false},
    {16, "iso-dt-e-ccyy_mm_ddTHH_MM", "%2c%2y-%2m-%2dT%2H:%2M", "%4d-%2d-%2dT%2d:%2d", "YMDhm", TSM_MIN, false},
    {17, "iso-dt-e-ccyy_mm_dd_HH_MM", "%2c%2y-%2m-%2d %2H:%2M", "%4d-%2d-%2d %2d:%2d", "YMDhm", TSM_MIN, false},
    {18, "iso-dt-e-ccyy_mm_ddTHH", "%2c%2y-%2m-%2dT%2H", "%4d-%2d-%2dT%2d", "YMDh", TSM_HOUR, false},
    {19, "iso-dt-e-ccyy_mm_dd_HH", "%2c%2y-%2m-%2d %2H", "%4d-%2d-%2d %2d", "YMDh", TSM_HOUR, false},
    {20, "iso-dt-b-ccyymmddTHHMMSS", "%2c%2y%2m%2dT%2H%2M%2S", "%4d%2d%2dT%2d%2d%2d", "YMDhms", TSM_SEC, false},
    {21, "iso-dt-b-ccyymmdd_HHMMSS", "%2c%2y%2m%2d %2H%2M%2S", "%4d%2d%2d %2d%2d%2d", "YMDhms", TSM_SEC, false},
    {22, "iso-dt-b-ccyymmddTHHMM", "%2c%2y%2m%2dT%2H%2M", "%4d%2d%2dT%2d%2d", "YMDhm", TSM_MIN, false},
    {23, "iso-dt-b-ccyymmdd_HHMM", "%2c%2y%2m%2d %2H%2M", "%4d%2d%2d %2d%2d", "YMDhm", TSM_MIN, false},
    {24, "iso-dt-b-ccyymmddTHH", "%2c%2y%2m%2dT%2H", "%4d%2d%2dT%2d", "YMDh", TSM_HOUR, false},
    {25, "iso-dt-b-ccyymmdd_HH", "%2c%2y%2m%2d %2H", "%4d%2d%2d %2d", "YMDh", TSM_HOUR, false},
    {26, "unix-d-ccyymmdd", "%2c%2y%2m%2d", "%4d%2d%2d", "YMD", TSM_DAY, false},
    {27, "unix-d-cyymmdd", "%c%2y%2m%2d", "%3d%2d%2d", "cMD", TSM_DAY, false},
    {28, "unix-d-yymmdd", "%2y%2m%2d", "%2d%2d%2d", "yMD", TSM_DAY, false},
    {29, "unix-d-ymmdd", "%y%2m%2d", "%1d%2d%2d", "yMD", TSM_DAY, false},
    {30, "unix-d-mmdd", "%2m%2d", "%2d%2d", "MD", TSM_DAY, false},
    {31, "unix-d-mdd", "%m%2d", "%1d%2d", "MD", TSM_DAY, false},
    {32, "unix-d-dd", "%2d", "%2d", "D", TSM_DAY, false},
    {33, "unix-d-d", "%d", "%1d", "D", TSM_DAY, false},
    {34, "unix-t-HHMM_SS", "%2H%2M(.%2S)?", "%2d%2d", "hm", TSM_MIN, true},
    {34, "unix-dt-HHMM_SS", "%2H%2M(.%2S)?", "%2d%2d", "hm", TSM_MIN, true},
    {35, "unix-t-HMM_SS", "%H%2M(.%2S)?", "%1d%2d", "hm", TSM_MIN, true},
    {35, "unix-dt-HMM_SS", "%H%2M(.%2S)?", "%1d%2d", "hm", TSM_MIN, true},
    {36, "unix-t-MM_SS", "%2M(.%2S)?", "%2d", "m", TSM_MIN, true},
    {36, "unix-dt-MM_SS", "%2M(.%2S)?", "%2d", "m", TSM_MIN, true},
    {37, "unix-t-M_SS", "%M(.%2S)?", "%1d", "m", TSM_MIN, true},
    {37, "unix-dt-M_SS", "%M(.%2S)?", "%1d", "m", TSM_MIN, true},
    {38, "unix-dt-ccyymmddHHMM_SS", "%2c%2y%2m%2d%2H%2M(.%2S)?", "%4d%2d%2d%2d%2d", "YMDhm", TSM_MIN, true},
    {39, "unix-dt-cyymmddHHMM_SS", "%c%2y%2m%2d%2H%2M(.%2S)?", "%3d%2d%2d%2d%2d", "cMDhm", TSM_MIN, true},
    {40, "unix-dt-yymmddHHMM_SS", "%2y%2m%2d%2H%2M(.%2S)?", "%2d%2d%2d%2d%2d", "yMDhm", TSM_MIN, true},
    {41, "unix-dt-ymmddHHMM_SS", "%y%2m%2d%2H%2M(.%2S)?", "%1d%2d%2d%2d%2d", "yMDhm", TSM_MIN, true},
    {42, "unix-dt-mmddHHMM_SS", "%2m%2d%2H%2M(.%2S)?", "%2d%2d%2d%2d", "MDhm", TSM_MIN, true},
    {43, "unix-dt-mddHHMM_SS", "%m%2d%2H%2M(.%2S)?", "%1d%2d%2d%2d", "MDhm", TSM_MIN, true},
    {44, "unix-dt-ddHHMM_SS", "%2d%2H%2M(.%2S)?", "%2d%2d%2d", "Dhm", TSM_MIN, true},
    {45, "unix-dt-dHHMM_SS", "%d%2H%2M(.%2S)?", "%1d%2d%2d", "Dhm", TSM_MIN, true},
};

constexpr unsigned kNFmts = sizeof kFmts / sizeof kFmts[0];

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline tsr* node_tsr(const list_node* node) { return *static_cast<tsr**>(list_data(node)); }

const fmt_def* find_def(int id) {
  for (const fmt_def& d : kFmts)
    if (d.id == id) return &d;
  return nullptr;
}

// The scan elements, each standing for one or two characters.
int tsm_elem(char letter, int n, char* lists, unsigned size) {
  bool two = n == 2;
  const char* chl;
  switch (letter) {
    case 'H': chl = two ? "[0-2][0-9]" : "[0-9]"; break;
    case 'M':
    case 'S': chl = two ? "[0-5][0-9]" : "[0-9]"; break;
    case 'c':
    case 'y': chl = two ? "[0-9][0-9]" : "[0-9]"; break;
    case 'd': chl = two ? "[0-3][0-9]" : "[1-9]"; break;
    case 'm': chl = two ? "[01][0-9]" : "[1-9]"; break;
    default: return kParam;
  }
  int e = 0;
  mox_strcpy(lists, size, chl, &e);
  return e;
}

bool local_tm(time_t t, struct tm* out) {
#ifdef _WIN32
  return localtime_s(out, &t) == 0;
#else
  return localtime_r(&t, out) != nullptr;
#endif
}

// Reads the fields of a read form ("%4d-%2d" and the like: at most N digits each,
// other characters literal without regard to case). Returns the fields read.
int read_fields(const char* str, const char* form, int* vals, int nvals) {
  int nread = 0;
  const char* s = str;
  for (const char* f = form; *f; f++) {
    if (*f == '%') {
      int width = 0;
      while (f[1] >= '0' && f[1] <= '9') width = width * 10 + (*++f - '0');
      if (f[1] != 'd' || nread == nvals) return nread;
      f++;
      if (!width) width = 10;
      int v = 0, nd = 0;
      while (nd < width && *s >= '0' && *s <= '9') v = v * 10 + (*s++ - '0'), nd++;
      if (!nd) return nread;
      vals[nread++] = v;
    } else {
      if (tolower((unsigned char)*s) != tolower((unsigned char)*f)) return nread;
      s++;
    }
  }
  return nread;
}

int add_fmt(tsm* ts, const fmt_def& def) {
  for (unsigned i = 0; i < ts->nids; i++)
    if (ts->ids[i] == def.id) return 0;
  if (ts->nids >= TSM_MAX_FMTS) {
    ERR_LOG(ERR_ERR, kLimit, "Max fmts exceeded [%d].", (int)ts->nids + 1);
    return kLimit;
  }
  int e = ltm_list_add(&ts->fmts, def.id, def.name, def.scan, tsm_elem);
  if (!e) ts->ids[ts->nids++] = (unsigned char)def.id;
  return e;
}

int convert(struct tm* tm, time_t* t) {
  int e = 0;
  time_t v = mktime_local(tm, &e);
  if (e || v == (time_t)-1) return e ? e : kSyscall;
  *t = v;
  return 0;
}

// Reads str by def into the range [*ft, *tt); ref is the broken-down reference time.
int read_range(const fmt_def& def, const char* str, const struct tm& ref, time_t* ft, time_t* tt) {
  struct tm tm = ref;
  bool has_year = strpbrk(def.fields, "YcyC") != nullptr;
  if (has_year) {
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_wday = tm.tm_yday = 0;
  }
  tm.tm_sec = tm.tm_min = 0;
  if (strchr(def.fields, 'h') || strpbrk(def.fields, "YcyCMD")) tm.tm_hour = 0;
  tm.tm_isdst = -1;

  int vals[8];
  int nfields = (int)strlen(def.fields);
  if (read_fields(str, def.read, vals, nfields) != nfields) {
    ERR_LOG(ERR_ERR, kUnexpected, "sscanf() failed - fmt: `%s', str: `%s'.", def.read, str);
    return kUnexpected;
  }
  for (int i = 0; i < nfields; i++) {
    int v = vals[i];
    switch (def.fields[i]) {
      case 'Y': tm.tm_year = v - 1900; break;
      case 'c': tm.tm_year = kCyyBase + v - 1900; break;
      case 'y': tm.tm_year = (v >= kPivot ? 1900 + v : 2000 + v) - 1900; break;
      case 'C': tm.tm_year = v * 100 - 1900; break;
      case 'M': tm.tm_mon = v - 1; break;
      case 'D': tm.tm_mday = v; break;
      case 'h': tm.tm_hour = v; break;
      case 'm': tm.tm_min = v; break;
      case 's': tm.tm_sec = v; break;
    }
  }
  int prec = def.prec;
  if (def.dotsec) {
    const char* dot = strchr(str, '.');
    if (dot) {
      int sec = 0;
      if (read_fields(dot, ".%2d", &sec, 1) != 1) {
        ERR_LOG(ERR_ERR, kUnexpected, "sscanf() failed - fmt: `%s', str: `%s'.", ".%2d", dot);
        return kUnexpected;
      }
      tm.tm_sec = sec;
      prec = TSM_SEC;
    }
  }

  int e = tsm_validate(&tm, str);
  if (e) return e;
  struct tm fields = tm;  // before the conversion normalises it
  e = convert(&tm, ft);
  if (e) return e;

  switch (prec) {
    case TSM_SEC: *tt = *ft + 1; return 0;
    case TSM_MIN: *tt = *ft + 60; return 0;
    case TSM_HOUR: *tt = *ft + 3600; return 0;
    case TSM_DAY: *tt = *ft + 86400; return 0;
    case TSM_MONTH:
      if (++fields.tm_mon > 11) fields.tm_mon = 0, fields.tm_year++;
      break;
    case TSM_YEAR: fields.tm_year++; break;
    case TSM_CENTURY: fields.tm_year += 100; break;
  }
  fields.tm_isdst = -1;
  return convert(&fields, tt);
}

}  // namespace

int tsm_compile(rexm* re, const char* patt) { return ltm_compile_patt(re, patt, tsm_elem); }

int tsm_validate(const struct tm* tm, const char* str) {
  if (!tm) {
    ERR_LOG(ERR_ERR, kParam, "`tm' is NUL.");
    return kParam;
  }
  // in the order of the checks; the month is shown as written
  static constexpr struct {
    int tm::*field;
    int lo, hi, shown;
    const char* what;
  } kRanges[] = {
      {&tm::tm_mon, 0, 11, 1, "month"},        {&tm::tm_mday, 1, 31, 0, "day of month"},
      {&tm::tm_hour, 0, 23, 0, "hours"},       {&tm::tm_min, 0, 59, 0, "minutes"},
      {&tm::tm_sec, 0, 59, 0, "seconds"},      {&tm::tm_yday, 0, 365, 0, "day of year"},
      {&tm::tm_wday, 0, 6, 0, "day of week"},
  };
  for (const auto& r : kRanges) {
    int v = tm->*r.field;
    if (v < r.lo || v > r.hi) {
      ERR_LOG(ERR_ERR, kParam, "Invalid %s [%d] - `%s'.", r.what, v + r.shown, mox_nul(str));
      return kParam;
    }
  }
  return 0;
}

int tsm_clear(tsm* ts) {
  if (!ts) {
    ERR_LOG(ERR_ERR, kParam, "`tsm' is NUL.");
    return kParam;
  }
  memset(ts, 0, sizeof *ts);
  return 0;
}

int tsm_free(tsm* ts) {
  if (!ts) {
    ERR_LOG(ERR_ERR, kParam, "`tsm' is NUL.");
    return kParam;
  }
  ltm_list_free(&ts->fmts, "tsr");
  return tsm_clear(ts);
}

int tsm_add(tsm* ts, const char* patt) {
  if (!ts || !patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - tsm: %p, patt: `%s'.", (void*)ts, mox_nul(patt));
    return kParam;
  }
  int e = 0;
  if (!ts->fmts.datasize) e = list_init(&ts->fmts, sizeof(tsr*), 0, nullptr, nullptr, nullptr, nullptr);
  if (e) return e;
  strm sm;
  strm_clear(&sm);
  e = strm_init(&sm, patt, 0);
  for (unsigned i = 0; i < kNFmts && !e; i++) {
    int m = strm_match(&sm, kFmts[i].name, &e);
    if (m && !e) e = add_fmt(ts, kFmts[i]);
  }
  strm_free(&sm);
  return e;
}

int tsm_init(tsm* ts, const char* fmts) {
  if (!ts || !fmts || !*fmts) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - tsm: %p, fmts: `%s'.", (void*)ts, mox_nul(fmts));
    return kParam;
  }
  tsm_clear(ts);
  int e = list_init(&ts->fmts, sizeof(tsr*), 0, nullptr, nullptr, nullptr, nullptr);
  char val[TSM_MAX_PATT + 1];
  dv rd;
  dv_init(&rd, 0, 0, val, sizeof val);
  for (const char* v = dv_next(&rd, fmts, ", \t"); v && !e; v = dv_next(&rd, nullptr, ", \t"))
    e = tsm_add(ts, v);
  return e;
}

int tsm_match(const tsm* ts, const char* str, time_t* ft, time_t* tt, int* err) {
  set_err(err, 0);
  if (!ts) {
    ERR_LOG(ERR_ERR, kParam, "`tsm' is NUL.");
    set_err(err, kParam);
    return 0;
  }
  if (!str || !ft || !tt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - tsm: %p, str: `%s', ft: %p, tt: %p.", (const void*)ts,
            mox_nul(str), (void*)ft, (void*)tt);
    set_err(err, kParam);
    return 0;
  }
  if (!*str) return 0;
  struct tm ref;
  if (!local_tm(*ft, &ref)) {
    ERR_LOG(ERR_ERR, kSyscall, "localtime() failed - ft: %d.", (int)*ft);
    set_err(err, kSyscall);
    return 0;
  }
  int e = 0;
  const tsr* r = ltm_list_find(&ts->fmts, str, &e);
  if (!r) {
    set_err(err, e);
    return 0;
  }
  const fmt_def* def = find_def(r->id);
  if (!def) {
    ERR_LOG(ERR_ERR, kUnexpected, "Invalid fmt [%d:%s].", r->id, mox_nul(r->name));
    set_err(err, kUnexpected);
    return 0;
  }
  time_t from = 0, to = 0;
  e = read_range(*def, str, ref, &from, &to);
  if (e) {
    set_err(err, e);
    return 0;
  }
  *ft = from;
  *tt = to;
  return 1;
}

unsigned tsm_count(const tsm* ts) { return ts ? list_count(&ts->fmts) : 0; }

int tsm_fmt(const tsm* ts, unsigned idx, const char** name) {
  if (name) *name = nullptr;
  if (!ts) return 0;
  const list_node* n = list_first(&ts->fmts);
  for (; n && idx; idx--) n = list_next(n);
  const tsr* r = n ? node_tsr(n) : nullptr;
  if (!r) return 0;
  if (name) *name = r->name;
  return r->id;
}

unsigned tsm_table_size() { return kNFmts; }

int tsm_table_entry(unsigned idx, const char** name, int* prec, const char** scan) {
  if (idx >= kNFmts) return 0;
  if (name) *name = kFmts[idx].name;
  if (prec) *prec = kFmts[idx].prec;
  if (scan) *scan = kFmts[idx].scan;
  return kFmts[idx].id;
}
