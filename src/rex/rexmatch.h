// Matching of a finished automaton against a whole text: a breadth-first simulation
// over at most REXM_MAX_LIVE states per position, with its working sets on the stack;
// it allocates nothing and does not change the automaton.
#pragma once

#include "rex/rexm.h"

// 1 when the whole text matches, else 0; *err (optional) receives 0 or the failure code
// (9001 no states, 9003 bad argument, 9009 too many live states).
int rexm_match(const rexm* re, const char* str, int* err = nullptr);
