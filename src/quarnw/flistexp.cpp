#include "quarnw/flistexp.h"

#include <cstring>

#include "c/strbuf.h"
#include "err/err.h"
#include "fm/flist.h"
#include "quarnw/flistcell.h"
#include "xrm/xrm_listcol.h"

namespace {

constexpr unsigned kCellSize = 8192;
constexpr const char* kEol = "\r\n";

int cat(strbuf* sb, const char* text) {
  int err = 0;
  strbuf_cat(sb, text, &err);
  if (err) ERR_LOG(ERR_ERR, err, "strbuf_cat() failed - len: %u.", (unsigned)std::strlen(text));
  return err;
}

bool needs_quotes(const char* s) { return std::strpbrk(s, ",\"\r\n") != nullptr; }

}  // namespace

unsigned flistexp_cols(const listcol* lc, int* cols, int* setidx, unsigned max) {
  if (!lc || !cols) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - lc: %p, cols: %p.", (const void*)lc, (void*)cols);
    return 0;
  }
  unsigned n = 0;
  for (unsigned i = 0; i < lc->ncols && n < max; ++i) {
    const unsigned k = lc->order[i];
    if (k >= lc->ncols) continue;
    const listcol_col& c = lc->cols[k];
    if (!c.visible || c.excl) continue;
    const int col = flcol_find(c.id);
    if (col < 0) continue;
    if (setidx) setidx[n] = (int)k;
    cols[n++] = col;
  }
  return n;
}

int flistexp_csv_field(strbuf* sb, const char* text) {
  if (!sb || !text) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - sb: %p, text: %p.", (void*)sb, (const void*)text);
    return 9003;
  }
  if (!needs_quotes(text)) return *text ? cat(sb, text) : 0;
  char chunk[256];
  unsigned k = 0;
  chunk[k++] = '"';
  int rc = 0;
  for (const char* c = text; !rc && *c; ++c) {
    chunk[k++] = *c;
    if (*c == '"') chunk[k++] = '"';
    if (k + 2 >= sizeof chunk) {
      chunk[k] = 0;
      rc = cat(sb, chunk);
      k = 0;
    }
  }
  chunk[k++] = '"';
  chunk[k] = 0;
  return rc ? rc : cat(sb, chunk);
}

int flistexp_paths(const frec* const* recs, unsigned n, strbuf* sb) {
  if ((!recs && n) || !sb) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - recs: %p, n: %u, sb: %p.", (const void*)recs, n, (void*)sb);
    return 9003;
  }
  int rc = 0;
  for (unsigned i = 0; !rc && i < n; ++i) {
    const frec* r = recs[i];
    rc = cat(sb, r->rdir ? r->rdir : "");
    if (!rc) rc = cat(sb, r->name ? r->name : "");
    if (!rc) rc = cat(sb, kEol);
  }
  return rc;
}

int flistexp_csv(const frec* const* recs, unsigned n, const int* cols, const char* const* titles, unsigned ncols,
                 const flistcell_fmt* f, strbuf* sb) {
  if ((!recs && n) || (!cols && ncols) || !f || !sb) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - recs: %p, cols: %p, f: %p, sb: %p.", (const void*)recs,
            (const void*)cols, (const void*)f, (void*)sb);
    return 9003;
  }
  int rc = 0;
  for (unsigned c = 0; !rc && c < ncols; ++c) {
    if (c) rc = cat(sb, ",");
    if (!rc) rc = flistexp_csv_field(sb, titles && titles[c] ? titles[c] : flcol_ids[cols[c]]);
  }
  if (!rc) rc = cat(sb, kEol);
  char cell[kCellSize];
  for (unsigned i = 0; !rc && i < n; ++i) {
    for (unsigned c = 0; !rc && c < ncols; ++c) {
      if (c) rc = cat(sb, ",");
      // a cell cut to the buffer is written as the list shows it
      const int crc = flistcell_text(recs[i], cols[c], f, cell, sizeof cell);
      if (crc && crc != 9005) cell[0] = 0;
      if (!rc) rc = flistexp_csv_field(sb, cell);
    }
    if (!rc) rc = cat(sb, kEol);
  }
  return rc;
}
