// Window units: dimension texts of the resource database ("12C", "40L", "5P") in pixels
// of a given window.
#pragma once

#include <windows.h>

// A number, then C (characters), L (logical units, also when no letter follows) or P
// (pixels), either case.
int wndf_x(HWND wnd, const char* str, int* value);
int wndf_y(HWND wnd, const char* str, int* value);
