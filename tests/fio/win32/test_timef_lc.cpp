// The locale styles through the system's date and time formatting.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "c/log_capture.h"
#include "fio/timef.h"
#include "syscfg/syscfg.h"

namespace {

struct tm mk(int y, int mon, int d, int h, int mi, int s) {
  struct tm t = {};
  t.tm_year = y - 1900;
  t.tm_mon = mon - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  t.tm_wday = 4;
  return t;
}

void set_text(char** f, const char* s) {
  free(*f);
  *f = s ? strdup(s) : nullptr;
}

struct Cfg {
  syscfg sc;
  Cfg() { syscfg_init(&sc); }
  ~Cfg() { syscfg_free(&sc); }
  std::string str(const struct tm& t, unsigned style, int* rc = nullptr) {
    char buf[256] = "junk";
    int r = timef_to_str(&t, style, nullptr, &sc, buf, sizeof buf);
    if (rc) *rc = r;
    return buf;
  }
};

TEST(TimefLocale, Pictures) {
  Cfg c;
  const struct tm t = mk(2021, 3, 4, 17, 6, 7);
  set_text(&c.sc.tf_shortdate, "yyyy'/'MM'/'dd");
  set_text(&c.sc.tf_longdate, "d'.'M'.'yyyy");
  set_text(&c.sc.tf_time, "HH':'mm':'ss");
  set_text(&c.sc.tf_dtsep, " at");
  EXPECT_EQ(c.str(t, TIMEF_LC_SHORT), "2021/03/04 17:06") << "the short form has no seconds";
  EXPECT_EQ(c.str(t, TIMEF_LC_LONG), "4.3.2021 at 17:06:07");
  set_text(&c.sc.tf_time, "h' o''clock 'tt");
  set_text(&c.sc.tf_dtsep, nullptr);
  EXPECT_EQ(c.str(t, TIMEF_LC_LONG), "4.3.2021 5 o'clock PM");
}

TEST(TimefLocale, LocaleDefaults) {
  Cfg c;
  const struct tm t = mk(2021, 3, 4, 17, 6, 7);
  SYSTEMTIME st = {2021, 3, 4, 4, 17, 6, 7, 0};
  char d[128], tm[128];
  ASSERT_GT(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, d, sizeof d), 0);
  ASSERT_GT(GetTimeFormatA(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, tm, sizeof tm), 0);
  EXPECT_EQ(c.str(t, TIMEF_LC_SHORT), std::string(d) + " " + tm);
  set_text(&c.sc.tf_shortdate, "");  // an empty picture is no picture
  EXPECT_EQ(c.str(t, TIMEF_LC_SHORT), std::string(d) + " " + tm);
}

TEST(TimefLocale, SystemRefuses) {
  Cfg c;
  LogCapture log;
  int rc = 0;
  EXPECT_EQ(c.str(mk(1500, 1, 1, 0, 0, 0), TIMEF_LC_SHORT, &rc), "");
  EXPECT_EQ(rc, ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(log.has("GetDateFormat() failed.")) << log.got;
}

}  // namespace
