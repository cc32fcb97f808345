// Indexed sequence of 8-byte value slots kept in the blocks of an mblock. Slots
// themselves never move; inserting and deleting move the values between them.
// A record starts zero-filled (`array x{}`): init releases what the record held.
#pragma once

#include "c/mblock.h"

struct array {
  mblock mb;          // 8-byte items
  unsigned nitems;    // slots in use
  unsigned capacity;  // slots allocated: nblocks * nblockitems
  unsigned valtype;   // 0x30, 0x70, 0x82 or 0xC2
  item_copy_cb copy_cb;
  item_release_cb release_cb;
  void* usrdata;
};

int array_init(array* a, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, unsigned nblockitems = 0,
               void* usrdata = nullptr);
int array_free(array* a);
int array_clear(array* a, int release);
int array_insert(array* a, unsigned idx, unsigned n);
int array_delete(array* a, unsigned idx, unsigned n);
// value: the text or pointer itself for 0x82 and 0xC2, else the address of a value of the array's type
int array_append(array* a, const void* value);
int array_set(array* a, unsigned idx, const void* value);
// The slot, or nullptr when idx is not below nitems.
void* array_get(const array* a, unsigned idx);
int array_cp(array* a, const array* src);

inline unsigned array_count(const array* a) { return a ? a->nitems : 0; }
