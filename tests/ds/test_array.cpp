#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "ds/array.h"
#include "ds/ds_test.h"

namespace {

int at(const array* a, unsigned i) { return *static_cast<int*>(array_get(a, i)); }

std::vector<int> all(const array* a) {
  std::vector<int> v;
  for (unsigned i = 0; i < array_count(a); ++i) v.push_back(at(a, i));
  return v;
}

int count_release(unsigned, void* data, unsigned*, unsigned*, void* usrdata) {
  static_cast<std::vector<int>*>(usrdata)->push_back(*static_cast<int*>(data));
  return 0;
}

}  // namespace

TEST(Array, TypeAndArgumentChecks) {
  array a{};
  std::string log = ds_capture_log([&] { EXPECT_EQ(array_init(&a, 0x50, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, "Array invalid `valtype' [0X50].", 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(array_init(nullptr, 0x30, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, "`array' is NUL.", 9003)) << log;
  ASSERT_EQ(array_init(&a, 0x30, nullptr, nullptr), 0);
  EXPECT_EQ(a.mb.nblocks, 0u);
  for (int i = 0; i < 5; ++i) ASSERT_EQ(array_append(&a, &i), 0);
  log = ds_capture_log([&] { EXPECT_EQ(array_get(&a, 5), nullptr); });
  EXPECT_TRUE(ds_logged(log, "Invalid idx [5] - nitems: 5.", 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(array_delete(&a, 3, 3), 9003); });
  EXPECT_TRUE(ds_logged(log, "Invalid range - idx: 3, nitems: 3, array.nitems: 5.", 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(array_delete(&a, 0xFFFFFFFFu, 2), 9003); });
  EXPECT_TRUE(ds_logged(log, "Invalid range - idx: 4294967295, nitems: 2", 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(array_delete(&a, 0, 0), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - array: %p, nitems: 0.", (void*)&a), 9003)) << log;
  EXPECT_EQ(all(&a), (std::vector<int>{0, 1, 2, 3, 4}));
  log = ds_capture_log([&] { EXPECT_EQ(array_cp(&a, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - array: %p, src: %p.", (void*)&a, (void*)nullptr), 9003)) << log;
  array_free(&a);
}

TEST(Array, InsertAtFrontOfAFullBlockShiftsAcrossTheBoundary) {
  array a{};
  ASSERT_EQ(array_init(&a, 0x30, nullptr, nullptr), 0);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(array_append(&a, &i), 0);
  EXPECT_EQ(a.mb.nblocks, 1u);
  EXPECT_EQ(a.capacity, 128u);
  void* slot0 = array_get(&a, 0);
  ASSERT_EQ(array_insert(&a, 0, 1), 0);
  EXPECT_EQ(a.mb.nblocks, 2u);
  EXPECT_EQ(a.capacity, 256u);
  EXPECT_EQ(array_get(&a, 0), slot0);  // slots stay, values move
  EXPECT_EQ(at(&a, 0), 0);             // opened slot cleared
  for (unsigned i = 1; i <= 128; ++i) ASSERT_EQ(at(&a, i), (int)i - 1) << i;
  int v = -5;
  ASSERT_EQ(array_set(&a, 0, &v), 0);
  EXPECT_EQ(at(&a, 0), -5);
  // past the end appends
  ASSERT_EQ(array_insert(&a, 1000, 2), 0);
  EXPECT_EQ(array_count(&a), 131u);
  EXPECT_EQ(at(&a, 128), 127);
  array_free(&a);
}

TEST(Array, RandomInsertsAndDeletesMatchAModel) {
  std::vector<int> released;
  array a{};
  ASSERT_EQ(array_init(&a, 0x30, nullptr, count_release, 5, &released), 0);
  std::vector<int> model;
  std::mt19937 rng(7);
  int next = 1;
  for (int step = 0; step < 3000; ++step) {
    if (model.empty() || rng() % 3) {
      unsigned idx = rng() % (model.size() + 1), n = 1 + rng() % 7;
      ASSERT_EQ(array_insert(&a, idx, n), 0);
      for (unsigned k = 0; k < n; ++k) {
        ASSERT_EQ(at(&a, idx + k), 0);
        int v = next++;
        ASSERT_EQ(array_set(&a, idx + k, &v), 0);
        model.insert(model.begin() + idx + k, v);
      }
    } else {
      unsigned idx = rng() % model.size(), n = 1 + rng() % std::min<size_t>(9, model.size() - idx);
      released.clear();
      ASSERT_EQ(array_delete(&a, idx, n), 0);
      EXPECT_EQ(released, std::vector<int>(model.begin() + idx, model.begin() + idx + n));
      model.erase(model.begin() + idx, model.begin() + idx + n);
    }
    if (step % 100 == 0) {
      ASSERT_EQ(all(&a), model) << step;
    }
    ASSERT_EQ(a.capacity, a.mb.nblocks * 5u);
  }
  ASSERT_EQ(all(&a), model);
  released.clear();
  ASSERT_EQ(array_clear(&a, 0), 0);
  EXPECT_EQ(released, model);  // every remaining value released once
  EXPECT_GT(a.mb.nblocks, 0u);
  ASSERT_EQ(array_clear(&a, 1), 0);
  EXPECT_EQ(a.mb.nblocks, 0u);
  EXPECT_EQ(a.capacity, 0u);
  released.clear();
  array_free(&a);
  EXPECT_TRUE(released.empty());
}

TEST(Array, PointerTypesAndCopies) {
  array a{}, b{};
  ASSERT_EQ(array_init(&a, 0x82, nullptr, nullptr, 3), 0);
  char t1[] = "one", t2[] = "two";
  ASSERT_EQ(array_append(&a, t1), 0);
  ASSERT_EQ(array_append(&a, t2), 0);
  EXPECT_EQ(*static_cast<char**>(array_get(&a, 0)), t1);
  ASSERT_EQ(array_cp(&b, &a), 0);
  EXPECT_EQ(b.mb.nblockitems, 3u);
  EXPECT_EQ(*static_cast<char**>(array_get(&b, 1)), t2);
  array_free(&b);
  array_free(&a);

  ds_counter c;
  array o{}, p{};
  ASSERT_EQ(array_init(&o, 0x82, ds_copy_text_cb, ds_release_cb, 0, &c), 0);
  for (const char* w : {"a", "b", "c", "d"}) ASSERT_EQ(array_append(&o, w), 0);
  ASSERT_EQ(array_cp(&p, &o), 0);
  EXPECT_EQ(p.usrdata, &c);
  EXPECT_NE(*static_cast<char**>(array_get(&p, 2)), *static_cast<char**>(array_get(&o, 2)));
  EXPECT_STREQ(*static_cast<char**>(array_get(&p, 2)), "c");
  c.fail_copy_at = c.copies + 3;
  array q{};
  std::string log = ds_capture_log([&] { EXPECT_EQ(array_cp(&q, &o), 9012); });
  EXPECT_TRUE(ds_logged(
      log,
      ds_fmt("Array `cp' failed - array: %p, src: %p, i: 2, src_item: %p.", (void*)&q, (void*)&o, array_get(&o, 2)),
      9012))
      << log;
  EXPECT_EQ(array_count(&q), 2u);
  ASSERT_EQ(array_delete(&o, 1, 2), 0);
  EXPECT_STREQ(*static_cast<char**>(array_get(&o, 1)), "d");
  for (array* x : {&o, &p, &q}) array_free(x);
  EXPECT_EQ(c.releases, 4 + 4 + 2);
  EXPECT_TRUE(c.live.empty());

  array d{};
  ASSERT_EQ(array_init(&d, 0x70, nullptr, nullptr), 0);
  double x = 0.125;
  ASSERT_EQ(array_append(&d, &x), 0);
  EXPECT_EQ(*static_cast<double*>(array_get(&d, 0)), 0.125);
  array_free(&d);
}
