#include "ds/graph.h"

#include <cstring>

#include "ds/list.h"
#include "err/err.h"

namespace {

constexpr unsigned align8(unsigned n) { return (n + 7u) & ~7u; }

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

// Takes an item of a pool, growing it by one block (chained onto the free list) when full.
template <typename T>
T* take(mblock* mb, T** freelist, unsigned count, unsigned* capacity, int* rc) {
  if (count + 1 > *capacity) {
    *rc = mblock_add1(mb);
    if (*rc) return nullptr;
    unsigned start_idx = mb->nblocks - 1;
    T* last = *freelist;
    while (last && last->next) last = last->next;
    for (unsigned i = start_idx * mb->nblockitems; i < mb->nblocks * mb->nblockitems; ++i) {
      T* item = static_cast<T*>(mblock_item(mb, i));
      item->next = nullptr;
      if (last)
        last->next = item;
      else
        *freelist = item;
      last = item;
    }
    *capacity += mb->nblockitems;
  }
  T* item = *freelist;
  *freelist = item->next;
  std::memset(item, 0, mb->itemsize);
  *rc = 0;
  return item;
}

template <typename T>
void give_back(T** freelist, T* item) {
  item->next = *freelist;
  *freelist = item;
}

// Initialiser (or zeros), then the copy (or a plain copy) when data is given.
int fill(void* dst, unsigned size, unsigned type, item_copy_cb copy_cb, item_release_cb release_cb,
         item_init_cb init_cb, const void* data, void* usrdata) {
  int rc = 0;
  if (init_cb)
    rc = init_cb(type, dst, nullptr, nullptr, usrdata);
  else if (size)
    std::memset(dst, 0, size);
  if (rc || !data) return rc;
  if (copy_cb)
    rc = copy_cb(type, dst, nullptr, nullptr, type, data, 0, usrdata);
  else if (size)
    std::memcpy(dst, data, size);
  if (rc && release_cb) release_cb(type, dst, nullptr, nullptr, usrdata);
  return rc;
}

}  // namespace

int graph_init(graph* g, unsigned node_datasize, unsigned node_type, item_copy_cb node_copy_cb,
               item_release_cb node_release_cb, item_init_cb node_init_cb, unsigned edge_datasize, unsigned edge_type,
               item_copy_cb edge_copy_cb, item_release_cb edge_release_cb, item_init_cb edge_init_cb, void* usrdata,
               unsigned node_nblockitems, unsigned edge_nblockitems, unsigned node_ngrow, unsigned edge_ngrow) {
  if (!g) {
    ERR_LOG(ERR_ERR, 9003, "`graph' is NUL.");
    return 9003;
  }
  if (!node_datasize || node_datasize > 0x10000000u || edge_datasize > 0x10000000u) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - graph: %p, datasize: %u.", (void*)g,
            node_datasize > 0x10000000u || !node_datasize ? node_datasize : edge_datasize);
    return 9003;
  }
  graph_free(g);
  int rc = mblock_init(&g->node_mb, (unsigned)sizeof(graph_node) + align8(node_datasize), node_nblockitems, node_ngrow);
  if (!rc)
    rc = mblock_init(&g->edge_mb, (unsigned)sizeof(graph_edge) + align8(edge_datasize), edge_nblockitems, edge_ngrow);
  // references come and go with the edges that point at other nodes
  if (!rc) rc = mblock_init(&g->ref_mb, (unsigned)sizeof(graph_inref), edge_nblockitems, edge_ngrow);
  if (rc) {
    graph_free(g);
    return rc;
  }
  g->node_datasize = node_datasize;
  g->node_type = node_type;
  g->node_copy_cb = node_copy_cb;
  g->node_release_cb = node_release_cb;
  g->node_init_cb = node_init_cb;
  g->edge_datasize = edge_datasize;
  g->edge_type = edge_type;
  g->edge_copy_cb = edge_copy_cb;
  g->edge_release_cb = edge_release_cb;
  g->edge_init_cb = edge_init_cb;
  g->usrdata = usrdata;
  return 0;
}

int graph_free(graph* g) {
  if (!g) {
    ERR_LOG(ERR_ERR, 9003, "`graph' is NUL.");
    return 9003;
  }
  if (g->edge_release_cb)
    for (graph_node* n = g->first; n; n = n->next)
      for (graph_edge* e = n->first_out; e; e = e->next)
        g->edge_release_cb(g->edge_type, graph_edge_data(e), nullptr, nullptr, g->usrdata);
  if (g->node_release_cb)
    for (graph_node* n = g->first; n; n = n->next)
      g->node_release_cb(g->node_type, graph_node_data(n), nullptr, nullptr, g->usrdata);
  mblock_free(&g->node_mb);
  mblock_free(&g->edge_mb);
  mblock_free(&g->ref_mb);
  std::memset(g, 0, sizeof *g);
  return 0;
}

graph_node* graph_add_node(graph* g, const void* data, int* err) {
  if (!g) {
    ERR_LOG(ERR_ERR, 9003, "`graph' is NUL.");
    set_err(err, 9003);
    return nullptr;
  }
  if (!g->node_datasize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - graph: %p, datasize: %u.", (void*)g, g->node_datasize);
    set_err(err, 9003);
    return nullptr;
  }
  int rc;
  graph_node* n = take(&g->node_mb, &g->node_free, g->nnodes, &g->node_capacity, &rc);
  if (!n) {
    set_err(err, rc);
    return nullptr;
  }
  rc = fill(graph_node_data(n), g->node_datasize, g->node_type, g->node_copy_cb, g->node_release_cb, g->node_init_cb,
            data, g->usrdata);
  if (rc) {
    give_back(&g->node_free, n);
    set_err(err, rc);
    return nullptr;
  }
  list_link_before(g->first, g->last, n);
  ++g->nnodes;
  set_err(err, 0);
  return n;
}

int graph_add_edge(graph* g, graph_node* node1, unsigned label, const void* data, graph_node* node2,
                   graph_edge** edge) {
  if (edge) *edge = nullptr;
  if (!g || !node1 || !g->node_datasize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - graph: %p, node1: %p.", (void*)g, (void*)node1);
    return 9003;
  }
  int rc;
  graph_edge* e = take(&g->edge_mb, &g->edge_free, g->nedges, &g->edge_capacity, &rc);
  if (!e) return rc;
  graph_inref* r = nullptr;
  if (node2 && node2 != node1) {
    r = take(&g->ref_mb, &g->ref_free, g->nrefs, &g->ref_capacity, &rc);
    if (!r) {
      give_back(&g->edge_free, e);
      return rc;
    }
  }
  rc = fill(graph_edge_data(e), g->edge_datasize, g->edge_type, g->edge_copy_cb, g->edge_release_cb, g->edge_init_cb,
            data, g->usrdata);
  if (rc) {
    give_back(&g->edge_free, e);
    if (r) give_back(&g->ref_free, r);
    return rc;
  }
  e->target = node2;
  e->label = label;
  list_link_before(node1->first_out, node1->last_out, e);
  ++node1->nout;
  ++g->nedges;
  if (r) {
    r->source = node1;
    r->edge = e;
    list_link_before(node2->first_in, node2->last_in, r);
    ++node2->nin;
    ++g->nrefs;
    e->inref = r;
  }
  if (edge) *edge = e;
  return 0;
}
