// Layouts from the resource database. The tree starts at the item named as the layout
// itself; each item id has name.id.type ("wnd", "hline", "vline"), growX, growY, minW,
// minH, maxW, maxH (sizes such as "12C") and, for a line, ids (its children in order).
#pragma once

#include "ui/geom.h"
#include "xrm/xrm.h"
#include "xrm/xrm_tree.h"

// idmap gives each "wnd" item its control id. Holds the manager's mutex for the whole
// load; a missing type or control id ends it with 9006, a repeated item (also an item
// that lists itself or a line above it) with 9007. A failed load leaves g empty.
int xrm_geom_load(db* d, const char* name, const char* cls, int qualify, geom* g, unsigned nids,
                  const xrm_idmap* idmap);
