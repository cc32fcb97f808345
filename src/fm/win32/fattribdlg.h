// Change-attributes dialog: sets and clears the read-only, hidden and archive attributes
// of the records it was opened with, one item after the other, from its three-state boxes
// or its Cmd text; each item's attributes are read again afterwards and shown.
#pragma once

#include <windows.h>

#include "fm/fdeldlgcfg.h"
#include "fm/win32/fopdlg.h"
#include "sm/sm.h"
#include "ui/ctlclr.h"
#include "ui/geom.h"

enum { FATTRIB_READY = 1, FATTRIB_ITEM = 2, FATTRIB_CHANGING = 3, FATTRIB_SORTING = 4 };
enum { FATTRIB_EV_NEXT = 11, FATTRIB_EV_CHANGE = 12, FATTRIB_EV_FINISHED = 13, FATTRIB_EV_SORT = 14 };

enum : unsigned { FATTRIB_FREC_BUSY = 0x1000 };
enum { FATTRIB_TITLE_SIZE = 256, FATTRIB_CMD_SIZE = 256 };

struct fattribdlg {
  const fopenv* env;
  fattribdlgcfg* cfg;     // not owned; the placement is kept there at close
  const list* recs;
  progr* pr;
  HWND dlg;
  HWND owner;
  int modal;
  foplist fl;
  geom g;
  sm m;
  ctlclr cc;
  char title[FATTRIB_TITLE_SIZE];
  unsigned cur;
  unsigned set, mask;     // the change of the run
  unsigned done;
  int startrc;
  int stop;
  int failed;
  int close_after;
  int subscribed;
  int initrc;
};

int fattribdlg_init(fattribdlg* d);
int fattribdlg_free(fattribdlg* d);

// Modal (template 7412).
int fattribdlg_open(fattribdlg* d, fattribdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr);
// Modeless, for callers with a message loop of their own.
int fattribdlg_create(fattribdlg* d, fattribdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner,
                      progr* pr);

// Change pressed: starts a run (9012 and a report when the Cmd text is bad), or asks a
// running one to stop.
int fattribdlg_start(fattribdlg* d);
int fattribdlg_running(const fattribdlg* d);
int fattribdlg_item_state(const fattribdlg* d, unsigned i);

INT_PTR CALLBACK fattribdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
