// Path wildcards: as file-name wildcards, but '*', '?' and lists stop at '\' and '/',
// "**" crosses them, and either separator in the pattern matches either in the text.
// PNM_DIR makes the pattern's last separator optional (c:\tmp matches c:\tmp\ too).
#pragma once

#include "rex/rexm.h"

enum { PNM_ICASE = 0x1, PNM_DIR = 0x2 };

struct pnm {
  rexm re;
  int flags;
};

int pnm_init(pnm* pn, const char* patt, int flags);
int pnm_match(const pnm* pn, const char* str, int* err = nullptr);
int pnm_free(pnm* pn);
int pnm_clear(pnm* pn);
