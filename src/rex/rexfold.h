// Letter case of names beyond ASCII, folded as the file system compares them.
#pragma once

struct rexm;

inline bool rexm_is_ascii(const char* s) {
  for (; *s; s++)
    if ((unsigned char)*s >= 0x80) return false;
  return true;
}

// Folds the non-ASCII letters of text (in the active code page) to upper case through
// the system's table; ASCII bytes stay as they are, the automaton lowers those itself.
// Returns text itself when it is plain ASCII, or when it cannot be converted or folded
// within outsize (then it is matched byte by byte); else out.
const char* rexm_fold(const char* text, char* out, unsigned outsize);

// Bytes a folded copy of an n-byte text may need, its zero included.
constexpr unsigned rexm_fold_size(unsigned n) { return 3 * n + 1; }

// rexm_match on the folded text; for an automaton compiled from a folded pattern.
int rexm_match_fold(const rexm* re, const char* str, int* err);

// The pattern of an automaton that ignores case, folded into a new heap block
// (*out; freed by the caller) when it needs it, else *out nullptr. 9004 without memory.
int rexm_fold_patt(const char* patt, char** out);
