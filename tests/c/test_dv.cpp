#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "c/dv.h"
#include "c/log_capture.h"

namespace {
using V = std::vector<std::string>;

// Every value of text, and "<err N>" when a failure stopped the reading.
V read_all(const char* text, const char* delim, int quote, unsigned size = 32, char esc = 0) {
  std::vector<char> buf(size);
  dv d;
  EXPECT_EQ(dv_init(&d, quote, esc, buf.data(), size), 0);
  V out;
  for (const char* v = dv_next(&d, text, delim); v; v = dv_next(&d, nullptr, delim)) out.push_back(v);
  if (d.err) out.push_back("<err " + std::to_string(d.err) + ">");
  return out;
}
}  // namespace

TEST(Dv, DelimiterRunsQuotesEscapesAndCuts) {
  const struct { const char* text; int quote; unsigned size; char esc; V want; const char* delim = ","; } cases[] = {
      {",, a,,,bb ,", 0, 32, 0, {"a", "bb"}, ", "}, {",,,", 0, 32, 0, {}},
      {"\"a,b\",\\\"c", 0, 32, 0, {"\"a", "b\"", "\\\"c"}},  // nothing special unquoted
      {"abcdef,gh", 0, 4, 0, {"abc", "gh"}}, {"x\"y,z\"w,v", 1, 32, 0, {"xy,zw", "v"}},
      {"a,\"\",b", 1, 32, 0, {"a"}},  // an empty value ends the reading
      {"\"a,b", 1, 32, 0, {"a,b"}},
      // k escapes and a quote: k/2 escapes, then a literal quote when k is odd, else a toggle
      {"a\\\"b,c", 1, 32, 0, {"a\"b", "c"}}, {"a\\\\\"b,c\"", 1, 32, 0, {"a\\b,c"}},
      {"a\\\\\\\"b", 1, 32, 0, {"a\\\"b"}},
      {"C:\\\\dir\\x,y", 1, 32, 0, {"C:\\\\dir\\x", "y"}},  // not before a quote
      {"^\"a^^,\\\"b", 1, 32, '^', {"\"a^^", "\\b"}},
      {"\"abc\"", 1, 4, 0, {"abc"}},  // exact fit without the quotes
      {"ab,\"cdef\",g", 1, 4, 0, {"ab", "<err 9005>"}},
  };
  for (const auto& c : cases) EXPECT_EQ(read_all(c.text, c.delim, c.quote, c.size, c.esc), c.want) << c.text;
  char buf[8];
  dv d;
  dv_init(&d, 0, 0, buf, sizeof buf);
  EXPECT_STREQ(dv_next(&d, "a", ","), "a");
  LogCapture quiet;
  EXPECT_EQ(dv_next(&d, nullptr, ","), nullptr);
  EXPECT_EQ(d.err, 0);  // a finished reading stays finished without complaint
  EXPECT_EQ(quiet.done(), " ");
  dv_init(&d, 0, 0, buf, sizeof buf);
  LogCapture log;
  EXPECT_EQ(dv_next(&d, nullptr, ","), nullptr);
  EXPECT_EQ(d.err, 9003);
  EXPECT_TRUE(log.has("No string - str: ")) << log.done();
}
