// Cell texts and row colours of the result list, apart from the window system so they
// can be checked anywhere.
#pragma once

struct frec;
struct dgrp;
struct syscfg;

// The columns a file list can show, in the order of the built-in column set.
enum : int {
  FLCOL_RPATH = 0, FLCOL_PATH, FLCOL_DIR, FLCOL_NAME, FLCOL_EXT, FLCOL_MD, FLCOL_AD, FLCOL_BD, FLCOL_SIZE,
  FLCOL_ATTR, FLCOL_ERR, FLCOL_N
};

extern const char* const flcol_ids[FLCOL_N];

// Index of a column id (case matters: "Bd"), -1 when unknown.
int flcol_find(const char* id);
// The main window's sort command of a column, 0 for an unknown one.
int flcol_sortcmd(int col);

// How cells are written; the texts belong to the caller.
struct flistcell_fmt {
  int file_type;            // directories shown with a trailing separator
  unsigned timefmt;         // TIMEF_* style
  const char* timefmt_usr;  // its user format
  unsigned sizefmt;         // FSZ_*
  unsigned grpstyle;        // DGRP_* style of the size
  const dgrp* dg;
  const syscfg* sc;
  const char* mark_moved;    // prefix of a moved record ("" none)
  const char* mark_deleted;  // prefix of a deleted record, before the moved one
};

// The text of column col for r into buf: the record's mark, then the column's text. A
// text that does not fit is cut (9005); a value that cannot be shown leaves its part empty.
int flistcell_text(const frec* r, int col, const flistcell_fmt* f, char* buf, unsigned size);

// Row colours (colour references), each pair text then background.
struct flistcell_clrs {
  int color;  // colour the rows by kind; errors are coloured regardless
  unsigned file_fg, file_bg;
  unsigned dir_fg, dir_bg;
  unsigned moved_fg, moved_bg;
  unsigned deleted_fg, deleted_bg;
  unsigned err_fg, err_bg;
};

// 1 with *fg and *bg set for r's row; 0 when the row keeps the list's own colours.
int flistcell_colors(const frec* r, const flistcell_clrs* c, unsigned* fg, unsigned* bg);

// 1 when fmt asks for the same printf conversions, in the same order, as ref does: a
// translated report text is used only then.
int flistcell_same_convs(const char* fmt, const char* ref);

// Splits a directory with its trailing separator ("C:\a\b\") into its parent with the
// separator ("C:\a\") and its last component ("b"). A root ("C:\", "\\srv\share\") has
// no component: parent is the root itself and last is empty.
int flistcell_split_dir(const char* dir, char* parent, unsigned psize, char* last, unsigned lsize);
