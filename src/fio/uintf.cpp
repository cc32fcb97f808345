#include "fio/uintf.h"

#include <cerrno>
#include <cstdlib>

#include "err/err.h"
#include "fio/cmpf.h"

int uintf_init(uintf* f, unsigned flags) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`uintf' is NUL.");
    return 9003;
  }
  f->flags = flags;
  return 0;
}

void uintf_clear(uintf* f) {
  if (f) f->flags = 0;
}

void uintf_free(uintf* f) { uintf_clear(f); }

int uintf_parse(const uintf* f, const char* text, const char** end, unsigned* op, unsigned* value) {
  if (!f || !op || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - uintf: %p, op: %p, value: %p.", (const void*)f, (void*)op,
            (void*)value);
    return 9003;
  }
  if (!text || !*text) return 0;
  const char* p = cmpf_prefix(text, f->flags, op);
  char* e = nullptr;
  errno = 0;
  unsigned long long v = strtoull(p, &e, 10);
  // the runtime's unsigned conversion accepts a sign; a negative number is out of range here
  // the caller reports the bad operand to the user
  if (errno == ERANGE || v > 0xFFFFFFFFull || (e != p && *p == '-' && v != 0)) return 9003;
  *value = (unsigned)v;
  if (end) *end = e;
  return 0;
}
