// Value-typed sorted set: the key is one 8-byte typed value (0x30, 0x70, 0x82 or 0xC2).
// Keys are passed and seen by the callbacks as for rbtree_v.
#pragma once

#include "ds/rbktree.h"
#include "ds/rbtree_v.h"

int rbktree_v_init(rbktree* t, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                   item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems = 0,
                   unsigned ngrow = 0);
inline rbktree_node* rbktree_v_insert(rbktree* t, const void* key, int* err = nullptr) {
  return rbtree_v_insert(t, key, nullptr, err);
}
inline rbktree_node* rbktree_v_find(const rbktree* t, const void* key) { return rbtree_v_find(t, key); }
inline rbktree_node* rbktree_v_find_first(const rbktree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  return rbtree_v_find_first(t, keyncmp_cb, key, keylen);
}

inline int rbktree_v_free(rbktree* t) { return rbktree_free(t); }
inline int rbktree_v_clear(rbktree* t, int release) { return rbktree_clear(t, release); }
inline int rbktree_v_remove(rbktree* t, rbktree_node* node) { return rbktree_remove(t, node); }
