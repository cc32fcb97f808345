// The most recently used search paths behind the Path field: most recent first, each
// path once, found through an index.
#pragma once

#include "ds/list.h"
#include "ds/rbtree.h"

enum : unsigned { FPATHLIST_PATHSIZE = 4096 };

struct pathl {
  list paths;    // owned texts (value type 0x82), most recent first
  rbtree index;  // text -> its node of paths
};

int fpathlist_init(pathl* pl);
int fpathlist_free(pathl* pl);
// Trims the path; an entry already present moves to the front, a new one goes there.
// A path that is empty after trimming is not added.
int fpathlist_add(pathl* pl, const char* path);
// Iteration in history order; nullptr past the end.
list_node* fpathlist_first(const pathl* pl);
list_node* fpathlist_next(const list_node* node);
const char* fpathlist_text(const list_node* node);
unsigned fpathlist_count(const pathl* pl);
