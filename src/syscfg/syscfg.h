// System settings: the user's locale formats, keyboard repeat and window metrics read
// from the system, each of which the resource database may override.
#pragma once

#include "c/cfg.h"

struct db;

struct syscfg {
  char* dgrp_fmt;      // grouping format of the locale, see dgrp
  char* dgrp_grpsep;   // the locale's group separator
  char* dgrp_decmark;  // the locale's decimal mark
  char* tf_shortdate;  // the locale's date and time pictures; nullptr: the system's default
  char* tf_longdate;
  char* tf_time;
  char* tf_dtsep;      // what follows a long date before the time
  unsigned kbd_delay;  // repeat delay, ms
  unsigned kbd_period; // repeat period, ms
  char* lc_decpoint;   // the runtime's decimal point: the mark in number texts the program writes
  int sm_cxedge;
  int sm_cyedge;
};

// what
enum : unsigned { SYSCFG_FMTS = 1u, SYSCFG_KBD = 2u, SYSCFG_SM = 4u };
// fmtwhat
enum : unsigned { SYSCFG_FMT_DGRP = 1u, SYSCFG_FMT_TIME = 2u };

enum : unsigned { SYSCFG_NITEMS = 12 };
extern const cfg_item syscfg_items[SYSCFG_NITEMS];

// Clears the record and sets the built-in defaults.
int syscfg_init(syscfg* sc);
void syscfg_free(syscfg* sc);
void syscfg_clear(syscfg* sc);

// Reads the system's values chosen by what and fmtwhat, then, with a database, the
// resources named in syscfg_items over them. The runtime's decimal point is always read.
int syscfg_load(syscfg* sc, unsigned what, unsigned fmtwhat, db* rdb);

// The locale's grouping list ("3;0", "3;2;0") as a grouping format ("%*%3", "%*%2%S%3").
// On failure out is empty.
int syscfg_dgrpfmt(const char* sgrouping, char* out, unsigned outsize);

// Keyboard values of the user's control panel texts, in ms. A text that is not a number
// in the system's range gives 9003 and leaves *ms alone.
int syscfg_kbd_delay(const char* text, unsigned* ms);
int syscfg_kbd_period(const char* text, unsigned* ms);
