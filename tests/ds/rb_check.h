// Checks every red-black rule of a tree of rbtree_node: links, order, colours,
// black heights. Returns the height (0 for an empty tree), -1 on a broken tree.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "ds/rbtree.h"

struct rb_report {
  int height = 0;
  unsigned count = 0;
  bool ok = true;
};

inline int rb_walk(const rbtree_node* n, const rbtree_node* parent, rb_report* r,
                   const std::function<int(const void*, const void*)>& cmp) {
  if (!n) return 1;  // black leaves
  ++r->count;
  if (n->parent != parent || (n->color != RBTREE_RED && n->color != RBTREE_BLACK)) r->ok = false;
  if (n->color == RBTREE_RED &&
      ((n->left && n->left->color == RBTREE_RED) || (n->right && n->right->color == RBTREE_RED)))
    r->ok = false;
  if (n->left && cmp(rbtree_key(n->left), rbtree_key(n)) >= 0) r->ok = false;
  if (n->right && cmp(rbtree_key(n->right), rbtree_key(n)) <= 0) r->ok = false;
  int lb = rb_walk(n->left, n, r, cmp), rb = rb_walk(n->right, n, r, cmp);
  if (lb != rb) r->ok = false;
  return lb + (n->color == RBTREE_BLACK);
}

inline int rb_height(const rbtree_node* n) {
  if (!n) return 0;
  int l = rb_height(n->left), r = rb_height(n->right);
  return 1 + (l > r ? l : r);
}

// Keys that are plain ints, in the compare signature of the trees.
inline int rb_int_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : x > y;
}

// Every rule holds, count nodes are reachable, and in-order keys ascend.
inline rb_report rb_check(const rbtree_node* root, unsigned count,
                          const std::function<int(const void*, const void*)>& cmp =
                              [](const void* a, const void* b) { return rb_int_cmp(0, a, 0, 0, b, 0, nullptr); }) {
  rb_report r;
  if (root && root->color != RBTREE_BLACK) r.ok = false;
  rb_walk(root, nullptr, &r, cmp);
  if (r.count != count) r.ok = false;
  r.height = rb_height(root);
  const rbtree_node* prev = nullptr;
  for (const rbtree_node* n = rbtree_node_min(root); n; n = rbtree_next(n)) {
    if (prev && cmp(rbtree_key(prev), rbtree_key(n)) >= 0) r.ok = false;
    prev = n;
  }
  return r;
}
