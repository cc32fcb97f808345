// What the main window asks of the result list of the find dialog.
#pragma once

struct quarndlg;

// Selected rows, and the usable records among the selected rows (all rows when none is
// selected), counted up to 2.
int quarnw_lc_counts(quarndlg* qd, unsigned* usable, unsigned* selected);
// Runs the list command id (fopen, fedit, fopenas) on the selection.
int quarnw_lc_run(quarndlg* qd, const char* id);
// Opens the directory of the focused entry.
int quarnw_lc_opendir(quarndlg* qd);
// Puts the usable records on the clipboard for copying or moving (DROPEFFECT_COPY,
// DROPEFFECT_MOVE); a receiver's move is told to the main window with message 32772.
int quarnw_lc_clipboard(quarndlg* qd, unsigned long effect);
// Message 32772: the records handed over for moving whose files are gone become moved.
int quarnw_lc_handed(quarndlg* qd);
// The column dialog of the result list.
int quarnw_lc_cols(quarndlg* qd);
