// File-name wildcards: '*' any run, '?' one character, [..] a list ([!..] negated),
// '^' takes the next character literally. A pattern matches a whole name.
#pragma once

#include "rex/rexm.h"

enum { FNM_ICASE = 0x1 };

struct fnm {
  rexm re;
  int flags;
};

// Frees what the record holds and compiles patt. 0 or the automaton's failure code;
// after a failure the record holds no automaton (a match then fails with 9001).
int fnm_init(fnm* fn, const char* patt, int flags);
// 1 when str matches, else 0; *err (optional) receives 0 or the failure code.
int fnm_match(const fnm* fn, const char* str, int* err = nullptr);
int fnm_free(fnm* fn);
int fnm_clear(fnm* fn);
