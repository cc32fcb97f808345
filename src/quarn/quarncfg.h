// Settings of the console tool: the record, its configuration items, and the
// paths and expression text gathered from the parsed command line.
#pragma once

#include "c/cmdparser.h"
#include "ds/list.h"

struct quarncfg {
  list paths;              // owned texts, in command-line order
  int file_type;
  int ignorecase;
  int post_order;
  int realpath;
  unsigned char diserr[8]; // the walker's disable-err record
  unsigned diserr_cap;     // size and capacity of diserr
  char* expr;              // the joined expression text, or nullptr
  char* lang;
  char* tfmts;             // accepted time-stamp formats
};

int quarncfg_init(quarncfg* cfg);
int quarncfg_free(quarncfg* cfg);
int quarncfg_set_dflts(quarncfg* cfg);
int quarncfg_get(quarncfg* cfg, const cmdp* cmdp);
int quarncfg_load(quarncfg* cfg, const cmdp* cmdp);
int quarncfg_get_paths(quarncfg* cfg, const cmdp* cmdp);
int quarncfg_get_expr(quarncfg* cfg, const cmdp* cmdp);
