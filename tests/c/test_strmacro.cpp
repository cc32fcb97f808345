#include "c/strmacro.h"

#include <cstring>

#include "c/cmd_test_util.h"

using namespace cmdtest;

namespace {

// Expands text in a buffer of size bytes; guards the bytes past it.
int expand(const std::string& text, unsigned size, std::string* out) {
  if (text.size() >= size) {
    ADD_FAILURE() << "text does not fit its buffer: " << text;
    return -1;
  }
  std::string buf(size + 8, '#');
  memcpy(&buf[0], text.c_str(), text.size() + 1);
  int rc = strmacro_expand(&buf[0], size);
  EXPECT_EQ(buf.substr(size), std::string(8, '#')) << "written past the size";
  *out = buf.c_str();
  return rc;
}

std::string expanded(const std::string& text) {
  std::string out;
  EXPECT_EQ(expand(text, 512, &out), 0) << text;
  return out;
}

const std::string kL20 = "0123456789abcdefghij";

TEST(StrMacro, Replaces) {
  set_env("QTEST_SM_A", "alpha");
  set_env("QTEST_SM_X", nullptr);
  set_env("QTEST_SM_B", "[$(QTEST_SM_A)]");
  set_env("QTEST_SM_C", "$(QTEST_SM_B)$(QTEST_SM_B)");
  set_env("QTEST_SM_P", "$(QTEST_SM_");
  set_env("QTEST_SM_S", "s");
  const char* cases[][2] = {
      {"x$(QTEST_SM_A)y", "xalphay"},
      {"$(QTEST_SM_A)/$(QTEST_SM_A)", "alpha/alpha"},
      {"[$(QTEST_SM_S)] tail", "[s] tail"},  // shorter than the macro
      {"a$(QTEST_SM_X)b", "ab"},
      {"a$()b", "ab"},
      {"$(QTEST_SM_A) $(QTEST_SM_A", "alpha $(QTEST_SM_A"},
      {"a)$ (b) $)", "a)$ (b) $)"},
      {"<$(QTEST_SM_C)>", "<[alpha][alpha]>"},  // values holding macros are expanded
      {"$(QTEST_SM_P)A)!", "alpha!"},           // a value may open a macro the text closes
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(expanded(c[0]), c[1]) << c[0];
  std::string n255(255, 'N');
  EXPECT_EQ(expanded("a$(" + n255 + ")b"), "ab");
}

TEST(StrMacro, BufferTooSmall) {
  set_env("QTEST_SM_L", kL20.c_str());
  set_env("QTEST_SM_X", nullptr);
  std::string out;
  EXPECT_EQ(expand("x$(QTEST_SM_L)", 22, &out), 0);  // 21 characters and the zero fit exactly
  EXPECT_EQ(out, "x" + kL20);
  LogCapture log;
  int rc_one = expand("x$(QTEST_SM_L)", 21, &out);
  std::string one = out;
  int rc = expand("$(QTEST_SM_X)x$(QTEST_SM_L)y$(QTEST_SM_L)", 42, &out);
  std::string t = log.text();
  EXPECT_EQ(rc_one, 9005);
  EXPECT_EQ(one, "x$(QTEST_SM_L)");
  EXPECT_EQ(rc, 9005);
  EXPECT_EQ(out, "x" + kL20 + "y$(QTEST_SM_L)");  // unchanged from the macro that did not fit
  EXPECT_TRUE(has(t, "`str' size too small - str: `x" + kL20 + "y$(QTEST_SM_L)', strsize: 42.")) << t;
}

TEST(StrMacro, SelfAndMutualReferenceAreRefused) {
  set_env("QTEST_SM_SELF", "$(QTEST_SM_SELF)");
  set_env("QTEST_SM_GROW", "a$(QTEST_SM_GROW)");
  set_env("QTEST_SM_M1", "1$(QTEST_SM_M2)");
  set_env("QTEST_SM_M2", "2$(QTEST_SM_M1)");
  set_env("QTEST_SM_W", "$(QTEST_SM_A)");
  set_env("QTEST_SM_A", "alpha");
  LogCapture log;
  std::string self, grow, mutual;
  EXPECT_EQ(expand("<$(QTEST_SM_SELF)>", 256, &self), 9001);
  EXPECT_EQ(expand("$(QTEST_SM_GROW)", 4096, &grow), 9001);  // refused before the buffer fills
  EXPECT_EQ(expand("x$(QTEST_SM_M1)", 256, &mutual), 9001);
  std::string t = log.text();
  EXPECT_EQ(mutual, "x12$(QTEST_SM_M1)");
  EXPECT_TRUE(has(t, "Recursive macro `$(QTEST_SM_SELF)' - str: `<$(QTEST_SM_SELF)>'.")) << t;
  EXPECT_TRUE(has(t, "Recursive macro `$(QTEST_SM_M1)'")) << t;
  // the same macro side by side, or in the value of another, is no recursion
  EXPECT_EQ(expanded("$(QTEST_SM_A)$(QTEST_SM_W)$(QTEST_SM_A)"), "alphaalphaalpha");
}

TEST(StrMacro, LimitsAndParams) {
  // QTEST_SM_N0 -> N1 -> ... -> N<last> = "end"
  auto chain = [](int last) {
    for (int i = 0; i <= 17; ++i) {
      std::string v = i < last ? "$(QTEST_SM_N" + std::to_string(i + 1) + ")" : "end";
      set_env(("QTEST_SM_N" + std::to_string(i)).c_str(), i <= last ? v.c_str() : nullptr);
    }
  };
  chain((int)STRMACRO_DEPTH_MAX - 1);
  EXPECT_EQ(expanded("$(QTEST_SM_N0)."), "end.");
  chain((int)STRMACRO_DEPTH_MAX);
  set_env("QTEST_SM_A", "alpha");
  std::string n256(256, 'N'), deep, longname;
  char buf[4] = {'a', 'b', 'c', 'd'};
  LogCapture log;
  EXPECT_EQ(expand("$(QTEST_SM_N0).", 512, &deep), 9009);
  EXPECT_EQ(expand("x$(QTEST_SM_A)y$(" + n256 + ")z", 1024, &longname), 9009);
  EXPECT_EQ(strmacro_expand(nullptr, 10), 9003);
  EXPECT_EQ(strmacro_expand(buf, 0), 9003);
  EXPECT_EQ(strmacro_expand(buf, sizeof buf), 9003);  // not terminated within the size
  std::string t = log.text();
  EXPECT_EQ(longname, "xalphay$(" + n256 + ")z");
  EXPECT_TRUE(has(t, "Macro nesting [16] exceeded - name: `QTEST_SM_N16'")) << t;
  EXPECT_TRUE(has(t, "Macro name too long [256] - max: 255, str: `$(" + n256 + ")'.")) << t;
  EXPECT_TRUE(has(t, "Invalid param - str: `NUL', strsize: 10.")) << t;
  EXPECT_TRUE(has(t, "Invalid param - str: `', strsize: 4.")) << t;
}

}  // namespace
