#include "c/mblock.h"

#include "c/log_capture.h"

TEST(Mblock, AddsWholeZeroedBlocksThatStayInPlace) {
  mblock mb{};
  EXPECT_EQ(mblock_init(&mb, 0, 4, 4), 9003);
  EXPECT_EQ(mblock_init(&mb, 0x40000000u, 4), 9003);  // a block of 2^32 bytes cannot be described
  ASSERT_EQ(mblock_init(&mb, 12, 10, 2), 0);
  EXPECT_EQ(mb.nblocks, 0u);  // nothing before the first add
  EXPECT_EQ(mblock_item(&mb, 0), nullptr);
  EXPECT_EQ(mblock_add(&mb, 0), 9003);
  ASSERT_EQ(mblock_add(&mb, 25), 0);  // three blocks, more than the growth step
  EXPECT_EQ(mblock_capacity(&mb), 30u);
  for (unsigned i = 0; i < 30; ++i) {
    auto* p = static_cast<unsigned char*>(mblock_item(&mb, i));
    ASSERT_NE(p, nullptr);
    for (unsigned b = 0; b < 12; ++b) ASSERT_EQ(p[b], 0) << i;
    p[0] = (unsigned char)i;
  }
  EXPECT_EQ(mblock_item(&mb, 30), nullptr);
  EXPECT_EQ(static_cast<char*>(mblock_item(&mb, 13)), static_cast<char*>(mb.blocks[1]) + 3 * 12);
  void* first = mblock_item(&mb, 0);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(mblock_add1(&mb), 0);  // the table grows by the step: 3 + 2 + 2
  EXPECT_EQ(mb.maxblocks, 7u);
  EXPECT_EQ(mblock_item(&mb, 0), first);
  for (unsigned i = 0; i < 30; ++i) EXPECT_EQ(*static_cast<unsigned char*>(mblock_item(&mb, i)), i);
  ASSERT_EQ(mblock_reinit(&mb), 0);  // releases the blocks, keeps the parameters
  EXPECT_EQ(mb.nblocks, 0u);
  ASSERT_EQ(mblock_add1(&mb), 0);
  EXPECT_EQ(mblock_capacity(&mb), 10u);
  EXPECT_EQ(mb.maxblocks, 2u);
  mblock_free(&mb);
  EXPECT_EQ(mb.blocks, nullptr);
  LogCapture log;
  EXPECT_EQ(mblock_add(&mb, 1), 9003);  // a freed record
  EXPECT_TRUE(log.has(" 9003 ") && log.has("] - itemsize: 0, nblockitems: 0.")) << log.done();
}
