// Entry type operand: letters d (directory) and f (regular file).
#pragma once

struct ftypef {
  unsigned flags;
};

int ftypef_init(ftypef* f, unsigned flags);
void ftypef_free(ftypef* f);
void ftypef_clear(ftypef* f);
int ftypef_parse(const ftypef* f, const char* text, unsigned* op, unsigned* dirmask, unsigned* isreg);
