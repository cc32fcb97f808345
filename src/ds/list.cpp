#include "ds/list.h"

#include <cstring>

#include "err/err.h"

namespace {

constexpr unsigned align8(unsigned n) { return (n + 7u) & ~7u; }

// A node on the free list points back at itself, so a node handed in twice is caught.
inline bool is_free(const list_node* n) { return n->prev == n; }

inline list_node* node_at(const list* l, unsigned idx) { return static_cast<list_node*>(mblock_item(&l->mb, idx)); }

// Chains every node of blocks start_idx.. behind the last node of the free list.
int chain_blocks(list* l, unsigned start_idx) {
  if (start_idx >= l->mb.nblocks) {
    ERR_LOG(ERR_ERR, 9003, "Invalid start_idx [%u] - nblocks: %u.", start_idx, l->mb.nblocks);
    return 9003;
  }
  list_node* last = l->freelist;
  while (last && last->next) last = last->next;
  unsigned first = start_idx * l->mb.nblockitems, end = l->mb.nblocks * l->mb.nblockitems;
  for (unsigned i = first; i < end; ++i) {
    list_node* n = node_at(l, i);
    n->prev = n;
    n->next = nullptr;
    if (last)
      last->next = n;
    else
      l->freelist = n;
    last = n;
  }
  return 0;
}

void put_free(list* l, list_node* n) {
  n->prev = n;
  n->next = l->freelist;
  l->freelist = n;
}

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

}  // namespace

int list_init(list* l, unsigned datasize, unsigned type, item_copy_cb copy_cb, item_release_cb release_cb,
              item_init_cb init_cb, void* usrdata, unsigned nblockitems, unsigned ngrow) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!datasize || datasize > 0xFFFFFFFFu - 8 - sizeof(list_node)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, datasize: %u.", (void*)l, datasize);
    return 9003;
  }
  list_free(l);
  int rc = mblock_init(&l->mb, (unsigned)sizeof(list_node) + align8(datasize), nblockitems, ngrow);
  if (rc) return rc;
  l->datasize = datasize;
  l->type = type;
  l->copy_cb = copy_cb;
  l->release_cb = release_cb;
  l->init_cb = init_cb;
  l->usrdata = usrdata;
  return 0;
}

int list_free(list* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  int rc = list_clear(l, 0);
  mblock_free(&l->mb);
  std::memset(l, 0, sizeof *l);
  return rc;
}

int list_clear(list* l, int release) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  int rc = 0;
  if (l->release_cb && l->count) {
    for (list_node* n = l->head; n; n = n->next) {
      int r = l->release_cb(l->type, list_data(n), nullptr, nullptr, l->usrdata);
      if (r && !rc) rc = r;
    }
  }
  l->head = l->tail = l->freelist = nullptr;
  l->count = 0;
  if (release) {
    if (l->mb.itemsize) {
      int r = mblock_reinit(&l->mb);
      if (r && !rc) rc = r;
    }
    l->capacity = 0;
  } else if (l->mb.nblocks) {
    int r = chain_blocks(l, 0);
    if (r && !rc) rc = r;
  }
  return rc;
}

list_node* list_insert(list* l, list_node* before, const void* data, int* err) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  if (!l->datasize || (before && is_free(before))) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, item: %p.", (void*)l, (void*)before);
    set_err(err, 9003);
    return nullptr;
  }
  if (l->count + 1 > l->capacity) {
    int rc = mblock_add1(&l->mb);
    if (!rc) rc = chain_blocks(l, l->mb.nblocks - 1);
    if (rc) {
      set_err(err, rc);
      return nullptr;
    }
    l->capacity += l->mb.nblockitems;
  }
  list_node* n = l->freelist;
  l->freelist = n->next;
  n->prev = n->next = nullptr;
  void* d = list_data(n);
  int rc = 0;
  if (l->init_cb)
    rc = l->init_cb(l->type, d, nullptr, nullptr, l->usrdata);
  else
    std::memset(d, 0, l->datasize);
  if (rc) {
    put_free(l, n);
    set_err(err, rc);
    return nullptr;
  }
  if (data) {
    if (l->copy_cb)
      rc = l->copy_cb(l->type, d, nullptr, nullptr, l->type, data, 0, l->usrdata);
    else
      std::memcpy(d, data, l->datasize);
    if (rc) {
      // what the initialiser set up must not leak
      if (l->release_cb) l->release_cb(l->type, d, nullptr, nullptr, l->usrdata);
      put_free(l, n);
      set_err(err, rc);
      return nullptr;
    }
  }
  list_link_before(l->head, l->tail, n, before);
  ++l->count;
  set_err(err, 0);
  return n;
}

list_node* list_push(list* l, const void* data, int* err) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  return list_insert(l, l->head, data, err);
}

list_node* list_append(list* l, const void* data, int* err) { return list_insert(l, nullptr, data, err); }

int list_move_before(list* l, list_node* item, list_node* nextitem) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!item || is_free(item) || (nextitem && is_free(nextitem))) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, item: %p, nextitem: %p.", (void*)l, (void*)item, (void*)nextitem);
    return 9003;
  }
  if (item == nextitem) {
    ERR_LOG(ERR_WARN, 0, "Next same as item - list: %p, item: %p, nextitem: %p.", (void*)l, (void*)item,
            (void*)nextitem);
    return 0;
  }
  if (item->next == nextitem) return 0;
  list_unlink(l->head, l->tail, item);
  list_link_before(l->head, l->tail, item, nextitem);
  return 0;
}

int list_move_after(list* l, list_node* item, list_node* previtem) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!item || is_free(item) || (previtem && is_free(previtem))) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, item: %p, previtem: %p.", (void*)l, (void*)item, (void*)previtem);
    return 9003;
  }
  if (item == previtem) {
    ERR_LOG(ERR_WARN, 0, "Prev same as item - list: %p, item: %p, previtem: %p.", (void*)l, (void*)item,
            (void*)previtem);
    return 0;
  }
  if (item->prev == previtem) return 0;
  list_unlink(l->head, l->tail, item);
  list_link_before(l->head, l->tail, item, previtem ? previtem->next : l->head);
  return 0;
}

list_node* list_remove(list* l, list_node* item, int* err) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  if (!item || is_free(item) || !l->count) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, item: %p.", (void*)l, (void*)item);
    set_err(err, 9003);
    return nullptr;
  }
  int rc = 0;
  if (l->release_cb) rc = l->release_cb(l->type, list_data(item), nullptr, nullptr, l->usrdata);
  list_node* next = item->next;
  list_unlink(l->head, l->tail, item);
  put_free(l, item);
  --l->count;
  set_err(err, rc);
  return next;
}

int list_cp(list* l, const list* src) { return list_cp_by(l, src, nullptr); }

int list_cp_by(list* l, const list* src, const void* (*value)(unsigned type, const void* data)) {
  if (!l) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  if (!src || src == l) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - list: %p, src: %p.", (void*)l, (const void*)src);
    return 9003;
  }
  int rc = list_init(l, src->datasize, src->type, src->copy_cb, src->release_cb, src->init_cb, src->usrdata,
                     src->mb.nblockitems, src->mb.ngrow);
  if (rc) return rc;
  for (list_node* n = src->head; n; n = n->next) {
    list_append(l, value ? value(src->type, list_data(n)) : list_data(n), &rc);
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "List `cp' failed - list: %p, src: %p, src_item: %p.", (void*)l, (const void*)src, (void*)n);
      return rc;
    }
  }
  return 0;
}

list_node* list_first(const list* l) { return l ? l->head : nullptr; }
list_node* list_last(const list* l) { return l ? l->tail : nullptr; }
list_node* list_prev(const list_node* node) { return node ? node->prev : nullptr; }
list_node* list_next(const list_node* node) { return node ? node->next : nullptr; }
