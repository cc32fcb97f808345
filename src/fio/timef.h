// Time-stamp operand: prefix and a time text in one of the accepted formats.
#pragma once

#include <ctime>

#include "rex/tsmatch.h"

struct timef {
  unsigned flags;  // bit 0: signed form
  tsm fmts;        // accepted formats
};

int timef_init(timef* f, unsigned flags, const char* fmts);
void timef_free(timef* f);
void timef_clear(timef* f);
// *from is read as the reference time and receives the start of the range, *to its end.
int timef_parse(const timef* f, const char* text, unsigned* op, time_t* from, time_t* to);
