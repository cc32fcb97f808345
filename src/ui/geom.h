// Layout of a resizable dialog: controls grouped into horizontal and vertical lines whose
// growing items share out extra or missing space by weight; the template's gaps stay.
// Measuring a template and moving the controls belong to ui/win32.
#pragma once

#include "ds/rbtree.h"

enum { GEOM_WND = 1, GEOM_HLINE = 2, GEOM_VLINE = 3 };
enum : unsigned { GEOM_UNSET = 0xFFFFFFFFu };
// the size limits of an item, in the order of geom_item::lim
enum { GEOM_MINW, GEOM_MINH, GEOM_MAXW, GEOM_MAXH };

struct geom_rect {
  int x, y, w, h;
};

struct geom;
struct geom_item;
typedef int (*geom_resize_cb)(geom* g, geom_item* item, int w, int h);

// A size limit as written ("12C", "5p", "40"): resolved to pixels when measured.
struct geom_size {
  unsigned n;
  char unit;  // 0 not given, 'C' characters, 'L' logical units, 'P' pixels
};

struct geom_item {
  char* id;
  int type;
  unsigned growX, growY;
  unsigned minW, minH, maxW, maxH;  // pixels; GEOM_UNSET
  geom_size lim[4];                 // limits still to be resolved
  geom_rect rect;                   // measured
  geom_rect nrect;                  // after the last layout
  geom_item* parent;
  geom_item** children;
  unsigned nchildren;
  unsigned capacity;
  int ctrlid;                       // wnd: the dialog control; 0 none
  void* wnd;                        // wnd: a window put in by geom_set_wnd
  geom_resize_cb resize;            // lines: the line algorithm
  geom* nested;                     // resized with the item, not owned
};

struct geom {
  char* name;
  rbtree items;        // char* id -> geom_item*
  geom_item* root;
  geom_rect dlg;       // the dialog's measured client area
  int wndW, wndH;      // and its window size
  int minWndW, minWndH;
};

int geom_clear(geom* g);
int geom_init(geom* g, const char* name);
int geom_free(geom* g);

// Adds an item under parent (nullptr: the root, which must not exist yet). nullptr with
// the code in *err (9003, 9007, 9004).
geom_item* geom_add(geom* g, geom_item* parent, const char* id, int type, int* err = nullptr);
geom_item* geom_find(const geom* g, const char* id, int* err = nullptr);
inline unsigned geom_count(const geom* g) { return g ? rbtree_count(&g->items) : 0; }

// A size limit from its text: a number and an optional unit letter (C, L, P in either case;
// none means logical units). 9003 for another shape.
int geom_size_parse(const char* s, geom_size* sz);
int geom_set_lim(geom_item* item, int which, const char* s);

// Sets the measured dialog: its client area and window size.
int geom_set_dlg(geom* g, int cliW, int cliH, int wndW, int wndH);
// Bounding boxes, minima and the dialog's minimum window size; new rectangles start as measured.
int geom_compute(geom* g);
// New client size; -1 keeps an axis. Only the rectangles change: geom_apply moves the controls.
int geom_resize(geom* g, int cliW, int cliH);
// The line algorithm (an item's resize callback).
int geom_line_resize(geom* g, geom_item* line, int w, int h);
// Keeps a frame being dragged at least at the minimum; edge as the window system's sizing
// edges (1 left .. 8 bottom right), the rectangle as left, top, right, bottom.
int geom_min_frame(const geom* g, int edge, long* lrtb);

// --- window system (ui/win32) ---------------------------------------------------
// Creates the template hidden, reads every control's rectangle and the limits in pixels.
int geom_measure(geom* g, void* hmodule, const char* tmpl, void* parent);
int geom_apply(geom* g, void* dlg);
int geom_sizing(const geom* g, unsigned edge, void* rect);
int geom_minmax(const geom* g, void* minmaxinfo);
int geom_set_wnd(geom* g, const char* id, void* wnd);
