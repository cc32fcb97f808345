// The fields of the find dialog as expression text, and that text parsed in the
// relational form and evaluated on entries.
#include "quarnw/qnexfld.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ex/ex.h"
#include "quarn/qnex.h"
#include "quarn/qnex_logcap.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"

namespace {

const long kNow = 1721053230;  // 2024-07-15 14:20:30 UTC

std::string part(const char* prim, const char* text) {
  char buf[QNEXFLD_EXPR_SIZE] = "";
  int rc = qnexfld_part(prim, text, buf, sizeof buf);
  return rc ? "rc " + std::to_string(rc) : std::string(buf);
}

TEST(QnexFld, OneField) {
  const struct {
    const char* prim;
    const char* text;
    const char* want;
  } cases[] = {
      {"name", "*.c | *.h", " ( -name:*.c -o -name:*.h )"},
      {"name", "! *.obj", " ( ! -name:*.obj )"},
      {"name", "&", " ( -a )"},
      {"name", "", ""},
      {"name", " \t ", ""},
      {"size", ">10k & <=2M", " ( -size:>10k -a -size:<=2M )"},
      {"name", "( a* | b* ) & !", " ( ( -name:a* -o -name:b* ) -a ! )"},
      // quoted words: operators lose their meaning, blanks are escaped
      {"name", "\"|\" '&'", " ( -o -a )"},
      {"name", "\"my file.txt\"", " ( -name:my\\ file.txt )"},
      {"name", "'a  b\tc' x", " ( -name:a\\ \\ b\\\tc -name:x )"},
      // backslashes of paths stay as typed
      {"path", "C:\\src\\*", " ( -path:C:\\src\\* )"},
  };
  for (const auto& c : cases) EXPECT_EQ(part(c.prim, c.text), c.want) << c.text;
}

TEST(QnexFld, WholeExpressionAndLimits) {
  char buf[QNEXFLD_EXPR_SIZE];
  ASSERT_EQ(qnexfld_expr("<2d", ">1k", "*.c", buf, sizeof buf), 0);
  EXPECT_STREQ(buf, " ( -md:<2d ) ( -size:>1k ) ( -name:*.c )");
  ASSERT_EQ(qnexfld_expr("", "", "", buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "");
  ASSERT_EQ(qnexfld_expr(nullptr, "5", nullptr, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, " ( -size:5 )");

  // a part that does not fit is left out whole, with the code
  char small[24];
  EXPECT_EQ(qnexfld_expr("", "1", "abcdefghijkl", small, sizeof small), 9005);
  EXPECT_STREQ(small, " ( -size:1 )");
  EXPECT_EQ(qnexfld_part(nullptr, "x", buf, sizeof buf), 9003);
}

struct Parse : testing::Test {
  qnexp q{};
  ex e{};
  int parsed = -1;
  void TearDown() override {
    ex_free(&e);
    qnexparser_free(&q);
  }
  int parse_fields(const char* md, const char* size, const char* name) {
    char buf[QNEXFLD_EXPR_SIZE];
    int rc = qnexfld_expr(md, size, name, buf, sizeof buf);
    return rc ? rc : qnexfld_parse(&q, &e, buf, 1, nullptr, kNow, &parsed);
  }
  bool match(const char* name) {
    qnd d;
    qnd_clear(&d);
    d.dir = d.rdir = "C:\\t\\";
    d.name = name;
    d.depth = 1;
    std::memset(&d.fd, 0, sizeof d.fd);
    std::strncpy(d.fd.cFileName, name, sizeof d.fd.cFileName - 1);
    int err = 0;
    int r = ex_eval(&e, &d, &err);
    EXPECT_EQ(err, 0);
    return r == 1;
  }
};

// The name typed in quotes reaches the primary whole, blanks and all.
TEST_F(Parse, QuotedNameWithBlanks) {
  ASSERT_EQ(parse_fields("", "", "\"my file.txt\""), 0);
  EXPECT_EQ(parsed, 1);
  for (const char* n : {"my file.txt", "MY FILE.TXT"}) EXPECT_TRUE(match(n)) << n;
  for (const char* n : {"my", "file.txt", "my\\ file.txt"}) EXPECT_FALSE(match(n)) << n;

  ASSERT_EQ(parse_fields("", "", "'a b*' | x"), 0);
  EXPECT_TRUE(match("a b.c"));
  EXPECT_TRUE(match("x"));
  EXPECT_FALSE(match("ab.c"));
  EXPECT_TRUE(qnex_take_reports().empty());

  // a part that does not parse is a user report with the whole text, and leaves no tree
  EXPECT_NE(parse_fields("", "abc", ""), 0);
  EXPECT_EQ(ex_root(&e), nullptr);
  const auto r = qnex_take_reports();
  ASSERT_FALSE(r.empty());
  EXPECT_EQ(r.back(), "4 9003 abc:  ( -size:abc ).");
}

}  // namespace
