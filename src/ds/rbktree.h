// Red-black tree of keys only: the sorted set. It is an rbtree without a value
// part (valsize 0, no value callbacks), run by the rbtree's own operations.
// A record starts zero-filled (`rbktree x{}`): init releases what the record held.
#pragma once

#include "ds/rbtree.h"

typedef rbtree_node rbktree_node;

struct rbktree : rbtree {};

int rbktree_init(rbktree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                 item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems = 0,
                 unsigned ngrow = 0);
int rbktree_init_as(rbktree* t, const rbktree* src, void* usrdata);
inline int rbktree_free(rbktree* t) { return rbtree_free(t); }
inline int rbktree_clear(rbktree* t, int release) { return rbtree_clear(t, release); }

inline rbktree_node* rbktree_insert(rbktree* t, const void* key, int* err = nullptr) {
  return rbtree_insert(t, key, nullptr, err);
}
inline rbktree_node* rbktree_find(const rbktree* t, const void* key) { return rbtree_find(t, key); }
inline rbktree_node* rbktree_find_first(const rbktree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  return rbtree_find_first(t, keyncmp_cb, key, keylen);
}
inline int rbktree_remove(rbktree* t, rbktree_node* node) { return rbtree_remove(t, node); }

inline rbktree_node* rbktree_first(const rbktree* t) { return rbtree_first(t); }
inline rbktree_node* rbktree_last(const rbktree* t) { return rbtree_last(t); }
inline rbktree_node* rbktree_next(const rbktree_node* node) { return rbtree_next(node); }
inline rbktree_node* rbktree_prev(const rbktree_node* node) { return rbtree_prev(node); }

inline unsigned rbktree_count(const rbktree* t) { return rbtree_count(t); }
inline void* rbktree_key(const rbktree_node* node) { return rbtree_key(node); }
