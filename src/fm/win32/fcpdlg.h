// Copy dialog: copies the records it was opened with, one item after the other, to the
// destination of its To field, asking before each overwrite no remembered decision
// covers; every item's outcome stays in the dialog's list. The move dialog (fmvdlg)
// runs on the same machine with the move threads.
#pragma once

#include <windows.h>

#include "fm/win32/fopdlg.h"
#include "fm/win32/fpathcbx.h"
#include "sm/sm.h"
#include "ui/ctlclr.h"
#include "ui/geom.h"

// States and events of the machine.
enum { FCP_READY = 1, FCP_ITEM = 2, FCP_GATHERING = 3, FCP_COPYING = 4, FCP_SORTING = 5 };
enum { FCP_EV_NEXT = 11, FCP_EV_DIR = 12, FCP_EV_FINISHED = 13, FCP_EV_SORT = 14 };

// Record flag: being copied or moved.
enum : unsigned { FCP_FREC_BUSY = 0x1000 };

enum { FCP_TITLE_SIZE = 256 };

struct fcpdlg {
  int move;               // the move dialog
  const fopenv* env;
  fopdlgcfg* cfg;         // the dialog's settings, updated at close (not owned)
  const list* recs;       // frec* (not owned)
  progr* pr;              // progress text and stop request (not owned)
  HWND dlg;
  HWND owner;
  int modal;
  foplist fl;
  fpathcbx cbx;
  geom g;
  sm m;
  ctlclr cc;              // the To field's invalid colours
  char title[FCP_TITLE_SIZE];  // the template's title
  char dest[FT_PATH_SIZE];     // the run's absolute destination
  unsigned cur;           // item index of the run
  flist gathered;         // the directory item's contents
  unsigned pos, done;     // position and done counter in the item
  ftdec dec;
  ft_need need;           // a decision the worker stopped for, asked at the next step
  char* target;
  int stop;
  int failed;             // an item of the run failed
  int close_after;        // Cancel while running: close when the machine stops
  int subscribed;
  int initrc;
};

// Clears the record.
int fcpdlg_init(fcpdlg* d);
int fcpdlg_free(fcpdlg* d);

// Modal (template 7408, 7409 for move); returns when the dialog is closed.
int fcpdlg_open(fcpdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr);
// Modeless, for callers with a message loop of their own; d->dlg until closed.
int fcpdlg_create(fcpdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr);

// Copy (Move) pressed: starts a run, or asks a running one to stop.
int fcpdlg_start(fcpdlg* d);
int fcpdlg_running(const fcpdlg* d);
// Item state of row i (FOPITEM_*), -1 out of range.
int fcpdlg_item_state(const fcpdlg* d, unsigned i);

INT_PTR CALLBACK fcpdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
