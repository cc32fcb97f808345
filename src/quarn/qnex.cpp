#include "quarn/qnex.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "c/futil.h"
#include "c/timecvt.h"
#include "c/timeutil.h"
#include "err/err.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"
#include "txr/txr.h"

namespace {

const txr* g_texts = nullptr;
constexpr const char* kCtx = "err.qnex";

// Seconds since 1970 as a file time; times before 1601 become 0.
unsigned long long secs_to_ft(long long t) {
  long long s = t + TIMECVT_EPOCH_DIFF;
  return s <= 0 ? 0 : (unsigned long long)s * TIMECVT_FT_PER_SEC;
}

// Reports a bad operand to the user in the store's words; returns no primary.
void* invalid(int code, const char* id, const char* value, int* err) {
  const char* fmt = g_texts ? txr_get(g_texts, kCtx, id) : id;
  ERR_USER(ERR_ERR, code, fmt ? fmt : id, value);
  if (err) *err = code;
  return nullptr;
}

template <class T>
T* pri_alloc(int valtype, ex_test_fn test, unsigned op, int* err) {
  T* v = static_cast<T*>(calloc(1, sizeof(T)));
  if (!v) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(T));
    if (err) *err = 9004;
    return nullptr;
  }
  v->pri.head.type = EX_PRIMARY;
  v->pri.head.negate = 0;
  v->pri.head.u.test = test;
  v->pri.op = op;
  v->pri.valtype = (unsigned)valtype;
  return v;
}

int set_err(int* err, int code) {
  if (err) *err = code;
  return code;
}

unsigned long long entry_time(const qnd* d, int valtype) {
  const FILETIME& ft = valtype == QNEX_AD   ? d->fd.ftLastAccessTime
                       : valtype == QNEX_BD ? d->fd.ftCreationTime
                                            : d->fd.ftLastWriteTime;
  return ft_u64(ft);
}

// --- tests --------------------------------------------------------------------

// The entry a test runs on, or none (logged) when the entry or the value is absent;
// nm names the value in the message.
const qnd* entry_of(void* usrdata, const void* p, const char* nm) {
  if (!usrdata || !p) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, %s: %p.", usrdata, nm, p);
    return nullptr;
  }
  return static_cast<const qnd*>(usrdata);
}

int unexpected_op(unsigned op) {
  ERR_LOG(ERR_ERR, 9012, "Unexpected op [%d].", (int)op);
  return 0;
}

// x against the half-open range [lo, hi): 0 within, 1 before, 2 before its end,
// 3 after, 4 from its start on.
int in_range(unsigned op, unsigned long long x, unsigned long long lo, unsigned long long hi) {
  switch (op) {
    case 0: return lo <= x && x < hi;
    case 1: return x < lo;
    case 2: return x < hi;
    case 3: return x >= hi;
    case 4: return x >= lo;
    default: return unexpected_op(op);
  }
}

int test_time(void* usrdata, void* p) {
  const qnex_time_pri* v = static_cast<const qnex_time_pri*>(p);
  const char* nm = v && v->pri.valtype == QNEX_BD ? "bpri" : v && v->pri.valtype == QNEX_MD ? "mpri" : "apri";
  const qnd* d = entry_of(usrdata, p, nm);
  return d && in_range(v->pri.op, entry_time(d, (int)v->pri.valtype), v->fromft, v->toft);
}

int test_attr(void* usrdata, void* p) {
  const qnex_mask_pri* v = static_cast<const qnex_mask_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "apri");
  if (!d) return 0;
  if (v->pri.op != QNEX_OP_ANY) return unexpected_op(v->pri.op);
  return (d->fd.dwFileAttributes & v->mask) != 0;
}

int test_depth(void* usrdata, void* p) {
  const qnex_num_pri* v = static_cast<const qnex_num_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "dpri");
  return d && in_range(v->pri.op, (unsigned)d->depth, v->n, v->n + 1ull);
}

int test_empty(void* usrdata, void* p) {
  const qnd* d = entry_of(usrdata, p, "pri");
  if (!d) return 0;
  if (!(d->fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return d->fd.nFileSizeHigh == 0 && d->fd.nFileSizeLow == 0;
  char path[MAX_PATH * 16];
  mox_path_add_sep(d->dir, path, sizeof path);
  size_t n = strlen(path);
  if (n + strlen(d->fd.cFileName) + 1 > sizeof path) return 0;
  strcpy(path + n, d->fd.cFileName);
  return mox_dir_is_empty(path);
}

int test_age(void* usrdata, void* p) {
  const qnex_age_pri* v = static_cast<const qnex_age_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "mpri");
  if (!d) return 0;
  // an age counts back from now: "less than n units back" is after the window
  static constexpr unsigned kMirror[] = {0, 3, 4, 1, 2};
  unsigned op = v->pri.op < 5 ? kMirror[v->pri.op] : v->pri.op;
  return in_range(op, ft_u64(d->fd.ftLastWriteTime), v->startft, v->endft);
}

int test_name(void* usrdata, void* p) {
  const qnex_name_pri* v = static_cast<const qnex_name_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "npri");
  return d && fnm_match(&v->fnm, d->fd.cFileName) == 1;
}

int test_path(void* usrdata, void* p) {
  const qnex_path_pri* v = static_cast<const qnex_path_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "ppri");
  return d && d->dir && pnm_match(&v->pnm, d->dir) == 1;
}

int test_size(void* usrdata, void* p) {
  const qnex_size_pri* v = static_cast<const qnex_size_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "spri");
  if (!d) return 0;
  unsigned long long s = (unsigned long long)d->fd.nFileSizeHigh << 32 | d->fd.nFileSizeLow;
  return in_range(v->pri.op, s, v->low, v->high + 1);  // both ends belong to the size
}

int test_type(void* usrdata, void* p) {
  const qnex_type_pri* v = static_cast<const qnex_type_pri*>(p);
  const qnd* d = entry_of(usrdata, p, "tpri");
  if (!d) return 0;
  bool isdir = (d->fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return (v->dirmask && isdir) || (v->isreg && !isdir);
}

// --- constructors -------------------------------------------------------------

bool has_qnexp(const qnexp* q, int* err) {
  if (q) return true;
  ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
  set_err(err, 9003);
  return false;
}

bool has_number(const qnexp* q, const char* value, int* err) {
  if (q && value) return true;
  ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, nstr: `%s'.", (const void*)q, value ? value : "NUL");
  set_err(err, 9003);
  return false;
}

// -depth, -mmin, -mtime: a comparison and a number; a bad one is reported.
bool read_number(qnexp* q, const char* value, const char* id, unsigned* op, unsigned* n, int* err) {
  if (!has_number(q, value, err)) return false;
  const char* end = value;
  int rc = uintf_parse(&q->uintf, value, &end, op, n);
  // a value without a number would silently mean 0
  bool digits = false;
  for (const char* c = value; !rc && end && c < end; c++) digits = digits || (*c >= '0' && *c <= '9');
  if (!rc && !digits) rc = 9003;
  if (rc) invalid(rc, id, value, err);
  return rc == 0;
}

void* time_new(qnexp* q, const char* value, int valtype, const char* id, int* err) {
  if (!has_qnexp(q, err)) return nullptr;
  unsigned op = 0;
  time_t from = q->now, to = 0;
  int rc = timef_parse(&q->timef, value ? value : "", &op, &from, &to);
  if (rc) return invalid(rc, id, value ? value : "", err);
  qnex_time_pri* v = pri_alloc<qnex_time_pri>(valtype, test_time, op, err);
  if (!v) return nullptr;
  v->from = (int)from;
  v->to = (int)to;
  v->fromft = secs_to_ft(from);
  v->toft = secs_to_ft(to);
  return v;
}

void* age_new(qnexp* q, const char* value, int valtype, const char* id, int* err) {
  unsigned op = 0, n = 0;
  if (!read_number(q, value, id, &op, &n, err)) return nullptr;
  time_t now = q->now;
  struct tm* lt = localtime(&now);
  if (!lt) {
    ERR_LOG(ERR_ERR, 9001, "localtime() failed - ft: %d.", (int)q->now);
    set_err(err, 9001);
    return nullptr;
  }
  struct tm tm = *lt;
  tm.tm_sec = 0;
  if (valtype == QNEX_MTIME) tm.tm_min = tm.tm_hour = 0;
  int code = 0;
  long long base = (long long)mktime_local(&tm, &code);
  if (code) {
    set_err(err, code);
    return nullptr;
  }
  long long unit = valtype == QNEX_MTIME ? 86400 : 60;
  long long start = base - (long long)n * unit;
  qnex_age_pri* v = pri_alloc<qnex_age_pri>(valtype, test_age, op, err);
  if (!v) return nullptr;
  v->n = n;
  v->startft = secs_to_ft(start);
  v->endft = secs_to_ft(start + unit);
  return v;
}

// Name and path primaries: the matcher reports a bad pattern itself.
template <class T, class M>
void* matcher_new(qnexp* q, const char* patt, int flags, int valtype, ex_test_fn test,
                  int (*init)(M*, const char*, int), M T::*matcher, int* err) {
  if (!q || !patt) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, patt: `%s'.", (void*)q, patt ? patt : "NUL");
    set_err(err, 9003);
    return nullptr;
  }
  // A backslash before a blank or tab only kept it inside the value word (the name
  // pattern would take the backslash literally, the path pattern as a separator).
  char* unescaped = nullptr;
  if (strstr(patt, "\\ ") || strstr(patt, "\\\t")) {
    const size_t len = strlen(patt);
    unescaped = static_cast<char*>(malloc(len + 1));
    if (!unescaped) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(len + 1));
      set_err(err, 9004);
      return nullptr;
    }
    char* o = unescaped;
    for (const char* c = patt; *c; c++)
      if (!(c[0] == '\\' && (c[1] == ' ' || c[1] == '\t'))) *o++ = *c;
    *o = 0;
    patt = unescaped;
  }
  T* v = pri_alloc<T>(valtype, test, QNEX_OP_MATCH, err);
  int rc = v ? init(&(v->*matcher), patt, flags) : 0;
  free(unescaped);
  if (!v) return nullptr;
  if (rc) {
    qnex_free(v);
    free(v);
    set_err(err, rc);
    return nullptr;
  }
  return v;
}

}  // namespace

void qnex_set_texts(const txr* tx) { g_texts = tx; }

void* qnex_ad_new(qnexp* q, const char* value, int* err) {
  return time_new(q, value, QNEX_AD, "Invalid `-ad': %s.", err);
}
void* qnex_bd_new(qnexp* q, const char* value, int* err) {
  return time_new(q, value, QNEX_BD, "Invalid `-Bd': %s.", err);
}
void* qnex_md_new(qnexp* q, const char* value, int* err) {
  return time_new(q, value, QNEX_MD, "Invalid `-md': %s.", err);
}
void* qnex_mmin_new(qnexp* q, const char* value, int* err) {
  return age_new(q, value, QNEX_MMIN, "Invalid `-mmin': %s.", err);
}
void* qnex_mtime_new(qnexp* q, const char* value, int* err) {
  return age_new(q, value, QNEX_MTIME, "Invalid `-mtime': %s.", err);
}
void* qnex_name_new(qnexp* q, const char* patt, int flags, int* err) {
  return matcher_new(q, patt, flags, QNEX_NAME, test_name, fnm_init, &qnex_name_pri::fnm, err);
}
void* qnex_path_new(qnexp* q, const char* patt, int flags, int* err) {
  return matcher_new(q, patt, flags, QNEX_PATH, test_path, pnm_init, &qnex_path_pri::pnm, err);
}

void* qnex_attr_new(qnexp* q, const char* value, int* err) {
  if (!has_qnexp(q, err)) return nullptr;
  unsigned op = QNEX_OP_ANY, mask = 0;
  int rc = fattrf_parse(&q->fattrf, value, &op, &mask);
  if (rc) return invalid(rc, "Invalid `-attr': %s.", value ? value : "", err);
  qnex_mask_pri* v = pri_alloc<qnex_mask_pri>(QNEX_ATTR, test_attr, QNEX_OP_ANY, err);
  if (v) v->mask = mask;
  return v;
}

void* qnex_depth_new(qnexp* q, const char* value, int* err) {
  unsigned op = 0, n = 0;
  if (!read_number(q, value, "Invalid `-depth': %s.", &op, &n, err)) return nullptr;
  qnex_num_pri* v = pri_alloc<qnex_num_pri>(QNEX_DEPTH, test_depth, op, err);
  if (v) v->n = n;
  return v;
}

void* qnex_empty_new(qnexp* q, int* err) {
  if (!has_qnexp(q, err)) return nullptr;
  return pri_alloc<qnex_empty_pri>(QNEX_EMPTY, test_empty, 0, err);
}

void* qnex_size_new(qnexp* q, const char* value, int* err) {
  if (!has_number(q, value, err)) return nullptr;
  unsigned op = 0, n = 0, unit = 1;
  int rc = fszf_parse(&q->fszf, value, &op, &n, &unit);
  if (rc) return invalid(rc, "Invalid `-size': %s.", value, err);
  qnex_size_pri* v = pri_alloc<qnex_size_pri>(QNEX_SIZE, test_size, op, err);
  if (!v) return nullptr;
  // half a unit either way: 10k is 9728 to 10752 bytes
  unsigned long long u = unit, half = u >= 2 ? u / 2 : 0, val = u * n;
  v->n = n;
  v->low = n ? val - half : 0;
  v->high = val + half;
  return v;
}

void* qnex_type_new(qnexp* q, const char* value, int* err) {
  if (!has_qnexp(q, err)) return nullptr;
  unsigned op = QNEX_OP_ANY, dirmask = 0, isreg = 0;
  int rc = ftypef_parse(&q->ftypef, value, &op, &dirmask, &isreg);
  if (rc) return invalid(rc, "Invalid `-type': %s.", value ? value : "", err);
  qnex_type_pri* v = pri_alloc<qnex_type_pri>(QNEX_TYPE, test_type, QNEX_OP_ANY, err);
  if (!v) return nullptr;
  v->dirmask = dirmask;
  v->isreg = isreg;
  return v;
}

int qnex_free(void* p) {
  qnex_pri* v = static_cast<qnex_pri*>(p);
  if (!v) {
    ERR_LOG(ERR_ERR, 9003, "`pri' is NUL.");
    return 9003;
  }
  switch (v->valtype) {
    case QNEX_NAME: fnm_free(&reinterpret_cast<qnex_name_pri*>(v)->fnm); break;
    case QNEX_PATH: pnm_free(&reinterpret_cast<qnex_path_pri*>(v)->pnm); break;
    case QNEX_AD: case QNEX_ATTR: case QNEX_BD: case QNEX_DEPTH: case QNEX_EMPTY: case QNEX_MD:
    case QNEX_MMIN: case QNEX_MTIME: case QNEX_SIZE: case QNEX_TYPE: break;
    default:
      ERR_LOG(ERR_ERR, 9012, "Unexpected valtype [%d].", (int)v->valtype);
      return 9012;
  }
  ex_pri_clear(&v->head);
  return 0;
}
