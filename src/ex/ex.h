// Boolean expression over one record: a tree of operator nodes (AND, OR) and
// primaries (tests supplied from outside); negation is a flag on any node.
#pragma once

#include "ds/tree.h"

enum { EX_PRIMARY = 1, EX_OPERATOR = 2 };
enum { EX_AND = 7, EX_OR = 8 };

typedef int (*ex_test_fn)(void* usrdata, void* pri);
// Releases what a primary owns (not the primary's own memory).
typedef int (*ex_pri_free_fn)(void* pri);

// Head of every node value; a primary's own fields follow it.
struct ex_val {
  int type;    // EX_PRIMARY or EX_OPERATOR
  int negate;
  union {
    ex_test_fn test;  // primary
    int op;           // operator: EX_AND or EX_OR
  } u;
};

struct ex {
  tree tree;
  ex_pri_free_fn pri_free;
};

int ex_init(ex* ex, ex_pri_free_fn pri_free);
int ex_free(ex* ex);
int ex_clear(ex* ex);

ex_val* ex_op_new(int op, int* err);
tree_node* ex_add(ex* ex, void* value, int* err);
tree_node* ex_and(ex* ex, tree_node* lnode, tree_node* rnode, int* err);
tree_node* ex_or(ex* ex, tree_node* lnode, tree_node* rnode, int* err);
tree_node* ex_not(tree_node* node, int* err);
// 1 or 0 for the root on usrdata; 0 for an expression without root.
int ex_eval(const ex* ex, void* usrdata, int* err);

int ex_pri_clear(ex_val* pri);
int ex_op_clear(ex_val* op);

tree_node* ex_root(const ex* ex);
// The value a node carries.
ex_val* ex_node_val(const tree_node* node);
