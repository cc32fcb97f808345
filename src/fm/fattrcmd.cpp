#include "fm/fattrcmd.h"

#include "err/err.h"

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

unsigned bit_of(char c) {
  switch (c) {
    case 'r': case 'R': return FATTR_RO;
    case 'h': case 'H': return FATTR_HIDDEN;
    case 'a': case 'A': return FATTR_ARCHIVE;
    default: return 0;
  }
}

}  // namespace

int fattr_parse(const char* cmd, unsigned* set, unsigned* mask, const char** bad) {
  if (!set || !mask) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - set: %p, mask: %p.", (void*)set, (void*)mask);
    return 9003;
  }
  unsigned s = 0, m = 0;
  for (const char* p = cmd ? cmd : ""; *p;) {
    if (blank(*p)) {
      ++p;
      continue;
    }
    const char* w = p;
    const char sign = *p++;
    bool ok = (sign == '+' || sign == '-') && *p && !blank(*p);
    for (; ok && *p && !blank(*p); ++p) {
      const unsigned b = bit_of(*p);
      if (!b) ok = false;
      m |= b;
      s = sign == '+' ? s | b : s & ~b;
    }
    if (!ok) {
      if (bad) *bad = w;
      return 9012;
    }
  }
  *set = s;
  *mask = m;
  return 0;
}

void fattr_of_boxes(int ro, int hidden, int archive, unsigned* set, unsigned* mask) {
  constexpr unsigned kBits[] = {FATTR_RO, FATTR_HIDDEN, FATTR_ARCHIVE};
  const int states[] = {ro, hidden, archive};
  unsigned s = 0, m = 0;
  for (int i = 0; i < 3; ++i) {
    if (states[i] == FATTR_BOX_KEEP) continue;
    m |= kBits[i];
    if (states[i] == FATTR_BOX_ON) s |= kBits[i];
  }
  if (set) *set = s;
  if (mask) *mask = m;
}

int fattr_box_of(const unsigned* attrs, unsigned n, unsigned bit) {
  if (!attrs || !n) return FATTR_BOX_KEEP;
  unsigned with = 0;
  for (unsigned i = 0; i < n; ++i) with += (attrs[i] & bit) != 0;
  return with == n ? FATTR_BOX_ON : with == 0 ? FATTR_BOX_OFF : FATTR_BOX_KEEP;
}
