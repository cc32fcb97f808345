// Unsigned integer comparison operand: prefix (signed or relational form) and a
// 32-bit unsigned number.
#pragma once

struct uintf {
  unsigned flags;  // bit 0: signed form
};

int uintf_init(uintf* f, unsigned flags);
void uintf_free(uintf* f);
void uintf_clear(uintf* f);
// op stays as the caller set it when there is no prefix; no digits give 0; 9003 out of range.
int uintf_parse(const uintf* f, const char* text, const char** end, unsigned* op, unsigned* value);
