#include "ex/exparser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "ds/list_v.h"

namespace {

// The driver gives the parse no arguments: it finds its record through exp_current.
std::string g_calls;
std::function<void()> g_body;

int fake_parse() {
  g_calls += "parse;";
  if (g_body) g_body();
  return 1;  // not an error: the driver ignores what the parse returns
}
void fake_restart() {
  g_calls += exp_current ? "restart;" : "restart-without-record;";
}

char* dup(const char* s) {
  char* t = static_cast<char*>(malloc(strlen(s) + 1));
  strcpy(t, s);
  return t;
}

class Exp : public ::testing::Test {
 protected:
  struct exp xp{};
  ex e{};
  int usr = 0;

  void SetUp() override {
    g_calls.clear();
    g_body = nullptr;
    ex_init(&e, nullptr);
  }
  void TearDown() override {
    exp_free(&xp);
    ex_free(&e);
    g_body = nullptr;
  }
  int run(const char* text, int logflag = 0) {
    return exp_parse(&xp, &e, text, fake_parse, fake_restart, logflag, &usr);
  }
};

TEST_F(Exp, RefusedBeforeAnyParse) {
  LogCapture log;
  EXPECT_EQ(run(""), 9003);
  EXPECT_EQ(run(nullptr), 9003);
  EXPECT_EQ(exp_parse(&xp, &e, "x", nullptr, nullptr, 0, nullptr), 9003);
  EXPECT_EQ(g_calls, "");
  EXPECT_EQ(exp_current, nullptr);
  EXPECT_TRUE(log.has("Invalid param - exp: ")) << log.got;
  EXPECT_TRUE(log.has(", str: `', parse_fn: ")) << log.got;
  EXPECT_TRUE(log.has(", str: `NUL', parse_fn: ")) << log.got;
}

TEST_F(Exp, InputInChunksToTheEnd) {
  std::string text;
  for (int i = 0; i < 1000; i++) text += (char)('a' + i % 26);
  std::vector<unsigned> sizes;
  std::string got;
  g_body = [&] {
    char buf[401];
    for (unsigned max : {1u, 7u, 300u, 400u, 400u, 400u}) {
      memset(buf, '#', sizeof buf);
      unsigned n = exp_input(buf, max);
      sizes.push_back(n);
      got.append(buf, n);
      EXPECT_EQ(buf[n], '#') << "nothing written past the count";
    }
    EXPECT_EQ(xp.remaining, 0u);
  };
  EXPECT_EQ(run(text.c_str()), 0);
  EXPECT_EQ(sizes, (std::vector<unsigned>{1, 7, 300, 400, 292, 0}));
  EXPECT_EQ(got, text);
  char buf[8];
  EXPECT_EQ(exp_input(buf, sizeof buf), 0u) << "no input outside a parse";
}

TEST_F(Exp, FirstErrorWins) {
  g_body = [&] {
    exp_error(&xp, 9003, "100c");
    exp_error(&xp, 9001, "syntax error: `)'");
  };
  EXPECT_EQ(run("-size:100c )"), 9003);
  EXPECT_STREQ(xp.errtext, "100c");
  std::string big(5000, 'x');
  g_body = [&] { exp_error(&xp, 9001, big.c_str()); };
  EXPECT_EQ(run("x"), 9001);
  EXPECT_EQ(std::string(xp.errtext), big.substr(0, EXP_ERRTEXT_SIZE - 1)) << "cut to the record";
}

TEST_F(Exp, EachParseStartsClean) {
  g_body = [&] {
    exp_error(&xp, 9001, "first");
    EXPECT_EQ(exp_keep_text(&xp, dup("abc")), 0);
    EXPECT_EQ(exp_keep_text(&xp, dup("def")), 0);
  };
  EXPECT_EQ(run("x"), 9001);
  ASSERT_EQ(list_count(&xp.texts), 2u);
  EXPECT_STREQ(list_v_str(list_v_first(&xp.texts)), "abc");
  g_body = nullptr;
  EXPECT_EQ(run("y"), 0);
  EXPECT_STREQ(xp.errtext, "");
  EXPECT_EQ(list_count(&xp.texts), 0u);
}

}  // namespace
