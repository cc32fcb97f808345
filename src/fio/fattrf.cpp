#include "fio/fattrf.h"

#include "err/err.h"

int fattrf_init(fattrf* f, unsigned flags) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`fattrf' is NUL.");
    return 9003;
  }
  f->flags = flags;
  return 0;
}

void fattrf_clear(fattrf* f) {
  if (f) f->flags = 0;
}

void fattrf_free(fattrf* f) { fattrf_clear(f); }

int fattrf_parse(const fattrf* f, const char* text, unsigned* op, unsigned* mask) {
  if (!f || !op || !mask) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - fattrf: %p, op: %p, mask: %p.", (const void*)f, (void*)op,
            (void*)mask);
    return 9003;
  }
  for (const char* p = text ? text : ""; *p; p++) {
    switch (*p) {
      case 'a': *mask |= 0x20; break;
      case 'd': *mask |= 0x10; break;
      case 'h': *mask |= 0x02; break;
      case 'r': *mask |= 0x01; break;
      case 's': *mask |= 0x04; break;
      default: return 9003;
    }
  }
  return 0;
}

int fattrf_to_str(unsigned attrs, char* buf, unsigned bufsize) {
  if (!buf) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - attrs: %#x, str: %p, strsize: %u.", attrs, (void*)buf, bufsize);
    return 9003;
  }
  if (bufsize < 10) {
    ERR_LOG(ERR_ERR, 9005, "`strsize' too small [%u].", bufsize);
    if (bufsize) *buf = 0;
    return 9005;
  }
  struct letter {
    unsigned bit;
    char c;
  };
  static constexpr letter kLetters[] = {{0x10, 'D'}, {0x01, 'R'}, {0x04, 'S'}, {0x02, 'H'}, {0x20, 'A'}};
  char* p = buf;
  for (const letter& l : kLetters)
    if (attrs & l.bit) *p++ = l.c;
  *p = 0;
  return 0;
}
