// Standard view: the Path, Name, Modified and Size fields and the Find/Stop button, shown
// by the find dialog above the result list.
#pragma once

#include <windows.h>

#include "fm/win32/fpathcbx.h"
#include "ui/geom.h"

struct quarndlg;

enum : int { IDC_STD_PATH = 1031, IDC_STD_NAME = 1039, IDC_STD_MD = 1040, IDC_STD_SIZE = 1042, IDC_STD_FIND = 1004 };

struct stdvw {
  quarndlg* qd;
  HWND dlg;      // template 112
  geom g;        // layout "std" (stdGeom)
  int ctllock;   // set while the program itself writes the fields
  fpathcbx pcbx; // the Path combo box over the path history
  HWND name, md, size, find;
};

int stdvw_init(stdvw* v, quarndlg* qd);
int stdvw_free(stdvw* v);
// Creates the view's dialog (template 112) as a child of parent, after `after` in z-order.
int stdvw_create(stdvw* v, HWND parent, HWND after);
// Fills the fields from the settings under the control lock, then validates them.
int stdvw_fill(stdvw* v);
// Removes the invalid colours and parses each non-empty field alone; 9003 when any failed
// (each failure is painted and reported).
int stdvw_validate(stdvw* v);
// Find/Stop: starts a search from the fields, or asks the running one to stop.
int stdvw_find(stdvw* v);
// Button text from the text store ("Find" or "Stop", context "quarndlg.btn").
int stdvw_set_btn(stdvw* v, const char* id);
// The smallest frame the view's layout allows.
int stdvw_min_size(const stdvw* v, int* w, int* h);

INT_PTR CALLBACK stdvw_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
