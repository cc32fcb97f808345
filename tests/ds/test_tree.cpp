#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/tree.h"
#include "ds/treeit.h"

namespace {

// Builds r with children a, b, c; a with a1, a2; c with c1; c1 with c11.
struct Shape : ::testing::Test {
  tree t{};
  tree_node *r, *a, *b, *c, *a1, *a2, *c1, *c11;
  tree_node* add(tree_node* parent, int v, tree_node* before = nullptr) {
    tree_node* n = nullptr;
    EXPECT_EQ(tree_add(&t, parent, before, &n), 0);
    if (n) {
      EXPECT_EQ(tree_set(&t, n, &v), 0);
    }
    return n;
  }
  void SetUp() override {
    ASSERT_EQ(tree_init(&t, 0x30, nullptr, nullptr), 0);
    r = add(nullptr, 0);
    b = add(r, 2);
    c = add(r, 3);
    a = add(r, 1, b);  // in front of b
    a2 = add(a, 12);
    a1 = add(nullptr, 11, a2);
    c1 = add(c, 31);
    c11 = add(c1, 311);
  }
  void TearDown() override { tree_free(&t); }
};

using Step = tree_node* (*)(const tree_node*, const tree_node*);

std::vector<int> walk(tree_node* from, const tree_node* stop, Step step) {
  std::vector<int> v;
  for (tree_node* n = from; n; n = step(n, stop)) v.push_back(n->val.i);
  return v;
}

std::vector<int> reversed(std::vector<int> v) { return std::vector<int>(v.rbegin(), v.rend()); }

}  // namespace

TEST_F(Shape, LinksAndCounts) {
  EXPECT_EQ(t.root, r);
  EXPECT_EQ(tree_count(&t), 8u);
  EXPECT_EQ(r->nchildren, 3u);
  EXPECT_EQ(r->first, a);
  EXPECT_EQ(r->last, c);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(a1->parent, a);
  EXPECT_EQ(a->first, a1);
  tree_node* n = nullptr;
  std::string log = ds_capture_log([&] { EXPECT_EQ(tree_add(&t, nullptr, nullptr, &n), 9001); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Tree root already exist - tree: %p.", (void*)&t), 9001)) << log;
  EXPECT_EQ(n, nullptr);
  EXPECT_EQ(tree_count(&t), 8u);
}

TEST_F(Shape, PreAndPostOrderBothWays) {
  std::vector<int> pre = walk(r, nullptr, treeit_pre_next);
  EXPECT_EQ(pre, (std::vector<int>{0, 1, 11, 12, 2, 3, 31, 311}));
  EXPECT_EQ(walk(treeit_pre_last(&t, nullptr), nullptr, treeit_pre_prev), reversed(pre));
  std::vector<int> post = walk(treeit_post_first(&t, nullptr), nullptr, treeit_post_next);
  EXPECT_EQ(post, (std::vector<int>{11, 12, 1, 2, 311, 31, 3, 0}));
  EXPECT_EQ(walk(r, nullptr, treeit_post_prev), reversed(post));
  // bounded by a subtree's top
  EXPECT_EQ(walk(a, a, treeit_pre_next), (std::vector<int>{1, 11, 12}));
  EXPECT_EQ(walk(treeit_pre_last(&t, a), a, treeit_pre_prev), (std::vector<int>{12, 11, 1}));
  EXPECT_EQ(walk(treeit_post_first(&t, a), a, treeit_post_next), (std::vector<int>{11, 12, 1}));
  EXPECT_EQ(walk(a, a, treeit_post_prev), (std::vector<int>{1, 12, 11}));
  EXPECT_EQ(walk(c, c, treeit_pre_next), (std::vector<int>{3, 31, 311}));
  EXPECT_EQ(walk(b, b, treeit_pre_next), (std::vector<int>{2}));
  EXPECT_EQ(walk(treeit_post_first(&t, b), b, treeit_post_next), (std::vector<int>{2}));
}

TEST_F(Shape, MovesAndRefusedMoves) {
  EXPECT_EQ(tree_mv(&t, a, c1, nullptr), a);  // a with its children under c1, after c11
  EXPECT_EQ(r->nchildren, 2u);
  EXPECT_EQ(r->first, b);
  EXPECT_EQ(c1->nchildren, 2u);
  EXPECT_EQ(walk(r, nullptr, treeit_pre_next), (std::vector<int>{0, 2, 3, 31, 311, 1, 11, 12}));
  EXPECT_EQ(tree_mv(&t, c11, nullptr, a2), c11);  // in front of a2, under a2's parent
  EXPECT_EQ(walk(r, nullptr, treeit_pre_next), (std::vector<int>{0, 2, 3, 31, 1, 11, 311, 12}));
  EXPECT_EQ(c1->nchildren, 1u);
  EXPECT_EQ(a->nchildren, 3u);
  EXPECT_EQ(walk(treeit_pre_last(&t, nullptr), nullptr, treeit_pre_prev), reversed(walk(r, nullptr, treeit_pre_next)));

  int err = 0;
  std::string log = ds_capture_log([&] { EXPECT_EQ(tree_mv(&t, c, a1, nullptr, &err), nullptr); });
  EXPECT_EQ(err, 9013);
  EXPECT_TRUE(ds_logged(log, ds_fmt("Can not mv to child - node: %p, newparent: %p.", (void*)c, (void*)a1), 9013))
      << log;
  EXPECT_EQ(tree_mv(&t, c, c, nullptr, &err), nullptr);
  EXPECT_EQ(err, 9013);
  EXPECT_EQ(tree_mv(&t, r, b, nullptr, &err), nullptr);  // the root is above everything
  EXPECT_EQ(err, 9013);
  b->type = 2;
  log = ds_capture_log([&] { EXPECT_EQ(tree_mv(&t, a1, b, nullptr, &err), nullptr); });
  EXPECT_TRUE(ds_logged(log, "Can not mv - node.type: 0, newparent.type: 2.", 9013)) << log;
  b->type = 0;
  a1->type = -1;
  log = ds_capture_log([&] { EXPECT_EQ(tree_mv(&t, a1, b, nullptr, &err), nullptr); });
  EXPECT_TRUE(ds_logged(log, "Can not mv - node.type: -1, newparent.type: 0.", 9013)) << log;
  EXPECT_EQ(walk(r, nullptr, treeit_pre_next), (std::vector<int>{0, 2, 3, 31, 1, 11, 311, 12}));
}

TEST_F(Shape, RemoveSubtreeReturnsNodesToThePool) {
  ASSERT_EQ(tree_remove(&t, c), 0);
  EXPECT_EQ(tree_count(&t), 5u);
  EXPECT_EQ(r->last, b);
  EXPECT_EQ(r->nchildren, 2u);
  EXPECT_EQ(walk(r, nullptr, treeit_pre_next), (std::vector<int>{0, 1, 11, 12, 2}));
  std::string log = ds_capture_log([&] { EXPECT_EQ(tree_remove(&t, c), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - tree: %p, node: %p.", (void*)&t, (void*)c), 9003)) << log;
  unsigned blocks = t.mb.nblocks;
  tree_node* n = add(b, 21);
  EXPECT_TRUE(n == c || n == c1 || n == c11);
  EXPECT_EQ(t.mb.nblocks, blocks);
  ASSERT_EQ(tree_remove(&t, r), 0);
  EXPECT_EQ(t.root, nullptr);
  EXPECT_EQ(tree_count(&t), 0u);
  EXPECT_EQ(treeit_post_first(&t, nullptr), nullptr);
  EXPECT_EQ(treeit_pre_last(&t, nullptr), nullptr);
  EXPECT_NE(add(nullptr, 5), nullptr);  // a new root may come
}

TEST(Tree, ValuesReleasedOnceEach) {
  tree t{};
  std::string log = ds_capture_log([&] { EXPECT_EQ(tree_init(&t, 0x31, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, "Tree invalid valtype [0X31].", 9003)) << log;
  ds_counter c;
  ASSERT_EQ(tree_init(&t, 0x82, ds_copy_text_cb, ds_release_cb, 2, &c), 0);
  tree_node *root, *x, *y, *z;
  ASSERT_EQ(tree_add(&t, nullptr, nullptr, &root), 0);
  ASSERT_EQ(tree_set(&t, root, "root"), 0);
  ASSERT_EQ(tree_add(&t, root, nullptr, &x), 0);
  ASSERT_EQ(tree_set(&t, x, "x"), 0);
  ASSERT_EQ(tree_set(&t, x, "x2"), 0);  // the old text is released first
  EXPECT_EQ(c.released, std::vector<std::string>{"x"});
  ASSERT_EQ(tree_add(&t, x, nullptr, &y), 0);
  ASSERT_EQ(tree_set(&t, y, "y"), 0);
  ASSERT_EQ(tree_add(&t, root, nullptr, &z), 0);
  ASSERT_EQ(tree_set(&t, z, "z"), 0);
  EXPECT_EQ(t.mb.nblocks, 2u);
  ASSERT_EQ(tree_remove(&t, x), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"x", "y", "x2"}));  // children first
  ASSERT_EQ(tree_clear(&t, 0), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"x", "y", "x2", "z", "root"}));
  EXPECT_EQ(t.mb.nblocks, 2u);
  tree_node* n;
  ASSERT_EQ(tree_add(&t, nullptr, nullptr, &n), 0);
  ASSERT_EQ(tree_set(&t, n, "again"), 0);
  ASSERT_EQ(tree_free(&t), 0);
  EXPECT_EQ(c.releases, 6);
  EXPECT_TRUE(c.live.empty());
  for (const std::string& s : c.released) EXPECT_NE(s, "<NOT LIVE>");
}

TEST(TreeAddRoot, NewRootAdoptsTheOldOne) {
  tree t{};
  ASSERT_EQ(tree_init(&t, 0x30, nullptr, nullptr), 0);
  tree_node* a = nullptr;
  ASSERT_EQ(tree_add_root(&t, &a), 0) << "an empty tree just gets its root";
  EXPECT_EQ(t.root, a);
  tree_node *b = nullptr, *c = nullptr, *r = nullptr;
  ASSERT_EQ(tree_add(&t, a, nullptr, &b), 0);
  ASSERT_EQ(tree_add(&t, a, nullptr, &c), 0);
  ASSERT_EQ(tree_add_root(&t, &r), 0);
  EXPECT_EQ(t.root, r);
  EXPECT_EQ(r->parent, nullptr);
  EXPECT_EQ(r->first, a);
  EXPECT_EQ(r->last, a);
  EXPECT_EQ(r->nchildren, 1u);
  EXPECT_EQ(a->parent, r);
  EXPECT_EQ(a->nchildren, 2u) << "the old root keeps its children";
  EXPECT_EQ(a->first, b);
  EXPECT_EQ(a->last, c);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(tree_count(&t), 4u);
  int err = 0;
  EXPECT_EQ(tree_mv(&t, c, r, nullptr, &err), c) << "links stay consistent for later moves";
  EXPECT_EQ(a->last, b);
  EXPECT_EQ(r->last, c);
  tree_free(&t);
}
