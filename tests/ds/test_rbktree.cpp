#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/rb_check.h"
#include "ds/rbktree.h"
#include "ds/rbktree_v.h"

namespace {

int int_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : x > y;
}

int tens_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a) / 10, y = *static_cast<const int*>(b) / 10;
  return x < y ? -1 : x > y;
}

rb_report check(const rbktree* t) {
  return rb_check(t->root, t->count, [](const void* a, const void* b) { return int_cmp(0, a, 0, 0, b, 0, nullptr); });
}

int key_of(const rbktree_node* n) { return *static_cast<int*>(rbktree_key(n)); }

}  // namespace

TEST(Rbktree, RandomSetOperationsKeepTheRules) {
  rbktree t{};
  ASSERT_EQ(rbktree_init(&t, sizeof(int), 0, int_cmp, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(t.mb.itemsize, sizeof(rbktree_node) + 8);  // no value part
  EXPECT_EQ(rbktree_first(&t), nullptr);
  EXPECT_EQ(rbktree_last(&t), nullptr);
  std::mt19937 rng(5);
  std::set<int> model;
  for (int step = 0; step < 20000; ++step) {
    int k = (int)(rng() % 2000) - 1000;
    if (rng() % 2) {
      int err = 0;
      rbktree_node* n = rbktree_insert(&t, &k, &err);
      ASSERT_EQ(n != nullptr, model.insert(k).second);
      if (!n) {
        ASSERT_EQ(err, 9007);
      }
    } else if (rbktree_node* n = rbktree_find(&t, &k)) {
      ASSERT_EQ(rbktree_remove(&t, n), 0);
      ASSERT_EQ(model.erase(k), 1u);
    } else {
      ASSERT_EQ(model.count(k), 0u);
    }
    if (step % 400 == 0) {
      rb_report r = check(&t);
      ASSERT_TRUE(r.ok) << step;
      ASSERT_LE(r.height, 2 * std::log2(model.size() + 1.0));
    }
  }
  std::vector<int> fwd, bwd;
  for (rbktree_node* n = rbktree_first(&t); n; n = rbktree_next(n)) fwd.push_back(key_of(n));
  for (rbktree_node* n = rbktree_last(&t); n; n = rbktree_prev(n)) bwd.insert(bwd.begin(), key_of(n));
  EXPECT_EQ(fwd, std::vector<int>(model.begin(), model.end()));
  EXPECT_EQ(bwd, fwd);
  for (int probe : {-995, -5, 0, 417, 999}) {
    rbktree_node* n = rbktree_find_first(&t, tens_cmp, &probe, 0);
    // the smallest key with the same quotient by ten
    int want = 0;
    bool any = false;
    for (int k : model)
      if (k / 10 == probe / 10) {
        want = k;
        any = true;
        break;
      }
    if (any) {
      ASSERT_NE(n, nullptr) << probe;
      EXPECT_EQ(key_of(n), want) << probe;
    } else {
      EXPECT_EQ(n, nullptr) << probe;
    }
  }
  unsigned blocks = t.mb.nblocks;
  ASSERT_EQ(rbktree_clear(&t, 0), 0);
  EXPECT_EQ(rbktree_count(&t), 0u);
  EXPECT_EQ(t.mb.nblocks, blocks);
  for (int k = 0; k < (int)(blocks * 128); ++k) ASSERT_NE(rbktree_insert(&t, &k), nullptr);
  EXPECT_EQ(t.mb.nblocks, blocks);
  ASSERT_EQ(rbktree_clear(&t, 1), 0);
  EXPECT_EQ(t.mb.nblocks, 0u);
  EXPECT_EQ(t.capacity, 0u);
  rbktree_free(&t);
}

TEST(Rbktree, ArgumentsAndRemovedNodes) {
  rbktree t{};
  std::string log =
      ds_capture_log([&] { EXPECT_EQ(rbktree_init(&t, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - tree: %p, keysize: 0.", (void*)&t), 9003)) << log;
  ASSERT_EQ(rbktree_init(&t, sizeof(int), 0, int_cmp, nullptr, nullptr, nullptr, nullptr), 0);
  int k = 1;
  rbktree_node* n = rbktree_insert(&t, &k);
  ASSERT_EQ(rbktree_remove(&t, n), 0);
  log = ds_capture_log([&] { EXPECT_EQ(rbktree_remove(&t, n), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Node [%p] already removed - tree: %p.", (void*)n, (void*)&t), 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(rbktree_insert(&t, nullptr), nullptr); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - tree: %p, key: %p.", (void*)&t, (void*)nullptr), 9003)) << log;
  rbktree u{};
  ASSERT_EQ(rbktree_init_as(&u, &t, &k), 0);
  EXPECT_EQ(u.cmp_cb, int_cmp);
  EXPECT_EQ(u.usrdata, &k);
  rbktree_free(&u);
  rbktree_free(&t);
}

TEST(RbktreeV, TextSetOwningItsKeys) {
  ds_counter c;
  rbktree t{};
  std::string log =
      ds_capture_log([&] { EXPECT_EQ(rbktree_v_init(&t, 0x31, nullptr, nullptr, nullptr, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, "Tree invalid keytype [0X31].", 9003)) << log;
  // keys are slots for the callbacks: the slot copy duplicates, the release frees
  ASSERT_EQ(rbktree_v_init(&t, 0x82, nullptr, ds_copy_slot_cb, ds_release_cb, nullptr, &c), 0);
  for (const char* p : {"C:\\src\\b", "C:\\src", "C:\\src\\a", "C:\\SRC"}) ASSERT_NE(rbktree_v_insert(&t, p), nullptr);
  char again[] = "C:\\src";
  int err = 0;
  EXPECT_EQ(rbktree_v_insert(&t, again, &err), nullptr);
  EXPECT_EQ(err, 9007);
  EXPECT_EQ(c.copies, 4);
  rbktree_node* n = rbktree_v_find(&t, again);
  ASSERT_NE(n, nullptr);
  EXPECT_NE(rbtree_v_key_str(n), again);
  EXPECT_STREQ(rbtree_v_key_str(n), "C:\\src");
  std::vector<std::string> got;
  for (rbktree_node* m = rbktree_first(&t); m; m = rbktree_next(m)) got.push_back(rbtree_v_key_str(m));
  EXPECT_EQ(got, (std::vector<std::string>{"C:\\SRC", "C:\\src", "C:\\src\\a", "C:\\src\\b"}));
  n = rbktree_v_find_first(&t, rbtree_v_cmp, "C:\\src\\", 7);
  ASSERT_NE(n, nullptr);
  EXPECT_STREQ(rbtree_v_key_str(n), "C:\\src\\a");
  EXPECT_EQ(rbktree_v_remove(&t, n), 0);
  EXPECT_EQ(c.released, std::vector<std::string>{"C:\\src\\a"});
  rbktree_v_free(&t);
  EXPECT_EQ(c.releases, 4);
  EXPECT_TRUE(c.live.empty());

  rbktree d{};
  ASSERT_EQ(rbktree_v_init(&d, 0x70, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  for (double x : {2.5, -1.0, 1e10, 0.0}) ASSERT_NE(rbktree_v_insert(&d, &x), nullptr);
  std::vector<double> ds;
  for (rbktree_node* m = rbktree_first(&d); m; m = rbktree_next(m)) ds.push_back(rbtree_v_key_double(m));
  EXPECT_EQ(ds, (std::vector<double>{-1.0, 0.0, 2.5, 1e10}));
  rbktree_v_free(&d);
}
