// Directed graph of nodes and edges, each carrying data. Nodes keep the order
// they were added in, and so do each node's outgoing edges; a node also knows
// its incoming edges through reference records. Three pools, nothing moves.
// A record starts zero-filled (`graph x{}`): init releases what the record held.
#pragma once

#include "c/mblock.h"

struct graph_edge;
struct graph_inref;

struct graph_node {
  graph_edge* first_out;
  graph_edge* last_out;
  unsigned nout;
  graph_inref* first_in;
  graph_inref* last_in;
  unsigned nin;
  graph_node* prev;
  graph_node* next;
  // node datasize bytes follow, 8-byte aligned
};

struct graph_edge {
  graph_node* target;  // nullptr for an edge without target
  graph_inref* inref;  // the reference in the target; nullptr for a loop or without target
  unsigned label;
  graph_edge* prev;
  graph_edge* next;
  // edge datasize bytes follow, 8-byte aligned
};

struct graph_inref {
  graph_node* source;
  graph_edge* edge;
  graph_inref* prev;
  graph_inref* next;
};

struct graph {
  mblock node_mb;
  mblock edge_mb;
  mblock ref_mb;
  graph_node* first;
  graph_node* last;
  unsigned nnodes;
  unsigned nedges;
  unsigned nrefs;
  graph_node* node_free;
  graph_edge* edge_free;
  graph_inref* ref_free;
  unsigned node_capacity;
  unsigned edge_capacity;
  unsigned ref_capacity;
  unsigned node_datasize;
  unsigned node_type;
  item_copy_cb node_copy_cb;
  item_release_cb node_release_cb;
  item_init_cb node_init_cb;
  unsigned edge_datasize;  // may be 0: edges with a label only
  unsigned edge_type;
  item_copy_cb edge_copy_cb;
  item_release_cb edge_release_cb;
  item_init_cb edge_init_cb;
  void* usrdata;
};

int graph_init(graph* g, unsigned node_datasize, unsigned node_type, item_copy_cb node_copy_cb,
               item_release_cb node_release_cb, item_init_cb node_init_cb, unsigned edge_datasize, unsigned edge_type,
               item_copy_cb edge_copy_cb, item_release_cb edge_release_cb, item_init_cb edge_init_cb, void* usrdata,
               unsigned node_nblockitems = 0, unsigned edge_nblockitems = 0, unsigned node_ngrow = 0,
               unsigned edge_ngrow = 0);
int graph_free(graph* g);

// data nullptr: the data keeps its initial contents; without a copy callback datasize bytes are copied.
graph_node* graph_add_node(graph* g, const void* data, int* err = nullptr);
// node2 nullptr: an edge without target.
int graph_add_edge(graph* g, graph_node* node1, unsigned label, const void* data, graph_node* node2,
                   graph_edge** edge = nullptr);

inline graph_node* graph_first(const graph* g) { return g ? g->first : nullptr; }
inline graph_node* graph_last(const graph* g) { return g ? g->last : nullptr; }
inline graph_node* graph_next(const graph_node* n) { return n ? n->next : nullptr; }
inline graph_node* graph_prev(const graph_node* n) { return n ? n->prev : nullptr; }
inline graph_edge* graph_edge_first(const graph_node* n) { return n ? n->first_out : nullptr; }
inline graph_edge* graph_edge_next(const graph_edge* e) { return e ? e->next : nullptr; }
inline graph_inref* graph_in_first(const graph_node* n) { return n ? n->first_in : nullptr; }
inline graph_inref* graph_in_next(const graph_inref* r) { return r ? r->next : nullptr; }
inline void* graph_node_data(const graph_node* n) {
  return n ? const_cast<char*>(reinterpret_cast<const char*>(n)) + sizeof(graph_node) : nullptr;
}
inline void* graph_edge_data(const graph_edge* e) {
  return e ? const_cast<char*>(reinterpret_cast<const char*>(e)) + sizeof(graph_edge) : nullptr;
}
