#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "c/timecvt.h"
#include "fio/dgrp.h"
#include "fio/timef.h"
#include "fm/flist.h"
#include "quarnw/finftext.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"

namespace {

constexpr time_t kT = 1700000000;

std::string local(time_t t) {
  char b[64];
  strftime(b, sizeof b, "%Y-%m-%d %H:%M:%S", localtime(&t));
  return b;
}

struct Rec : frec {
  Rec(const char* d, const char* n, unsigned a, unsigned long long sz) {
    std::memset(static_cast<frec*>(this), 0, sizeof(frec));
    dir = d, rdir = d, name = n, attr = a, size = sz, ext = -1;
    tt_to_ft(kT, &mtime);
    tt_to_ft(kT - 86400, &atime);
    tt_to_ft(kT - 2 * 86400, &ctime);
  }
};

struct Info : testing::Test {
  syscfg sc;
  dgrp dg;
  txr tx{};
  flistcell_fmt f{};
  void SetUp() override {
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    txr_init(&tx, "en");
    f = {1, TIMEF_ISO_LONG, "%c", FSZ_B, DGRP_SI_EN, &dg, &sc, "< ", "# "};
  }
  void TearDown() override {
    txr_free(&tx);
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
  std::string text(const frec* r, int* has_err) {
    char buf[FINF_TEXTSIZE];
    EXPECT_EQ(finf_text(r, &f, &tx, buf, sizeof buf, has_err), 0);
    return buf;
  }
};

TEST_F(Info, PlainErrorAndMovedRecords) {
  Rec plain("C:\\t\\", "a.txt", 0x21, 12345), dir("C:\\t\\", "sub", 0x10, 0), bad("C:\\t\\", "gone", 0, 0),
      moved("C:\\t\\", "m.txt", 0x20, 7);
  bad.errcode = 3;
  bad.errtext = const_cast<char*>("Path not found.");
  moved.flags = FREC_MOVED;
  moved.foerrcode = 5;
  moved.foerrtext = const_cast<char*>("Access denied.");
  const std::string times = "Modif.: " + local(kT) + "; Creat.: " + local(kT - 2 * 86400);
  int e = -1;
  EXPECT_EQ(text(&plain, &e), "C:\\t\\a.txt\r\n" + times + "; Size: 12 345; Attr.: RA");
  EXPECT_EQ(e, 0);
  EXPECT_EQ(text(&dir, &e), "C:\\t\\sub\\\r\n" + times + "; Attr.: D");  // no size for a directory
  EXPECT_EQ(text(&bad, &e), "C:\\t\\gone\r\nErr.: [3] Path not found.");  // no facts beside an error
  EXPECT_EQ(e, 1);
  bad.errtext = nullptr;
  EXPECT_EQ(text(&bad, &e), "C:\\t\\gone\r\nErr.: [3]");
  EXPECT_EQ(text(&moved, &e),
            "< C:\\t\\m.txt\r\n" + times + "; Size: 7; Attr.: A\r\nErr.(FO): [5] Access denied.");
  EXPECT_EQ(e, 1);
  moved.flags = FREC_DELETED;
  moved.foerrcode = 0;
  EXPECT_EQ(text(&moved, &e).substr(0, 15), "# C:\\t\\m.txt\r\nM");
  EXPECT_EQ(text(&moved, &e).substr(text(&moved, &e).rfind("\r\n")), "\r\nErr.(FO): Access denied.");

  // the dialog's own styles
  f.sizefmt = FSZ_K;
  f.timefmt = TIMEF_USR;
  f.timefmt_usr = "%Y";
  EXPECT_EQ(text(&plain, &e), "C:\\t\\a.txt\r\nModif.: 2023; Creat.: 2023; Size: 13 KB; Attr.: RA");
  EXPECT_EQ(text(nullptr, &e), "");
  EXPECT_EQ(e, 0);
  char small[8];
  EXPECT_EQ(finf_text(&plain, &f, &tx, small, sizeof small, nullptr), 9005);
}

}  // namespace
