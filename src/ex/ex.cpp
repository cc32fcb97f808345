#include "ex/ex.h"

#include <cstdlib>
#include <cstring>

#include "err/err.h"

namespace {

int node_free(unsigned, void* slot, unsigned*, unsigned*, void* usrdata) {
  ex* e = static_cast<ex*>(usrdata);
  void** pv = static_cast<void**>(slot);
  if (!pv || !*pv || !e) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - node[%p]: %p, ex: %p.", slot, pv ? *pv : nullptr, usrdata);
    return 9003;
  }
  ex_val* v = static_cast<ex_val*>(*pv);
  int rc = 0;
  if (v->type == EX_PRIMARY) {
    if (e->pri_free) rc = e->pri_free(v);
  } else {
    ex_op_clear(v);
  }
  free(v);
  *pv = nullptr;
  return rc;
}

tree_node* combine(ex* e, int op, tree_node* lnode, tree_node* rnode, int* err) {
  int dummy = 0;
  if (!err) err = &dummy;
  *err = 0;
  if (!e || !lnode || !rnode) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ex: %p, lnode: %p, rnode: %p.", (void*)e, (void*)lnode, (void*)rnode);
    *err = 9003;
    return nullptr;
  }
  ex_val* v = ex_op_new(op, err);
  if (!v) return nullptr;
  tree_node* n = nullptr;
  int rc = lnode == e->tree.root ? tree_add_root(&e->tree, &n) : tree_add(&e->tree, nullptr, lnode, &n);
  if (rc) {
    free(v);
    *err = rc;
    return nullptr;
  }
  n->val.p = v;  // a fresh node holds nothing to release
  if (lnode->parent != n && !tree_mv(&e->tree, lnode, n, nullptr, err)) return nullptr;
  if (!tree_mv(&e->tree, rnode, n, nullptr, err)) return nullptr;
  return n;
}

// Walks the tree by its parent and sibling links rather than by recursion: an
// expression is as deep as its operand chain is long, and a search thread has a
// small stack.
int eval_node(const tree_node* top, void* usrdata, int* err) {
  const tree_node* node = top;
  int r = 0;
  for (;;) {
    // down: to the first operand that is a primary, or an operator without operands
    ex_val* v = static_cast<ex_val*>(node->val.p);
    if (!v) {
      ERR_LOG(ERR_ERR, 9003, "ex node is NULL - node: %p.", (const void*)node);
      *err = 9003;
      return 0;
    }
    if (v->type == EX_OPERATOR) {
      if (v->u.op != EX_AND && v->u.op != EX_OR) {
        ERR_LOG(ERR_ERR, 9012, "Unexpected ex op [%d] - exnode: %p.", v->u.op, (const void*)node);
        *err = 9012;
        return 0;
      }
      if (node->first) {
        node = node->first;
        continue;
      }
      r = 0;
    } else if (v->type == EX_PRIMARY) {
      r = v->u.test(usrdata, v) ? 1 : 0;
    } else {
      ERR_LOG(ERR_ERR, 9012, "Unexpected ex node type [%d] - node: %p.", v->type, (const void*)node);
      *err = 9012;
      return 0;
    }
    // up: while the result decides the operator above, or it has no operand left
    for (;;) {
      if (v->negate) r = !r;
      if (node == top) return r;
      const tree_node* parent = node->parent;
      ex_val* pv = static_cast<ex_val*>(parent->val.p);
      // short circuit: AND stops at the first false operand, OR at the first true one
      int decisive = pv->u.op == EX_AND ? 0 : 1;
      if (r != decisive && node->next) {
        node = node->next;
        break;
      }
      node = parent;
      v = pv;
    }
  }
}

}  // namespace

int ex_clear(ex* e) {
  if (!e) {
    ERR_LOG(ERR_ERR, 9003, "`ex' is NUL.");
    return 9003;
  }
  memset(e, 0, sizeof *e);
  return 0;
}

int ex_free(ex* e) {
  if (!e) {
    ERR_LOG(ERR_ERR, 9003, "`ex' is NUL.");
    return 9003;
  }
  int rc = e->tree.mb.itemsize ? tree_free(&e->tree) : 0;
  ex_clear(e);
  return rc;
}

int ex_init(ex* e, ex_pri_free_fn pri_free) {
  if (!e) {
    ERR_LOG(ERR_ERR, 9003, "`ex' is NUL.");
    return 9003;
  }
  ex_free(e);
  int rc = tree_init(&e->tree, 0xC2, nullptr, node_free, 0, e);
  if (rc) return rc;
  e->pri_free = pri_free;
  return 0;
}

ex_val* ex_op_new(int op, int* err) {
  ex_val* v = static_cast<ex_val*>(calloc(1, sizeof(ex_val)));
  if (!v) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(ex_val));
    if (err) *err = 9004;
    return nullptr;
  }
  v->type = EX_OPERATOR;
  v->u.op = op;
  return v;
}

tree_node* ex_add(ex* e, void* value, int* err) {
  int dummy = 0;
  if (!err) err = &dummy;
  *err = 0;
  if (!e || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ex: %p, node: %p.", (void*)e, value);
    *err = 9003;
    return nullptr;
  }
  tree_node* n = nullptr;
  int rc = tree_add(&e->tree, e->tree.root, nullptr, &n);
  if (rc) {
    *err = rc;
    return nullptr;
  }
  n->val.p = value;  // a fresh node holds nothing to release
  return n;
}

tree_node* ex_and(ex* e, tree_node* lnode, tree_node* rnode, int* err) { return combine(e, EX_AND, lnode, rnode, err); }
tree_node* ex_or(ex* e, tree_node* lnode, tree_node* rnode, int* err) { return combine(e, EX_OR, lnode, rnode, err); }

tree_node* ex_not(tree_node* node, int* err) {
  if (err) *err = 0;
  if (!node) {
    ERR_LOG(ERR_ERR, 9003, "`node' is NUL.");
    if (err) *err = 9003;
    return nullptr;
  }
  ex_val* v = static_cast<ex_val*>(node->val.p);
  if (!v) {
    ERR_LOG(ERR_ERR, 9003, "ex node is NULL - node: %p.", (void*)node);
    if (err) *err = 9003;
    return nullptr;
  }
  v->negate = !v->negate;
  return node;
}

int ex_eval(const ex* e, void* usrdata, int* err) {
  int dummy = 0;
  if (!err) err = &dummy;
  *err = 0;
  if (!e || !usrdata) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ex: %p, usrdata: %p.", (const void*)e, usrdata);
    *err = 9003;
    return 0;
  }
  if (!e->tree.root) return 0;
  return eval_node(e->tree.root, usrdata, err);
}

int ex_pri_clear(ex_val* pri) {
  if (!pri) {
    ERR_LOG(ERR_ERR, 9003, "`pri' is NUL.");
    return 9003;
  }
  memset(pri, 0, sizeof *pri);
  return 0;
}

int ex_op_clear(ex_val* op) {
  if (!op) {
    ERR_LOG(ERR_ERR, 9003, "`op' is NUL.");
    return 9003;
  }
  memset(op, 0, sizeof *op);
  return 0;
}

tree_node* ex_root(const ex* e) { return e ? e->tree.root : nullptr; }
ex_val* ex_node_val(const tree_node* node) { return node ? static_cast<ex_val*>(node->val.p) : nullptr; }
