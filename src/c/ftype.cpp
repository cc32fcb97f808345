#include "c/ftype.h"

#include <cstring>

#include "err/err.h"

namespace {

struct Signature {
  int type;
  unsigned minsize;  // bytes the buffer must hold for this type
  unsigned len;
  const char* bytes;
};

constexpr Signature kSignatures[] = {
    {MOX_FTYPE_BMP, 2, 2, "BM"},
    {MOX_FTYPE_BZIP2, 3, 3, "BZh"},
    {MOX_FTYPE_GZIP, 2, 2, "\x1f\x8b"},
    {MOX_FTYPE_JPEG, 10, 2, "\xff\xd8"},
    {MOX_FTYPE_PNG, 8, 8, "\x89PNG\r\n\x1a\n"},
};

}  // namespace

int mox_ftype(const void* buf, unsigned size) {
  if (!buf) {
    ERR_LOG(ERR_ERR, 9003, "`buf' is NUL.");
    return MOX_FTYPE_UNKNOWN;
  }
  for (const Signature& s : kSignatures)
    if (size >= s.minsize && memcmp(buf, s.bytes, s.len) == 0) return s.type;
  return MOX_FTYPE_UNKNOWN;
}
