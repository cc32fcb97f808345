#include "c/cfg.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "c/cmdparser.h"
#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kUnescapeSize = 8192;

inline void* slot_of(void* base, const cfg_item& it) { return (char*)base + it.val_off; }
inline unsigned* field_of(void* base, int off) { return off >= 0 ? (unsigned*)((char*)base + off) : nullptr; }

bool bad_table(const void* base, const cfg_item* items) {
  if (base && items) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - items_val_base: %p, items: %p.", base, (const void*)items);
  return true;
}

bool same_nocase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (tolower((unsigned char)*a) != tolower((unsigned char)*b)) return false;
  return *a == *b;
}

struct show_name {
  unsigned cmd;
  const char* name;
};
constexpr show_name kShowCmds[] = {
    {3, "SW_SHOWMAXIMIZED"}, {2, "SW_SHOWMINIMIZED"}, {1, "SW_SHOWNORMAL"}};

// Reads "n,n[,n,n]" of the last occurrence of op; fields stay as they are unless all are read.
void read_ints(const cmdp* cp, const char* op, int* out, int n) {
  const char* v = cmdp_last_op(cp, op);
  if (!v) return;
  long l[4] = {0, 0, 0, 0};
  int got = n == 2 ? sscanf(v, "%ld,%ld", &l[0], &l[1]) : sscanf(v, "%ld,%ld,%ld,%ld", &l[0], &l[1], &l[2], &l[3]);
  if (got != n) return;
  for (int i = 0; i < n; ++i) out[i] = (int)l[i];
}

int wndpl_from_str(cfg_wndpl* wp, unsigned* valsize, const char* str) {
  memset(wp, 0, sizeof *wp);
  wp->length = sizeof *wp;
  if (valsize) *valsize = sizeof *wp;
  cmdp cp;
  cmdp_clear(&cp);
  cmdp_init(&cp);
  int rc = cmdp_parse_str(&cp, str, 0, nullptr);
  if (rc == 0) {
    if (const char* v = cmdp_last_op(&cp, "showCmd")) {
      for (const show_name& s : kShowCmds)
        if (same_nocase(v, s.name)) wp->showCmd = s.cmd;
    }
    read_ints(&cp, "ptMinPosition", wp->ptMinPosition, 2);
    read_ints(&cp, "ptMaxPosition", wp->ptMaxPosition, 2);
    read_ints(&cp, "rcNormalPosition", wp->rcNormalPosition, 4);
  }
  cmdp_free(&cp);
  return rc;
}

int wndpl_to_str(const cfg_wndpl* wp, char* str, unsigned strsize) {
  if (!str || !strsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: %p, strsize: %u.", (void*)str, strsize);
    return kParam;
  }
  *str = 0;
  size_t len = 0;
  auto append = [&](int rc) {
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - strsize: %u.", strsize);
      str[len] = 0;
      return rc;
    }
    len += strlen(str + len);
    return 0;
  };
  int rc = 0;
  for (const show_name& s : kShowCmds) {
    if (wp->showCmd == s.cmd) {
      rc = append(mox_snprintf(str + len, (unsigned)(strsize - len), "-%s:%s ", "showCmd", s.name));
      if (rc) return rc;
    }
  }
  rc = append(mox_snprintf(str + len, (unsigned)(strsize - len), "-%s:%ld,%ld ", "ptMinPosition",
                           (long)wp->ptMinPosition[0], (long)wp->ptMinPosition[1]));
  if (rc) return rc;
  rc = append(mox_snprintf(str + len, (unsigned)(strsize - len), "-%s:%ld,%ld ", "ptMaxPosition",
                           (long)wp->ptMaxPosition[0], (long)wp->ptMaxPosition[1]));
  if (rc) return rc;
  const int* r = wp->rcNormalPosition;
  return append(mox_snprintf(str + len, (unsigned)(strsize - len), "-%s:%ld,%ld,%ld,%ld ", "rcNormalPosition",
                             (long)r[0], (long)r[1], (long)r[2], (long)r[3]));
}

}  // namespace

int cfg_valsizes(void* items_val_base, unsigned valtype, int valsize_off, int valmaxsize_off,
                 unsigned** valsize_out, unsigned** valmaxsize_out) {
  if (!items_val_base || !valsize_out || !valmaxsize_out) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - items_val_base: %p, valsize: %p, valmaxsize: %p.", items_val_base,
            (void*)valsize_out, (void*)valmaxsize_out);
    return kParam;
  }
  bool size_used = false, size_req = false, max_used = false, max_req = false;
  switch (valtype) {
    case VAL_STR: max_used = true; break;
    case VAL_STRBUF: max_used = max_req = true; break;
    case VAL_DATA: size_used = size_req = max_used = true; break;
    case VAL_DATABUF: size_used = size_req = max_used = max_req = true; break;
    default: break;
  }
  if (size_req && valsize_off < 0) {
    ERR_LOG(ERR_ERR, kParam, "No `valsize'.");
    return kParam;
  }
  if (max_req && valmaxsize_off < 0) {
    ERR_LOG(ERR_ERR, kParam, "No `valmaxsize'.");
    return kParam;
  }
  *valsize_out = size_used ? field_of(items_val_base, valsize_off) : nullptr;
  *valmaxsize_out = max_used ? field_of(items_val_base, valmaxsize_off) : nullptr;
  return 0;
}

int cfg_set_item(void* items_val_base, const cfg_item* item, const char* text, int unescape) {
  if (!items_val_base || !item || !text) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - items_val_base: %p, item: %p, text: `%s'.", items_val_base,
            (const void*)item, mox_nul(text));
    return kParam;
  }
  char buf[kUnescapeSize];
  if (unescape) {
    int rc = mox_str_unescape(buf, sizeof buf, text);
    if (rc) return rc;
    text = buf;
  }
  unsigned *vs = nullptr, *vms = nullptr;
  int rc = cfg_valsizes(items_val_base, item->valtype, item->valsize_off, item->valmaxsize_off, &vs, &vms);
  if (rc) return rc;
  void* slot = slot_of(items_val_base, *item);
  if (item->flags & CFG_F_CVT) {
    if (!item->cb.cvt) {
      ERR_LOG(ERR_ERR, kParam, "No cvt_cb - items_val_base: %p, cmdp_op: `%s'.", items_val_base,
              mox_nul(item->cmdp_op));
      return kParam;
    }
    // direction 1 only reads the text
    return item->cb.cvt(item->valtype, slot, vs, vms, const_cast<char*>(text), (unsigned)strlen(text) + 1, 1);
  }
  if (item->valtype == VAL_ENUM) return enum_from_str(item->cb.elist, text, (int*)slot);
  return val_set(item->valtype, slot, vs, vms, VAL_STR, text, 0);
}

int cfg_set_dflts(void* items_val_base, unsigned nitems, const cfg_item* items, int unescape) {
  if (bad_table(items_val_base, items)) return kParam;
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    if (!it.dflt || it.valtype == VAL_PTR) continue;
    if ((it.flags & CFG_F_CVT) && !it.cb.cvt) {
      ERR_LOG(ERR_ERR, kParam, "No cvt_cb - items_val_base: %p, cmdp_op: `%s', xrm_name: `%s'.", items_val_base,
              mox_nul(it.cmdp_op), mox_nul(it.xrm_name));
      return kParam;
    }
    int rc = cfg_set_item(items_val_base, &it, it.dflt, unescape);
    if (rc) return rc;
  }
  return 0;
}

int cfg_clear(void* items_val_base, unsigned nitems, const cfg_item* items) {
  if (bad_table(items_val_base, items)) return kParam;
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    unsigned* vs = field_of(items_val_base, it.valsize_off);
    unsigned* vms = field_of(items_val_base, it.valmaxsize_off);
    val_clear(it.valtype, slot_of(items_val_base, it), vs, vms);
    if (vs) *vs = 0;
    if (vms) *vms = 0;
  }
  return 0;
}

int cfg_free(void* items_val_base, unsigned nitems, const cfg_item* items) {
  if (bad_table(items_val_base, items)) return kParam;
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    if (val_owns_ptr(it.valtype))
      val_free(it.valtype, slot_of(items_val_base, it), field_of(items_val_base, it.valsize_off),
               field_of(items_val_base, it.valmaxsize_off));
  }
  return cfg_clear(items_val_base, nitems, items);
}

int cfg_copy(void* dest_val_base, const void* src_val_base, unsigned nitems, const cfg_item* items) {
  if (!dest_val_base || !src_val_base || !items) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - items_val_base: %p, src_val_base: %p, items: %p.", dest_val_base,
            src_val_base, (const void*)items);
    return kParam;
  }
  int rc = cfg_free(dest_val_base, nitems, items);
  if (rc) return rc;
  void* src = const_cast<void*>(src_val_base);  // only read
  for (unsigned i = 0; i < nitems; ++i) {
    const cfg_item& it = items[i];
    if (it.valtype == VAL_PTR) continue;
    unsigned *dvs = nullptr, *dvms = nullptr, *svs = nullptr, *svms = nullptr;
    rc = cfg_valsizes(dest_val_base, it.valtype, it.valsize_off, it.valmaxsize_off, &dvs, &dvms);
    if (rc == 0) rc = cfg_valsizes(src, it.valtype, it.valsize_off, it.valmaxsize_off, &svs, &svms);
    if (rc) return rc;
    // A heap slot is null after the free: its size fields are left for val_set to fill, a copied
    // capacity would make it write into a buffer that is not there.
    if (!val_owns_ptr(it.valtype)) {
      if (dvs && svs) *dvs = *svs;
      if (dvms && svms) *dvms = *svms;
    }
    void* sslot = slot_of(src, it);
    const void* sval = val_owns_ptr(it.valtype) ? *(void**)sslot : sslot;
    unsigned ssize = val_is_data(it.valtype) && svs ? *svs : 0;
    rc = val_set(it.valtype, slot_of(dest_val_base, it), dvs, dvms, it.valtype, sval, ssize);
    if (rc) return rc;
  }
  return 0;
}

int cfg_wndpl_cvt(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize, char* str,
                  unsigned strsize, int dir) {
  (void)valmaxsize;  // the record has a fixed size
  if (valtype != VAL_DATABUF || !val) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - valtype: %#X, wp: %p.", valtype, val);
    return kParam;
  }
  cfg_wndpl* wp = (cfg_wndpl*)val;
  return dir ? wndpl_from_str(wp, valsize, str) : wndpl_to_str(wp, str, strsize);
}
