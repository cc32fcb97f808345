// File attribute operand: letters a, d, h, r, s naming attribute bits.
#pragma once

struct fattrf {
  unsigned flags;
};

int fattrf_init(fattrf* f, unsigned flags);
void fattrf_free(fattrf* f);
void fattrf_clear(fattrf* f);
// Adds the bit of each letter to *mask; op is never set.
int fattrf_parse(const fattrf* f, const char* text, unsigned* op, unsigned* mask);

// The set attributes as the letters D R S H A, in that order; buf holds at least 10 bytes.
int fattrf_to_str(unsigned attrs, char* buf, unsigned bufsize);
