#include "fio/cmpf.h"

#include "fio/intf.h"

const char* cmpf_prefix(const char* text, unsigned flags, unsigned* op) {
  if (flags & INTF_SIGNED) {
    if (*text == '+') { *op = INTF_GT; return text + 1; }
    if (*text == '-') { *op = INTF_LT; return text + 1; }
    return text;
  }
  if (text[0] == '<' && text[1] == '=') { *op = INTF_LE; return text + 2; }
  if (text[0] == '>' && text[1] == '=') { *op = INTF_GE; return text + 2; }
  if (*text == '<') { *op = INTF_LT; return text + 1; }
  if (*text == '>') { *op = INTF_GT; return text + 1; }
  return text;
}
