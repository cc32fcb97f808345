#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "c/val.h"
#include "ds/ds_test.h"
#include "ds/rb_check.h"
#include "ds/rbtree.h"
#include "ds/rbtree_v.h"

namespace {

int key_of(const rbtree_node* n) { return *static_cast<int*>(rbtree_key(n)); }

int int_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
  return x < y ? -1 : x > y;
}

// only the hundreds count: 4200..4299 form one run
int hundreds_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  int x = *static_cast<const int*>(a) / 100, y = *static_cast<const int*>(b) / 100;
  return x < y ? -1 : x > y;
}

int first_byte_cmp(unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
  return *static_cast<const unsigned char*>(a) - *static_cast<const unsigned char*>(b);
}

rb_report check(const rbtree* t) {
  return rb_check(t->root, t->count, [](const void* a, const void* b) { return int_cmp(0, a, 0, 0, b, 0, nullptr); });
}

bool check_ok_strings(const rbtree* t) {
  return rb_check(t->root, t->count,
                  [](const void* a, const void* b) {
                    return std::strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
                  })
      .ok;
}

struct IntMap : ::testing::Test {
  rbtree t{};
  void SetUp() override {
    ASSERT_EQ(rbtree_init(&t, sizeof(int), 0, int_cmp, nullptr, nullptr, nullptr, sizeof(int), 0, nullptr, nullptr,
                          nullptr, nullptr),
              0);
  }
  void TearDown() override { rbtree_free(&t); }
  rbtree_node* put(int k, int v) {
    int err = -1;
    rbtree_node* n = rbtree_insert(&t, &k, &v, &err);
    EXPECT_EQ(err, 0);
    return n;
  }
};

}  // namespace

TEST_F(IntMap, AscendingKeysStayBalanced) {
  const int n = 100000;
  for (int i = 1; i <= n; ++i) ASSERT_NE(put(i, -i), nullptr);
  rb_report r = check(&t);
  EXPECT_TRUE(r.ok);
  EXPECT_LE(r.height, 2 * std::log2(n + 1.0));
  EXPECT_EQ(t.mb.nblocks, (unsigned)(n + 127) / 128);
  int want = 1;
  for (rbtree_node* x = rbtree_first(&t); x; x = rbtree_next(x), ++want) {
    ASSERT_EQ(key_of(x), want);
    ASSERT_EQ(*static_cast<int*>(rbtree_val(&t, x)), -want);
  }
  EXPECT_EQ(want, n + 1);
  for (rbtree_node* x = rbtree_last(&t); x; x = rbtree_prev(x)) ASSERT_EQ(key_of(x), --want);
  EXPECT_EQ(want, 1);
  int k = 77777;
  rbtree_node* f = rbtree_find(&t, &k);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(key_of(f), k);
  k = 0;
  EXPECT_EQ(rbtree_find(&t, &k), nullptr);
}

TEST_F(IntMap, RandomInsertsAndRemovesKeepTheRules) {
  std::mt19937 rng(99);
  std::map<int, rbtree_node*> model;
  for (int step = 0; step < 20000; ++step) {
    int k = (int)(rng() % 3000);
    auto it = model.find(k);
    if (rng() % 5 < 3) {
      int err = 0;
      rbtree_node* n = rbtree_insert(&t, &k, &step, &err);
      if (it == model.end()) {
        ASSERT_NE(n, nullptr);
        model[k] = n;
      } else {
        ASSERT_EQ(n, nullptr);
        ASSERT_EQ(err, 9007);
      }
    } else if (it != model.end()) {
      ASSERT_EQ(rbtree_find(&t, &k), it->second);
      ASSERT_EQ(rbtree_remove(&t, it->second), 0);
      model.erase(it);
      ASSERT_EQ(rbtree_find(&t, &k), nullptr);
    }
    if (step % 500 == 0) {
      rb_report r = check(&t);
      ASSERT_TRUE(r.ok) << step;
      ASSERT_LE(r.height, 2 * std::log2(model.size() + 1.0)) << step;
    }
  }
  std::vector<int> got, want;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) got.push_back(key_of(n));
  for (auto& kv : model) want.push_back(kv.first);
  EXPECT_EQ(got, want);
  // remove everything, in random order
  std::vector<rbtree_node*> nodes;
  for (auto& kv : model) nodes.push_back(kv.second);
  std::shuffle(nodes.begin(), nodes.end(), rng);
  for (size_t i = 0; i < nodes.size(); ++i) {
    ASSERT_EQ(rbtree_remove(&t, nodes[i]), 0);
    if (i % 97 == 0) {
      ASSERT_TRUE(check(&t).ok);
    }
  }
  EXPECT_EQ(t.root, nullptr);
  EXPECT_EQ(rbtree_first(&t), nullptr);
  EXPECT_EQ(rbtree_last(&t), nullptr);
}

TEST_F(IntMap, DuplicatesAndDoubleRemovesAreRefused) {
  put(5, 50);
  int k = 5, v = 99, err = 0;
  std::string log = ds_capture_log([&] { EXPECT_EQ(rbtree_insert(&t, &k, &v, &err), nullptr); });
  EXPECT_EQ(err, 9007);
  EXPECT_TRUE(ds_logged(log, ds_fmt("Key already exist - tree: %p, key: %p.", (void*)&t, (void*)&k), 9007)) << log;
  rbtree_node* n = rbtree_find(&t, &k);
  EXPECT_EQ(*static_cast<int*>(rbtree_val(&t, n)), 50);
  EXPECT_EQ(rbtree_count(&t), 1u);
  ASSERT_EQ(rbtree_remove(&t, n), 0);
  log = ds_capture_log([&] { EXPECT_EQ(rbtree_remove(&t, n), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Node [%p] already removed - tree: %p.", (void*)n, (void*)&t), 9003)) << log;
  // the removed node is reused first
  EXPECT_EQ(put(6, 60), n);
  log = ds_capture_log([&] { EXPECT_EQ(rbtree_next(nullptr), nullptr); });
  EXPECT_TRUE(ds_logged(log, "`node' is NUL.", 9003)) << log;
}

TEST_F(IntMap, FindFirstReturnsTheLeftmostOfAnEqualRun) {
  std::vector<int> keys(10000);
  for (int i = 0; i < 10000; ++i) keys[i] = i;
  std::shuffle(keys.begin(), keys.end(), std::mt19937(3));
  for (int k : keys) put(k, 0);
  for (int probe : {4250, 4200, 4299, 0, 9999, 5}) {
    rbtree_node* n = rbtree_find_first(&t, hundreds_cmp, &probe, 0);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(key_of(n), probe / 100 * 100) << probe;
  }
  int none = 12345;
  EXPECT_EQ(rbtree_find_first(&t, hundreds_cmp, &none, 0), nullptr);
  std::string log = ds_capture_log([&] { EXPECT_EQ(rbtree_find_first(&t, nullptr, &none, 0), nullptr); });
  EXPECT_TRUE(ds_logged(
      log, ds_fmt("Invalid param - tree: %p, keyncmp_cb: %p, key: %p.", (void*)&t, (void*)nullptr, (void*)&none), 9003))
      << log;
}

TEST(Rbtree, DefaultCompareIsUnsignedBytesAndFindFirstOnAByte) {
  rbtree t{};
  ASSERT_EQ(rbtree_init(&t, 8, 0, nullptr, nullptr, nullptr, nullptr, 1, 0, nullptr, nullptr, nullptr, nullptr), 0);
  const char* words[] = {"banana", "apple", "cherry", "apricot", "blue", "\xE9t\xE9", "avocado", "b"};
  for (const char* w : words) {
    char k[8] = {};
    std::strncpy(k, w, 7);
    char v = w[0];
    ASSERT_NE(rbtree_insert(&t, k, &v), nullptr) << w;
  }
  std::vector<std::string> got;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) got.push_back(static_cast<char*>(rbtree_key(n)));
  // 0xE9 sorts after every ASCII letter
  EXPECT_EQ(got,
            (std::vector<std::string>{"apple", "apricot", "avocado", "b", "banana", "blue", "cherry", "\xE9t\xE9"}));
  char probe[8] = "bzz";
  rbtree_node* n = rbtree_find_first(&t, first_byte_cmp, probe, 1);
  ASSERT_NE(n, nullptr);
  EXPECT_STREQ(static_cast<char*>(rbtree_key(n)), "b");
  probe[0] = 'a';
  EXPECT_STREQ(static_cast<char*>(rbtree_key(rbtree_find_first(&t, first_byte_cmp, probe, 1))), "apple");
  rbtree_free(&t);
}

TEST(Rbtree, InitChecksAndInitAs) {
  rbtree t{}, u{};
  std::string log = ds_capture_log([&] {
    EXPECT_EQ(rbtree_init(&t, 4, 0, nullptr, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr, nullptr, nullptr),
              9003);
  });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - tree: %p, keysize: 4, valsize: 0.", (void*)&t), 9003)) << log;
  ds_counter c;
  ASSERT_EQ(rbtree_init(&t, 8, 0x82, nullptr, ds_copy_slot_cb, ds_release_cb, ds_init_cb, 4, 0, nullptr, nullptr,
                        nullptr, &c, 16, 8),
            0);
  ASSERT_EQ(rbtree_init_as(&u, &t, nullptr), 0);
  EXPECT_EQ(u.keysize, 8u);
  EXPECT_EQ(u.valsize, 4u);
  EXPECT_EQ(u.keycopy_cb, ds_copy_slot_cb);
  EXPECT_EQ(u.mb.nblockitems, 16u);
  EXPECT_EQ(u.mb.ngrow, 8u);
  EXPECT_EQ(u.usrdata, nullptr);
  log = ds_capture_log([&] { EXPECT_EQ(rbtree_init_as(&u, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - tree: %p, src: %p.", (void*)&u, (void*)nullptr), 9003)) << log;
  rbtree_free(&t);
  rbtree_free(&u);
}

TEST(Rbtree, CallbacksAndBlockReuse) {
  ds_counter c;
  rbtree t{};
  // a text-keyed map whose keys the tree owns; compared through the slots
  auto cmp = [](unsigned, const void* a, unsigned, unsigned, const void* b, unsigned, void*) {
    return std::strcmp(*static_cast<const char* const*>(a), *static_cast<const char* const*>(b));
  };
  ASSERT_EQ(rbtree_init(&t, sizeof(char*), 0x82, cmp, ds_copy_slot_cb, ds_release_cb, ds_init_cb, sizeof(int), 0,
                        nullptr, nullptr, nullptr, &c, 4),
            0);
  const char* words[] = {"pear", "fig", "kiwi", "date", "lime", "plum"};
  for (const char* w : words) {
    int v = (int)std::strlen(w);
    ASSERT_NE(rbtree_insert(&t, &w, &v), nullptr);
  }
  EXPECT_EQ(c.inits, 6);
  EXPECT_EQ(c.copies, 6);
  EXPECT_EQ(t.mb.nblocks, 2u);
  EXPECT_EQ(t.capacity, 8u);
  const char* dup = "kiwi";
  EXPECT_EQ(rbtree_insert(&t, &dup, nullptr), nullptr);
  EXPECT_EQ(c.copies, 6);  // a refused key is never copied
  rbtree_remove(&t, rbtree_find(&t, &dup));
  EXPECT_EQ(c.released, std::vector<std::string>{"kiwi"});
  c.released.clear();
  ASSERT_EQ(rbtree_clear(&t, 0), 0);
  EXPECT_EQ(c.released, (std::vector<std::string>{"date", "fig", "lime", "pear", "plum"}));  // key order
  EXPECT_EQ(t.mb.nblocks, 2u);
  for (const char* w : words) ASSERT_NE(rbtree_insert(&t, &w, nullptr), nullptr);
  EXPECT_EQ(t.mb.nblocks, 2u);  // the kept blocks serve again
  c.fail_copy_at = c.copies + 1;
  const char* extra = "apple";
  int err = 0;
  EXPECT_EQ(rbtree_insert(&t, &extra, nullptr, &err), nullptr);
  EXPECT_EQ(err, 9012);
  EXPECT_EQ(rbtree_count(&t), 6u);
  EXPECT_TRUE(check_ok_strings(&t));
  ASSERT_EQ(rbtree_free(&t), 0);
  EXPECT_EQ(c.releases, 1 + 5 + 1 + 6);
  EXPECT_TRUE(c.live.empty());
  for (const std::string& s : c.released) EXPECT_NE(s, "<NOT LIVE>");
}

TEST(RbtreeV, TypesOrderAndPointers) {
  rbtree t{};
  std::string log = ds_capture_log([&] {
    EXPECT_EQ(rbtree_v_init(&t, 0x50, nullptr, nullptr, nullptr, nullptr, 0x30, nullptr, nullptr, nullptr, nullptr),
              9003);
  });
  EXPECT_TRUE(ds_logged(log, "Tree invalid keytype [0X50].", 9003)) << log;
  log = ds_capture_log([&] {
    EXPECT_EQ(rbtree_v_init(&t, 0x30, nullptr, nullptr, nullptr, nullptr, 0x90, nullptr, nullptr, nullptr, nullptr),
              9003);
  });
  EXPECT_TRUE(ds_logged(log, "Tree invalid valtype [0X90].", 9003)) << log;

  ASSERT_EQ(rbtree_v_init(&t, 0x30, nullptr, nullptr, nullptr, nullptr, 0x70, nullptr, nullptr, nullptr, nullptr), 0);
  for (int k : {3, -5, 100, 0, -100000}) {
    double v = k * 0.5;
    ASSERT_NE(rbtree_v_insert(&t, &k, &v), nullptr);
  }
  std::vector<int> got;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) got.push_back(rbtree_v_key_int(n));
  EXPECT_EQ(got, (std::vector<int>{-100000, -5, 0, 3, 100}));  // numerically, not by bytes
  int k = -5;
  EXPECT_EQ(*static_cast<double*>(rbtree_v_val(rbtree_v_find(&t, &k))), -2.5);
  rbtree_v_free(&t);

  ASSERT_EQ(rbtree_v_init(&t, 0x82, nullptr, nullptr, nullptr, nullptr, 0xC2, nullptr, nullptr, nullptr, nullptr), 0);
  char a[] = "apple", b[] = "Banana", c[] = "apricot", d[] = "ap";
  int tag;
  for (char* s : {a, b, c, d}) ASSERT_NE(rbtree_v_insert(&t, s, &tag), nullptr);
  std::vector<char*> order;
  for (rbtree_node* n = rbtree_first(&t); n; n = rbtree_next(n)) order.push_back(rbtree_v_key_str(n));
  EXPECT_EQ(order, (std::vector<char*>{b, d, a, c}));  // case-sensitive: upper case first; the very pointers
  EXPECT_EQ(*static_cast<void**>(rbtree_v_val(rbtree_first(&t))), &tag);
  char probe[] = "apple";
  rbtree_node* n = rbtree_v_find(&t, probe);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(rbtree_v_key_str(n), a);
  int err = 0;
  EXPECT_EQ(rbtree_v_insert(&t, probe, nullptr, &err), nullptr);
  EXPECT_EQ(err, 9007);
  // a compare limited to the key length is a prefix search
  n = rbtree_v_find_first(&t, rbtree_v_cmp, "apz", 2);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(rbtree_v_key_str(n), d);
  n = rbtree_v_find_first(&t, rbtree_v_cmp, "apr", 3);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(rbtree_v_key_str(n), c);
  EXPECT_EQ(rbtree_v_find_first(&t, rbtree_v_cmp, "b", 1), nullptr);
  rbtree_v_free(&t);
}
