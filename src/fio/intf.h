// Signed integer comparison operand: a comparison code and a 32-bit value read from
// text, and written back. Two spellings: the signed form (+n, -n, n, n- for a negative
// value) and the relational form (<n, <=n, >n, >=n, n).
#pragma once

enum {
  INTF_SIGNED = 1  // flags bit 0: signed form; clear: relational form
};

// Comparison codes shared by every operand reader.
enum {
  INTF_EQ = 0, INTF_LT = 1, INTF_LE = 2, INTF_GT = 3, INTF_GE = 4
};

struct intf {
  unsigned flags;
};

int intf_init(intf* f, unsigned flags);
void intf_free(intf* f);
void intf_clear(intf* f);

// Reads an optional prefix into op (left as the caller set it when there is none) and a
// base-10 number into value. An absent or empty text returns 0 and touches nothing. end
// (optional) receives the position after what was read. 9003 for a number out of range.
int intf_parse(const intf* f, const char* text, const char** end, unsigned* op, int* value);

// Writes op and value in the record's form; 9003 for a code the form cannot spell, 9005
// when str is too small.
int intf_to_str(const intf* f, unsigned op, int value, char* str, unsigned strsize);
