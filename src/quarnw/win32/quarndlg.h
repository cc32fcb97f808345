// Find dialog: the current view above the result list, the state machine that runs a
// search and a sort, and the find and sort threads.
#pragma once

#include <windows.h>

#include "ex/ex.h"
#include "fm/ffiltcmd.h"
#include "fm/flist.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"
#include "quarnw/win32/flistctrl.h"
#include "quarnw/win32/stdvw.h"
#include "sm/sm.h"
#include "ui/geom.h"

enum : int { IDC_QD_VWPOS = 1031, IDC_QD_FLIST = 1005 };
// States and events of the machine.
enum { QD_READY = 1, QD_FINDING = 2, QD_SORTING = 3 };
enum { QD_EV_FIND = 11, QD_EV_SORT = 12 };

struct quarndlg {
  HWND dlg;        // template 110
  int dflt_id;     // the dialog's own default push button
  qn q;            // the search context
  flist fl;        // the results
  ex e;            // the parsed expression
  qnexp exparser;
  int parsed;      // e holds an expression
  geom g;          // layout "quarn_d" (geom)
  sm m;
  stdvw vw;
  HWND vwwnd;      // the view shown
  flistctrl lcrec;
  flistctrl* lc;   // the result list control once created
  int subscribed;
  int initrc;      // the result of creating the dialog's parts
  char* paths;     // the Path text the running search walks, owned
  unsigned long long lastms;  // the worker's last progress time
  ffiltjob filt;   // the filter command and its files for the running search
  volatile long worker;       // a worker thread still uses the record
};

// Creates the dialog (template 110) as a child of parent; *out gets the record, owned by
// the dialog and freed when it is destroyed.
int quarndlg_create(HWND parent, quarndlg** out);
// Starts a search with the expression text (machine not running).
int quarndlg_search(quarndlg* qd, const char* expr);
// Starts the machine with the sort event.
int quarndlg_sort(quarndlg* qd);
// Empties the file list and the list control.
int quarndlg_clear(quarndlg* qd);
// Whether the machine runs (a search or sort is under way).
int quarndlg_running(const quarndlg* qd);
// Shows the standard view.
int quarndlg_show_view(quarndlg* qd);
// The smallest frame the dialog's layout allows, in window pixels.
int quarndlg_min_size(const quarndlg* qd, int* w, int* h);
// Forwards a command of the view's default button (1004) to the view.
int quarndlg_fwd_cmd(quarndlg* qd, int id, int code);
// The result list control (nullptr before creation).
flistctrl* quarndlg_flistctrl(quarndlg* qd);
flist* quarndlg_flist(quarndlg* qd);

// Callbacks handed to the engine and to the list's sort.
int quarndlg_entry_cb(const qnd* d, int match, unsigned count, void* usrdata);
int quarndlg_sort_cb(double done, void* usrdata);

INT_PTR CALLBACK quarndlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
