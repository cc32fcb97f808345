#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/graph.h"

namespace {

const char* name(const graph_node* n) { return *static_cast<char**>(graph_node_data(n)); }

// records releases of nodes (type 1) and edges (type 2) in order
struct Trace {
  std::vector<std::string> events;
  ds_counter texts;
};

int trace_release(unsigned type, void* data, unsigned* s, unsigned* m, void* usrdata) {
  Trace* tr = static_cast<Trace*>(usrdata);
  if (type == 1) {
    tr->events.push_back(std::string("node ") + *static_cast<char**>(data));
    return ds_release_cb(type, data, s, m, &tr->texts);
  }
  tr->events.push_back("edge " + std::to_string(*static_cast<int*>(data)));
  return 0;
}

int trace_copy(unsigned type, void* dst, unsigned* ds, unsigned* dm, unsigned st, const void* src, unsigned ss,
               void* usrdata) {
  return ds_copy_slot_cb(type, dst, ds, dm, st, src, ss, &static_cast<Trace*>(usrdata)->texts);
}

}  // namespace

TEST(Graph, NodesEdgesAndIncomingReferences) {
  Trace tr;
  graph g{};
  ASSERT_EQ(graph_init(&g, sizeof(char*), 1, trace_copy, trace_release, nullptr, sizeof(int), 2, nullptr, trace_release,
                       nullptr, &tr),
            0);
  const char* names[] = {"a", "b", "c"};
  graph_node* n[3];
  for (int i = 0; i < 3; ++i) ASSERT_NE(n[i] = graph_add_node(&g, &names[i]), nullptr);
  EXPECT_NE(name(n[1]), names[1]);  // the copy callback duplicated it
  graph_edge* e[5];
  const int data[] = {10, 11, 12, 13};
  ASSERT_EQ(graph_add_edge(&g, n[0], 7, &data[0], n[1], &e[0]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[0], 8, &data[1], n[0], &e[1]), 0);  // to itself
  ASSERT_EQ(graph_add_edge(&g, n[0], 9, &data[2], n[2], &e[2]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[2], 1, &data[3], n[1], &e[3]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[1], 2, nullptr, nullptr, &e[4]), 0);  // no target, zero data
  std::vector<unsigned> labels;
  for (graph_edge* x = graph_edge_first(n[0]); x; x = graph_edge_next(x)) labels.push_back(x->label);
  EXPECT_EQ(labels, (std::vector<unsigned>{7, 8, 9}));
  EXPECT_EQ(*static_cast<int*>(graph_edge_data(e[2])), 12);
  // the edge to its own node has no incoming reference, nor has one without a target
  EXPECT_EQ(e[1]->inref, nullptr);
  EXPECT_EQ(graph_in_first(n[0]), nullptr);
  EXPECT_EQ(e[4]->inref, nullptr);
  // b is reached from a and from c, in that order
  EXPECT_EQ(n[1]->nin, 2u);
  graph_inref* r = graph_in_first(n[1]);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->source == n[0] && r->edge == e[0] && e[0]->inref == r);
  r = graph_in_next(r);
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->source == n[2] && r->edge == e[3]);
  EXPECT_EQ(graph_in_next(r), nullptr);
  ASSERT_EQ(graph_free(&g), 0);
  // every edge of every node first, then the nodes
  EXPECT_EQ(tr.events, (std::vector<std::string>{"edge 10", "edge 11", "edge 12", "edge 0", "edge 13", "node a",
                                                 "node b", "node c"}));
  EXPECT_TRUE(tr.texts.clean());
}

TEST(Graph, PoolsGrowByBlocksAndNodesStayPut) {
  graph g{};
  ASSERT_EQ(graph_init(&g, sizeof(int), 0, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr), 0);
  std::vector<graph_node*> nodes;
  for (int i = 0; i < 300; ++i) nodes.push_back(graph_add_node(&g, &i));
  for (int i = 1; i < 300; ++i) ASSERT_EQ(graph_add_edge(&g, nodes[0], (unsigned)i, nullptr, nodes[i]), 0);
  EXPECT_EQ(g.node_mb.nblocks + g.edge_mb.nblocks + g.ref_mb.nblocks, 9u);
  int i = 0;
  for (graph_node* n = graph_first(&g); n; n = graph_next(n), ++i) ASSERT_EQ(n, nodes[i]);
  unsigned want = 1;
  for (graph_edge* e = graph_edge_first(nodes[0]); e; e = graph_edge_next(e), ++want) {
    ASSERT_EQ(e->target, nodes[want]);
    ASSERT_EQ(e->inref->source, nodes[0]);
  }
  EXPECT_EQ(want, 300u);
  graph_free(&g);
}
