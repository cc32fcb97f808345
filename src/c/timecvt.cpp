#include "c/timecvt.h"

#include <cstring>

#include "err/err.h"

#include <windows.h>

namespace {
constexpr int kSys = 9001;
constexpr int kParam = 9003;

int null_tm() {
  ERR_LOG(ERR_ERR, kParam, "`tm' is NUL.");
  return kParam;
}

int null_ft() {
  ERR_LOG(ERR_ERR, kParam, "`ft' is NUL.");
  return kParam;
}

int null_st() {
  ERR_LOG(ERR_ERR, kParam, "`st' is NUL.");
  return kParam;
}

// The system's conversions: file time to UTC calendar time, then to local time.
bool ft_to_local_st(const FILETIME* ft, SYSTEMTIME* local) {
  SYSTEMTIME utc;
  if (!FileTimeToSystemTime(ft, &utc)) {
    ERR_LOG(ERR_ERR, kSys, "FileTimeToSystemTime() failed - ft: %#llx.", ft_u64(*ft));
    return false;
  }
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, local)) {
    ERR_LOG(ERR_ERR, kSys, "SystemTimeToTzSpecificLocalTime() failed - ft: %#llx.", ft_u64(*ft));
    return false;
  }
  return true;
}

bool utc_st_to_local(const SYSTEMTIME* utc, SYSTEMTIME* local) {
  if (SystemTimeToTzSpecificLocalTime(nullptr, utc, local)) return true;
  ERR_LOG(ERR_ERR, kSys, "SystemTimeToTzSpecificLocalTime() failed - %u-%02u-%02u %02u:%02u:%02u.",
          (unsigned)utc->wYear, (unsigned)utc->wMonth, (unsigned)utc->wDay, (unsigned)utc->wHour,
          (unsigned)utc->wMinute, (unsigned)utc->wSecond);
  return false;
}

int day_of_year(int year, int mon, int mday) {
  static constexpr int kStart[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (mon < 0 || mon > 11) return 0;
  return kStart[mon] + mday - 1 + (leap && mon > 1);
}

void fill_tm(const SYSTEMTIME* st, struct tm* tm) {
  memset(tm, 0, sizeof *tm);
  tm->tm_year = st->wYear - 1900;
  tm->tm_mon = st->wMonth - 1;
  tm->tm_mday = st->wDay;
  tm->tm_wday = st->wDayOfWeek;
  tm->tm_hour = st->wHour;
  tm->tm_min = st->wMinute;
  tm->tm_sec = st->wSecond;
  tm->tm_yday = day_of_year(st->wYear, tm->tm_mon, st->wDay);
  tm->tm_isdst = -1;  // left to the runtime
}
}  // namespace

int tt_to_ft(time_t tt, FILETIME* ft) {
  if (!ft) return null_ft();
  long long secs = (long long)tt + TIMECVT_EPOCH_DIFF;
  // before 1601 or past the last representable file time
  if (secs < 0 || secs > 0x7FFFFFFFFFFFFFFFLL / TIMECVT_FT_PER_SEC) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - tt: %lld, ft: %p.", (long long)tt, (void*)ft);
    return kParam;
  }
  ft_set(*ft, (unsigned long long)secs * TIMECVT_FT_PER_SEC);
  return 0;
}

int ft_to_tm(const FILETIME* ft, struct tm* tm) {
  if (!ft) return null_ft();
  if (!tm) return null_tm();
  SYSTEMTIME local;
  if (!ft_to_local_st(ft, &local)) return kSys;
  fill_tm(&local, tm);
  return 0;
}

int st_to_tm(const SYSTEMTIME* st, struct tm* tm) {
  if (!st) return null_st();
  if (!tm) return null_tm();
  fill_tm(st, tm);
  return 0;
}

int st_to_local_tm(const SYSTEMTIME* st, struct tm* tm) {
  if (!st) return null_st();
  if (!tm) return null_tm();
  SYSTEMTIME local;
  if (!utc_st_to_local(st, &local)) return kSys;
  fill_tm(&local, tm);
  return 0;
}

int tm_to_st(const struct tm* tm, SYSTEMTIME* st) {
  if (!tm) return null_tm();
  if (!st) return null_st();
  memset(st, 0, sizeof *st);
  st->wYear = (WORD)(tm->tm_year + 1900);
  st->wMonth = (WORD)(tm->tm_mon + 1);
  st->wDay = (WORD)tm->tm_mday;
  st->wDayOfWeek = (WORD)tm->tm_wday;
  st->wHour = (WORD)tm->tm_hour;
  st->wMinute = (WORD)tm->tm_min;
  st->wSecond = (WORD)tm->tm_sec;
  return 0;
}
