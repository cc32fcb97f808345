// Resource manager and databases: storage in a tree ordered from the last
// component backwards, lookup by score, typed access, saving and callbacks.
#include "xrm/xrm.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;

// The manager's mutex. A thread that holds it already only counts the nesting, so a
// load or a reader of many resources pays for the system's mutex once.
int lock_mgr(xrm* x) {
  const unsigned long me = GetCurrentThreadId();
  if (__atomic_load_n(&x->owner, __ATOMIC_RELAXED) == me) {
    ++x->depth;
    return 0;
  }
  int rc = mutex_lock(&x->mtx, XRM_LOCK_TIMEOUT);
  if (rc) return rc;
  __atomic_store_n(&x->owner, me, __ATOMIC_RELAXED);
  x->depth = 1;
  return 0;
}

int unlock_mgr(xrm* x) {
  if (__atomic_load_n(&x->owner, __ATOMIC_RELAXED) != GetCurrentThreadId() || !x->depth) {
    ERR_LOG(ERR_ERR, 9012, "Not the owner - xrm[%p], owner: %lu.", (void*)x, x->owner);
    return 9012;
  }
  if (--x->depth) return 0;
  __atomic_store_n(&x->owner, 0ul, __ATOMIC_RELAXED);
  return mutex_unlock(&x->mtx);
}

// Holds the manager's mutex for a scope.
class Lock {
 public:
  explicit Lock(xrm* x) : x_(x), rc_(x ? lock_mgr(x) : kParam) {}
  ~Lock() {
    if (!rc_) unlock_mgr(x_);
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  int rc() const { return rc_; }

 private:
  xrm* x_;
  int rc_;
};

// Frees a heap pointer at the end of a scope.
template <typename T>
struct HeapPtr {
  T* p = nullptr;
  ~HeapPtr() { free(p); }
};

char* dup_text(const char* s) {
  size_t n = strlen(s);
  char* d = static_cast<char*>(malloc(n + 1));
  if (!d) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)n);
    return nullptr;
  }
  memcpy(d, s, n + 1);
  return d;
}

// Resource key: the quark list, its components and the resource pattern text in one block.
quarks* key_new(const quarks* parsed) {
  const size_t len = strlen(parsed->text);
  const size_t size = sizeof(quarks) + parsed->nquarks * sizeof(xquark) + len + 1;
  void* blk = malloc(size);
  if (!blk) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)size);
    return nullptr;
  }
  quarks* k = static_cast<quarks*>(blk);
  k->q = reinterpret_cast<xquark*>(k + 1);
  char* text = reinterpret_cast<char*>(k->q + parsed->nquarks);
  memcpy(k->q, parsed->q, parsed->nquarks * sizeof(xquark));
  memcpy(text, parsed->text, len + 1);
  k->text = text;
  k->nquarks = parsed->nquarks;
  return k;
}

const quarks* key_of(const void* slot) { return *static_cast<const quarks* const*>(slot); }

int key_cmp(unsigned, const void* k1, unsigned, unsigned, const void* k2, unsigned, void*) {
  return xq_cmp(key_of(k1), key_of(k2));
}
int ptr_release(unsigned, void* slot, unsigned*, unsigned*, void*) {
  free(*static_cast<void**>(slot));
  *static_cast<void**>(slot) = nullptr;
  return 0;
}

char*& val_slot(db* d, rbtree_node* n) { return *static_cast<char**>(rbtree_val(&d->res, n)); }
cbi* cbi_of(const list_node* n) { return *static_cast<cbi* const*>(list_data(n)); }

void db_destroy(db* d) {
  list_free(&d->cbs);
  rbtree_free(&d->res);
  free(d);
}

int db_release(unsigned, void* slot, unsigned*, unsigned*, void*) {
  db* d = *static_cast<db**>(slot);
  if (d) db_destroy(d);
  *static_cast<db**>(slot) = nullptr;
  return 0;
}

void purge_removed(db* d) {
  for (list_node* n = list_first(&d->cbs); n;) {
    if (cbi_of(n)->removed)
      n = list_remove(&d->cbs, n);
    else
      n = list_next(n);
  }
}

void notify(db* d, unsigned long event, const char* spec, const char* value) {
  if (!list_count(&d->cbs)) return;
  ++d->depth;
  for (list_node* n = list_first(&d->cbs); n; n = list_next(n)) {
    const cbi* c = cbi_of(n);
    if (c->removed || !(c->mask & event)) continue;
    if (c->cb(d, event, spec, value, c->usrdata)) break;
  }
  if (--d->depth == 0) purge_removed(d);
}

// The first resource in tree order whose last component is last's, found by one
// descent (the run of equal last components may be long: "ids", "name").
const rbtree_node* first_with_last(const rbtree* t, const quarks* last) {
  const rbtree_node* found = nullptr;
  for (const rbtree_node* n = t->root; n;) {
    const int c = xq_cmp_last(key_of(rbtree_key(n)), last);
    if (c < 0) {
      n = n->right;
    } else {
      if (!c) found = n;
      n = n->left;
    }
  }
  return found;
}

// The best resource for a parsed query, or nullptr.
const rbtree_node* best_match(const db* d, const quarks* name, const quarks* cls) {
  const rbtree_node* best = nullptr;
  unsigned bestscore = 0;
  const quarks* lasts[2] = {name, cls && cls->nquarks ? cls : nullptr};
  if (lasts[1] && !xq_cmp_last(name, lasts[1])) lasts[1] = nullptr;
  for (const quarks* last : lasts) {
    if (!last) continue;
    for (const rbtree_node* n = first_with_last(&d->res, last);
         n && !xq_cmp_last(key_of(rbtree_key(n)), last); n = rbtree_next(n)) {
      unsigned s = xq_match(name, cls, key_of(rbtree_key(n)));
      if (s > bestscore) {
        bestscore = s;
        best = n;
      }
    }
  }
  return best;
}

bool has_star(const char* s) { return s && strchr(s, '*'); }

// Looks up name/cls under the held mutex; *text points into the database.
int lookup(db* d, const char* name, const char* cls, int qualify, const char** text) {
  if (has_star(name) || has_star(cls)) {
    ERR_LOG(ERR_ERR, kParam, "Not fully qualified name/class - name: `%s', cls: `%s'.", mox_nul(name), mox_nul(cls));
    return kParam;
  }
  char nbuf[XRM_NAME_SIZE], cbuf[XRM_NAME_SIZE];
  if (qualify) {
    name = xrm_qualify(d->owner, name, nbuf, sizeof nbuf);
    if (cls && *cls) cls = xrm_qualify(d->owner, cls, cbuf, sizeof cbuf);
  }
  xquark nq[XRM_MAXQUARKS], cq[XRM_MAXQUARKS];
  quarks nql, cql;
  xq_init(&nql, nq);
  xq_init(&cql, cq);
  int rc = xq_parse(name ? name : "", &nql, XRM_MAXQUARKS);
  if (!rc && cls && *cls) rc = xq_parse(cls, &cql, XRM_MAXQUARKS);
  if (rc) return rc;
  if (cql.nquarks && cql.nquarks != nql.nquarks) {
    ERR_LOG(ERR_ERR, kParam, "Resource name/class mismatch - name: `%s', cls: `%s'.", mox_nul(name), mox_nul(cls));
    return kParam;
  }
  const rbtree_node* n = best_match(d, &nql, &cql);
  if (!n) return kNotFound;
  *text = *static_cast<char* const*>(rbtree_val(&d->res, n));
  return 0;
}

// "prefix.name", or name alone without a prefix.
int join_name(char* buf, unsigned size, const char* prefix, const char* name) {
  int rc = prefix && *prefix ? mox_snprintf(buf, size, "%s.%s", prefix, name) : mox_snprintf(buf, size, "%s", name);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", size);
  return rc;
}

int item_qualify(const cfg_item& it, int dflt) {
  if (it.flags & XRM_ITEM_QUALIFY) return 1;
  if (it.flags & XRM_ITEM_NOQUALIFY) return 0;
  return dflt;
}

void* slot_at(const void* base, unsigned off) {
  return const_cast<char*>(static_cast<const char*>(base)) + off;
}

}  // namespace

int xrm_init(xrm* x, const char* app, const char* com, const char* usrname, void* w1, void* w2) {
  if (!x) {
    ERR_LOG(ERR_ERR, kParam, "`xrm' is NUL.");
    return kParam;
  }
  xrm_free(x);
  if (!app || !*app || !com || !*com) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - xrm: %p, app: `%s', com: `%s'.", (void*)x, mox_nul(app), mox_nul(com));
    return kParam;
  }
  int rc = mutex_init(&x->mtx);
  if (!rc) rc = list_init(&x->dbs, sizeof(db*), 0, nullptr, db_release, nullptr, nullptr);
  if (rc) {
    xrm_free(x);
    return rc;
  }
  char login[XRM_USRNAME_SIZE] = "";
  if (!usrname) {
    DWORD n = sizeof login;
    if (GetUserNameA(login, &n)) {
      usrname = login;
    } else {
      ERR_LOG(ERR_ERR, (int)GetLastError(), "GetUserName() failed - size: %u.", (unsigned)sizeof login);
    }
  }
  x->app = dup_text(app);
  x->com = dup_text(com);
  if (usrname && *usrname) {
    char name[XRM_USRNAME_SIZE];
    mox_strcpy(name, sizeof name, usrname);
    x->usrname = dup_text(name);
    if (!x->usrname) rc = kNoMem;
  }
  if (!x->app || !x->com || rc) {
    xrm_free(x);
    return kNoMem;
  }
  x->w1 = w1;
  x->w2 = w2;
  return 0;
}

void xrm_free(xrm* x) {
  if (!x) return;
  list_free(&x->dbs);
  free(x->usrname);
  free(x->app);
  free(x->com);
  if (x->mtx.h) mutex_free(&x->mtx);
  memset(x, 0, sizeof *x);
}

db* xrm_db_new(xrm* x) {
  if (!x) {
    ERR_LOG(ERR_ERR, kParam, "`xrm' is NUL.");
    return nullptr;
  }
  Lock lock(x);
  if (lock.rc()) return nullptr;
  db* d = static_cast<db*>(calloc(1, sizeof(db)));
  if (!d) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(db));
    return nullptr;
  }
  d->owner = x;
  int rc = rbtree_init(&d->res, sizeof(quarks*), 0, key_cmp, nullptr, ptr_release, nullptr, sizeof(char*), VAL_STR,
                       nullptr, ptr_release, nullptr, nullptr);
  if (!rc) rc = list_init(&d->cbs, sizeof(cbi*), 0, nullptr, ptr_release, nullptr, nullptr);
  if (!rc && !list_append(&x->dbs, &d, &rc) && !rc) rc = kNoMem;
  if (rc) {
    db_destroy(d);
    return nullptr;
  }
  return d;
}

void xrm_db_free(db* d) {
  if (!d) return;
  xrm* x = d->owner;
  if (x) {
    Lock lock(x);
    for (list_node* n = list_first(&x->dbs); n; n = list_next(n)) {
      if (*static_cast<db**>(list_data(n)) == d) {
        list_remove(&x->dbs, n);
        return;
      }
    }
  }
  db_destroy(d);
}

int xrm_lock(db* d) {
  if (!d || !d->owner) {
    ERR_LOG(ERR_ERR, kParam, "`db' is NUL.");
    return kParam;
  }
  return lock_mgr(d->owner);
}

int xrm_unlock(db* d) {
  if (!d || !d->owner) {
    ERR_LOG(ERR_ERR, kParam, "`db' is NUL.");
    return kParam;
  }
  return unlock_mgr(d->owner);
}

char* xrm_qualify(const xrm* x, const char* name, char* buf, unsigned bufsize) {
  if (!x || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - xrm: %p, buf: %p, bufsize: %u.", (const void*)x, (void*)buf, bufsize);
    return buf;
  }
  *buf = 0;
  if (!name || !*name) return buf;
  char ibuf[XRM_NAME_SIZE] = "";
  int rc = 0;
  if (x->usrname) {
    mox_strcpy(ibuf, sizeof ibuf, x->usrname, &rc);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, usrname: %u `%s'.", (unsigned)sizeof ibuf,
              (unsigned)strlen(x->usrname), x->usrname);
      return buf;
    }
  }
  if (x->app) {
    if (*ibuf) mox_strcat(ibuf, sizeof ibuf, ".", &rc);
    if (!rc) mox_strcat(ibuf, sizeof ibuf, x->app, &rc);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, app: %u `%s'.", (unsigned)sizeof ibuf,
              (unsigned)strlen(x->app), x->app);
      return buf;
    }
  }
  if (*ibuf && *name != '.' && *name != '*') mox_strcat(ibuf, sizeof ibuf, ".", &rc);
  if (!rc) mox_strcat(ibuf, sizeof ibuf, name, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, name: %u `%s'.", (unsigned)sizeof ibuf,
            (unsigned)strlen(name), name);
    return buf;
  }
  mox_strcpy(buf, bufsize, ibuf, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, ibuf: %u `%s'.", bufsize, (unsigned)strlen(ibuf), ibuf);
    *buf = 0;
  }
  return buf;
}

int xrm_put(db* d, const char* spec, int qualify, const char* value) {
  if (!d || !spec || !*spec) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, spec: `%s'.", (void*)d, mox_nul(spec));
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  char qbuf[XRM_NAME_SIZE];
  if (qualify) {
    spec = xrm_qualify(d->owner, spec, qbuf, sizeof qbuf);
    if (!*spec) return kCut;
  }
  xquark comps[XRM_MAXQUARKS];
  quarks ql;
  xq_init(&ql, comps);
  int rc = xq_parse(spec, &ql, XRM_MAXQUARKS);
  if (rc) return rc;
  if (!ql.nquarks) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, spec: `%s'.", (void*)d, spec);
    return kParam;
  }
  if (!value) value = "";
  char* copy = dup_text(value);
  if (!copy) return kNoMem;
  const quarks* probe = &ql;
  if (rbtree_node* n = rbtree_find(&d->res, &probe)) {
    free(val_slot(d, n));
    val_slot(d, n) = copy;
  } else {
    quarks* key = key_new(&ql);
    if (!key) {
      free(copy);
      return kNoMem;
    }
    if (!rbtree_insert(&d->res, &key, &copy, &rc)) {
      free(key);
      free(copy);
      return rc ? rc : kNoMem;
    }
  }
  notify(d, XRM_EV_SET, spec, value);
  return 0;
}

int xrm_put_val(db* d, const char* spec, int qualify, unsigned valtype, const void* val, unsigned valsize,
                const enum_list* enums) {
  if (!d || !spec || !*spec) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, spec: `%s'.", (void*)d, mox_nul(spec));
    return kParam;
  }
  if (!val) {
    ERR_LOG(ERR_ERR, kParam, "`val' is NULL - spec: `%s'.", spec);
    return kParam;
  }
  if (val_is_text(valtype)) return xrm_put(d, spec, qualify, static_cast<const char*>(val));
  if (valtype == VAL_ENUM) {
    const char* ename = nullptr;
    if (!enums || enum_to_str(enums, *static_cast<const int*>(val), &ename)) {
      ERR_LOG(ERR_ERR, kNotFound, "Enum value [%d] not found - spec: `%s'.", *static_cast<const int*>(val), spec);
      return kNotFound;
    }
    return xrm_put(d, spec, qualify, ename);
  }
  HeapPtr<char> buf{static_cast<char*>(malloc(XRM_VALUE_SIZE))};
  if (!buf.p) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", XRM_VALUE_SIZE);
    return kNoMem;
  }
  int rc = val_to_str(buf.p, XRM_VALUE_SIZE, valtype, val, valsize);
  if (rc) return rc;
  return xrm_put(d, spec, qualify, buf.p);
}

int xrm_get(db* d, const char* name, const char* cls, int qualify, unsigned valtype, void* val, unsigned* valsize,
            unsigned* valmaxsize, const enum_list* enums) {
  if (!d || !val) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, val: %p.", (void*)d, val);
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  const char* text = nullptr;
  int rc = lookup(d, name, cls, qualify, &text);
  if (rc) return rc;
  if (valtype == VAL_ENUM) {
    if (!enums || enum_from_str(enums, text, static_cast<int*>(val))) {
      ERR_LOG(ERR_ERR, 9012, "Invalid enum name [%s] - name: `%s', cls: `%s'.", text, mox_nul(name), mox_nul(cls));
      return 9012;
    }
    return 0;
  }
  return val_set(valtype, val, valsize, valmaxsize, VAL_STR, text, 0);
}

int xrm_get_str(db* d, const char* name, const char* cls, int qualify, char* buf, unsigned bufsize) {
  if (!d || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, buf: %p, bufsize: %u.", (void*)d, (void*)buf, bufsize);
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  const char* text = nullptr;
  int rc = lookup(d, name, cls, qualify, &text);
  if (rc) return rc;
  mox_strcpy(buf, bufsize, text, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "Value too long - name: `%s', len: %u, bufsize: %u.", mox_nul(name),
                  (unsigned)strlen(text), bufsize);
  return rc;
}

int xrm_get_items(db* d, void* items_val_base, unsigned nitems, const cfg_item* items, const char* nprefix,
                  const char* cprefix, int qualify) {
  if (!d || !items_val_base || (nitems && !items)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, items_val_base: %p, nitems: %u, items: %p.", (void*)d,
            items_val_base, nitems, (const void*)items);
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  HeapPtr<char> text;
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    if (!it.xrm_name || it.valtype == VAL_PTR) continue;  // pointers have no text form
    char name[XRM_NAME_SIZE], cls[XRM_NAME_SIZE] = "";
    int rc = join_name(name, sizeof name, nprefix, it.xrm_name);
    if (!rc && it.xrm_class) rc = join_name(cls, sizeof cls, cprefix, it.xrm_class);
    if (rc) return rc;
    const int q = item_qualify(it, qualify);
    unsigned *vs = nullptr, *vms = nullptr;
    rc = cfg_valsizes(items_val_base, it.valtype, it.valsize_off, it.valmaxsize_off, &vs, &vms);
    if (rc) return rc;
    void* slot = slot_at(items_val_base, it.val_off);
    if (it.flags & CFG_F_CVT) {
      if (!it.cb.cvt) {
        ERR_LOG(ERR_ERR, kParam, "No cvt_cb - items_val_base: %p, xrm_name: `%s'.", items_val_base, it.xrm_name);
        return kParam;
      }
      if (!text.p && !(text.p = static_cast<char*>(malloc(XRM_VALUE_SIZE)))) {
        ERR_LOG(ERR_ERR, kNoMem, "size: %u.", XRM_VALUE_SIZE);
        return kNoMem;
      }
      unsigned tmax = XRM_VALUE_SIZE;
      rc = xrm_get(d, name, cls, q, VAL_STRBUF, text.p, nullptr, &tmax, nullptr);
      if (!rc) rc = it.cb.cvt(it.valtype, slot, vs, vms, text.p, XRM_VALUE_SIZE, 1);
    } else {
      rc = xrm_get(d, name, cls, q, it.valtype, slot, vs, vms, it.valtype == VAL_ENUM ? it.cb.elist : nullptr);
    }
    if (rc && rc != kNotFound) return rc;
  }
  return 0;
}

int xrm_put_items(db* d, const void* items_val_base, unsigned nitems, const cfg_item* items, const char* nprefix,
                  int qualify) {
  if (!d || !items_val_base || (nitems && !items)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, items_val_base: %p, nitems: %u, items: %p.", (void*)d,
            items_val_base, nitems, (const void*)items);
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  void* base = const_cast<void*>(items_val_base);
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    if (!it.xrm_name || it.valtype == VAL_PTR) continue;
    char spec[XRM_NAME_SIZE];
    int rc = join_name(spec, sizeof spec, nprefix, it.xrm_name);
    if (rc) return rc;
    const int q = item_qualify(it, qualify);
    unsigned *vs = nullptr, *vms = nullptr;
    rc = cfg_valsizes(base, it.valtype, it.valsize_off, it.valmaxsize_off, &vs, &vms);
    if (rc) return rc;
    void* slot = slot_at(base, it.val_off);
    if (it.flags & CFG_F_CVT) {
      if (!it.cb.cvt) {
        ERR_LOG(ERR_ERR, kParam, "No cvt_cb - items_val_base: %p, xrm_name: `%s'.", items_val_base, it.xrm_name);
        return kParam;
      }
      HeapPtr<char> text{static_cast<char*>(malloc(XRM_VALUE_SIZE))};
      if (!text.p) {
        ERR_LOG(ERR_ERR, kNoMem, "size: %u.", XRM_VALUE_SIZE);
        return kNoMem;
      }
      *text.p = 0;
      rc = it.cb.cvt(it.valtype, slot, vs, vms, text.p, XRM_VALUE_SIZE, 0);
      if (!rc) rc = xrm_put(d, spec, q, text.p);
    } else {
      const void* v = val_owns_ptr(it.valtype) ? *static_cast<void* const*>(slot) : slot;
      if (!v)  // an empty heap slot
        rc = xrm_put(d, spec, q, "");
      else
        rc = xrm_put_val(d, spec, q, it.valtype, v, vs ? *vs : 0, it.valtype == VAL_ENUM ? it.cb.elist : nullptr);
    }
    if (rc) return rc;
  }
  return 0;
}

int xrm_db_save(db* d, const char* fname) {
  if (!d || !fname || !*fname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, fname: `%s'.", (void*)d, mox_nul(fname));
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  FILE* fp = fopen(fname, "wb");
  if (!fp) {
    ERR_LOG(ERR_ERR, 9001, "%s", strerror(errno));
    ERR_LOG(ERR_ERR, 9001, "Failed to open file `%s'.", fname);
    return 9001;
  }
  // by resource pattern text, plain byte order
  rbtree sorted{};
  int rc = rbtree_init(&sorted, sizeof(const char*), 0, [](unsigned, const void* a, unsigned, unsigned, const void* b,
                                                           unsigned, void*) {
    return strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
  }, nullptr, nullptr, nullptr, sizeof(const char*), 0, nullptr, nullptr, nullptr, nullptr);
  for (rbtree_node* n = rbtree_first(&d->res); n && !rc; n = rbtree_next(n)) {
    const char* spec = key_of(rbtree_key(n))->text;
    if (!rbtree_insert(&sorted, &spec, rbtree_val(&d->res, n), &rc) && !rc) rc = kNoMem;
  }
  HeapPtr<char> line{static_cast<char*>(rc ? nullptr : malloc(XRM_SAVE_LINE_SIZE))};
  if (!rc && !line.p) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", XRM_SAVE_LINE_SIZE);
    rc = kNoMem;
  }
  for (rbtree_node* n = rc ? nullptr : rbtree_first(&sorted); n; n = rbtree_next(n)) {
    const char* spec = *static_cast<const char* const*>(rbtree_key(n));
    const char* value = *static_cast<const char* const*>(rbtree_val(&sorted, n));
    if (!value) value = "";
    const size_t vlen = strlen(value);
    HeapPtr<char> esc{static_cast<char*>(malloc(2 * vlen + 1))};
    if (!esc.p) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(2 * vlen + 1));
      rc = kNoMem;
      break;
    }
    // blanks at either end as "\w": the reader trims white space before decoding
    size_t lead = 0, trail = 0;
    while (lead < vlen && value[lead] == ' ') ++lead;
    while (trail < vlen - lead && value[vlen - 1 - trail] == ' ') ++trail;
    char* e = esc.p;
    for (size_t k = 0; k < lead; ++k, e += 2) memcpy(e, "\\w", 2);
    HeapPtr<char> mid{mox_strndup(value + lead, (unsigned)(vlen - lead - trail))};
    if (!mid.p) {
      rc = kNoMem;
      break;
    }
    mox_str_escape(e, (unsigned)(2 * vlen + 1 - 2 * lead), mid.p);
    e += strlen(e);
    for (size_t k = 0; k < trail; ++k, e += 2) memcpy(e, "\\w", 2);
    *e = 0;
    const size_t elen = strlen(esc.p);
    const bool blank = elen && esc.p[elen - 1] == '\\';
    const size_t len = strlen(spec) + 3 + elen + (blank ? 1 : 0) + 1;
    if (len >= XRM_SAVE_LINE_SIZE) {
      ERR_LOG(ERR_ERR, kCut, "Buf too small - spec: `%s', len: %u, bufsize: %u.", spec, (unsigned)len,
              XRM_SAVE_LINE_SIZE);
      if (!rc) rc = kCut;
      continue;
    }
    mox_snprintf(line.p, XRM_SAVE_LINE_SIZE, "%s : %s%s\n", spec, esc.p, blank ? " " : "");
    if (fputs(line.p, fp) < 0) {
      ERR_LOG(ERR_ERR, 9001, "fputs() failed - fname: `%s'.", fname);
      rc = 9001;
      break;
    }
  }
  rbtree_free(&sorted);
  if (fclose(fp)) {
    ERR_LOG(ERR_ERR, 9001, "fclose() failed [%s].", strerror(errno));
    if (!rc || rc == kCut) rc = 9001;
  }
  return rc;
}

int xrm_add_cb(db* d, unsigned long mask, xrm_cb cb, void* usrdata, char* idbuf, unsigned idbufsize) {
  if (!d || !cb) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, cb: %p.", (void*)d, (void*)cb);
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  for (list_node* n = list_first(&d->cbs); n; n = list_next(n)) {
    const cbi* c = cbi_of(n);
    if (!c->removed && c->mask == mask && c->cb == cb && c->usrdata == usrdata) {
      ERR_LOG(ERR_ERR, kExists, "Cb already exist - mask: %#lX, cb: %p, usrdata: %p.", mask, (void*)cb, usrdata);
      return kExists;
    }
  }
  cbi* c = static_cast<cbi*>(calloc(1, sizeof(cbi)));
  if (!c) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(cbi));
    return kNoMem;
  }
  mox_snprintf(c->id, sizeof c->id, "%u", d->nextcbid++);
  c->mask = mask;
  c->cb = cb;
  c->usrdata = usrdata;
  int rc = 0;
  if (!list_append(&d->cbs, &c, &rc)) {
    free(c);
    return rc ? rc : kNoMem;
  }
  if (idbuf && idbufsize) mox_strcpy(idbuf, idbufsize, c->id, &rc);
  return rc;
}

int xrm_del_cb(db* d, const char* id) {
  if (!d || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, id: `%s'.", (void*)d, mox_nul(id));
    return kParam;
  }
  Lock lock(d->owner);
  if (lock.rc()) return lock.rc();
  for (list_node* n = list_first(&d->cbs); n; n = list_next(n)) {
    cbi* c = cbi_of(n);
    if (c->removed || strcmp(c->id, id)) continue;
    if (d->depth)
      c->removed = 1;
    else
      list_remove(&d->cbs, n);
    return 0;
  }
  ERR_LOG(ERR_ERR, kNotFound, "Cb not found - id: `%s'.", id);
  return kNotFound;
}

int xrm_cb_mirror(db*, unsigned long event, const char* spec, const char* value, void* usrdata) {
  if (!(event & XRM_EV_SET)) {
    ERR_LOG(ERR_ERR, 9012, "No `set' in mask [%#lX] - spec: `%s'.", event, mox_nul(spec));
    return 0;
  }
  xrm_put(static_cast<db*>(usrdata), spec, 0, value);
  return 0;
}

unsigned xrm_db_count(db* d) {
  if (!d) return 0;
  Lock lock(d->owner);
  return lock.rc() ? 0 : rbtree_count(&d->res);
}
