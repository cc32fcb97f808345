// Information dialog: the facts of the focused file, following the focused row and the
// changes of the record shown. Modeless, owned by the main window.
#pragma once

#include <windows.h>

#include "fm/ffiltcfg.h"
#include "ui/geom.h"

struct db;
struct txr;
struct syscfg;
struct dgrp;
struct ntf;
struct frec;

struct finfdlg {
  HWND dlg;  // while open
  finfdlgcfg* cfg;
  db* rdb;
  const txr* tx;
  const syscfg* sc;
  const dgrp* dg;
  ntf* hub;
  void (*on_activate)(HWND dlg, int active);
  geom g;
  HWND info, strip;
  const frec* rec;  // shown, not owned
  int err;          // the text has the error colours
  HBRUSH brush;
  int subscribed;
};

int finfdlg_init(finfdlg* d, finfdlgcfg* cfg, db* rdb, const txr* tx, const syscfg* sc, const dgrp* dg, ntf* hub);
int finfdlg_free(finfdlg* d);
// Creates the dialog (template 7410) or activates it; sets the open setting; listens to
// notifications 8 (show) and 3 (record changed).
int finfdlg_open(finfdlg* d, HINSTANCE inst, HWND owner);
inline int finfdlg_is_open(const finfdlg* d) { return d && d->dlg; }
// Shows r (nullptr: empty).
int finfdlg_show(finfdlg* d, const frec* r);
// The text shown, for the tests and the shots.
int finfdlg_text(const finfdlg* d, char* buf, unsigned bufsize);
