#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/graph.h"

namespace {

// records releases of nodes (type 1, a text) and edges (type 2, an int) in order
std::vector<std::string> events;

int trace_release(unsigned type, void* data, unsigned*, unsigned*, void*) {
  events.push_back(type == 1 ? std::string("node ") + *static_cast<char**>(data)
                             : "edge " + std::to_string(*static_cast<int*>(data)));
  return 0;
}

}  // namespace

TEST(Graph, NodesEdgesAndIncomingReferences) {
  graph g{};
  ASSERT_EQ(graph_init(&g, sizeof(char*), 1, nullptr, trace_release, nullptr, sizeof(int), 2, nullptr, trace_release,
                       nullptr, nullptr, 2, 2),
            0);
  const char* names[] = {"a", "b", "c"};
  graph_node* n[3];
  for (int i = 0; i < 3; ++i) ASSERT_NE(n[i] = graph_add_node(&g, &names[i]), nullptr);
  graph_edge* e[5];
  const int data[] = {10, 11, 12, 13};
  ASSERT_EQ(graph_add_edge(&g, n[0], 7, &data[0], n[1], &e[0]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[0], 8, &data[1], n[0], &e[1]), 0);  // to itself
  ASSERT_EQ(graph_add_edge(&g, n[0], 9, &data[2], n[2], &e[2]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[2], 1, &data[3], n[1], &e[3]), 0);
  ASSERT_EQ(graph_add_edge(&g, n[1], 2, nullptr, nullptr, &e[4]), 0);  // no target, zero data
  // in the order added, across the blocks of two
  EXPECT_TRUE(graph_first(&g) == n[0] && graph_next(n[0]) == n[1] && graph_next(n[1]) == n[2] && !graph_next(n[2]));
  std::vector<unsigned> labels;
  for (graph_edge* x = graph_edge_first(n[0]); x; x = graph_edge_next(x)) labels.push_back(x->label);
  EXPECT_EQ(labels, (std::vector<unsigned>{7, 8, 9}));
  // the edge to its own node has no incoming reference, nor has one without a target
  EXPECT_TRUE(!e[1]->inref && !graph_in_first(n[0]) && !e[4]->inref);
  // b is reached from a and from c, in that order
  graph_inref* r = graph_in_first(n[1]);
  ASSERT_TRUE(r && n[1]->nin == 2 && r->source == n[0] && r->edge == e[0] && e[0]->inref == r);
  r = graph_in_next(r);
  ASSERT_TRUE(r && r->source == n[2] && r->edge == e[3] && !graph_in_next(r));
  ASSERT_EQ(graph_free(&g), 0);
  // every edge of every node first, then the nodes
  EXPECT_EQ(events, (std::vector<std::string>{"edge 10", "edge 11", "edge 12", "edge 0", "edge 13", "node a", "node b",
                                              "node c"}));
}
