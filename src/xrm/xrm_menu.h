// Menus from the resource database. The top items are name.<menu>.ids (the menu's own
// name); each item id has name.id.name (its text; default: the text of the id in the
// context txrctx of the manager's text store, its first caller word), name.id.enabled and,
// for a submenu, name.id.ids. "|" is a separator. name.radiogrps names the radio groups,
// name.radiogrp.<group> lists the items of each.
#pragma once

#include "ui/menu.h"
#include "xrm/xrm.h"
#include "xrm/xrm_tree.h"

// idmap gives items their command numbers (an id not in it has none). Holds the manager's
// mutex for the whole load; an item that cannot be added (a repeated id, also an item that
// lists itself or a menu above it) or a radio group naming an unknown item ends it. A failed
// load leaves the menu empty.
int xrm_menu_load(db* d, const char* name, const char* cls, int qualify, const char* txrctx, menu* m, unsigned nids,
                  const xrm_idmap* idmap);
