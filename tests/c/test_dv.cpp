#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "c/dv.h"
#include "c/val_logcap.h"

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

TEST(DvPlain, DelimiterRunsQuotesAndCuts) {
  EXPECT_EQ(read_all(",, a,,,bb ,", ", ", 0), (V{"a", "bb"}));
  EXPECT_EQ(read_all(",,,", ",", 0), V{});
  EXPECT_EQ(read_all("no delims", "", 0), V{"no delims"});
  EXPECT_EQ(read_all("\"a,b\",\\\"c", ",", 0), (V{"\"a", "b\"", "\\\"c"}));  // nothing special here
  EXPECT_EQ(read_all("abcdef,gh", ",", 0, 4), (V{"abc", "gh"}));
}

TEST(DvQuoted, QuotesAndEscapeRuns) {
  EXPECT_EQ(read_all("x\"y z\"w v", " ", 1), (V{"xy zw", "v"}));
  EXPECT_EQ(read_all("a \"\" b", " ", 1), (V{"a"}));  // an empty value ends the reading
  EXPECT_EQ(read_all("\"a b", " ", 1), (V{"a b"}));
  // k escapes and a quote: k/2 escapes, then a literal quote when k is odd, else a toggle
  EXPECT_EQ(read_all("a\\\"b c", " ", 1), (V{"a\"b", "c"}));
  EXPECT_EQ(read_all("a\\\\\"b c\"", " ", 1), (V{"a\\b c"}));
  EXPECT_EQ(read_all("a\\\\\\\"b", " ", 1), (V{"a\\\"b"}));
  EXPECT_EQ(read_all("C:\\\\dir\\x y", " ", 1), (V{"C:\\\\dir\\x", "y"}));  // not before a quote
  EXPECT_EQ(read_all("^\"a^^ \\\"b", " ", 1, 32, '^'), (V{"\"a^^", "\\b"}));
  EXPECT_EQ(read_all("\"abc\"", " ", 1, 4), (V{"abc"}));
  std::string log = val_capture_log([&] { EXPECT_EQ(read_all("ab \"cdef\" g", " ", 1, 4), (V{"ab", "<err 9005>"})); });
  EXPECT_TRUE(val_logged(log, "`val' size too small - str: `\"cdef\" g', valsize: 4.", 9005)) << log;
}

TEST(Dv, BadArgumentsAndTheEnd) {
  char buf[8];
  dv d;
  dv_init(&d, 0, 0, buf, sizeof buf);
  std::string log = val_capture_log([&] {
    EXPECT_EQ(dv_next(&d, nullptr, ","), nullptr);
    EXPECT_EQ(d.err, 9003);
    EXPECT_EQ(dv_next(&d, "a", nullptr), nullptr);
    dv_init(&d, 0, 0, nullptr, 8);
    EXPECT_EQ(dv_next(&d, "a", ","), nullptr);
  });
  EXPECT_EQ(val_missing(log, {{"No string - str: ", 9003}, {"delim: `NUL'.", 9003},
                           {"No value buffer - val: ", 9003}}), "") << log;
  dv_init(&d, 0, 0, buf, sizeof buf);
  EXPECT_STREQ(dv_next(&d, "a", ","), "a");
  log = val_capture_log([&] { EXPECT_EQ(dv_next(&d, nullptr, ","), nullptr); });
  EXPECT_EQ(d.err, 0);  // a finished reading stays finished without complaint
  EXPECT_EQ(log, "");
  dv_init(&d, 1, 0, buf, sizeof buf);
  EXPECT_STREQ(dv_next(&d, "a \"\" b", " "), "a");
  EXPECT_EQ(dv_next(&d, nullptr, " "), nullptr);  // the empty value
  EXPECT_EQ(dv_next(&d, nullptr, " "), nullptr);  // ended the reading: b is never read
}
