// Settings of the error dialog, read and saved with the program's settings.
#pragma once

#include "c/cfg.h"

struct db;

struct uerrdlgcfg {
  int botlist;
  int clearOnClose;
  int etitl_color;
  int elist_color;
  int elist_img;
  unsigned err_fgClr, err_bgClr;
  unsigned warn_fgClr, warn_bgClr;
  unsigned info_fgClr, info_bgClr;
  int timefmt;
  char* timefmt_usr;
  cfg_wndpl wp;
  unsigned wp_size;
  unsigned wp_cap;
};

extern const cfg_item uerrdlgcfg_items[];
extern const unsigned uerrdlgcfg_nitems;

int uerrdlgcfg_init(uerrdlgcfg* c);
int uerrdlgcfg_free(uerrdlgcfg* c);
int uerrdlgcfg_set_dflts(uerrdlgcfg* c);

// Level words: long ("ERROR") and short ("ERR"); other levels "ERROR-%d" / "ERR-%d" in buf.
const char* uerr_level_word(int level, int shortform, char* buf, unsigned bufsize);
// Colours of levels 4, 5 and 7; 9013 for any other level.
int uerrdlgcfg_level_colors(const uerrdlgcfg* c, int level, unsigned* fg, unsigned* bg);
