// Checks every red-black rule of a tree with int keys: links, order, colours, black heights.
#pragma once

#include "ds/rbtree.h"

inline int rb_int_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : x > y;
}

// The black height below n; clears *ok on a broken rule, counts nodes and the deepest level.
inline int rb_walk(const rbtree_node* n, const rbtree_node* parent, const void* lo, const void* hi, int depth, bool* ok,
                   unsigned* count, int* height) {
  if (!n) return 1;
  ++*count;
  if (depth > *height) *height = depth;
  bool red = n->color == RBTREE_RED;
  const void* k = rbtree_key(n);
  if (n->parent != parent || (!red && n->color != RBTREE_BLACK) || (red && parent && parent->color == RBTREE_RED) ||
      (lo && rb_int_cmp(0, lo, 0, 0, k, 0, nullptr) >= 0) || (hi && rb_int_cmp(0, k, 0, 0, hi, 0, nullptr) >= 0))
    *ok = false;
  int lb = rb_walk(n->left, n, lo, k, depth + 1, ok, count, height);
  if (lb != rb_walk(n->right, n, k, hi, depth + 1, ok, count, height)) *ok = false;
  return lb + !red;
}

// Every rule holds and exactly t->count nodes are reachable; *height gets the depth.
inline bool rb_check(const rbtree* t, int* height = nullptr) {
  bool ok = true;
  unsigned count = 0;
  int h = 0;
  rb_walk(t->root, nullptr, nullptr, nullptr, 1, &ok, &count, &h);
  if (height) *height = h;
  return ok && count == t->count && (!t->root || t->root->color == RBTREE_BLACK);
}
