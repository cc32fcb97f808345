// Construction of the pattern automaton. States and lines live in two growing arrays
// indexed by state number, so that a match can keep its sets as 16-bit indices and
// bit sets on its own stack and never writes to the automaton.
#include "rex/rexm.h"

#include <cstdlib>
#include <cstring>

#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kLimit = 9009;
constexpr int kSyntax = 9001;
constexpr int kUnexpected = 9012;

constexpr unsigned char lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? (unsigned char)(c + 32) : c; }

void set_bit(uint32_t* map, unsigned char c) { map[c >> 5] |= 1u << (c & 31); }

bool valid_q(int q) { return q == 0 || q == '*' || q == '+' || q == '?'; }

// Grows *arr to hold at least n items of size sz.
int grow(void** arr, int* cap, int n, size_t sz) {
  if (n <= *cap) return 0;
  int ncap = *cap ? *cap * 2 : 16;
  while (ncap < n) ncap *= 2;
  void* p = realloc(*arr, (size_t)ncap * sz);
  if (!p) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)((size_t)ncap * sz));
    return kNoMem;
  }
  *arr = p;
  *cap = ncap;
  return 0;
}

int add_state(rexm* re, int* idx) {
  int rc = re->nstates >= REXM_MAX_STATES ? kLimit
           : grow((void**)&re->states, &re->capstates, re->nstates + 1, sizeof(rexm_state));
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "Failed to add state - num: %d.", re->nstates);
    return rc;
  }
  rexm_state* s = &re->states[re->nstates];
  s->final = 0;
  s->num = re->nstates;
  s->first = s->last = -1;
  *idx = re->nstates++;
  return 0;
}

// A list line takes ownership of block (the 256-bit set followed by the list text).
int add_line(rexm* re, int from, int code, int to, uint32_t* block = nullptr, int chl_not = 0) {
  if (from < 0 || from >= re->nstates || to < 0 || to >= re->nstates) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fnode: %p, tnode: %p.",
            (void*)(from >= 0 && from < re->nstates ? &re->states[from] : nullptr),
            (void*)(to >= 0 && to < re->nstates ? &re->states[to] : nullptr));
    free(block);
    return kParam;
  }
  // an empty line to its own state adds no text and would only loop
  if (code == REXM_EMPTY && from == to) return 0;
  int rc = grow((void**)&re->lns, &re->caplns, re->nlns + 1, sizeof(rexm_ln));
  if (rc) {
    int c = code > 0 ? code : 0;
    ERR_LOG(ERR_ERR, rc, "Failed to add line [%d->`%c'%#X->%d].", from, c >= 0x20 && c < 0x7F ? c : '?',
            (unsigned)code, to);
    free(block);
    return rc;
  }
  int i = re->nlns++;
  rexm_ln* ln = &re->lns[i];
  ln->target = to;
  ln->code = code;
  ln->next = -1;
  ln->chl_not = chl_not;
  ln->chlmap = block;
  ln->chl = block ? (char*)(block + 8) : nullptr;
  rexm_state* s = &re->states[from];
  if (s->last >= 0) re->lns[s->last].next = i;
  else s->first = i;
  s->last = i;
  return 0;
}

// The start state comes with the first atom or group.
int ensure_start(rexm* re) {
  if (re->nstates) return 0;
  int s;
  int rc = add_state(re, &s);
  if (rc) return rc;
  re->cur = s;
  return 0;
}

// A new state s reached from the current one by an atom of the code and quantifier.
int add_atom(rexm* re, int code, int q, uint32_t* block, int chl_not) {
  int rc = ensure_start(re);
  if (rc) {
    free(block);
    return rc;
  }
  int cur = re->cur;
  int s;
  if ((rc = add_state(re, &s))) {
    free(block);
    return rc;
  }
  switch (q) {
    case '*':
      if ((rc = add_line(re, cur, REXM_EMPTY, s))) {
        free(block);
        return rc;
      }
      rc = add_line(re, s, code, s, block, chl_not);
      break;
    case '+':
      if (!(rc = add_line(re, cur, code, s, block, chl_not))) rc = add_line(re, s, REXM_EMPTY, cur);
      break;
    case '?':
      if (!(rc = add_line(re, cur, code, s, block, chl_not)) && !(re->flags & REXM_GLOB))
        rc = add_line(re, cur, REXM_EMPTY, s);
      break;
    default:
      rc = add_line(re, cur, code, s, block, chl_not);
      break;
  }
  if (rc) return rc;
  re->cur = s;
  return 0;
}

// Joins the pending ends from index mark on, and the current state, into a new state.
int join_pending(rexm* re, int mark, int target = -1) {
  int e = target;
  int rc = 0;
  if (e < 0 && (rc = add_state(re, &e))) return rc;
  for (int i = mark; i < re->npend; i++)
    if ((rc = add_line(re, re->pend[i], REXM_EMPTY, e))) return rc;
  re->npend = mark;
  if (re->cur != e && (rc = add_line(re, re->cur, REXM_EMPTY, e))) return rc;
  re->cur = e;
  return 0;
}

// Either separator, as a group of the two; optional adds an empty third alternative.
int add_sep(rexm* re, bool optional) {
  int rc = rexm_group(re);
  if (!rc) rc = rexm_add_char(re, '\\', 0);
  if (!rc) rc = rexm_alt(re);
  if (!rc) rc = rexm_add_char(re, '/', 0);
  if (!rc && optional) rc = rexm_alt(re);
  return rc ? rc : rexm_group_end(re, 0);
}

}  // namespace

int rexm_clear(rexm* re) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  memset(re, 0, sizeof *re);
  return 0;
}

int rexm_free(rexm* re) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  free(re->seps);
  for (int i = 0; i < re->nlns; i++) free((void*)re->lns[i].chlmap);
  free(re->lns);
  free(re->states);
  free(re->grps);
  free(re->pend);
  return rexm_clear(re);
}

int rexm_init(rexm* re, int flags, const char* seps) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  rexm_free(re);
  re->flags = flags;
  if (seps) {
    size_t len = strlen(seps);
    re->seps = (char*)malloc(len + 1);
    if (!re->seps) {
      ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)len);
      return kNoMem;
    }
    for (size_t i = 0; i <= len; i++) {
      unsigned char c = (unsigned char)seps[i];
      re->seps[i] = (char)(flags & REXM_ICASE ? lower(c) : c);
      if (c) set_bit(re->sepmap, (unsigned char)re->seps[i]);
    }
  }
  return 0;
}

int rexm_add_char(rexm* re, int code, int q) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  if (!valid_q(q) || !((code > 0 && code <= 255) || code == REXM_ANY_NOSEP || code == REXM_ANY)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, code: %d, q: %d.", (void*)re, code, q);
    return kParam;
  }
  if (code > 0 && (re->flags & REXM_ICASE)) code = lower((unsigned char)code);
  return add_atom(re, code, q, nullptr, 0);
}

int rexm_read_chl(const char* patt, int notc, char* chl, unsigned chlsize, int* chl_not, unsigned* consumed) {
  if (!patt || !chl || !chlsize || !chl_not) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - patt: `%s', chl: %p, chlsize: %u, chl_not: %p.",
            patt ? patt : "NUL", (void*)chl, chlsize, (void*)chl_not);
    return kParam;
  }
  const unsigned char* p = (const unsigned char*)patt;
  unsigned n = 0;
  int rc = 0;
  auto put = [&](unsigned c) {
    if (n + 1 >= chlsize) {
      ERR_LOG(ERR_ERR, kLimit, "Character list size [%u] exceeded.", chlsize);
      rc = kLimit;
      return false;
    }
    chl[n++] = (char)c;
    return true;
  };
  if (*p == '[') p++;
  *chl_not = 0;
  if (notc && *p == (unsigned char)notc) {
    *chl_not = 1;
    p++;
  }
  int prev = -1;  // the last character added, the start of a range
  while (*p && !rc) {
    unsigned c = *p;
    if (c == ']') {
      p++;
      break;
    }
    if (c == '\\') {
      if (!p[1]) {
        p++;
        break;
      }
      c = p[1];
      p += 2;
    } else if (c == '-' && prev >= 0 && p[1] && p[1] != ']' && !(p[1] == '\\' && !p[2])) {
      const unsigned char* q = p + 1;
      unsigned e = *q == '\\' ? *++q : *q;
      p = q + 1;
      // either order gives the same set; prev is already in the list
      unsigned lo = e > (unsigned)prev ? (unsigned)prev + 1 : e;
      unsigned hi = e > (unsigned)prev ? e : (unsigned)prev - 1;
      for (unsigned x = lo; x <= hi && e != (unsigned)prev; x++)
        if (!put(x)) break;
      prev = (int)e;
      continue;
    } else {
      p++;
    }
    if (!put(c)) break;
    prev = (int)c;
  }
  chl[n] = 0;
  if (consumed) *consumed = (unsigned)((const char*)p - patt);
  return rc;
}

int rexm_add_chl(rexm* re, const char* patt, int notc, unsigned* consumed) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  if (!patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, chl: `%s'.", (void*)re, "NUL");
    return kParam;
  }
  char chl[REXM_CHL_SIZE];
  int chl_not;
  unsigned used = 0;
  int rc = rexm_read_chl(patt, notc, chl, sizeof chl, &chl_not, &used);
  if (rc) return rc;
  size_t len = strlen(chl);
  // the 256-bit set first, then the list text
  uint32_t* block = (uint32_t*)calloc(1, 32 + len + 1);
  if (!block) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)len);
    return kNoMem;
  }
  char* text = (char*)(block + 8);
  for (size_t i = 0; i < len; i++) {
    unsigned char c = (unsigned char)chl[i];
    if (re->flags & REXM_ICASE) c = lower(c);
    text[i] = (char)c;
    set_bit(block, c);
  }
  if ((rc = add_atom(re, REXM_CHL, 0, block, chl_not))) return rc;
  if (consumed) *consumed = used;
  return 0;
}

int rexm_group(rexm* re) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  int rc = ensure_start(re);
  int s;
  if (rc || (rc = add_state(re, &s))) return rc;
  if ((rc = grow((void**)&re->grps, &re->capgrps, re->ngrps + 1, sizeof(rexm_grp)))) return rc;
  if ((rc = add_line(re, re->cur, REXM_EMPTY, s))) return rc;
  re->grps[re->ngrps].start = s;
  re->grps[re->ngrps].mark = re->npend;
  re->ngrps++;
  re->cur = s;
  return 0;
}

int rexm_alt(rexm* re) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  if (!re->nstates) {
    ERR_LOG(ERR_ERR, kUnexpected, "No states - rexm: %p.", (void*)re);
    return kUnexpected;
  }
  int g = re->ngrps ? re->grps[re->ngrps - 1].start : 0;
  int mark = re->ngrps ? re->grps[re->ngrps - 1].mark : 0;
  // An empty alternative ends at the group start; keep it once, or it would be lost
  // when another alternative follows.
  if (re->cur == g)
    for (int i = mark; i < re->npend; i++)
      if (re->pend[i] == g) return 0;
  int rc = grow((void**)&re->pend, &re->cappend, re->npend + 1, sizeof(int));
  if (rc) return rc;
  re->pend[re->npend++] = re->cur;
  re->cur = g;
  return 0;
}

int rexm_group_end(rexm* re, int q) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  if (!valid_q(q)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, q: %d.", (void*)re, q);
    return kParam;
  }
  if (!re->ngrps) {
    ERR_LOG(ERR_ERR, kSyntax, "No group.");
    return kSyntax;
  }
  // Each group joins only the ends of its own alternatives: the pending list is one,
  // but a group remembers where its part of it begins.
  rexm_grp g = re->grps[re->ngrps - 1];
  int rc = 0;
  if (re->npend > g.mark && (rc = join_pending(re, g.mark))) return rc;
  switch (q) {
    case '*':
      if ((rc = add_line(re, re->cur, REXM_EMPTY, g.start))) return rc;
      re->cur = g.start;
      break;
    case '+':
      if ((rc = add_line(re, re->cur, REXM_EMPTY, g.start))) return rc;
      break;
    case '?':
      if (!(re->flags & REXM_GLOB) && (rc = add_line(re, g.start, REXM_EMPTY, re->cur))) return rc;
      break;
    default:
      break;
  }
  re->ngrps--;
  return 0;
}

int rexm_finish(rexm* re) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  bool had = re->nstates > 0;
  int f;
  int rc = add_state(re, &f);
  if (rc) return rc;
  re->states[f].final = 1;
  if (!had) {
    re->cur = f;
    return 0;
  }
  return join_pending(re, 0, f);
}

int rexm_add_wild(rexm* re, const char* patt, int esc, int form) {
  if (!re) {
    ERR_LOG(ERR_ERR, kParam, "`rexm' is NUL.");
    return kParam;
  }
  if (!patt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - rexm: %p, patt: `%s'.", (void*)re, "NUL");
    return kParam;
  }
  const bool path = form & REXM_WILD_PATH;
  int rc = 0;
  for (const char* p = patt; *p && !rc;) {
    unsigned char c = (unsigned char)*p;
    if (c == '*') {
      // a run of stars is one atom; in a path two or more cross separators
      const char* q = p;
      while (*q == '*') q++;
      rc = rexm_add_char(re, path && q - p > 1 ? REXM_ANY : REXM_ANY_NOSEP, '*');
      p = q;
    } else if (c == '?') {
      rc = rexm_add_char(re, REXM_ANY_NOSEP, '?');
      p++;
    } else if (c == '[') {
      unsigned used = 0;
      rc = rexm_add_chl(re, p, '!', &used);
      p += used ? used : 1;
    } else if (c == (unsigned char)esc) {
      if (p[1]) rc = rexm_add_char(re, (unsigned char)p[1], 0);
      p += p[1] ? 2 : 1;
    } else if (path && (c == '\\' || c == '/')) {
      rc = add_sep(re, (form & REXM_WILD_DIR) && !p[1]);
      p++;
    } else {
      rc = rexm_add_char(re, c, 0);
      p++;
    }
  }
  return rc ? rc : rexm_finish(re);
}

int rexm_init_wild(rexm* re, int flags, const char* seps, const char* patt, int esc, int form) {
  int rc = rexm_init(re, flags, seps);
  if (!rc) rc = rexm_add_wild(re, patt, esc, form);
  if (rc && re) rexm_free(re);
  return rc;
}
