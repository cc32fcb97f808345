// Delete dialog: deletes the records it was opened with, one item after the other, to the
// recycle bin or permanently, asking before each deletion no remembered decision covers;
// every item's outcome stays in the dialog's list and deleted records get their mark.
#pragma once

#include <windows.h>

#include "fm/fdeldlgcfg.h"
#include "fm/win32/fopdlg.h"
#include "sm/sm.h"
#include "ui/ctlclr.h"
#include "ui/geom.h"

// States and events of the machine.
enum { FDEL_READY = 1, FDEL_ITEM = 2, FDEL_SEARCHING = 3, FDEL_RECYCLING = 4, FDEL_DELETING = 5, FDEL_SORTING = 6 };
enum {
  FDEL_EV_NEXT = 11,    // start a run; an item is finished
  FDEL_EV_DIR = 12,     // a directory item: search its tree
  FDEL_EV_SHELL = 13,   // to the recycle bin
  FDEL_EV_BYITEM = 14,  // permanently, item by item
  FDEL_EV_REPEAT = 15,  // the item again after a decision
  FDEL_EV_SORT = 16
};

// Record flag: being deleted (shared with the other file-operation dialogs).
enum : unsigned { FDEL_FREC_BUSY = 0x1000 };

enum { FDEL_TITLE_SIZE = 256 };

// The question for an item: deletion for good or not, the item's own read-only flag, a
// read-only entry below it. FCFM_* type.
int fdel_cfm_type(int perm, int ro, int ro_inside);

struct fdeldlg {
  const fopenv* env;
  fdeldlgcfg* cfg;        // the dialog's settings, updated at close (not owned)
  const list* recs;       // frec* (not owned)
  progr* pr;              // progress text and stop request (not owned)
  int perm;               // delete for good: the Shift key, or undo off
  HWND dlg;
  HWND owner;
  int modal;
  foplist fl;
  geom g;
  sm m;
  ctlclr cc;              // the note's colour
  char title[FDEL_TITLE_SIZE];
  unsigned cur;           // item index of the run
  flist gathered;         // read-only search, then the tree contents first
  unsigned pos, done;
  int phase;              // in the search state: 0 read-only search, 1 gathering
  int ro_self, ro_inside; // what the search found
  ftdec dec;
  unsigned box;           // FDELDLG_* boxes at the start of the run
  int all, oscfm;         // the All and OS Confirm boxes at the start
  unsigned dirflags;      // list delete flags the item's confirmation gave
  int recerr;             // a record of the item's tree failed
  char* recerrtext;
  int recerrcode;
  int startrc;            // a worker the last transition could not start
  int stop;
  int failed;
  int close_after;
  int subscribed;
  int initrc;
};

int fdeldlg_init(fdeldlg* d);
int fdeldlg_free(fdeldlg* d);

// Modal (template 7401); perm: delete for good whatever the settings say (the Shift key).
int fdeldlg_open(fdeldlg* d, fdeldlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr, int perm);
// Modeless, for callers with a message loop of their own; d->dlg until closed.
int fdeldlg_create(fdeldlg* d, fdeldlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr,
                   int perm);

// Delete pressed: starts a run, or asks a running one to stop.
int fdeldlg_start(fdeldlg* d);
int fdeldlg_running(const fdeldlg* d);
// Item state of row i (FOPITEM_*), -1 out of range.
int fdeldlg_item_state(const fdeldlg* d, unsigned i);

INT_PTR CALLBACK fdeldlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
