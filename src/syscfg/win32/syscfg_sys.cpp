// The system's side of the settings: the user's locale, the keyboard control panel
// values and window metrics, then the resource database over them.
#include <windows.h>

#include <clocale>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "syscfg/syscfg.h"
#include "xrm/xrm.h"

namespace {

constexpr const char* kKbdKey = "Control Panel\\Keyboard";

// Replaces an owned text field with a copy of s.
int set_text(char** field, const char* s) {
  char* c = strdup(s);
  if (!c) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)strlen(s));
    return 9004;
  }
  free(*field);
  *field = c;
  return 0;
}

int locale_text(LCTYPE type, char** field) {
  char buf[256];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, (int)sizeof buf) <= 0) {
    DWORD e = GetLastError();
    int rc = e ? (int)e : 9001;
    ERR_LOG(ERR_ERR, rc, "GetLocaleInfo() failed - lctype: %#lx.", (unsigned long)type);
    return rc;
  }
  return set_text(field, buf);
}

int load_dgrp(syscfg* sc) {
  char grouping[256];
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SGROUPING, grouping, (int)sizeof grouping) <= 0) {
    DWORD e = GetLastError();
    int rc = e ? (int)e : 9001;
    ERR_LOG(ERR_ERR, rc, "GetLocaleInfo() failed - lctype: %#lx.", (unsigned long)LOCALE_SGROUPING);
    return rc;
  }
  // a grouping that cannot be converted is logged and gives numbers without groups
  char fmt[256];
  syscfg_dgrpfmt(grouping, fmt, sizeof fmt);
  int rc = set_text(&sc->dgrp_fmt, fmt);
  if (!rc) rc = locale_text(LOCALE_STHOUSAND, &sc->dgrp_grpsep);
  if (!rc) rc = locale_text(LOCALE_SDECIMAL, &sc->dgrp_decmark);
  return rc;
}

int load_time(syscfg* sc) {
  int rc = locale_text(LOCALE_SSHORTDATE, &sc->tf_shortdate);
  if (!rc) rc = locale_text(LOCALE_SLONGDATE, &sc->tf_longdate);
  if (!rc) rc = locale_text(LOCALE_STIMEFORMAT, &sc->tf_time);
  return rc;
}

// A text value of the user's keyboard settings; false when it cannot be read.
bool kbd_value(const char* name, char* buf, DWORD size) {
  LONG rc = RegGetValueA(HKEY_CURRENT_USER, kKbdKey, name, RRF_RT_REG_SZ, nullptr, buf, &size);
  if (rc == ERROR_SUCCESS) return true;
  if (rc != ERROR_FILE_NOT_FOUND)
    ERR_LOG(ERR_WARN, (int)rc, "RegGetValue() failed - subkey: `%s', valname: `%s'.", kKbdKey, name);
  return false;
}

// A value the user cannot have set through the control panel leaves the default.
void load_kbd(syscfg* sc) {
  char buf[32];
  if (kbd_value("KeyboardDelay", buf, sizeof buf) && syscfg_kbd_delay(buf, &sc->kbd_delay))
    ERR_LOG(ERR_WARN, 9003, "Invalid `KeyboardDelay' [%s].", buf);
  if (kbd_value("KeyboardSpeed", buf, sizeof buf) && syscfg_kbd_period(buf, &sc->kbd_period))
    ERR_LOG(ERR_WARN, 9003, "Invalid `KeyboardSpeed' [%s].", buf);
}

}  // namespace

int syscfg_load(syscfg* sc, unsigned what, unsigned fmtwhat, db* rdb) {
  if (!sc) {
    ERR_LOG(ERR_ERR, 9003, "`syscfg' is NUL.");
    return 9003;
  }
  const lconv* lc = localeconv();
  int rc = set_text(&sc->lc_decpoint, lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".");
  if (!rc && (what & SYSCFG_FMTS) && (fmtwhat & SYSCFG_FMT_DGRP)) rc = load_dgrp(sc);
  if (!rc && (what & SYSCFG_FMTS) && (fmtwhat & SYSCFG_FMT_TIME)) rc = load_time(sc);
  if (!rc && (what & SYSCFG_KBD)) load_kbd(sc);
  if (!rc && (what & SYSCFG_SM)) {
    sc->sm_cxedge = GetSystemMetrics(SM_CXEDGE);
    sc->sm_cyedge = GetSystemMetrics(SM_CYEDGE);
  }
  if (!rc && rdb) rc = xrm_get_items(rdb, sc, SYSCFG_NITEMS, syscfg_items, nullptr, nullptr, 1);
  return rc;
}
