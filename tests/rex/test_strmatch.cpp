#include "rex/strmatch.h"

#include "rex_test.h"

namespace {

TEST(Strm, PlainPatterns) {
  rex_table({{"a?c", 0, "abc ac !abbc"}, {"??", 0, "~ !abc"}, {"a\\?c", 0, "a?c !ac !abc"}, {"ab\\", 0, "ab"},
             {"\\\\", 0, "\\"}, {"^a", 0, "^a !a"}, {"iso*", 0, "iso-date !ISO-date"}, {"iso*", STRM_ICASE, "ISO-date"}},
            [](const char* p, int f, const char* t) { return rex_once<strm>(strm_init, strm_match, p, f, t); });
}

}  // namespace
