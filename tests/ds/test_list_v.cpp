#include <gtest/gtest.h>

#include <vector>

#include "ds/ds_test.h"
#include "ds/list_v.h"

TEST(ListV, AcceptsOnlyTheFourValueTypes) {
  list l{};
  for (unsigned t : {0x30u, 0x70u, 0x82u, 0xC2u}) EXPECT_EQ(list_v_init(&l, t, nullptr, nullptr, nullptr, nullptr), 0) << t;
  LogCapture log;
  for (unsigned t : {0x31u, 0x50u, 0x90u, 0xA2u}) EXPECT_EQ(list_v_init(&l, t, nullptr, nullptr, nullptr, nullptr), 9003);
  EXPECT_TRUE(log.has("List invalid valtype [0X31].")) << log.done();
  list_v_free(&l);
}

// list_v_cp used to hand the copy the slot instead of the value
TEST(ListV, NumbersAreCopiedAndTextsKeptAsGivenAlsoByCp) {
  list ints{}, strs{}, icp{}, scp{};
  ASSERT_EQ(list_v_init(&ints, 0x30, nullptr, nullptr, nullptr, nullptr), 0);
  ASSERT_EQ(list_v_init(&strs, 0x82, nullptr, nullptr, nullptr, nullptr), 0);
  for (int i : {1, 2}) list_v_append(&ints, &i);
  int v = 100;
  list_v_push(&ints, &v);
  v = 7;  // the list holds its own copy
  EXPECT_EQ(list_v_int(list_v_append(&ints, nullptr)), 0);  // no value: the empty value of the type
  ASSERT_EQ(list_v_cp(&icp, &ints), 0);
  std::vector<int> got;
  for (list_node* m = list_v_last(&icp); m; m = list_v_prev(m)) got.push_back(list_v_int(m));
  EXPECT_EQ(got, (std::vector<int>{0, 2, 1, 100}));
  char text[] = "C:\\src";
  EXPECT_EQ(list_v_str(list_v_append(&strs, text)), text);  // the very pointer, no duplicate
  list_v_insert(&strs, list_v_first(&strs), nullptr);
  ASSERT_EQ(list_v_cp(&scp, &strs), 0);
  EXPECT_EQ(list_v_str(list_v_first(&scp)), nullptr);
  EXPECT_EQ(list_v_str(list_v_next(list_v_first(&scp))), text);
  int dst = 0;  // a value of another type goes through the value conversion
  EXPECT_EQ(list_v_copy(0x30, &dst, nullptr, nullptr, 0x82, "0x1F", 0, nullptr), 0);
  EXPECT_EQ(dst, 31);
  for (list* l : {&ints, &strs, &icp, &scp}) list_v_free(l);
}
