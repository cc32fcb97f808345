#include "xrm/xrm_listcol.h"

#include <cctype>
#include <cstdint>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kCut = 9005;
constexpr int kNotFound = 9006;
constexpr int kMax = 9009;

constexpr unsigned kNameSize = 256;

constexpr const char* kListSep = ", \t\r\n";

// Holds the manager's mutex for one load or save.
class DbLock {
 public:
  explicit DbLock(db* d) : d_(d), code_(xrm_lock(d)) {}
  ~DbLock() {
    if (code_ == 0) xrm_unlock(d_);
  }
  DbLock(const DbLock&) = delete;
  DbLock& operator=(const DbLock&) = delete;
  int code() const { return code_; }

 private:
  db* d_;
  int code_;
};

// One lookup: the instance name and the class name of an attribute.
struct Query {
  char name[kNameSize];
  char cls[kNameSize];
  bool has_cls;
};

// "base" or "base.id" (id may be none), then ".attr"; the class form
// capitalises the attribute's first letter.
int make_query(Query* q, const char* name, const char* cls, const char* id, const char* attr) {
  char cap[64] = "";
  if (attr) {
    mox_strcpy(cap, sizeof cap, attr);
    cap[0] = (char)toupper((unsigned char)cap[0]);
  }
  int e = 0;
  if (id && attr)
    e = mox_snprintf(q->name, kNameSize, "%s.%s.%s", name, id, attr);
  else if (id || attr)
    e = mox_snprintf(q->name, kNameSize, "%s.%s", name, id ? id : attr);
  else
    e = mox_snprintf(q->name, kNameSize, "%s", name);
  if (e) {
    ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", kNameSize);
    return e;
  }
  q->has_cls = cls && *cls;
  if (!q->has_cls) {
    q->cls[0] = '\0';
    return 0;
  }
  if (id && attr)
    e = mox_snprintf(q->cls, kNameSize, "%s.%s.%s", cls, id, cap);
  else if (id || attr)
    e = mox_snprintf(q->cls, kNameSize, "%s.%s", cls, id ? id : cap);
  else
    e = mox_snprintf(q->cls, kNameSize, "%s", cls);
  if (e) ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", kNameSize);
  return e;
}

class Loader {
 public:
  Loader(db* db, const char* name, const char* cls, int qualify, listcol* lc)
      : db_(db), name_(name), cls_(cls), qualify_(qualify), lc_(lc) {}

  int run();

 private:
  // Lookups of one attribute: 0 found, 9006 missing, else the failure.
  int get_text(const char* id, const char* attr, char* buf, unsigned bufsize);
  int get_bool(const char* id, const char* attr, int* val);
  int get_int(const char* id, const char* attr, int* val);
  int get(const char* id, const char* attr, unsigned type, void* val);

  int read_ids();
  int read_col(listcol_col* col);
  int read_grps();
  int read_grp(const char* gid);
  int read_order();

  db* db_;
  const char* name_;
  const char* cls_;
  int qualify_;
  listcol* lc_;
  char list_[LISTCOL_LIST_SIZE];
};

int Loader::get(const char* id, const char* attr, unsigned type, void* val) {
  Query q;
  int e = make_query(&q, name_, cls_, id, attr);
  if (e) return e;
  return xrm_get(db_, q.name, q.has_cls ? q.cls : nullptr, qualify_, type, val, nullptr, nullptr, nullptr);
}

int Loader::get_text(const char* id, const char* attr, char* buf, unsigned bufsize) {
  Query q;
  int e = make_query(&q, name_, cls_, id, attr);
  if (e) return e;
  return xrm_get_str(db_, q.name, q.has_cls ? q.cls : nullptr, qualify_, buf, bufsize);
}

int Loader::get_bool(const char* id, const char* attr, int* val) {
  int v = 0;
  int e = get(id, attr, VAL_BOOL, &v);
  if (e == 0) *val = v ? 1 : 0;
  return e;
}

int Loader::get_int(const char* id, const char* attr, int* val) { return get(id, attr, VAL_INT, val); }

// Calls fn for every word of a list text (cut into words in place); stops at
// its first non-zero result.
template <typename Fn>
int each_word(char* list, Fn fn) {
  char* p = list;
  for (;;) {
    p += strspn(p, kListSep);
    if (!*p) return 0;
    char* w = p;
    p += strcspn(p, kListSep);
    if (*p) *p++ = '\0';
    int e = fn(w);
    if (e) return e;
  }
}

int Loader::read_ids() {
  int e = get_text(nullptr, nullptr, list_, sizeof list_);
  if (e) return e;
  return each_word(list_, [this](const char* id) {
    if (listcol_find(lc_, id) >= 0) {
      ERR_LOG(ERR_WARN, 9007, "Listcol item [%s] already exist - iname: `%s'.", id, name_);
      return 0;
    }
    if (lc_->ncols >= LISTCOL_MAX) {
      ERR_LOG(ERR_ERR, kMax, "Max listcol items [%u] exceeded - iname: `%s', id: `%s'.", (unsigned)LISTCOL_MAX,
              name_, id);
      return kMax;
    }
    listcol_col& col = lc_->cols[lc_->ncols];
    int ce = 0;
    mox_strcpy(col.id, sizeof col.id, id, &ce);
    if (ce) {
      ERR_LOG(ERR_ERR, kCut, "`id' too long [%u] - iname: `%s', id: `%.100s'.", (unsigned)sizeof col.id, name_, id);
      return kCut;
    }
    mox_strcpy(col.name, sizeof col.name, id);
    lc_->order[lc_->ncols] = lc_->ncols;
    ++lc_->ncols;
    return 0;
  });
}

int Loader::read_col(listcol_col* col) {
  int e = get_text(col->id, "name", col->name, sizeof col->name);
  if (e == kNotFound) {
    char iname[kNameSize], icls[kNameSize];
    mox_snprintf(iname, sizeof iname, "%s.%s", name_, col->id);
    mox_snprintf(icls, sizeof icls, "%s.%s", mox_nul(cls_), col->id);
    ERR_LOG(ERR_WARN, kNotFound, "Listcol item name not found - iname: `%s', icls: `%s'.", iname, icls);
    mox_strcpy(col->name, sizeof col->name, col->id);
  } else if (e) {
    return e;
  }
  if ((e = get_int(col->id, "w", &col->w)) != 0 && e != kNotFound) return e;
  if ((e = get_text(col->id, "wPref", col->wpref, sizeof col->wpref)) != 0 && e != kNotFound) return e;
  if ((e = get_bool(col->id, "sortrevDflt", &col->sortrev_dflt)) != 0 && e != kNotFound) return e;

  char align[16] = "";
  e = get_text(col->id, "align", align, sizeof align);
  if (e == 0) {
    static constexpr const char* kAligns[] = {"left", "center", "right"};
    int found = -1;
    for (int i = 0; i < 3; ++i)
      if (strcmp(align, kAligns[i]) == 0) found = i;
    if (found < 0) {
      char iname[kNameSize], icls[kNameSize];
      mox_snprintf(iname, sizeof iname, "%s.%s", name_, col->id);
      mox_snprintf(icls, sizeof icls, "%s.%s", mox_nul(cls_), col->id);
      ERR_LOG(ERR_ERR, kParam, "Invalid listcol align [%s] - iname: `%s', icls: `%s'.", align, iname, icls);
      return kParam;
    }
    col->align = found;
  } else if (e == kCut) {
    // a word longer than the longest alignment cannot be one
    char iname[kNameSize];
    mox_snprintf(iname, sizeof iname, "%s.%s", name_, col->id);
    ERR_LOG(ERR_ERR, kParam, "Invalid listcol align [%s] - iname: `%s', icls: `%s'.", align, iname, mox_nul(cls_));
    return kParam;
  } else if (e != kNotFound) {
    return e;
  }

  if ((e = get_bool(col->id, "excl", &col->excl)) != 0 && e != kNotFound) return e;
  if ((e = get_bool(col->id, "visible", &col->visible)) != 0 && e != kNotFound) return e;
  return 0;
}

int Loader::read_grp(const char* gid) {
  for (unsigned i = 0; i < lc_->ngrps; ++i)
    if (strcmp(lc_->grps[i].id, gid) == 0) return 0;
  char ids[LISTCOL_LIST_SIZE];
  int e = get_text(gid, nullptr, ids, sizeof ids);
  if (e == kNotFound) {
    char iname[kNameSize];
    mox_snprintf(iname, sizeof iname, "%s.%s", name_, gid);
    ERR_LOG(ERR_WARN, kNotFound, "Listcol group ids not found - iname: `%s', pcls: `%s'.", iname, mox_nul(cls_));
    return 0;
  }
  if (e) return e;
  if (lc_->ngrps >= LISTCOL_GRP_MAX) {
    ERR_LOG(ERR_ERR, kMax, "Max listcol groups [%u] exceeded - iname: `%s', id: `%s'.", (unsigned)LISTCOL_GRP_MAX,
            name_, gid);
    return kMax;
  }
  listcol_grp& g = lc_->grps[lc_->ngrps];
  int ce = 0;
  mox_strcpy(g.id, sizeof g.id, gid, &ce);
  if (ce) {
    ERR_LOG(ERR_ERR, kCut, "`id' too long [%u] - iname: `%s', id: `%.100s'.", (unsigned)sizeof g.id, name_, gid);
    return kCut;
  }
  const int gi = (int)lc_->ngrps++;
  e = each_word(ids, [this, &g, gi](const char* id) {
    int ci = listcol_find(lc_, id);
    if (ci < 0) {
      ERR_LOG(ERR_WARN, kNotFound, "Listcol item [%s] not found - iname: `%s', grp: `%s'.", id, name_, g.id);
      return 0;
    }
    if (lc_->cols[ci].grp >= 0) return 0;  // a column belongs to its first group
    lc_->cols[ci].grp = gi;
    g.cols[g.ncols++] = (unsigned)ci;
    return 0;
  });
  if (e) return e;

  // The group's flags, where given, hold for all of its columns.
  static constexpr const char* kFlags[] = {"excl", "visible"};
  for (int f = 0; f < 2; ++f) {
    int v = 0;
    e = get_bool(gid, kFlags[f], &v);
    if (e == kNotFound) continue;
    if (e) return e;
    for (unsigned i = 0; i < g.ncols; ++i) {
      listcol_col& col = lc_->cols[g.cols[i]];
      (f == 0 ? col.excl : col.visible) = v;
    }
  }
  return 0;
}

int Loader::read_grps() {
  int e = get_text(nullptr, "grps", list_, sizeof list_);
  if (e == kNotFound) return 0;
  if (e) return e;
  return each_word(list_, [this](const char* gid) { return read_grp(gid); });
}

// The named columns first, in the order given, then the others in id order.
int Loader::read_order() {
  int e = get_text(nullptr, "order", list_, sizeof list_);
  if (e == kNotFound) return 0;
  if (e) return e;
  bool placed[LISTCOL_MAX] = {};
  unsigned n = 0;
  each_word(list_, [this, &placed, &n](const char* id) {
    int ci = listcol_find(lc_, id);
    if (ci >= 0 && !placed[ci]) {
      placed[ci] = true;
      lc_->order[n++] = (unsigned)ci;
    }
    return 0;
  });
  for (unsigned i = 0; i < lc_->ncols; ++i)
    if (!placed[i]) lc_->order[n++] = i;
  return 0;
}

int Loader::run() {
  int e = read_ids();
  if (e == kNotFound) return 0;
  if (e) return e;
  for (unsigned i = 0; i < lc_->ncols; ++i)
    if ((e = read_col(&lc_->cols[i])) != 0) return e;
  if ((e = read_grps()) != 0) return e;
  return read_order();
}

int put_bool(db* db, const char* spec, int v) {
  int32_t b = v ? 1 : 0;
  return xrm_put_val(db, spec, 0, VAL_BOOL, &b, 0, nullptr);
}

}  // namespace

int listcol_init(listcol* lc) {
  if (!lc) {
    ERR_LOG(ERR_ERR, kParam, "`listcol' is NUL.");
    return kParam;
  }
  memset(lc, 0, sizeof *lc);
  return 0;
}

int listcol_free(listcol* lc) { return listcol_init(lc); }

int listcol_find(const listcol* lc, const char* id) {
  if (!lc || !id) return -1;
  for (unsigned i = 0; i < lc->ncols; ++i)
    if (strcmp(lc->cols[i].id, id) == 0) return (int)i;
  return -1;
}

int xrm_listcol_load(db* db, const char* name, const char* cls, int qualify, listcol* lc) {
  if (!db || !name || !*name || !lc) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: `%s', cls: `%s', listcol: %p.", (void*)db, mox_nul(name),
            mox_nul(cls), (void*)lc);
    return kParam;
  }
  DbLock lock(db);
  if (lock.code()) return lock.code();

  memset(lc, 0, sizeof *lc);
  int e = 0;
  mox_strcpy(lc->name, sizeof lc->name, name, &e);
  if (!e && cls) mox_strcpy(lc->cls, sizeof lc->cls, cls, &e);
  if (e) {
    ERR_LOG(ERR_ERR, e, "mox_strcpy() failed - size: %u, name: `%.100s', cls: `%.100s'.", kNameSize, name,
            mox_nul(cls));
    return e;
  }
  for (listcol_col& col : lc->cols) {
    col.w = LISTCOL_W_UNSET;
    col.visible = 1;
    col.grp = -1;
  }
  Loader loader(db, name, cls, qualify, lc);
  return loader.run();
}

int xrm_listcol_save(db* db, const char* spec, const listcol* lc) {
  if (!db || !spec || !*spec || !lc || lc->ncols > LISTCOL_MAX) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, spec: `%s', listcol: %p.", (void*)db, mox_nul(spec),
            (const void*)lc);
    return kParam;
  }
  DbLock lock(db);
  if (lock.code()) return lock.code();

  char buf[kNameSize];
  char order[LISTCOL_LIST_SIZE] = "";
  for (unsigned i = 0; i < lc->ncols; ++i) {
    unsigned ci = lc->order[i];
    if (ci >= lc->ncols) {
      ERR_LOG(ERR_ERR, 9012, "Invalid listcol order [%u] - spec: `%s', ncols: %u.", ci, spec, lc->ncols);
      return 9012;
    }
    if (i) mox_strcat(order, sizeof order, ",");
    int e = 0;
    mox_strcat(order, sizeof order, lc->cols[ci].id, &e);
    if (e) {
      ERR_LOG(ERR_ERR, e, "`order' too small - size: %u, spec: `%s'.", (unsigned)sizeof order, spec);
      return e;
    }
  }
  int e = mox_snprintf(buf, sizeof buf, "%s.order", spec);
  if (e) {
    ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", kNameSize);
    return e;
  }
  if ((e = xrm_put_val(db, buf, 0, VAL_STR, order, 0, nullptr)) != 0) return e;

  for (unsigned i = 0; i < lc->ncols; ++i) {
    const listcol_col& col = lc->cols[i];
    if (col.w != LISTCOL_W_UNSET) {
      if ((e = mox_snprintf(buf, sizeof buf, "%s.%s.w", spec, col.id)) != 0) break;
      if ((e = xrm_put_val(db, buf, 0, VAL_INT, &col.w, 0, nullptr)) != 0) return e;
    }
    if ((e = mox_snprintf(buf, sizeof buf, "%s.%s.excl", spec, col.id)) != 0) break;
    if ((e = put_bool(db, buf, col.excl)) != 0) return e;
    if ((e = mox_snprintf(buf, sizeof buf, "%s.%s.visible", spec, col.id)) != 0) break;
    if ((e = put_bool(db, buf, col.visible)) != 0) return e;
  }
  if (e) ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", kNameSize);
  return e;
}
