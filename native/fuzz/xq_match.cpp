// Quark lists and scores: the input's lines are a query name, its class and a
// resource pattern; the first byte gives the component limit. Components must lie inside
// the text, hold no separator, and the order and the score must keep their rules.
#include "xrm/xquark.h"
#include "fuzz_util.h"

namespace {

bool parse(const std::string& s, quarks* ql, xquark* arr, unsigned max) {
  xq_init(ql, arr);
  const int rc = xq_parse(s.c_str(), ql, max);
  FUZZ_CHECK(rc == 0 || rc == 9009);
  if (rc) return false;
  FUZZ_CHECK(ql->nquarks < max);
  for (unsigned i = 0; i < ql->nquarks; ++i) {
    const xquark& q = ql->q[i];
    FUZZ_CHECK(q.len > 0 && q.off + q.len <= s.size());
    FUZZ_CHECK(q.binding == XQ_TIGHT || q.binding == XQ_LOOSE);
    for (unsigned k = 0; k < q.len; ++k) FUZZ_CHECK(s[q.off + k] != '.' && s[q.off + k] != '*');
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  const unsigned max = 1 + fuzz::head(data, size);
  const auto lines = fuzz::lines(fuzz::text(data, size));
  const std::string name = lines[0], cls = lines.size() > 1 ? lines[1] : "", spec = lines.size() > 2 ? lines[2] : "";
  static xquark an[256], ac[256], as[256];
  quarks qn, qc, qs;
  if (!parse(name, &qn, an, max) || !parse(cls, &qc, ac, max) || !parse(spec, &qs, as, max)) return 0;

  const unsigned score = xq_match(&qn, &qc, &qs);
  const unsigned n = qn.nquarks;
  if (qc.nquarks && qc.nquarks != n) FUZZ_CHECK(score == 0);
  if (score) {
    const unsigned m = qs.nquarks;
    FUZZ_CHECK(m <= n);
    FUZZ_CHECK(xq_eq(&qs, m - 1, &qn, n - 1) || (qc.nquarks && xq_eq(&qs, m - 1, &qc, n - 1)));
    FUZZ_CHECK(score <= 4 + (n + 1) * (n + 2) + n);
  }
  // a query matches itself as a tight resource pattern with the highest score
  if (n && (!qc.nquarks || qc.nquarks == n)) {
    bool alltight = true;
    for (unsigned i = 0; i < n; ++i) alltight = alltight && qn.q[i].binding == XQ_TIGHT;
    if (alltight) {
      const unsigned self = xq_match(&qn, &qc, &qn);
      FUZZ_CHECK(self > 0);
      FUZZ_CHECK(self >= score);
    }
  }
  // the tree order is a total order
  FUZZ_CHECK(xq_cmp(&qn, &qn) == 0);
  FUZZ_CHECK(xq_cmp(&qn, &qs) == -xq_cmp(&qs, &qn));
  FUZZ_CHECK(xq_cmp_last(&qn, &qs) == -xq_cmp_last(&qs, &qn));
  if (xq_cmp(&qn, &qs) == 0) FUZZ_CHECK(xq_cmp_last(&qn, &qs) == 0);
  if (xq_cmp(&qn, &qc) < 0 && xq_cmp(&qc, &qs) < 0) FUZZ_CHECK(xq_cmp(&qn, &qs) < 0);
  return 0;
}
