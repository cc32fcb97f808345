#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fm/fpathlist.h"

namespace {

using V = std::vector<std::string>;

V history(const pathl* pl) {
  V v;
  for (list_node* n = fpathlist_first(pl); n; n = fpathlist_next(n)) v.push_back(fpathlist_text(n));
  return v;
}

TEST(Fpathlist, MostRecentFirstTrimmedAndMoved) {
  pathl pl{};
  ASSERT_EQ(fpathlist_init(&pl), 0);
  for (const char* p : {"C:\\src", "  D:\\data\t", "E:\\", "C:\\src "}) EXPECT_EQ(fpathlist_add(&pl, p), 0);
  EXPECT_EQ(history(&pl), (V{"C:\\src", "E:\\", "D:\\data"}));
  // the first again: nothing changes; one further down moves to the front
  EXPECT_EQ(fpathlist_add(&pl, "C:\\src"), 0);
  EXPECT_EQ(history(&pl), (V{"C:\\src", "E:\\", "D:\\data"}));
  EXPECT_EQ(fpathlist_add(&pl, "D:\\data"), 0);
  EXPECT_EQ(history(&pl), (V{"D:\\data", "C:\\src", "E:\\"}));
  // blank and case-different paths
  EXPECT_EQ(fpathlist_add(&pl, " \t "), 0);
  EXPECT_EQ(fpathlist_add(&pl, "c:\\SRC"), 0);
  EXPECT_EQ(history(&pl), (V{"c:\\SRC", "D:\\data", "C:\\src", "E:\\"}));
  EXPECT_EQ(fpathlist_free(&pl), 0);
}

TEST(Fpathlist, ManyPathsAndLongOnes) {
  pathl pl{};
  ASSERT_EQ(fpathlist_init(&pl), 0);
  for (int round = 0; round < 2; ++round)
    for (int i = 0; i < 300; ++i) EXPECT_EQ(fpathlist_add(&pl, ("P:\\" + std::to_string(i)).c_str()), 0);
  EXPECT_EQ(fpathlist_count(&pl), 300u);
  EXPECT_EQ(history(&pl).front(), "P:\\299");
  EXPECT_EQ(history(&pl).back(), "P:\\0");
  std::string longer(5000, 'x');
  EXPECT_EQ(fpathlist_add(&pl, longer.c_str()), 0);
  EXPECT_EQ(std::string(fpathlist_text(fpathlist_first(&pl))), std::string(FPATHLIST_PATHSIZE - 1, 'x'));
  fpathlist_free(&pl);
}

}  // namespace
