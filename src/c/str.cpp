#include "c/str.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

#include <windows.h>

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

bool bad_dest(const void* dest, unsigned size, int* err = nullptr) {
  if (dest && size) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, size: %u.", dest, size);
  set_err(err, kParam);
  return true;
}

bool nul_str(const char* str) {
  if (str) return false;
  ERR_LOG(ERR_ERR, kParam, "`str' is NUL.");
  return true;
}

bool bad_ws_args(const char* str, const unsigned* newlen) {
  if (str && newlen) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - str: %p, len: %p.", (const void*)str, (const void*)newlen);
  return true;
}

inline bool is_ws(char c) { return isspace((unsigned char)c) != 0; }

// Copies len bytes of src to dest and terminates; the callers have checked dest and size.
template <typename C>
int copy_bounded(C* dest, unsigned size, const C* src, size_t len) {
  if (len < size) {
    memmove(dest, src, len * sizeof(C));
    dest[len] = 0;
    return 0;
  }
  memmove(dest, src, (size - 1) * sizeof(C));
  dest[size - 1] = 0;
  return kCut;
}

// dest's length within size, or size when it is not terminated there.
unsigned dest_len(const char* dest, unsigned size) {
  const void* z = memchr(dest, 0, size);
  return z ? (unsigned)((const char*)z - dest) : size;
}

// Appends up to n bytes of src; shared by strcat and strncat.
char* cat_bounded(char* dest, unsigned size, const char* src, bool bounded, unsigned n, int* err) {
  if (bad_dest(dest, size, err)) return dest;
  unsigned dlen = dest_len(dest, size);
  if (dlen >= size) {
    ERR_LOG(ERR_ERR, kParam, "`dest' length exceeds size - dest: %p, dlen: %u, size: %u.", (void*)dest, dlen,
            size);
    set_err(err, kParam);
    return dest;
  }
  if (!src || !*src || (bounded && !n)) {
    set_err(err, 0);
    return dest;
  }
  set_err(err, copy_bounded(dest + dlen, size - dlen, src, bounded ? strnlen(src, n) : strlen(src)));
  return dest;
}

int cut_bytes(char* dest, unsigned size, const char* src) {
  dest[size - 1] = 0;
  ERR_LOG(ERR_ERR, kCut, "`dest' is too small [%u] - src: `%.50s'.", size, src);
  return kCut;
}

// The byte-by-byte copies: step() writes the bytes for the character at p (it may take
// the next one too) and says how many; the room is checked before each byte.
template <typename Step>
int copy_bytes(char* dest, unsigned size, const char* src, Step step) {
  if (!src) {
    *dest = 0;
    return 0;
  }
  unsigned o = 0;
  for (const char* p = src; *p; ++p) {
    char out[2];
    int n = step(p, out);
    for (int i = 0; i < n; ++i) {
      if (o >= size) return cut_bytes(dest, size, src);
      dest[o++] = out[i];
    }
  }
  if (o >= size) return cut_bytes(dest, size, src);
  dest[o] = 0;
  return 0;
}

constexpr const char kCtlChars[] = "\a\b\t\n\v\f\r";
constexpr const char kCtlLetters[] = "abtnvfr";

}  // namespace

char* mox_strcpy(char* dest, unsigned size, const char* src, int* err) {
  if (bad_dest(dest, size, err)) return dest;
  set_err(err, copy_bounded(dest, size, src ? src : "", src ? strlen(src) : 0));
  return dest;
}

wchar_t* mox_wcscpy(wchar_t* dest, unsigned size, const wchar_t* src, int* err) {
  if (bad_dest(dest, size, err)) return dest;
  set_err(err, copy_bounded(dest, size, src ? src : L"", src ? wcslen(src) : 0));
  return dest;
}

char* mox_strncpy(char* dest, unsigned size, const char* src, unsigned n, int* err) {
  if (bad_dest(dest, size, err)) return dest;
  size_t len = src ? strnlen(src, n) : 0;
  set_err(err, copy_bounded(dest, size, src ? src : "", len));
  return dest;
}

char* mox_strcat(char* dest, unsigned size, const char* src, int* err) {
  return cat_bounded(dest, size, src, false, 0, err);
}

char* mox_strncat(char* dest, unsigned size, const char* src, unsigned n, int* err) {
  return cat_bounded(dest, size, src, true, n, err);
}

int mox_vsnprintf(char* str, unsigned size, const char* format, va_list ap) {
  if (!str || !size || !format) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: %p, size: %u, format: %p.", (void*)str, size,
            (const void*)format);
    if (str && size) *str = 0;
    return kParam;
  }
  int n = vsnprintf(str, size, format, ap);
  // a negative result is how older formatters report a cut; treat both alike
  if (n < 0 || (unsigned)n >= size) {
    str[size - 1] = 0;
    return kCut;
  }
  return 0;
}

int mox_snprintf(char* str, unsigned size, const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  int rc = mox_vsnprintf(str, size, format, ap);
  va_end(ap);
  return rc;
}

char* mox_strndup(const char* src, unsigned n, int* err) {
  set_err(err, 0);
  if (!src) return nullptr;
  size_t len = strnlen(src, n);
  char* p = (char*)malloc(len + 1);
  if (!p) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(len + 1));
    set_err(err, kNoMem);
    return nullptr;
  }
  memcpy(p, src, len);
  p[len] = 0;
  return p;
}

wchar_t* mox_mbstowcs(wchar_t* wstr, unsigned wstr_size, unsigned codepage, const char* mbstr, int mblen, int* err) {
  if (bad_dest(wstr, wstr_size, err)) return wstr;
  *wstr = 0;
  set_err(err, 0);
  if (!mbstr || !mblen || (mblen < 0 && !*mbstr)) return wstr;
  const int shown = mblen < 0 ? (int)strlen(mbstr) : mblen;
  auto failed = [&](int code) {
    ERR_LOG(ERR_ERR, code, "MultiByteToWideChar() failed - wstr_size: %u, mbstr: `%.*s'.", wstr_size, shown, mbstr);
    set_err(err, code);
    return wstr;
  };
  int need = MultiByteToWideChar(codepage, 0, mbstr, mblen, nullptr, 0);
  if (need <= 0) return failed((int)GetLastError());
  // a result longer than the buffer goes through a scratch copy, so the cut text is well defined
  wchar_t* out = wstr;
  wchar_t* scratch = nullptr;
  if ((unsigned)need > wstr_size) {
    scratch = (wchar_t*)malloc(need * sizeof(wchar_t));
    if (!scratch) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(need * sizeof(wchar_t)));
      set_err(err, kNoMem);
      return wstr;
    }
    out = scratch;
  }
  int n = MultiByteToWideChar(codepage, 0, mbstr, mblen, out, need);
  if (n <= 0) {
    int code = (int)GetLastError();
    free(scratch);
    *wstr = 0;
    return failed(code);
  }
  if (out[n - 1] == 0) --n;  // the zero came with the source
  if ((unsigned)n >= wstr_size) {
    if (scratch) memcpy(wstr, scratch, (wstr_size - 1) * sizeof(wchar_t));
    wstr[wstr_size - 1] = 0;
    ERR_LOG(ERR_ERR, kCut, "Buf too small - wstr_size: %u, mbstr: `%.*s'.", wstr_size, shown, mbstr);
    set_err(err, kCut);
  } else {
    wstr[n] = 0;
  }
  free(scratch);
  return wstr;
}

const char* mox_strrstr(const char* str, const char* substr) {
  if (!str || !substr) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: `%s', substr: `%s'.", mox_nul(str), mox_nul(substr));
    return nullptr;
  }
  if (!*substr) return str;
  if (!substr[1]) return strrchr(str, *substr);
  size_t slen = strlen(str), sublen = strlen(substr);
  if (sublen > slen) return nullptr;
  for (const char* p = str + (slen - sublen);; --p) {
    if (*p == *substr && memcmp(p, substr, sublen) == 0) return p;
    if (p == str) break;
  }
  return nullptr;
}

char* mox_strrstr(char* str, const char* substr) {
  return const_cast<char*>(mox_strrstr(static_cast<const char*>(str), substr));
}

const char* mox_skip_ws(const char* str, unsigned len, unsigned* newlen) {
  if (bad_ws_args(str, newlen)) return str;
  while (len && is_ws(*str)) {
    ++str;
    --len;
  }
  *newlen = len;
  return str;
}

const char* mox_ws_tail(const char* str, unsigned len, unsigned* newlen) {
  if (bad_ws_args(str, newlen)) return str;
  while (len && is_ws(str[len - 1])) --len;
  *newlen = len;
  return str;
}

char* mox_ltrim_ptr(char* str) {
  if (nul_str(str)) return nullptr;
  while (is_ws(*str)) ++str;
  return str;
}

char* mox_ltrim(char* str) {
  if (nul_str(str)) return nullptr;
  char* p = str;
  while (is_ws(*p)) ++p;
  if (p != str) memmove(str, p, strlen(p) + 1);
  return str;
}

char* mox_rtrim(char* str) {
  if (nul_str(str)) return nullptr;
  size_t len = strlen(str);
  while (len && is_ws(str[len - 1])) --len;
  str[len] = 0;
  return str;
}

char* mox_trim(char* str) {
  if (nul_str(str)) return nullptr;
  return mox_ltrim(mox_rtrim(str));
}

char* mox_strupr(char* str) {
  if (nul_str(str)) return nullptr;
  for (char* p = str; *p; ++p) *p = (char)toupper((unsigned char)*p);
  return str;
}

int mox_is_blank(const char* str) {
  if (!str) return 1;
  while (is_ws(*str)) ++str;
  return *str == 0;
}

int mox_str_unescape(char* dest, unsigned size, const char* src) {
  if (bad_dest(dest, size)) return kParam;
  return copy_bytes(dest, size, src, [](const char*& p, char* out) {
    char c = *p;
    if (c == '\\' && p[1]) {
      c = *++p;
      if (c == 'w') {
        c = ' ';
      } else if (const char* k = strchr(kCtlLetters, c)) {
        c = kCtlChars[k - kCtlLetters];
      }
    }
    out[0] = c;
    return 1;
  });
}

int mox_str_escape(char* dest, unsigned size, const char* src) {
  if (bad_dest(dest, size)) return kParam;
  return copy_bytes(dest, size, src, [](const char*& p, char* out) {
    const char* k = strchr(kCtlChars, *p);
    if (!k && *p != '\\') {
      out[0] = *p;
      return 1;
    }
    out[0] = '\\';
    out[1] = k ? kCtlLetters[k - kCtlChars] : '\\';
    return 2;
  });
}

char* mox_strip_ws(char* dest, unsigned size, const char* src, int* err) {
  if (bad_dest(dest, size, err)) return dest;
  set_err(err, copy_bytes(dest, size, src, [](const char*& p, char* out) {
            out[0] = *p;
            return is_ws(*p) ? 0 : 1;
          }));
  return dest;
}
