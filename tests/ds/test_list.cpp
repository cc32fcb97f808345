#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "ds/ds_test.h"
#include "ds/list.h"

namespace {

int val(const list_node* n) { return *static_cast<int*>(list_data(n)); }

// Forward and backward walks must agree with each other and with the count.
std::vector<int> walk(const list* l) {
  std::vector<int> fwd, bwd;
  for (list_node* n = list_first(l); n; n = list_next(n)) fwd.push_back(val(n));
  for (list_node* n = list_last(l); n; n = list_prev(n)) bwd.insert(bwd.begin(), val(n));
  EXPECT_EQ(fwd, bwd);
  EXPECT_EQ(fwd.size(), list_count(l));
  return fwd;
}

list_node* append(list* l, int v) {
  int err = -1;
  list_node* n = list_append(l, &v, &err);
  EXPECT_EQ(err, 0);
  return n;
}

struct IntList : ::testing::Test {
  list l{};
  void SetUp() override { ASSERT_EQ(list_init(&l, sizeof(int), 0, nullptr, nullptr, nullptr, nullptr), 0); }
  void TearDown() override { list_free(&l); }
};

}  // namespace

TEST_F(IntList, AllocatesBlocksOf128NodesOnlyWhenNeeded) {
  EXPECT_EQ(l.mb.nblocks, 0u);
  EXPECT_EQ(l.capacity, 0u);
  EXPECT_EQ(l.mb.nblockitems, 128u);
  std::vector<list_node*> nodes;
  nodes.push_back(append(&l, 0));
  EXPECT_EQ(l.mb.nblocks, 1u);
  EXPECT_EQ(l.capacity, 128u);
  for (int i = 1; i < 128; ++i) nodes.push_back(append(&l, i));
  EXPECT_EQ(l.mb.nblocks, 1u);
  nodes.push_back(append(&l, 128));
  EXPECT_EQ(l.mb.nblocks, 2u);
  EXPECT_EQ(l.capacity, 256u);
  for (int i = 129; i < 1000; ++i) nodes.push_back(append(&l, i));
  // earlier nodes never moved
  int i = 0;
  for (list_node* n = list_first(&l); n; n = list_next(n), ++i) {
    ASSERT_EQ(n, nodes[i]);
    ASSERT_EQ(val(n), i);
  }
  EXPECT_EQ(i, 1000);
}

TEST_F(IntList, ClearKeepsBlocksAndReusesTheirNodes) {
  std::set<list_node*> first;
  for (int i = 0; i < 128; ++i) first.insert(append(&l, i));
  ASSERT_EQ(list_clear(&l, 0), 0);
  EXPECT_EQ(list_count(&l), 0u);
  EXPECT_EQ(list_first(&l), nullptr);
  EXPECT_EQ(list_last(&l), nullptr);
  EXPECT_EQ(l.mb.nblocks, 1u);
  std::set<list_node*> again;
  for (int i = 0; i < 128; ++i) again.insert(append(&l, i));
  EXPECT_EQ(l.mb.nblocks, 1u);
  EXPECT_EQ(first, again);
  EXPECT_EQ(walk(&l).size(), 128u);
  ASSERT_EQ(list_clear(&l, 1), 0);
  EXPECT_EQ(l.mb.nblocks, 0u);
  EXPECT_EQ(l.capacity, 0u);
  append(&l, 7);
  EXPECT_EQ(l.mb.nblocks, 1u);
  EXPECT_EQ(walk(&l), std::vector<int>{7});
}

TEST_F(IntList, InsertRemoveKeepHeadAndTail) {
  list_node* a = append(&l, 1);
  list_node* b = append(&l, 2);
  int v = 0;
  list_node* h = list_insert(&l, a, &v);
  EXPECT_EQ(list_first(&l), h);
  v = -1;
  list_node* p = list_push(&l, &v);
  EXPECT_EQ(list_first(&l), p);
  v = 9;
  list_insert(&l, b, &v);
  EXPECT_EQ(walk(&l), (std::vector<int>{-1, 0, 1, 9, 2}));
  int err = -1;
  EXPECT_EQ(list_remove(&l, b, &err), nullptr);  // the tail: nothing follows
  EXPECT_EQ(err, 0);
  EXPECT_EQ(val(list_last(&l)), 9);
  EXPECT_EQ(list_next(list_last(&l)), nullptr);
  EXPECT_EQ(val(list_remove(&l, a)), 9);
  EXPECT_EQ(walk(&l), (std::vector<int>{-1, 0, 9}));
  // a removed node is the first to be reused
  EXPECT_EQ(append(&l, 5), a);
  EXPECT_EQ(walk(&l), (std::vector<int>{-1, 0, 9, 5}));
  // a node removed twice is refused and the list stays intact
  list_remove(&l, a);
  std::string log = ds_capture_log([&] { EXPECT_EQ(list_remove(&l, a, &err), nullptr); });
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - list: %p, item: %p.", (void*)&l, (void*)a), 9003)) << log;
  EXPECT_EQ(walk(&l), (std::vector<int>{-1, 0, 9}));
}

TEST_F(IntList, Moves) {
  std::vector<list_node*> n;
  for (int i = 0; i < 5; ++i) n.push_back(append(&l, i));
  EXPECT_EQ(list_move_before(&l, n[1], nullptr), 0);
  EXPECT_EQ(walk(&l), (std::vector<int>{0, 2, 3, 4, 1}));
  EXPECT_EQ(list_move_after(&l, n[3], nullptr), 0);
  EXPECT_EQ(walk(&l), (std::vector<int>{3, 0, 2, 4, 1}));
  EXPECT_EQ(list_move_before(&l, n[1], n[3]), 0);
  EXPECT_EQ(walk(&l), (std::vector<int>{1, 3, 0, 2, 4}));
  EXPECT_EQ(list_move_after(&l, n[1], n[4]), 0);
  EXPECT_EQ(walk(&l), (std::vector<int>{3, 0, 2, 4, 1}));
  // already in place: nothing changes
  EXPECT_EQ(list_move_before(&l, n[2], n[4]), 0);
  EXPECT_EQ(list_move_after(&l, n[3], nullptr), 0);
  EXPECT_EQ(walk(&l), (std::vector<int>{3, 0, 2, 4, 1}));
  std::string log = ds_capture_log([&] { EXPECT_EQ(list_move_before(&l, n[2], n[2]), 0); });
  EXPECT_TRUE(ds_logged(
      log, ds_fmt("Next same as item - list: %p, item: %p, nextitem: %p.", (void*)&l, (void*)n[2], (void*)n[2]), 0))
      << log;
  EXPECT_NE(log.find("WARN"), std::string::npos) << log;
  log = ds_capture_log([&] { EXPECT_EQ(list_move_after(&l, n[0], n[0]), 0); });
  EXPECT_NE(
      log.find(ds_fmt("Prev same as item - list: %p, item: %p, previtem: %p.", (void*)&l, (void*)n[0], (void*)n[0])),
      std::string::npos)
      << log;
  EXPECT_EQ(walk(&l), (std::vector<int>{3, 0, 2, 4, 1}));
}

TEST_F(IntList, RandomOperationsMatchAModel) {
  std::mt19937 rng(12345);
  std::vector<list_node*> model;  // nodes in list order
  int next = 0;
  for (int step = 0; step < 4000; ++step) {
    unsigned op = rng() % 5;
    size_t sz = model.size();
    if (op <= 1 || sz < 2) {
      size_t pos = sz ? rng() % (sz + 1) : 0;
      int v = next++;
      list_node* n = list_insert(&l, pos < sz ? model[pos] : nullptr, &v);
      ASSERT_NE(n, nullptr);
      model.insert(model.begin() + pos, n);
    } else if (op == 2) {
      size_t pos = rng() % sz;
      list_node* after = list_remove(&l, model[pos]);
      model.erase(model.begin() + pos);
      ASSERT_EQ(after, pos < model.size() ? model[pos] : nullptr);
    } else {
      size_t from = rng() % sz, to = rng() % (sz + 1);
      list_node* item = model[from];
      list_node* ref = to < sz ? model[to] : nullptr;
      if (item == ref) continue;
      if (op == 3) {
        ASSERT_EQ(list_move_before(&l, item, ref), 0);
        model.erase(model.begin() + from);
        auto it = ref ? std::find(model.begin(), model.end(), ref) : model.end();
        model.insert(it, item);
      } else {
        ASSERT_EQ(list_move_after(&l, item, ref), 0);
        model.erase(model.begin() + from);
        auto it = ref ? std::find(model.begin(), model.end(), ref) + 1 : model.begin();
        model.insert(it, item);
      }
    }
    if (step % 50 == 0 || step == 3999) {
      std::vector<int> want;
      for (list_node* n : model) want.push_back(val(n));
      ASSERT_EQ(walk(&l), want) << "step " << step;
    }
  }
  // never more blocks than the peak count needs
  EXPECT_LE(l.capacity, (unsigned)next);
}

TEST(ListCallbacks, EachCalledExactlyAsPromised) {
  ds_counter c;
  list l{};
  ASSERT_EQ(list_init(&l, sizeof(char*), 0x82, ds_copy_slot_cb, ds_release_cb, ds_init_cb, &c, 4), 0);
  const char* words[] = {"alpha", "beta", "gamma", "delta", "epsilon", "zeta"};
  for (const char* w : words) ASSERT_NE(list_append(&l, &w), nullptr);
  ASSERT_NE(list_append(&l, nullptr), nullptr);  // no data: initialised, not copied
  EXPECT_EQ(c.inits, 7);
  EXPECT_EQ(c.copies, 6);
  EXPECT_EQ(l.mb.nblocks, 2u);
  EXPECT_STREQ(*static_cast<char**>(list_data(list_first(&l))), "alpha");
  EXPECT_NE(*static_cast<char**>(list_data(list_first(&l))), words[0]);

  list cp{};
  ASSERT_EQ(list_cp(&cp, &l), 0);
  EXPECT_EQ(cp.mb.nblockitems, 4u);
  EXPECT_EQ(cp.usrdata, &c);
  EXPECT_EQ(list_count(&cp), 7u);
  EXPECT_EQ(c.copies, 13);  // every node of the source, the one without a text too
  std::vector<std::string> got;
  for (list_node* n = list_first(&cp); n; n = list_next(n)) {
    char* s = *static_cast<char**>(list_data(n));
    got.push_back(s ? s : "NUL");
  }
  EXPECT_EQ(got, (std::vector<std::string>{"alpha", "beta", "gamma", "delta", "epsilon", "zeta", "NUL"}));

  list_remove(&l, list_first(&l));
  EXPECT_EQ(c.releases, 1);
  ASSERT_EQ(list_clear(&l, 0), 0);
  EXPECT_EQ(c.releases, 7);
  ASSERT_EQ(list_free(&l), 0);  // already empty: nothing released again
  EXPECT_EQ(c.releases, 7);
  ASSERT_EQ(list_free(&cp), 0);
  EXPECT_EQ(c.releases, 14);
  EXPECT_TRUE(c.live.empty());
  for (const std::string& s : c.released) EXPECT_NE(s, "<NOT LIVE>");
}

TEST(ListCallbacks, FailedCopiesLeaveTheListAsItWas) {
  ds_counter c;
  list l{}, cp{};
  ASSERT_EQ(list_init(&l, sizeof(char*), 0x82, ds_copy_slot_cb, ds_release_cb, ds_init_cb, &c), 0);
  const char* w = "x";
  list_append(&l, &w);
  list_append(&l, &w);
  list_append(&l, &w);
  c.fail_copy_at = 4;
  int err = 0;
  EXPECT_EQ(list_append(&l, &w, &err), nullptr);
  EXPECT_EQ(err, 9012);
  EXPECT_EQ(list_count(&l), 3u);
  EXPECT_EQ(c.releases, 1);  // what the initialiser made is released
  EXPECT_EQ(walk(&l).size(), 3u);
  c.fail_copy_at = 7;  // the third copy of list_cp
  std::string log = ds_capture_log([&] { EXPECT_EQ(list_cp(&cp, &l), 9012); });
  EXPECT_TRUE(ds_logged(
      log, ds_fmt("List `cp' failed - list: %p, src: %p, src_item: %p.", (void*)&cp, (void*)&l, (void*)list_last(&l)),
      9012))
      << log;
  EXPECT_EQ(list_count(&cp), 2u);
  list_free(&cp);
  list_free(&l);
  EXPECT_TRUE(c.live.empty());
}

TEST(ListArgs, NullAndBadArguments) {
  list l{};
  std::string log =
      ds_capture_log([&] { EXPECT_EQ(list_init(nullptr, 4, 0, nullptr, nullptr, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, "`list' is NUL.", 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(list_init(&l, 0, 0, nullptr, nullptr, nullptr, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - list: %p, datasize: 0.", (void*)&l), 9003)) << log;
  int err = 0;
  EXPECT_EQ(list_append(nullptr, nullptr, &err), nullptr);
  EXPECT_EQ(err, 9003);
  log = ds_capture_log([&] { EXPECT_EQ(list_cp(&l, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - list: %p, src: %p.", (void*)&l, (void*)nullptr), 9003)) << log;
  EXPECT_EQ(list_first(nullptr), nullptr);
  EXPECT_EQ(list_last(nullptr), nullptr);
  EXPECT_EQ(list_next(nullptr), nullptr);
  EXPECT_EQ(list_prev(nullptr), nullptr);
  EXPECT_EQ(list_move_before(nullptr, nullptr, nullptr), 9003);
  // an empty list walks as nothing, both ways
  ASSERT_EQ(list_init(&l, 4, 0, nullptr, nullptr, nullptr, nullptr), 0);
  EXPECT_TRUE(walk(&l).empty());
  EXPECT_EQ(list_clear(&l, 0), 0);
  EXPECT_EQ(l.mb.nblocks, 0u);
  list_free(&l);
}
