#include "ex/exparser.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "ds/list_v.h"
#include "err/err.h"

struct exp* exp_current = nullptr;

namespace {
int text_release(unsigned type, void* data, unsigned* size, unsigned* maxsize, void*) {
  return val_free(type, data, size, maxsize);
}
}  // namespace

void exp_clear(struct exp* exp) {
  if (!exp) {
    ERR_LOG(ERR_ERR, 9003, "`exp' is NUL.");
    return;
  }
  memset(exp, 0, sizeof *exp);
}

void exp_free(struct exp* exp) {
  if (!exp) {
    ERR_LOG(ERR_ERR, 9003, "`exp' is NUL.");
    return;
  }
  list_v_free(&exp->texts);
  exp_clear(exp);
}

int exp_parse(struct exp* exp, ex* ex, const char* text, exp_parse_fn parse, exp_restart_fn restart,
              int logflag, void* usr) {
  if (!exp || !ex || !text || !*text || !parse) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - exp: %p, ex: %p, str: `%s', parse_fn: %p.", (void*)exp,
            (void*)ex, mox_nul(text), (void*)parse);
    return 9003;
  }
  exp_free(exp);
  int rc = list_v_init(&exp->texts, 0x82, nullptr, text_release, nullptr, nullptr);
  if (rc) return rc;
  exp->ex = ex;
  exp->input = text;
  exp->remaining = (unsigned)strlen(text);
  exp->logflag = logflag;
  exp->usr = usr;
  exp_current = exp;
  if (restart) restart();
  parse();
  exp_current = nullptr;
  return (int)exp->errcode;
}

unsigned exp_input(char* buf, unsigned max) {
  struct exp* exp = exp_current;
  if (!exp || !buf) return 0;
  unsigned n = exp->remaining < max ? exp->remaining : max;
  memcpy(buf, exp->input, n);
  exp->input += n;
  exp->remaining -= n;
  return n;
}

void exp_error(struct exp* exp, int code, const char* text) {
  if (!exp) {
    ERR_LOG(ERR_ERR, 9003, "`exp' is NUL.");
    return;
  }
  if (exp->errcode) return;
  exp->errcode = (unsigned)code;
  mox_strcpy(exp->errtext, sizeof exp->errtext, text);
}

int exp_keep_text(struct exp* exp, char* text) {
  if (!exp || !text) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - exp: %p, text: %p.", (void*)exp, (void*)text);
    return 9003;
  }
  int err = 0;
  list_v_append(&exp->texts, text, &err);
  return err;
}
