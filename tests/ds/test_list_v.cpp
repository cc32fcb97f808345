#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ds/ds_test.h"
#include "ds/list_v.h"

TEST(ListV, AcceptsOnlyTheFourValueTypes) {
  list l{};
  for (unsigned t : {0x30u, 0x70u, 0x82u, 0xC2u}) {
    EXPECT_EQ(list_v_init(&l, t, nullptr, nullptr, nullptr, nullptr), 0) << t;
    EXPECT_EQ(l.datasize, 8u);
  }
  for (unsigned t : {0x31u, 0x50u, 0x90u, 0xA2u, 0u}) {
    std::string log = ds_capture_log([&] { EXPECT_EQ(list_v_init(&l, t, nullptr, nullptr, nullptr, nullptr), 9003); });
    EXPECT_TRUE(ds_logged(log, ds_fmt("List invalid valtype [%#X].", t), 9003)) << log;
  }
  EXPECT_NE(ds_fmt("List invalid valtype [%#X].", 0x31u).find("[0X31]"), std::string::npos);
  list_v_free(&l);
}

TEST(ListV, NumbersAreCopiedAndTextsKeptAsGiven) {
  list ints{}, dbls{}, strs{};
  ASSERT_EQ(list_v_init(&ints, 0x30, nullptr, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(list_v_init(&dbls, 0x70, nullptr, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(list_v_init(&strs, 0x82, nullptr, nullptr, nullptr, nullptr), 0);
  for (int i = -2; i <= 2; ++i) list_v_append(&ints, &i);
  int v = 100;
  list_v_push(&ints, &v);
  v = 7;  // the list holds its own copy
  std::vector<int> got;
  for (list_node* n = list_v_first(&ints); n; n = list_v_next(n)) got.push_back(list_v_int(n));
  EXPECT_EQ(got, (std::vector<int>{100, -2, -1, 0, 1, 2}));
  double d = 2.5;
  list_v_append(&dbls, &d);
  d = -1e300;
  list_v_insert(&dbls, list_v_first(&dbls), &d);
  EXPECT_EQ(list_v_double(list_v_first(&dbls)), -1e300);
  EXPECT_EQ(list_v_double(list_v_last(&dbls)), 2.5);

  char text[] = "C:\\src";
  list_node* n = list_v_append(&strs, text);
  EXPECT_EQ(list_v_str(n), text);  // the very pointer, no duplicate
  // appended without a value: the empty value of the type
  EXPECT_EQ(list_v_str(list_v_append(&strs, nullptr)), nullptr);
  EXPECT_EQ(list_v_int(list_v_append(&ints, nullptr)), 0);

  list cp{};
  ASSERT_EQ(list_v_cp(&cp, &strs), 0);
  ASSERT_EQ(list_count(&cp), 2u);
  EXPECT_EQ(list_v_str(list_v_first(&cp)), text);
  EXPECT_EQ(list_v_str(list_v_last(&cp)), nullptr);
  list icp{};
  ASSERT_EQ(list_v_cp(&icp, &ints), 0);
  got.clear();
  for (list_node* m = list_v_last(&icp); m; m = list_v_prev(m)) got.push_back(list_v_int(m));
  EXPECT_EQ(got, (std::vector<int>{0, 2, 1, 0, -1, -2, 100}));
  for (list* l : {&ints, &dbls, &strs, &cp, &icp}) list_v_free(l);
}

TEST(ListV, OwningCallbacksDuplicateAndFreeEachTextOnce) {
  ds_counter c;
  list l{}, cp{};
  ASSERT_EQ(list_v_init(&l, 0x82, ds_copy_text_cb, ds_release_cb, nullptr, &c), 0);
  const char* words[] = {"one", "two", "three"};
  for (const char* w : words) list_v_append(&l, w);
  EXPECT_NE(list_v_str(list_v_first(&l)), words[0]);
  EXPECT_STREQ(list_v_str(list_v_first(&l)), "one");
  ASSERT_EQ(list_v_cp(&cp, &l), 0);
  EXPECT_EQ(c.copies, 6);
  EXPECT_NE(list_v_str(list_v_first(&cp)), list_v_str(list_v_first(&l)));
  EXPECT_STREQ(list_v_str(list_v_last(&cp)), "three");
  list_v_remove(&l, list_v_first(&l));
  list_v_free(&l);
  list_v_free(&cp);
  EXPECT_EQ(c.releases, 6);
  EXPECT_TRUE(c.live.empty());
  EXPECT_EQ(c.released, (std::vector<std::string>{"one", "two", "three", "one", "two", "three"}));
}

TEST(ListV, DefaultCopyChecksItsArguments) {
  int x = 1;
  std::string log =
      ds_capture_log([&] { EXPECT_EQ(list_v_copy(0x30, nullptr, nullptr, nullptr, 0x30, &x, 0, nullptr), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - val: %p, src: %p.", (void*)nullptr, (void*)&x), 9003)) << log;
  // different types go through the value conversion
  int dst = 0;
  EXPECT_EQ(list_v_copy(0x30, &dst, nullptr, nullptr, 0x82, "0x1F", 0, nullptr), 0);
  EXPECT_EQ(dst, 31);
}
