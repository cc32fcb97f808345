#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "c/log_capture.h"
#include "c/timecvt.h"
#include "fio/dgrp.h"
#include "fio/timef.h"
#include "fm/flist.h"
#include "quarnw/flistcell.h"
#include "syscfg/syscfg.h"

namespace {

constexpr time_t kT = 1700000000;  // 2023-11-14 22:13:20 UTC

struct Rec : frec {
  Rec(const char* d, const char* n, unsigned a = 0x20, unsigned long long sz = 0) {
    std::memset(static_cast<frec*>(this), 0, sizeof(frec));
    dir = d, rdir = d, name = n, attr = a, size = sz;
    const char* dot = std::strrchr(n, '.');
    ext = dot && dot != n ? (short)(dot - n) : -1;
    tt_to_ft(kT, &mtime);
    tt_to_ft(kT - 86400, &atime);
    tt_to_ft(kT - 2 * 86400, &ctime);
  }
};

struct Cells : testing::Test {
  syscfg sc;
  dgrp dg;
  flistcell_fmt f{};
  void SetUp() override {
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    f = {0, TIMEF_ISO_LONG, "%c", FSZ_K, DGRP_SI_EN, &dg, &sc, "< ", "# "};
  }
  void TearDown() override {
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
  std::string cell(const frec& r, const char* col, unsigned size = 512, int* rc = nullptr) {
    char buf[512];
    int c = flistcell_text(&r, flcol_find(col), &f, buf, size);
    if (rc) *rc = c;
    return buf;
  }
};

// The runtime's own local time of t, for the time columns.
std::string local(time_t t) {
  char b[64];
  strftime(b, sizeof b, "%Y-%m-%d %H:%M:%S", localtime(&t));
  return b;
}

// The result list's own test reads the common cells through the list view; here the rules.
TEST_F(Cells, ColumnRules) {
  Rec file("C:\\t\\", "a.txt", 0x21, 1025), dir("C:\\t\\", "sub", 0x10), top("C:\\", "x"), root("", "C:\\", 0x10),
      bad("C:\\t\\", "x.log");
  file.rdir = "C:\\real\\t\\";
  bad.errcode = 3;
  bad.errtext = const_cast<char*>("Path not found.");
  const struct {
    const frec* r;
    const char* col;
    int file_type;
    std::string want;
  } rows[] = {
      {&file, "rpath", 0, "C:\\real\\t\\a.txt"}, {&file, "md", 0, local(kT)},  {&file, "ad", 0, local(kT - 86400)},
      {&file, "Bd", 0, local(kT - 2 * 86400)},   {&file, "attr", 0, "RA"},      {&dir, "rpath", 1, "C:\\t\\sub\\"},
      {&dir, "ext", 0, ""},                      {&top, "dir", 0, "C:\\"},       {&root, "path", 1, "C:\\"},
      {&bad, "err", 0, "[3] Path not found."},   {&bad, "size", 0, ""},          {&bad, "ad", 0, ""},
  };
  for (const auto& t : rows) {
    f.file_type = t.file_type;
    EXPECT_EQ(cell(*t.r, t.col), t.want) << t.r->name << " " << t.col << " file.type " << t.file_type;
  }
}

TEST_F(Cells, MarksComeFirstAndDeletedWins) {
  Rec r("C:\\t\\", "a.txt");
  r.flags = FREC_MOVED;
  EXPECT_EQ(cell(r, "name"), "< a.txt");
  EXPECT_EQ(cell(r, "path"), "< C:\\t\\a.txt");
  EXPECT_EQ(cell(r, "err"), "< ");
  r.flags = FREC_MOVED | FREC_DELETED;
  EXPECT_EQ(cell(r, "name"), "# a.txt");
  f.mark_deleted = "";
  EXPECT_EQ(cell(r, "name"), "a.txt");
}

TEST_F(Cells, SizeStylesAndGrouping) {
  Rec r("C:\\", "big", 0x20, 1234567890ULL);
  const struct {
    unsigned sizefmt, grp;
    const char* want;
  } rows[] = {
      {FSZ_B, DGRP_SI_EN, "1 234 567 890"}, {FSZ_K, DGRP_SI_EN, "1 205 633 KB"},
      {FSZ_H, DGRP_SI_FR, "1,1G"},          {FSZ_H, DGRP_SI_EN, "1.1G"},
  };
  for (const auto& t : rows) {
    f.sizefmt = t.sizefmt, f.grpstyle = t.grp;
    EXPECT_EQ(cell(r, "size"), t.want) << t.sizefmt << "/" << t.grp;
  }
}

TEST_F(Cells, ShortBufferCutsAndSaysSo) {
  Rec r("C:\\a\\long\\directory\\", "name.txt");
  int rc = 0;
  EXPECT_EQ(cell(r, "path", 8, &rc), "C:\\a\\lo");
  EXPECT_EQ(rc, 9005);
  EXPECT_EQ(cell(r, "name", 64, &rc), "name.txt");
  EXPECT_EQ(rc, 0);
}

TEST(FlistCell, ColumnsAndTheirSortCommands) {
  const struct {
    const char* id;
    int cmd;
  } rows[] = {{"ad", 40012}, {"attr", 40016}, {"Bd", 40013}, {"dir", 40009}, {"err", 40026}, {"ext", 40011},
              {"md", 40014}, {"name", 40010}, {"path", 40023}, {"rpath", 40024}, {"size", 40015}};
  for (const auto& t : rows) EXPECT_EQ(flcol_sortcmd(flcol_find(t.id)), t.cmd) << t.id;
  EXPECT_EQ(flcol_find("bd"), -1);
  EXPECT_EQ(flcol_sortcmd(-1), 0);
}

TEST(FlistCell, RowColoursFirstMatchWins) {
  const flistcell_clrs on{1, 0x10, 0x11, 0x20, 0x21, 0x30, 0x31, 0x40, 0x41, 0x50, 0x51};
  flistcell_clrs off = on;
  off.color = 0;
  Rec file("C:\\", "f"), dir("C:\\", "d", 0x10), moved("C:\\", "m"), deleted("C:\\", "x"), both("C:\\", "b"),
      err("C:\\", "e"), errmoved("C:\\", "em", 0x10);
  moved.flags = FREC_MOVED;
  deleted.flags = FREC_DELETED;
  both.flags = FREC_MOVED | FREC_DELETED;
  err.errcode = 5;
  errmoved.errcode = 2, errmoved.flags = FREC_MOVED;
  const struct {
    const frec* r;
    const flistcell_clrs* c;
    int set;
    unsigned fg, bg;
  } rows[] = {
      {&file, &on, 1, 0x10, 0x11},    {&dir, &on, 1, 0x20, 0x21},     {&moved, &on, 1, 0x30, 0x31},
      {&deleted, &on, 1, 0x40, 0x41}, {&both, &on, 1, 0x30, 0x31},    {&err, &on, 1, 0x50, 0x51},
      {&errmoved, &on, 1, 0x50, 0x51}, {&err, &off, 1, 0x50, 0x51},   {&file, &off, 0, 0, 0},
      {&moved, &off, 0, 0, 0},
  };
  for (const auto& t : rows) {
    unsigned fg = 0, bg = 0;
    EXPECT_EQ(flistcell_colors(t.r, t.c, &fg, &bg), t.set) << t.r->name << " color " << t.c->color;
    EXPECT_EQ(fg, t.fg) << t.r->name;
    EXPECT_EQ(bg, t.bg) << t.r->name;
  }
}

TEST(FlistCell, TranslatedReportsMustAskForTheSameValues) {
  const char* ref = "Maximum selected items [%d] exceeded (%s).";
  const struct {
    const char* fmt;
    int ok;
  } rows[] = {
      {"Höchstens [%d] Einträge (%s).", 1}, {"100%% voll: [%d] (%s)", 1}, {"(%s) [%d]", 0},
      {"[%d] %s %s", 0},                    {"[%ld] (%s)", 0},             {"nur Text", 0},
      {"[%d] (%s) %n", 0},                  {"[%d] (%s", 1},
  };
  for (const auto& t : rows) EXPECT_EQ(flistcell_same_convs(t.fmt, ref), t.ok) << t.fmt;
  EXPECT_EQ(flistcell_same_convs(ref, ref), 1);
  EXPECT_EQ(flistcell_same_convs("plain", "also plain"), 1);
}

TEST(FlistCell, SplitDirectoryIntoParentAndLast) {
  const struct {
    const char *dir, *parent, *last;
  } rows[] = {
      {"C:\\real\\t\\", "C:\\real\\", "t"},
      {"C:\\t\\", "C:\\", "t"},
      {"C:\\", "C:\\", ""},
      {"\\\\srv\\share\\", "\\\\srv\\share\\", ""},
      {"\\\\srv\\share\\d\\", "\\\\srv\\share\\", "d"},
      {"rel/dir/", "rel/", "dir"},
  };
  for (const auto& t : rows) {
    char p[64], l[64];
    EXPECT_EQ(flistcell_split_dir(t.dir, p, sizeof p, l, sizeof l), 0) << t.dir;
    EXPECT_STREQ(p, t.parent) << t.dir;
    EXPECT_STREQ(l, t.last) << t.dir;
  }
}

}  // namespace
