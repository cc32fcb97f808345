// Breadth-first simulation of the automaton over a whole text. The sets of one text
// position live in a working record on the caller's stack; a state is expanded at most
// once per position, so a pattern never costs more than its live states per character,
// and even an empty loop could not make it recurse without end.
#include "rex/rexmatch.h"

#include <cstring>

#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kSyntax = 9001;
constexpr int kLimit = 9009;
constexpr int kWords = REXM_MAX_STATES / 64;

struct work {
  uint16_t set[2][REXM_MAX_LIVE];  // states to expand at this position, reached for the next
  uint64_t seen[2][kWords];        // states expanded here, states already in the next set
  uint16_t stack[REXM_MAX_LIVE];   // states reached by empty lines, not yet expanded
};

constexpr unsigned char lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? (unsigned char)(c + 32) : c; }

inline bool has(const uint64_t* set, unsigned i) { return set[i >> 6] >> (i & 63) & 1; }
inline void put(uint64_t* set, unsigned i) { set[i >> 6] |= (uint64_t)1 << (i & 63); }
inline bool in_map(const uint32_t* map, unsigned char c) { return map[c >> 5] >> (c & 31) & 1; }

// Whether a consuming line takes character c (already lower-cased when ignoring case).
inline bool takes(const rexm* re, const rexm_ln* ln, unsigned char c) {
  switch (ln->code) {
    case REXM_ANY:
      return true;
    case REXM_ANY_NOSEP:
      return !in_map(re->sepmap, c);
    case REXM_CHL:
      return !in_map(re->sepmap, c) && in_map(ln->chlmap, c) != (ln->chl_not != 0);
    default:
      return ln->code == c;
  }
}

int max_states() {
  ERR_LOG(ERR_ERR, kLimit, "Rexm max states exceeded [%d].", REXM_MAX_LIVE + 1);
  return kLimit;
}

}  // namespace

int rexm_match(const rexm* re, const char* str, int* err) {
  int dummy;
  if (!err) err = &dummy;
  *err = 0;
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    *err = kParam;
    return 0;
  }
  if (!str) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, str: `%s'.", (void*)re, "NUL");
    *err = kParam;
    return 0;
  }
  if (re->nstates <= 0) {
    ERR_LOG(ERR_ERR, kSyntax, "Empty regular expression - rexm: %p.", (void*)re);
    *err = kSyntax;
    return 0;
  }
  work w;
  const unsigned words = ((unsigned)re->nstates + 63) / 64;
  for (unsigned i = 0; i < words; i++) w.seen[0][i] = w.seen[1][i] = 0;
  const rexm_state* states = re->states;
  const rexm_ln* lns = re->lns;
  const bool icase = re->flags & REXM_ICASE;
  const size_t n = strlen(str);
  int a = 0;  // index of this position's set
  unsigned ncur = 1, nnext = 0;
  w.set[a][0] = (uint16_t)re->start;
  put(w.seen[a], (unsigned)re->start);

  for (size_t p = 0; p <= n; p++) {
    const bool end = p == n;
    const unsigned char c = end ? 0 : icase ? lower((unsigned char)str[p]) : (unsigned char)str[p];
    uint64_t* here = w.seen[a];
    uint64_t* there = w.seen[a ^ 1];
    uint16_t* next = w.set[a ^ 1];
    for (unsigned i = 0; i < ncur; i++) {
      unsigned nstack = 0;
      unsigned s = w.set[a][i];
      for (;;) {
        const rexm_state* st = &states[s];
        if (end && st->final) return 1;
        for (int l = st->first; l >= 0; l = lns[l].next) {
          const rexm_ln* ln = &lns[l];
          unsigned t = (unsigned)ln->target;
          if (ln->code == REXM_EMPTY) {
            if (has(here, t)) continue;
            if (nstack == REXM_MAX_LIVE) {
              *err = max_states();
              return 0;
            }
            put(here, t);
            w.stack[nstack++] = (uint16_t)t;
          } else if (!end && !has(there, t) && takes(re, ln, c)) {
            if (nnext == REXM_MAX_LIVE) {
              *err = max_states();
              return 0;
            }
            put(there, t);
            next[nnext++] = (uint16_t)t;
          }
        }
        if (!nstack) break;
        s = w.stack[--nstack];
      }
    }
    if (end || !nnext) return 0;
    for (unsigned i = 0; i < words; i++) here[i] = 0;
    a ^= 1;
    ncur = nnext;
    nnext = 0;
  }
  return 0;
}
