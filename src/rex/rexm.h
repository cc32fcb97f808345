// Pattern automaton: states joined by lines (transitions), built atom by atom by a
// front end and run over a whole text by a breadth-first simulation (rexmatch.h).
// Once finished it is read-only: any number of threads may match on it at once.
#pragma once

#include <cstdint>

// rexm flags
enum { REXM_ICASE = 0x1, REXM_GLOB = 0x2 };

// Line codes other than a character 1-255.
enum {
  REXM_EMPTY = 0,        // consumes nothing
  REXM_ANY_NOSEP = -2,   // any character that is not a separator
  REXM_ANY = -3,         // any character, separators included
  REXM_CHL = -4          // a character of a list (or not of it) that is not a separator
};

enum {
  REXM_MAX_LIVE = 511,     // states reached at one text position
  REXM_MAX_STATES = 8192,  // states of one automaton (indices stay 16 bits)
  REXM_CHL_SIZE = 1024     // an expanded character list, with its zero
};

struct rexm_state {
  int final;  // 1 on a final state
  int num;    // its number, also its index
  int first;  // its first line (index into lns) or -1
  int last;   // its last line or -1
};

struct rexm_ln {
  int target;               // state index
  int code;                 // a character 1-255 or one of the codes above
  int next;                 // next line of the same state or -1
  int chl_not;              // REXM_CHL: the list is negated
  char* chl;                // REXM_CHL: the expanded list (owned, lives in chlmap's block)
  const uint32_t* chlmap;   // REXM_CHL: the list as a 256-bit set (owned block)
};

struct rexm_grp {
  int start;  // the group's start state
  int mark;   // pending ends below this index belong to enclosing groups
};

struct rexm {
  int flags;
  char* seps;            // owned separator characters or nullptr
  uint32_t sepmap[8];    // the separators as a 256-bit set
  rexm_state* states;    // the states in order of creation
  int nstates;           // state counter: number of the next state
  int capstates;
  rexm_ln* lns;
  int nlns;
  int caplns;
  int start;             // start state or -1
  int cur;               // state the next atom is attached to, or -1
  rexm_grp* grps;        // stack of open groups
  int ngrps;
  int capgrps;
  int* pend;             // ends of alternatives not yet joined (one list for all groups)
  int npend;
  int cappend;
};

// Frees what the record holds, stores the flags and a copy of the separators
// (lower-cased when ignoring case). The record must be cleared (rexm_clear) once first.
int rexm_init(rexm* re, int flags, const char* seps);
// Frees everything and clears the record. rexm_clear only clears.
int rexm_free(rexm* re);
int rexm_clear(rexm* re);

// Adds one atom: code a character 1-255, REXM_ANY_NOSEP or REXM_ANY; q 0, '*', '+' or '?'.
int rexm_add_char(rexm* re, int code, int q);
// Reads a character list from patt (at its '['), notc its negation character, and adds
// it as one REXM_CHL atom; *consumed (optional) receives the pattern characters read.
int rexm_add_chl(rexm* re, const char* patt, int notc, unsigned* consumed);
// Opens a group; starts another alternative of the innermost group (or of the whole
// pattern); closes the innermost group with q 0, '*', '+' or '?'. '*' and '+' must only
// close a group that cannot match the empty text.
int rexm_group(rexm* re);
int rexm_alt(rexm* re);
int rexm_group_end(rexm* re, int q);
// Adds the final state; the automaton is then ready.
int rexm_finish(rexm* re);

// Forms of the wildcard compiler below.
enum { REXM_WILD_PATH = 0x1, REXM_WILD_DIR = 0x2 };

// The wildcard compiler of the name, path and string front ends: appends the atoms of
// patt to an initialised automaton and finishes it. '*' any run, '?' one character,
// [..] a list ([!..] negated), esc takes the next character literally. In path form
// "**" crosses separators and '\' or '/' matches either; with REXM_WILD_DIR too, a
// separator that ends the pattern may be left out.
int rexm_add_wild(rexm* re, const char* patt, int esc, int form);
// rexm_init followed by rexm_add_wild; after a failure the record holds nothing.
int rexm_init_wild(rexm* re, int flags, const char* seps, const char* patt, int esc, int form);

// The list reader of rexm_add_chl: writes the expanded list (each character written
// out, NUL-terminated) into chl; chlsize REXM_CHL_SIZE holds the largest allowed list.
int rexm_read_chl(const char* patt, int notc, char* chl, unsigned chlsize, int* chl_not, unsigned* consumed);
