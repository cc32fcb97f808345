// The change an attribute text or the three boxes ask for, and the delete dialog's flag words.
#include <gtest/gtest.h>

#include <string>

#include "fm/fattrcmd.h"
#include "fm/fdeldlgcfg.h"

namespace {

TEST(FattrCmd, WordsGiveTheAttributesToSetAndTheMask) {
  struct Case {
    const char* cmd;
    int rc;
    unsigned set, mask;
    const char* bad;
  } cases[] = {
      {"", 0, 0, 0, nullptr},
      {"   ", 0, 0, 0, nullptr},
      {"+r", 0, FATTR_RO, FATTR_RO, nullptr},
      {"-R", 0, 0, FATTR_RO, nullptr},
      {"+rh -a", 0, FATTR_RO | FATTR_HIDDEN, FATTR_RO | FATTR_HIDDEN | FATTR_ARCHIVE, nullptr},
      {"+h,-r", 0, FATTR_HIDDEN, FATTR_RO | FATTR_HIDDEN, nullptr},
      {"+r -r", 0, 0, FATTR_RO, nullptr},  // the last word about an attribute wins
      {"+a +A", 0, FATTR_ARCHIVE, FATTR_ARCHIVE, nullptr},
      {"r", 9012, 0, 0, "r"},
      {"+r +x", 9012, 0, 0, "+x"},
      {"+", 9012, 0, 0, "+"},
      {"+r - h", 9012, 0, 0, "- h"},
      {"+s", 9012, 0, 0, "+s"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cmd);
    unsigned set = 77, mask = 77;
    const char* bad = nullptr;
    EXPECT_EQ(fattr_parse(c.cmd, &set, &mask, &bad), c.rc);
    if (c.rc) {
      ASSERT_TRUE(bad);
      EXPECT_EQ(std::string(bad), c.bad);
      EXPECT_EQ(set, 77u);  // nothing half-set on a bad text
    } else {
      EXPECT_EQ(set, c.set);
      EXPECT_EQ(mask, c.mask);
    }
  }
  unsigned s = 0;
  EXPECT_EQ(fattr_parse("+r", &s, nullptr, nullptr), 9003);
}

TEST(FattrCmd, BoxesAndTheStateTheyOpenWith) {
  unsigned set = 0, mask = 0;
  fattr_of_boxes(FATTR_BOX_ON, FATTR_BOX_KEEP, FATTR_BOX_OFF, &set, &mask);
  EXPECT_EQ(set, FATTR_RO);
  EXPECT_EQ(mask, FATTR_RO | FATTR_ARCHIVE);
  fattr_of_boxes(FATTR_BOX_KEEP, FATTR_BOX_KEEP, FATTR_BOX_KEEP, &set, &mask);
  EXPECT_EQ(mask, 0u);

  const unsigned all_ro[] = {FATTR_RO | FATTR_ARCHIVE, FATTR_RO};
  EXPECT_EQ(fattr_box_of(all_ro, 2, FATTR_RO), FATTR_BOX_ON);
  EXPECT_EQ(fattr_box_of(all_ro, 2, FATTR_HIDDEN), FATTR_BOX_OFF);
  EXPECT_EQ(fattr_box_of(all_ro, 2, FATTR_ARCHIVE), FATTR_BOX_KEEP);
  EXPECT_EQ(fattr_box_of(all_ro, 0, FATTR_RO), FATTR_BOX_KEEP);
  // boxes as opened change nothing
  for (unsigned cur : all_ro) {
    fattr_of_boxes(fattr_box_of(all_ro, 2, FATTR_RO), fattr_box_of(all_ro, 2, FATTR_HIDDEN),
                   fattr_box_of(all_ro, 2, FATTR_ARCHIVE), &set, &mask);
    EXPECT_EQ(fattr_apply(cur, set, mask), cur);
  }
}

TEST(FdelDlgCfg, DefaultsAreTheSafeOnesAndFlagWordsRoundTrip) {
  fdeldlgcfg c{};
  ASSERT_EQ(fdeldlgcfg_init(&c), 0);
  ASSERT_EQ(fdeldlgcfg_set_dflts(&c), 0);
  EXPECT_EQ(c.undo, 1);  // the recycle bin unless asked otherwise
  EXPECT_EQ(c.yesAll, 0);
  EXPECT_EQ(c.permYesAll, 0);
  EXPECT_EQ(c.base.askRO, 1);
  EXPECT_EQ(c.base.stopOnErr, 0);
  EXPECT_EQ(c.base.cfm_yn, FOPDLG_CFM_YN);
  EXPECT_EQ(fdeldlgcfg_flags(c.flags), (unsigned)FDELDLG_DIR);
  fdeldlgcfg_free(&c);

  EXPECT_EQ(fdeldlgcfg_flags("Dir Recursive"), (unsigned)(FDELDLG_DIR | FDELDLG_RECURSIVE));
  EXPECT_EQ(fdeldlgcfg_flags("Recursive, Bogus"), (unsigned)FDELDLG_RECURSIVE);
  char w[64];
  for (unsigned bits = 0; bits < 4; ++bits) {
    ASSERT_EQ(fdeldlgcfg_flags_text(bits, w, sizeof w), 0);
    EXPECT_EQ(fdeldlgcfg_flags(w), bits) << w;
  }
  EXPECT_EQ(fdeldlgcfg_flags_text(3, w, 5), 206);

  fattribdlgcfg a{};
  ASSERT_EQ(fattribdlgcfg_init(&a), 0);
  ASSERT_EQ(fattribdlgcfg_set_dflts(&a), 0);
  EXPECT_EQ(a.iniFocus, FATTRIBDLG_FOCUS_DFLT);
  fattribdlgcfg_free(&a);
}

}  // namespace
