// The user error reports the error dialog shows: copies in arrival order, each owning
// its message, indexed by position. Window thread only.
// A record starts zero-filled (`uerrlist x{}`): init releases what the record held.
#pragma once

#include "ds/array.h"
#include "ds/list.h"
#include "err/err.h"

struct uerrlist {
  list items;     // uerr_item copies
  array index;    // position -> the copy in items
  unsigned seen;  // reports the user has been shown
};

int uerrlist_init(uerrlist* l);
int uerrlist_free(uerrlist* l);
// Copies item, duplicating its message (9004 when that fails; nothing added).
int uerrlist_add(uerrlist* l, const uerr_item* item);
// *err: the copy at idx, valid until the list is cleared or freed; 9003 past the end.
int uerrlist_get(const uerrlist* l, unsigned idx, const uerr_item** err);
int uerrlist_clear(uerrlist* l);
// Marks every report as seen.
int uerrlist_seen(uerrlist* l);

inline unsigned uerrlist_count(const uerrlist* l) { return l ? list_count(&l->items) : 0; }

// For the queue: the copy and release callbacks of a list of owned copies.
int uerr_copy(unsigned, void* dst, unsigned*, unsigned*, unsigned, const void* src, unsigned, void*);
int uerr_release(unsigned, void* data, unsigned*, unsigned*, void*);
