// Text rules of the file list: byte order, or byte order after folding A-Z to a-z
// (the rule of the runtime's _stricmp in the C locale), and the name hash that agrees.
#pragma once

#include <cstddef>
#include <cstdint>

struct ffold {
  unsigned char t[256];
  constexpr ffold() : t() {
    for (int i = 0; i < 256; ++i) t[i] = (unsigned char)(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
  }
};
inline constexpr ffold g_ffold{};

inline bool fsep(char c) { return c == '\\' || c == '/'; }

inline int ftext_cmp(const char* a, const char* b, bool icase) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
  const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
  if (icase) {
    while (*p && g_ffold.t[*p] == g_ffold.t[*q]) ++p, ++q;
    return (int)g_ffold.t[*p] - (int)g_ffold.t[*q];
  }
  while (*p && *p == *q) ++p, ++q;
  return (int)*p - (int)*q;
}

// a (zero-ended) equal to the n bytes at b
inline bool ftext_eqn(const char* a, const char* b, size_t n, bool icase) {
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = (unsigned char)a[i], y = (unsigned char)b[i];
    if (!x) return false;
    if (icase ? g_ffold.t[x] != g_ffold.t[y] : x != y) return false;
  }
  return a[n] == 0;
}

inline unsigned ftext_hash(const void* parent, const char* s, size_t n, bool icase) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = (unsigned char)s[i];
    h = (h ^ (icase ? g_ffold.t[c] : c)) * 16777619u;
  }
  uintptr_t p = reinterpret_cast<uintptr_t>(parent);
  h ^= (uint32_t)(p >> 4) * 0x9E3779B1u;
  return h ^ (h >> 15);
}
