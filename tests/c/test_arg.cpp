#include "c/arg.h"

#include <vector>

#include "c/log_capture.h"

namespace {

using V = std::vector<std::string>;

struct Words {
  arg a;
  int rc = 0;
  Words(unsigned flags, const char* text, const char* delims = nullptr, unsigned wsize = 0, unsigned growth = 0) {
    arg_clear(&a);
    EXPECT_EQ(arg_init(&a, flags, delims, wsize, growth), 0);
    rc = arg_split(&a, text);
  }
  ~Words() { arg_free(&a); }
  V list() const {
    EXPECT_EQ(a.argv[a.argc], nullptr);
    return V(a.argv, a.argv + a.argc);
  }
};

constexpr unsigned E = ARG_F_ESC, D = ARG_F_VAR;

TEST(ArgSplit, Words) {
  set_env("QTEST_ARG_H", "C:\\h");
  set_env("QTEST_ARG_SP", "p q");
  set_env("QTEST_ARG_UNDEF", nullptr);
  struct {
    unsigned flags;
    const char* text;
    V words;
  } cases[] = {
      {0, "a \"b c\" 'd e'", {"a", "b c", "d e"}}, {0, "  \t a\r\n\nb  ", {"a", "b"}}, {0, "a\"b c\"d", {"ab cd"}},
      {0, "\"it's\" 'say \"hi\"'", {"it's", "say \"hi\""}}, {0, "'' x \"\"", {"", "x", ""}}, {0, nullptr, {}},
      {0, "a \"b c", {"a", "b c"}},  // an open quote ends with the text
      {0, "a\\ b", {"a\\", "b"}}, {E, "a\\ b", {"a b"}}, {E, "\\'x\\\" \\\\", {"'x\"", "\\"}}, {E, "a\\", {"a\\"}},
      {E, "\"x\\\"y\\$z\\\\w\\n\"", {"x\"y$z\\w\\n"}},  // in double quotes only ", $ and \ are escaped
      {E, "'a\\b\\'", {"a\\b\\"}}, {E, "a\\\r\nb c", {"ab", "c"}}, {E, "x \\\n y", {"x", "y"}},
      {D, "${QTEST_ARG_H}\\x", {"C:\\h\\x"}},  // the value is inserted unchanged
      {D | E, "${QTEST_ARG_H}\\x", {"C:\\hx"}}, {D, "\"${QTEST_ARG_H} y\" z${QTEST_ARG_H}", {"C:\\h y", "zC:\\h"}},
      {D, "'${QTEST_ARG_H}'", {"${QTEST_ARG_H}"}}, {0, "${QTEST_ARG_H}", {"${QTEST_ARG_H}"}},
      {D, "${QTEST_ARG_SP}", {"p q"}}, {D, "x ${QTEST_ARG_UNDEF} y", {"x", "y"}}, {D, "\"${QTEST_ARG_UNDEF}\"", {""}},
  };
  for (const auto& c : cases) {
    Words w(c.flags, c.text);
    EXPECT_EQ(w.rc, 0) << c.text;
    EXPECT_EQ(w.list(), c.words) << (c.text ? c.text : "NUL") << " flags " << c.flags;
  }
  EXPECT_EQ(Words(0, "a,b;;c d", ",;").list(), (V{"a", "b", "c d"}));
  Words w(0, "0 1 2 3 4 5 6 7 8", nullptr, 0, 2);  // small growth steps
  EXPECT_EQ(arg_split_n(&w.a, "9 xy", 3), 0);     // appended; only the length is read
  EXPECT_EQ(w.list(), (V{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "x"}));
  set_env("QTEST_ARG_H", nullptr);
  set_env("QTEST_ARG_SP", nullptr);
}

TEST(ArgSplit, FailuresStopTheSplitAtTheLimits) {
  set_env("QTEST_ARG_LONG", "0123456789");
  LogCapture log;
  Words notvar(D, "a $x b"), empty(D, "${} b"), open(D, "${abc"), dollar(D, "cost$");
  Words cut(0, "x abcd y", nullptr, 4), fits(0, "abc", nullptr, 4);
  Words value(D, "ab${QTEST_ARG_LONG}", nullptr, 8);
  Words name(D, ("${" + std::string(256, 'N') + "}").c_str());
  Words name255(D, ("${" + std::string(255, 'N') + "}x").c_str());
  EXPECT_EQ(notvar.rc, 9003);
  EXPECT_EQ(notvar.list(), (V{"a"}));  // words before the failure stay
  EXPECT_EQ(empty.rc + open.rc, 2 * 9001);
  EXPECT_EQ(dollar.rc, 9003);
  EXPECT_EQ(cut.rc, 9005);
  EXPECT_EQ(cut.list(), (V{"x"}));
  EXPECT_EQ(fits.list(), (V{"abc"}));
  EXPECT_EQ(value.rc, 9005);
  EXPECT_EQ(name.rc, 9005);
  EXPECT_EQ(name255.list(), (V{"x"}));
  EXPECT_TRUE(log.has("Not variable [$x b].") && log.has("`v' size [4] too small - strp[len:6]: `abcd y'."))
      << log.done();
  set_env("QTEST_ARG_LONG", nullptr);
}

}  // namespace
