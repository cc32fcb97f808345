#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "c/val.h"
#include "c/val_logcap.h"

namespace {
// Slots with their size fields; str() shows contents and sizes as "value/size..."
struct heap_text {
  char* s = nullptr;
  unsigned max = 0;
  ~heap_text() { val_free(VAL_STR, &s, nullptr, &max); }
  std::string str() const { return std::string(s ? s : "NUL") + "/" + std::to_string(max); }
};
struct heap_data {
  unsigned char* p = nullptr;
  unsigned size = 0, max = 0;
  ~heap_data() { val_free(VAL_DATA, &p, &size, &max); }
  std::string str() const {
    char hex[64];
    val_to_str(hex, sizeof hex, VAL_DATA, p, size);
    return std::string(p ? hex : "NUL") + "/" + std::to_string(size) + "/" + std::to_string(max);
  }
};
}  // namespace

TEST(ValClear, EmptyValuesAndCapacities) {
  unsigned char c[2] = {7, 7};
  EXPECT_EQ(val_clear(VAL_UCHAR, c, nullptr, nullptr), 0);
  EXPECT_EQ(c[0] * 10 + c[1], 7);  // only the slot's width
  char fixed[8] = "abc";
  unsigned fmax = 8, bsize = 4, bmax = 4;
  EXPECT_EQ(val_clear(VAL_STRBUF, fixed, nullptr, &fmax), 0);
  EXPECT_EQ(std::string(fixed) + "/" + std::to_string(fmax), "/8");
  unsigned char bytes[4] = {1, 2, 3, 4};
  EXPECT_EQ(val_clear(VAL_DATABUF, bytes, &bsize, &bmax), 0);
  EXPECT_EQ(bsize * 100 + bmax * 10 + bytes[3], 44u);  // size 0, capacity and bytes kept
  heap_data h;
  h.p = (unsigned char*)malloc(3);
  h.size = h.max = 3;
  EXPECT_EQ(val_free(VAL_DATA, &h.p, &h.size, &h.max), 0);
  EXPECT_EQ(h.str(), "NUL/0/0");
  int32_t i = 1;
  std::string log = val_capture_log([&] {
    EXPECT_EQ(val_clear(0x33, &i, nullptr, nullptr), 9003);
    EXPECT_EQ(val_free(VAL_INT, nullptr, nullptr, nullptr), 9003);
  });
  EXPECT_EQ(i, 1);
  EXPECT_EQ(val_missing(log, {{"Invalid valtype [0X33].", 9003}, {"`val' is NUL.", 9003}}), "") << log;
}

TEST(ValSet, HeapText) {
  heap_text t;
  int32_t n = -123456, yes = 1;
  double d = 0.5;
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_INT, &n, 0), 0);
  EXPECT_EQ(t.str(), "-123456/12");
  char* before = t.s;
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_BOOL, &yes, 0), 0);  // 4 of 12: reused
  EXPECT_EQ(t.str(), "Yes/12");
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, "hi", 0), 0);
  char same[] = "hi";
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, same, 0), 0);
  EXPECT_EQ(t.s, before);
  EXPECT_EQ(t.str(), "hi/12");
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, "twelve chars", 0), 0);  // 13 bytes: new buffer
  EXPECT_EQ(t.str(), "twelve chars/13");
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_DOUBLE, &d, 0), 0);  // needs 65
  EXPECT_EQ(t.str(), "0.5/65");
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STRBUF, "a longer text", 0), 0);
  EXPECT_EQ(t.str(), "a longer text/65");
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, "x", 0), 0);
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, std::string(70, 'y').c_str(), 0), 0);
  EXPECT_EQ(t.max, 71u);
  ASSERT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_STR, nullptr, 0), 0);  // absent source
  EXPECT_EQ(t.str(), "NUL/0");
  std::string log = val_capture_log([&] { EXPECT_EQ(val_set(VAL_STR, &t.s, nullptr, &t.max, VAL_ENUM, &n, 0), 9013); });
  EXPECT_TRUE(val_logged(log, "Not supported type convertion - valtype: 0X82, srctype: 0XD0.", 9013)) << log;
}

TEST(ValSet, ScalarsFixedTextAndPointers) {
  int32_t i = 0;
  EXPECT_EQ(val_set(VAL_INT, &i, nullptr, nullptr, VAL_STR, "0x10", 0), 0);
  EXPECT_EQ(i, 16);
  char buf[4] = "";
  unsigned max = sizeof buf;
  EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, &max, VAL_INT, &i, 0), 0);
  EXPECT_STREQ(buf, "16");
  i = 12345;
  void* slot = &i;
  std::string log = val_capture_log([&] {
    EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, &max, VAL_INT, &i, 0), 9005);
    EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, &max, VAL_STRBUF, "abcd", 0), 9005);
    EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, nullptr, VAL_INT, &i, 0), 9003);
    EXPECT_EQ(val_set(VAL_PTR, &slot, nullptr, nullptr, VAL_PTR, &i, 0), 0);  // same pointer
    EXPECT_EQ(val_set(VAL_PTR, &slot, nullptr, nullptr, VAL_PTR, &max, 0), 9013);
  });
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(val_missing(log, {{"mox_strcpy() failed - size: 4, isrc: 4 `abcd'.", 9005},
                           {"`valmaxsize' is NUL.", 9003}, {"Not supported copy - srctype: 0XC2.", 9013}}), "") << log;
}

TEST(ValSet, Bytes) {
  heap_data h;
  ASSERT_EQ(val_set(VAL_DATA, &h.p, &h.size, &h.max, VAL_STR, "01 02 a0 ff", 0), 0);
  EXPECT_EQ(h.str(), "0102A0FF/4/6");  // capacity: text length / 2 + 1
  unsigned char* before = h.p;
  ASSERT_EQ(val_set(VAL_DATA, &h.p, &h.size, &h.max, VAL_DATABUF, "\x09\x08\x07", 3), 0);
  EXPECT_EQ(h.p, before);
  EXPECT_EQ(h.str(), "090807/3/6");
  unsigned char fixed[2] = {};
  unsigned fsize = 0, fmax = 2;
  ASSERT_EQ(val_set(VAL_DATABUF, fixed, &fsize, &fmax, VAL_STR, "beef", 0), 0);
  std::string log = val_capture_log([&] {
    EXPECT_EQ(val_set(VAL_DATABUF, fixed, &fsize, &fmax, VAL_DATA, h.p, h.size), 9005);
    EXPECT_EQ(val_set(VAL_DATABUF, fixed, &fsize, &fmax, VAL_STR, "010203", 0), 9005);
    EXPECT_EQ(val_set(VAL_DATABUF, fixed, &fsize, nullptr, VAL_STR, "01", 0), 9003);
    EXPECT_EQ(val_set(VAL_DATA, &h.p, nullptr, &h.max, VAL_STR, "01", 0), 9003);
  });
  EXPECT_EQ(fsize * 1000 + fixed[0], 2190u);  // still 2 bytes, 0xBE first
  EXPECT_EQ(val_missing(log, {{"Buf too small - valsize: 2, srcsize.", 9005}, {"Invalid param - valsize: ", 9003},
                           {"`valsize' is NUL.", 9003}}), "") << log;
}

TEST(ValCmp, NumbersTypesAndAbsentValues) {
  int32_t m1 = -1, p1 = 1;
  double d1 = 1.5, d2 = 2.5;
  EXPECT_LT(val_cmp(VAL_INT, &m1, 0, VAL_INT, &p1, 0), 0);
  EXPECT_GT(val_cmp(VAL_UINT, &m1, 0, VAL_UINT, &p1, 0), 0);
  EXPECT_GT(val_cmp(VAL_COLOR, &m1, 0, VAL_COLOR, &p1, 0), 0);
  EXPECT_GT(val_cmp(VAL_UCHAR, &m1, 0, VAL_UCHAR, &p1, 0), 0);
  EXPECT_LT(val_casecmp(VAL_DOUBLE, &d1, 0, VAL_DOUBLE, &d2, 0), 0);
  EXPECT_EQ(val_cmp(VAL_INT, &p1, 0, VAL_LONG, &p1, 0), 1);  // types differ: unequal whatever the contents
  EXPECT_EQ(val_cmp(VAL_STR, "x", 0, VAL_STRBUF, "x", 0), 1);
  EXPECT_EQ(val_cmp(VAL_STR, nullptr, 0, VAL_STR, nullptr, 0), 0);
  EXPECT_LT(val_cmp(VAL_STR, nullptr, 0, VAL_STR, "", 0), 0);
  EXPECT_GT(val_casecmp(VAL_DATA, "", 0, VAL_DATA, nullptr, 0), 0);
  std::string log = val_capture_log([&] { EXPECT_LT(val_cmp(VAL_INT, nullptr, 0, VAL_INT, &p1, 0), 0); });
  EXPECT_TRUE(val_logged(log, "Invalid param - val1: ", 9003)) << log;
}

TEST(ValCmp, TextsAndBytes) {
  EXPECT_LT(val_cmp(VAL_STR, "abc", 0, VAL_STR, "abd", 0), 0);
  EXPECT_EQ(val_cmp(VAL_STR, "abcX", 3, VAL_STR, "abcY", 0), 0);
  EXPECT_LT(val_cmp(VAL_STR, "abcX", 4, VAL_STR, "abcY", 9), 0);
  EXPECT_GT(val_cmp(VAL_STRBUF, "\xE9", 0, VAL_STRBUF, "z", 0), 0);  // bytes, not signed chars
  EXPECT_NE(val_cmp(VAL_STR, "ABC", 0, VAL_STR, "abc", 0), 0);
  EXPECT_EQ(val_casecmp(VAL_STR, "ABC", 0, VAL_STR, "abc", 0), 0);
  EXPECT_EQ(val_casecmp(VAL_STR, "HelloX", 5, VAL_STR, "helloY", 5), 0);
  EXPECT_LT(val_cmp(VAL_DATA, "ab", 2, VAL_DATA, "abc", 3), 0);
  EXPECT_GT(val_cmp(VAL_DATABUF, "b", 1, VAL_DATABUF, "abc", 3), 0);
  EXPECT_LT(val_cmp(VAL_DATA, "a\0a", 3, VAL_DATA, "a\0b", 3), 0);  // zero bytes do not end the data
  EXPECT_EQ(val_casecmp(VAL_DATA, "AB", 2, VAL_DATA, "ab", 2), 0);
}

TEST(ValToStr, RendersAndCuts) {
  char buf[16];
  int32_t n = -17, yes = 1;
  const unsigned char data[] = {0xCA, 0xFE, 0x01};
  EXPECT_EQ(val_to_str(buf, sizeof buf, VAL_INT, &n, 0), 0);
  EXPECT_STREQ(buf, "-17");
  std::string log = val_capture_log([&] {
    EXPECT_EQ(val_to_str(buf, 3, VAL_BOOL, &yes, 0), 9005);
    EXPECT_STREQ(buf, "Ye");
    EXPECT_EQ(val_to_str(buf, 6, VAL_DATABUF, data, 3), 9005);
    EXPECT_STREQ(buf, "CAFE");
    EXPECT_EQ(val_to_str(buf, 4, VAL_STRBUF, "abcdef", 0), 9005);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(val_to_str(buf, sizeof buf, VAL_ENUM, &n, 0), 9013);
    EXPECT_STREQ(buf, "");
  });
  EXPECT_EQ(val_missing(log, {{"mox_strcpy() failed - size: 3, srcp: 3 `Yes'.", 9005},
                           {"Buf too small - datasize: 3, strsize: 6.", 9005}}), "") << log;
}
