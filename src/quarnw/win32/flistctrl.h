// Result list control: binds a file list to the find dialog's virtual list view.
// It answers the list view's requests for cell texts, images and row colours, turns
// the user's gestures (double-click, keys, context menu, column clicks) into commands
// of the main window, runs the list commands on the usable records, and follows the
// notifications of the search and file-operation threads. Window thread only; rows at
// or past the count last published are never read.
#pragma once

#include <windows.h>

#include <commctrl.h>

struct flist;
struct frec;
struct list;
struct lvw;
struct quarnwcfg;
struct txr;
struct db;
struct ntf;
struct dgrp;
struct syscfg;
struct menu;

// What the control works with besides its file list; none of it is owned. The program
// fills it from its own state (flistctrl_env_prog); tests bring their own.
struct flistctrl_env {
  HWND main_wnd;          // receives the commands; owner of what the commands start
  HINSTANCE inst;         // holds the row-image bitmap
  const quarnwcfg* cfg;   // display settings, colours, sortby, flistCmd
  const txr* tx;          // column titles, row marks, report texts
  db* rdb;                // column set read and saved under "flist.col"
  ntf* hub;               // notifications 1, 2, 3, 5, 7 subscribed; 8 posted
  const dgrp* dg;         // size grouping
  const syscfg* sc;       // locale formats
  menu* flistmenu;        // the list's context menu (flistMenu), built as a pop-up
  void (*update_title)(void* usrdata);  // recompute the window title; may be none
  int (*busy)(void* usrdata);           // the find dialog's machine runs (no drag); may be none
  void* usrdata;
};

// The program's environment (the main window's state); defined apart so that tests
// need not link the program.
const flistctrl_env* flistctrl_env_prog();

enum { FLISTCTRL_MARK_SIZE = 32 };
enum { FLISTCTRL_IDB_ROWIMG = 7450, FLISTCTRL_IMG_CX = 16 };
enum { FLISTCTRL_OPENDIR_MAX = 512 };

struct flistctrl {
  const flistctrl_env* env;
  lvw* lv;                 // the list-view layer over wnd, owned
  HWND wnd;                // the list view (control 1005 of the find dialog)
  flist* fl;               // not owned
  unsigned published;      // rows the list view was told
  char mark_moved[FLISTCTRL_MARK_SIZE];
  char mark_deleted[FLISTCTRL_MARK_SIZE];
  HIMAGELIST img;          // row images, or none
  WNDPROC orig_proc;       // the list view's own procedure while subclassed
};

// Clears the record (owns nothing afterwards).
int flistctrl_init(flistctrl* lc);
// Takes over the list view ctrl for fl: column set, marks, images, subclassing, sort
// state shown, subscriptions.
int flistctrl_create(flistctrl* lc, HWND ctrl, flist* fl, const flistctrl_env* env);
// Unsubscribes, restores the list view's procedure, saves the column set, frees images.
int flistctrl_free(flistctrl* lc);

// Usable records (selected rows, or all rows when none is selected, less errors, moved
// and deleted ones); counting stops at 2.
unsigned flistctrl_usable_count(const flistctrl* lc);
unsigned flistctrl_selected_count(const flistctrl* lc);
// Appends the usable records (frec*, value type 0xC2) to recs, in row order.
int flistctrl_collect(const flistctrl* lc, list* recs);

// Runs the command id of flistCmd once per usable record (fopen, fedit, fopenas, the
// double-click command). A report and nothing run when there are more than it allows.
int flistctrl_run_cmd(flistctrl* lc, const char* id);
// Opens the folder of the first usable record (or the directory itself) with fopendir.
int flistctrl_open_dir(flistctrl* lc);

// Around a sort: selection and focus go into the records' flags and come back from them.
int flistctrl_remember_sel(flistctrl* lc);
int flistctrl_restore_sel(flistctrl* lc);

// Marks in the header the column whose key list equals cfg->sortby, in direction cfg->sortrev.
int flistctrl_show_sort(flistctrl* lc);
// The reverse default of the column whose key list equals sortby; 0 when none does.
int flistctrl_sortrev_dflt(const flistctrl* lc, const char* sortby);

// Row count = the file list's count, list repainted, title recomputed (after a sort or
// a clear of the file list).
int flistctrl_publish(flistctrl* lc);
// No rows (before the file list is cleared).
int flistctrl_clear(flistctrl* lc);

// WM_NOTIFY from the list view or its header (the find dialog forwards them). 1 when
// answered, with *result what the dialog procedure returns; 0 otherwise.
int flistctrl_notify(flistctrl* lc, const NMHDR* nm, LRESULT* result);

// Row i of the list view, as the display-information request fills it (tests, drag
// images): text of column id into buf.
int flistctrl_cell(const flistctrl* lc, unsigned row, const char* colid, char* buf, unsigned size);
