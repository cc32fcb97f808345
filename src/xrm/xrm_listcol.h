// Column sets of the list views: the columns of one list as the resource
// database describes them (ids, titles, widths, alignment, visibility, display
// order, groups), and the user's changes (order, widths, visibility) written back.
//
// Resources of a set named N (class C), each attribute looked up as N.id.attr and
// C.id.Attr:
//   N              the column ids, in their default order
//   N.grps         the group ids          N.order   the display order
//   N.id.name      title (the id of the title text; the id by default)
//   N.id.w         current width in pixels              N.id.wPref  preferred width ("12C")
//   N.id.sortrevDflt, N.id.excl, N.id.visible           booleans
//   N.id.align     left, center or right
//   N.g            the column ids of group g; N.g.excl, N.g.visible apply to all of them
#pragma once

#include "xrm/xrm.h"

enum {
  LISTCOL_MAX = 64,           // columns of one set
  LISTCOL_GRP_MAX = 16,       // groups of one set
  LISTCOL_ID_SIZE = 64,
  LISTCOL_NAME_SIZE = 256,    // a title, and the set's own name and class
  LISTCOL_WPREF_SIZE = 32,
  LISTCOL_LIST_SIZE = 8192    // a list resource
};

enum { LISTCOL_LEFT = 0, LISTCOL_CENTER = 1, LISTCOL_RIGHT = 2 };

// w of a column whose width the user never set: the list view takes wpref.
constexpr int LISTCOL_W_UNSET = -1;

struct listcol_col {
  char id[LISTCOL_ID_SIZE];
  char name[LISTCOL_NAME_SIZE];     // the title (the id of its text for translated lists)
  int w;                            // pixels, or LISTCOL_W_UNSET
  char wpref[LISTCOL_WPREF_SIZE];   // window units; "" when none is given
  int sortrev_dflt;                 // sort in reverse order when first chosen
  int align;                        // LISTCOL_LEFT, _CENTER, _RIGHT
  int excl;                         // never shown and not offered
  int visible;
  int grp;                          // index into the groups, -1 for none
};

struct listcol_grp {
  char id[LISTCOL_ID_SIZE];
  unsigned ncols;
  unsigned cols[LISTCOL_MAX];       // indices into the columns
};

struct listcol {
  char name[LISTCOL_NAME_SIZE];     // what the set was loaded under
  char cls[LISTCOL_NAME_SIZE];
  unsigned ncols;
  listcol_col cols[LISTCOL_MAX];    // in the order of the set's id list
  unsigned order[LISTCOL_MAX];      // display order: a permutation of 0 .. ncols-1
  unsigned ngrps;
  listcol_grp grps[LISTCOL_GRP_MAX];
};

// Empties the record (no columns).
int listcol_init(listcol* lc);
int listcol_free(listcol* lc);

// Index of the column id, or -1.
int listcol_find(const listcol* lc, const char* id);

// Reads the set name (class cls, none or "" for no class forms) into lc, which is
// emptied first. A column keeps these defaults where a resource is missing: title
// = id, no width, no preferred width, not reverse, left, not excluded, visible.
// The database's mutex is held for the whole load. An id list that names no
// column set leaves lc empty and returns 0.
int xrm_listcol_load(db* db, const char* name, const char* cls, int qualify, listcol* lc);

// Stores spec.order and, per column, spec.id.w (when set), spec.id.excl and
// spec.id.visible, unqualified: spec is written as given ("*flist.col"), so the
// values replace those of the same resource pattern from earlier files.
int xrm_listcol_save(db* db, const char* spec, const listcol* lc);
