// The main window of the windowed program, its About box and its error dialog route.
#pragma once

#include <windows.h>

// Registers the class and creates the main window (placement from frame.wp or the
// preferred sizes), shows it with show and computes its title.
int quarnw_create_main(int show);
// The About box, modal, owned by owner (nullptr: none).
int quarnw_about(HWND owner);
// Moves queued error reports into the list (message 32770).
int quarnw_uerr_queued();
// Opens the error dialog, or refreshes it when it is open (message 32771, command uerr).
int quarnw_uerr_show();
// Applies the enabling and check marks to the built menus (a menu opening).
int quarnw_menu_states();
// Runs a command of the main window as its menu would (window thread).
int quarnw_command(int idm);

LRESULT CALLBACK quarnw_wndproc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
