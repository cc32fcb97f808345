#include "c/tcvt.h"

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

#include <windows.h>

namespace {

constexpr int kParam = 9003;
constexpr int kCut = 9005;
constexpr int kNotSupp = 9013;
constexpr unsigned kFmtSize = 256;

// The one call into the window system: the current scheme's colour of an index.
unsigned sys_color(int idx) { return (unsigned)GetSysColor(idx); }

inline bool is_ws(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
inline char lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// s[0..n) equals the NUL-terminated word, letter case ignored.
bool eq_nocase(const char* s, size_t n, const char* word) {
  size_t i = 0;
  for (; i < n && word[i]; i++)
    if (lower(s[i]) != lower(word[i])) return false;
  return i == n && !word[i];
}

bool has_prefix_nocase(const char* s, size_t n, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; i++)
    if (i >= n || lower(s[i]) != lower(prefix[i])) return false;
  return true;
}

// The slot widths are fixed (a "long" is 4 bytes everywhere), so text is read the
// way a 32-bit strtol/strtoul reads it, whatever the host's long is.
int32_t str_to_i32(const char* s) {
  errno = 0;
  long long v = strtoll(s, nullptr, 0);
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return (int32_t)v;
}

uint32_t str_to_u32(const char* s) {
  const char* p = s;
  while (is_ws(*p)) p++;
  bool neg = *p == '-';
  errno = 0;
  unsigned long long v = strtoull(s, nullptr, 0);
  if (errno == ERANGE) return UINT32_MAX;
  unsigned long long mag = neg ? 0 - v : v;
  if (mag > UINT32_MAX) return UINT32_MAX;
  return neg ? (uint32_t)(0u - (uint32_t)mag) : (uint32_t)mag;
}

// Truncation toward zero; out of range saturates and NaN gives 0, so a huge
// floating value never reaches an undefined conversion.
long long sat_trunc(double d, long long lo, long long hi) {
  if (std::isnan(d)) return 0;
  if (d <= (double)lo) return lo;
  if (d >= (double)hi) return hi;
  return (long long)d;
}

float to_float(double d) {
  if (d > FLT_MAX) return HUGE_VALF;
  if (d < -FLT_MAX) return -HUGE_VALF;
  return (float)d;
}

// Reads an integer source (or a boolean) as a wide value.
long long get_int(unsigned t, const void* src) {
  switch (t) {
    case VAL_CHAR: return *(const signed char*)src;
    case VAL_UCHAR: return *(const unsigned char*)src;
    case VAL_SHORT: return *(const int16_t*)src;
    case VAL_USHORT: return *(const uint16_t*)src;
    case VAL_INT:
    case VAL_LONG: return *(const int32_t*)src;
    case VAL_UINT:
    case VAL_ULONG:
    case VAL_COLOR: return *(const uint32_t*)src;
    case VAL_BOOL: return *(const int32_t*)src != 0;
  }
  return 0;
}

// Stores with the ordinary narrowing of the target width.
void put_int(unsigned t, void* dest, long long v) {
  switch (t) {
    case VAL_CHAR: *(signed char*)dest = (signed char)v; break;
    case VAL_UCHAR: *(unsigned char*)dest = (unsigned char)v; break;
    case VAL_SHORT: *(int16_t*)dest = (int16_t)v; break;
    case VAL_USHORT: *(uint16_t*)dest = (uint16_t)v; break;
    case VAL_INT:
    case VAL_LONG: *(int32_t*)dest = (int32_t)v; break;
    case VAL_UINT:
    case VAL_ULONG: *(uint32_t*)dest = (uint32_t)v; break;
  }
}

void int_range(unsigned t, long long* lo, long long* hi) {
  switch (t) {
    case VAL_CHAR: *lo = INT8_MIN; *hi = INT8_MAX; break;
    case VAL_UCHAR: *lo = 0; *hi = UINT8_MAX; break;
    case VAL_SHORT: *lo = INT16_MIN; *hi = INT16_MAX; break;
    case VAL_USHORT: *lo = 0; *hi = UINT16_MAX; break;
    case VAL_INT:
    case VAL_LONG: *lo = INT32_MIN; *hi = INT32_MAX; break;
    default: *lo = 0; *hi = UINT32_MAX; break;
  }
}

double get_real(unsigned t, const void* src) {
  return t == VAL_FLOAT ? *(const float*)src : *(const double*)src;
}

// long 0xRRGGBB <-> colour reference.
unsigned long_to_color(uint32_t v) { return val_rgb(v >> 16, v >> 8, v); }
uint32_t color_to_long(unsigned c) { return val_red(c) << 16 | val_green(c) << 8 | val_blue(c); }

int unsupported(unsigned srctype, unsigned desttype) {
  ERR_LOG(ERR_ERR, kNotSupp, "Not supported type conversion - srctype: %#X, desttype: %#X.", srctype, desttype);
  return kNotSupp;
}

int to_int(unsigned desttype, void* dest, unsigned srctype, const void* src) {
  if (val_is_int(srctype) || srctype == VAL_BOOL) {
    put_int(desttype, dest, get_int(srctype, src));
  } else if (srctype == VAL_FLOAT || srctype == VAL_DOUBLE) {
    long long lo, hi;
    int_range(desttype, &lo, &hi);
    put_int(desttype, dest, sat_trunc(get_real(srctype, src), lo, hi));
  } else if (val_is_text(srctype)) {
    const char* s = (const char*)src;
    put_int(desttype, dest, val_is_unsigned(desttype) ? (long long)str_to_u32(s) : (long long)str_to_i32(s));
  } else if (srctype == VAL_COLOR && (desttype == VAL_LONG || desttype == VAL_ULONG)) {
    put_int(desttype, dest, color_to_long(*(const uint32_t*)src));
  } else {
    return unsupported(srctype, desttype);
  }
  return 0;
}

int to_bool(void* dest, unsigned srctype, const void* src) {
  int32_t v;
  if (val_is_int(srctype) || srctype == VAL_BOOL) v = get_int(srctype, src) != 0;
  else if (val_is_text(srctype)) v = tcvt_str_to_bool((const char*)src);
  else return unsupported(srctype, VAL_BOOL);
  *(int32_t*)dest = v;
  return 0;
}

int to_real(unsigned desttype, void* dest, unsigned srctype, const void* src) {
  double d;
  if (val_is_int(srctype)) d = (double)get_int(srctype, src);
  else if (srctype == VAL_FLOAT || srctype == VAL_DOUBLE) d = get_real(srctype, src);
  else if (val_is_text(srctype)) d = strtod((const char*)src, nullptr);
  else return unsupported(srctype, desttype);
  if (desttype == VAL_FLOAT) *(float*)dest = to_float(d);
  else *(double*)dest = d;
  return 0;
}

int to_color(void* dest, unsigned srctype, const void* src) {
  if (srctype == VAL_LONG || srctype == VAL_ULONG) *(uint32_t*)dest = long_to_color(*(const uint32_t*)src);
  else if (srctype == VAL_COLOR) *(uint32_t*)dest = *(const uint32_t*)src;
  else if (val_is_text(srctype)) return tcvt_str_to_color((const char*)src, (unsigned*)dest);
  else return unsupported(srctype, VAL_COLOR);
  return 0;
}

int to_text(unsigned desttype, char* dest, unsigned destsize, unsigned srctype, const void* src) {
  if (!destsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, destsize: %u.", (void*)dest, destsize);
    return kParam;
  }
  if (srctype == VAL_BOOL) {
    const char* word = *(const int32_t*)src ? "Yes" : "No";
    int rc = 0;
    mox_strcpy(dest, destsize, word, &rc);
    if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, src[bool]: `%s'.", destsize, word);
    return rc;
  }
  char buf[kFmtSize];
  const char* text = buf;
  switch (srctype) {
    case VAL_CHAR:
    case VAL_SHORT: snprintf(buf, sizeof buf, "%hd", (short)get_int(srctype, src)); break;
    case VAL_UCHAR:
    case VAL_USHORT: snprintf(buf, sizeof buf, "%hu", (unsigned short)get_int(srctype, src)); break;
    case VAL_INT: snprintf(buf, sizeof buf, "%d", (int)*(const int32_t*)src); break;
    case VAL_UINT: snprintf(buf, sizeof buf, "%u", (unsigned)*(const uint32_t*)src); break;
    case VAL_LONG: snprintf(buf, sizeof buf, "%ld", (long)*(const int32_t*)src); break;
    case VAL_ULONG: snprintf(buf, sizeof buf, "%lu", (unsigned long)*(const uint32_t*)src); break;
    case VAL_FLOAT: snprintf(buf, sizeof buf, "%.15g", (double)*(const float*)src); break;
    case VAL_DOUBLE: snprintf(buf, sizeof buf, "%.15lg", *(const double*)src); break;
    case VAL_COLOR: {
      unsigned c = *(const uint32_t*)src;
      snprintf(buf, sizeof buf, "rgb:%d,%d,%d", (int)val_red(c), (int)val_green(c), (int)val_blue(c));
      break;
    }
    case VAL_STR:
    case VAL_STRBUF: text = (const char*)src; break;
    default: return unsupported(srctype, desttype);
  }
  int rc = 0;
  mox_strcpy(dest, destsize, text, &rc);
  if (rc)
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - size: %u, srcp: %u `%s'.", destsize, (unsigned)strlen(text), text);
  return rc;
}

struct named_color {
  const char* name;
  unsigned color;
};

constexpr named_color kColors[] = {
    {"white", val_rgb(255, 255, 255)}, {"grey", val_rgb(190, 190, 190)},   {"grey50", val_rgb(127, 127, 127)},
    {"black", val_rgb(0, 0, 0)},       {"red", val_rgb(255, 0, 0)},        {"red4", val_rgb(139, 0, 0)},
    {"green", val_rgb(0, 255, 0)},     {"green4", val_rgb(0, 139, 0)},     {"blue", val_rgb(0, 0, 255)},
    {"blue4", val_rgb(0, 0, 139)},     {"yellow", val_rgb(255, 255, 0)},   {"yellow4", val_rgb(139, 139, 0)},
    {"cyan", val_rgb(0, 255, 255)},    {"cyan4", val_rgb(0, 139, 139)},    {"magenta", val_rgb(255, 0, 255)},
    {"magenta4", val_rgb(139, 0, 139)},
};

struct sys_color_name {
  const char* name;
  int idx;
};

constexpr sys_color_name kSysColors[] = {
    {"SCROLLBAR", 0},       {"BACKGROUND", 1},           {"DESKTOP", 1},         {"ACTIVECAPTION", 2},
    {"INACTIVECAPTION", 3}, {"MENU", 4},                 {"WINDOW", 5},          {"WINDOWFRAME", 6},
    {"MENUTEXT", 7},        {"WINDOWTEXT", 8},           {"CAPTIONTEXT", 9},     {"ACTIVEBORDER", 10},
    {"INACTIVEBORDER", 11}, {"APPWORKSPACE", 12},        {"HIGHLIGHT", 13},      {"HIGHLIGHTTEXT", 14},
    {"BTNFACE", 15},        {"3DFACE", 15},              {"BTNSHADOW", 16},      {"3DSHADOW", 16},
    {"GRAYTEXT", 17},       {"BTNTEXT", 18},             {"INACTIVECAPTIONTEXT", 19},
    {"BTNHIGHLIGHT", 20},   {"3DHIGHLIGHT", 20},         {"3DHILIGHT", 20},      {"BTNHILIGHT", 20},
    {"3DDKSHADOW", 21},     {"3DLIGHT", 22},             {"INFOTEXT", 23},       {"INFOBK", 24},
};

int hexval(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "rgb:" numbers, each 0-255; either separator form.
bool parse_rgb(const char* s, unsigned* color) {
  int r, g, b;
  if (sscanf(s, "%d , %d , %d", &r, &g, &b) != 3 && sscanf(s, "%d %d %d", &r, &g, &b) != 3) return false;
  if (r < 0 || r > 255 || g < 0 || g > 255 || b < 0 || b > 255) return false;
  *color = val_rgb((unsigned)r, (unsigned)g, (unsigned)b);
  return true;
}

// "#" and one to six hexadecimal digits, nothing else.
bool parse_hash(const char* s, size_t n, unsigned* color) {
  if (n < 1 || n > 6) return false;
  uint32_t v = 0;
  for (size_t i = 0; i < n; i++) {
    int d = hexval(s[i]);
    if (d < 0) return false;
    v = v << 4 | (uint32_t)d;
  }
  *color = long_to_color(v);
  return true;
}

}  // namespace

int tcvt_str_to_bool(const char* str) {
  if (!str) return 0;
  char c = str[0];
  if (c == '1' || c == 'T' || c == 't' || c == 'Y' || c == 'y') return 1;
  return (c == 'O' || c == 'o') && (str[1] == 'N' || str[1] == 'n');
}

int tcvt_str_to_color(const char* str, unsigned* color) {
  if (!color) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: `%s', color: %p.", mox_nul(str), (void*)color);
    return kParam;
  }
  *color = 0;
  if (!str) {
    ERR_LOG(ERR_ERR, kParam, "`str' is NUL.");
    return 0;
  }
  const char* s = str;
  while (is_ws(*s)) s++;
  size_t n = strlen(s);
  while (n && is_ws(s[n - 1])) n--;

  for (const named_color& nc : kColors)
    if (eq_nocase(s, n, nc.name)) {
      *color = nc.color;
      return 0;
    }
  if (has_prefix_nocase(s, n, "rgb:")) {
    if (!parse_rgb(s + 4, color)) ERR_LOG(ERR_ERR, kParam, "Invalid rgb color [%s].", str);
    return 0;
  }
  if (has_prefix_nocase(s, n, "sys:")) {
    const char* name = s + 4;
    size_t len = n - 4;
    while (len && is_ws(*name)) name++, len--;
    for (const sys_color_name& sc : kSysColors)
      if (eq_nocase(name, len, sc.name)) {
        *color = sys_color(sc.idx);
        return 0;
      }
    ERR_LOG(ERR_ERR, kParam, "Invalid sys color [%s].", str);
    return 0;
  }
  if (n && s[0] == '#' && parse_hash(s + 1, n - 1, color)) return 0;
  ERR_LOG(ERR_ERR, kParam, "Invalid color [%s].", str);
  return 0;
}

int tcvt_hexdigit(char c) {
  int d = hexval(c);
  if (d < 0) ERR_LOG(ERR_ERR, kParam, "Not hex digit - c: `%c'.", c);
  return d;
}

int tcvt_hex_to_data(const char* str, void* data, unsigned datamaxsize, unsigned* datasize) {
  if (!str || (!data && datamaxsize) || !datasize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: %p, data: %p, datasize: %p.", (const void*)str, data,
            (void*)datasize);
    return kParam;
  }
  size_t ndigits = 0;
  for (const char* p = str; *p; p++)
    if (hexval(*p) >= 0) ndigits++;
  if (ndigits / 2 > datamaxsize) {
    ERR_LOG(ERR_ERR, kCut, "Buf too small - strlen: %u, datamaxsize: %u.", (unsigned)strlen(str), datamaxsize);
    return kCut;
  }
  unsigned char* out = (unsigned char*)data;
  unsigned n = 0;
  int high = -1;
  for (const char* p = str; *p; p++) {
    int d = hexval(*p);
    if (d < 0) continue;
    if (high < 0) {
      high = d;
    } else {
      out[n++] = (unsigned char)(high << 4 | d);
      high = -1;
    }
  }
  *datasize = n;
  return 0;
}

int tcvt_data_to_hex(char* str, unsigned strsize, const void* data, unsigned datasize) {
  if (!str || !strsize || (!data && datasize)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: %p, strsize: %u, data: %p.", (void*)str, strsize, data);
    return kParam;
  }
  static constexpr char kDigits[] = "0123456789ABCDEF";
  const unsigned char* in = (const unsigned char*)data;
  unsigned fit = (strsize - 1) / 2;
  unsigned n = datasize < fit ? datasize : fit;
  for (unsigned i = 0; i < n; i++) {
    str[2 * i] = kDigits[in[i] >> 4];
    str[2 * i + 1] = kDigits[in[i] & 0xF];
  }
  str[2 * n] = 0;
  if (n < datasize) {
    ERR_LOG(ERR_ERR, kCut, "Buf too small - datasize: %u, strsize: %u.", datasize, strsize);
    return kCut;
  }
  return 0;
}

int tcvt(unsigned desttype, void* dest, unsigned destsize, unsigned srctype, const void* src) {
  if (!dest || !src) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, src: %p.", dest, src);
    return kParam;
  }
  if (val_is_int(desttype)) return to_int(desttype, dest, srctype, src);
  switch (desttype) {
    case VAL_BOOL: return to_bool(dest, srctype, src);
    case VAL_FLOAT:
    case VAL_DOUBLE: return to_real(desttype, dest, srctype, src);
    case VAL_STR:
    case VAL_STRBUF: return to_text(desttype, (char*)dest, destsize, srctype, src);
    case VAL_COLOR: return to_color(dest, srctype, src);
  }
  return unsupported(srctype, desttype);
}
