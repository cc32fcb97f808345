// Settings of the delete and the change-attributes dialogs: the list display shared with
// the copy dialog (first, so that the list code reads them as its own) and each dialog's
// own choices.
#pragma once

#include "c/cfg.h"
#include "fm/fopdlgcfg.h"

// flags of the delete dialog
enum : unsigned { FDELDLG_DIR = 1, FDELDLG_RECURSIVE = 2 };
// fattribdlg.iniFocus
enum { FATTRIBDLG_FOCUS_DFLT = 0, FATTRIBDLG_FOCUS_CMD = 1, FATTRIBDLG_FOCUS_LIST = 2 };

struct fdeldlgcfg {
  fopdlgcfg base;  // list display, stopOnErr, cfm.yn, placement
  char* flags;     // "Dir", "Recursive"
  int osCfm;
  int undo;        // to the recycle bin
  int yesAll;
  int permYesAll;
  unsigned note_color;
};

struct fattribdlgcfg {
  fopdlgcfg base;
  int iniFocus;
  unsigned set_color;  // the Cmd field while its text decides
};

extern const cfg_item fdeldlgcfg_items[];
extern const unsigned fdeldlgcfg_nitems;
extern const cfg_item fattribdlgcfg_items[];
extern const unsigned fattribdlgcfg_nitems;

int fdeldlgcfg_init(fdeldlgcfg* c);
int fdeldlgcfg_free(fdeldlgcfg* c);
int fdeldlgcfg_set_dflts(fdeldlgcfg* c);
// FDELDLG_* bits of the flag words; an unknown word is logged and ignored.
unsigned fdeldlgcfg_flags(const char* words);
// The flag words of bits (buf of size bytes).
int fdeldlgcfg_flags_text(unsigned bits, char* buf, unsigned size);

int fattribdlgcfg_init(fattribdlgcfg* c);
int fattribdlgcfg_free(fattribdlgcfg* c);
int fattribdlgcfg_set_dflts(fattribdlgcfg* c);
