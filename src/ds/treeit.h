// Walks over a tree's nodes, each bounded by a stop node: the top of the subtree
// walked (nullptr: the whole tree). The walks return nullptr past their end.
#pragma once

#include "ds/tree.h"

// Pre-order (a node before its children), starting from the top itself.
tree_node* treeit_pre_next(const tree_node* node, const tree_node* stop);
tree_node* treeit_pre_prev(const tree_node* node, const tree_node* stop);
// The last node of the pre-order walk of node's subtree (node nullptr: the root's).
tree_node* treeit_pre_last(const tree* t, const tree_node* node);

// Post-order (children before their node), ending with the top itself.
// The first node: from node (nullptr: the root) down the first children to a leaf.
tree_node* treeit_post_first(const tree* t, const tree_node* node);
tree_node* treeit_post_next(const tree_node* node, const tree_node* stop);
tree_node* treeit_post_prev(const tree_node* node, const tree_node* stop);
