#include "c/str.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "c/log_capture.h"

namespace {

// One bounded operation into a fresh buffer: its text, then its code.
template <typename F>
std::string run(unsigned size, F op) {
  char buf[40];
  memset(buf, '#', sizeof buf);
  int err = -1;
  op(buf, size, &err);
  EXPECT_EQ(buf[size], '#') << "written past the size";
  return std::string(buf) + "|" + std::to_string(err);
}

TEST(StrCopy, Limits) {
  auto cpy = [](const char* s) { return [s](char* b, unsigned n, int* e) { mox_strcpy(b, n, s, e); }; };
  EXPECT_EQ(run(4, cpy("abcdef")), "abc|9005");
  EXPECT_EQ(run(7, cpy("abcdef")), "abcdef|0");
  EXPECT_EQ(run(6, cpy("abcdef")), "abcde|9005");
  EXPECT_EQ(run(1, cpy("abc")), "|9005");
  EXPECT_EQ(run(8, cpy(nullptr)), "|0");
  auto ncpy = [](const char* s, unsigned k) {
    return [s, k](char* b, unsigned n, int* e) { mox_strncpy(b, n, s, k, e); };
  };
  EXPECT_EQ(run(8, ncpy("xyz!", 3)), "xyz|0");  // need not be terminated within n
  EXPECT_EQ(run(8, ncpy("ab", 10)), "ab|0");
  EXPECT_EQ(run(4, ncpy("abcdef", 3)), "abc|0");
  EXPECT_EQ(run(4, ncpy("abcdef", 4)), "abc|9005");
  EXPECT_EQ(run(8, ncpy("abc", 0)) + run(8, ncpy(nullptr, 5)), "|0|0");
  wchar_t w[8];
  int err = -1;
  EXPECT_STREQ(mox_wcscpy(w, 4, L"abcd", &err), L"abc");
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(mox_wcscpy(w, 5, L"abcd", &err), L"abcd");
  EXPECT_EQ(err, 0);
}

TEST(StrCopy, BadDestinationLoggedCutNot) {
  char buf[4] = "xyz";
  int err = 0;
  LogCapture log;
  mox_strcpy(buf, 0, "a", &err);
  EXPECT_EQ(err, 9003);
  EXPECT_STREQ(buf, "xyz");
  EXPECT_TRUE(log.has(" 9003 ") && log.has("Invalid param - dest: ") && log.has(", size: 0.")) << log.done();
  LogCapture quiet;
  mox_strcpy(buf, sizeof buf, "abcdef", &err);
  EXPECT_EQ(err, 9005);
  EXPECT_EQ(quiet.done(), " ");
}

TEST(StrCat, LimitsAndRefusal) {
  auto cat = [](const char* d, const char* s) {
    return [d, s](char* b, unsigned n, int* e) { strcpy(b, d), mox_strcat(b, n, s, e); };
  };
  auto ncat = [](const char* d, const char* s, unsigned k) {
    return [d, s, k](char* b, unsigned n, int* e) { strcpy(b, d), mox_strncat(b, n, s, k, e); };
  };
  EXPECT_EQ(run(8, cat("abc", "defg")), "abcdefg|0");
  EXPECT_EQ(run(8, cat("abc", "defgh")), "abcdefg|9005");
  EXPECT_EQ(run(8, cat("abcdefg", "x")), "abcdefg|9005");
  EXPECT_EQ(run(8, cat("abc", nullptr)) + run(8, cat("abc", "")), "abc|0abc|0");
  EXPECT_EQ(run(6, ncat("ab", "cdefgh", 3)), "abcde|0");
  EXPECT_EQ(run(6, ncat("abcd", "efgh", 2)), "abcde|9005");
  EXPECT_EQ(run(6, ncat("ab", "xyz", 0)), "ab|0");
  char buf[8];
  memset(buf, 'a', sizeof buf);
  int err = 0;
  LogCapture log;
  mox_strcat(buf, 8, "x", &err);
  EXPECT_EQ(err, 9003);
  EXPECT_EQ(buf[7], 'a');
  EXPECT_TRUE(log.has("`dest' length exceeds size - dest: ") && log.has(", dlen: 8, size: 8.")) << log.done();
}

TEST(StrFormat, ExactFitAndCut) {
  auto fmt = [](int v) { return [v](char* b, unsigned n, int* e) { *e = mox_snprintf(b, n, "%s-%d", "ab", v); }; };
  EXPECT_EQ(run(6, fmt(12)), "ab-12|0");
  EXPECT_EQ(run(6, fmt(123)), "ab-12|9005");
  char buf[8];
  LogCapture log;
  EXPECT_EQ(mox_snprintf(nullptr, 8, "x"), 9003);
  const char* nofmt = nullptr;
  EXPECT_EQ(mox_snprintf(buf, sizeof buf, nofmt), 9003);
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(log.has("Invalid param - str: ") && log.has(", size: 8, format: ")) << log.done();
}

TEST(StrDup, Counted) {
  int err = -1;
  char* p = mox_strndup("abcdef", 3, &err);
  EXPECT_STREQ(p, "abc");
  free(p);
  EXPECT_EQ(mox_strndup(nullptr, 5, &err), nullptr);
  EXPECT_EQ(err, 0);
}

TEST(StrWide, ConvertsWithLimits) {
  wchar_t w[8];
  int err = -1;
  EXPECT_STREQ(mox_mbstowcs(w, 8, CP_ACP, "abcdefgh", 3, &err), L"abc");
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "abc", -1, &err), L"abc");  // exact fit with the zero
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "abcd", 4, &err), L"abc");  // fills it, no zero
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "", -1, &err), L"");
  EXPECT_EQ(err, 0);
  LogCapture log;
  EXPECT_STREQ(mox_mbstowcs(w, 4, CP_ACP, "abcdefgh", -1, &err), L"abc");
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(mox_mbstowcs(w, 8, 12345, "abc", -1, &err), L"");  // no such code page
  EXPECT_TRUE(err != 0 && err != 9005);
  EXPECT_TRUE(log.has("Buf too small - wstr_size: 4, mbstr: `abcdefgh'.")) << log.done();
  EXPECT_TRUE(log.has("MultiByteToWideChar() failed - wstr_size: 8, mbstr: `abc'.")) << log.done();
}

TEST(StrSearch, LastOccurrence) {
  const char* s = "abcabcab";
  EXPECT_EQ(mox_strrstr(s, "abc"), s + 3);
  EXPECT_EQ(mox_strrstr(s, "b"), s + 7);
  EXPECT_EQ(mox_strrstr(s, "ca"), s + 5);
  EXPECT_EQ(mox_strrstr(s, ""), s);
  EXPECT_EQ(mox_strrstr(s, "abcabcab"), s);
  EXPECT_EQ(mox_strrstr(s, "abcabcabc"), nullptr);
  LogCapture log;
  EXPECT_EQ(mox_strrstr(static_cast<const char*>(nullptr), "ab"), nullptr);
  EXPECT_TRUE(log.has("Invalid param - str: `NUL', substr: `ab'.")) << log.done();
}

TEST(StrSpace, SkipTailTrim) {
  unsigned n = 99;
  const char* s = " \t\n\v\f\rab c \r\n";
  const char* p = mox_skip_ws(s, (unsigned)strlen(s), &n);
  EXPECT_EQ(p, s + 6);
  mox_ws_tail(p, n, &n);
  EXPECT_EQ(std::string(p, n), "ab c");
  const char* t = "ab  x";
  EXPECT_EQ(mox_skip_ws(t + 2, 2, &n), t + 4);  // only len bytes are looked at
  EXPECT_EQ(n, 0u);
  char a[] = " \t both \r\n", b[] = "  left", c[] = "right \t", e[] = "  ptr ", u[] = "abc-Xyz_09";
  EXPECT_EQ(std::string(mox_trim(a)) + "|" + mox_ltrim(b) + "|" + mox_rtrim(c), "both|left|right");
  EXPECT_EQ(mox_ltrim_ptr(e), e + 2);
  EXPECT_STREQ(e, "  ptr ");
  EXPECT_STREQ(mox_strupr(u), "ABC-XYZ_09");
  EXPECT_EQ(mox_is_blank(nullptr) + mox_is_blank("") + mox_is_blank(" \t\r\n\v\f"), 3);
  EXPECT_EQ(mox_is_blank("  x "), 0);
  LogCapture log;
  EXPECT_EQ(mox_trim(nullptr), nullptr);
  mox_skip_ws(nullptr, 3, &n);
  EXPECT_TRUE(log.has("`str' is NUL.") && log.has("Invalid param - str: ") && log.has(", len: ")) << log.done();
}

TEST(StrEscape, UnescapeEverySequence) {
  auto un = [](const char* s) { return [s](char* b, unsigned n, int* e) { *e = mox_str_unescape(b, n, s); }; };
  EXPECT_EQ(run(32, un("\\a\\b\\f\\n\\r\\t\\v\\w")), "\a\b\f\n\r\t\v |0");
  EXPECT_EQ(run(32, un("\\\\ \\\" \\q end\\")), "\\ \" q end\\|0");  // a lone final backslash stays
  EXPECT_EQ(run(32, un(nullptr)), "|0");
  EXPECT_EQ(run(4, un("a\\tb")), "a\tb|0");
  EXPECT_EQ(run(3, un("a\\tb")), "a\t|9005");
}

TEST(StrEscape, RoundTripsAndCutsInsideAnEscape) {
  auto esc = [](const char* s) { return [s](char* b, unsigned n, int* e) { *e = mox_str_escape(b, n, s); }; };
  EXPECT_EQ(run(32, esc("\a\b\t\n\v\f\r\\x")), "\\a\\b\\t\\n\\v\\f\\r\\\\x|0");
  EXPECT_EQ(run(5, esc("ab\n")), "ab\\n|0");
  EXPECT_EQ(run(4, esc("ab\n")), "ab\\|9005");  // room ends after the backslash
  EXPECT_EQ(run(5, esc("ab\ncd")), "ab\\n|9005");
  char buf[64], back[64];
  for (const char* s : {"C:\\dir\\file", "tab\there\r\n", "\\\\", "", "\v\f end \\"}) {
    ASSERT_EQ(mox_str_escape(buf, sizeof buf, s), 0) << s;
    ASSERT_EQ(mox_str_unescape(back, sizeof back, buf), 0) << buf;
    EXPECT_STREQ(back, s);
  }
  std::string src = std::string(60, 'x') + "TAIL";
  LogCapture log;
  EXPECT_EQ(mox_str_unescape(buf, 4, src.c_str()), 9005);
  EXPECT_TRUE(log.has(" 9005 ") && log.has("`dest' is too small [4] - src: `" + std::string(50, 'x') + "'."))
      << log.done();
}

TEST(StrStrip, RemovesEveryWhiteSpace) {
  auto strip = [](const char* s) { return [s](char* b, unsigned n, int* e) { mox_strip_ws(b, n, s, e); }; };
  EXPECT_EQ(run(8, strip(" a\tb\nc\vd\fe\rf g ")), "abcdefg|0");
  EXPECT_EQ(run(8, strip("a b c d e f g h")), "abcdefg|9005");
  EXPECT_EQ(run(8, strip(nullptr)), "|0");
}

}  // namespace
