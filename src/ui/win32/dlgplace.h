#pragma once

#include <windows.h>

#include "c/cfg.h"
#include "ui/geom.h"

// Puts dlg where it was last stored. An absent or empty placement leaves it as created.
// show: the show command to use, or -1 to keep the stored one (a minimised one shows normal).
void dlgplace_restore(HWND dlg, const cfg_wndpl* wp, unsigned wp_size, int show);
// Keeps dlg's placement in wp; 0 or the system's error, wp unchanged on failure.
int dlgplace_store(HWND dlg, cfg_wndpl* wp, unsigned* wp_size);

// Lays the controls out for dlg's present client area; nothing without a layout.
void dlgplace_layout(geom* g, HWND dlg);
// WM_SIZE and WM_SIZING for a dialog laid out by g; FALSE for other messages.
INT_PTR dlgplace_size_msg(geom* g, HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
