// The main window's export commands: "Save results..." and "Copy command line".
#pragma once

#include <windows.h>

// Writes len bytes of text to path through a new file beside it that then replaces path,
// so a failure leaves path as it was and no partial file behind. The message of a
// failure goes into errmsg ("" when none).
int quarnw_export_write(const char* path, const char* text, unsigned len, char* errmsg, unsigned errmsgsz);

// The usable rows of the result list into path: full paths (FLISTEXP_PATHS) or the
// shown columns as CSV (FLISTEXP_CSV).
int quarnw_export_rows(const char* path, int mode);

// Puts text on the clipboard as CF_TEXT and CF_UNICODETEXT.
int quarnw_clip_text(HWND owner, const char* text);

// The command line that repeats the current search, as quarnw_copy_cmdln puts it.
int quarnw_cmdln(char* buf, unsigned bufsize);

// The commands: a save dialog then quarnw_export_rows; the command line to the clipboard.
int quarnw_save_results(HWND owner);
int quarnw_copy_cmdln(HWND owner);
