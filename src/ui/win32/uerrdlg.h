// Error dialog: the user error reports of the list with their level, text, code and
// time; the selected report's full text below (or above) the list.
#pragma once

#include <windows.h>

#include "ui/geom.h"
#include "ui/uerrdlgcfg.h"
#include "ui/uerrlist.h"
#include "ui/win32/lvw.h"

struct db;
struct txr;
struct syscfg;

enum : int {
  IDD_UERRDLG_TOP = 7201,  // list above the text
  IDD_UERRDLG_BOT = 7202,  // list below the text
  IDC_UERR_LIST = 8201,
  IDC_UERR_INFO = 8202,
  IDC_UERR_TITL = 8203,
  IDC_UERR_CLOSESPACE = 8204
};

struct uerrdlg {
  HWND dlg;          // while open
  uerrdlgcfg* cfg;
  uerrlist* l;
  db* rdb;           // layouts and columns; nullptr: the template as it is
  const txr* tx;     // column titles; nullptr: the ids
  const syscfg* sc;  // locale time formats
  geom g;
  lvw lv;           // the list over the column set uerrlist.col
  HWND list, info, titl;
  unsigned titl_fg, titl_bg;
  int titl_clr;      // the title line has level colours
  HBRUSH titl_brush;
  int sel;           // selected report, -1 none
};

// Binds the dialog to its resources (all optional).
int uerrdlg_init(uerrdlg* d, db* rdb, const txr* tx, const syscfg* sc);
int uerrdlg_free(uerrdlg* d);
// Runs the modal dialog over the list; returns when it is closed.
int uerrdlg_run(uerrdlg* d, uerrdlgcfg* cfg, uerrlist* l, HINSTANCE inst, HWND parent);
// While open: refills the list from the reports.
int uerrdlg_refresh(uerrdlg* d);
inline int uerrdlg_is_open(const uerrdlg* d) { return d && d->dlg; }
// The cell text of report idx in column col ("type", "desc", "code", "timestamp").
int uerrdlg_cell(const uerrdlg* d, unsigned idx, const char* col, char* buf, unsigned bufsize);
// The info text of a report: "%s\r\n[%s %d %s]".
int uerrdlg_info_text(const uerrdlg* d, const uerr_item* it, char* buf, unsigned bufsize);
