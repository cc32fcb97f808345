#include <windows.h>

#include "err/err.h"
#include "fio/timef.h"

int timef_lc_sys(unsigned what, const struct tm* tm, const char* picture, char* buf, unsigned bufsize) {
  if (!tm || !buf || !bufsize || what > TIMEF_LC_TIME) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - what: %u, tm: %p, str: %p, strsize: %u.", what, (const void*)tm,
            (void*)buf, bufsize);
    return 9003;
  }
  SYSTEMTIME st = {};
  st.wYear = (WORD)(tm->tm_year + 1900);
  st.wMonth = (WORD)(tm->tm_mon + 1);
  st.wDayOfWeek = (WORD)tm->tm_wday;
  st.wDay = (WORD)tm->tm_mday;
  st.wHour = (WORD)tm->tm_hour;
  st.wMinute = (WORD)tm->tm_min;
  st.wSecond = (WORD)(tm->tm_sec > 59 ? 59 : tm->tm_sec);  // a leap second has no place here
  if (what <= TIMEF_LC_LONGDATE) {
    // a picture and a format flag together are refused by the system
    DWORD flags = picture ? 0 : what == TIMEF_LC_SHORTDATE ? DATE_SHORTDATE : DATE_LONGDATE;
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, picture, buf, (int)bufsize)) {
      DWORD e = GetLastError();
      int rc = e ? (int)e : 9001;
      ERR_LOG(ERR_ERR, rc, "GetDateFormat() failed.");
      return rc;
    }
  } else {
    DWORD flags = what == TIMEF_LC_TIME_NOSEC ? TIME_NOSECONDS : 0;
    if (!GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &st, picture, buf, (int)bufsize)) {
      DWORD e = GetLastError();
      int rc = e ? (int)e : 9001;
      ERR_LOG(ERR_ERR, rc, "GetTimeFormat() failed.");
      return rc;
    }
  }
  return 0;
}
