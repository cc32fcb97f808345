#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/tree.h"
#include "ds/treeit.h"

namespace {

// r with children a, b, c; a with a1, a2; c with c1; c1 with c11.
struct Shape : ::testing::Test {
  tree t{};
  tree_node *r, *a, *b, *c, *a1, *a2, *c1, *c11;
  tree_node* add(tree_node* parent, int v, tree_node* before = nullptr) {
    tree_node* n = nullptr;
    EXPECT_TRUE(tree_add(&t, parent, before, &n) == 0 && tree_set(&t, n, &v) == 0);
    return n;
  }
  void SetUp() override {
    ASSERT_EQ(tree_init(&t, 0x30, nullptr, nullptr), 0);
    r = add(nullptr, 0), b = add(r, 2), c = add(r, 3), a = add(r, 1, b);  // a in front of b
    a2 = add(a, 12), a1 = add(nullptr, 11, a2), c1 = add(c, 31), c11 = add(c1, 311);
  }
  void TearDown() override { tree_free(&t); }
};

using Step = tree_node* (*)(const tree_node*, const tree_node*);
std::vector<int> walk(tree_node* from, const tree_node* stop, Step step) {
  std::vector<int> v;
  for (tree_node* n = from; n; n = step(n, stop)) v.push_back(n->val.i);
  return v;
}
std::vector<int> pre(tree_node* r) { return walk(r, nullptr, treeit_pre_next); }
std::vector<int> rev(std::vector<int> v) { return std::vector<int>(v.rbegin(), v.rend()); }

}  // namespace

TEST_F(Shape, PreAndPostOrderBothWaysWholeAndBounded) {
  EXPECT_EQ(pre(r), (std::vector<int>{0, 1, 11, 12, 2, 3, 31, 311}));
  EXPECT_EQ(walk(treeit_pre_last(&t, nullptr), nullptr, treeit_pre_prev), rev(pre(r)));
  std::vector<int> post = walk(treeit_post_first(&t, nullptr), nullptr, treeit_post_next);
  EXPECT_EQ(post, (std::vector<int>{11, 12, 1, 2, 311, 31, 3, 0}));
  EXPECT_EQ(walk(r, nullptr, treeit_post_prev), rev(post));
  EXPECT_EQ(walk(a, a, treeit_pre_next), (std::vector<int>{1, 11, 12}));
  EXPECT_EQ(walk(treeit_pre_last(&t, a), a, treeit_pre_prev), (std::vector<int>{12, 11, 1}));
  EXPECT_EQ(walk(treeit_post_first(&t, a), a, treeit_post_next), (std::vector<int>{11, 12, 1}));
  tree_node* n = nullptr;
  LogCapture log;
  EXPECT_EQ(tree_add(&t, nullptr, nullptr, &n), 9001);  // a second root
  EXPECT_TRUE(n == nullptr && log.has("Tree root already exist - tree: ")) << log.done();
}

TEST_F(Shape, MovesAndRefusedMoves) {
  EXPECT_EQ(tree_mv(&t, a, c1, nullptr), a);  // a with its children under c1, after c11
  EXPECT_EQ(tree_mv(&t, c11, nullptr, a2), c11);  // in front of a2, under a2's parent
  EXPECT_EQ(pre(r), (std::vector<int>{0, 2, 3, 31, 1, 11, 311, 12}));
  EXPECT_TRUE(c1->nchildren == 1 && a->nchildren == 3);
  EXPECT_EQ(walk(treeit_pre_last(&t, nullptr), nullptr, treeit_pre_prev), rev(pre(r)));
  // under itself or its own descendant would cut the subtree off into a loop
  int err = 0;
  LogCapture log;
  for (auto [node, parent] : {std::pair{c, a1}, {c, c}, {r, b}}) {
    EXPECT_EQ(tree_mv(&t, node, parent, nullptr, &err), nullptr);
    EXPECT_EQ(err, 9013);
  }
  EXPECT_TRUE(log.has("Can not mv to child - node: ")) << log.done();
  EXPECT_EQ(pre(r), (std::vector<int>{0, 2, 3, 31, 1, 11, 311, 12}));
}

TEST_F(Shape, RemoveSubtreeReturnsNodesToThePool) {
  ASSERT_EQ(tree_remove(&t, c), 0);
  EXPECT_EQ(pre(r), (std::vector<int>{0, 1, 11, 12, 2}));
  EXPECT_EQ(tree_count(&t), 5u);
  EXPECT_EQ(tree_remove(&t, c), 9003);  // removed twice
  tree_node* n = add(b, 21);
  EXPECT_TRUE(n == c || n == c1 || n == c11);
  ASSERT_EQ(tree_remove(&t, r), 0);
  EXPECT_EQ(treeit_post_first(&t, nullptr), nullptr);
  EXPECT_NE(add(nullptr, 5), nullptr);  // a new root may come
}

TEST(Tree, ValuesReleasedOnceEachAndNewRootAdoptsTheOld) {
  tree t{};
  EXPECT_EQ(tree_init(&t, 0x31, nullptr, nullptr), 9003);
  ds_counter c;
  ASSERT_EQ(tree_init(&t, 0x82, ds_copy_text_cb, ds_release_cb, 2, &c), 0);
  tree_node *root, *x, *y, *z, *top;
  ASSERT_EQ(tree_add(&t, nullptr, nullptr, &root) + tree_set(&t, root, "root"), 0);
  ASSERT_EQ(tree_add(&t, root, nullptr, &x) + tree_set(&t, x, "x") + tree_set(&t, x, "x2"), 0);
  ASSERT_EQ(tree_add(&t, x, nullptr, &y) + tree_set(&t, y, "y"), 0);
  ASSERT_EQ(tree_add(&t, root, nullptr, &z) + tree_set(&t, z, "z"), 0);
  ASSERT_EQ(tree_remove(&t, x), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"x", "y", "x2"}));  // the old text first; children first
  ASSERT_EQ(tree_add_root(&t, &top), 0);
  EXPECT_TRUE(t.root == top && top->first == root && top->last == root && root->parent == top);
  EXPECT_EQ(tree_mv(&t, z, top, nullptr), z);  // links stay consistent for later moves
  EXPECT_TRUE(top->last == z && root->nchildren == 0 && !root->first && !root->last);
  ASSERT_EQ(tree_free(&t), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"x", "y", "x2", "root", "z"}));
  EXPECT_TRUE(c.clean());
}
