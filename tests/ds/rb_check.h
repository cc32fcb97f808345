// Checks every red-black rule of a tree with int keys: links, order, colours, black heights.
#pragma once

#include "ds/rbtree.h"

inline int rb_int_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : x > y;
}

struct rb_report {
  bool ok = true;
  unsigned count = 0;
  int height = 0;
};

// The black height below n; sets r->ok to false on a broken rule.
inline int rb_walk(const rbtree_node* n, const rbtree_node* parent, const void* lo, const void* hi, int depth,
                   rb_report* r) {
  if (!n) return 1;
  ++r->count;
  if (depth > r->height) r->height = depth;
  bool red = n->color == RBTREE_RED;
  if (n->parent != parent || (!red && n->color != RBTREE_BLACK) || (red && parent && parent->color == RBTREE_RED) ||
      (lo && rb_int_cmp(0, lo, 0, 0, rbtree_key(n), 0, nullptr) >= 0) ||
      (hi && rb_int_cmp(0, rbtree_key(n), 0, 0, hi, 0, nullptr) >= 0))
    r->ok = false;
  int lb = rb_walk(n->left, n, lo, rbtree_key(n), depth + 1, r), rb = rb_walk(n->right, n, rbtree_key(n), hi, depth + 1, r);
  if (lb != rb) r->ok = false;
  return lb + !red;
}

// Every rule holds and exactly count nodes are reachable.
inline rb_report rb_check(const rbtree* t) {
  rb_report r;
  rb_walk(t->root, nullptr, nullptr, nullptr, 1, &r);
  if ((t->root && t->root->color != RBTREE_BLACK) || r.count != t->count) r.ok = false;
  return r;
}
