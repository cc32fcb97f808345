// The queue between the error log's hook, on whatever thread reports, and the main
// window, which moves the reports into the error dialog's list.
// A record starts zero-filled (`uerrque x{}`): init releases what the record held.
#pragma once

#include <windows.h>

#include "c/mutex.h"
#include "ds/list.h"
#include "err/err.h"

struct uerrlist;

// Messages to the main window: reports queued, reports listed.
enum : unsigned { UERR_MSG_QUEUED = 32770u, UERR_MSG_LISTED = 32771u };
enum { UERRQUE_LOCK_TIMEOUT = 500, UERRQUE_MAX_WAKEUPS = 3 };

struct uerrque {
  list items;  // uerr_item copies, each owning its message, under mtx
  mutex mtx;
  HWND* pwnd;  // the main window's handle variable; may hold nullptr
};

// pwnd may be nullptr: nothing is posted.
int uerrque_init(uerrque* q, HWND* pwnd = nullptr);
int uerrque_free(uerrque* q);
// Appends a copy under the lock (9011 when it is not had within 500 ms).
int uerrque_add(uerrque* q, const uerr_item* item);
unsigned uerrque_count(uerrque* q);

// The error log's hook (usrdata: the queue): queues a copy and wakes the main window
// with UERR_MSG_QUEUED while fewer than 4 reports wait.
int uerrque_hook(const uerr_item* item, void* usrdata);
// On UERR_MSG_QUEUED: moves every queued report, in order, to l and posts
// UERR_MSG_LISTED. A failed copy stops the move; the rest stay queued.
int uerrque_move(uerrque* q, uerrlist* l);
