// Time-stamp formats: a list of named formats picked by name patterns, and the
// reading of a time text into the half-open range of seconds [ft, tt) that it
// denotes at its own precision (2024-03 is the whole of March).
#pragma once

#include <ctime>

#include "ds/list.h"

struct rexm;

enum { TSM_MAX_FMTS = 255, TSM_MAX_PATT = 255 };

enum tsm_prec { TSM_SEC = 1, TSM_MIN, TSM_HOUR, TSM_DAY, TSM_MONTH, TSM_YEAR, TSM_CENTURY };

struct tsm {
  list fmts;                          // tsr* (compiled format) in matching order
  unsigned nids;                      // formats added so far
  unsigned char ids[TSM_MAX_FMTS];    // their format ids
};

// Clears the record (it must not hold formats) and adds the formats whose names match
// the pieces of fmts (split at commas, blanks and tabs; strm patterns: case matters,
// '*' any run, '?' zero or one character, '\' escapes). After a failure the formats
// added before it stay in the list: call tsm_free in any case.
int tsm_init(tsm* ts, const char* fmts);
// Adds the formats of one name pattern, in table order, skipping ids already added.
int tsm_add(tsm* ts, const char* patt);

// *ft is read as the reference time (the defaults of the fields the format does not
// read) and receives the start of the range, *tt its end. Returns 1 on a match, else 0
// with *err 0 (no format matched, or an empty text) or the failure code.
int tsm_match(const tsm* ts, const char* str, time_t* ft, time_t* tt, int* err = nullptr);

int tsm_free(tsm* ts);
int tsm_clear(tsm* ts);

// Formats in matching order: the id of the idx-th (0 past the end) and its name.
unsigned tsm_count(const tsm* ts);
int tsm_fmt(const tsm* ts, unsigned idx, const char** name = nullptr);

// The fixed table (49 names over 45 ids, in matching order): the idx-th name with its id, precision (the minute
// forms with an optional ".SS" report TSM_MIN) and scan pattern; 0 past the end.
unsigned tsm_table_size();
int tsm_table_entry(unsigned idx, const char** name, int* prec = nullptr, const char** scan = nullptr);

// Compiles a scan pattern into an initialised automaton (finishing it).
int tsm_compile(rexm* re, const char* patt);
// Range checks of the broken-down fields read from str, in the order month, day of
// month, hours, minutes, seconds, day of year, day of week; 0 or 9003 (logged).
int tsm_validate(const struct tm* tm, const char* str);
