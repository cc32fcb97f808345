#include "ds/treeit.h"

tree_node* treeit_pre_next(const tree_node* node, const tree_node* stop) {
  if (!node) return nullptr;
  if (node->first) return node->first;
  for (const tree_node* n = node; n && n != stop; n = n->parent)
    if (n->next) return n->next;
  return nullptr;
}

tree_node* treeit_pre_prev(const tree_node* node, const tree_node* stop) {
  if (!node || node == stop) return nullptr;
  if (!node->prev) return node->parent;
  tree_node* n = node->prev;
  while (n->last) n = n->last;
  return n;
}

tree_node* treeit_pre_last(const tree* t, const tree_node* node) {
  if (!node) node = t ? t->root : nullptr;
  if (!node) return nullptr;
  while (node->last) node = node->last;
  return const_cast<tree_node*>(node);
}

tree_node* treeit_post_first(const tree* t, const tree_node* node) {
  if (!node) node = t ? t->root : nullptr;
  if (!node) return nullptr;
  while (node->first) node = node->first;
  return const_cast<tree_node*>(node);
}

tree_node* treeit_post_next(const tree_node* node, const tree_node* stop) {
  if (!node || node == stop) return nullptr;
  if (!node->next) return node->parent;
  tree_node* n = node->next;
  while (n->first) n = n->first;
  return n;
}

tree_node* treeit_post_prev(const tree_node* node, const tree_node* stop) {
  if (!node) return nullptr;
  if (node->last) return node->last;
  for (const tree_node* n = node; n && n != stop; n = n->parent)
    if (n->prev) return n->prev;
  return nullptr;
}
