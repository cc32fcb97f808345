#include "c/dv.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {
constexpr int kParam = 9003;
constexpr int kCut = 9005;

inline bool is_delim(char c, const char* delim) { return c && strchr(delim, c); }

// Appends one character; false once the buffer (less its terminator) is full.
inline bool put(struct dv* d, unsigned* n, char c) {
  if (*n + 1 >= d->valsize) return false;
  d->val[(*n)++] = c;
  return true;
}

// Plain mode: up to the next delimiter, cut at the buffer size.
unsigned read_plain(struct dv* d, const char* delim) {
  const char* p = d->strp;
  unsigned n = 0;
  for (; *p && !is_delim(*p, delim); p++) put(d, &n, *p);
  if (*p) p++;
  d->strp = p;
  return n;
}

// Quoting mode; returns false when the value does not fit.
bool read_quoted(struct dv* d, const char* delim, unsigned* len) {
  const char esc = d->esc ? d->esc : '\\';
  const char* p = d->strp;
  unsigned n = 0;
  bool quoted = false, fits = true;
  while (*p && (quoted || !is_delim(*p, delim))) {
    if (*p == esc) {
      const char* run = p;
      while (*p == esc) p++;
      unsigned k = (unsigned)(p - run);
      if (*p == '"') {
        for (unsigned i = 0; i < k / 2; i++) fits = fits && put(d, &n, esc);
        if (k % 2) fits = fits && put(d, &n, '"');
        else quoted = !quoted;
        p++;
      } else {
        for (unsigned i = 0; i < k; i++) fits = fits && put(d, &n, esc);
      }
    } else if (*p == '"') {
      quoted = !quoted;
      p++;
    } else {
      fits = fits && put(d, &n, *p);
      p++;
    }
    if (!fits) break;
  }
  if (!fits) {
    d->strp = d->strp + strlen(d->strp);  // the reading cannot go on sensibly
    return false;
  }
  if (*p) p++;
  d->strp = p;
  *len = n;
  return true;
}
}  // namespace

int dv_init(struct dv* dv, int quote, char esc, char* val, unsigned valsize) {
  if (!dv) {
    ERR_LOG(ERR_ERR, kParam, "`dv' is NUL.");
    return kParam;
  }
  memset(dv, 0, sizeof *dv);
  dv->quote = quote;
  dv->esc = esc;
  dv->val = val;
  dv->valsize = valsize;
  return 0;
}

const char* dv_next(struct dv* dv, const char* str, const char* delim) {
  if (!dv || !delim) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dv: %p, delim: `%s'.", (void*)dv, mox_nul(delim));
    if (dv) dv->err = kParam;
    return nullptr;
  }
  dv->err = 0;
  if (!dv->val || !dv->valsize) {
    ERR_LOG(ERR_ERR, kParam, "No value buffer - val: %p, valsize: %u.", (void*)dv->val, dv->valsize);
    dv->err = kParam;
    return nullptr;
  }
  if (str) {
    dv->strp = str;
  } else if (!dv->strp) {
    ERR_LOG(ERR_ERR, kParam, "No string - str: %p, strp: %p.", (const void*)str, (const void*)dv->strp);
    dv->err = kParam;
    return nullptr;
  }
  while (is_delim(*dv->strp, delim)) dv->strp++;
  const char* start = dv->strp;
  unsigned n = 0;
  if (!dv->quote) {
    n = read_plain(dv, delim);
  } else if (!read_quoted(dv, delim, &n)) {
    ERR_LOG(ERR_ERR, kCut, "`val' size too small - str: `%s', valsize: %u.", start, dv->valsize);
    dv->val[0] = 0;
    dv->err = kCut;
    return nullptr;
  }
  dv->val[n] = 0;
  if (n) return dv->val;
  dv->strp += strlen(dv->strp);  // an empty value ends the reading
  return nullptr;
}
