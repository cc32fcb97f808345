#include "ds/rbktree_v.h"

#include "ds/list_v.h"
#include "err/err.h"

int rbktree_v_init(rbktree* t, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                   item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems,
                   unsigned ngrow) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!list_v_valtype_ok(keytype)) {
    ERR_LOG(ERR_ERR, 9003, "Tree invalid keytype [%#X].", keytype);
    return 9003;
  }
  return rbktree_init(t, 8, keytype, cmp_cb ? cmp_cb : rbtree_v_cmp, keycopy_cb ? keycopy_cb : rbtree_v_keycopy,
                      keyrelease_cb, keyinit_cb ? keyinit_cb : list_v_initval, usrdata, nblockitems, ngrow);
}

rbktree_node* rbktree_v_insert(rbktree* t, const void* key, int* err) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    if (err) *err = 9003;
    return nullptr;
  }
  unsigned long long k;
  int rc = rbtree_v_slot(t->keytype, key, &k);
  if (rc) {
    if (err) *err = rc;
    return nullptr;
  }
  return rbktree_insert(t, &k, err);
}

rbktree_node* rbktree_v_find(const rbktree* t, const void* key) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  unsigned long long k;
  if (rbtree_v_slot(t->keytype, key, &k)) return nullptr;
  return rbktree_find(t, &k);
}

rbktree_node* rbktree_v_find_first(const rbktree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  unsigned long long k;
  if (rbtree_v_slot(t->keytype, key, &k)) return nullptr;
  return rbktree_find_first(t, keyncmp_cb, &k, keylen);
}
