// Quark lists: the components of a dotted resource name or pattern, as
// offsets into the caller's text (nothing is copied or allocated), and the
// matching and ordering of resource patterns against fully qualified queries.
#pragma once

enum : unsigned {
  XQ_TIGHT = 1,  // "." before the component (or none at the start)
  XQ_LOOSE = 2   // "*" somewhere in the separators before it
};

struct xquark {
  unsigned off;      // first character in the text
  unsigned len;
  unsigned binding;  // XQ_TIGHT or XQ_LOOSE
};

struct quarks {
  const char* text;  // the parsed text, not owned
  unsigned nquarks;
  xquark* q;         // the caller's array of maxquarks components
};

// Points ql at the caller's component array and empties it.
inline void xq_init(quarks* ql, xquark* arr) {
  ql->text = nullptr;
  ql->nquarks = 0;
  ql->q = arr;
}

// Parses name into at most maxquarks - 1 components; 9009 beyond, 9003 for null
// arguments. An empty name gives no components.
int xq_parse(const char* name, quarks* ql, unsigned maxquarks);
// Score of spec against the fully qualified query name/cls (cls may be null or
// empty); 0 for no match. Higher is better.
unsigned xq_match(const quarks* name, const quarks* cls, const quarks* spec);
// The tree order: components compared from the last one backwards.
int xq_cmp(const quarks* q1, const quarks* q2);
// Only the last components (bytes, then length); an empty list sorts first.
int xq_cmp_last(const quarks* q1, const quarks* q2);

inline const char* xq_str(const quarks* ql, unsigned i) { return ql->text + ql->q[i].off; }
// Equal texts of component i of a and j of b (case-sensitive).
bool xq_eq(const quarks* a, unsigned i, const quarks* b, unsigned j);
