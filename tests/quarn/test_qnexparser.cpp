#include "quarn/qnexparser.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ds/list_v.h"
#include "quarn/qnex.h"
#include "quarn/qnex_logcap.h"
#include "quarn/quarnlib.h"

namespace {

const char* const kFmts = "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*";
const long kNow = 1721053230;  // 2024-07-15 14:20:30 UTC
const char* const kOps[] = {"", "<", "<=", ">", ">=", "#5", "#6"};

// The tree as text: operators with their operands, '!' before a negated node, a
// primary by its kind, its comparison and what its payload says.
std::string shape(const tree_node* n) {
  const ex_val* v = ex_node_val(n);
  std::string s = v->negate ? "!" : "";
  if (v->type == EX_OPERATOR) {
    s += v->u.op == EX_AND ? "AND(" : "OR(";
    for (const tree_node* c = n->first; c; c = c->next) s += (c == n->first ? "" : ",") + shape(c);
    return s + ")";
  }
  const qnex_pri* p = reinterpret_cast<const qnex_pri*>(v);
  std::string op = kOps[p->op < 7 ? p->op : 0];
  auto num = [](unsigned long long x) { return std::to_string(x); };
  switch (p->valtype) {
    case QNEX_DEPTH: return s + "d" + op + num(reinterpret_cast<const qnex_num_pri*>(p)->n);
    case QNEX_SIZE: {
      auto* z = reinterpret_cast<const qnex_size_pri*>(p);
      return s + "size" + op + "[" + num(z->low) + "," + num(z->high) + "]";
    }
    case QNEX_NAME: return s + "name" + op + "/" + num(reinterpret_cast<const qnex_name_pri*>(p)->fnm.flags);
    case QNEX_PATH: return s + "path" + op + "/" + num(reinterpret_cast<const qnex_path_pri*>(p)->pnm.flags);
    case QNEX_ATTR: return s + "attr" + op + ":" + num(reinterpret_cast<const qnex_mask_pri*>(p)->mask);
    case QNEX_TYPE: return s + "type" + op + ":" + num(reinterpret_cast<const qnex_type_pri*>(p)->dirmask);
    case QNEX_MMIN: return s + "mmin" + op + num(reinterpret_cast<const qnex_age_pri*>(p)->n);
    case QNEX_MTIME: return s + "mtime" + op + num(reinterpret_cast<const qnex_age_pri*>(p)->n);
    case QNEX_EMPTY: return s + "empty" + op;
    case QNEX_AD: return s + "ad" + op;
    case QNEX_BD: return s + "Bd" + op;
    case QNEX_MD: return s + "md" + op;
    default: return "?";
  }
}

// A, B, C, D stand for -depth:1 .. -depth:4 where they are not part of a word like -NAME or -Bd.
std::string abc(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); i++) {
    char c = text[i];
    bool word = (i && text[i - 1] == '-') || isalpha((unsigned char)text[i + 1]);
    out += c >= 'A' && c <= 'D' && !word ? "-depth:" + std::to_string(c - 'A' + 1) : std::string(1, c);
  }
  return out;
}

class Qnexp : public ::testing::Test {
 protected:
  qnexp q;
  ex e{};
  int rc = -1;

  void SetUp() override { qnexparser_clear(&q); }
  void TearDown() override {
    qnexparser_free(&q);
    ex_free(&e);
    EXPECT_TRUE(qnex_take_reports().empty()) << "unexpected user reports";
  }
  int parse(const std::string& text, int ignorecase = 1, unsigned flags = 1, const char* fmts = kFmts,
            int logflag = 0) {
    ex_free(&e);
    ex_init(&e, qnex_free);
    return rc = mox_qnexparser_parse(&q, &e, text.c_str(), ignorecase, flags, fmts, kNow, logflag);
  }
  // The final shape, or the code and error text of a failed parse.
  std::string result(const std::string& text, unsigned flags = 1) {
    if (parse(text, 1, flags)) return std::to_string(rc) + " " + q.exp.errtext;
    return shape(ex_root(&e));
  }
  std::vector<std::string> texts() {
    std::vector<std::string> v;
    for (list_node* n = list_v_first(&q.exp.texts); n; n = list_v_next(n)) v.push_back(list_v_str(n));
    return v;
  }
  int eval(const qnd& d) {
    int err = -1;
    int r = ex_eval(&e, const_cast<qnd*>(&d), &err);
    EXPECT_EQ(err, 0);
    return r;
  }
};

// What the matches show end to end is in tests/e2e; here the grouping itself.
TEST_F(Qnexp, Precedence) {
  const char* cases[][2] = {
      {"A B C", "AND(AND(d1,d2),d3)"},
      {"A -o B -o C", "OR(OR(d1,d2),d3)"},
      {"( A -o B ) C", "AND(OR(d1,d2),d3)"},
      {"A -a B -o C -a D", "OR(AND(d1,d2),AND(d3,d4))"},
      {"A -o B C -o D", "OR(OR(d1,AND(d2,d3)),d4)"},
      {"((A ))", "d1"},
  };
  for (auto& k : cases) EXPECT_EQ(result(abc(k[0])), k[1]) << k[0];
}

TEST_F(Qnexp, Tokens) {
  const char* cases[][2] = {
      // AND and OR take exactly one blank, which belongs to the token
      {"A -a\tB", "AND(d1,d2)"},
      {"A -a   B", "AND(d1,d2)"},
      {"A -a", "9001 syntax error: `-a'"},
      {"A -ax B", "9001 syntax error: `-ax -depth:2'"},
      {"A -a -a B", "9001 syntax error: `-a '"},
      // keywords are exact and case-sensitive; BAD is the rest of the line
      {"A -NAME:x\nB", "9001 syntax error: `-NAME:x'"},
      {"A -depth", "9001 syntax error: `-depth'"},
      {"- A", "9001 syntax error: `- -depth:1'"},
      // a keyword is followed directly by its value
      {"-name:\tx A", "9001 syntax error: `\tx -depth:1'"},
      // -empty needs no delimiter
      {"-empty(A )", "AND(empty,d1)"},
      {"-emptyA", "AND(empty,d1)"},
      {"-emptyx", "9001 syntax error: `x'"},
      {"-empty:", "9001 syntax error: `:'"},
      {"   ", "9001 syntax error: `'"},
      // the parentheses after a value belong to it
      {"((A))", "9001 syntax error: `'"},
      // every keyword has its primary
      {"-ad:2017-02 -Bd:2017-02 -md:2017-02", "AND(AND(ad,Bd),md)"},
      {"-attr:rh -o -type:d", "OR(attr#5:3,type#5:16)"},
      {"-mmin:5 -mtime:+2 -size:1", "AND(AND(mmin5,mtime>2),size[1,1])"},
      {"-path:x -cpath:x", "AND(path#6/3,path#6/2)"},
  };
  for (auto& k : cases) EXPECT_EQ(result(abc(k[0])), k[1]) << k[0];
  ASSERT_EQ(parse("-depth:1 " + std::string(8000, '#')), 9001);
  EXPECT_EQ(strlen(q.exp.errtext), EXP_ERRTEXT_SIZE - 1) << "a long BAD text is cut";
}

TEST_F(Qnexp, ValueWords) {
  const std::vector<std::string> cases[] = {
      {"-name:a)b", "a)b"},
      {"-name:(a!b) -o -path:!x(", "(a!b)", "!x("},
      {"-name:a\\ b\\\tc\\\rd -depth:1", "a\\ b\\\tc\\\rd", "1"},
      {"-name:a:b\"c'", "a:b\"c'"},
      {"-name:a\\ ", "a\\"},  // trimmed
  };
  for (auto& k : cases) {
    EXPECT_EQ(parse(k[0]), 0) << k[0];
    EXPECT_EQ(texts(), std::vector<std::string>(k.begin() + 1, k.end())) << k[0];
  }
  EXPECT_EQ(result("-name:\"a b\""), "9001 syntax error: `b\"'") << "quotes do not group";
  EXPECT_EQ(result("-name:a\\\nb"), "9001 syntax error: `b'") << "a line feed ends the word";
  // the primary gets the word as written
  ASSERT_EQ(parse("-name:a)b"), 0);
  qnd d;
  qnd_clear(&d);
  strcpy(d.fd.cFileName, "a)b");
  EXPECT_EQ(eval(d), 1);
}

TEST_F(Qnexp, IgnorecaseDecidesThePlainForms) {
  ASSERT_EQ(parse("-name:x -cname:x -iname:x -path:x -cpath:x -ipath:x", 0), 0);
  EXPECT_EQ(shape(ex_root(&e)), "AND(AND(AND(AND(AND(name#6/0,name#6/0),name#6/1),path#6/2),path#6/2),path#6/3)");
}

TEST_F(Qnexp, StackOfFiveHundredStates) {
  // state 0, one state per '(' or '!', and the two of the primary's tokens
  auto nested = [](int n) { return std::string(n, '(') + "-depth:7 " + std::string(n, ')'); };
  EXPECT_EQ(result(nested(497)), "d7");
  EXPECT_EQ(result(nested(498)), "9001 yacc stack overflow: `7'");
  EXPECT_EQ(result(std::string(497, '!') + "-depth:7"), "!d7");
  EXPECT_EQ(result(std::string(498, '!') + "-depth:7"), "9001 yacc stack overflow: `7'");
  EXPECT_EQ(result(nested(100000)), "9001 yacc stack overflow: `('");
  EXPECT_EQ(result(nested(497)), "d7") << "nothing of an overflow is left behind";
}

TEST_F(Qnexp, LongTextsCrossTheReadChunks) {
  EXPECT_EQ(result(std::string(8188, ' ') + "-depth:12345"), "d12345");
  EXPECT_EQ(result("-depth:" + std::string(9000, '0') + "42"), "d42");
  std::string many = "A";
  for (int i = 0; i < 2000; i++) many += " -o B";
  ASSERT_EQ(parse(abc(many)), 0);
  EXPECT_EQ(tree_count(&e.tree), 4001u);
  std::string word(8000, 'a');
  EXPECT_EQ(result("-name:" + word + " -depth:1"), "AND(name#6/1,d1)");
  EXPECT_EQ(texts().at(0), word);
}

TEST_F(Qnexp, LogFlag) {
  {
    RecordCapture log;
    EXPECT_EQ(parse("-depth:1 )", 1, 1, kFmts, 1), 9001);
    EXPECT_TRUE(log.has("ERR 9001") && log.has("qnex.tab") && log.has("syntax error: `)'.")) << log.got;
  }
  RecordCapture log;
  EXPECT_EQ(parse("-depth:1 )", 1, 1, kFmts, 0), 9001);
  EXPECT_EQ(log.done(), "");
}

TEST_F(Qnexp, FailedPrimaryRecordsItsValueWord) {
  EXPECT_EQ(result("-type:d\\ f -size:100c"), "9003 d\\ f");
  EXPECT_EQ(qnex_take_reports(), (std::vector<std::string>{"4 9003 Invalid `-type': d\\ f."}));
  EXPECT_EQ(result("-size:k )"), "9003 k") << "the primary fails before the syntax error";
  EXPECT_EQ(qnex_take_reports().size(), 1u);
  EXPECT_EQ(parse("-md:2017-02", 1, 1, nullptr), 9003) << "time formats only when given";
  EXPECT_EQ(qnex_take_reports(), (std::vector<std::string>{"4 9003 Invalid `-md': 2017-02."}));
  EXPECT_EQ(parse("-depth:1", 1, 1, nullptr), 0);
}

TEST_F(Qnexp, FormatterFlags) {
  // the signed form is the console's (tests/e2e); relational prefixes are not read there
  EXPECT_EQ(result("-depth:>5", 1), "9003 >5") << "no number after what is no prefix here";
  EXPECT_EQ(result("-size:>1k", 1), "9003 >1k");
  const char* rel[][2] = {
      {"-depth:>5 -depth:>=5 -depth:<5 -depth:<=5", "AND(AND(AND(d>5,d>=5),d<5),d<=5)"},
      {"-depth:+5", "d5"},
      {"-depth:=5", "9003 =5"},
      {"-size:<=1k", "size<=[512,1536]"},
      {"-size:+1k", "9003 +1k"},
      {"-mmin:>=3", "mmin>=3"},
      {"-md:>=2017-02", "md>="},
      {"-md:+2017-02", "9003 +2017-02"},
  };
  for (auto& k : rel) EXPECT_EQ(result(k[0], 0), k[1]) << k[0];
  EXPECT_EQ(qnex_take_reports().size(), 5u);
}

TEST_F(Qnexp, ConsecutiveParsesShareNothing) {
  for (const char* bad : {"( A", "-NAME:x", "-size:100x", "-mmin:x", "-name: x"}) {
    EXPECT_NE(parse(abc(bad)), 0) << bad;
    EXPECT_EQ(result(abc("B -o C D")), "OR(d2,AND(d3,d4))") << "after " << bad;
    EXPECT_STREQ(q.exp.errtext, "");
    EXPECT_EQ(texts(), (std::vector<std::string>{"2", "3", "4"})) << "after " << bad;
  }
  qnex_take_reports();
}

TEST_F(Qnexp, ArgumentChecks) {
  RecordCapture log;
  ex_init(&e, qnex_free);
  EXPECT_EQ(mox_qnexparser_parse(&q, &e, "", 1, 1, kFmts, kNow, 0), 9003);
  EXPECT_EQ(mox_qnexparser_parse(&q, &e, nullptr, 1, 1, kFmts, kNow, 0), 9003);
  EXPECT_EQ(mox_qnexparser_parse(&q, nullptr, "-depth:1", 1, 1, kFmts, kNow, 0), 9003);
  EXPECT_EQ(mox_qnexparser_parse(nullptr, &e, "-depth:1", 1, 1, kFmts, kNow, 0), 9003);
  EXPECT_EQ(ex_root(&e), nullptr);
  EXPECT_TRUE(log.has("Invalid param - qnexp: ")) << log.got;
  EXPECT_TRUE(log.has(", str: `'.")) << log.got;
  EXPECT_TRUE(log.has(", str: `NUL'.")) << log.got;
}

}  // namespace
