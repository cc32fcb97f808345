#include "c/strbuf.h"

#include <cstdlib>
#include <cstring>
#include <malloc.h>

#include "err/err.h"

namespace {

constexpr unsigned kDefaultStep = 256;

size_t block_size(void* p, size_t asked) {
#ifdef _WIN32
  size_t n = _msize(p);
#else
  size_t n = malloc_usable_size(p);
#endif
  return n >= asked ? n : asked;
}

}  // namespace

int strbuf_init(strbuf* sb, unsigned step) {
  if (!sb) {
    ERR_LOG(ERR_ERR, 9003, "`strbuf' is NUL.");
    return 9003;
  }
  memset(sb, 0, sizeof *sb);
  sb->step = step ? step : kDefaultStep;
  return 0;
}

void strbuf_free(strbuf* sb) {
  if (!sb) return;
  free(sb->str);
  memset(sb, 0, sizeof *sb);
}

void strbuf_clear(strbuf* sb) {
  if (sb) memset(sb, 0, sizeof *sb);
}

char* strbuf_cat(strbuf* sb, const char* text, int* err) {
  if (err) *err = 0;
  if (!sb) {
    ERR_LOG(ERR_ERR, 9003, "`strbuf' is NUL.");
    if (err) *err = 9003;
    return nullptr;
  }
  if (!text || !*text) return sb->str;
  size_t len = sb->str ? strlen(sb->str) : 0;
  size_t tlen = strlen(text);
  size_t need = len + tlen + 1;
  if (need > sb->size) {
    size_t step = sb->step ? sb->step : kDefaultStep;
    size_t grow = need - sb->size > step ? need - sb->size : step;
    size_t nsize = sb->size + grow;
    // the capacity is kept in 32 bits
    void* p = nsize <= 0xFFFFFFFFu ? realloc(sb->str, nsize) : nullptr;
    if (!p) {
      ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)nsize);
      if (err) *err = 9004;
      return sb->str;
    }
    if (!sb->str) *(char*)p = 0;
    sb->str = (char*)p;
    size_t got = block_size(p, nsize);
    sb->size = got <= 0xFFFFFFFFu ? (unsigned)got : (unsigned)nsize;
  }
  memcpy(sb->str + len, text, tlen + 1);
  return sb->str;
}
