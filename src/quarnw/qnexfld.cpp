#include "quarnw/qnexfld.h"

#include <cstring>

#include "c/arg.h"
#include "c/str.h"
#include "err/err.h"
#include "quarn/qnex.h"
#include "quarn/qnexparser.h"

namespace {

// Appends s; 9005 with the log line when it does not fit.
int put(char* buf, unsigned bufsize, unsigned* len, const char* s) {
  unsigned n = (unsigned)std::strlen(s);
  if (*len + n + 1 > bufsize) {
    ERR_LOG(ERR_ERR, 9005, "mox_snprintf() failed - size: %u.", bufsize);
    return 9005;
  }
  std::memcpy(buf + *len, s, n + 1);
  *len += n;
  return 0;
}

// The word with a backslash before each blank, tab and carriage return: the scanner keeps
// such a word whole and the name and path primaries drop the backslashes again.
int put_escaped(char* buf, unsigned bufsize, unsigned* len, const char* w) {
  for (const char* c = w; *c; c++) {
    const bool blank = *c == ' ' || *c == '\t' || *c == '\r';
    const char one[3] = {'\\', *c, 0};
    if (int rc = put(buf, bufsize, len, blank ? one : one + 1)) return rc;
  }
  return 0;
}

const char* one_line(const char* text, char* buf, unsigned size) {
  unsigned i = 0;
  for (; text[i] && i + 1 < size; i++) buf[i] = text[i] == '\n' ? ' ' : text[i];
  buf[i] = 0;
  return buf;
}

}  // namespace

int qnexfld_part(const char* prim, const char* text, char* buf, unsigned bufsize) {
  if (!prim || !text || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - prim: %p, text: %p, buf: %p, bufsize: %u.", (const void*)prim,
            (const void*)text, (void*)buf, bufsize);
    return 9003;
  }
  unsigned len = (unsigned)strnlen(buf, bufsize);
  if (len >= bufsize) return 9003;
  arg a{};
  int rc = arg_init(&a, 0, nullptr, 0, 0);
  if (!rc) rc = arg_split(&a, text);
  if (!rc && a.argc > 0) {
    const unsigned start = len;
    rc = put(buf, bufsize, &len, " (");
    for (int i = 0; !rc && i < a.argc; i++) {
      const char* w = a.argv[i];
      if (!std::strcmp(w, "&"))
        rc = put(buf, bufsize, &len, " -a");
      else if (!std::strcmp(w, "|"))
        rc = put(buf, bufsize, &len, " -o");
      else if (!std::strcmp(w, "!") || !std::strcmp(w, "(") || !std::strcmp(w, ")")) {
        rc = put(buf, bufsize, &len, " ");
        if (!rc) rc = put(buf, bufsize, &len, w);
      } else {
        rc = put(buf, bufsize, &len, " -");
        if (!rc) rc = put(buf, bufsize, &len, prim);
        if (!rc) rc = put(buf, bufsize, &len, ":");
        if (!rc) rc = put_escaped(buf, bufsize, &len, w);
      }
    }
    if (!rc) rc = put(buf, bufsize, &len, " )");
    if (rc) buf[start] = 0;  // no half part
  }
  arg_free(&a);
  return rc;
}

int qnexfld_expr(const char* md, const char* size, const char* name, char* buf, unsigned bufsize) {
  if (!buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - buf: %p, bufsize: %u.", (void*)buf, bufsize);
    return 9003;
  }
  buf[0] = 0;
  int rc = qnexfld_part("md", md ? md : "", buf, bufsize);
  if (!rc) rc = qnexfld_part("size", size ? size : "", buf, bufsize);
  if (!rc) rc = qnexfld_part("name", name ? name : "", buf, bufsize);
  return rc;
}

int qnexfld_parse(qnexp* p, ex* e, const char* text, int ignorecase, const char* fmts, long now, int* parsed) {
  if (!p || !e || !text || !parsed) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qnexp: %p, ex: %p, text: %p, parsed: %p.", (void*)p, (void*)e,
            (const void*)text, (void*)parsed);
    return 9003;
  }
  *parsed = 0;
  int rc = ex_init(e, qnex_free);
  if (rc || !*text) return rc;
  rc = mox_qnexparser_parse(p, e, text, ignorecase, 0, fmts, now, 0);
  if (rc) {
    static char etext[sizeof p->exp.errtext], shown[QNEXFLD_EXPR_SIZE];
    ERR_USER(ERR_ERR, rc, "%s: %s.", one_line(p->exp.errtext, etext, sizeof etext),
             one_line(text, shown, sizeof shown));
    ex_init(e, qnex_free);  // drops what the failed parse built
    return rc;
  }
  *parsed = ex_root(e) != nullptr;
  return 0;
}
