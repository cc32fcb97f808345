// The locale styles through the system's date and time formatting.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "fio/timef.h"
#include "syscfg/syscfg.h"

namespace {

std::string show(unsigned style, const char* sdate, const char* ldate, const char* time, const char* dtsep,
                 int year = 2021, int* rc = nullptr) {
  syscfg sc;
  syscfg_init(&sc);
  const char* in[] = {sdate, ldate, time, dtsep};
  char** field[] = {&sc.tf_shortdate, &sc.tf_longdate, &sc.tf_time, &sc.tf_dtsep};
  for (int i = 0; i < 4; ++i) {
    free(*field[i]);
    *field[i] = in[i] ? strdup(in[i]) : nullptr;
  }
  struct tm t = {7, 6, 17, 4, 2, year - 1900, 4, 62, 0};
  char buf[128] = "junk";
  int r = timef_to_str(&t, style, nullptr, &sc, buf, sizeof buf);
  if (rc) *rc = r;
  syscfg_free(&sc);
  return buf;
}

TEST(TimefLocale, Pictures) {
  const char *sd = "yyyy'/'MM'/'dd", *ld = "d'.'M'.'yyyy", *tm = "HH':'mm':'ss";
  EXPECT_EQ(show(TIMEF_LC_SHORT, sd, ld, tm, nullptr), "2021/03/04 17:06") << "no seconds in the short form";
  EXPECT_EQ(show(TIMEF_LC_LONG, sd, ld, tm, " at"), "4.3.2021 at 17:06:07");
  EXPECT_EQ(show(TIMEF_LC_LONG, sd, ld, "h' o''clock 'tt", nullptr), "4.3.2021 5 o'clock PM");

  LogCapture log;
  int rc = 0;
  EXPECT_EQ(show(TIMEF_LC_SHORT, sd, ld, tm, nullptr, 1500, &rc), "");
  EXPECT_EQ(rc, ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(log.has("GetDateFormat() failed.")) << log.got;
}

}  // namespace
