// Settings of the filter and information dialogs, read and saved with the program's
// settings; the filter dialog's command history is saved beside them.
#pragma once

#include "c/cfg.h"
#include "fm/fcmdlist.h"

struct db;

enum { FFILT_SORT_ABC = 1, FFILT_SORT_HIST = 2 };

struct ffiltdlgcfg {
  char* cmdln;
  int cmdout;
  char* cmdoutTo;
  char* prefix;  // ffiltCmdln
  int cmdlist_sort;
  unsigned ncmdlist_max;
  char* font_name;
  unsigned font_height;
  int ignorecase;
  unsigned inval_fgClr, inval_bgClr;
  int open;
  cfg_wndpl wp;
  unsigned wp_size;
  unsigned wp_cap;
  fcmdlist cmdlist;  // ffiltCmdlist.%d, ffiltNcmdlist
};

struct finfdlgcfg {
  int timefmt;
  char* timefmt_usr;
  int sizefmt;
  int dgrp_num;
  int color;
  unsigned err_fgClr, err_bgClr;
  int open;
  cfg_wndpl wp;
  unsigned wp_size;
  unsigned wp_cap;
};

extern const cfg_item ffiltdlgcfg_items[];
extern const unsigned ffiltdlgcfg_nitems;
extern const cfg_item finfdlgcfg_items[];
extern const unsigned finfdlgcfg_nitems;

int ffiltdlgcfg_init(ffiltdlgcfg* c);
int ffiltdlgcfg_free(ffiltdlgcfg* c);
int ffiltdlgcfg_set_dflts(ffiltdlgcfg* c);
// The command history from d (after the items: ncmdlist.max and ignorecase apply).
int ffiltdlgcfg_load_cmdlist(ffiltdlgcfg* c, db* d);
int ffiltdlgcfg_save_cmdlist(const ffiltdlgcfg* c, db* d);

int finfdlgcfg_init(finfdlgcfg* c);
int finfdlgcfg_free(finfdlgcfg* c);
int finfdlgcfg_set_dflts(finfdlgcfg* c);
