#include "c/val.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/tcvt.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;
constexpr int kNotSupp = 9013;

int null_val() {
  ERR_LOG(ERR_ERR, kParam, "`val' is NUL.");
  return kParam;
}

int bad_type(unsigned t) {
  ERR_LOG(ERR_ERR, kParam, "Invalid valtype [%#X].", t);
  return kParam;
}

int not_supported(unsigned desttype, unsigned srctype) {
  ERR_LOG(ERR_ERR, kNotSupp, "Not supported type convertion - valtype: %#X, srctype: %#X.", desttype, srctype);
  return kNotSupp;
}

// Bytes a scalar slot occupies; 0 for the types that are not plain scalars.
unsigned scalar_width(unsigned t) {
  switch (t) {
    case VAL_CHAR:
    case VAL_UCHAR: return 1;
    case VAL_SHORT:
    case VAL_USHORT: return 2;
    case VAL_INT:
    case VAL_UINT:
    case VAL_LONG:
    case VAL_ULONG:
    case VAL_BOOL:
    case VAL_FLOAT:
    case VAL_ENUM:
    case VAL_COLOR: return 4;
    case VAL_DOUBLE: return 8;
  }
  return 0;
}

// Buffer a value of srctype needs as text, or 0 when it has no text form.
unsigned text_len(unsigned srctype, const void* src) {
  switch (srctype) {
    case VAL_CHAR:
    case VAL_UCHAR: return 5;
    case VAL_SHORT:
    case VAL_USHORT: return 7;
    case VAL_INT:
    case VAL_UINT:
    case VAL_LONG:
    case VAL_ULONG: return 12;
    case VAL_BOOL: return 4;
    case VAL_FLOAT:
    case VAL_DOUBLE: return 65;
    case VAL_COLOR: return 33;
    case VAL_STR:
    case VAL_STRBUF: return (unsigned)strlen((const char*)src) + 1;
  }
  return 0;
}

inline unsigned char fold(unsigned char c) { return c >= 'A' && c <= 'Z' ? (unsigned char)(c - 'A' + 'a') : c; }

template <typename T> int cmp3(T a, T b) { return (b < a) - (a < b); }

int cmp_text(const char* a, const char* b, unsigned n, bool nocase) {
  for (unsigned i = 0; !n || i < n; i++) {
    unsigned char ca = (unsigned char)a[i], cb = (unsigned char)b[i];
    if (nocase) ca = fold(ca), cb = fold(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (!ca) return 0;
  }
  return 0;
}

int cmp_bytes(const void* a, unsigned na, const void* b, unsigned nb, bool nocase) {
  const unsigned char* pa = (const unsigned char*)a;
  const unsigned char* pb = (const unsigned char*)b;
  unsigned n = na < nb ? na : nb;
  for (unsigned i = 0; i < n; i++) {
    unsigned char ca = pa[i], cb = pb[i];
    if (nocase) ca = fold(ca), cb = fold(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return cmp3(na, nb);
}

int cmp(unsigned t1, const void* v1, unsigned s1, unsigned t2, const void* v2, unsigned s2, bool nocase) {
  if (!v1 || !v2) {
    // a null pointer is the empty value of the pointer-holding types; anything else is a caller's slip
    if ((!v1 && !val_owns_ptr(t1)) || (!v2 && !val_owns_ptr(t2)))
      ERR_LOG(ERR_ERR, kParam, "Invalid param - val1: %p, val2: %p.", v1, v2);
    return v1 ? 1 : v2 ? -1 : 0;
  }
  if (t1 != t2) return 1;
  switch (t1) {
    case VAL_CHAR: return cmp3(*(const signed char*)v1, *(const signed char*)v2);
    case VAL_UCHAR: return cmp3(*(const unsigned char*)v1, *(const unsigned char*)v2);
    case VAL_SHORT: return cmp3(*(const int16_t*)v1, *(const int16_t*)v2);
    case VAL_USHORT: return cmp3(*(const uint16_t*)v1, *(const uint16_t*)v2);
    case VAL_INT:
    case VAL_LONG:
    case VAL_BOOL:
    case VAL_ENUM: return cmp3(*(const int32_t*)v1, *(const int32_t*)v2);
    case VAL_UINT:
    case VAL_ULONG:
    case VAL_COLOR: return cmp3(*(const uint32_t*)v1, *(const uint32_t*)v2);
    case VAL_FLOAT: return cmp3(*(const float*)v1, *(const float*)v2);
    case VAL_DOUBLE: return cmp3(*(const double*)v1, *(const double*)v2);
    case VAL_PTR: return cmp3((uintptr_t)v1, (uintptr_t)v2);
    case VAL_STR:
    case VAL_STRBUF: {
      unsigned n = s1 && s2 ? (s1 < s2 ? s1 : s2) : s1 ? s1 : s2;
      return cmp_text((const char*)v1, (const char*)v2, n, nocase);
    }
    case VAL_DATA:
    case VAL_DATABUF: return cmp_bytes(v1, s1, v2, s2, nocase);
  }
  bad_type(t1);
  return 1;
}

// The current value of a slot, passed the way val_cmp takes it.
const void* slot_value(unsigned t, void* slot) { return val_owns_ptr(t) ? *(void**)slot : slot; }

// A buffer of at least need bytes in the heap slot, reusing the old one when its
// capacity allows. On failure the slot is left cleared.
int ensure_heap(unsigned t, void* dest, unsigned* valsize, unsigned* valmaxsize, unsigned cap, unsigned need) {
  void** slot = (void**)dest;
  if (*slot && cap >= need) return 0;
  free(*slot);
  *slot = malloc(need ? need : 1);
  if (!*slot) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", need);
    val_clear(t, dest, valsize, valmaxsize);
    return kNoMem;
  }
  if (valmaxsize) *valmaxsize = need;
  return 0;
}

// Capacity of a heap slot by its size fields (an empty slot has none).
unsigned heap_cap(void* dest, unsigned* sizefield, unsigned* valmaxsize) {
  if (!*(void**)dest) return 0;
  if (valmaxsize) return *valmaxsize;
  return sizefield ? *sizefield : 0;
}

unsigned str_cap(void* dest, unsigned* valmaxsize) {
  const char* s = *(char**)dest;
  if (!s) return 0;
  return valmaxsize ? *valmaxsize : (unsigned)strlen(s) + 1;
}

int set_to_heap_text(void* dest, unsigned* valsize, unsigned* valmaxsize, unsigned srctype, const void* src) {
  unsigned need = text_len(srctype, src);
  if (!need) return not_supported(VAL_STR, srctype);
  unsigned cap = str_cap(dest, valmaxsize);
  int rc = ensure_heap(VAL_STR, dest, valsize, valmaxsize, cap, need);
  if (rc) return rc;
  return tcvt(VAL_STR, *(char**)dest, cap >= need ? cap : need, srctype, src);
}

// Hexadecimal text or bytes into a heap byte slot.
int set_to_heap_data(void* dest, unsigned* valsize, unsigned* valmaxsize, unsigned srctype, const void* src,
                     unsigned srcsize) {
  if (!valsize) {
    ERR_LOG(ERR_ERR, kParam, "`valsize' is NUL.");
    return kParam;
  }
  bool text = val_is_text(srctype);
  if (!text && !val_is_data(srctype)) return not_supported(VAL_DATA, srctype);
  unsigned need = text ? (unsigned)strlen((const char*)src) / 2 + 1 : srcsize;
  unsigned cap = heap_cap(dest, valsize, valmaxsize);
  int rc = ensure_heap(VAL_DATA, dest, valsize, valmaxsize, cap, need);
  if (rc) return rc;
  if (text) return tcvt_hex_to_data((const char*)src, *(void**)dest, cap >= need ? cap : need, valsize);
  memmove(*(void**)dest, src, srcsize);
  *valsize = srcsize;
  return 0;
}

int set_to_fixed_data(void* dest, unsigned* valsize, unsigned* valmaxsize, unsigned srctype, const void* src,
                      unsigned srcsize) {
  if (!valsize || !valmaxsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - valsize: %p, valmaxsize: %p.", (void*)valsize, (void*)valmaxsize);
    return kParam;
  }
  if (val_is_text(srctype)) return tcvt_hex_to_data((const char*)src, dest, *valmaxsize, valsize);
  if (!val_is_data(srctype)) return not_supported(VAL_DATABUF, srctype);
  if (srcsize > *valmaxsize) {
    ERR_LOG(ERR_ERR, kCut, "Buf too small - valsize: %u, srcsize.", *valmaxsize);
    return kCut;
  }
  memmove(dest, src, srcsize);
  *valsize = srcsize;
  return 0;
}

int copy_heap_text(void* dest, unsigned* valsize, unsigned* valmaxsize, const char* src) {
  char** slot = (char**)dest;
  size_t len = strlen(src);
  if (*slot && len < str_cap(dest, valmaxsize)) {
    memmove(*slot, src, len + 1);
    return 0;
  }
  char* p = (char*)malloc(len + 1);
  if (!p) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)len);
    val_free(VAL_STR, dest, valsize, valmaxsize);
    return kNoMem;
  }
  memcpy(p, src, len + 1);
  free(*slot);
  *slot = p;
  if (valmaxsize) *valmaxsize = (unsigned)len + 1;
  return 0;
}

// The value of src into a slot of the same type.
int copy_same(unsigned t, void* dest, unsigned* valsize, unsigned* valmaxsize, const void* src, unsigned srcsize) {
  if (unsigned w = scalar_width(t)) {
    memmove(dest, src, w);
    return 0;
  }
  switch (t) {
    case VAL_STR: return copy_heap_text(dest, valsize, valmaxsize, (const char*)src);
    case VAL_STRBUF: {
      if (!valmaxsize) {
        ERR_LOG(ERR_ERR, kParam, "`valmaxsize' is NUL.");
        return kParam;
      }
      int rc = 0;
      mox_strcpy((char*)dest, *valmaxsize, (const char*)src, &rc);
      if (rc == kCut)
        ERR_LOG(ERR_ERR, kCut, "mox_strcpy() failed - size: %u, isrc: %u `%s'.", *valmaxsize,
                (unsigned)strlen((const char*)src), (const char*)src);
      return rc;
    }
    case VAL_DATA: return set_to_heap_data(dest, valsize, valmaxsize, t, src, srcsize);
    case VAL_DATABUF: return set_to_fixed_data(dest, valsize, valmaxsize, t, src, srcsize);
    case VAL_PTR:
      ERR_LOG(ERR_ERR, kNotSupp, "Not supported copy - srctype: %#X.", t);
      return kNotSupp;
  }
  return bad_type(t);
}

}  // namespace

int val_clear(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize) {
  if (!val) return null_val();
  if (unsigned w = scalar_width(valtype)) {
    memset(val, 0, w);
    return 0;
  }
  switch (valtype) {
    case VAL_STR:
    case VAL_PTR:
      *(void**)val = nullptr;
      if (valtype == VAL_STR && valmaxsize) *valmaxsize = 0;
      return 0;
    case VAL_STRBUF:
      *(char*)val = 0;
      return 0;
    case VAL_DATA:
      // the pointer goes too: val_free has released it, and a kept one would dangle
      *(void**)val = nullptr;
      if (valsize) *valsize = 0;
      if (valmaxsize) *valmaxsize = 0;
      return 0;
    case VAL_DATABUF:
      if (valsize) *valsize = 0;
      return 0;
  }
  return bad_type(valtype);
}

int val_free(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize) {
  if (!val) return null_val();
  if (val_owns_ptr(valtype)) free(*(void**)val);
  return val_clear(valtype, val, valsize, valmaxsize);
}

int val_set(unsigned desttype, void* dest, unsigned* destsize, unsigned* destmaxsize, unsigned srctype,
            const void* src, unsigned srcsize) {
  if (!dest) return null_val();
  if (!val_type_ok(desttype)) return bad_type(desttype);
  if (!src) return val_free(desttype, dest, destsize, destmaxsize);
  if (desttype == srctype) {
    const void* cur = slot_value(desttype, dest);
    bool sized = val_is_data(desttype);
    // an empty heap slot never equals a present source
    if (cur && (!sized || destsize) &&
        cmp(desttype, cur, sized ? *destsize : 0, srctype, src, sized ? srcsize : 0, false) == 0)
      return 0;
    return copy_same(desttype, dest, destsize, destmaxsize, src, srcsize);
  }
  switch (desttype) {
    case VAL_STR: return set_to_heap_text(dest, destsize, destmaxsize, srctype, src);
    case VAL_STRBUF:
      if (!destmaxsize) {
        ERR_LOG(ERR_ERR, kParam, "`valmaxsize' is NUL.");
        return kParam;
      }
      return tcvt(VAL_STRBUF, dest, *destmaxsize, srctype, src);
    case VAL_DATA: return set_to_heap_data(dest, destsize, destmaxsize, srctype, src, srcsize);
    case VAL_DATABUF: return set_to_fixed_data(dest, destsize, destmaxsize, srctype, src, srcsize);
  }
  return tcvt(desttype, dest, 0, srctype, src);
}

int val_cmp(unsigned type1, const void* val1, unsigned size1, unsigned type2, const void* val2, unsigned size2) {
  return cmp(type1, val1, size1, type2, val2, size2, false);
}

int val_casecmp(unsigned type1, const void* val1, unsigned size1, unsigned type2, const void* val2,
                unsigned size2) {
  return cmp(type1, val1, size1, type2, val2, size2, true);
}

int val_strcasecmp(const char* a, const char* b, unsigned n) {
  if (!a || !b) return a ? 1 : b ? -1 : 0;
  return cmp_text(a, b, n, true);
}

int val_to_str(char* buf, unsigned bufsize, unsigned valtype, const void* val, unsigned valsize) {
  if (!buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - buf: %p, bufsize: %u.", (void*)buf, bufsize);
    return kParam;
  }
  *buf = 0;
  if (!val) {
    if (val_owns_ptr(valtype)) return 0;  // the empty value renders as the empty text
    return null_val();
  }
  const char* text = (const char*)val;
  char tmp[VAL_TO_STR_BUFSIZE];
  if (val_is_data(valtype)) return tcvt_data_to_hex(buf, bufsize, val, valsize);
  if (!val_is_text(valtype)) {
    int rc = tcvt(VAL_STR, tmp, sizeof tmp, valtype, val);
    if (rc) return rc;
    text = tmp;
  }
  int rc = 0;
  mox_strcpy(buf, bufsize, text, &rc);
  if (rc == kCut)
    ERR_LOG(ERR_ERR, kCut, "mox_strcpy() failed - size: %u, srcp: %u `%s'.", bufsize, (unsigned)strlen(text), text);
  return rc;
}
