// Notification hub: subscribers by notification id, called at once on the caller's
// thread or through a queue that any thread posts to and the window thread drains.
// A record starts zero-filled (`ntf x{}`): init releases what the record held.
#pragma once

#include <windows.h>

#include "c/mutex.h"
#include "ds/list.h"
#include "ds/rbtree.h"

// The main window's wake-up message and the hub's result codes with a meaning.
enum : unsigned { NTF_WAKE_MSG = 0x8001u };
enum { NTF_STOPPED = 9015, NTF_REMOVE = 9016 };
enum { NTF_MAX_WAKEUPS = 3, NTF_LOCK_TIMEOUT = 1000 };

// Notification ids.
enum {
  NTF_COLS = 1,          // list columns changed
  NTF_FLIST_GROWN = 2,   // file list grown
  NTF_FREC_CHANGED = 3,  // file record changed
  NTF_FREC_REFRESHED = 4,
  NTF_FREC_DELETED = 5,
  NTF_FREC_MOVING = 6,
  NTF_FREC_MOVED = 7,
  NTF_SHOW_INFO = 8,    // show a record in the information dialog
  NTF_SM_NEXT = 9,      // advance a dialog's state machine
  NTF_PROGRESS = 10,    // progress text changed
  NTF_THREAD_END = 11,  // worker thread ended
  NTF_OPEN_INFO = 100,  // open the information dialog
  NTF_RESEARCH = 101    // run the search again
};

// 0, or an error code; NTF_REMOVE drops the subscription, NTF_STOPPED is no error.
typedef int (*ntf_fn)(int id, void* data, void* usrdata);

struct ntf {
  rbtree subs;  // id -> list of subscriptions in subscription order
  list postq;   // posted items in posting order, under mtx
  mutex mtx;
  HWND* pwnd;      // the variable holding the window to wake; may hold nullptr
  UINT msg;        // the wake-up message
  unsigned walks;  // calls running; removals wait until the outermost ends
  unsigned ndead;  // subscriptions waiting for that
};

// pwnd may be nullptr: nothing is woken, the owner dispatches on its own.
int ntf_init(ntf* n, HWND* pwnd, UINT msg);
int ntf_free(ntf* n);

// ref: the subscriber's counterpart, nullptr for any.
int ntf_add(ntf* n, int id, void* ref, ntf_fn fn, void* usrdata);
int ntf_del(ntf* n, int id, void* ref, ntf_fn fn, void* usrdata);

// Window thread only. The last result a subscriber gave, 0 with none.
int ntf_call(ntf* n, int id, void* data, void* ref);
// Any thread.
int ntf_post(ntf* n, int id, void* data, void* ref);
// Window thread only: delivers everything queued, in order.
int ntf_dispatch(ntf* n);

// Subscriptions of id still active (for the owner's checks).
unsigned ntf_count(const ntf* n, int id);
// Items waiting in the queue.
unsigned ntf_queued(ntf* n);
