// Settings of the copy and move dialogs, read and saved with the program's settings under
// each dialog's own prefix ("fcpdlg.", "fmvdlg.").
#pragma once

#include "c/cfg.h"
#include "fm/fpathlist.h"

enum : unsigned { FOPDLGCFG_TO_SIZE = 20480, FOPDLGCFG_FIELD_SIZE = 256 };
// cfm.yn: the button order of the confirmation (No first, Yes first)
enum { FOPDLG_CFM_NY = 1, FOPDLG_CFM_YN = 4 };
// tolist.sort
enum { FOPDLG_TOLIST_ABC = 1, FOPDLG_TOLIST_HIST = 2 };
// flags
enum : unsigned { FOPDLG_RECURSIVE = 1 };

struct fopdlgcfg {
  char to[FOPDLGCFG_TO_SIZE];
  unsigned to_cap;
  int tolist_sort;
  unsigned ntolist_max;
  char* flags;          // flag words; fopdlgcfg_flags reads them
  int overwriteAll;
  int askRO;
  int stopOnErr;
  int cfm_yn;
  char sortby[FOPDLGCFG_FIELD_SIZE];
  unsigned sortby_cap;
  int sortrev;
  int sort_ignorecase;
  int ignorecase;
  int file_type;
  int flist_color;
  int flist_img;
  int timefmt;
  char* timefmt_usr;
  int sizefmt;
  int dgrp_num;
  unsigned file_fgClr, file_bgClr;
  unsigned dir_fgClr, dir_bgClr;
  unsigned fmoved_fgClr, fmoved_bgClr;
  unsigned fdeleted_fgClr, fdeleted_bgClr;
  unsigned err_fgClr, err_bgClr;
  unsigned inval_fgClr, inval_bgClr;
  unsigned fdone_fgClr, fdone_bgClr;
  unsigned fmark_fgClr, fmark_bgClr;
  cfg_wndpl wp;
  unsigned wp_size;
  unsigned wp_cap;
  pathl tolist;  // the destination history, most recent first
};

extern const cfg_item fcpdlgcfg_items[];
extern const unsigned fcpdlgcfg_nitems;
extern const cfg_item fmvdlgcfg_items[];
extern const unsigned fmvdlgcfg_nitems;

int fopdlgcfg_init(fopdlgcfg* c);
int fopdlgcfg_free(fopdlgcfg* c);
// Defaults of the items (the history is emptied).
int fopdlgcfg_set_dflts(fopdlgcfg* c, const cfg_item* items, unsigned nitems);
// FOPDLG_* bits of the flag words; an unknown word is logged and ignored.
unsigned fopdlgcfg_flags(const fopdlgcfg* c);
// The sort key list of a sort command's column ("ad" ... "size"): the result list's,
// except that errors sort by the file operation's error.
const char* fopdlgcfg_sortby_of(const char* col);
