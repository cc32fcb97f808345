// File size operand: prefix, a number and an optional unit letter (k, m, g).
#pragma once

struct fszf {
  unsigned flags;  // bit 0: signed form
};

int fszf_init(fszf* f, unsigned flags);
void fszf_free(fszf* f);
void fszf_clear(fszf* f);
// unit stays as the caller set it when no letter follows the number.
int fszf_parse(const fszf* f, const char* text, unsigned* op, unsigned* n, unsigned* unit);
