#include "c/str.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "c/log_capture.h"

namespace {

using Op = std::function<void(char*, unsigned, int*)>;

// One bounded operation into a fresh buffer: its text, then its code.
std::string run(unsigned size, const Op& op) {
  char buf[40];
  memset(buf, '#', sizeof buf);
  int err = -1;
  op(buf, size, &err);
  EXPECT_EQ(buf[size], '#') << "written past the size";
  return std::string(buf) + "|" + std::to_string(err);
}

Op cpy(const char* s) { return [s](char* b, unsigned n, int* e) { mox_strcpy(b, n, s, e); }; }
Op ncpy(const char* s, unsigned k) { return [=](char* b, unsigned n, int* e) { mox_strncpy(b, n, s, k, e); }; }
Op cat(const char* d, const char* s) { return [=](char* b, unsigned n, int* e) { strcpy(b, d), mox_strcat(b, n, s, e); }; }
Op ncat(const char* d, const char* s, unsigned k) {
  return [=](char* b, unsigned n, int* e) { strcpy(b, d), mox_strncat(b, n, s, k, e); };
}
Op fmt(int v) { return [v](char* b, unsigned n, int* e) { *e = mox_snprintf(b, n, "%s-%d", "ab", v); }; }
Op unesc(const char* s) { return [s](char* b, unsigned n, int* e) { *e = mox_str_unescape(b, n, s); }; }
Op esc(const char* s) { return [s](char* b, unsigned n, int* e) { *e = mox_str_escape(b, n, s); }; }
Op strip(const char* s) { return [s](char* b, unsigned n, int* e) { mox_strip_ws(b, n, s, e); }; }

TEST(Str, BoundedOperationsFitExactlyAndCut) {
  const struct {
    unsigned size;
    Op op;
    const char* want;
  } cases[] = {
      {7, cpy("abcdef"), "abcdef|0"}, {6, cpy("abcdef"), "abcde|9005"}, {1, cpy("abc"), "|9005"},
      {8, cpy(nullptr), "|0"}, {4, ncpy("abcdef", 3), "abc|0"},
      {4, ncpy("abcdef", 4), "abc|9005"}, {8, ncpy(nullptr, 5), "|0"},
      {8, cat("abc", "defg"), "abcdefg|0"}, {8, cat("abc", "defgh"), "abcdefg|9005"},
      {8, cat("abcdefg", "x"), "abcdefg|9005"}, {8, cat("abc", nullptr), "abc|0"},
      {6, ncat("ab", "cdefgh", 3), "abcde|0"}, {6, ncat("abcd", "efgh", 2), "abcde|9005"},
      {6, fmt(12), "ab-12|0"}, {6, fmt(123), "ab-12|9005"},
      {32, unesc("\\a\\b\\f\\n\\r\\t\\v\\w"), "\a\b\f\n\r\t\v |0"},
      {32, unesc("\\\\ \\\" \\q end\\"), "\\ \" q end\\|0"},  // a lone final backslash stays
      {4, unesc("a\\tb"), "a\tb|0"}, {3, unesc("a\\tb"), "a\t|9005"}, {32, unesc(nullptr), "|0"},
      {32, esc("\a\b\t\n\v\f\r\\x"), "\\a\\b\\t\\n\\v\\f\\r\\\\x|0"}, {5, esc("ab\n"), "ab\\n|0"},
      {4, esc("ab\n"), "ab\\|9005"},  // room ends after the backslash
      {8, strip(" a\tb\nc\vd\fe\rf g "), "abcdefg|0"}, {8, strip("a b c d e f g h"), "abcdefg|9005"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.size, c.op), c.want) << c.want;
  wchar_t w[8];
  int err = -1;
  EXPECT_STREQ(mox_wcscpy(w, 4, L"abcd", &err), L"abc");
  EXPECT_EQ(err, 9005);
}

TEST(Str, BadArgumentsAreLoggedCutsAreNot) {
  char buf[8];
  memset(buf, 'a', sizeof buf);  // not terminated within its size
  int err = 0;
  LogCapture log;
  mox_strcat(buf, 8, "x", &err);
  EXPECT_EQ(err, 9003);
  EXPECT_TRUE(log.has(" 9003 ") && log.has("`dest' length exceeds size - dest: ") && log.has(", dlen: 8, size: 8."))
      << log.done();
  LogCapture quiet;
  mox_strcpy(buf, 4, "abcdef", &err);
  EXPECT_EQ(err, 9005);
  EXPECT_EQ(quiet.done(), " ");
}

TEST(Str, WideSearchAndSpace) {
  int err = -1;
  wchar_t w[8];
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "abc", -1, &err), L"abc");  // exact fit with the zero
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "abcd", 4, &err), L"abc");  // fills it, no zero
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(mox_mbstowcs(w, 8, 12345, "abc", -1, &err), L"");  // no such code page
  EXPECT_TRUE(err != 0 && err != 9005);
  const char* s = "abcabcab";
  EXPECT_EQ(mox_strrstr(s, "abc"), s + 3);
  EXPECT_EQ(mox_strrstr(s, "abcabcabc"), nullptr);
  unsigned n = 99;
  const char* t = " \t\n\v\f\rab c \r\n";
  const char* q = mox_skip_ws(t, (unsigned)strlen(t), &n);
  mox_ws_tail(q, n, &n);
  EXPECT_EQ(std::string(q, n), "ab c");
  char a[] = " \t both \r\n", b[] = "  left", c[] = "right \t", u[] = "abc-Xyz_09";
  EXPECT_EQ(std::string(mox_trim(a)) + "|" + mox_ltrim(b) + "|" + mox_rtrim(c) + "|" + mox_strupr(u),
            "both|left|right|ABC-XYZ_09");
}

}  // namespace
