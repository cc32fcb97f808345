// Filter dialog: the command a search runs on every match, its history and its output
// file. Modeless, owned by the main window.
#pragma once

#include <windows.h>

#include "fm/ffiltcfg.h"
#include "fm/ffiltcmd.h"
#include "fm/win32/fcmdcbx.h"
#include "ui/geom.h"

struct db;
struct txr;
struct ctlclr;

struct ffiltdlg {
  HWND dlg;  // while open
  ffiltdlgcfg* cfg;
  db* rdb;          // layout and ffiltCmdln.* lookups
  const txr* tx;    // report texts
  ctlclr* clr;      // invalid colours of the output field
  void (*on_activate)(HWND dlg, int active);  // keyboard navigation of the owner's loop
  geom g;
  fcmdcbx cbx;
  HWND cmdln, cmdout, cmdoutTo;
  HFONT font;  // of the command edit, from the settings
  int lock;    // set while the program writes the fields
};

int ffiltdlg_init(ffiltdlg* d, ffiltdlgcfg* cfg, db* rdb, const txr* tx, ctlclr* clr);
int ffiltdlg_free(ffiltdlg* d);
// Creates the dialog (template 7411) or activates it; sets the open setting.
int ffiltdlg_open(ffiltdlg* d, HINSTANCE inst, HWND owner);
inline int ffiltdlg_is_open(const ffiltdlg* d) { return d && d->dlg; }
// Find takes the fields over into the settings.
int ffiltdlg_apply(ffiltdlg* d);
// Before a search: 9010 when output is asked for without a file (reported, the field
// painted invalid, the dialog activated).
int ffiltdlg_check(ffiltdlg* d);
// The job of a search from the settings.
int ffiltdlg_prepare(ffiltdlg* d, ffiltjob* job);
// A search starts: its command goes to the history.
int ffiltdlg_search_started(ffiltdlg* d);
