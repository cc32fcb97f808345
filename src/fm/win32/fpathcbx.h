// Path combo box: the Path field with the path history as its drop-down list.
#pragma once

#include <windows.h>

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
