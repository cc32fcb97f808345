// Menus as data: a tree of items named by ids, turned into a window-system menu bar or
// pop-up on demand (ui/win32) and then marked and enabled by id, never by position.
#pragma once

#include "ds/rbtree.h"

enum { MENU_TEXT_SIZE = 256 };
enum { MENU_SEP = 1, MENU_ENTRY = 2 };

#define MENU_SEP_ID "|"

struct menu_item {
  char* id;
  int kind;            // MENU_SEP or MENU_ENTRY
  int iid;             // command number; 0: none
  char* text;          // as written, "_" marking the mnemonic; nullptr: the id
  int enabled;
  int grp;             // radio group index, -1 none
  menu_item* parent;   // nullptr for a top item
  menu_item** children;
  unsigned nchildren;
  unsigned capacity;
  void* wmenu;         // once built: the window menu holding the item
  int ipos;            // and its position there
  void* wsub;          // once built: the submenu of an item with children
};

struct menu_radiogrp {
  char* name;
  menu_item** items;
  unsigned nitems;
  unsigned capacity;
};

struct menu;
// Marks an entry; the window part installs its own.
typedef int (*menu_setcheck_cb)(menu* m, menu_item* item, int on);

struct menu {
  char* name;
  rbtree items;          // char* id -> menu_item* (separators are not named)
  rbtree iids;           // int iid -> menu_item*
  menu_item top;         // holds the top items as children
  menu_radiogrp* grps;
  unsigned ngrps;
  unsigned grpcap;
  unsigned nitems;       // every item, separators too
  void* wmenu;           // the built menu bar or pop-up
  int popup;             // 1 when wmenu is a pop-up
  menu_setcheck_cb setcheck;
};

int menu_clear(menu* m);
int menu_init(menu* m, const char* name);
// Destroys no window menu: that is menu_destroy's (ui/win32) before this.
int menu_free(menu* m);

// Adds an item under parent (nullptr: the top); id MENU_SEP_ID adds a separator. text
// nullptr: the id. nullptr with the code in *err (9003, 9007, 9004).
menu_item* menu_add(menu* m, menu_item* parent, const char* id, int iid, const char* text, int enabled,
                    int* err = nullptr);
// nullptr when absent (not logged).
menu_item* menu_find(const menu* m, const char* id);
// The id of a command number; nullptr with 9006 in *err when none.
const char* menu_iid_id(const menu* m, int iid, int* err = nullptr);
// Replaces an item's text (nullptr: the id).
int menu_set_text(menu* m, menu_item* item, const char* text);

// A radio group by name, created when new; its index in *grp.
int menu_radiogrp_add(menu* m, const char* name, int* grp);
// Puts item id into group grp: 9006 when the menu has no such item.
int menu_radiogrp_add_item(menu* m, int grp, const char* id);

// The window system's form of an item text: "_" becomes "&", a backslash makes the next
// character literal. 9005 when cut (logged).
int menu_text_cvt(char* dest, unsigned size, const char* src);

// --- window system (ui/win32) ---------------------------------------------------
int menu_build_bar(menu* m);
int menu_build_popup(menu* m);
int menu_destroy(menu* m);
// Takes a window menu already built from the same description; every position is checked.
int menu_attach(menu* m, void* wmenu);
// The command chosen, 0 for none.
int menu_track(menu* m, void* owner, int x, int y, unsigned flags);
int menu_check(menu* m, const char* id, int on);
int menu_enable(menu* m, const char* id, int on);
