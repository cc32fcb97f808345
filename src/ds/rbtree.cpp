#include "ds/rbtree.h"

#include <cstring>

#include "err/err.h"

namespace {

inline int color(const rbtree_node* n) { return n ? n->color : RBTREE_BLACK; }

void rotate_left(rbtree_node** root, rbtree_node* x) {
  rbtree_node* y = x->right;
  x->right = y->left;
  if (y->left) y->left->parent = x;
  y->parent = x->parent;
  if (!x->parent)
    *root = y;
  else if (x == x->parent->left)
    x->parent->left = y;
  else
    x->parent->right = y;
  y->left = x;
  x->parent = y;
}

void rotate_right(rbtree_node** root, rbtree_node* x) {
  rbtree_node* y = x->left;
  x->left = y->right;
  if (y->right) y->right->parent = x;
  y->parent = x->parent;
  if (!x->parent)
    *root = y;
  else if (x == x->parent->right)
    x->parent->right = y;
  else
    x->parent->left = y;
  y->right = x;
  x->parent = y;
}

void transplant(rbtree_node** root, rbtree_node* u, rbtree_node* v) {
  if (!u->parent)
    *root = v;
  else if (u == u->parent->left)
    u->parent->left = v;
  else
    u->parent->right = v;
  if (v) v->parent = u->parent;
}

// x (possibly none) below xp carries one black too few.
void remove_fix(rbtree_node** root, rbtree_node* x, rbtree_node* xp) {
  while (x != *root && color(x) == RBTREE_BLACK) {
    if (x == xp->left) {
      rbtree_node* w = xp->right;
      if (color(w) == RBTREE_RED) {
        w->color = RBTREE_BLACK;
        xp->color = RBTREE_RED;
        rotate_left(root, xp);
        w = xp->right;
      }
      if (color(w->left) == RBTREE_BLACK && color(w->right) == RBTREE_BLACK) {
        w->color = RBTREE_RED;
        x = xp;
        xp = x->parent;
      } else {
        if (color(w->right) == RBTREE_BLACK) {
          w->left->color = RBTREE_BLACK;
          w->color = RBTREE_RED;
          rotate_right(root, w);
          w = xp->right;
        }
        w->color = xp->color;
        xp->color = RBTREE_BLACK;
        w->right->color = RBTREE_BLACK;
        rotate_left(root, xp);
        x = *root;
      }
    } else {
      rbtree_node* w = xp->left;
      if (color(w) == RBTREE_RED) {
        w->color = RBTREE_BLACK;
        xp->color = RBTREE_RED;
        rotate_right(root, xp);
        w = xp->left;
      }
      if (color(w->left) == RBTREE_BLACK && color(w->right) == RBTREE_BLACK) {
        w->color = RBTREE_RED;
        x = xp;
        xp = x->parent;
      } else {
        if (color(w->left) == RBTREE_BLACK) {
          w->right->color = RBTREE_BLACK;
          w->color = RBTREE_RED;
          rotate_left(root, w);
          w = xp->left;
        }
        w->color = xp->color;
        xp->color = RBTREE_BLACK;
        w->left->color = RBTREE_BLACK;
        rotate_right(root, xp);
        x = *root;
      }
    }
  }
  if (x) x->color = RBTREE_BLACK;
}

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline unsigned itemsize(unsigned keysize, unsigned valsize) {
  return (unsigned)sizeof(rbtree_node) + rbtree_align8(keysize) + rbtree_align8(valsize);
}

// Fills the data of a node just taken: initialisers (or zeros), then the copies.
int fill_node(rbtree* t, rbtree_node* n, const void* key, const void* value) {
  void* k = rbtree_key(n);
  void* v = rbtree_val(t, n);
  int rc = 0;
  if (t->keyinit_cb)
    rc = t->keyinit_cb(t->keytype, k, nullptr, nullptr, t->usrdata);
  else
    std::memset(k, 0, t->keysize);
  if (rc) return rc;
  if (t->valinit_cb)
    rc = t->valinit_cb(t->valtype, v, nullptr, nullptr, t->usrdata);
  else
    std::memset(v, 0, t->valsize);
  if (rc) {
    if (t->keyrelease_cb) t->keyrelease_cb(t->keytype, k, nullptr, nullptr, t->usrdata);
    return rc;
  }
  if (t->keycopy_cb)
    rc = t->keycopy_cb(t->keytype, k, nullptr, nullptr, t->keytype, key, 0, t->usrdata);
  else
    std::memcpy(k, key, t->keysize);
  if (!rc && value) {
    if (t->valcopy_cb)
      rc = t->valcopy_cb(t->valtype, v, nullptr, nullptr, t->valtype, value, 0, t->usrdata);
    else
      std::memcpy(v, value, t->valsize);
  }
  if (rc) {
    if (t->keyrelease_cb) t->keyrelease_cb(t->keytype, k, nullptr, nullptr, t->usrdata);
    if (t->valrelease_cb) t->valrelease_cb(t->valtype, v, nullptr, nullptr, t->usrdata);
  }
  return rc;
}

void put_free(rbtree_node** freelist, rbtree_node* n, unsigned size) {
  std::memset(n, 0, size);
  n->color = RBTREE_FREE;
  n->right = *freelist;
  *freelist = n;
}

rbtree_node* node_min(const rbtree_node* n) {
  if (!n) return nullptr;
  while (n->left) n = n->left;
  return const_cast<rbtree_node*>(n);
}

rbtree_node* node_max(const rbtree_node* n) {
  if (!n) return nullptr;
  while (n->right) n = n->right;
  return const_cast<rbtree_node*>(n);
}

// Links z as a red leaf at *link below parent and rebalances.
int link_fix(rbtree* t, rbtree_node* parent, rbtree_node** link, rbtree_node* z) {
  rbtree_node** root = &t->root;
  z->parent = parent;
  z->left = z->right = nullptr;
  z->color = RBTREE_RED;
  *link = z;
  rbtree_node* p;
  while ((p = z->parent) && p->color == RBTREE_RED) {
    rbtree_node* g = p->parent;
    if (!g) {
      ERR_LOG(ERR_ERR, 9012, "No grandparent - tree: %p, p: %p.", (void*)t, (void*)p);
      (*root)->color = RBTREE_BLACK;
      return 9012;
    }
    if (p == g->left) {
      rbtree_node* u = g->right;
      if (color(u) == RBTREE_RED) {
        p->color = u->color = RBTREE_BLACK;
        g->color = RBTREE_RED;
        z = g;
      } else {
        if (z == p->right) {
          z = p;
          rotate_left(root, z);
          p = z->parent;
        }
        p->color = RBTREE_BLACK;
        g->color = RBTREE_RED;
        rotate_right(root, g);
      }
    } else {
      rbtree_node* u = g->left;
      if (color(u) == RBTREE_RED) {
        p->color = u->color = RBTREE_BLACK;
        g->color = RBTREE_RED;
        z = g;
      } else {
        if (z == p->left) {
          z = p;
          rotate_right(root, z);
          p = z->parent;
        }
        p->color = RBTREE_BLACK;
        g->color = RBTREE_RED;
        rotate_left(root, g);
      }
    }
  }
  (*root)->color = RBTREE_BLACK;
  return 0;
}

// Unlinks z and rebalances; z's own links are left as they were.
void unlink(rbtree_node** root, rbtree_node* z) {
  rbtree_node *x, *xp;
  int orig = z->color;
  if (!z->left) {
    x = z->right;
    xp = z->parent;
    transplant(root, z, z->right);
  } else if (!z->right) {
    x = z->left;
    xp = z->parent;
    transplant(root, z, z->left);
  } else {
    rbtree_node* y = node_min(z->right);
    orig = y->color;
    x = y->right;
    if (y->parent == z) {
      xp = y;
    } else {
      xp = y->parent;
      transplant(root, y, y->right);
      y->right = z->right;
      y->right->parent = y;
    }
    transplant(root, z, y);
    y->left = z->left;
    y->left->parent = y;
    y->color = z->color;
  }
  if (orig == RBTREE_BLACK && *root) remove_fix(root, x, xp);
}

// The node whose key compares equal, or nullptr with *link (when asked) set to where the key
// belongs and *parent to the node above it.
rbtree_node* descend(const rbtree* t, item_cmp_cb cmp_cb, const void* key, unsigned keylen, rbtree_node** parent,
                     rbtree_node*** link) {
  rbtree_node* p = nullptr;
  rbtree_node** l = const_cast<rbtree_node**>(&t->root);
  while (*l) {
    rbtree_node* n = *l;
    int c = cmp_cb ? cmp_cb(t->keytype, key, keylen, t->keytype, rbtree_key(n), 0, t->usrdata)
                   : std::memcmp(key, rbtree_key(n), t->keysize);
    if (!c) return n;
    p = n;
    l = c < 0 ? &n->left : &n->right;
  }
  if (parent) *parent = p;
  if (link) *link = l;
  return nullptr;
}

// Chains the nodes of blocks start_idx.. behind the free list.
int chain_blocks(const mblock* mb, rbtree_node** freelist, unsigned start_idx) {
  if (start_idx >= mb->nblocks) {
    ERR_LOG(ERR_ERR, 9003, "Invalid start_idx [%u] - nblocks: %u.", start_idx, mb->nblocks);
    return 9003;
  }
  rbtree_node* last = *freelist;
  while (last && last->right) last = last->right;
  unsigned end = mb->nblocks * mb->nblockitems;
  for (unsigned i = start_idx * mb->nblockitems; i < end; ++i) {
    rbtree_node* n = static_cast<rbtree_node*>(mblock_item(mb, i));
    n->color = RBTREE_FREE;
    n->parent = n->left = n->right = nullptr;
    if (last)
      last->right = n;
    else
      *freelist = n;
    last = n;
  }
  return 0;
}

}  // namespace

int rbtree_setup(rbtree* t, bool keyonly, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb,
                 item_copy_cb keycopy_cb, item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valsize,
                 unsigned valtype, item_copy_cb valcopy_cb, item_release_cb valrelease_cb, item_init_cb valinit_cb,
                 void* usrdata, unsigned nblockitems, unsigned ngrow) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  constexpr unsigned maxsize = 0x10000000u;  // keeps the node size within 32 bits
  if (keyonly && (!keysize || keysize > maxsize)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, keysize: %u.", (void*)t, keysize);
    return 9003;
  }
  if (!keyonly && (!keysize || !valsize || keysize > maxsize || valsize > maxsize)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, keysize: %u, valsize: %u.", (void*)t, keysize, valsize);
    return 9003;
  }
  rbtree_free(t);
  int rc = mblock_init(&t->mb, itemsize(keysize, valsize), nblockitems, ngrow);
  if (rc) return rc;
  t->keysize = keysize;
  t->keytype = keytype;
  t->cmp_cb = cmp_cb;
  t->keycopy_cb = keycopy_cb;
  t->keyrelease_cb = keyrelease_cb;
  t->keyinit_cb = keyinit_cb;
  t->valsize = valsize;
  t->valtype = valtype;
  t->valcopy_cb = valcopy_cb;
  t->valrelease_cb = valrelease_cb;
  t->valinit_cb = valinit_cb;
  t->usrdata = usrdata;
  return 0;
}

int rbtree_setup_as(rbtree* t, const rbtree* src, void* usrdata, bool keyonly) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!src || src == t) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, src: %p.", (void*)t, (const void*)src);
    return 9003;
  }
  return rbtree_setup(t, keyonly, src->keysize, src->keytype, src->cmp_cb, src->keycopy_cb, src->keyrelease_cb,
                      src->keyinit_cb, src->valsize, src->valtype, src->valcopy_cb, src->valrelease_cb,
                      src->valinit_cb, usrdata, src->mb.nblockitems, src->mb.ngrow);
}

int rbtree_init(rbtree* t, unsigned keysize, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valsize, unsigned valtype,
                item_copy_cb valcopy_cb, item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata,
                unsigned nblockitems, unsigned ngrow) {
  return rbtree_setup(t, false, keysize, keytype, cmp_cb, keycopy_cb, keyrelease_cb, keyinit_cb, valsize, valtype,
                      valcopy_cb, valrelease_cb, valinit_cb, usrdata, nblockitems, ngrow);
}

int rbtree_init_as(rbtree* t, const rbtree* src, void* usrdata) { return rbtree_setup_as(t, src, usrdata, false); }

int rbtree_free(rbtree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  int rc = rbtree_clear(t, 0);
  mblock_free(&t->mb);
  std::memset(t, 0, sizeof *t);
  return rc;
}

int rbtree_clear(rbtree* t, int release) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (t->keyrelease_cb || t->valrelease_cb) {
    for (rbtree_node* n = rbtree_first(t); n; n = rbtree_next(n)) {
      if (t->keyrelease_cb) t->keyrelease_cb(t->keytype, rbtree_key(n), nullptr, nullptr, t->usrdata);
      if (t->valrelease_cb) t->valrelease_cb(t->valtype, rbtree_val(t, n), nullptr, nullptr, t->usrdata);
    }
  }
  t->root = t->freelist = nullptr;
  t->count = 0;
  if (release) {
    if (t->mb.itemsize) {
      int rc = mblock_reinit(&t->mb);
      if (rc) return rc;
    }
    t->capacity = 0;
  } else if (t->mb.nblocks) {
    return chain_blocks(&t->mb, &t->freelist, 0);
  }
  return 0;
}

rbtree_node* rbtree_insert(rbtree* t, const void* key, const void* value, int* err) {
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
  rbtree_node* parent;
  rbtree_node** link;
  if (descend(t, t->cmp_cb, key, 0, &parent, &link)) {
    ERR_LOG(ERR_ERR, 9007, "Key already exist - tree: %p, key: %p.", (void*)t, key);
    set_err(err, 9007);
    return nullptr;
  }
  if (t->count + 1 > t->capacity) {
    int rc = mblock_add1(&t->mb);
    if (!rc) rc = chain_blocks(&t->mb, &t->freelist, t->mb.nblocks - 1);
    if (rc) {
      set_err(err, rc);
      return nullptr;
    }
    t->capacity += t->mb.nblockitems;
  }
  rbtree_node* n = t->freelist;
  t->freelist = n->right;
  n->right = nullptr;
  n->color = RBTREE_RED;
  // the data is complete before the node joins the tree, so a failed copy leaves the tree intact
  int rc = fill_node(t, n, key, value);
  if (rc) {
    put_free(&t->freelist, n, t->mb.itemsize);
    set_err(err, rc);
    return nullptr;
  }
  rc = link_fix(t, parent, link, n);
  ++t->count;
  set_err(err, rc);
  return n;
}

rbtree_node* rbtree_find(const rbtree* t, const void* key) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  if (!key || !t->keysize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, key: %p.", (const void*)t, key);
    return nullptr;
  }
  return descend(t, t->cmp_cb, key, 0, nullptr, nullptr);
}

rbtree_node* rbtree_find_first(const rbtree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen) {
  if (!t || !keyncmp_cb || !key) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, keyncmp_cb: %p, key: %p.", (const void*)t, (void*)keyncmp_cb,
            key);
    return nullptr;
  }
  rbtree_node* n = descend(t, keyncmp_cb, key, keylen, nullptr, nullptr);
  for (rbtree_node* p = n ? rbtree_prev(n) : nullptr;
       p && !keyncmp_cb(t->keytype, key, keylen, t->keytype, rbtree_key(p), 0, t->usrdata); p = rbtree_prev(p))
    n = p;
  return n;
}

int rbtree_remove(rbtree* t, rbtree_node* node) {
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
  if (t->keyrelease_cb) t->keyrelease_cb(t->keytype, rbtree_key(node), nullptr, nullptr, t->usrdata);
  if (t->valrelease_cb) t->valrelease_cb(t->valtype, rbtree_val(t, node), nullptr, nullptr, t->usrdata);
  unlink(&t->root, node);
  put_free(&t->freelist, node, t->mb.itemsize);
  --t->count;
  return 0;
}

rbtree_node* rbtree_first(const rbtree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  return node_min(t->root);
}

rbtree_node* rbtree_last(const rbtree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return nullptr;
  }
  return node_max(t->root);
}

rbtree_node* rbtree_next(const rbtree_node* n) {
  if (!n) {
    ERR_LOG(ERR_ERR, 9003, "`node' is NUL.");
    return nullptr;
  }
  if (n->right) return node_min(n->right);
  const rbtree_node* p = n->parent;
  while (p && n == p->right) {
    n = p;
    p = p->parent;
  }
  return const_cast<rbtree_node*>(p);
}

rbtree_node* rbtree_prev(const rbtree_node* n) {
  if (!n) {
    ERR_LOG(ERR_ERR, 9003, "`node' is NUL.");
    return nullptr;
  }
  if (n->left) return node_max(n->left);
  const rbtree_node* p = n->parent;
  while (p && n == p->left) {
    n = p;
    p = p->parent;
  }
  return const_cast<rbtree_node*>(p);
}
