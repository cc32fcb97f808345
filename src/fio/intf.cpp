#include "fio/intf.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "fio/cmpf.h"

int intf_init(intf* f, unsigned flags) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`intf' is NUL.");
    return 9003;
  }
  intf_clear(f);
  f->flags = flags;
  return 0;
}

void intf_free(intf* f) { intf_clear(f); }

void intf_clear(intf* f) {
  if (f) f->flags = 0;
}

int intf_parse(const intf* f, const char* text, const char** end, unsigned* op, int* value) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`intf' is NUL.");
    return 9003;
  }
  if (!op || !value) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - intf: %p, op: %p, value: %p.", (const void*)f, (void*)op,
            (void*)value);
    return 9003;
  }
  if (!text || !*text) return 0;

  unsigned code = *op;  // set only when the number is good
  const char* p = cmpf_prefix(text, f->flags, &code);
  char* stop = nullptr;
  errno = 0;
  long v = strtol(p, &stop, 10);
  // long is wider than 32 bits on some hosts: the range is that of the value, not of long
  if (errno == ERANGE || v < INT_MIN || v > INT_MAX) {
    ERR_LOG(ERR_ERR, 9003, "Number out of range - str: `%s'.", text);
    return 9003;
  }
  if ((f->flags & INTF_SIGNED) && stop > p && *stop == '-') {
    if (v > 0) v = -v;
    ++stop;
  }
  *op = code;
  *value = (int)v;
  if (end) *end = stop;
  return 0;
}

int intf_to_str(const intf* f, unsigned op, int value, char* str, unsigned strsize) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`intf' is NUL.");
    return 9003;
  }
  if (!str || !strsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - intf: %p, str: %p, strsize: %u.", (const void*)f, (void*)str,
            strsize);
    return 9003;
  }
  *str = 0;
  const bool sgn = f->flags & INTF_SIGNED;
  const char* prefix = nullptr;
  switch (op) {
    case INTF_EQ: prefix = ""; break;
    case INTF_LT: prefix = sgn ? "-" : "<"; break;
    case INTF_LE: prefix = sgn ? nullptr : "<="; break;
    case INTF_GT: prefix = sgn ? "+" : ">"; break;
    case INTF_GE: prefix = sgn ? nullptr : ">="; break;
    default: break;
  }
  if (!prefix) {
    ERR_LOG(ERR_ERR, 9003, "Invalid `op' [%d].", (int)op);
    return 9003;
  }
  int rc;
  if (sgn && value < 0)  // magnitude as unsigned, so that INT_MIN stays exact
    rc = mox_snprintf(str, strsize, "%s%u-", prefix, 0u - (unsigned)value);
  else
    rc = mox_snprintf(str, strsize, "%s%d", prefix, value);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - strsize: %u.", strsize);
  return rc;
}
