#include "fio/dgrp.h"

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "syscfg/syscfg.h"

namespace {

constexpr int kParam = 9003;
constexpr int kCut = 9005;
constexpr int kLimit = 9009;
constexpr const char* kSiFmt = "%*%3";

inline const char* or_empty(const char* s) { return s ? s : ""; }
inline bool given(const char* s) { return s && *s; }

// Where the integer part of fmt ends: at the first %D, or at its end.
size_t fmt_end(const char* fmt) {
  size_t i = 0;
  while (fmt[i]) {
    if (fmt[i] != '%') {
      ++i;
    } else if (fmt[i + 1] == 'D') {
      break;
    } else {
      i += fmt[i + 1] ? 2 : 1;
    }
  }
  return i;
}

// Percent signs immediately before position i.
size_t pct_run(const char* fmt, size_t i) {
  size_t r = 0;
  while (i > r && fmt[i - r - 1] == '%') ++r;
  return r;
}

// The slot table under construction: free slots are [0, n).
struct slots {
  char* t;
  unsigned n = DGRP_DFMT_SIZE;
  bool put(char c) {
    if (!n) return false;
    t[--n] = c;
    return true;
  }
  bool put_rev(const char* s, size_t len) {
    while (len)
      if (!put(s[--len])) return false;
    return true;
  }
  bool digits(unsigned k) {
    if (k > n) return false;
    n -= k;  // digit slots are 0 already
    return true;
  }
  // The separator and a group, repeatedly, until no slot is left.
  void repeat(const char* sep, size_t seplen, unsigned gs) {
    while (n) {
      for (size_t k = seplen; k && n; --k) t[--n] = sep[k - 1];
      n -= gs < n ? gs : n;
    }
  }
};

// The decimal mark style writes.
const char* out_mark(const dgrp* dg, unsigned style, const syscfg* sc) {
  switch (style) {
    case DGRP_SI_EN: return ".";
    case DGRP_SI_FR: return ",";
    case DGRP_USR:
      if (dg->usr_decmark) return dg->usr_decmark;
      return or_empty(sc->dgrp_decmark);
    default: return or_empty(sc->dgrp_decmark);
  }
}

}  // namespace

int dgrp_compile(const char* fmt, const char* grpsep, char* dfmt) {
  if (!fmt || !dfmt) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fmt: `%s', dfmt: %p.", mox_nul(fmt), (void*)dfmt);
    return kParam;
  }
  char t[DGRP_DFMT_SIZE] = {};
  slots sl{t};
  const char* sep = or_empty(grpsep);
  const size_t seplen = strlen(sep);
  unsigned gs = 0;
  int rc = 0;
  const char* p = fmt;
  bool full = false;  // a repeat filled the table: the rest of the format is not read
  for (size_t i = fmt_end(fmt); i > 0 && !rc && !full;) {
    const size_t j = i - 1;
    if (fmt[j] == '%') {
      // "%%", or a percent sign with nothing after it
      p = fmt + ((pct_run(fmt, j + 1) & 1u) ? j : j - 1);
      rc = kParam;
    } else if (pct_run(fmt, j) & 1u) {
      p = fmt + j - 1;
      const char d = fmt[j];
      if (d >= '1' && d <= '9') {
        gs = (unsigned)(d - '0');
        if (!sl.digits(gs)) rc = kLimit;
      } else if (d == 'S') {
        if (!sl.put_rev(sep, seplen)) rc = kLimit;
      } else if (d == '*') {
        if (gs) {
          sl.repeat(sep, seplen, gs);
          full = true;
        }
      } else {
        rc = kParam;
      }
      i -= 2;
    } else {
      p = fmt + j;
      if (!sl.put(fmt[j])) rc = kLimit;
      i -= 1;
    }
  }
  if (rc == kLimit)
    ERR_LOG(ERR_ERR, rc, "`dfmt' size exceeded [%u] - fmt: `%s', p: `%s'.", DGRP_DFMT_SIZE, fmt, p);
  else if (rc)
    ERR_LOG(ERR_ERR, rc, "Invalid `fmt' - `%s', p: `%s'.", fmt, p);
  if (rc)
    memset(dfmt, 0, DGRP_DFMT_SIZE);
  else
    memcpy(dfmt, t, DGRP_DFMT_SIZE);
  return rc;
}

int dgrp_init(dgrp* dg, const syscfg* sc) {
  if (!dg || !sc) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dgrp: %p, syscfg: %p.", (void*)dg, (const void*)sc);
    return kParam;
  }
  memset(dg, 0, sizeof *dg);
  int rc = dgrp_compile(or_empty(sc->dgrp_fmt), sc->dgrp_grpsep, dg->dfmt[DGRP_LOCALE]);
  int rc2 = dgrp_compile(kSiFmt, " ", dg->dfmt[DGRP_SI_EN]);
  if (!rc) rc = rc2;
  rc2 = dgrp_compile(kSiFmt, " ", dg->dfmt[DGRP_SI_FR]);
  return rc ? rc : rc2;
}

int dgrp_set_usr(dgrp* dg, const syscfg* sc, const char* fmt, const char* grpsep, const char* decmark) {
  if (!dg || !sc) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dgrp: %p, syscfg: %p.", (void*)dg, (const void*)sc);
    return kParam;
  }
  char t[DGRP_DFMT_SIZE];
  int rc = dgrp_compile(fmt ? fmt : kSiFmt, given(grpsep) ? grpsep : sc->dgrp_grpsep, t);
  if (rc) return rc;
  const char* mark = given(decmark) ? decmark : or_empty(sc->dgrp_decmark);
  char* copy = strdup(mark);
  if (!copy) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)strlen(mark));
    return 9004;
  }
  memcpy(dg->dfmt[DGRP_USR], t, sizeof t);
  free(dg->usr_decmark);
  dg->usr_decmark = copy;
  return 0;
}

void dgrp_free(dgrp* dg) {
  if (!dg) return;
  free(dg->usr_decmark);
  memset(dg, 0, sizeof *dg);
}

int dgrp_fmt(const dgrp* dg, const char* num, unsigned style, unsigned flags, const syscfg* sc, char* out,
             unsigned outsize) {
  if (!dg) {
    ERR_LOG(ERR_ERR, kParam, "`dgrp' is NUL.");
    return kParam;
  }
  if (!num || style >= DGRP_NSTYLES || !sc || !out || !outsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - num: `%s', style: %u, syscfg: %p, out: %p, outsize: %u.",
            mox_nul(num), style, (const void*)sc, (void*)out, outsize);
    return kParam;
  }
  if (!*num) {
    *out = 0;
    return 0;
  }
  // built from the right
  char istr[DGRP_ISTR_SIZE];
  unsigned pos = DGRP_ISTR_SIZE - 1;
  istr[pos] = 0;
  auto emit = [&](const char* s, size_t len) {
    while (len) {
      if (!pos) return false;
      istr[--pos] = s[--len];
    }
    return true;
  };

  const char* inmark = given(sc->lc_decpoint) ? sc->lc_decpoint : ".";
  const char* dp = strstr(num, inmark);
  size_t ilen = dp ? (size_t)(dp - num) : strlen(num);
  bool ok = true;
  if (dp) {
    const char* frac = dp + strlen(inmark);
    const char* mark = out_mark(dg, style, sc);
    ok = emit(frac, strlen(frac)) && emit(mark, strlen(mark));
  }
  const char* sl = dg->dfmt[style];
  unsigned s = DGRP_DFMT_SIZE;  // slots still to use: [0, s)
  const bool grouped = !(flags & DGRP_F_NOGRP);
  while (ok && ilen) {
    const char c = num[ilen - 1];
    if (c == '+' || c == '-' || !grouped || !s) {
      ok = emit(&c, 1);
      --ilen;
    } else if (sl[--s] == 0) {
      ok = emit(&c, 1);
      --ilen;
    } else {
      ok = emit(&sl[s], 1);
    }
  }
  int rc = 0;
  if (!ok) {
    rc = kCut;
    ERR_LOG(ERR_ERR, rc, "`istr' too small [%u] - num: `%s', istr: `%s'.", DGRP_ISTR_SIZE, num, istr + pos);
  } else if (DGRP_ISTR_SIZE - 1 - pos >= outsize) {
    rc = kCut;
    ERR_LOG(ERR_ERR, rc, "`out' too small [%u] - num: `%s'.", outsize, num);
  }
  if (rc) {
    mox_strcpy(out, outsize, num);
    return rc;
  }
  memcpy(out, istr + pos, DGRP_ISTR_SIZE - pos);
  return 0;
}

int fsz_str(uint64_t size, unsigned sizefmt, const dgrp* dg, unsigned grpstyle, const syscfg* sc, char* out,
            unsigned outsize) {
  if (!dg) {
    ERR_LOG(ERR_ERR, kParam, "`dgrp' is NUL.");
    return kParam;
  }
  if (sizefmt > FSZ_H || grpstyle >= DGRP_NSTYLES || !sc || !out || !outsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - sizefmt: %u, style: %u, syscfg: %p, str: %p, size: %u.", sizefmt,
            grpstyle, (const void*)sc, (void*)out, outsize);
    return kParam;
  }
  char num[64];
  const char* suffix = "";
  unsigned flags = 0;
  if (sizefmt == FSZ_B) {
    snprintf(num, sizeof num, "%" PRIu64, size);
  } else if (sizefmt == FSZ_K) {
    snprintf(num, sizeof num, "%" PRIu64, size / 1024 + (size % 1024 != 0));
    suffix = " KB";
  } else if (size < 1024) {
    flags = DGRP_F_NOGRP;
    snprintf(num, sizeof num, "%" PRIu64, size);
    suffix = "B";
  } else {
    static constexpr const char* kUnits[] = {"K", "M", "G", "T", "P", "E"};
    unsigned k = 1;
    while (k < 6 && size >> (10 * (k + 1))) ++k;
    flags = DGRP_F_NOGRP;
    snprintf(num, sizeof num, "%.1f", (double)size / (double)(1ull << (10 * k)));
    // the fraction goes when the number is wider than four characters
    if (strlen(num) > 4) {
      char* e = num;
      while (isdigit((unsigned char)*e)) ++e;
      *e = 0;
    }
    suffix = kUnits[k - 1];
  }
  char g[DGRP_ISTR_SIZE];
  int rc = dgrp_fmt(dg, num, grpstyle, flags, sc, g, sizeof g);
  // on failure g holds the number as it was: still worth showing
  const size_t glen = strlen(g), slen = strlen(suffix);
  if (glen + slen >= outsize) {
    ERR_LOG(ERR_ERR, kCut, "`str' too small - size: %u.", outsize);
    *out = 0;
    return kCut;
  }
  memcpy(out, g, glen);
  memcpy(out + glen, suffix, slen + 1);
  return rc;
}
