#include "c/val.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "c/log_capture.h"

namespace {
// Slots with their size fields; str() shows contents and sizes as "value/size..."
struct heap_text {
  char* s = nullptr;
  unsigned max = 0;
  ~heap_text() { val_free(VAL_STR, &s, nullptr, &max); }
  std::string str() const { return std::string(s ? s : "NUL") + "/" + std::to_string(max); }
  int set(unsigned type, const void* src) { return val_set(VAL_STR, &s, nullptr, &max, type, src, 0); }
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

TEST(ValSet, HeapTextReusesItsBufferWhileItFits) {
  heap_text t;
  int32_t n = -123456, yes = 1;
  double d = 0.5;
  ASSERT_EQ(t.set(VAL_INT, &n), 0);
  EXPECT_EQ(t.str(), "-123456/12");
  char* before = t.s;
  ASSERT_EQ(t.set(VAL_BOOL, &yes), 0);  // 4 of 12: reused
  EXPECT_EQ(t.str(), "Yes/12");
  EXPECT_EQ(t.s, before);
  ASSERT_EQ(t.set(VAL_DOUBLE, &d), 0);  // needs 65: a new buffer
  EXPECT_EQ(t.str(), "0.5/65");
  ASSERT_EQ(t.set(VAL_STR, nullptr), 0);  // absent source
  EXPECT_EQ(t.str(), "NUL/0");
  LogCapture log;
  EXPECT_EQ(t.set(VAL_ENUM, &n), 9013);
  EXPECT_TRUE(log.has(" 9013 ") && log.has("Not supported type convertion - valtype: 0X82, srctype: 0XD0."))
      << log.done();
}

TEST(ValSet, FixedSlotsCutAndBytes) {
  int32_t i = 0;
  EXPECT_EQ(val_set(VAL_INT, &i, nullptr, nullptr, VAL_STR, "0x10", 0), 0);
  EXPECT_EQ(i, 16);
  char buf[4] = "";
  unsigned max = sizeof buf;
  EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, &max, VAL_STRBUF, "abc", 0), 0);  // exact fit
  EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, &max, VAL_STRBUF, "abcd", 0), 9005);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(val_set(VAL_STRBUF, buf, nullptr, nullptr, VAL_INT, &i, 0), 9003);
  void* slot = &i;  // a pointer slot takes only the pointer it holds
  EXPECT_EQ(val_set(VAL_PTR, &slot, nullptr, nullptr, VAL_PTR, &i, 0), 0);
  EXPECT_EQ(val_set(VAL_PTR, &slot, nullptr, nullptr, VAL_PTR, &max, 0), 9013);
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
  EXPECT_EQ(val_set(VAL_DATABUF, fixed, &fsize, &fmax, VAL_DATA, h.p, h.size), 9005);
  EXPECT_EQ(fsize, 2u);
  EXPECT_EQ(fixed[0], 0xBE);
  char hex[6];
  EXPECT_EQ(val_to_str(hex, sizeof hex, VAL_DATABUF, "\xCA\xFE\x01", 3), 9005);
  EXPECT_STREQ(hex, "CAFE");
  ASSERT_EQ(val_clear(VAL_DATABUF, fixed, &fsize, &fmax), 0);
  EXPECT_EQ(fsize * 10 + fmax, 2u);  // the capacity stays
}

TEST(ValCmp, NumbersTextsAndBytes) {
  int32_t m1 = -1, p1 = 1;
  double d1 = 1.5, d2 = 2.5;
  EXPECT_LT(val_cmp(VAL_INT, &m1, 0, VAL_INT, &p1, 0), 0);
  EXPECT_GT(val_cmp(VAL_UINT, &m1, 0, VAL_UINT, &p1, 0), 0);
  EXPECT_LT(val_casecmp(VAL_DOUBLE, &d1, 0, VAL_DOUBLE, &d2, 0), 0);
  EXPECT_EQ(val_cmp(VAL_INT, &p1, 0, VAL_LONG, &p1, 0), 1);  // types differ: unequal whatever the contents
  EXPECT_LT(val_cmp(VAL_STR, nullptr, 0, VAL_STR, "", 0), 0);
  EXPECT_LT(val_cmp(VAL_STR, "abcX", 4, VAL_STR, "abcY", 9), 0);
  EXPECT_GT(val_cmp(VAL_STRBUF, "\xE9", 0, VAL_STRBUF, "z", 0), 0);  // bytes, not signed chars
  EXPECT_EQ(val_casecmp(VAL_STR, "HelloX", 5, VAL_STR, "helloY", 5), 0);
  EXPECT_LT(val_cmp(VAL_DATA, "a\0a", 3, VAL_DATA, "a\0b", 3), 0);  // zero bytes do not end the data
  EXPECT_EQ(val_casecmp(VAL_DATA, "AB", 2, VAL_DATA, "ab", 2), 0);
}
