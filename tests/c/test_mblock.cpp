#include <gtest/gtest.h>

#include <cstdint>

#include "c/mblock.h"
#include "ds/ds_test.h"

TEST(Mblock, InitStoresDefaultsAndAllocatesNothing) {
  mblock mb{};
  ASSERT_EQ(mblock_init(&mb, 24), 0);
  EXPECT_EQ(mb.itemsize, 24u);
  EXPECT_EQ(mb.nblockitems, 128u);
  EXPECT_EQ(mb.ngrow, 64u);
  EXPECT_EQ(mb.blocksize, 24u * 128u);
  EXPECT_EQ(mb.nblocks, 0u);
  EXPECT_EQ(mb.blocks, nullptr);
  EXPECT_EQ(mblock_item(&mb, 0), nullptr);
  mblock_free(&mb);
}

TEST(Mblock, RefusesBadArguments) {
  mblock mb{};
  std::string log = ds_capture_log([&] { EXPECT_EQ(mblock_init(&mb, 0, 4, 4), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - mblock: %p, itemsize: 0.", (void*)&mb), 9003)) << log;
  log = ds_capture_log([&] { EXPECT_EQ(mblock_init(nullptr, 8), 9003); });
  EXPECT_TRUE(ds_logged(log, "`mblock' is NUL.", 9003)) << log;
  // a block of 2^32 bytes cannot be described
  EXPECT_EQ(mblock_init(&mb, 0x40000000u, 4), 9003);
  log = ds_capture_log([&] { EXPECT_EQ(mblock_add(&mb, 1), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid `mblock' [%p] - itemsize: 0, nblockitems: 0.", (void*)&mb), 9003)) << log;
  ASSERT_EQ(mblock_init(&mb, 8, 4), 0);
  log = ds_capture_log([&] { EXPECT_EQ(mblock_add(&mb, 0), 9003); });
  EXPECT_TRUE(ds_logged(log, ds_fmt("Invalid param - mblock: %p, nitems: 0.", (void*)&mb), 9003)) << log;
  EXPECT_EQ(mb.nblocks, 0u);
  mblock_free(&mb);
}

TEST(Mblock, AddsWholeZeroedBlocksAndKeepsThemInPlace) {
  mblock mb{};
  ASSERT_EQ(mblock_init(&mb, 12, 10, 2), 0);
  ASSERT_EQ(mblock_add(&mb, 25), 0);  // three blocks, more than the growth step
  EXPECT_EQ(mb.nblocks, 3u);
  EXPECT_EQ(mb.maxblocks, 3u);
  EXPECT_EQ(mblock_capacity(&mb), 30u);
  for (unsigned i = 0; i < 30; ++i) {
    auto* p = static_cast<unsigned char*>(mblock_item(&mb, i));
    ASSERT_NE(p, nullptr);
    for (unsigned b = 0; b < 12; ++b) ASSERT_EQ(p[b], 0) << i;
    p[0] = (unsigned char)i;
  }
  EXPECT_EQ(mblock_item(&mb, 30), nullptr);
  // items are addressed block by block
  EXPECT_EQ(static_cast<char*>(mblock_item(&mb, 13)), static_cast<char*>(mb.blocks[1]) + 3 * 12);
  void* first = mblock_item(&mb, 0);
  ASSERT_EQ(mblock_add1(&mb), 0);  // the table grows by the step: 3 + 2
  EXPECT_EQ(mb.maxblocks, 5u);
  ASSERT_EQ(mblock_add1(&mb), 0);
  ASSERT_EQ(mblock_add1(&mb), 0);
  EXPECT_EQ(mb.maxblocks, 7u);
  EXPECT_EQ(mb.nblocks, 6u);
  EXPECT_EQ(mblock_item(&mb, 0), first);
  for (unsigned i = 0; i < 30; ++i) EXPECT_EQ(*static_cast<unsigned char*>(mblock_item(&mb, i)), i);
  mblock_free(&mb);
  EXPECT_EQ(mb.blocks, nullptr);
  EXPECT_EQ(mb.itemsize, 0u);
}

TEST(Mblock, ReinitReleasesBlocksButKeepsParameters) {
  mblock mb{};
  ASSERT_EQ(mblock_init(&mb, 16, 8, 3), 0);
  ASSERT_EQ(mblock_add(&mb, 17), 0);
  ASSERT_EQ(mblock_reinit(&mb), 0);
  EXPECT_EQ(mb.nblocks, 0u);
  EXPECT_EQ(mb.blocks, nullptr);
  EXPECT_EQ(mb.itemsize, 16u);
  EXPECT_EQ(mb.nblockitems, 8u);
  EXPECT_EQ(mb.ngrow, 3u);
  EXPECT_EQ(mb.blocksize, 128u);
  ASSERT_EQ(mblock_add1(&mb), 0);
  EXPECT_EQ(mb.nblocks, 1u);
  EXPECT_EQ(mb.maxblocks, 3u);
  mblock_free(&mb);
  // clear forgets without freeing: the record is plain zeros afterwards
  mblock m2{};
  ASSERT_EQ(mblock_init(&m2, 4), 0);
  ASSERT_EQ(mblock_clear(&m2), 0);
  EXPECT_EQ(m2.itemsize, 0u);
  EXPECT_EQ(m2.nblockitems, 0u);
}
