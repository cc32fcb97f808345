#include "fio/fszf.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "err/err.h"
#include "fio/cmpf.h"

int fszf_init(fszf* f, unsigned flags) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`fszf' is NUL.");
    return 9003;
  }
  f->flags = flags;
  return 0;
}

void fszf_clear(fszf* f) {
  if (f) f->flags = 0;
}

void fszf_free(fszf* f) { fszf_clear(f); }

int fszf_parse(const fszf* f, const char* text, unsigned* op, unsigned* n, unsigned* unit) {
  if (!f || !op || !n || !unit) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - fszf: %p, op: %p, n: %p, unit: %p.", (const void*)f, (void*)op,
            (void*)n, (void*)unit);
    return 9003;
  }
  if (!text || !*text) return 0;
  const char* p = cmpf_prefix(text, f->flags, op);
  if (!isdigit((unsigned char)*p)) return 9003;
  char* e = nullptr;
  unsigned long long v = strtoull(p, &e, 10);
  *n = v > 0xFFFFFFFFull ? 0xFFFFFFFFu : (unsigned)v;
  switch (*e) {
    case 0: break;
    case 'c': case 'C': *unit = 1; break;  // bytes, as the usage text and find's users write it
    case 'k': case 'K': *unit = 1024; break;
    case 'm': case 'M': *unit = 1048576; break;
    case 'g': case 'G': *unit = 1073741824; break;
    default:
      if (!isspace((unsigned char)*e)) return 9003;
  }
  return 0;
}
