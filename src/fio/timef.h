// Time-stamp operand: prefix and a time text in one of the accepted formats.
#pragma once

#include <ctime>

#include "rex/tsmatch.h"

struct timef {
  unsigned flags;  // bit 0: signed form
  tsm fmts;        // accepted formats
};

int timef_init(timef* f, unsigned flags, const char* fmts);
void timef_free(timef* f);
void timef_clear(timef* f);
// *from is read as the reference time and receives the start of the range, *to its end.
int timef_parse(const timef* f, const char* text, unsigned* op, time_t* from, time_t* to);

// Display of a broken-down local time (the windowed program).
struct syscfg;

enum : unsigned {
  TIMEF_ISO = 0, TIMEF_ISO_LONG, TIMEF_LC_SHORT, TIMEF_LC_LONG, TIMEF_LS, TIMEF_LS_LONG, TIMEF_USR, TIMEF_NSTYLES
};

// style: TIMEF_*; usrfmt: the runtime's %-directives for TIMEF_USR. The locale styles
// take their pictures and the text after a long date from sc.
int timef_to_str(const struct tm* tm, unsigned style, const char* usrfmt, const syscfg* sc, char* buf,
                 unsigned bufsize);

// A time in the month of now or up to six months (to the day) before it.
bool timef_is_recent(const struct tm* t, const struct tm* now);

// The locale's date or time picture filled in for tm; picture nullptr is the locale's
// default. Returns 0 or the system's code, logged.
enum : unsigned { TIMEF_LC_SHORTDATE = 0, TIMEF_LC_LONGDATE, TIMEF_LC_TIME_NOSEC, TIMEF_LC_TIME };
typedef int (*timef_lc_fn)(unsigned what, const struct tm* tm, const char* picture, char* buf, unsigned bufsize);
// The system's formatter (Windows builds).
int timef_lc_sys(unsigned what, const struct tm* tm, const char* picture, char* buf, unsigned bufsize);
// Replaces the formatter the locale styles use (nullptr: the system's); returns the previous one.
timef_lc_fn timef_set_lc(timef_lc_fn fn);
