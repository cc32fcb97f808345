// Listed files handed to other programs: Copy and Cut put them on the clipboard, a drag
// of rows drops them on another window. The program keeps at most one object of its
// own on the clipboard and takes it back before each new operation and at the end.
// Window thread only, with OLE initialised on it.
#pragma once

#include <windows.h>

struct flist;
struct list;
struct ntf;
struct txr;
class DataObj;

// Program-wide, once after OLE is initialised (any may be 0 or nullptr):
// - the registered numbers of "Preferred DropEffect" and "Performed DropEffect" (0:
//   registered here when first needed);
// - the texts for the user report (context "err.dndInit");
// - the hub that record changes (6, 7) are posted to, with the file list as reference.
void dnd_set_env(UINT cf_preferred, UINT cf_performed, const txr* tx, ntf* hub);

// Puts the records (frec*, type 0xC2) on the clipboard for copying (effect
// DROPEFFECT_COPY) or moving (DROPEFFECT_MOVE); for moving, the records neither moved
// nor deleted are marked handed over. When a receiver reports that it moved them,
// ntf_msg is posted to ntf_wnd with wparam DROPEFFECT_MOVE; its handler runs
// flist_check_handed. bufszK: `dnd.bufszK` (0: 256 KiB); paths that do not fit raise
// the user report and leave the clipboard empty.
int dnd_copy(flist* fl, const list* recs, DWORD effect, HWND ntf_wnd, UINT ntf_msg, unsigned bufszK);

// Drags the records, allowing copy and move, until the drop or Escape. When the
// receiver moved them, they are marked handed over and checked: the gone ones become
// moved (7). effect (may be nullptr): what the drop did (DROPEFFECT_NONE when cancelled).
int dnd_drag(flist* fl, const list* recs, unsigned bufszK, DWORD* effect = nullptr);

// Takes the program's object back from the clipboard if it is still there: with flush
// its data stays on the clipboard for other programs (at the end of the program),
// else the clipboard is emptied (before a new operation or a file-operation dialog).
int dnd_release_clipboard(int flush = 0);

// The object the program placed on the clipboard last, while it is still there; a new
// reference, or nullptr.
DataObj* dnd_clipboard_obj();
