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

int note_release(unsigned, void* data, unsigned*, unsigned*, void* usrdata) {
  static_cast<std::vector<int>*>(usrdata)->push_back(*static_cast<int*>(data));
  return 0;
}

}  // namespace

TEST(Array, RangesAreCheckedWithoutOverflowAndInsertShiftsAcrossBlocks) {
  array a{};
  ASSERT_EQ(array_init(&a, 0x30, nullptr, nullptr), 0);
  for (int i = 0; i < 128; ++i) ASSERT_EQ(array_append(&a, &i), 0);
  LogCapture log;
  EXPECT_EQ(array_get(&a, 128), nullptr);
  EXPECT_EQ(array_delete(&a, 127, 2), 9003);
  EXPECT_EQ(array_delete(&a, 0xFFFFFFFFu, 2), 9003);  // idx + nitems wraps to 1
  EXPECT_TRUE(log.has("Invalid range - idx: 4294967295, nitems: 2, array.nitems: 128.")) << log.done();
  void* slot0 = array_get(&a, 0);
  ASSERT_EQ(array_insert(&a, 0, 1), 0);
  EXPECT_EQ(array_get(&a, 0), slot0);  // slots stay, values move
  std::vector<int> want(129);
  for (int i = 1; i <= 128; ++i) want[i] = i - 1;
  EXPECT_EQ(all(&a), want);  // the opened slot cleared
  EXPECT_EQ(array_delete(&a, 127, 2), 0);  // exactly to the end
  EXPECT_EQ(array_count(&a), 127u);
  array_free(&a);
}

TEST(Array, RandomInsertsAndDeletesMatchAModel) {
  std::vector<int> released;
  array a{};
  ASSERT_EQ(array_init(&a, 0x30, nullptr, note_release, 5, &released), 0);
  std::vector<int> model;
  std::mt19937 rng(7);
  int next = 1;
  for (int step = 0; step < 3000; ++step) {
    if (model.empty() || rng() % 3) {
      unsigned idx = rng() % (model.size() + 1), n = 1 + rng() % 7;
      ASSERT_EQ(array_insert(&a, idx, n), 0);
      for (unsigned k = 0; k < n; ++k, ++next) {
        ASSERT_EQ(array_set(&a, idx + k, &next), 0);
        model.insert(model.begin() + idx + k, next);
      }
    } else {
      unsigned idx = rng() % model.size(), n = 1 + rng() % std::min<size_t>(9, model.size() - idx);
      released.clear();
      ASSERT_EQ(array_delete(&a, idx, n), 0);
      ASSERT_EQ(released, std::vector<int>(model.begin() + idx, model.begin() + idx + n));
      model.erase(model.begin() + idx, model.begin() + idx + n);
    }
    if (step % 100) continue;
    ASSERT_EQ(all(&a), model) << step;
  }
  released.clear();
  array_free(&a);
  EXPECT_EQ(released, model);  // every remaining value released once
}

TEST(Array, OwnedTextsAndCopies) {
  ds_counter c;
  array o{}, p{}, q{};
  ASSERT_EQ(array_init(&o, 0x82, ds_copy_text_cb, ds_release_cb, 3, &c), 0);
  for (const char* w : {"a", "b", "c", "d"}) ASSERT_EQ(array_append(&o, w), 0);
  ASSERT_EQ(array_cp(&p, &o), 0);
  EXPECT_STREQ(*static_cast<char**>(array_get(&p, 2)), "c");  // a duplicate: c.clean() sees each freed once
  c.fail_copy_at = c.copies + 3;
  EXPECT_EQ(array_cp(&q, &o), 9012);
  EXPECT_EQ(array_count(&q), 2u);  // only the slots set so far
  for (array* x : {&o, &p, &q}) array_free(x);
  EXPECT_EQ(c.releases, 4 + 4 + 2);
  EXPECT_TRUE(c.clean());
}
