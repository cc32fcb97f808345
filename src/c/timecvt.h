// Conversions between the C runtime's times and the system's file and calendar
// times. The system records are the platform's own (declared, not defined, here).
#pragma once

#include <ctime>

#include "c/timeutil.h"

struct _FILETIME;    // 100-ns units since 1601-01-01 UTC
struct _SYSTEMTIME;  // calendar time

// Seconds between 1601-01-01 and 1970-01-01.
constexpr long long TIMECVT_EPOCH_DIFF = 11644473600LL;
constexpr long long TIMECVT_FT_PER_SEC = 10000000LL;

// File times as one number (the system record is two little-endian halves).
template <class FT> inline unsigned long long ft_u64(const FT& ft) {
  return (unsigned long long)ft.dwHighDateTime << 32 | ft.dwLowDateTime;
}
template <class FT> inline void ft_set(FT& ft, unsigned long long v) {
  ft.dwLowDateTime = (unsigned long)(v & 0xFFFFFFFFu);
  ft.dwHighDateTime = (unsigned long)(v >> 32);
}

// (tt + 11644473600) * 10000000. Times before 1601 give 9003.
int tt_to_ft(time_t tt, _FILETIME* ft);
// File time to local broken-down time; tm_isdst is -1.
int ft_to_tm(const _FILETIME* ft, struct tm* tm);
// Calendar time taken as it stands / as UTC converted to local time.
int st_to_tm(const _SYSTEMTIME* st, struct tm* tm);
int st_to_local_tm(const _SYSTEMTIME* st, struct tm* tm);
// The reverse of st_to_tm, milliseconds 0.
int tm_to_st(const struct tm* tm, _SYSTEMTIME* st);
