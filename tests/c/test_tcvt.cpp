#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "c/tcvt.h"
#include "c/val_logcap.h"

namespace {

// An integer slot of any width read back as a wide value.
long long int_of(unsigned type, const void* slot) {
  switch (type) {
    case VAL_CHAR: return *(const signed char*)slot;
    case VAL_UCHAR: return *(const unsigned char*)slot;
    case VAL_SHORT: return *(const int16_t*)slot;
    case VAL_USHORT: return *(const uint16_t*)slot;
    case VAL_UINT: case VAL_ULONG: return *(const uint32_t*)slot;
    default: return *(const int32_t*)slot;
  }
}

// src converted into an integer (or boolean, colour) slot, read back wide.
long long as_int(unsigned type, unsigned srctype, const void* src) {
  int64_t slot = 0x5A5A5A5A;
  EXPECT_EQ(tcvt(type, &slot, 0, srctype, src), 0);
  return int_of(type, &slot);
}

std::string text_of(unsigned type, const void* v, unsigned size = 64, int want = 0) {
  char buf[64];
  EXPECT_EQ(tcvt(VAL_STR, buf, size, type, v), want);
  return buf;
}

unsigned color_of(const char* s, std::string* log = nullptr) {
  unsigned c = 0x123456;
  std::string l = val_capture_log([&] { EXPECT_EQ(tcvt(VAL_COLOR, &c, 0, VAL_STR, s), 0); });
  if (log) *log = l;
  return c;
}

}  // namespace

TEST(TcvtText, IntegersInBaseZeroAndWidthLimits) {
  // read as a 32-bit long (saturating there), then narrowed to the slot
  const struct { unsigned type; const char* text; long long want; } cases[] = {
      {VAL_INT, "0x1F", 31}, {VAL_INT, "010", 8}, {VAL_INT, "abc", 0}, {VAL_INT, "  -42xyz", -42},
      {VAL_INT, "", 0}, {VAL_INT, "99999999999", INT32_MAX}, {VAL_LONG, "-99999999999", INT32_MIN},
      {VAL_INT, "0xFFFFFFFF", INT32_MAX}, {VAL_ULONG, "0XFFFFFFFF", UINT32_MAX},
      {VAL_UINT, "4294967296", UINT32_MAX}, {VAL_CHAR, "127", 127}, {VAL_CHAR, "128", -128},
      {VAL_UCHAR, "256", 0}, {VAL_SHORT, "0x8000", INT16_MIN}, {VAL_USHORT, "65537", 1},
      // negative into unsigned: the two's complement of the width
      {VAL_UINT, "-1", UINT32_MAX}, {VAL_UCHAR, "-1", 255}, {VAL_USHORT, "-2", 65534},
      {VAL_ULONG, "-4294967296", UINT32_MAX}};
  for (const auto& c : cases) EXPECT_EQ(as_int(c.type, VAL_STR, c.text), c.want) << c.text << " as " << c.type;
}

TEST(TcvtText, RealsAndBooleans) {
  double d = 1;
  float f = 1;
  EXPECT_EQ(tcvt(VAL_DOUBLE, &d, 0, VAL_STR, "2.5e3"), 0);
  EXPECT_DOUBLE_EQ(d, 2500.0);
  EXPECT_EQ(tcvt(VAL_FLOAT, &f, 0, VAL_STR, "1e300"), 0);
  EXPECT_EQ(f, HUGE_VALF);
  for (const char* t : {"on", "ON", "oN", "Yes", "y", "true", "T", "1", "1abc"})
    EXPECT_EQ(as_int(VAL_BOOL, VAL_STR, t), 1) << t;
  for (const char* t : {"off", "no", "0", "", "o", "n", " yes", "2", "false"}) EXPECT_EQ(tcvt_str_to_bool(t), 0) << t;
}

TEST(TcvtNumbers, BetweenTypes) {
  int32_t m1 = -1, rrggbb = 0x112233;
  double d = -3.99, big = 1e20;
  unsigned c = val_rgb(0x11, 0x22, 0x33);
  EXPECT_EQ(as_int(VAL_UCHAR, VAL_INT, &m1), 255);
  EXPECT_EQ(as_int(VAL_INT, VAL_DOUBLE, &d), -3);
  EXPECT_EQ(as_int(VAL_CHAR, VAL_DOUBLE, &big), 127);  // saturates instead of an undefined conversion
  big = -big;
  EXPECT_EQ(as_int(VAL_SHORT, VAL_DOUBLE, &big), INT16_MIN);
  EXPECT_EQ(as_int(VAL_BOOL, VAL_INT, &m1), 1);
  EXPECT_EQ(as_int(VAL_COLOR, VAL_LONG, &rrggbb), (long long)c);
  EXPECT_EQ(as_int(VAL_ULONG, VAL_COLOR, &c), 0x112233);
}

TEST(TcvtNumbers, UnsupportedPairs) {
  int32_t i = 5, out = 0;
  std::string log = val_capture_log([&] {
    EXPECT_EQ(tcvt(VAL_INT, &out, 0, VAL_COLOR, &i), 9013);
    EXPECT_EQ(tcvt(VAL_INT, &out, 0, VAL_ENUM, &i), 9013);
    EXPECT_EQ(tcvt(VAL_COLOR, &out, 0, VAL_INT, &i), 9013);
    EXPECT_EQ(tcvt(VAL_ENUM, &out, 0, VAL_STR, "1"), 9013);
    EXPECT_EQ(tcvt(VAL_INT, nullptr, 0, VAL_STR, "1"), 9003);
  });
  EXPECT_EQ(out, 0);
  EXPECT_EQ(val_missing(log, {{"Not supported type conversion - srctype: 0XE0, desttype: 0X30.", 9013},
                           {"Invalid param - dest: ", 9003}}), "") << log;
}

TEST(TcvtToText, FormatsAndCuts) {
  signed char sc = -128;
  int16_t s = -32768;
  uint32_t u = 4294967295u;
  int32_t yes = 1, no = 0;
  float f = 0.1f;
  double d = 1.0 / 3;
  unsigned c = val_rgb(1, 2, 255);
  EXPECT_EQ(text_of(VAL_CHAR, &sc), "-128");
  EXPECT_EQ(text_of(VAL_UCHAR, &sc), "128");
  EXPECT_EQ(text_of(VAL_SHORT, &s), "-32768");
  EXPECT_EQ(text_of(VAL_UINT, &u), "4294967295");
  EXPECT_EQ(text_of(VAL_BOOL, &yes), "Yes");
  EXPECT_EQ(text_of(VAL_BOOL, &no), "No");
  EXPECT_EQ(text_of(VAL_FLOAT, &f), "0.100000001490116");
  EXPECT_EQ(text_of(VAL_DOUBLE, &d), "0.333333333333333");
  EXPECT_EQ(text_of(VAL_COLOR, &c), "rgb:1,2,255");
  int32_t n = 12345;
  std::string log = val_capture_log([&] {
    EXPECT_EQ(text_of(VAL_BOOL, &yes, 3, 9005), "Ye");
    EXPECT_EQ(text_of(VAL_INT, &n, 5, 9005), "1234");
    EXPECT_EQ(text_of(VAL_STR, "abcdef", 4, 9005), "abc");
  });
  EXPECT_EQ(val_missing(log, {{"mox_strcpy() failed - size: 3, src[bool]: `Yes'.", 9005},
                           {"mox_strcpy() failed - size: 5, srcp: 5 `12345'.", 9005}}), "") << log;
}

TEST(TcvtColour, EveryForm) {
  const struct { const char* text; unsigned want; } cases[] = {
      {"white", val_rgb(255, 255, 255)}, {"  Grey50\t", val_rgb(127, 127, 127)},
      {"MAGENTA4", val_rgb(139, 0, 139)}, {"yellow4", val_rgb(139, 139, 0)}, {"rgb:1,2,3", val_rgb(1, 2, 3)},
      {"RGB: 1 , 2 , 3", val_rgb(1, 2, 3)}, {"rgb:1 2 3", val_rgb(1, 2, 3)}, {"#0000FF", val_rgb(0, 0, 255)},
      {" #ff8001 ", val_rgb(255, 128, 1)}, {"sys:window", GetSysColor(COLOR_WINDOW)},
      {"SYS: 3dHiLight ", GetSysColor(COLOR_3DHILIGHT)}, {"sys:infobk", GetSysColor(COLOR_INFOBK)}};
  for (const auto& c : cases) EXPECT_EQ(color_of(c.text), c.want) << c.text;
}

TEST(TcvtColour, BadTextsGiveBlackAndLog) {
  const struct { const char* text; const char* msg; } cases[] = {
      {"purple", "Invalid color [purple]."}, {"rgb:1,2", "Invalid rgb color [rgb:1,2]."},
      {"rgb:256,1,1", "Invalid rgb color [rgb:256,1,1]."}, {"sys:nosuch", "Invalid sys color [sys:nosuch]."},
      {"#12345G", "Invalid color [#12345G]."}, {"#1234567", "Invalid color [#1234567]."}, {"", "Invalid color []."}};
  for (const auto& c : cases) {
    std::string log;
    EXPECT_EQ(color_of(c.text, &log), 0u) << c.text;
    EXPECT_TRUE(val_logged(log, c.msg, 9003)) << log;
  }
  unsigned col = 5;
  std::string log = val_capture_log([&] { EXPECT_EQ(tcvt_str_to_color(nullptr, &col), 0); });
  EXPECT_EQ(col, 0u);
  EXPECT_TRUE(val_logged(log, "`str' is NUL.", 9003)) << log;
}

TEST(TcvtHex, BothDirections) {
  unsigned char data[4] = {};
  unsigned n = 99;
  EXPECT_EQ(tcvt_hex_to_data("0a:FF:1", data, sizeof data, &n), 0);  // the odd digit is dropped
  ASSERT_EQ(n, 2u);
  EXPECT_EQ(memcmp(data, "\x0A\xFF", 2), 0);
  EXPECT_EQ(tcvt_hex_to_data("deadBEEF", data, 4, &n), 0);
  EXPECT_EQ(memcmp(data, "\xDE\xAD\xBE\xEF", 4), 0);
  char buf[8];
  std::string log = val_capture_log([&] {
    EXPECT_EQ(tcvt_hex_to_data("0102030405", data, 4, &n), 9005);
    EXPECT_EQ(tcvt_hexdigit('g'), -1);
    EXPECT_EQ(tcvt_data_to_hex(buf, 8, data, 4), 9005);
  });
  EXPECT_EQ(n, 4u);
  EXPECT_STREQ(buf, "DEADBE");
  EXPECT_EQ(val_missing(log, {{"Buf too small - strlen: 10, datamaxsize: 4.", 9005},
                           {"Not hex digit - c: `g'.", 9003},
                           {"Buf too small - datasize: 4, strsize: 8.", 9005}}), "") << log;
}
