#include "c/cmdparser.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "c/arg.h"
#include "c/log_capture.h"
#include "c/val.h"

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

TEST(CmdpParse, WordsTextAndDoubleDash) {
  Parser p;
  LogCapture log;
  EXPECT_EQ(p.parse({"prog", "-a", "-b:val", "x", "-c:", "-d:e:f", nullptr, "-E:x y", "-  lead:v", "-a b:c", "-",
                     "-:", "- "}),
            0);
  // a value starts after the first separator past the name; empty names are dropped
  EXPECT_EQ(p.dump(), (V{"prog", "-a", "-b=val", "x", "-c=", "-d=e:f", "-E=x y", "-lead=v", "-a=c"}));
  EXPECT_EQ(p.cp.args[1].val, nullptr);
  EXPECT_TRUE(log.has("Unrecognized option - `'.") && log.has("Unrecognized option - `:'.")) << log.done();
  Parser r('=', 3);  // another separator, small growth steps
  EXPECT_EQ(cmdp_parse_str(&r.cp, "-name=\"a b\" -x:y 'c d' -- -y", 0, nullptr), 0);
  EXPECT_EQ(cmdp_parse_str(&r.cp, "-x=a\\ b,z", ARG_F_ESC, ","), 0);
  EXPECT_EQ(r.parse({"prog", "-z=1", "--", "-"}), 0);  // "--" seen by an earlier call still holds
  EXPECT_EQ(r.dump(), (V{"-name=a b", "-x:y", "c d", "-y", "-x=a b", "z", "prog", "-z=1", "--", "-"}));
  ASSERT_EQ(cmdp_init(&r.cp), 0);  // a new init forgets it
  EXPECT_EQ(r.parse({"p", "-a", "--", "-b", "--"}), 0);
  EXPECT_EQ(r.dump(), (V{"p", "-a", "-b", "--"}));
}

using W = std::vector<std::pair<std::string, int>>;

TEST(CmdpLookup, OptionsAndOperands) {
  Parser p;
  ASSERT_EQ(p.parse({"prog", "-i:first", "in", "-help", "-i", "-?", "out", "-i:last", "-Help:x"}), 0);
  // (value or "NUL", index) of each lookup until none is found
  auto walk = [&](const char* op) {
    W v;
    for (int idx = -1, n = 0; n < 10 && idx < (int)p.cp.nargs; ++n) {
      const char* val = cmdp_get_op(&p.cp, op, &idx);
      v.push_back({val ? val : "NUL", idx});
    }
    return v;
  };
  EXPECT_EQ(walk("i"), (W{{"first", 1}, {"NUL", 4}, {"last", 7}, {"NUL", 9}}));
  EXPECT_EQ(walk("help|?"), (W{{"NUL", 3}, {"NUL", 5}, {"NUL", 9}}));
  EXPECT_STREQ(cmdp_last_op(&p.cp, "help|Help"), "x");
  EXPECT_EQ(cmdp_has(&p.cp, "in") + cmdp_has(&p.cp, "I"), 0);  // operands are no options; case matters
  EXPECT_EQ(cmdp_has(&p.cp, "a1|a2|a3|a4|a5|a6|a7|a8|a9|a10|a11|help"), 1);
  EXPECT_EQ(cmdp_has(&p.cp, "a1|a2|a3|a4|a5|a6|a7|a8|a9|a10|a11|a12|help"), 0);  // twelve count
  int idx = -1;
  V got;
  while (const char* a = cmdp_next_arg(&p.cp, &idx)) got.push_back(a + std::string("@") + std::to_string(idx));
  EXPECT_EQ(got, (V{"prog@0", "in@2", "out@6"}));
  char buf[32];
  EXPECT_STREQ(cmdp_op_str(&p.cp, 1, '=', buf, sizeof buf), "-i=first");
  EXPECT_STREQ(cmdp_op_str(&p.cp, 3, 0, buf, 6), "-help");  // exact fit
  for (int i : {3, 2, -1}) EXPECT_STREQ(cmdp_op_str(&p.cp, i, 0, buf, i == 3 ? 5 : sizeof buf), "") << i;
}

// --- setting a record's slots from the options

// level goes through a converter, keep's option has no bare text, color is an enumeration
struct Settings {
  int ignorecase;
  char* name;
  int level, keep, color;
};

int level_cvt(unsigned, void* val, unsigned*, unsigned*, char* str, unsigned, int dir) {
  if (!dir || (strcmp(str, "low") && strcmp(str, "high"))) return 9012;
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

// Applies the words; returns the code and the slots as "ignorecase name level keep color".
std::string apply(std::vector<const char*> words, int unescape = 0, int* rc = nullptr) {
  Settings s{0, nullptr, 0, 42, 0};
  Parser p;
  EXPECT_EQ(p.parse(words), 0);
  int code = cmdp_get_items(&p.cp, &s, kN, kItems, unescape);
  if (rc) *rc = code;
  std::string got = std::to_string(s.ignorecase) + " " + (s.name ? s.name : "NUL") + " " + std::to_string(s.level) +
                    " " + std::to_string(s.keep) + " " + std::to_string(s.color);
  free(s.name);
  return got;
}

TEST(CmdpItems, OptionsSetSlotsUntilAFailure) {
  // bare: "Yes", "high" through the converter; without a bare text: unchanged
  EXPECT_EQ(apply({"prog", "-i", "-name:a\\tb", "-level", "-keep", "-color:GREEN"}), "1 a\\tb 9 42 2");
  // the first occurrence counts; unescaped
  EXPECT_EQ(apply({"-ignorecase:No", "-i", "-level:low", "-level:high", "-name:a\\tb"}, 1), "0 a\tb 1 42 0");
  int rc = 0;
  // slots before the failing one keep their values, those after it are not reached
  EXPECT_EQ(apply({"-i", "-level:medium", "-name:before", "-color:red"}, 0, &rc), "1 before 0 42 0");
  EXPECT_EQ(rc, 9012);
  apply({"-color:blue"}, 0, &rc);
  EXPECT_EQ(rc, 9006);
  std::string big = "-name:" + std::string(8192, 'x');
  EXPECT_EQ(apply({big.c_str()}, 1, &rc), "0 NUL 0 42 0");
  EXPECT_EQ(rc, 9005);
}

}  // namespace
