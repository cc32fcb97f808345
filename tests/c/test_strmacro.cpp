#include "c/strmacro.h"

#include <cstring>

#include "c/log_capture.h"

namespace {

// Expands text in a buffer of size bytes; guards the bytes past it.
int expand(const std::string& text, unsigned size, std::string* out) {
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
  set_env("QTEST_SM_W", "$(QTEST_SM_A)");
  const char* cases[][2] = {
      {"x$(QTEST_SM_A)y", "xalphay"}, {"a$(QTEST_SM_X)b", "ab"}, {"a$()b", "ab"},
      {"$(QTEST_SM_A) $(QTEST_SM_A", "alpha $(QTEST_SM_A"}, {"a)$ (b) $)", "a)$ (b) $)"},
      {"<$(QTEST_SM_C)>", "<[alpha][alpha]>"},  // values holding macros are expanded
      {"$(QTEST_SM_P)A)!", "alpha!"},           // a value may open a macro the text closes
      // the same macro side by side, or in the value of another, is no recursion
      {"$(QTEST_SM_A)$(QTEST_SM_W)$(QTEST_SM_A)", "alphaalphaalpha"},
  };
  for (const auto& c : cases) EXPECT_EQ(expanded(c[0]), c[1]) << c[0];
  EXPECT_EQ(expanded("a$(" + std::string(255, 'N') + ")b"), "ab");
}

TEST(StrMacro, BufferTooSmall) {
  set_env("QTEST_SM_L", kL20.c_str());
  std::string out;
  EXPECT_EQ(expand("x$(QTEST_SM_L)", 22, &out), 0);  // 21 characters and the zero fit exactly
  EXPECT_EQ(out, "x" + kL20);
  EXPECT_EQ(expand("x$(QTEST_SM_L)", 21, &out), 9005);
  EXPECT_EQ(out, "x$(QTEST_SM_L)");
  LogCapture log;
  EXPECT_EQ(expand("x$(QTEST_SM_L)y$(QTEST_SM_L)", 42, &out), 9005);
  EXPECT_EQ(out, "x" + kL20 + "y$(QTEST_SM_L)");  // unchanged from the macro that did not fit
  EXPECT_TRUE(log.has("`str' size too small - str: `x" + kL20 + "y$(QTEST_SM_L)', strsize: 42.")) << log.done();
}

TEST(StrMacro, RecursionNestingAndNameLimits) {
  set_env("QTEST_SM_SELF", "$(QTEST_SM_SELF)");
  set_env("QTEST_SM_GROW", "a$(QTEST_SM_GROW)");
  set_env("QTEST_SM_M1", "1$(QTEST_SM_M2)");
  set_env("QTEST_SM_M2", "2$(QTEST_SM_M1)");
  std::string out, n256(256, 'N');
  EXPECT_EQ(expand("<$(QTEST_SM_SELF)>", 256, &out), 9001);
  EXPECT_EQ(expand("$(QTEST_SM_GROW)", 4096, &out), 9001);  // refused before the buffer fills
  EXPECT_EQ(expand("x$(QTEST_SM_M1)", 256, &out), 9001);
  EXPECT_EQ(out, "x12$(QTEST_SM_M1)");
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
  LogCapture log;
  EXPECT_EQ(expand("$(QTEST_SM_N0).", 512, &out), 9009);
  set_env("QTEST_SM_A", "alpha");
  EXPECT_EQ(expand("x$(QTEST_SM_A)y$(" + n256 + ")z", 1024, &out), 9009);
  EXPECT_EQ(out, "xalphay$(" + n256 + ")z");
  char buf[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(strmacro_expand(buf, sizeof buf), 9003);  // not terminated within the size
  EXPECT_TRUE(log.has("Macro nesting [16] exceeded - name: `QTEST_SM_N16'")) << log.done();
}

}  // namespace
