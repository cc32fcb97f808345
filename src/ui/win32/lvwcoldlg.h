// Column dialog of the list views: shows and hides the columns of a column set and
// moves them up and down; Apply (and OK) writes the choice into the set and posts
// NTF_COLS with the set as data and reference, so the lists showing it rebuild
// their columns (lvw_ntf_cols). Template LVWCOLDLG_DLG (res/lvwcoldlg.rc); the
// dialog's own texts are translated in the text context "lvwcoldlg".
#pragma once

#include <windows.h>

#include "ntf/ntf.h"
#include "txr/txr.h"
#include "xrm/xrm_listcol.h"

enum { LVWCOLDLG_TXRCTX_SIZE = 256 };

struct lvwcoldlg {
  listcol* lc;                           // the set edited (not owned); changed by apply only
  const txr* tx;                         // column titles and the dialog's texts (not owned)
  char txrctx[LVWCOLDLG_TXRCTX_SIZE];    // text context of the titles
  ntf* hub;                              // none: apply posts nothing
  HWND wnd;                              // the dialog while it is open
  int modal;
  unsigned nshown, nhidden;
  unsigned shown[LISTCOL_MAX];           // set columns, in display order
  unsigned hidden[LISTCOL_MAX];
  int dirty;                             // changed since loaded or applied
  unsigned napplied;
};

// Clears the record; free also closes a dialog opened with lvwcoldlg_open.
int lvwcoldlg_init(lvwcoldlg* d);
int lvwcoldlg_free(lvwcoldlg* d);

// Binds the dialog to a set and loads its columns (excluded ones are not offered).
int lvwcoldlg_set(lvwcoldlg* d, listcol* lc, const txr* tx, const char* txrctx, ntf* hub);

// Modal: returns when the dialog is closed (IDOK or IDCANCEL in *result).
int lvwcoldlg_run(lvwcoldlg* d, HINSTANCE inst, HWND parent, INT_PTR* result);
// Modeless: the dialog is d->wnd until it is closed.
int lvwcoldlg_open(lvwcoldlg* d, HINSTANCE inst, HWND parent);

// The dialog's operations; positions index the shown and hidden lists.
int lvwcoldlg_load(lvwcoldlg* d);
int lvwcoldlg_show(lvwcoldlg* d, unsigned hidden_pos);
int lvwcoldlg_hide(lvwcoldlg* d, unsigned shown_pos);
int lvwcoldlg_move(lvwcoldlg* d, unsigned shown_pos, int delta);
int lvwcoldlg_apply(lvwcoldlg* d);
// Ends the dialog with IDOK or IDCANCEL (modal) or destroys it (modeless).
int lvwcoldlg_close(lvwcoldlg* d, int result);

// What the procedure passes on.
int lvwcoldlg_on_init(lvwcoldlg* d, HWND wnd);
int lvwcoldlg_on_command(lvwcoldlg* d, int id, int code);
