#include "fio/ftypef.h"

#include "err/err.h"

int ftypef_init(ftypef* f, unsigned flags) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`ftypef' is NUL.");
    return 9003;
  }
  f->flags = flags;
  return 0;
}

void ftypef_clear(ftypef* f) {
  if (f) f->flags = 0;
}

void ftypef_free(ftypef* f) { ftypef_clear(f); }

int ftypef_parse(const ftypef* f, const char* text, unsigned* op, unsigned* dirmask, unsigned* isreg) {
  if (!f || !op || !dirmask || !isreg) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ftypef: %p, op: %p, dirmask: %p, isreg: %p.", (const void*)f,
            (void*)op, (void*)dirmask, (void*)isreg);
    return 9003;
  }
  for (const char* p = text ? text : ""; *p; p++) {
    if (*p == 'd') *dirmask = 0x10;
    else if (*p == 'f') *isreg = 1;
    else return 9003;
  }
  return 0;
}
