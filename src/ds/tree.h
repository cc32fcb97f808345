// Ordered n-ary tree of typed nodes (parent, siblings, children), each carrying
// one 8-byte value of the tree's type (0x30, 0x70, 0x82 or 0xC2). Nodes live in
// an mblock and never move.
// A record starts zero-filled (`tree x{}`): init releases what the record held.
#pragma once

#include "c/mblock.h"

struct tree_node {
  short type;  // 0: an ordinary node that may be moved; others belong to the tree's user
  alignas(8) union {
    int i;
    double d;
    char* s;
    void* p;
  } val;
  tree_node* parent;  // points at the node itself while the node is free
  tree_node* prev;    // previous sibling
  tree_node* next;    // next sibling; chains the free list
  tree_node* first;   // first child
  tree_node* last;    // last child
  unsigned nchildren;
};

struct tree {
  mblock mb;
  unsigned valtype;
  item_copy_cb copy_cb;  // receives the value in value form (text or pointer itself, else its address)
  item_release_cb release_cb;
  void* usrdata;
  tree_node* root;
  tree_node* freelist;
  unsigned count;     // nodes in the tree
  unsigned capacity;  // node slots allocated so far
};

int tree_init(tree* t, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, unsigned nblockitems = 0,
              void* usrdata = nullptr);
int tree_free(tree* t);
int tree_clear(tree* t, int release);

// A new node of type 0 with an empty value: in front of before (under before's parent),
// else as the last child of parent, else as the root (9001 when there is one).
int tree_add(tree* t, tree_node* parent, tree_node* before, tree_node** node);
// A new root of type 0 with an empty value that takes the old root as its only child
// (simply the root in an empty tree).
int tree_add_root(tree* t, tree_node** node);
// Releases the node's value, then fills it from value (value form) by the copy callback,
// or as value lists do without one.
int tree_set(tree* t, tree_node* node, const void* value);
// Removes node with its whole subtree, releasing every value (children first).
int tree_remove(tree* t, tree_node* node);
// Moves node with its subtree in front of before, or to the end of newparent's children.
// Returns node, or nullptr with the code in *err (9013 for a refused move).
tree_node* tree_mv(tree* t, tree_node* node, tree_node* newparent, tree_node* before, int* err = nullptr);

inline unsigned tree_count(const tree* t) { return t ? t->count : 0; }
