#include "c/tcvt.h"

#include <windows.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "c/log_capture.h"

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

}  // namespace

TEST(Tcvt, IntegersInBaseZeroAndWidthLimits) {
  // read as a 32-bit long (saturating there), then narrowed to the slot
  const struct { unsigned type; const char* text; long long want; } cases[] = {
      {VAL_INT, "0x1F", 31}, {VAL_INT, "010", 8}, {VAL_INT, "  -42xyz", -42}, {VAL_INT, "99999999999", INT32_MAX},
      {VAL_LONG, "-99999999999", INT32_MIN}, {VAL_ULONG, "0XFFFFFFFF", UINT32_MAX}, {VAL_CHAR, "128", -128},
      {VAL_USHORT, "65537", 1},
      // negative into unsigned: the two's complement of the width
      {VAL_UINT, "-1", UINT32_MAX}, {VAL_ULONG, "-4294967296", UINT32_MAX}};
  for (const auto& c : cases) EXPECT_EQ(as_int(c.type, VAL_STR, c.text), c.want) << c.text << " as " << c.type;
  EXPECT_EQ(as_int(VAL_BOOL, VAL_STR, "oN") + as_int(VAL_BOOL, VAL_STR, "1abc") + tcvt_str_to_bool(" yes"), 2);
  int32_t m1 = -1, rrggbb = 0x112233;
  double big = 1e20, small = -1e20;
  unsigned c = val_rgb(0x11, 0x22, 0x33);
  EXPECT_EQ(as_int(VAL_UCHAR, VAL_INT, &m1), 255);
  EXPECT_EQ(as_int(VAL_CHAR, VAL_DOUBLE, &big), 127);  // saturates instead of an undefined conversion
  EXPECT_EQ(as_int(VAL_SHORT, VAL_DOUBLE, &small), INT16_MIN);
  EXPECT_EQ(as_int(VAL_COLOR, VAL_LONG, &rrggbb), (long long)c);
  EXPECT_EQ(as_int(VAL_ULONG, VAL_COLOR, &c), 0x112233);
  float f = 1;
  EXPECT_EQ(tcvt(VAL_FLOAT, &f, 0, VAL_STR, "1e300"), 0);
  EXPECT_EQ(f, HUGE_VALF);
  int32_t out = 0;
  LogCapture log;
  EXPECT_EQ(tcvt(VAL_INT, &out, 0, VAL_COLOR, &m1) + tcvt(VAL_COLOR, &out, 0, VAL_INT, &m1), 2 * 9013);
  EXPECT_EQ(out, 0);
  EXPECT_TRUE(log.has(" 9013 ") && log.has("Not supported type conversion - srctype: 0XE0, desttype: 0X30."))
      << log.done();
}

TEST(Tcvt, ToTextFormatsAndCuts) {
  signed char sc = -128;
  uint32_t u = 4294967295u;
  int32_t yes = 1, n = 12345;
  float f = 0.1f;
  double d = 1.0 / 3;
  unsigned c = val_rgb(1, 2, 255);
  EXPECT_EQ(text_of(VAL_CHAR, &sc) + " " + text_of(VAL_UCHAR, &sc) + " " + text_of(VAL_UINT, &u) + " " +
                text_of(VAL_FLOAT, &f) + " " + text_of(VAL_DOUBLE, &d) + " " + text_of(VAL_COLOR, &c),
            "-128 128 4294967295 0.100000001490116 0.333333333333333 rgb:1,2,255");
  LogCapture log;
  EXPECT_EQ(text_of(VAL_BOOL, &yes, 3, 9005), "Ye");
  EXPECT_EQ(text_of(VAL_INT, &n, 6, 0), "12345");  // exact fit
  EXPECT_EQ(text_of(VAL_INT, &n, 5, 9005), "1234");
  EXPECT_TRUE(log.has("mox_strcpy() failed - size: 5, srcp: 5 `12345'.")) << log.done();
}

TEST(Tcvt, ColoursInEveryFormAndBadOnesBlack) {
  const struct { const char* text; unsigned want; const char* msg = nullptr; } cases[] = {
      {"  Grey50\t", val_rgb(127, 127, 127)}, {"RGB: 1 , 2 , 3", val_rgb(1, 2, 3)},
      {" #ff8001 ", val_rgb(255, 128, 1)}, {"SYS: 3dHiLight ", GetSysColor(COLOR_3DHILIGHT)},
      {"purple", 0, "Invalid color [purple]."}, {"rgb:1,2", 0, "Invalid rgb color [rgb:1,2]."},
      {"rgb:256,1,1", 0, "Invalid rgb color"}, {"sys:nosuch", 0, "Invalid sys color [sys:nosuch]."},
      {"#12345G", 0, "Invalid color"}, {"#1234567", 0, "Invalid color"}};
  for (const auto& c : cases) {
    unsigned col = 0x123456;
    LogCapture log;
    EXPECT_EQ(tcvt(VAL_COLOR, &col, 0, VAL_STR, c.text), 0);
    EXPECT_EQ(col, c.want) << c.text;
    EXPECT_TRUE(!c.msg || (log.has(" 9003 ") && log.has(c.msg))) << log.done();
  }
}

TEST(Tcvt, HexBothDirections) {
  unsigned char data[4] = {};
  unsigned n = 99;
  EXPECT_EQ(tcvt_hex_to_data("0a:FF:1", data, sizeof data, &n), 0);  // the odd digit is dropped
  EXPECT_EQ(std::string((char*)data, n), "\x0A\xFF");
  EXPECT_EQ(tcvt_hex_to_data("deadBEEF", data, 4, &n), 0);  // exact fit
  EXPECT_EQ(std::string((char*)data, n), "\xDE\xAD\xBE\xEF");
  EXPECT_EQ(tcvt_hex_to_data("0102030405", data, 4, &n), 9005);
  EXPECT_EQ(n, 4u);
  char buf[9];
  EXPECT_EQ(tcvt_data_to_hex(buf, 9, data, 4), 0);
  EXPECT_EQ(tcvt_data_to_hex(buf, 8, data, 4), 9005);
  EXPECT_STREQ(buf, "DEADBE");
}
