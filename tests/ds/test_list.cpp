#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ds/ds_test.h"
#include "ds/list.h"

namespace {

int val(const list_node* n) { return *static_cast<int*>(list_data(n)); }

// forward and backward walks agree with each other and with the count
std::vector<int> walk(const list* l) {
  std::vector<int> fwd, bwd;
  for (list_node* n = list_first(l); n; n = list_next(n)) fwd.push_back(val(n));
  for (list_node* n = list_last(l); n; n = list_prev(n)) bwd.insert(bwd.begin(), val(n));
  EXPECT_EQ(fwd, bwd);
  EXPECT_EQ(fwd.size(), list_count(l));
  return fwd;
}

struct IntList : ::testing::Test {
  list l{};
  void SetUp() override { ASSERT_EQ(list_init(&l, sizeof(int), 0, nullptr, nullptr, nullptr, nullptr), 0); }
  void TearDown() override { list_free(&l); }
  list_node* append(int v) { return list_append(&l, &v); }
};

}  // namespace

TEST_F(IntList, BlocksOf128NodesTakenWhenNeededAndKept) {
  for (int i = 0; i < 129; ++i) append(i);
  EXPECT_EQ(l.mb.nblocks, 2u);  // the 129th node takes the second block
  ASSERT_EQ(list_clear(&l, 1), 0);
  EXPECT_EQ(l.mb.nblocks + l.capacity, 0u);
  // a removed node is the first to be reused, and cannot be removed twice
  list_node* a = append(1);
  list_node* b = append(2);
  int err = -1;
  EXPECT_EQ(list_remove(&l, b, &err), nullptr);  // the tail: nothing follows
  EXPECT_EQ(err, 0);
  EXPECT_EQ(append(5), b);
  list_remove(&l, a);
  EXPECT_EQ(list_remove(&l, a, &err), nullptr);
  EXPECT_EQ(err, 9003);
  LogCapture log;
  EXPECT_EQ(list_move_before(&l, b, b), 0);  // onto itself: nothing changes
  EXPECT_TRUE(log.has("Next same as item - list: ")) << log.done();
  EXPECT_EQ(walk(&l), std::vector<int>{5});
}

TEST_F(IntList, RandomOperationsMatchAModel) {
  std::mt19937 rng(12345);
  std::vector<list_node*> model;  // nodes in list order
  int next = 0;
  for (int step = 0; step < 4000; ++step) {
    unsigned op = rng() % 6;
    size_t sz = model.size();
    if (op <= 1 || sz < 2) {
      size_t pos = sz ? rng() % (sz + 1) : 0;
      int v = next++;
      list_node* n = op == 1 && pos == 0 ? list_push(&l, &v) : list_insert(&l, pos < sz ? model[pos] : nullptr, &v);
      ASSERT_NE(n, nullptr);
      model.insert(model.begin() + pos, n);
    } else if (op == 2) {
      size_t pos = rng() % sz;
      list_node* after = list_remove(&l, model[pos]);
      model.erase(model.begin() + pos);
      ASSERT_EQ(after, pos < model.size() ? model[pos] : nullptr);
    } else {
      size_t from = rng() % sz, to = rng() % (sz + 1);
      list_node *item = model[from], *ref = to < sz ? model[to] : nullptr;
      if (item == ref) continue;
      bool before = op % 2;  // ref nullptr: before moves to the end, after to the front
      ASSERT_EQ(before ? list_move_before(&l, item, ref) : list_move_after(&l, item, ref), 0);
      model.erase(model.begin() + from);
      auto it = ref ? std::find(model.begin(), model.end(), ref) + !before : before ? model.end() : model.begin();
      model.insert(it, item);
    }
    if (step % 50) continue;
    std::vector<int> want;
    for (list_node* n : model) want.push_back(val(n));
    ASSERT_EQ(walk(&l), want) << "step " << step;
  }
}

TEST(ListCallbacks, EachCalledExactlyAsPromised) {
  ds_counter c;
  list l{}, cp{}, bad{};
  ASSERT_EQ(list_init(&l, sizeof(char*), 0x82, ds_copy_slot_cb, ds_release_cb, ds_init_cb, &c, 4), 0);
  for (const char* w : {"alpha", "beta", "gamma", "delta", "epsilon"}) ASSERT_NE(list_append(&l, &w), nullptr);
  ASSERT_NE(list_append(&l, nullptr), nullptr);  // no data: initialised, not copied
  EXPECT_TRUE(c.inits == 6 && c.copies == 5);
  ASSERT_EQ(list_cp(&cp, &l), 0);
  EXPECT_STREQ(*static_cast<char**>(list_data(list_prev(list_last(&cp)))), "epsilon");
  EXPECT_TRUE(list_count(&cp) == 6 && !*static_cast<char**>(list_data(list_last(&cp))));  // the one without a text too
  // a failed copy: the list stays as it was, what the initialiser made is released
  c.fail_copy_at = c.copies + 1;
  int err = 0;
  const char* w = "eta";
  EXPECT_EQ(list_append(&l, &w, &err), nullptr);
  EXPECT_EQ(err + c.releases, 9012 + 1);
  EXPECT_EQ(list_count(&l), 6u);
  c.fail_copy_at = c.copies + 3;  // the third copy of list_cp
  EXPECT_EQ(list_cp(&bad, &l), 9012);
  EXPECT_EQ(list_count(&bad), 2u);
  ASSERT_EQ(list_clear(&l, 0), 0);
  ASSERT_EQ(list_free(&l), 0);  // already empty: nothing released again
  ASSERT_EQ(list_free(&cp) + list_free(&bad), 0);
  EXPECT_EQ(c.releases, 2 + 6 + 6 + 2);
  EXPECT_TRUE(c.clean());
}
