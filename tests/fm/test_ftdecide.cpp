// What a file operation does with a record given the user's decisions, and how the
// answers of the confirmation change what the next start is allowed to do.
#include <gtest/gtest.h>

#include <string>

#include "fm/ftdecide.h"

namespace {

TEST(FtDecide, CopyActionByDestinationAndFlags) {
  struct Row {
    unsigned flags;
    int confirmed, exists, ro;
    ft_act act;
  } rows[] = {
      {0, 0, 0, 0, FT_ACT_DO},                                // nothing there: copy
      {0, 0, 1, 0, FT_ACT_ASK},                               // existing, no decision
      {0, 0, 1, 1, FT_ACT_ASK},                               // read-only, no decision
      {0, 1, 1, 1, FT_ACT_DO},                                // confirmed at the start
      {FT_OVERWRITE, 0, 1, 0, FT_ACT_DO},                     // overwrite all
      {FT_OVERWRITE, 0, 1, 1, FT_ACT_ASK},                    // overwrite all does not cover read-only
      {FT_OVERWRITE | FT_OVERWRITE_RO, 0, 1, 1, FT_ACT_DO},
      {FT_SKIP, 0, 1, 0, FT_ACT_SKIP},
      {FT_SKIP, 0, 1, 1, FT_ACT_ASK},                         // skip existing leaves read-only to ask
      {FT_SKIP | FT_SKIP_RO, 0, 1, 1, FT_ACT_SKIP},
      {FT_SKIP_RO | FT_OVERWRITE_RO, 0, 1, 1, FT_ACT_SKIP},   // a skip wins over an overwrite
      {FT_CONFIRMED, 0, 1, 0, FT_ACT_ASK},                    // the flag alone confirms nothing further on
  };
  for (const Row& r : rows)
    EXPECT_EQ(ft_copy_act(r.flags, r.confirmed, r.exists, r.ro), r.act)
        << std::hex << r.flags << " confirmed " << r.confirmed << " exists " << r.exists << " ro " << r.ro;
}

TEST(FtDecide, DeleteActionByAttributesAndFlags) {
  struct Row {
    unsigned flags;
    int confirmed, ro;
    ft_act act;
  } rows[] = {
      {0, 0, 0, FT_ACT_ASK},       {FT_DEL, 0, 0, FT_ACT_DO},           {FT_DEL, 0, 1, FT_ACT_ASK},
      {FT_DEL_RO, 0, 1, FT_ACT_DO}, {FT_SKIP_DEL_RO, 0, 1, FT_ACT_SKIP}, {FT_SKIP_DEL_RO | FT_DEL_RO, 0, 1, FT_ACT_SKIP},
      {0, 1, 1, FT_ACT_DO},        {FT_DEL_RO, 0, 0, FT_ACT_ASK},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ft_del_act(r.flags, r.confirmed, r.ro), r.act) << std::hex << r.flags << " ro " << r.ro;
}

TEST(FtDecide, RelativeDestination) {
  struct Row {
    const char *base, *dir, *name, *to, *want;
    int rc;
  } rows[] = {
      {"C:\\src", "C:\\src\\", "a.txt", "D:\\dst", "D:\\dst\\a.txt", 0},
      {"C:\\src\\", "C:\\src\\sub\\deep\\", "b", "D:\\dst\\", "D:\\dst\\sub\\deep\\b", 0},
      {"C:\\SRC", "c:\\src\\sub\\", "sub2", "D:\\x", "D:\\x\\sub\\sub2", 0},  // no case, same directory
      {"C:/src", "C:\\src\\", "a", "D:\\x", "D:\\x\\a", 0},
      {"C:\\src", "C:\\srcx\\", "a", "D:\\x", "", 9012},                   // a sibling, not below
      {"C:\\src\\deep", "C:\\src\\", "a", "D:\\x", "", 9012},
  };
  for (const Row& r : rows) {
    char buf[64] = "";
    EXPECT_EQ(ft_rel_dest(r.base, r.dir, r.name, r.to, buf, sizeof buf), r.rc) << r.dir;
    if (!r.rc) {
      EXPECT_STREQ(buf, r.want);
    }
  }
  // a destination that does not fit fails with the system's code for a name too long
  char small[12];
  EXPECT_EQ(ft_rel_dest("C:\\s", "C:\\s\\", "name.txt", "D:\\dest", small, sizeof small), 206);
  EXPECT_EQ(ft_rel_dest(nullptr, "C:\\", "a", "D:\\", small, sizeof small), 9003);
}

TEST(FtDecide, MemoryGivesTheFlagsOfTheNextStart) {
  ftdec d{};
  EXPECT_EQ(ftdec_copy_flags(&d, 1), 0u);
  d.ow = 1;
  EXPECT_EQ(ftdec_copy_flags(&d, 1), (unsigned)FT_OVERWRITE);  // read-only still asks
  EXPECT_EQ(ftdec_copy_flags(&d, 0), (unsigned)(FT_OVERWRITE | FT_OVERWRITE_RO));
  ftdec s{};
  s.skip = 1;
  EXPECT_EQ(ftdec_copy_flags(&s, 1), 0x60000u);
  ftdec sr{};
  sr.skip_ro = 1;
  EXPECT_EQ(ftdec_copy_flags(&sr, 1), 0x40000u);
  ftdec o{};
  o.ow_ro = 1;
  EXPECT_EQ(ftdec_copy_flags(&o, 1), 0x18u);
  ftdec x{};
  x.del = x.del_ro = x.skip_del_ro = 1;
  EXPECT_EQ(ftdec_del_flags(&x), 0x10003u);
}

TEST(FtDecide, AnswersToOverwriteQuestions) {
  struct Row {
    ft_need need;
    int answer;
    ftdec_next next;
    unsigned flags;
  } rows[] = {
      {FT_NEED_OVERWRITE, FT_ANS_YES, FTDEC_RESTART, FT_CONFIRMED},
      {FT_NEED_OVERWRITE, FT_ANS_NO, FTDEC_SKIP, 0},
      {FT_NEED_OVERWRITE, FT_ANS_NOALL, FTDEC_SKIP, FT_SKIP | FT_SKIP_RO},
      {FT_NEED_OVERWRITE_RO, FT_ANS_NOALL, FTDEC_SKIP, FT_SKIP_RO},
      {FT_NEED_OVERWRITE, FT_ANS_YESALL, FTDEC_RESTART, FT_OVERWRITE | FT_CONFIRMED},
      {FT_NEED_OVERWRITE_RO, FT_ANS_YESALL, FTDEC_RESTART, FT_OVERWRITE | FT_OVERWRITE_RO | FT_CONFIRMED},
      {FT_NEED_OVERWRITE, FT_ANS_CANCEL, FTDEC_STOP, 0},
      {FT_NEED_DEL, FT_ANS_YES, FTDEC_RESTART, FT_CONFIRMED},
      {FT_NEED_DEL, FT_ANS_YESALL, FTDEC_RESTART, FT_DEL | FT_CONFIRMED},
      {FT_NEED_DEL_RO, FT_ANS_YESALL, FTDEC_RESTART, FT_DEL | FT_DEL_RO | FT_CONFIRMED},
      {FT_NEED_DEL_RO, FT_ANS_NOALL, FTDEC_SKIP, FT_SKIP_DEL_RO},
      {FT_NEED_DEL, FT_ANS_NOALL, FTDEC_STOP, 0},  // nothing more may be deleted
      {FT_NEED_NONE, FT_ANS_YES, FTDEC_STOP, 0},
  };
  for (const Row& r : rows) {
    ftdec d{};
    unsigned flags = 0xdead;
    EXPECT_EQ(ftdec_answer(&d, r.need, r.answer, 1, &flags), r.next) << r.need << " " << r.answer;
    EXPECT_EQ(flags, r.flags) << r.need << " " << r.answer;
  }
}

// A run of answers: the memory carries over, a plain Yes does not.
TEST(FtDecide, AnswersAccumulateOverARun) {
  ftdec d{};
  unsigned flags = 0;
  EXPECT_EQ(ftdec_answer(&d, FT_NEED_OVERWRITE, FT_ANS_YES, 1, &flags), FTDEC_RESTART);
  EXPECT_EQ(ftdec_answer(&d, FT_NEED_OVERWRITE, FT_ANS_NO, 1, &flags), FTDEC_SKIP);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(ftdec_answer(&d, FT_NEED_OVERWRITE, FT_ANS_YESALL, 1, &flags), FTDEC_RESTART);
  // the next file that exists is covered; a read-only one is still asked
  EXPECT_EQ(ft_copy_act(flags & ~FT_CONFIRMED, 0, 1, 0), FT_ACT_DO);
  EXPECT_EQ(ft_copy_act(flags & ~FT_CONFIRMED, 0, 1, 1), FT_ACT_ASK);
  EXPECT_EQ(ftdec_answer(&d, FT_NEED_OVERWRITE_RO, FT_ANS_NOALL, 1, &flags), FTDEC_SKIP);
  EXPECT_EQ(ft_copy_act(flags, 0, 1, 1), FT_ACT_SKIP);
  EXPECT_EQ(ft_copy_act(flags, 0, 1, 0), FT_ACT_DO);
}

}  // namespace
