// Settings of the windowed program: every item it reads from the resource database and
// the command line, the path history and the command lists, and the settings of the
// dialogs that save their own. Saved back at exit when they differ from the start-up copy.
#pragma once

#include "c/cfg.h"
#include "c/cmdparser.h"
#include "cmd/cmd.h"
#include "fm/fdeldlgcfg.h"
#include "fm/fopdlgcfg.h"
#include "fm/ffiltcfg.h"
#include "fm/fpathlist.h"
#include "ui/uerrdlgcfg.h"

struct db;

enum : unsigned {
  QUARNWCFG_PATH_SIZE = 20480,
  QUARNWCFG_DBLCLK_SIZE = 128,
  QUARNWCFG_FIELD_SIZE = 256,  // std.name, std.md, std.size, sortby
  QUARNWCFG_DISERR_SIZE = 8
};

// pathlist.sort
enum { QUARNW_PATHLIST_ABC = 1, QUARNW_PATHLIST_HIST = 2 };
// view
enum { QUARNW_VIEW_STD = 1, QUARNW_VIEW_EXT = 2, QUARNW_VIEW_CMD = 3 };
// timefmt (also the error dialog's)
enum {
  QUARNW_TIMEFMT_ISO = 0,
  QUARNW_TIMEFMT_ISO_LONG = 1,
  QUARNW_TIMEFMT_LOCALE_SHORT = 2,
  QUARNW_TIMEFMT_LOCALE_LONG = 3,
  QUARNW_TIMEFMT_LS = 4,
  QUARNW_TIMEFMT_LS_LONG = 5,
  QUARNW_TIMEFMT_USR = 6
};
// sizefmt
enum { QUARNW_SIZEFMT_B = 0, QUARNW_SIZEFMT_K = 1, QUARNW_SIZEFMT_H = 2 };
// dgrp.num
enum { QUARNW_DGRP_LOCALE = 0, QUARNW_DGRP_SI_EN = 1, QUARNW_DGRP_SI_FR = 2, QUARNW_DGRP_USR = 3 };

struct quarnwcfg {
  unsigned nprof_max;
  unsigned npathlist_max;
  char* title;
  unsigned title_path_max;
  char path[QUARNWCFG_PATH_SIZE];
  unsigned path_cap;
  int pathlist_sort;
  char flist_dblclk_cmd_id[QUARNWCFG_DBLCLK_SIZE];
  unsigned flist_dblclk_cmd_id_cap;
  char std_name[QUARNWCFG_FIELD_SIZE];
  unsigned std_name_cap;
  char std_md[QUARNWCFG_FIELD_SIZE];
  unsigned std_md_cap;
  char std_size[QUARNWCFG_FIELD_SIZE];
  unsigned std_size_cap;
  int view;
  char sortby[QUARNWCFG_FIELD_SIZE];
  unsigned sortby_cap;
  char* sortby_ad;
  char* sortby_attr;
  char* sortby_Bd;
  char* sortby_dir;
  char* sortby_err;
  char* sortby_ext;
  char* sortby_md;
  char* sortby_name;
  char* sortby_path;
  char* sortby_rpath;
  char* sortby_size;
  int sortrev;
  int sort_ignorecase;
  int grpdir1st;
  int pathdir1st;
  int ignorecase;
  int file_type;
  unsigned char disable_err[QUARNWCFG_DISERR_SIZE];  // the walker's disable-err record
  unsigned disable_err_size;
  unsigned disable_err_cap;
  char* lang;
  char* timef_fmts;
  int timefmt;
  char* timefmt_usr;
  int sizefmt;
  int dgrp_num;
  char* dgrp_num_usrFmt;
  char* dgrp_num_usrGrpsep;
  char* dgrp_num_usrDecmark;
  unsigned dnd_bufszK;
  int flist_color;
  int flist_img;
  unsigned file_fgClr, file_bgClr;
  unsigned dir_fgClr, dir_bgClr;
  unsigned fmoved_fgClr, fmoved_bgClr;
  unsigned fdeleted_fgClr, fdeleted_bgClr;
  unsigned err_fgClr, err_bgClr;
  unsigned inval_fgClr, inval_bgClr;
  cfg_wndpl frame_wp;
  unsigned frame_wp_size;
  unsigned frame_wp_cap;
  char* frame_xPref;
  char* frame_yPref;
  char* frame_wPref;
  char* frame_hPref;
  cfg_wndpl profdlg_wp;
  unsigned profdlg_wp_size;
  unsigned profdlg_wp_cap;
  int progress_lockTimeout;
  unsigned progress_cbEvery;
  unsigned progress_updateEvery;

  pathl pathlist;    // the path history, most recent first
  cmdlist cmd;       // help commands (quarnw.cmd.*)
  cmdlist flistCmd;  // the list's open and edit commands (flistCmd.*)
  uerrdlgcfg uerrdlg;
  fopdlgcfg fcpdlg;  // copy dialog
  fopdlgcfg fmvdlg;  // move dialog
  fdeldlgcfg fdeldlg;
  fattribdlgcfg fattribdlg;
  ffiltdlgcfg ffiltdlg;  // with the command history
  finfdlgcfg finfdlg;
};

// The table of items (resource name, option, type, default); read names are xrm_name,
// save names xrm_name2 (none: never saved).
extern const cfg_item quarnwcfg_items[];
extern const unsigned quarnwcfg_nitems;
extern const enum_list quarnwcfg_timefmt_enums;

// Clears the record (no values owned afterwards); init acquires the containers.
int quarnwcfg_init(quarnwcfg* cfg);
int quarnwcfg_free(quarnwcfg* cfg);
// Item defaults only (containers emptied).
int quarnwcfg_set_dflts(quarnwcfg* cfg);
// Every item, the path history, the command lists and the dialogs' settings from d.
int quarnwcfg_get_xrm(quarnwcfg* cfg, db* d);
// The settings' options and the search paths of the command line.
int quarnwcfg_get_cmdp(quarnwcfg* cfg, const cmdp* cp);
// Everything that has a save name and differs from orig (nullptr: everything), the path
// history (npathlist.max entries at most), into d.
int quarnwcfg_save(const quarnwcfg* cfg, const quarnwcfg* orig, db* d);
// dest becomes a copy of src's items and dialog settings (the containers stay dest's own).
int quarnwcfg_copy(quarnwcfg* dest, const quarnwcfg* src);

// Sort key list of a sort command's column name ("ad", "attr", ... "size"); nullptr when unknown.
const char* quarnwcfg_sortby_of(const quarnwcfg* cfg, const char* col);
