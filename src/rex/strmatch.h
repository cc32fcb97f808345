// Plain string wildcards: '*' any run, '?' zero or one character, [..] a list ([!..]
// negated), '\' takes the next character literally. A pattern matches a whole text.
#pragma once

#include "rex/rexm.h"

enum { STRM_ICASE = 0x1 };

struct strm {
  rexm re;
  int flags;
};

int strm_init(strm* sm, const char* patt, int flags);
int strm_match(const strm* sm, const char* str, int* err = nullptr);
int strm_free(strm* sm);
int strm_clear(strm* sm);
