#include <gtest/gtest.h>

#include <string>

#include "quarn/quarnlib.h"
#include "quarnw/qncmdln.h"

namespace {

std::string quote(const char* w) {
  char buf[256];
  EXPECT_EQ(qncmdln_quote(w, buf, sizeof buf), 0) << w;
  return buf;
}

std::string signed_form(const char* w) {
  char buf[256];
  EXPECT_EQ(qncmdln_signed(w, buf, sizeof buf), 0) << w;
  return buf;
}

TEST(CmdLine, Quoting) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {
      {"C:\\src", "C:\\src"},
      {"C:\\", "C:\\"},
      {"", "\"\""},
      {"C:\\My Dir", "\"C:\\My Dir\""},
      {"C:\\My Dir\\", "\"C:\\My Dir\\\\\""},  // the final backslash must not escape the quote
      {"-name:a\\ b", "\"-name:a\\ b\""},      // backslashes not before a quote stay single
      {"say\"hi", "\"say\\\"hi\""},
      {"x\\\"y", "\"x\\\\\\\"y\""},            // a backslash before a quote is doubled, the quote escaped
      {"a&b", "\"a&b\""},
      {"a|b", "\"a|b\""},
      {"-name:*.c", "-name:*.c"},
      {"(", "("},
  };
  for (const auto& r : rows) EXPECT_EQ(quote(r.in), r.out) << r.in;
}

TEST(CmdLine, RelationalToSigned) {
  const struct {
    const char* in;
    const char* out;
  } rows[] = {
      {"-size:>10k", "-size:+10k"},
      {"-size:<10k", "-size:-10k"},
      {"-size:=5", "-size:=5"},
      {"-size:5", "-size:5"},
      {"-size:>=10k", "! -size:-10k"},  // not less than
      {"-size:<=10k", "! -size:+10k"},  // not greater than
      {"-md:>2024-01-31", "-md:+2024-01-31"},
      {"-md:<=2024-01-31", "! -md:+2024-01-31"},
      {"-depth:<3", "-depth:-3"},
      {"-name:>x", "-name:>x"},  // a pattern is no comparison
      {"-sizes:>5", "-sizes:>5"},
      {"-o", "-o"},
      {"(", "("},
  };
  for (const auto& r : rows) EXPECT_EQ(signed_form(r.in), r.out) << r.in;
}

std::string build(const qncmdln_src& s, int* rc = nullptr) {
  char buf[QNCMDLN_SIZE];
  const int r = qncmdln_build(&s, buf, sizeof buf);
  if (rc) *rc = r;
  else EXPECT_EQ(r, 0);
  return buf;
}

TEST(CmdLine, WholeLine) {
  const diserr de5{0, 5}, gt4{3, 4}, minus2{0, -2};
  const struct {
    qncmdln_src src;
    const char* out;
  } rows[] = {
      {{"C:\\src", "", "", "", 1, nullptr}, "quarn C:\\src"},
      {{"C:\\src \"D:\\My Docs\"", "", ">10k", "*.c | *.h", 1, nullptr},
       "quarn C:\\src \"D:\\My Docs\" ( -size:+10k ) ( -name:*.c -o -name:*.h )"},
      {{"C:\\", ">=2024-01-01", "<=1m", "\"my file.txt\"", 0, &de5},
       "quarn C:\\ ( ! -md:-2024-01-01 ) ( ! -size:+1m ) ( \"-name:my\\ file.txt\" ) -ignorecase:no -disable-err:5"},
      {{"C:\\", "", "! 5 & <2k", "", 1, &gt4}, "quarn C:\\ ( ! -size:5 -a -size:-2k ) -disable-err:+4"},
      {{"C:\\", "", "", "a&b", 1, &minus2}, "quarn C:\\ ( \"-name:a&b\" ) -disable-err:2-"},
      {{"", "", "", "", 1, nullptr}, "quarn"},
  };
  for (const auto& r : rows) EXPECT_EQ(build(r.src), r.out);

  int rc = 0;
  char small[8];
  const qncmdln_src s{"C:\\src", "", "", "", 1, nullptr};
  EXPECT_EQ(qncmdln_build(&s, small, sizeof small), 9005);
  EXPECT_STREQ(small, "");  // no half line
  EXPECT_EQ(qncmdln_build(nullptr, small, sizeof small), 9003);
  (void)rc;
}

}  // namespace
