#include <gtest/gtest.h>

#include "rex/strmatch.h"
#include "rex_test.h"

namespace {

int smatch(const char* patt, int flags, const char* text) {
  strm sm;
  strm_clear(&sm);
  int rc = strm_init(&sm, patt, flags);
  int m = rc ? 0 : strm_match(&sm, text);
  strm_free(&sm);
  return rc ? -rc : m;
}

TEST(Strm, PlainPatterns) {
  rex_table({{"a?c", 0, "abc ac !abbc"}, {"??", 0, "~ !abc"}, {"a\\?c", 0, "a?c !ac !abc"}, {"\\*", 0, "* !x"},
             {"ab\\", 0, "ab"}, {"\\\\", 0, "\\"}, {"^a", 0, "^a !a"}, {"iso*", 0, "iso-date !ISO-date"},
             {"iso*", STRM_ICASE, "ISO-date"}, {"[!0-9]*", 0, "x1 !1x"}, {"*", 0, "a/b\\c"}},
            [](const char* p, int f, const char* t) { return smatch(p, f, t); });
}

TEST(Strm, AgreesWithReferenceAndBuildsNoEmptyLoop) {
  strm sm;
  strm_clear(&sm);
  rex_ref ref;
  ref.esc = '\\';
  ref.opt_q = true;
  int hits = rex_cross(
      3, {"a", "b", "*", "?", "??", "[ab]", "[!b]", "\\?", "\\*", "\\", "^"}, {"a", "b", "B", "?", "*", "^", "\\"},
      [&](const std::string& p) { return strm_init(&sm, p.c_str(), 0) ? nullptr : &sm.re; },
      [&](const std::string& p, const std::string& t) { return ref.match(p.c_str(), t.c_str()); });
  EXPECT_GT(hits, 1000);
  strm_free(&sm);
}

}  // namespace
