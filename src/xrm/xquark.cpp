// Quark lists over the caller's text, their scores against queries and their order.
#include "xrm/xquark.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr bool is_sep(char c) { return c == '.' || c == '*'; }

int cmp_comp(const quarks* a, unsigned i, const quarks* b, unsigned j) {
  const xquark& x = a->q[i];
  const xquark& y = b->q[j];
  unsigned n = x.len < y.len ? x.len : y.len;
  int c = n ? std::memcmp(xq_str(a, i), xq_str(b, j), n) : 0;
  if (c) return c < 0 ? -1 : 1;
  if (x.len != y.len) return x.len < y.len ? -1 : 1;
  return 0;
}

}  // namespace

bool xq_eq(const quarks* a, unsigned i, const quarks* b, unsigned j) {
  return a->q[i].len == b->q[j].len && !std::memcmp(xq_str(a, i), xq_str(b, j), a->q[i].len);
}

int xq_parse(const char* name, quarks* ql, unsigned maxquarks) {
  if (!name || !ql || !ql->q || !maxquarks) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - name: `%s', quarks[%p]: %p.", mox_nul(name), (void*)ql,
            ql ? (void*)ql->q : nullptr);
    return 9003;
  }
  ql->text = name;
  ql->nquarks = 0;
  unsigned binding = XQ_TIGHT;
  const char* p = name;
  while (*p) {
    if (is_sep(*p)) {
      if (*p == '*') binding = XQ_LOOSE;
      ++p;
      continue;
    }
    const char* s = p;
    while (*p && !is_sep(*p)) ++p;
    if (ql->nquarks >= maxquarks - 1) {
      ERR_LOG(ERR_ERR, 9009, "Max quarks exceeded - name: `%s', maxquarks: %u.", name, maxquarks);
      return 9009;
    }
    ql->q[ql->nquarks++] = xquark{(unsigned)(s - name), (unsigned)(p - s), binding};
    binding = XQ_TIGHT;
  }
  return 0;
}

unsigned xq_match(const quarks* name, const quarks* cls, const quarks* spec) {
  if (!name || !spec) return 0;
  const unsigned n = name->nquarks;
  if (cls && cls->nquarks && cls->nquarks != n) {
    ERR_LOG(ERR_ERR, 9003, "Num quarks mismatch - name.nquarks: %u, cls.nquarks: %u.", n, cls->nquarks);
    return 0;
  }
  const bool hascls = cls && cls->nquarks;
  const unsigned m = spec->nquarks;
  if (!n || !m) return 0;
  unsigned score;
  if (xq_eq(spec, m - 1, name, n - 1))
    score = 4;
  else if (hascls && xq_eq(spec, m - 1, cls, n - 1))
    score = 2;
  else
    return 0;
  int i = (int)n - 2;
  int j = (int)m - 2;
  while (i >= 0) {
    if (j < 0) return spec->q[0].binding == XQ_LOOSE ? score : 0;
    const unsigned tight = spec->q[j + 1].binding == XQ_TIGHT ? 1 : 0;
    if (xq_eq(spec, (unsigned)j, name, (unsigned)i)) {
      score += 2 * (n - (unsigned)i) + 2 + tight;
      --j;
    } else if (hascls && xq_eq(spec, (unsigned)j, cls, (unsigned)i)) {
      score += 2 * (n - (unsigned)i) + tight;
      --j;
    } else if (tight) {
      return 0;
    }
    --i;
  }
  return j >= 0 ? 0 : score;
}

int xq_cmp(const quarks* q1, const quarks* q2) {
  const unsigned m1 = q1->nquarks, m2 = q2->nquarks;
  const unsigned n = m1 < m2 ? m1 : m2;
  for (unsigned k = 1; k <= n; ++k) {
    int c = cmp_comp(q1, m1 - k, q2, m2 - k);
    if (c) return c;
    unsigned b1 = q1->q[m1 - k].binding, b2 = q2->q[m2 - k].binding;
    if (b1 != b2) return b1 == XQ_LOOSE ? -1 : 1;
  }
  if (m1 == m2) return 0;
  return m1 > m2 ? -1 : 1;
}

int xq_cmp_last(const quarks* q1, const quarks* q2) {
  if (!q1->nquarks || !q2->nquarks) return q1->nquarks == q2->nquarks ? 0 : (q1->nquarks ? 1 : -1);
  return cmp_comp(q1, q1->nquarks - 1, q2, q2->nquarks - 1);
}
