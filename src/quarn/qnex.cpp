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

int unexpected_op(unsigned op) {
  ERR_LOG(ERR_ERR, 9012, "Unexpected op [%d].", (int)op);
  return 0;
}

int test_time(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_time_pri* v = static_cast<const qnex_time_pri*>(p);
  if (!d || !v) {
    const char* nm = v && v->pri.valtype == QNEX_BD ? "bpri" : v && v->pri.valtype == QNEX_MD ? "mpri" : "apri";
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, %s: %p.", usrdata, nm, p);
    return 0;
  }
  unsigned long long t = entry_time(d, (int)v->pri.valtype);
  switch (v->pri.op) {
    case 0: return v->fromft <= t && t < v->toft;
    case 1: return t < v->fromft;
    case 2: return t < v->toft;
    case 3: return t >= v->toft;
    case 4: return t >= v->fromft;
    default: return unexpected_op(v->pri.op);
  }
}

int test_attr(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_mask_pri* v = static_cast<const qnex_mask_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, apri: %p.", usrdata, p);
    return 0;
  }
  if (v->pri.op != QNEX_OP_ANY) return unexpected_op(v->pri.op);
  return (d->fd.dwFileAttributes & v->mask) != 0;
}

int test_depth(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_num_pri* v = static_cast<const qnex_num_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, dpri: %p.", usrdata, p);
    return 0;
  }
  unsigned depth = (unsigned)d->depth;
  switch (v->pri.op) {
    case 0: return depth == v->n;
    case 1: return depth < v->n;
    case 2: return depth <= v->n;
    case 3: return depth > v->n;
    case 4: return depth >= v->n;
    default: return unexpected_op(v->pri.op);
  }
}

int test_empty(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  if (!d || !p) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, pri: %p.", usrdata, p);
    return 0;
  }
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
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_age_pri* v = static_cast<const qnex_age_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, mpri: %p.", usrdata, p);
    return 0;
  }
  unsigned long long t = ft_u64(d->fd.ftLastWriteTime);
  switch (v->pri.op) {
    case 0: return v->startft <= t && t < v->endft;
    case 1: return t >= v->endft;
    case 2: return t >= v->startft;
    case 3: return t < v->startft;
    case 4: return t < v->endft;
    default: return unexpected_op(v->pri.op);
  }
}

int test_name(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_name_pri* v = static_cast<const qnex_name_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, npri: %p.", usrdata, p);
    return 0;
  }
  return fnm_match(&v->fnm, d->fd.cFileName) == 1;
}

int test_path(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_path_pri* v = static_cast<const qnex_path_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, ppri: %p.", usrdata, p);
    return 0;
  }
  return d->dir && pnm_match(&v->pnm, d->dir) == 1;
}

int test_size(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_size_pri* v = static_cast<const qnex_size_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, spri: %p.", usrdata, p);
    return 0;
  }
  unsigned long long s = (unsigned long long)d->fd.nFileSizeHigh << 32 | d->fd.nFileSizeLow;
  switch (v->pri.op) {
    case 0: return v->low <= s && s <= v->high;
    case 1: return s < v->low;
    case 2: return s <= v->high;
    case 3: return s > v->high;
    case 4: return s >= v->low;
    default: return unexpected_op(v->pri.op);
  }
}

int test_type(void* usrdata, void* p) {
  const qnd* d = static_cast<const qnd*>(usrdata);
  const qnex_type_pri* v = static_cast<const qnex_type_pri*>(p);
  if (!d || !v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnd: %p, tpri: %p.", usrdata, p);
    return 0;
  }
  bool isdir = (d->fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return (v->dirmask && isdir) || (v->isreg && !isdir);
}

// --- constructors -------------------------------------------------------------

void* time_new(qnexp* q, const char* value, int valtype, const char* id, int* err) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
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
  if (!q || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, nstr: `%s'.", (void*)q, value ? value : "NUL");
    set_err(err, 9003);
    return nullptr;
  }
  unsigned op = 0, n = 0;
  int rc = uintf_parse(&q->uintf, value, nullptr, &op, &n);
  if (rc) return invalid(rc, id, value, err);
  time_t now = q->now;
  struct tm tm;
  struct tm* lt = localtime(&now);
  if (!lt) {
    ERR_LOG(ERR_ERR, 9001, "localtime() failed - ft: %d.", (int)q->now);
    set_err(err, 9001);
    return nullptr;
  }
  tm = *lt;
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

void* qnex_attr_new(qnexp* q, const char* value, int* err) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  unsigned op = QNEX_OP_ANY, mask = 0;
  int rc = fattrf_parse(&q->fattrf, value, &op, &mask);
  if (rc) return invalid(rc, "Invalid `-attr': %s.", value ? value : "", err);
  qnex_mask_pri* v = pri_alloc<qnex_mask_pri>(QNEX_ATTR, test_attr, QNEX_OP_ANY, err);
  if (!v) return nullptr;
  v->mask = mask;
  return v;
}

void* qnex_depth_new(qnexp* q, const char* value, int* err) {
  if (!q || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, nstr: `%s'.", (void*)q, value ? value : "NUL");
    set_err(err, 9003);
    return nullptr;
  }
  unsigned op = 0, n = 0;
  int rc = uintf_parse(&q->uintf, value, nullptr, &op, &n);
  if (rc) return invalid(rc, "Invalid `-depth': %s.", value, err);
  qnex_num_pri* v = pri_alloc<qnex_num_pri>(QNEX_DEPTH, test_depth, op, err);
  if (!v) return nullptr;
  v->n = n;
  return v;
}

void* qnex_empty_new(qnexp* q, int* err) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  return pri_alloc<qnex_empty_pri>(QNEX_EMPTY, test_empty, 0, err);
}

namespace {

// Name and path primaries: the matcher reports a bad pattern itself.
template <class T, class M>
void* matcher_new(qnexp* q, const char* patt, int flags, int valtype, ex_test_fn test,
                  int (*init)(M*, const char*, int), M T::*matcher, int* err) {
  if (!q || !patt) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, patt: `%s'.", (void*)q, patt ? patt : "NUL");
    set_err(err, 9003);
    return nullptr;
  }
  T* v = pri_alloc<T>(valtype, test, QNEX_OP_MATCH, err);
  if (!v) return nullptr;
  int rc = init(&(v->*matcher), patt, flags);
  if (rc) {
    qnex_free(v);
    free(v);
    set_err(err, rc);
    return nullptr;
  }
  return v;
}

}  // namespace

void* qnex_name_new(qnexp* q, const char* patt, int flags, int* err) {
  return matcher_new(q, patt, flags, QNEX_NAME, test_name, fnm_init, &qnex_name_pri::fnm, err);
}

void* qnex_path_new(qnexp* q, const char* patt, int flags, int* err) {
  return matcher_new(q, patt, flags, QNEX_PATH, test_path, pnm_init, &qnex_path_pri::pnm, err);
}

void* qnex_size_new(qnexp* q, const char* value, int* err) {
  if (!q || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, nstr: `%s'.", (void*)q, value ? value : "NUL");
    set_err(err, 9003);
    return nullptr;
  }
  unsigned op = 0, n = 0, unit = 1;
  int rc = fszf_parse(&q->fszf, value, &op, &n, &unit);
  if (rc) return invalid(rc, "Invalid `-size': %s.", value, err);
  qnex_size_pri* v = pri_alloc<qnex_size_pri>(QNEX_SIZE, test_size, op, err);
  if (!v) return nullptr;
  // half a unit either way: 10k is 9728 to 10752 bytes
  unsigned long long u = unit, half = u >= 2 ? u / 2 : 0;
  v->n = n;
  if (n == 0) {
    v->low = 0;
    v->high = half;
  } else {
    unsigned long long val = u * n;
    v->low = val - half;
    v->high = val + half;
  }
  return v;
}

void* qnex_type_new(qnexp* q, const char* value, int* err) {
  if (!q) {
    ERR_LOG(ERR_ERR, 9003, "`qnexp' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
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
