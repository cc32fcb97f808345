// The system's values: the user's locale and keyboard settings are written here and put
// back afterwards; the resource database's values go over them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "syscfg/syscfg.h"
#include "xrm/xrm.h"

namespace {

// A keyboard value of the current user, restored (or removed) at the end.
struct KbdValue {
  const char* name;
  char old[64] = "";
  bool had;
  explicit KbdValue(const char* n) : name(n) {
    DWORD size = sizeof old;
    had = !RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Keyboard", name, RRF_RT_REG_SZ, nullptr, old, &size);
  }
  void set(const char* v) {
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Keyboard", name, REG_SZ, v, (DWORD)strlen(v) + 1);
  }
  ~KbdValue() {
    if (had) set(old);
    else RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Keyboard", name);
  }
};

// A locale setting of the user, restored at the end.
struct LocaleValue {
  LCTYPE type;
  char old[128] = "";
  LocaleValue(LCTYPE t, const char* v) : type(t) {
    GetLocaleInfoA(LOCALE_USER_DEFAULT, t, old, sizeof old);
    EXPECT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, t, v)) << v;
  }
  ~LocaleValue() { SetLocaleInfoA(LOCALE_USER_DEFAULT, type, old); }
};

struct Cfg {
  syscfg sc;
  Cfg() { syscfg_init(&sc); }
  ~Cfg() { syscfg_free(&sc); }
};

TEST(SyscfgLoad, SystemValues) {
  KbdValue delay("KeyboardDelay"), speed("KeyboardSpeed");
  LocaleValue g(LOCALE_SGROUPING, "3;2;0"), t(LOCALE_STHOUSAND, "'"), d(LOCALE_SDECIMAL, ","),
      sd(LOCALE_SSHORTDATE, "dd/MM/yyyy"), tf(LOCALE_STIMEFORMAT, "HH:mm:ss");
  delay.set("2");
  speed.set("10");
  Cfg c;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_FMTS | SYSCFG_KBD, SYSCFG_FMT_DGRP, nullptr), 0);
  EXPECT_EQ(std::string(c.sc.dgrp_fmt) + " " + c.sc.dgrp_grpsep + c.sc.dgrp_decmark, "%*%2%S%3 ',");
  EXPECT_STREQ(c.sc.lc_decpoint, ".") << "the runtime's, not the user's";
  EXPECT_EQ(c.sc.kbd_delay, 750u);
  EXPECT_EQ(c.sc.kbd_period, 350u);
  EXPECT_TRUE(!c.sc.tf_shortdate && !c.sc.sm_cxedge) << "not asked for";
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_FMTS | SYSCFG_SM, SYSCFG_FMT_TIME, nullptr), 0);
  EXPECT_EQ(std::string(c.sc.tf_shortdate) + " " + c.sc.tf_time, "dd/MM/yyyy HH:mm:ss");
  EXPECT_EQ(c.sc.sm_cxedge, GetSystemMetrics(SM_CXEDGE));
  EXPECT_EQ(c.sc.sm_cyedge, GetSystemMetrics(SM_CYEDGE));

  // values no control panel writes keep the defaults
  delay.set("");
  speed.set("40");
  Cfg k;
  LogCapture log;
  ASSERT_EQ(syscfg_load(&k.sc, SYSCFG_KBD, 0, nullptr), 0);
  EXPECT_TRUE(k.sc.kbd_delay == 0 && k.sc.kbd_period == 0);
  EXPECT_TRUE(log.has("Invalid `KeyboardSpeed' [40].")) << log.got;
}

TEST(SyscfgLoad, ResourcesOverride) {
  KbdValue delay("KeyboardDelay");
  delay.set("1");
  xrm x = {};
  ASSERT_EQ(xrm_init(&x, "quarnw", "moxware", "joe", nullptr, nullptr), 0);
  db* d = xrm_db_new(&x);
  ASSERT_NE(d, nullptr);
  const char* res[][2] = {{"*sys.dgrp.num.fmt", "%*%4"}, {"*sys.kbd.delay", "123"},
                          {"joe.quarnw.sys.timefmt.dtsep", " -"}, {"*sys.sm.cxedge", "0x10"},
                          {"otherapp.sys.dgrp.num.grpsep", "'"}};  // not this program's
  for (const auto& r : res) ASSERT_EQ(xrm_put(d, r[0], 0, r[1]), 0) << r[0];
  Cfg c;
  ASSERT_EQ(syscfg_load(&c.sc, SYSCFG_KBD | SYSCFG_SM, 0, d), 0);
  EXPECT_STREQ(c.sc.dgrp_fmt, "%*%4");
  EXPECT_EQ(c.sc.kbd_delay, 123u) << "the resource over the system's 500";
  EXPECT_STREQ(c.sc.tf_dtsep, " -");
  EXPECT_EQ(c.sc.sm_cxedge, 16);
  EXPECT_STREQ(c.sc.dgrp_grpsep, ",");
  xrm_free(&x);
}

}  // namespace
