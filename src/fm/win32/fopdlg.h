// What the file-operation dialogs share: their own file list on the list-view layer
// (columns, row colours and marks, sort, context menu), the title with the progress
// text, the destination checks and history, and the question asked when a worker
// stopped in front of a record that needs the user's decision.
#pragma once

#include <windows.h>

#include "fm/flist.h"
#include "fm/fopdlgcfg.h"
#include "fm/ftdecide.h"
#include "fm/fthread.h"
#include "ui/ctlclr.h"
#include "ui/geom.h"
#include "ui/win32/lvw.h"

struct db;
struct dgrp;
struct list;
struct ntf;
struct progr;
struct syscfg;
struct txr;

// Where the dialogs find their surroundings; none of it is owned.
struct fopenv {
  HINSTANCE inst;     // holds the templates
  const txr* tx;      // texts (nullptr: the English ids)
  db* rdb;            // layouts, column sets; the column sets are saved there
  ntf* hub;           // 3, 9, 10, 11 followed; 100 posted
  const dgrp* dg;
  const syscfg* sc;
};

// Item states of a run.
enum : unsigned char { FOPITEM_TODO = 0, FOPITEM_DONE = 1, FOPITEM_FAILED = 2, FOPITEM_SKIPPED = 3 };

struct fopitem {
  frec* r;
  unsigned char state;
};

enum { FOPLIST_NAME_SIZE = 64, FOPLIST_MARK_SIZE = 32 };

// A dialog's own file list: the records passed in (shared with the result list), in the
// dialog's order.
struct foplist {
  const fopenv* env;
  const fopdlgcfg* cfg;
  char name[FOPLIST_NAME_SIZE];  // "fcplist": column set, titles, menu
  lvw lv;
  HWND wnd;
  HWND owner;        // receives the context menu's commands
  fopitem* items;    // display order
  unsigned n;
  const frec* cur;   // being processed: mark and fmark colours
  char mark[FOPLIST_MARK_SIZE];
  char mark_moved[FOPLIST_MARK_SIZE];
  char mark_deleted[FOPLIST_MARK_SIZE];
  HMENU menu;
};

// Context-menu commands (the main window's ids, delivered to the dialog).
enum : int {
  FOPLIST_IDM_FSORTBYDIR = 40009, FOPLIST_IDM_FSORTBYNAME, FOPLIST_IDM_FSORTBYEXT, FOPLIST_IDM_FSORTBYAD,
  FOPLIST_IDM_FSORTBYBD, FOPLIST_IDM_FSORTBYMD, FOPLIST_IDM_FSORTBYSIZE, FOPLIST_IDM_FSORTBYATTR,
  FOPLIST_IDM_FSORTREV = 40017, FOPLIST_IDM_FUNSORT = 40018, FOPLIST_IDM_FSORTIGNORECASE = 40019,
  FOPLIST_IDM_FCOLS = 40022, FOPLIST_IDM_FSORTBYPATH = 40023, FOPLIST_IDM_FSORTBYRPATH = 40024,
  FOPLIST_IDM_FSORTBYERR = 40026, FOPLIST_IDM_FINF = 40037
};

int foplist_init(foplist* l);
// recs: frec* (value type 0xC2). name: "fcplist", "fmvlist", ... (column set "<name>.col",
// titles "<name>.col.name", menu "<name>Menu.name").
int foplist_create(foplist* l, HWND lv, HWND owner, const list* recs, const char* name, const fopenv* env,
                   const fopdlgcfg* cfg);
int foplist_free(foplist* l);

// WM_NOTIFY of the list view; 1 when answered (*result for DWLP_MSGRESULT).
int foplist_notify(foplist* l, const NMHDR* nm, LRESULT* result);
// WM_CONTEXTMENU from the list (lp as the message gives it).
int foplist_context_menu(foplist* l, HWND from, LPARAM lp);
// A context-menu command; 1 when it was one. Sorting changes cfg (the dialog's own).
int foplist_command(foplist* l, fopdlgcfg* cfg, int id);
// Sorts the items by the key list (ids: path rpath dir name ext md ad Bd size attr foerr).
int foplist_sort(foplist* l, const char* keys, int rev, int icase);
// Redraws the row of r (notification 3), all rows when r is nullptr.
int foplist_redraw(foplist* l, const frec* r);
int foplist_set_cur(foplist* l, const frec* r);
int foplist_focused(const foplist* l);

// The title: base, then " - %d" rows or " - %d/%d" with the focused row.
int fop_title(const char* base, int focused, unsigned n, char* buf, unsigned size);

// Checks the To text of a run over nitems: one word, made absolute into abs; with more
// than one item an existing directory. On failure 0 is not returned: *msgid is the
// report's English text (context ctx of the dialog) and the code is returned.
int fop_check_dest(const char* to, unsigned nitems, char* abs, unsigned size, const char** msgid);

// Destination history: to goes first (an equal entry moves), at most max entries kept.
int fop_hist_push(pathl* pl, const char* to, unsigned max);

// Asks about the record the worker stopped at (need, target) with the confirmation of
// type (FCFM_*), the full button set when more follows, Yes or No first by cfm_yn; the
// remembered decisions then take the answer. *flags receives the next start's flags.
ftdec_next fop_ask(const fopenv* env, HWND owner, ftdec* dec, ft_need need, int type, const char* target, int isdir,
                   int cfm_yn, int more, int askro, unsigned* flags);

// The dialog's last placement from its settings (nothing when none was kept), and back.
int fop_restore_placement(HWND dlg, const fopdlgcfg* cfg);
int fop_store_placement(HWND dlg, fopdlgcfg* cfg);

// The text of id in ctx, or id when the store has none with the same conversions.
const char* fop_text(const fopenv* env, const char* ctx, const char* id);

// Which of the optional messages a dialog lets fop_dlg_msg take.
constexpr unsigned FOP_MSG_CLREDIT = 1u;     // WM_CTLCOLOREDIT
constexpr unsigned FOP_MSG_CLRSTATIC = 2u;   // WM_CTLCOLORSTATIC
constexpr unsigned FOP_MSG_CLRLISTBOX = 4u;  // WM_CTLCOLORLISTBOX
constexpr unsigned FOP_MSG_MINMAX = 8u;      // WM_GETMINMAXINFO

// The messages every file-operation dialog answers alike: the list's notifications and
// context menu, the coloured controls, the layout on resize. fl, cc and g are null while
// the dialog has no record. True when taken, with the procedure's result in *ret.
bool fop_dlg_msg(HWND dlg, UINT msg, WPARAM wp, LPARAM lp, foplist* fl, ctlclr* cc, geom* g, unsigned what,
                 INT_PTR* ret);
