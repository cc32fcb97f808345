#include "c/cmdparser.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "c/arg.h"
#include "c/cmd_test_util.h"
#include "c/val.h"

using namespace cmdtest;

namespace {

using V = std::vector<std::string>;

struct Parser {
  cmdp cp;
  explicit Parser(char sep = 0, unsigned growth = 0) {
    cmdp_clear(&cp);
    EXPECT_EQ(cmdp_init_ex(&cp, 0, sep, growth), 0);
  }
  ~Parser() { cmdp_free(&cp); }
  int parse(std::vector<const char*> words) { return cmdp_parse_argv(&cp, (int)words.size(), words.data()); }
  // Every entry as "-name", "-name=value" or the operand.
  V dump() const {
    V v;
    for (unsigned i = 0; i < cp.nargs; ++i) {
      const cmdp_entry& e = cp.args[i];
      v.push_back(e.is_op ? "-" + std::string(e.name) + (e.val ? "=" + std::string(e.val) : "") : e.name);
    }
    return v;
  }
};

TEST(CmdpParse, Words) {
  Parser p;
  LogCapture log;
  EXPECT_EQ(p.parse({"prog", "-a", "-b:val", "x", "-c:", "-d:e:f", nullptr, "-E:x y", "-  lead:v", "-a b:c", "-",
                     "-:", "-:v", "- "}),
            0);
  std::string t = log.text();
  // a value starts after the first separator past the name; empty names are dropped
  EXPECT_EQ(p.dump(), (V{"prog", "-a", "-b=val", "x", "-c=", "-d=e:f", "-E=x y", "-lead=v", "-a=c"}));
  EXPECT_EQ(p.cp.args[1].val, nullptr);
  for (const char* m : {"Unrecognized option - `'.", "Unrecognized option - `:'.", "Unrecognized option - `:v'.",
                        "Unrecognized option - ` '."})
    EXPECT_TRUE(has(t, m)) << m << "\n" << t;

  Parser q('=', 3);  // another separator, small growth steps
  std::vector<const char*> many(50, "w");
  many[0] = "-a=b:c";
  many[1] = "-x:y";
  EXPECT_EQ(q.parse(many), 0);
  ASSERT_EQ(q.cp.nargs, 50u);
  V d = q.dump();
  EXPECT_EQ(V(d.begin(), d.begin() + 3), (V{"-a=b:c", "-x:y", "w"}));
}

TEST(CmdpParse, DoubleDash) {
  Parser p;
  EXPECT_EQ(cmdp_parse_str(&p.cp, "-env -- -y", 0, nullptr), 0);
  EXPECT_EQ(p.parse({"prog", "-z:1", "--", "-"}), 0);  // set by the earlier call
  EXPECT_EQ(p.dump(), (V{"-env", "-y", "prog", "-z:1", "--", "-"}));
  EXPECT_EQ(cmdp_has(&p.cp, "z"), 0);
  ASSERT_EQ(cmdp_init(&p.cp), 0);  // a new init forgets it
  EXPECT_EQ(p.parse({"p", "-a", "--", "-b", "--"}), 0);
  EXPECT_EQ(p.dump(), (V{"p", "-a", "-b", "--"}));
  EXPECT_STREQ(cmdp_nth_arg(&p.cp, 1), "-b");
}

TEST(CmdpParse, FromTextAndBadParams) {
  Parser p;
  EXPECT_EQ(cmdp_parse_str(&p.cp, "-name:\"a b\" 'c d' -e", 0, nullptr), 0);
  EXPECT_EQ(cmdp_parse_str(&p.cp, "", 0, nullptr), 0);
  EXPECT_EQ(cmdp_parse_str(&p.cp, "-x:a\\ b,z", ARG_F_ESC, ","), 0);
  EXPECT_EQ(p.dump(), (V{"-name=a b", "c d", "-e", "-x=a b", "z"}));
  LogCapture log;
  EXPECT_EQ(cmdp_init(nullptr), 9003);
  EXPECT_EQ(cmdp_parse_argv(&p.cp, 2, nullptr), 9003);
  EXPECT_EQ(cmdp_get_op(&p.cp, nullptr, nullptr), nullptr);
  EXPECT_EQ(cmdp_next_arg(&p.cp, nullptr), nullptr);
  EXPECT_EQ(cmdp_has_op(&p.cp, "e", nullptr), 0);
  std::string t = log.text();
  for (const char* m : {"`cmdp' is NUL.", ", argv: ", ", op: `NUL'.", ", idx: ", ", val: "})
    EXPECT_TRUE(has(t, m)) << m << "\n" << t;
}

class CmdpLookup : public testing::Test {
 protected:
  Parser p;
  void SetUp() override {
    ASSERT_EQ(p.parse({"prog", "-i:first", "in", "-help", "-i", "-?", "out", "-i:last", "-Help:x"}), 0);
  }
  // (value or "NUL", index) of each lookup from idx on until none is found.
  std::vector<std::pair<std::string, int>> walk(const char* op, int idx = -1) {
    std::vector<std::pair<std::string, int>> v;
    for (int n = 0; n < 10; ++n) {
      const char* val = cmdp_get_op(&p.cp, op, &idx);
      v.push_back({val ? val : "NUL", idx});
      if (idx >= (int)p.cp.nargs) break;
    }
    return v;
  }
};

using W = std::vector<std::pair<std::string, int>>;

TEST_F(CmdpLookup, FirstAndLastOccurrence) {
  EXPECT_EQ(walk("i"), (W{{"first", 1}, {"NUL", 4}, {"last", 7}, {"NUL", 9}}));
  EXPECT_EQ(walk("i", 1000), (W{{"NUL", 9}}));
  EXPECT_EQ(walk("help|?"), (W{{"NUL", 3}, {"NUL", 5}, {"NUL", 9}}));
  EXPECT_STREQ(cmdp_get_op(&p.cp, "i", nullptr), "first");
  EXPECT_STREQ(cmdp_last_op(&p.cp, "i"), "last");
  EXPECT_STREQ(cmdp_last_op(&p.cp, "help|Help"), "x");
  EXPECT_EQ(cmdp_last_op(&p.cp, "nope"), nullptr);
  EXPECT_EQ(cmdp_has(&p.cp, "in"), 0);  // operands are no options
  EXPECT_EQ(cmdp_has(&p.cp, "I"), 0);   // case matters
  EXPECT_EQ(cmdp_has(&p.cp, "|?||"), 1);
  EXPECT_EQ(cmdp_has(&p.cp, "hel|elp"), 0);
  EXPECT_EQ(cmdp_has(&p.cp, "a1|a2|a3|a4|a5|a6|a7|a8|a9|a10|a11|help"), 1);
  EXPECT_EQ(cmdp_has(&p.cp, "a1|a2|a3|a4|a5|a6|a7|a8|a9|a10|a11|a12|help"), 0);  // twelve count
  const char* v = "untouched";
  EXPECT_EQ(cmdp_has_op(&p.cp, "help", &v), 1);
  EXPECT_EQ(v, nullptr);
  v = "untouched";
  EXPECT_EQ(cmdp_has_op(&p.cp, "zz", &v), 0);
  EXPECT_STREQ(v, "untouched");
}

TEST_F(CmdpLookup, Operands) {
  int idx = -1;
  V got;
  std::vector<int> at;
  while (const char* a = cmdp_next_arg(&p.cp, &idx)) got.push_back(a), at.push_back(idx);
  EXPECT_EQ(got, (V{"prog", "in", "out"}));
  EXPECT_EQ(at, (std::vector<int>{0, 2, 6}));
  EXPECT_EQ(idx, 9);
  EXPECT_EQ(cmdp_next_arg(&p.cp, &idx), nullptr);
  EXPECT_STREQ(cmdp_nth_arg(&p.cp, 2), "out");
  EXPECT_EQ(cmdp_nth_arg(&p.cp, 3), nullptr);
}

TEST_F(CmdpLookup, OptionText) {
  char buf[32];
  EXPECT_STREQ(cmdp_op_str(&p.cp, 1, 0, buf, sizeof buf), "-i:first");
  EXPECT_STREQ(cmdp_op_str(&p.cp, 1, '=', buf, sizeof buf), "-i=first");
  EXPECT_STREQ(cmdp_op_str(&p.cp, 3, 0, buf, 6), "-help");
  LogCapture log;
  for (int idx : {3, 2, 9, -1}) {
    strcpy(buf, "junk");
    EXPECT_STREQ(cmdp_op_str(&p.cp, idx, 0, buf, idx == 3 ? 5 : sizeof buf), "") << idx;
  }
  EXPECT_EQ(cmdp_op_str(&p.cp, 1, 0, nullptr, 10), nullptr);
  std::string t = log.text();
  for (const char* m : {"`in' is not option - idx: 2.", "Invalid `idx' [9] - nargs: 9.",
                        "Invalid `idx' [-1] - nargs: 9.", ", buf: "})
    EXPECT_TRUE(has(t, m)) << m << "\n" << t;
}

// --- setting a record's slots from the options

struct Settings {
  int ignorecase;
  char* name;
  int level;  // through a converter
  int keep;   // its option has no bare text
  int color;  // enumeration
};

int level_cvt(unsigned, void* val, unsigned*, unsigned*, char* str, unsigned, int dir) {
  if (!dir) return 9013;
  if (strcmp(str, "low") && strcmp(str, "high")) return 9012;
  *(int*)val = strcmp(str, "low") ? 9 : 1;
  return 0;
}

constexpr enum_item kColorNames[] = {{1, "red"}, {2, "green"}};
constexpr enum_list kColors = {2, kColorNames};

const cfg_item kItems[] = {
    {VAL_BOOL, offsetof(Settings, ignorecase), -1, -1, nullptr, nullptr, 0, "ignorecase|i", "Yes", nullptr,
     nullptr, nullptr},
    {VAL_STR, offsetof(Settings, name), -1, -1, nullptr, nullptr, 0, "name", nullptr, nullptr, nullptr, nullptr},
    {VAL_INT, offsetof(Settings, level), -1, -1, nullptr, level_cvt, CFG_F_CVT, "level", "high", nullptr,
     nullptr, nullptr},
    {VAL_INT, offsetof(Settings, keep), -1, -1, nullptr, nullptr, 0, "keep", nullptr, nullptr, nullptr, nullptr},
    {VAL_ENUM, offsetof(Settings, color), -1, -1, nullptr, &kColors, 0, "color", nullptr, nullptr, nullptr,
     nullptr},
};
constexpr unsigned kN = sizeof kItems / sizeof kItems[0];

struct Applied {
  Settings s{0, nullptr, 0, 42, 0};
  int rc;
  Applied(std::vector<const char*> words, int unescape = 0, unsigned n = kN, const cfg_item* items = kItems) {
    Parser p;
    EXPECT_EQ(p.parse(words), 0);
    rc = cmdp_get_items(&p.cp, &s, n, items, unescape);
  }
  ~Applied() { free(s.name); }
};

TEST(CmdpItems, OptionsSetSlots) {
  Applied a({"prog", "-i", "-name:a\\tb", "-level", "-keep", "-color:GREEN"});
  EXPECT_EQ(a.rc, 0);
  EXPECT_EQ(a.s.ignorecase, 1);  // bare: "Yes"
  EXPECT_STREQ(a.s.name, "a\\tb");
  EXPECT_EQ(a.s.level, 9);  // bare: "high" through the converter
  EXPECT_EQ(a.s.keep, 42);  // bare without a bare text: unchanged
  EXPECT_EQ(a.s.color, 2);
  Applied first({"-ignorecase:No", "-i", "-level:low", "-level:high", "-name:a\\tb"}, 1);
  EXPECT_EQ(first.s.ignorecase, 0);
  EXPECT_EQ(first.s.level, 1);
  EXPECT_STREQ(first.s.name, "a\tb");  // unescaped
}

TEST(CmdpItems, FailuresEndTheRun) {
  const cfg_item nocvt[] = {{VAL_INT, offsetof(Settings, level), -1, -1, nullptr, nullptr, CFG_F_CVT, "level",
                             nullptr, nullptr, nullptr, nullptr}};
  const cfg_item nosize[] = {{VAL_DATABUF, offsetof(Settings, name), -1, -1, nullptr, nullptr, 0, "name",
                              nullptr, nullptr, nullptr, nullptr}};
  std::string big = "-name:" + std::string(8192, 'x');
  LogCapture log;
  Applied bad({"-i", "-level:medium", "-name:before", "-color:red"});
  Applied color({"-color:blue"});
  Applied unesc({big.c_str()}, 1);
  Applied cvt({"-level:low"}, 0, 1, nocvt);
  Applied size({"-name:01"}, 0, 1, nosize);
  Parser p;
  int rc_base = cmdp_get_items(&p.cp, nullptr, kN, kItems, 0);
  std::string t = log.text();
  EXPECT_EQ(bad.rc, 9012);
  EXPECT_EQ(bad.s.ignorecase, 1);  // slots before the failing one keep their values
  EXPECT_STREQ(bad.s.name, "before");
  EXPECT_EQ(bad.s.color, 0);  // slots after it are not reached
  EXPECT_EQ(color.rc, 9006);
  EXPECT_EQ(unesc.rc, 9005);
  EXPECT_EQ(unesc.s.name, nullptr);
  EXPECT_EQ(cvt.rc, 9003);
  EXPECT_EQ(size.rc, 9003);
  EXPECT_EQ(rc_base, 9003);
  for (const char* m : {"No cvt_cb - items_val_base: ", ", cmdp_op: `level'.", "No `valsize'.",
                        "Invalid param - cmdp: ", ", items_val_base: "})
    EXPECT_TRUE(has(t, m)) << m << "\n" << t;
}

}  // namespace
