#include "syscfg/syscfg.h"

#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kMaxGroups = 32;

constexpr cfg_item text_item(unsigned off, const char* dflt, const char* name) {
  return cfg_item{VAL_STR, off, -1, -1, dflt, nullptr, 0, nullptr, nullptr, name, nullptr, nullptr};
}
constexpr cfg_item num_item(unsigned type, unsigned off, const char* name) {
  return cfg_item{type, off, -1, -1, nullptr, nullptr, 0, nullptr, nullptr, name, nullptr, nullptr};
}

// A decimal number of at most a few digits, blanks around it allowed; -1 when it is none.
long small_number(const char* text) {
  if (!text) return -1;
  while (isspace((unsigned char)*text)) ++text;
  if (!isdigit((unsigned char)*text)) return -1;
  errno = 0;
  char* e = nullptr;
  unsigned long v = strtoul(text, &e, 10);
  while (isspace((unsigned char)*e)) ++e;
  if (*e || errno == ERANGE || v > 1000000ul) return -1;
  return (long)v;
}

int not_supported(const char* sgrouping, const char* sp) {
  ERR_LOG(ERR_ERR, 9013, "Not supported SGROUPING - `%s', sp: `%s'.", sgrouping, sp);
  return 9013;
}

}  // namespace

const cfg_item syscfg_items[SYSCFG_NITEMS] = {
    text_item(offsetof(syscfg, dgrp_fmt), "%*%3", "sys.dgrp.num.fmt"),
    text_item(offsetof(syscfg, dgrp_grpsep), ",", "sys.dgrp.num.grpsep"),
    text_item(offsetof(syscfg, dgrp_decmark), ".", "sys.dgrp.num.decmark"),
    text_item(offsetof(syscfg, tf_shortdate), nullptr, "sys.timefmt.shortdate"),
    text_item(offsetof(syscfg, tf_longdate), nullptr, "sys.timefmt.longdate"),
    text_item(offsetof(syscfg, tf_time), nullptr, "sys.timefmt.time"),
    text_item(offsetof(syscfg, tf_dtsep), ",", "sys.timefmt.dtsep"),
    num_item(VAL_UINT, offsetof(syscfg, kbd_delay), "sys.kbd.delay"),
    num_item(VAL_UINT, offsetof(syscfg, kbd_period), "sys.kbd.period"),
    text_item(offsetof(syscfg, lc_decpoint), ".", "sys.lc.decimalPoint"),
    num_item(VAL_INT, offsetof(syscfg, sm_cxedge), "sys.sm.cxedge"),
    num_item(VAL_INT, offsetof(syscfg, sm_cyedge), "sys.sm.cyedge"),
};

int syscfg_init(syscfg* sc) {
  if (!sc) {
    ERR_LOG(ERR_ERR, kParam, "`syscfg' is NUL.");
    return kParam;
  }
  memset(sc, 0, sizeof *sc);
  int rc = cfg_set_dflts(sc, SYSCFG_NITEMS, syscfg_items, 0);
  if (rc) syscfg_free(sc);
  return rc;
}

void syscfg_free(syscfg* sc) {
  if (sc) cfg_free(sc, SYSCFG_NITEMS, syscfg_items);
}

void syscfg_clear(syscfg* sc) {
  if (sc) memset(sc, 0, sizeof *sc);
}

int syscfg_dgrpfmt(const char* sgrouping, char* out, unsigned outsize) {
  if (!sgrouping || !out || !outsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - sgrouping: `%s', out: %p, outsize: %u.", mox_nul(sgrouping),
            (void*)out, outsize);
    return kParam;
  }
  *out = 0;
  unsigned char sn[kMaxGroups];
  unsigned n = 0;
  for (const char* sp = sgrouping;;) {
    if (!isdigit((unsigned char)*sp)) return not_supported(sgrouping, sp);
    if (n == kMaxGroups) {
      ERR_LOG(ERR_ERR, 9009, "`sn' size exceeded [%u].", kMaxGroups);
      return 9009;
    }
    sn[n++] = (unsigned char)(*sp++ - '0');
    if (!*sp) break;
    if (*sp++ != ';') return not_supported(sgrouping, sp - 1);
  }
  if (n == 1 && sn[0] == 0) return 0;
  for (unsigned i = 0; i + 1 < n; ++i) {
    if (sn[i] == 0 && sn[i + 1] == 0) {
      n = i;
      break;
    }
  }
  int err = 0;
  for (unsigned i = n; i-- > 0 && !err;) {
    char part[8];
    if (sn[i] == 0)
      memcpy(part, "%*", 3);
    else if (i + 1 < n && sn[i + 1] == 0)
      mox_snprintf(part, sizeof part, "%%%u", (unsigned)sn[i]);
    else
      mox_snprintf(part, sizeof part, "%%S%%%u", (unsigned)sn[i]);
    mox_strcat(out, outsize, part, &err);
  }
  if (err) {
    *out = 0;
    ERR_LOG(ERR_ERR, 9005, "`dgrpfmt' too small - size: %u.", outsize);
    return 9005;
  }
  return 0;
}

int syscfg_kbd_delay(const char* text, unsigned* ms) {
  long v = small_number(text);
  if (!ms || v < 0 || v > 3) return kParam;
  *ms = (unsigned)(v + 1) * 250u;
  return 0;
}

int syscfg_kbd_period(const char* text, unsigned* ms) {
  long v = small_number(text);
  // beyond 31 the period would go below zero
  if (!ms || v < 0 || v > 31) return kParam;
  *ms = 500u - (unsigned)v * 15u;
  return 0;
}
