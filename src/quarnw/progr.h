// Progress shared between the window thread and a worker: the current progress line,
// the stop request and what was cancelled, all under one mutex.
#pragma once

#include <windows.h>

#include "c/mutex.h"

struct quarnwcfg;

enum : unsigned { PROGR_TEXT_SIZE = 1024 };
// cancellation flags
enum : unsigned char { PROGR_CANCELLED_FIND = 1, PROGR_CANCELLED_SORT = 2 };

struct progr {
  const quarnwcfg* cfg;  // progress.lockTimeout, progress.cbEvery, progress.updateEvery
  mutex mtx;
  char text[PROGR_TEXT_SIZE];
  volatile LONG cancel;  // stop requested; also handed to the walker as its cancel word
  unsigned char cancelled;
};

int progr_init(progr* p, const quarnwcfg* cfg);
int progr_free(progr* p);
// Waits progress.lockTimeout ms (500 without settings); 9011 on time-out.
int progr_lock(progr* p);
int progr_unlock(progr* p);
// With the lock held: the text (nullptr: empty), cut to fit (9005).
int progr_set_text(progr* p, const char* text);
// With the lock held: empty text, no stop request, no cancellation flags.
int progr_reset(progr* p);
// Locks, sets the stop request, unlocks.
int progr_cancel(progr* p);
