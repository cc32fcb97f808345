#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/rb_check.h"
#include "ds/rbtree_v.h"

namespace {
int key_of(const rbtree_node* n) { return n ? *static_cast<int*>(rbtree_key(n)) : -1; }

// only the hundreds count: 4200..4299 form one run
int hundreds_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a) / 100, y = *static_cast<const int*>(b) / 100;
  return x < y ? -1 : x > y;
}

struct IntMap : ::testing::Test {
  rbtree t{};
  void SetUp() override {
    ASSERT_EQ(rbtree_init(&t, 4, 0, rb_int_cmp, nullptr, nullptr, nullptr, 4, 0, nullptr, nullptr, nullptr, nullptr), 0);
  }
  void TearDown() override { rbtree_free(&t); }
  rbtree_node* put(int k, int v, int* err = nullptr) { return rbtree_insert(&t, &k, &v, err); }
};
}  // namespace

TEST_F(IntMap, AscendingKeysStayBalancedAndIterateBothWays) {
  const int n = 100000;
  for (int i = 1; i <= n; ++i) ASSERT_NE(put(i, -i), nullptr);
  int height = 0;
  EXPECT_TRUE(rb_check(&t, &height));
  EXPECT_LE(height, 2 * std::log2(n + 1.0));
  EXPECT_EQ(t.mb.nblocks, (unsigned)(n + 127) / 128);
  int want = 1;
  for (rbtree_node* x = rbtree_first(&t); x; x = rbtree_next(x), ++want)
    ASSERT_TRUE(key_of(x) == want && *static_cast<int*>(rbtree_val(&t, x)) == -want) << want;
  for (rbtree_node* x = rbtree_last(&t); x; x = rbtree_prev(x)) ASSERT_EQ(key_of(x), --want);
}

TEST_F(IntMap, RandomInsertsAndRemovesKeepTheRules) {
  std::mt19937 rng(99);
  std::map<int, rbtree_node*> model;
  for (int step = 0; step < 20000; ++step) {
    int k = (int)(rng() % 3000), err = 0;
    auto it = model.find(k);
    if (rng() % 5 < 3) {
      rbtree_node* n = put(k, step, &err);
      ASSERT_TRUE(it == model.end() ? n != nullptr : !n && err == 9007);
      if (n) model[k] = n;
    } else if (it != model.end()) {
      ASSERT_EQ(rbtree_find(&t, &k), it->second);
      ASSERT_EQ(rbtree_remove(&t, it->second), 0);
      model.erase(it);
    }
    ASSERT_TRUE(step % 500 || rb_check(&t)) << step;
  }
  std::vector<rbtree_node*> nodes, want;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) nodes.push_back(n);
  for (auto& kv : model) want.push_back(kv.second);
  EXPECT_EQ(nodes, want);
  for (int probe : {1250, 1299, 0, 2999, 3000}) {  // the leftmost key of the same hundred
    auto it = model.lower_bound(probe / 100 * 100);
    bool run = it != model.end() && it->first / 100 == probe / 100;
    EXPECT_EQ(rbtree_find_first(&t, hundreds_cmp, &probe, 0), run ? it->second : nullptr) << probe;
  }
  std::shuffle(nodes.begin(), nodes.end(), rng);
  for (size_t i = 0; i < nodes.size(); ++i) {
    ASSERT_EQ(rbtree_remove(&t, nodes[i]), 0);
    ASSERT_TRUE(i % 97 || rb_check(&t)) << i;
  }
  EXPECT_EQ(rbtree_first(&t), nullptr);
  LogCapture log;
  EXPECT_EQ(rbtree_remove(&t, nodes[0]), 9003);  // removed twice
  EXPECT_TRUE(log.has("] already removed - tree: ")) << log.done();
  EXPECT_EQ(put(1, 1), nodes.back());  // the last removed node serves first
}

TEST(Rbtree, DefaultCompareIsUnsignedBytesOverTheWholeKey) {
  rbtree t{};
  LogCapture log;
  EXPECT_EQ(rbtree_init(&t, 4, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr), 9003);
  EXPECT_TRUE(log.has(", keysize: 4, valsize: 0.")) << log.done();
  ASSERT_EQ(rbtree_init(&t, 4, 0, nullptr, nullptr, nullptr, nullptr, 1, 0, nullptr, nullptr, nullptr, nullptr), 0);
  for (const char* w : {"ba", "\xE9t", "b", "ap", "a"}) {
    char k[4] = {};  // padded: the tree reads all four key bytes
    memcpy(k, w, strlen(w));
    ASSERT_NE(rbtree_insert(&t, k, k), nullptr) << w;
  }
  std::string got;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) got += static_cast<char*>(rbtree_key(n)) + std::string("|");
  EXPECT_EQ(got, "a|ap|b|ba|\xE9t|");  // 0xE9 sorts after every ASCII letter
  rbtree_free(&t);
}

TEST(Rbtree, OwnedKeysCopiedBeforeLinkingAndBlocksReused) {
  ds_counter c;
  rbtree t{}, u{};
  auto cmp = [](unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
    return std::strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
  };
  ASSERT_EQ(rbtree_init(&t, sizeof(char*), 0x82, cmp, ds_copy_slot_cb, ds_release_cb, ds_init_cb, 4, 0, nullptr,
                        nullptr, nullptr, &c, 4),
            0);
  const char* words[] = {"pear", "fig", "kiwi", "date", "lime", "plum"};
  for (const char* w : words) ASSERT_NE(rbtree_insert(&t, &w, nullptr), nullptr);
  const char* dup = "kiwi";
  EXPECT_EQ(rbtree_insert(&t, &dup, nullptr), nullptr);
  EXPECT_EQ(c.inits + c.copies, 12);  // a refused key is never taken in
  rbtree_remove(&t, rbtree_find(&t, &dup));
  ASSERT_EQ(rbtree_clear(&t, 0), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"kiwi", "date", "fig", "lime", "pear", "plum"}));  // key order
  for (const char* w : words) ASSERT_NE(rbtree_insert(&t, &w, nullptr), nullptr);
  EXPECT_EQ(t.mb.nblocks, 2u);  // the kept blocks serve again
  // a failed key copy leaves the tree as it was
  c.fail_copy_at = c.copies + 1;
  const char* extra = "apple";
  int err = 0;
  EXPECT_EQ(rbtree_insert(&t, &extra, nullptr, &err), nullptr);
  EXPECT_EQ(err, 9012);
  EXPECT_TRUE(rbtree_count(&t) == 6 && rbtree_find(&t, &extra) == nullptr);
  ASSERT_EQ(rbtree_init_as(&u, &t, &c), 0);  // made like another: the same callbacks
  ASSERT_NE(rbtree_insert(&u, &extra, nullptr), nullptr);
  ASSERT_EQ(rbtree_free(&t) + rbtree_free(&u), 0);
  EXPECT_EQ(c.releases, 6 + 1 + 6 + 1);
  EXPECT_TRUE(c.clean());
}

TEST(RbtreeV, NumbersByValueTextsByPointerAndPrefix) {
  rbtree t{};
  LogCapture log;
  EXPECT_EQ(rbtree_v_init(&t, 0x30, nullptr, nullptr, nullptr, nullptr, 0x50, nullptr, nullptr, nullptr, nullptr), 9003);
  EXPECT_TRUE(log.has("Tree invalid valtype [0X50].")) << log.done();
  ASSERT_EQ(rbtree_v_init(&t, 0x30, nullptr, nullptr, nullptr, nullptr, 0x30, nullptr, nullptr, nullptr, nullptr), 0);
  for (int k : {3, -5, 100, -100000}) ASSERT_NE(rbtree_v_insert(&t, &k, &k), nullptr);
  std::vector<int> got;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) got.push_back(rbtree_v_key_int(n));
  EXPECT_EQ(got, (std::vector<int>{-100000, -5, 3, 100}));  // numerically, not by bytes
  ASSERT_EQ(rbtree_v_init(&t, 0x82, nullptr, nullptr, nullptr, nullptr, 0xC2, nullptr, nullptr, nullptr, nullptr), 0);
  char a[] = "apple", b[] = "Banana", c[] = "apricot", d[] = "ap", probe[] = "apple";
  for (char* s : {a, b, c, d}) ASSERT_NE(rbtree_v_insert(&t, s, nullptr), nullptr);
  std::vector<char*> order;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) order.push_back(rbtree_v_key_str(n));
  EXPECT_EQ(order, (std::vector<char*>{b, d, a, c}));  // case-sensitive: upper case first; the very pointers
  EXPECT_EQ(rbtree_v_key_str(rbtree_v_find(&t, probe)), a);
  // a compare limited to the key length is a prefix search
  EXPECT_EQ(rbtree_v_key_str(rbtree_v_find_first(&t, rbtree_v_cmp, "apz", 2)), d);
  EXPECT_EQ(rbtree_v_find_first(&t, rbtree_v_cmp, "b", 1), nullptr);
  rbtree_v_free(&t);
}
