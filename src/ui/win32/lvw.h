// List-view layer: a report-style list view (virtual or plain) whose columns come
// from a column set of the resource database. It builds the columns (visible ones,
// in display order, preferred widths in window units, alignment, titles from the
// text store), maps list-view column indices to the set's columns and back, shows
// the sort column in the header, hands display-information and custom-draw requests
// to its owner, and takes the user's width and order changes back into the set,
// saving it under the set's name. The column dialog (lvwcoldlg) edits the same set
// and posts NTF_COLS with the set as reference; lvw_ntf_cols applies it.
//
// The owner passes its WM_NOTIFY messages to lvw_notify (the list view's and the
// header's; the list view forwards the header's to its parent).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ntf/ntf.h"
#include "txr/txr.h"
#include "xrm/xrm_listcol.h"

struct lvw;

// Display information for row di->item.iItem, list-view column di->item.iSubItem;
// tag: the column's tag (see lvw_set_tags). The text goes into di->item.pszText
// (di->item.cchTextMax bytes). 0 or an error code (logged by the layer).
typedef int (*lvw_disp_fn)(lvw* l, NMLVDISPINFOA* di, int tag, void* usrdata);
// Custom drawing: the result the list view gets (CDRF_*). For the sub-item stage
// tag is the column's tag, else -1.
typedef LRESULT (*lvw_draw_fn)(lvw* l, NMLVCUSTOMDRAW* cd, int tag, void* usrdata);

enum { LVW_TXRCTX_SIZE = 256 };

struct lvw {
  HWND wnd;                       // the list view (not owned)
  HWND hdr;                       // its header
  db* db;                         // where the set is read and saved (not owned)
  const txr* tx;                  // titles (not owned); none: the titles as the set gives them
  char txrctx[LVW_TXRCTX_SIZE];   // text context of the titles, e.g. "flist.col.name"
  listcol lc;                     // the column set
  unsigned nshown;                // columns in the list view
  int map[LISTCOL_MAX];           // list-view column -> set column
  int rmap[LISTCOL_MAX];          // set column -> list-view column, -1 when not shown
  int setw[LISTCOL_MAX];          // width given to each list-view column
  int tags[LISTCOL_MAX];          // set column -> the owner's tag
  int sortcol;                    // set column shown as sorted, -1 for none
  int sortrev;
  lvw_disp_fn disp_fn;
  lvw_draw_fn draw_fn;
  void* usrdata;
  ntf* hub;                       // subscribed to NTF_COLS for &lc; none when not subscribed
  int building;                   // header notifications of the layer's own changes are ignored
};

// Clears the record (a zero-filled record may be passed; what it held is released).
int lvw_init(lvw* l);
// Unsubscribes, takes the layout from the list view and saves the set when it
// changed, then clears the record; the list view itself is left as it is.
int lvw_free(lvw* l);

// Takes over the list view: report style with full-row selection and header drag
// and drop, the set name (class cls, may be none) loaded from db, the columns built.
// txrctx: text context of the titles (none: the titles as the set gives them).
int lvw_create(lvw* l, HWND list, db* db, const char* name, const char* cls, const txr* tx, const char* txrctx);

// Tags: the index of each column's id in ids (-1 for a column not in it); without
// a table (nids 0) a column's tag is its index in the set.
int lvw_set_tags(lvw* l, const char* const* ids, unsigned nids);
int lvw_set_cbs(lvw* l, lvw_disp_fn disp, lvw_draw_fn draw, void* usrdata);
// Subscribes to NTF_COLS for this set (ref &l->lc): the set is applied and saved
// when the column dialog posts it. lvw_free unsubscribes.
int lvw_subscribe(lvw* l, ntf* hub);
// NTF_COLS subscriber (usrdata: the lvw): applies the set and saves it.
int lvw_ntf_cols(int id, void* data, void* usrdata);

// Rebuilds the list view's columns from the set and shows the sort state again.
int lvw_apply(lvw* l);
// Stores the set under "*" and its name in the database.
int lvw_save(lvw* l);

// WM_NOTIFY of the list view or its header (the owner is an ANSI window, so the
// list view asks for texts with LVN_GETDISPINFOA). Returns 1 when the layer
// answered: *result is what the window procedure returns (a dialog procedure
// sets it as DWLP_MSGRESULT); 0 when the owner should go on.
int lvw_notify(lvw* l, const NMHDR* nm, LRESULT* result);

// The user's layout changes, as the header notifications report them: a column's
// new width; a column dragged to display position pos (-1: the drag was
// cancelled). Each takes the change into the set and saves it.
int lvw_take_width(lvw* l, int lvcol, int width);
int lvw_take_drag(lvw* l, int lvcol, int pos);
// Reads widths and display order from the list view into the set (widths only
// where the list view's differs from the one given); saves when anything changed.
int lvw_take_layout(lvw* l);

// Sort state in the header: set column col (-1 for none), ascending or reverse.
int lvw_set_sort(lvw* l, int col, int rev);
// By column id; an id not in the set (or none) clears the mark.
int lvw_set_sort_id(lvw* l, const char* id, int rev);

// Mappings; -1 when out of range or not shown.
int lvw_find(const lvw* l, const char* id);  // column id -> set column
int lvw_col(const lvw* l, int lvcol);     // list-view column -> set column
int lvw_lvcol(const lvw* l, int col);     // set column -> list-view column
int lvw_tag(const lvw* l, int lvcol);     // list-view column -> tag
// Column id of a list-view column; none when out of range.
const char* lvw_colid(const lvw* l, int lvcol);
// The sort-reverse default of a column id; 0 for an unknown id.
int lvw_sortrev_dflt(const lvw* l, const char* id);
// 1 when the screen point lies on the header (for context menus).
int lvw_on_header(const lvw* l, POINT screen);

// Rows. Virtual lists: the row count (LVSICF_* flags). Plain lists: an item
// whose texts and image come from the display callback, with param kept.
int lvw_set_count(lvw* l, unsigned n, DWORD flags);
int lvw_insert(lvw* l, int row, LPARAM param);
LPARAM lvw_param(const lvw* l, int row);
