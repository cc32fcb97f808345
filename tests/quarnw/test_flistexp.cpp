#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "c/strbuf.h"
#include "c/timecvt.h"
#include "fio/dgrp.h"
#include "fio/timef.h"
#include "fm/flist.h"
#include "quarnw/flistcell.h"
#include "quarnw/flistexp.h"
#include "syscfg/syscfg.h"
#include "xrm/xrm_listcol.h"

namespace {

using V = std::vector<std::string>;

struct Rec : frec {
  Rec(const char* d, const char* n, unsigned a = 0x20, unsigned long long sz = 0) {
    std::memset(static_cast<frec*>(this), 0, sizeof(frec));
    dir = d, rdir = d, name = n, attr = a, size = sz;
    const char* dot = std::strrchr(n, '.');
    ext = dot && dot != n ? (short)(dot - n) : -1;
    tt_to_ft(1700000000, &mtime);
    atime = ctime = mtime;
  }
};

struct Buf {
  strbuf sb;
  Buf() { strbuf_init(&sb, 0); }
  ~Buf() { strbuf_free(&sb); }
  std::string text() const { return sb.str ? sb.str : ""; }
};

// Reads comma-separated values back as RFC 4180 says: quoted fields may hold commas,
// doubled quotes and line breaks; records end with CRLF.
std::vector<V> read_csv(const std::string& s) {
  std::vector<V> rows;
  V row;
  std::string f;
  bool quoted = false, any = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quoted) {
      if (c == '"' && i + 1 < s.size() && s[i + 1] == '"') f += '"', ++i;
      else if (c == '"') quoted = false;
      else f += c;
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(f), f.clear();
    } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      row.push_back(f), f.clear(), ++i;
      rows.push_back(row), row.clear();
    } else {
      f += c;
    }
  }
  EXPECT_TRUE(f.empty() && row.empty()) << "the last record is not ended";
  EXPECT_FALSE(quoted);
  (void)any;
  return rows;
}

TEST(FlistExp, CsvFieldQuoting) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {
      {"plain.txt", "plain.txt"},
      {"", ""},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"blank and ;", "blank and ;"},  // only comma, quote and line breaks call for quotes
  };
  for (const auto& r : rows) {
    Buf b;
    EXPECT_EQ(flistexp_csv_field(&b.sb, r.in), 0);
    EXPECT_EQ(b.text(), r.out) << r.in;
  }
  // a field longer than any internal chunk, with quotes all along
  std::string longq;
  for (int i = 0; i < 700; ++i) longq += "x\"";
  Buf b;
  EXPECT_EQ(flistexp_csv_field(&b.sb, longq.c_str()), 0);
  EXPECT_EQ(read_csv(b.text() + "\r\n"), (std::vector<V>{{longq}}));
}

listcol make_set(const std::vector<std::pair<const char*, int>>& cols, const std::vector<unsigned>& order) {
  listcol lc;
  listcol_init(&lc);
  for (const auto& c : cols) {
    listcol_col& k = lc.cols[lc.ncols++];
    std::strcpy(k.id, c.first);
    std::strcpy(k.name, c.first);
    k.visible = c.second & 1;
    k.excl = (c.second & 2) != 0;
  }
  for (unsigned i = 0; i < order.size(); ++i) lc.order[i] = order[i];
  return lc;
}

TEST(FlistExp, ShownColumnsInDisplayOrder) {
  // 1 visible, 0 hidden, 3 excluded; "bogus" is no column of the list
  listcol lc = make_set({{"name", 1}, {"size", 1}, {"dir", 0}, {"md", 3}, {"bogus", 1}, {"ext", 1}}, {5, 1, 2, 3, 4, 0});
  int cols[LISTCOL_MAX], idx[LISTCOL_MAX];
  const unsigned n = flistexp_cols(&lc, cols, idx, LISTCOL_MAX);
  ASSERT_EQ(n, 3u);
  EXPECT_EQ(std::vector<int>(cols, cols + n), (std::vector<int>{FLCOL_EXT, FLCOL_SIZE, FLCOL_NAME}));
  EXPECT_EQ(std::vector<int>(idx, idx + n), (std::vector<int>{5, 1, 0}));
  EXPECT_EQ(flistexp_cols(&lc, cols, nullptr, 2), 2u);  // stops at max
  listcol_free(&lc);
}

struct Export : testing::Test {
  syscfg sc;
  dgrp dg;
  flistcell_fmt f{};
  void SetUp() override {
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    f = {1, TIMEF_ISO_LONG, "%c", FSZ_K, DGRP_SI_EN, &dg, &sc, "< ", "# "};
  }
  void TearDown() override {
    dgrp_free(&dg);
    syscfg_free(&sc);
  }
  std::string cell(const frec* r, int col) {
    char buf[1024];
    flistcell_text(r, col, &f, buf, sizeof buf);
    return buf;
  }
};

TEST_F(Export, PathsOneALine) {
  Rec a("C:\\w\\", "a.txt"), d("C:\\w\\", "sub", 0x10), c("D:\\x, y\\", "q\"uote.c");
  const frec* recs[] = {&a, &d, &c};
  Buf b;
  ASSERT_EQ(flistexp_paths(recs, 3, &b.sb), 0);
  EXPECT_EQ(b.text(), "C:\\w\\a.txt\r\nC:\\w\\sub\r\nD:\\x, y\\q\"uote.c\r\n");
  Buf none;
  EXPECT_EQ(flistexp_paths(nullptr, 0, &none.sb), 0);
  EXPECT_EQ(none.text(), "");
}

TEST_F(Export, CsvReadBackGivesTheCells) {
  Rec a("C:\\w\\", "a, b.txt", 0x20, 123456), d("C:\\w\\", "sub", 0x10), q("C:\\w\\", "say \"hi\".c", 0x21, 5);
  const frec* recs[] = {&a, &d, &q};
  const int cols[] = {FLCOL_NAME, FLCOL_SIZE, FLCOL_MD, FLCOL_ATTR, FLCOL_PATH};
  const char* titles[] = {"Name", "Size, bytes", "Modified", nullptr, "Path"};
  Buf b;
  ASSERT_EQ(flistexp_csv(recs, 3, cols, titles, 5, &f, &b.sb), 0);
  std::vector<V> rows = read_csv(b.text());
  ASSERT_EQ(rows.size(), 4u) << b.text();
  EXPECT_EQ(rows[0], (V{"Name", "Size, bytes", "Modified", "attr", "Path"}));  // no title: the id
  for (unsigned i = 0; i < 3; ++i) {
    V want;
    for (int c : cols) want.push_back(cell(recs[i], c));
    EXPECT_EQ(rows[i + 1], want) << i;
  }
  EXPECT_NE(b.text().find("\"say \"\"hi\"\".c\""), std::string::npos);

  Buf empty;
  ASSERT_EQ(flistexp_csv(recs, 0, cols, titles, 1, &f, &empty.sb), 0);
  EXPECT_EQ(empty.text(), "Name\r\n");
  EXPECT_EQ(flistexp_csv(recs, 1, cols, titles, 1, nullptr, &empty.sb), 9003);
}

}  // namespace
