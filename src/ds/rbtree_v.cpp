#include "ds/rbtree_v.h"

#include <cstring>

#include "c/val.h"
#include "ds/list_v.h"
#include "err/err.h"

namespace {

inline bool is_ptr_type(unsigned t) { return t == VAL_STR || t == VAL_PTR; }

int slot_copy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype, const void* src,
              unsigned srcsize) {
  if (is_ptr_type(dsttype) && srctype == dsttype) {
    *static_cast<void**>(dst) = *static_cast<void* const*>(src);
    return 0;
  }
  return val_set(dsttype, dst, dstsize, dstmaxsize, srctype, list_v_value(srctype, src), srcsize);
}

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

}  // namespace

int rbtree_v_cmp(unsigned type1, const void* key1, unsigned size1, unsigned type2, const void* key2, unsigned size2,
                 void*) {
  return val_cmp(type1, key1 ? list_v_value(type1, key1) : nullptr, size1, type2,
                 key2 ? list_v_value(type2, key2) : nullptr, size2);
}

int rbtree_v_keycopy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype,
                     const void* src, unsigned srcsize, void*) {
  if (!dst || !src) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - key: %p, src: %p.", dst, src);
    return 9003;
  }
  return slot_copy(dsttype, dst, dstsize, dstmaxsize, srctype, src, srcsize);
}

int rbtree_v_valcopy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype,
                     const void* src, unsigned srcsize, void*) {
  if (!dst || !src) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - val: %p, src: %p.", dst, src);
    return 9003;
  }
  return slot_copy(dsttype, dst, dstsize, dstmaxsize, srctype, src, srcsize);
}

int rbtree_v_slot(unsigned type, const void* v, unsigned long long* slot) {
  *slot = 0;
  if (is_ptr_type(type)) {
    std::memcpy(slot, &v, sizeof v);
    return 0;
  }
  if (!v) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - val: %p, src: %p.", (void*)slot, v);
    return 9003;
  }
  std::memcpy(slot, v, type == VAL_DOUBLE ? sizeof(double) : sizeof(int));
  return 0;
}

int rbtree_v_setup(rbtree* t, bool keyonly, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                   item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valtype, item_copy_cb valcopy_cb,
                   item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata, unsigned nblockitems,
                   unsigned ngrow) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!list_v_valtype_ok(keytype)) {
    ERR_LOG(ERR_ERR, 9003, "Tree invalid keytype [%#X].", keytype);
    return 9003;
  }
  if (!keyonly) {
    if (!list_v_valtype_ok(valtype)) {
      ERR_LOG(ERR_ERR, 9003, "Tree invalid valtype [%#X].", valtype);
      return 9003;
    }
    if (!valcopy_cb) valcopy_cb = rbtree_v_valcopy;
    if (!valinit_cb) valinit_cb = list_v_initval;
  }
  if (!cmp_cb) cmp_cb = rbtree_v_cmp;
  if (!keycopy_cb) keycopy_cb = rbtree_v_keycopy;
  if (!keyinit_cb) keyinit_cb = list_v_initval;
  return rbtree_setup(t, keyonly, 8, keytype, cmp_cb, keycopy_cb, keyrelease_cb, keyinit_cb, keyonly ? 0 : 8, valtype,
                      valcopy_cb, valrelease_cb, valinit_cb, usrdata, nblockitems, ngrow);
}

int rbtree_v_init(rbtree* t, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                  item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valtype, item_copy_cb valcopy_cb,
                  item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata, unsigned nblockitems,
                  unsigned ngrow) {
  return rbtree_v_setup(t, false, keytype, cmp_cb, keycopy_cb, keyrelease_cb, keyinit_cb, valtype, valcopy_cb,
                        valrelease_cb, valinit_cb, usrdata, nblockitems, ngrow);
}

rbtree_node* rbtree_v_insert(rbtree* t, const void* key, const void* value, int* err) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  unsigned long long k, v;
  int rc = rbtree_v_slot(t->keytype, key, &k);
  if (!rc && (value || is_ptr_type(t->valtype))) rc = rbtree_v_slot(t->valtype, value, &v);
  if (rc) {
    set_err(err, rc);
    return nullptr;
  }
  return rbtree_insert(t, &k, value || is_ptr_type(t->valtype) ? &v : nullptr, err);
}

rbtree_node* rbtree_v_find(const rbtree* t, const void* key) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  unsigned long long k;
  if (rbtree_v_slot(t->keytype, key, &k)) return nullptr;
  return rbtree_find(t, &k);
}

rbtree_node* rbtree_v_find_first(const rbtree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  unsigned long long k;
  if (rbtree_v_slot(t->keytype, key, &k)) return nullptr;
  return rbtree_find_first(t, keyncmp_cb, &k, keylen);
}
