// Confirmation dialog of the file operations: the question of its type, the file's
// attributes and times read fresh, and the buttons of one of six sets; the answer is
// the id of the button pressed.
#pragma once

#include <windows.h>

#include "fm/ftdecide.h"
#include "ui/geom.h"

struct db;
struct txr;

enum fcfm_type {
  FCFM_OVERWRITE = 1, FCFM_OVERWRITE_RO, FCFM_DEL, FCFM_DEL_RO, FCFM_DEL_RO_INDIR, FCFM_PERMDEL, FCFM_PERMDEL_RO,
  FCFM_PERMDEL_RO_INDIR
};

// Button sets; the value is the set's template.
enum fcfm_btns {
  FCFM_YN = 7402, FCFM_YNYNC = 7403, FCFM_YNYC = 7404, FCFM_NY = 7405, FCFM_NYYC = 7406, FCFM_NYNYC = 7407
};

enum : int { IDC_FCFM_QUESTION = 8434, IDC_FCFM_FACTS = 8435, IDC_FCFM_SPACE = 8436 };

enum { FCFM_FACTS_SIZE = 1024, FCFM_TEXT_SIZE = 256 };

struct fcfmdlg {
  int type;        // fcfm_type
  int isdir;
  int btns;        // fcfm_btns
  const char* path;
  const txr* tx;   // may be nullptr: the English texts
  db* rdb;         // layouts; may be nullptr
  HWND wnd;        // while open
  HINSTANCE inst;  // the templates, set by fcfmdlg_run
  geom g;
  int answer;
};

// Type word ("overwrite", "delROIndir", ...), nullptr for an unknown type.
const char* fcfm_type_word(int type);
// Set word ("yn", "nyNYc", ...), nullptr for an unknown set.
const char* fcfm_btns_word(int btns);
// The set for Yes or No first (cfm_yn 4 or 1), full when more follows, with No to All
// unless noall is 0.
int fcfm_btns_of(int cfm_yn, int more, int noall);
// Title and question of a type for a file or a directory; 9003 for an unknown type.
int fcfm_texts(const txr* tx, int type, int isdir, char* title, unsigned tsize, char* msg, unsigned msize);
// The file's facts, one "label: value" per line; the system's code when it cannot be read.
int fcfm_facts(const txr* tx, const char* path, char* buf, unsigned size);

// Modal; *answer: 8430 No, 8431 No to All, 8432 Yes, 8433 Yes to All, 2 Cancel.
int fcfmdlg_run(fcfmdlg* d, HINSTANCE inst, HWND owner, int* answer);
// The dialog open on this thread, or nullptr (tests answer through it).
HWND fcfmdlg_active();
// Presses a button of the open dialog.
int fcfmdlg_answer(HWND dlg, int answer);

INT_PTR CALLBACK fcfmdlg_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
