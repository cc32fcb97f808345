// Red-black tree of keys only: the sorted set. Same rules as rbtree.
// A record starts zero-filled (`rbktree x{}`): init releases what the record held.
#pragma once

#include "ds/rbtree.h"

typedef rbtree_node rbktree_node;

struct rbktree {
  mblock mb;  // items of the node header + key
  rbktree_node* root;
  unsigned count;
  rbktree_node* freelist;  // chained through right
  unsigned capacity;
  unsigned keysize;
  unsigned keytype;
  item_cmp_cb cmp_cb;  // without one keys compare as unsigned bytes over keysize
  item_copy_cb keycopy_cb;
  item_release_cb keyrelease_cb;
  item_init_cb keyinit_cb;
  void* usrdata;
};

int rbktree_init(rbktree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                 item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems = 0,
                 unsigned ngrow = 0);
int rbktree_init_as(rbktree* t, const rbktree* src, void* usrdata);
int rbktree_free(rbktree* t);
int rbktree_clear(rbktree* t, int release);

rbktree_node* rbktree_insert(rbktree* t, const void* key, int* err = nullptr);
rbktree_node* rbktree_find(const rbktree* t, const void* key);
rbktree_node* rbktree_find_first(const rbktree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen);
int rbktree_remove(rbktree* t, rbktree_node* node);

rbktree_node* rbktree_first(const rbktree* t);
rbktree_node* rbktree_last(const rbktree* t);
rbktree_node* rbktree_next(const rbktree_node* node);
rbktree_node* rbktree_prev(const rbktree_node* node);

inline unsigned rbktree_count(const rbktree* t) { return t ? t->count : 0; }
inline void* rbktree_key(const rbktree_node* node) { return rbtree_key(node); }
