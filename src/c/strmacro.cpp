#include "c/strmacro.h"

#include <cstring>

#include "c/arg.h"
#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kSyntax = 9001;
constexpr int kParam = 9003;
constexpr int kCut = 9005;
constexpr int kLimit = 9009;

// The value of a macro, now standing in the text from its start up to end. A macro
// found inside it must not name it again, else the expansion would never end.
struct region {
  char name[STRMACRO_NAME_MAX + 1];
  size_t end;
};

}  // namespace

int strmacro_expand(char* str, unsigned strsize) {
  if (!str || !strsize || !memchr(str, 0, strsize)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - str: `%s', strsize: %u.", str ? "" : "NUL",
            strsize);
    return kParam;
  }
  region stack[STRMACRO_DEPTH_MAX];
  unsigned depth = 0;
  size_t len = strlen(str);
  size_t pos = 0;
  for (;;) {
    char* q = strstr(str + pos, "$(");
    if (!q) return 0;
    char* r = strchr(q + 2, ')');
    if (!r) return 0;
    size_t qoff = (size_t)(q - str), roff = (size_t)(r - str);
    while (depth && stack[depth - 1].end <= qoff) --depth;

    size_t nlen = roff - qoff - 2;
    if (nlen > STRMACRO_NAME_MAX) {
      ERR_LOG(ERR_ERR, kLimit, "Macro name too long [%u] - max: %u, str: `%.*s'.", (unsigned)nlen,
              (unsigned)STRMACRO_NAME_MAX, (int)(nlen + 3), q);
      return kLimit;
    }
    char name[STRMACRO_NAME_MAX + 1];
    memcpy(name, q + 2, nlen);
    name[nlen] = 0;
    for (unsigned i = 0; i < depth; ++i) {
      if (strcmp(stack[i].name, name) == 0) {
        ERR_LOG(ERR_ERR, kSyntax, "Recursive macro `$(%s)' - str: `%s'.", name, str);
        return kSyntax;
      }
    }
    // values that ended inside this macro are consumed by it
    while (depth && stack[depth - 1].end <= roff) --depth;

    const char* v = arg_getenv(name);
    if (!v) v = "";
    size_t vlen = strlen(v), mlen = nlen + 3;
    if (vlen && depth == STRMACRO_DEPTH_MAX) {
      ERR_LOG(ERR_ERR, kLimit, "Macro nesting [%u] exceeded - name: `%s', str: `%s'.",
              (unsigned)STRMACRO_DEPTH_MAX, name, str);
      return kLimit;
    }
    if (vlen > mlen && len - mlen + vlen >= strsize) {
      ERR_LOG(ERR_ERR, kCut, "`str' size too small - str: `%s', strsize: %u.", str, strsize);
      return kCut;
    }
    memmove(q + vlen, r + 1, len - roff);  // the rest with its terminating zero
    memcpy(q, v, vlen);
    len = len - mlen + vlen;
    for (unsigned i = 0; i < depth; ++i) stack[i].end = stack[i].end - mlen + vlen;
    if (vlen) {
      memcpy(stack[depth].name, name, nlen + 1);
      stack[depth].end = qoff + vlen;
      ++depth;
    }
    pos = qoff;
  }
}
