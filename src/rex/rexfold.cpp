#include "rex/rexfold.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "err/err.h"
#include "rex/rexmatch.h"

namespace {

constexpr int kMaxWide = 4096;  // longer texts are matched byte by byte
constexpr unsigned kTextSize = rexm_fold_size(kMaxWide);

}  // namespace

const char* rexm_fold(const char* text, char* out, unsigned outsize) {
  if (!text || !out || !outsize || rexm_is_ascii(text)) return text;
  WCHAR wide[kMaxWide], upper[kMaxWide];
  // the whole text, so that multi-byte code pages keep their trail bytes together
  int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, wide, kMaxWide);
  if (n <= 0) return text;
  // the invariant table is the one the file system compares names with
  if (LCMapStringW(LOCALE_INVARIANT, LCMAP_UPPERCASE, wide, n, upper, kMaxWide) != n) return text;
  for (int i = 0; i < n; i++)
    if (wide[i] >= 0x80) wide[i] = upper[i];
  // a letter whose upper case the code page lacks would come back as '?': keep the text then
  BOOL lost = FALSE;
  BOOL* plost = GetACP() == CP_UTF8 ? nullptr : &lost;
  if (WideCharToMultiByte(CP_ACP, 0, wide, n, out, (int)outsize, nullptr, plost) <= 0 || lost) return text;
  return out;
}

int rexm_match_fold(const rexm* re, const char* str, int* err) {
  char folded[kTextSize];
  return rexm_match(re, rexm_fold(str, folded, sizeof folded), err);
}

int rexm_fold_patt(const char* patt, char** out) {
  *out = nullptr;
  if (!patt || rexm_is_ascii(patt)) return 0;
  const unsigned size = rexm_fold_size((unsigned)strlen(patt));
  char* buf = static_cast<char*>(malloc(size));
  if (!buf) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", size);
    return 9004;
  }
  if (rexm_fold(patt, buf, size) == buf) {
    *out = buf;
  } else {
    free(buf);
  }
  return 0;
}
