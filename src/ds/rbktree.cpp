#include "ds/rbktree.h"

#include <cstring>

#include "err/err.h"

namespace {

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

void put_free(rbktree* t, rbktree_node* n) {
  std::memset(n, 0, t->mb.itemsize);
  n->color = RBTREE_FREE;
  n->right = t->freelist;
  t->freelist = n;
}

int fill_node(rbktree* t, rbktree_node* n, const void* key) {
  void* k = rbktree_key(n);
  int rc = 0;
  if (t->keyinit_cb)
    rc = t->keyinit_cb(t->keytype, k, nullptr, nullptr, t->usrdata);
  else
    std::memset(k, 0, t->keysize);
  if (rc) return rc;
  if (t->keycopy_cb)
    rc = t->keycopy_cb(t->keytype, k, nullptr, nullptr, t->keytype, key, 0, t->usrdata);
  else
    std::memcpy(k, key, t->keysize);
  if (rc && t->keyrelease_cb) t->keyrelease_cb(t->keytype, k, nullptr, nullptr, t->usrdata);
  return rc;
}

}  // namespace

int rbktree_init(rbktree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                 item_release_cb keyrelease_cb, item_init_cb keyinit_cb, void* usrdata, unsigned nblockitems,
                 unsigned ngrow) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!keysize || keysize > 0x10000000u) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, keysize: %u.", (void*)t, keysize);
    return 9003;
  }
  rbktree_free(t);
  int rc = mblock_init(&t->mb, (unsigned)sizeof(rbktree_node) + rbtree_align8(keysize), nblockitems, ngrow);
  if (rc) return rc;
  t->keysize = keysize;
  t->keytype = keytype;
  t->cmp_cb = cmp_cb;
  t->keycopy_cb = keycopy_cb;
  t->keyrelease_cb = keyrelease_cb;
  t->keyinit_cb = keyinit_cb;
  t->usrdata = usrdata;
  return 0;
}

int rbktree_init_as(rbktree* t, const rbktree* src, void* usrdata) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!src || src == t) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, src: %p.", (void*)t, (const void*)src);
    return 9003;
  }
  return rbktree_init(t, src->keysize, src->keytype, src->cmp_cb, src->keycopy_cb, src->keyrelease_cb, src->keyinit_cb,
                      usrdata, src->mb.nblockitems, src->mb.ngrow);
}

int rbktree_free(rbktree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  int rc = rbktree_clear(t, 0);
  mblock_free(&t->mb);
  std::memset(t, 0, sizeof *t);
  return rc;
}

int rbktree_clear(rbktree* t, int release) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (t->keyrelease_cb)
    for (rbktree_node* n = rbktree_first(t); n; n = rbktree_next(n))
      t->keyrelease_cb(t->keytype, rbktree_key(n), nullptr, nullptr, t->usrdata);
  t->root = t->freelist = nullptr;
  t->count = 0;
  if (release) {
    if (t->mb.itemsize) {
      int rc = mblock_reinit(&t->mb);
      if (rc) return rc;
    }
    t->capacity = 0;
  } else if (t->mb.nblocks) {
    return rbtree_chain_blocks(&t->mb, &t->freelist, 0);
  }
  return 0;
}

rbktree_node* rbktree_insert(rbktree* t, const void* key, int* err) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  if (!key || !t->keysize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, key: %p.", (void*)t, key);
    set_err(err, 9003);
    return nullptr;
  }
  rbktree_node* parent;
  rbktree_node** link;
  if (rbtree_descend(&t->root, t->cmp_cb, t->keysize, t->keytype, key, 0, t->usrdata, &parent, &link)) {
    ERR_LOG(ERR_ERR, 9007, "Key already exist - tree: %p, key: %p.", (void*)t, key);
    set_err(err, 9007);
    return nullptr;
  }
  if (t->count + 1 > t->capacity) {
    int rc = mblock_add1(&t->mb);
    if (!rc) rc = rbtree_chain_blocks(&t->mb, &t->freelist, t->mb.nblocks - 1);
    if (rc) {
      set_err(err, rc);
      return nullptr;
    }
    t->capacity += t->mb.nblockitems;
  }
  rbktree_node* n = t->freelist;
  t->freelist = n->right;
  n->right = nullptr;
  n->color = RBTREE_RED;
  int rc = fill_node(t, n, key);
  if (rc) {
    put_free(t, n);
    set_err(err, rc);
    return nullptr;
  }
  rc = rbtree_link_fix(t, &t->root, parent, link, n);
  ++t->count;
  set_err(err, rc);
  return n;
}

rbktree_node* rbktree_find(const rbktree* t, const void* key) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  if (!key || !t->keysize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, key: %p.", (const void*)t, key);
    return nullptr;
  }
  rbktree_node* root = t->root;
  return rbtree_descend(&root, t->cmp_cb, t->keysize, t->keytype, key, 0, t->usrdata, nullptr, nullptr);
}

rbktree_node* rbktree_find_first(const rbktree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  if (!t || !keyncmp_cb || !key) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, keyncmp_cb: %p, key: %p.", (const void*)t, (void*)keyncmp_cb,
            key);
    return nullptr;
  }
  return rbtree_descend_first(t->root, keyncmp_cb, t->keytype, key, keylen, t->usrdata);
}

int rbktree_remove(rbktree* t, rbktree_node* node) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!node) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, node: %p.", (void*)t, (void*)node);
    return 9003;
  }
  if (node->color == RBTREE_FREE || !t->count) {
    ERR_LOG(ERR_ERR, 9003, "Node [%p] already removed - tree: %p.", (void*)node, (void*)t);
    return 9003;
  }
  if (t->keyrelease_cb) t->keyrelease_cb(t->keytype, rbktree_key(node), nullptr, nullptr, t->usrdata);
  rbtree_unlink(&t->root, node);
  put_free(t, node);
  --t->count;
  return 0;
}

rbktree_node* rbktree_first(const rbktree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  return rbtree_node_min(t->root);
}

rbktree_node* rbktree_last(const rbktree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  return rbtree_node_max(t->root);
}

rbktree_node* rbktree_next(const rbktree_node* node) { return rbtree_next(node); }
rbktree_node* rbktree_prev(const rbktree_node* node) { return rbtree_prev(node); }
