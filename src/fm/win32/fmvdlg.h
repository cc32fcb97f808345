// Move dialog: the copy dialog's machine and list with the move threads; a directory
// item moves in one step on the same volume, else file by file with its source
// directories removed last. Moved records are marked in the result list.
#pragma once

#include "fm/win32/fcpdlg.h"

typedef fcpdlg fmvdlg;

int fmvdlg_init(fmvdlg* d);
int fmvdlg_free(fmvdlg* d);
// Modal (template 7409); returns when the dialog is closed.
int fmvdlg_open(fmvdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr);
// Modeless; d->dlg until closed.
int fmvdlg_create(fmvdlg* d, fopdlgcfg* cfg, const fopenv* env, const list* recs, HWND owner, progr* pr);
