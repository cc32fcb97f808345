#include "fio/timef.h"

#include <cstring>

#include "err/err.h"
#include "fio/cmpf.h"

int timef_init(timef* f, unsigned flags, const char* fmts) {
  if (!f) {
    ERR_LOG(ERR_ERR, 9003, "`timef' is NUL.");
    return 9003;
  }
  timef_free(f);
  f->flags = flags;
  return fmts ? tsm_init(&f->fmts, fmts) : 0;
}

void timef_clear(timef* f) {
  if (f) memset(f, 0, sizeof *f);
}

void timef_free(timef* f) {
  if (!f) return;
  tsm_free(&f->fmts);
  timef_clear(f);
}

int timef_parse(const timef* f, const char* text, unsigned* op, time_t* from, time_t* to) {
  if (!f || !text || !op || !from || !to) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - timef: %p, str: `%s', op: %p, from: %p, to: %p.", (const void*)f,
            text ? text : "NUL", (void*)op, (void*)from, (void*)to);
    return 9003;
  }
  const char* p = cmpf_prefix(text, f->flags, op);
  int err = 0;
  if (tsm_match(&f->fmts, p, from, to, &err)) return 0;
  return err ? err : 9003;
}
