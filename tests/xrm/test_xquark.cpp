#include "xrm/xquark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "c/log_capture.h"

namespace {

// A parse with its own component array.
struct Q {
  xquark arr[256];
  quarks ql;
  int rc;
  explicit Q(const char* s, unsigned max = 256) {
    xq_init(&ql, arr);
    rc = xq_parse(s, &ql, max);
  }
  // "." or "*" before each component.
  std::string show() const {
    std::string out;
    for (unsigned i = 0; i < ql.nquarks; ++i)
      out += (ql.q[i].binding == XQ_LOOSE ? "*" : ".") + std::string(xq_str(&ql, i), ql.q[i].len);
    return out;
  }
};

unsigned score(const char* name, const char* cls, const char* spec) {
  Q n(name), c(cls ? cls : ""), s(spec);
  return xq_match(&n.ql, cls ? &c.ql : nullptr, &s.ql);
}

TEST(Xquark, ParseBindingsAndSeparatorRuns) {
  const char* cases[][2] = {
      {"a.b*c", ".a.b*c"}, {"*a", "*a"},       {".a", ".a"},   {"a..b", ".a.b"}, {"a.*.b", ".a*b"},
      {"a*.b", ".a*b"},    {"**x.", "*x"},     {"", ""},       {"...", ""},      {"quarnw.flist-1.col_2", ".quarnw.flist-1.col_2"},
  };
  for (const auto& c : cases) {
    Q q(c[0]);
    EXPECT_EQ(q.rc, 0) << c[0];
    EXPECT_EQ(q.show(), c[1]) << c[0];
    EXPECT_EQ(q.ql.text, c[0]);  // points into the caller's text
  }
  Q off("ab*cd");
  EXPECT_EQ(off.ql.q[1].off, 3u);
  EXPECT_EQ(off.ql.q[1].len, 2u);
}

TEST(Xquark, ParseLimits) {
  EXPECT_EQ(Q("a.b.c", 4).rc, 0);
  {
    LogCapture log;
    EXPECT_EQ(Q("a.b.c.d", 4).rc, 9009);
    EXPECT_TRUE(log.has("Max quarks exceeded - name: `a.b.c.d', maxquarks: 4."));
  }
  std::string many = "x";
  for (int i = 1; i < 300; ++i) many += ".x";
  EXPECT_EQ(Q(many.c_str()).rc, 9009);
  many.resize(255 * 2 - 1);  // 255 components fit
  EXPECT_EQ(Q(many.c_str()).rc, 0);
}

TEST(Xquark, MatchScores) {
  const char* name = "quarnw.flist.col.size.align";
  const char* cls = "Quarnw.Flist.Col.Size.Align";
  struct {
    const char* spec;
    unsigned score;
  } cases[] = {
      {"*col.size.align", 20},
      {"*flist.col.size.align", 31},
      {"*Col.size.align", 18},           // class name at a position weighs 2 less
      {"*col*align", 12},                // loose inside: no tight bonus, position skipped
      {"*align", 4},
      {"*Align", 2},                     // last component by class only
      {"align", 0},                      // tight start anchors at the query's start
      {"quarnw*align", 16},
      {"quarnw.flist.col.size.align", 4 + 7 + 9 + 11 + 13},
      {"Quarnw.Flist.Col.Size.Align", 2 + 5 + 7 + 9 + 11},
      {"quarnw.col.size.align", 0},      // tight binding over a missing component
      {"*size.col.align", 0},
      {"*a.quarnw.flist.col.size.align", 0},  // more components than the query
  };
  for (const auto& c : cases) EXPECT_EQ(score(name, cls, c.spec), c.score) << c.spec;
  EXPECT_EQ(score(name, nullptr, "*Col.size.align"), 0u);  // without a class
  EXPECT_EQ(score("geometry", nullptr, "geometry"), 4u);
  EXPECT_EQ(score("geometry", nullptr, "*geometry"), 4u);
  EXPECT_EQ(score("a.geometry", nullptr, "geometry"), 0u);
  EXPECT_EQ(score("a.geometry", nullptr, "*geometry"), 4u);
  LogCapture log;
  EXPECT_EQ(score("a.b.c", "A.B", "*c"), 0u);
  EXPECT_TRUE(log.has("Num quarks mismatch - name.nquarks: 3, cls.nquarks: 2."));
}

TEST(Xquark, OrderFromTheLastComponentBackwards) {
  std::vector<std::string> specs = {"x", ".b", "a.b", "*a.b", "c.a", "*b", "B", "b.bb", "ab"};
  std::vector<Q*> qs;
  for (auto& s : specs) qs.push_back(new Q(s.c_str()));
  std::sort(qs.begin(), qs.end(), [](const Q* a, const Q* b) { return xq_cmp(&a->ql, &b->ql) < 0; });
  std::string order;
  for (Q* q : qs) {
    order += std::string(q->ql.text) + " ";
    delete q;
  }
  // bytes, then shorter first, loose before tight, more components first
  EXPECT_EQ(order, "B c.a ab *b *a.b a.b .b b.bb x ");
  Q b1("b"), b2(".b"), b3("*b");
  EXPECT_EQ(xq_cmp(&b1.ql, &b2.ql), 0);
  EXPECT_EQ(xq_cmp(&b3.ql, &b1.ql), -1);
  EXPECT_EQ(xq_cmp(&b1.ql, &b3.ql), 1);
  Q l1("x.bc"), l2("y*bd"), l3("*bc");
  EXPECT_EQ(xq_cmp_last(&l1.ql, &l2.ql), -1);
  EXPECT_EQ(xq_cmp_last(&l1.ql, &l3.ql), 0);
  EXPECT_EQ(xq_cmp_last(&b1.ql, &l1.ql), -1);  // shorter first
}

}  // namespace
