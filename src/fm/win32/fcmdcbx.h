// Command combo box: the filter command history as a drop-down list.
#pragma once

#include <windows.h>

#include "fm/fcmdlist.h"

enum { FCMDCBX_ABC = 1, FCMDCBX_HIST = 2 };

struct fcmdcbx {
  HWND cbx;
  fcmdlist* l;  // not owned
  int order;    // FCMDCBX_HIST (most recent first) or FCMDCBX_ABC
  int ignorecase;
};

int fcmdcbx_init(fcmdcbx* c, HWND cbx, fcmdlist* l, int order, int ignorecase);
int fcmdcbx_free(fcmdcbx* c);
// Refills the list from the history in the box's order.
int fcmdcbx_refill(fcmdcbx* c);
// The command of the chosen entry; 9006 with none, 9005 when cut.
int fcmdcbx_sel_text(const fcmdcbx* c, char* buf, unsigned bufsize);
