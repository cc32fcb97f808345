#include "ds/tree.h"

#include <cstring>

#include "ds/list_v.h"
#include "ds/treeit.h"
#include "err/err.h"

namespace {

inline bool is_free(const tree_node* n) { return n->parent == n; }
inline bool is_ptr_type(unsigned t) { return t == 0x82 || t == 0xC2; }

void put_free(tree* t, tree_node* n) {
  std::memset(n, 0, sizeof *n);
  n->parent = n;
  n->next = t->freelist;
  t->freelist = n;
}

int chain_blocks(tree* t, unsigned start_idx) {
  if (start_idx >= t->mb.nblocks) {
    ERR_LOG(ERR_ERR, 9003, "Invalid start_idx [%u] - nblocks: %u.", start_idx, t->mb.nblocks);
    return 9003;
  }
  tree_node* last = t->freelist;
  while (last && last->next) last = last->next;
  unsigned end = t->mb.nblocks * t->mb.nblockitems;
  for (unsigned i = start_idx * t->mb.nblockitems; i < end; ++i) {
    tree_node* n = static_cast<tree_node*>(mblock_item(&t->mb, i));
    std::memset(n, 0, sizeof *n);
    n->parent = n;
    if (last)
      last->next = n;
    else
      t->freelist = n;
    last = n;
  }
  return 0;
}

void release(tree* t, tree_node* n) {
  if (t->release_cb) t->release_cb(t->valtype, &n->val, nullptr, nullptr, t->usrdata);
}

void unlink(tree* t, tree_node* n) {
  tree_node* p = n->parent;
  if (p) {
    list_unlink(p->first, p->last, n);
    --p->nchildren;
  } else {
    t->root = nullptr;
  }
  n->parent = nullptr;
}

// Links n in front of before under parent, or as parent's last child.
void link(tree_node* n, tree_node* parent, tree_node* before) {
  n->parent = parent;
  list_link_before(parent->first, parent->last, n, before);
  ++parent->nchildren;
}

// A node handed in must be one in use.
bool bad_node(const tree* t, const tree_node* node) {
  if (node && !is_free(node)) return false;
  ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, node: %p.", (const void*)t, (const void*)node);
  return true;
}

}  // namespace

int tree_init(tree* t, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, unsigned nblockitems,
              void* usrdata) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (!list_v_valtype_ok(valtype)) {
    ERR_LOG(ERR_ERR, 9003, "Tree invalid valtype [%#X].", valtype);
    return 9003;
  }
  tree_free(t);
  int rc = mblock_init(&t->mb, (unsigned)sizeof(tree_node), nblockitems, 0);
  if (rc) return rc;
  t->valtype = valtype;
  t->copy_cb = copy_cb;
  t->release_cb = release_cb;
  t->usrdata = usrdata;
  return 0;
}

int tree_free(tree* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  int rc = tree_clear(t, 0);
  mblock_free(&t->mb);
  std::memset(t, 0, sizeof *t);
  return rc;
}

int tree_clear(tree* t, int release_mem) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (t->release_cb)
    for (tree_node* n = treeit_post_first(t, nullptr); n; n = treeit_post_next(n, nullptr)) release(t, n);
  t->root = t->freelist = nullptr;
  t->count = 0;
  if (release_mem) {
    if (t->mb.itemsize) {
      int rc = mblock_reinit(&t->mb);
      if (rc) return rc;
    }
    t->capacity = 0;
  } else if (t->mb.nblocks) {
    return chain_blocks(t, 0);
  }
  return 0;
}

int tree_add(tree* t, tree_node* parent, tree_node* before, tree_node** node) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (node) *node = nullptr;
  if (!node || !t->mb.itemsize || (parent && is_free(parent)) ||
      (before && (is_free(before) || !before->parent || (parent && before->parent != parent)))) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, parent: %p, before: %p, node: %p.", (void*)t, (void*)parent,
            (void*)before, (void*)node);
    return 9003;
  }
  if (before) parent = before->parent;
  if (!parent && t->root) {
    ERR_LOG(ERR_ERR, 9001, "Tree root already exist - tree: %p.", (void*)t);
    return 9001;
  }
  if (t->count + 1 > t->capacity) {
    int rc = mblock_add1(&t->mb);
    if (!rc) rc = chain_blocks(t, t->mb.nblocks - 1);
    if (rc) return rc;
    t->capacity += t->mb.nblockitems;
  }
  tree_node* n = t->freelist;
  t->freelist = n->next;
  std::memset(n, 0, sizeof *n);
  if (parent)
    link(n, parent, before);
  else
    t->root = n;
  ++t->count;
  *node = n;
  return 0;
}

int tree_add_root(tree* t, tree_node** node) {
  if (!t || !node) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, node: %p.", (void*)t, (void*)node);
    return 9003;
  }
  tree_node* old = t->root;
  if (!old) return tree_add(t, nullptr, nullptr, node);
  // take the node as the old root's last child, then swap the two places
  tree_node* n = nullptr;
  int rc = tree_add(t, old, nullptr, &n);
  if (rc) return rc;
  unlink(t, n);
  n->first = n->last = old;
  n->nchildren = 1;
  old->parent = n;
  t->root = n;
  *node = n;
  return 0;
}

int tree_set(tree* t, tree_node* node, const void* value) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (bad_node(t, node)) return 9003;
  // an all-zero slot is the empty value of every accepted type: nothing to release
  static constexpr unsigned char empty[sizeof node->val] = {};
  if (std::memcmp(&node->val, empty, sizeof empty)) release(t, node);
  std::memset(&node->val, 0, sizeof node->val);
  if (t->copy_cb) return t->copy_cb(t->valtype, &node->val, nullptr, nullptr, t->valtype, value, 0, t->usrdata);
  if (is_ptr_type(t->valtype)) {
    node->val.p = const_cast<void*>(value);
    return 0;
  }
  return list_v_copy(t->valtype, &node->val, nullptr, nullptr, t->valtype, value, 0, t->usrdata);
}

int tree_remove(tree* t, tree_node* node) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    return 9003;
  }
  if (bad_node(t, node)) return 9003;
  unlink(t, node);
  // post-order: a node is freed only after its children were visited
  for (tree_node* n = treeit_post_first(t, node); n;) {
    tree_node* next = treeit_post_next(n, node);
    release(t, n);
    put_free(t, n);
    --t->count;
    n = next;
  }
  return 0;
}

tree_node* tree_mv(tree* t, tree_node* node, tree_node* newparent, tree_node* before, int* err) {
  int rc = 0;
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`tree' is NUL.");
    rc = 9003;
  } else if (!node || is_free(node) || (newparent && is_free(newparent)) ||
             (before && (is_free(before) || !before->parent || before == node)) || (!newparent && !before)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - tree: %p, node: %p, newparent: %p, before: %p.", (void*)t, (void*)node,
            (void*)newparent, (void*)before);
    rc = 9003;
  }
  if (!rc) {
    if (before) newparent = before->parent;
    if (node->type != 0 || newparent->type != 0) {
      ERR_LOG(ERR_ERR, 9013, "Can not mv - node.type: %hd, newparent.type: %hd.", node->type, newparent->type);
      rc = 9013;
    } else {
      for (const tree_node* p = newparent; p; p = p->parent)
        if (p == node) {
          ERR_LOG(ERR_ERR, 9013, "Can not mv to child - node: %p, newparent: %p.", (void*)node, (void*)newparent);
          rc = 9013;
          break;
        }
    }
  }
  if (err) *err = rc;
  if (rc) return nullptr;
  if (node->parent == newparent && node->next == before) return node;  // already there
  unlink(t, node);
  link(node, newparent, before);
  return node;
}
