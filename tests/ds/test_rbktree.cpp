#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/rb_check.h"
#include "ds/rbktree_v.h"

// The set runs on the map's operations with no value part; the map's tests cover the rebalancing.
TEST(Rbktree, KeysOnlyWithTheMapsRules) {
  rbktree t{};
  LogCapture log;
  EXPECT_EQ(rbktree_init(&t, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr), 9003);
  EXPECT_TRUE(log.has(", keysize: 0.") && !log.has("valsize")) << log.done();  // a set has no value size
  ASSERT_EQ(rbktree_init(&t, sizeof(int), 0, rb_int_cmp, nullptr, nullptr, nullptr, nullptr), 0);
  int err = 0, zero = 0;
  for (int k = 0; k < 300; ++k) ASSERT_NE(rbktree_insert(&t, &k), nullptr);
  EXPECT_EQ(rbktree_insert(&t, &zero, &err), nullptr);
  EXPECT_EQ(err, 9007);
  for (int k = 0; k < 300; k += 2) ASSERT_EQ(rbktree_remove(&t, rbktree_find(&t, &k)), 0);
  EXPECT_TRUE(rb_check(&t) && rbktree_count(&t) == 150);
  rbktree_node* n = rbktree_last(&t);
  EXPECT_TRUE(*static_cast<int*>(rbktree_key(rbktree_first(&t))) == 1 && *static_cast<int*>(rbktree_key(n)) == 299);
  ASSERT_EQ(rbktree_remove(&t, n), 0);
  EXPECT_EQ(rbktree_remove(&t, n), 9003);  // removed twice
  ASSERT_EQ(rbktree_clear(&t, 0), 0);
  for (int k = 0; k < 3 * 128; ++k) ASSERT_NE(rbktree_insert(&t, &k), nullptr);
  EXPECT_EQ(t.mb.nblocks, 3u);  // the kept blocks serve again
  rbktree_free(&t);
}

TEST(RbktreeV, TextSetOwningItsKeysAndNumbersByValue) {
  ds_counter c;
  rbktree t{}, u{};
  EXPECT_EQ(rbktree_v_init(&t, 0x31, nullptr, nullptr, nullptr, nullptr, nullptr), 9003);
  // keys are slots for the callbacks: the slot copy duplicates, the release frees
  ASSERT_EQ(rbktree_v_init(&t, 0x82, nullptr, ds_copy_slot_cb, ds_release_cb, nullptr, &c), 0);
  for (const char* p : {"C:\\src\\b", "C:\\src", "C:\\src\\a", "C:\\SRC"}) ASSERT_NE(rbktree_v_insert(&t, p), nullptr);
  char again[] = "C:\\src";
  int err = 0;
  EXPECT_EQ(rbktree_v_insert(&t, again, &err), nullptr);
  EXPECT_EQ(err + c.copies, 9007 + 4);
  EXPECT_STREQ(rbtree_v_key_str(rbktree_v_find(&t, again)), "C:\\src");
  rbktree_node* n = rbktree_v_find_first(&t, rbtree_v_cmp, "C:\\src\\", 7);
  EXPECT_STREQ(rbtree_v_key_str(n), "C:\\src\\a");
  EXPECT_EQ(rbktree_v_remove(&t, n), 0);
  ASSERT_EQ(rbktree_init_as(&u, &t, &c), 0);
  ASSERT_NE(rbktree_v_insert(&u, again), nullptr);
  rbktree_v_free(&t);
  rbktree_v_free(&u);
  EXPECT_EQ(c.released, (std::vector<std::string>{"C:\\src\\a", "C:\\SRC", "C:\\src", "C:\\src\\b", "C:\\src"}));
  EXPECT_TRUE(c.clean());
  ASSERT_EQ(rbktree_v_init(&t, 0x70, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  for (double x : {2.5, -1.0, 1e10, 0.0}) ASSERT_NE(rbktree_v_insert(&t, &x), nullptr);
  std::vector<double> ds;
  for (rbktree_node* m = rbktree_first(&t); m; m = rbktree_next(m)) ds.push_back(rbtree_v_key_double(m));
  EXPECT_EQ(ds, (std::vector<double>{-1.0, 0.0, 2.5, 1e10}));
  rbktree_v_free(&t);
}
