// Red-black tree of nodes carrying a key and a value, ordered by a compare
// callback: the sorted map. Equal keys are refused, nodes never move, removed
// nodes go to a free list and are reused first.
// A record starts zero-filled (`rbtree x{}`): init releases what the record held.
#pragma once

#include "c/mblock.h"

enum { RBTREE_BLACK = 0, RBTREE_RED = 1, RBTREE_FREE = 2 };

struct rbtree_node {
  int color;  // RBTREE_RED, RBTREE_BLACK; RBTREE_FREE while on the free list
  rbtree_node* parent;
  rbtree_node* left;
  rbtree_node* right;
  // keysize bytes of key follow, then (rbtree) valsize bytes of value, each 8-byte aligned
};

struct rbtree {
  mblock mb;  // items of the node header + key + value
  rbtree_node* root;
  unsigned count;         // nodes in the tree
  rbtree_node* freelist;  // chained through right
  unsigned capacity;      // node slots allocated so far
  unsigned keysize;
  unsigned keytype;    // first argument of every key callback
  item_cmp_cb cmp_cb;  // without one keys compare as unsigned bytes over keysize
  item_copy_cb keycopy_cb;
  item_release_cb keyrelease_cb;
  item_init_cb keyinit_cb;
  unsigned valsize;
  unsigned valtype;  // first argument of every value callback
  item_copy_cb valcopy_cb;
  item_release_cb valrelease_cb;
  item_init_cb valinit_cb;
  void* usrdata;  // last argument of every callback
};

int rbtree_init(rbtree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valsize, unsigned valtype,
                item_copy_cb valcopy_cb, item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata,
                unsigned nblockitems = 0, unsigned ngrow = 0);
int rbtree_init_as(rbtree* t, const rbtree* src, void* usrdata);
int rbtree_free(rbtree* t);
int rbtree_clear(rbtree* t, int release);

// value may be nullptr (the value keeps its initial contents). Returns the new
// node, or nullptr with the code in *err: 9007 for a key already present.
rbtree_node* rbtree_insert(rbtree* t, const void* key, const void* value, int* err = nullptr);
rbtree_node* rbtree_find(const rbtree* t, const void* key);
// keyncmp_cb(keytype, key, keylen, keytype, nodekey, 0, usrdata) may look at a
// part of the keys only; it must order consistently with the tree. Returns the
// leftmost node of the run that compares equal.
rbtree_node* rbtree_find_first(const rbtree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen);
int rbtree_remove(rbtree* t, rbtree_node* node);

// In-order iteration; nullptr past either end.
rbtree_node* rbtree_first(const rbtree* t);
rbtree_node* rbtree_last(const rbtree* t);
rbtree_node* rbtree_next(const rbtree_node* node);
rbtree_node* rbtree_prev(const rbtree_node* node);

inline unsigned rbtree_count(const rbtree* t) { return t ? t->count : 0; }
constexpr unsigned rbtree_align8(unsigned n) { return (n + 7u) & ~7u; }
inline void* rbtree_key(const rbtree_node* node) {
  return node ? const_cast<char*>(reinterpret_cast<const char*>(node)) + sizeof(rbtree_node) : nullptr;
}
inline void* rbtree_val(const rbtree* t, const rbtree_node* node) {
  return t && node ? static_cast<char*>(rbtree_key(node)) + rbtree_align8(t->keysize) : nullptr;
}

// The key-only tree (rbktree) is this tree without a value part: with keyonly the value
// size is neither checked nor named in the message, and may be 0.
int rbtree_setup(rbtree* t, bool keyonly, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb,
                 item_copy_cb keycopy_cb, item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valsize,
                 unsigned valtype, item_copy_cb valcopy_cb, item_release_cb valrelease_cb, item_init_cb valinit_cb,
                 void* usrdata, unsigned nblockitems, unsigned ngrow);
int rbtree_setup_as(rbtree* t, const rbtree* src, void* usrdata, bool keyonly);
