// The system's values: the user's locale settings and keyboard values, written here and
// put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "syscfg/syscfg.h"
#include "xrm/xrm.h"

namespace {

constexpr const char* kKbd = "Control Panel\\Keyboard";

// A registry value of the current user, restored (or removed) when the test ends.
struct SavedValue {
  const char* key;
  const char* name;
  bool had = false;
  char old[256] = "";
  SavedValue(const char* k, const char* n) : key(k), name(n) {
    DWORD size = sizeof old;
    had = RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, old, &size) == ERROR_SUCCESS;
  }
  void set(const char* v) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    RegSetValueExA(k, name, 0, REG_SZ, (const BYTE*)v, (DWORD)strlen(v) + 1);
    RegCloseKey(k);
  }
  ~SavedValue() {
    if (had) {
      set(old);
    } else {
      HKEY k = nullptr;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_WRITE, &k) == 0) {
        RegDeleteValueA(k, name);
        RegCloseKey(k);
      }
    }
  }
};

// A locale setting of the user, put back when the test ends.
struct SavedLocale {
  LCTYPE type;
  char old[128] = "";
  explicit SavedLocale(LCTYPE t) : type(t) { GetLocaleInfoA(LOCALE_USER_DEFAULT, t, old, sizeof old); }
  bool set(const char* v) { return SetLocaleInfoA(LOCALE_USER_DEFAULT, type, v) != 0; }
  ~SavedLocale() { SetLocaleInfoA(LOCALE_USER_DEFAULT, type, old); }
};

struct Cfg {
  syscfg sc;
  Cfg() { syscfg_init(&sc); }
  ~Cfg() { syscfg_free(&sc); }
};

TEST(SyscfgLoad, Keyboard) {
  SavedValue delay(kKbd, "KeyboardDelay"), speed(kKbd, "KeyboardSpeed");
  delay.set("2");
  speed.set("10");
  {
    Cfg c;
    ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_KBD, 0, nullptr), 0);
    EXPECT_EQ(c.sc.kbd_delay, 750u);
    EXPECT_EQ(c.sc.kbd_period, 350u);
    EXPECT_EQ(c.sc.sm_cxedge, 0) << "metrics not asked for";
  }
  // values no control panel writes keep the defaults
  delay.set("");
  speed.set("40");
  Cfg c;
  LogCapture log;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_KBD, 0, nullptr), 0);
  EXPECT_EQ(c.sc.kbd_delay, 0u);
  EXPECT_EQ(c.sc.kbd_period, 0u);
  EXPECT_TRUE(log.has("Invalid `KeyboardSpeed' [40].")) << log.got;
}

TEST(SyscfgLoad, LocaleFormats) {
  SavedLocale grouping(LOCALE_SGROUPING), thousand(LOCALE_STHOUSAND), decimal(LOCALE_SDECIMAL),
      shortdate(LOCALE_SSHORTDATE), timefmt(LOCALE_STIMEFORMAT);
  ASSERT_TRUE(grouping.set("3;2;0"));
  ASSERT_TRUE(thousand.set("'"));
  ASSERT_TRUE(decimal.set(","));
  ASSERT_TRUE(shortdate.set("dd/MM/yyyy"));
  ASSERT_TRUE(timefmt.set("HH:mm:ss"));
  Cfg c;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_FMTS, SYSCFG_FMT_DGRP, nullptr), 0);
  EXPECT_STREQ(c.sc.dgrp_fmt, "%*%2%S%3");
  EXPECT_STREQ(c.sc.dgrp_grpsep, "'");
  EXPECT_STREQ(c.sc.dgrp_decmark, ",");
  EXPECT_STREQ(c.sc.lc_decpoint, ".") << "the runtime's, not the user's";
  EXPECT_EQ(c.sc.tf_shortdate, nullptr) << "dates not asked for";
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_FMTS, SYSCFG_FMT_TIME, nullptr), 0);
  EXPECT_STREQ(c.sc.tf_shortdate, "dd/MM/yyyy");
  EXPECT_STREQ(c.sc.tf_time, "HH:mm:ss");
  EXPECT_NE(c.sc.tf_longdate, nullptr);
}

TEST(SyscfgLoad, Metrics) {
  Cfg c;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_SM, 0, nullptr), 0);
  EXPECT_EQ(c.sc.sm_cxedge, GetSystemMetrics(SM_CXEDGE));
  EXPECT_EQ(c.sc.sm_cyedge, GetSystemMetrics(SM_CYEDGE));
  EXPECT_GT(c.sc.sm_cxedge, 0);
  EXPECT_STREQ(c.sc.dgrp_fmt, "%*%3") << "formats not asked for";
  LogCapture log;
  EXPECT_EQ(syscfg_load(nullptr, SYSCFG_SM, 0, nullptr), 9003);
  EXPECT_TRUE(log.has("`syscfg' is NUL.")) << log.got;
}

TEST(SyscfgLoad, ResourcesOverride) {
  SavedValue delay(kKbd, "KeyboardDelay");
  delay.set("1");
  xrm x = {};
  ASSERT_EQ(xrm_init(&x, "quarnw", "moxware", "joe", nullptr, nullptr), 0);
  db* d = xrm_db_new(&x);
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(xrm_put(d, "*sys.dgrp.num.fmt", 0, "%*%4"), 0);
  ASSERT_EQ(xrm_put(d, "*sys.kbd.delay", 0, "123"), 0);
  ASSERT_EQ(xrm_put(d, "joe.quarnw.sys.timefmt.dtsep", 0, " -"), 0);
  ASSERT_EQ(xrm_put(d, "otherapp.sys.dgrp.num.grpsep", 0, "'"), 0);  // not this program's
  {
    Cfg c;
    ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_KBD | SYSCFG_SM, 0, d), 0);
    EXPECT_STREQ(c.sc.dgrp_fmt, "%*%4");
    EXPECT_EQ(c.sc.kbd_delay, 123u) << "the resource over the system's 500";
    EXPECT_STREQ(c.sc.tf_dtsep, " -");
    EXPECT_STREQ(c.sc.dgrp_grpsep, ",");
    EXPECT_EQ(c.sc.sm_cxedge, GetSystemMetrics(SM_CXEDGE));
  }
  // numbers read as the settings read them: a prefix gives the base
  ASSERT_EQ(xrm_put(d, "*sys.sm.cxedge", 0, "0x10"), 0);
  Cfg c;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_SM, 0, d), 0);
  EXPECT_EQ(c.sc.sm_cxedge, 16);
  EXPECT_EQ(c.sc.sm_cyedge, GetSystemMetrics(SM_CYEDGE));
  xrm_free(&x);
}

}  // namespace
