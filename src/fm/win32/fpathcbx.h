// Path combo box: the Path field with the path history as its drop-down list.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "fm/fpathlist.h"

enum { FPATHCBX_HIST = 2, FPATHCBX_ABC = 1 };

struct fpathcbx {
  HWND cbx;
  pathl* pl;      // the history, not owned
  int order;      // FPATHCBX_HIST (most recent first) or FPATHCBX_ABC
  int ignorecase; // for the alphabetic order
};

int fpathcbx_init(fpathcbx* c, HWND cbx, pathl* pl, int order, int ignorecase);
int fpathcbx_free(fpathcbx* c);
// Refills the drop-down list from the history in the box's order; the edit text stays.
int fpathcbx_refill(fpathcbx* c);
// The text of the chosen list entry (CBN_SELCHANGE), cut to bufsize (9005); 9006 with none.
int fpathcbx_sel_text(const fpathcbx* c, char* buf, unsigned bufsize);

// Dropped files: each file replaced by its directory, quoted where needed, added once by
// the box's case rule; append (Ctrl held) keeps the words already in the field. The caret
// goes to the end and the parent receives the box's edit-change command. h stays the caller's.
int fpathcbx_drop(fpathcbx* c, HDROP h, int append);
// Lets the box take files dropped from the shell (WM_DROPFILES, Ctrl read at the drop).
int fpathcbx_accept_drops(fpathcbx* c);
