// Doubly linked list whose nodes live in an mblock: a node never moves, removed
// nodes are kept on a free list and reused first, a cleared list keeps its
// blocks unless asked to release them.
// A record starts zero-filled (`list x{}`): init releases what the record held.
#pragma once

#include "c/mblock.h"

struct list_node {
  list_node* prev;
  list_node* next;
  // datasize bytes of data follow, 8-byte aligned
};

struct list {
  mblock mb;  // items of the node header + datasize
  list_node* head;
  list_node* tail;
  unsigned count;       // nodes in the list
  list_node* freelist;  // nodes not in the list, chained through next
  unsigned capacity;    // node slots allocated so far
  unsigned datasize;
  unsigned type;  // first argument of every callback
  item_copy_cb copy_cb;
  item_release_cb release_cb;
  item_init_cb init_cb;
  void* usrdata;  // last argument of every callback
};

int list_init(list* l, unsigned datasize, unsigned type, item_copy_cb copy_cb, item_release_cb release_cb,
              item_init_cb init_cb, void* usrdata, unsigned nblockitems = 0, unsigned ngrow = 0);
int list_free(list* l);
int list_clear(list* l, int release);

// The node taken into use, or nullptr with the code in *err (err may be nullptr).
list_node* list_insert(list* l, list_node* before, const void* data, int* err = nullptr);
list_node* list_push(list* l, const void* data, int* err = nullptr);
list_node* list_append(list* l, const void* data, int* err = nullptr);

int list_move_before(list* l, list_node* item, list_node* nextitem);
int list_move_after(list* l, list_node* item, list_node* previtem);

// Returns the node that followed item; nullptr at the end or on failure. *err: 9003 for a bad
// item (nothing done), else the release callback's code (the node is removed all the same).
list_node* list_remove(list* l, list_node* item, int* err = nullptr);
int list_cp(list* l, const list* src);
// list_cp handing the copy value(type, data) of each source node instead of its data
// (nullptr: the data itself).
int list_cp_by(list* l, const list* src, const void* (*value)(unsigned type, const void* data));

list_node* list_first(const list* l);
list_node* list_last(const list* l);
list_node* list_prev(const list_node* node);
list_node* list_next(const list_node* node);

// The chain steps of the list, for every container whose nodes chain through prev and
// next between a first and a last (tree siblings, graph nodes and edges).
// Links n in front of before, or at the end when before is nullptr.
template <typename N>
void list_link_before(N*& first, N*& last, N* n, N* before = nullptr) {
  n->next = before;
  n->prev = before ? before->prev : last;
  (n->prev ? n->prev->next : first) = n;
  (before ? before->prev : last) = n;
}
// Unlinks n and clears its links.
template <typename N>
void list_unlink(N*& first, N*& last, N* n) {
  (n->prev ? n->prev->next : first) = n->next;
  (n->next ? n->next->prev : last) = n->prev;
  n->prev = n->next = nullptr;
}

inline unsigned list_count(const list* l) { return l ? l->count : 0; }
inline void* list_data(const list_node* node) {
  return node ? const_cast<char*>(reinterpret_cast<const char*>(node)) + sizeof(list_node) : nullptr;
}
