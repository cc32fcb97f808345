// Value list: a list whose data is one 8-byte typed value of type 0x30, 0x70,
// 0x82 or 0xC2. Values are passed as the value functions take them: the text or
// pointer itself for 0x82 and 0xC2, else the address of the value; the copy
// callback receives them in that form. By default texts and pointers are stored
// as given (never duplicated); the release callback decides who frees them.
#pragma once

#include "ds/list.h"

// Default copy of value lists and arrays: the pointer itself for 0x82 and 0xC2,
// the value conversion for the other types. src is the text or pointer itself
// for 0x82 and 0xC2, else the address of a value of srctype.
int list_v_copy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype, const void* src,
                unsigned srcsize, void* usrdata);
// Default initialiser: the empty value of the type.
int list_v_initval(unsigned type, void* data, unsigned* size, unsigned* maxsize, void* usrdata);
// The value form of what a slot of type holds: the text or pointer itself for 0x82 and
// 0xC2, else the slot's address.
const void* list_v_value(unsigned type, const void* slot);
// Non-zero for the types value lists, arrays and value trees accept.
int list_v_valtype_ok(unsigned valtype);

int list_v_init(list* l, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, item_init_cb init_cb,
                void* usrdata, unsigned nblockitems = 0, unsigned ngrow = 0);

inline int list_v_free(list* l) { return list_free(l); }
inline int list_v_clear(list* l, int release) { return list_clear(l, release); }
inline list_node* list_v_insert(list* l, list_node* before, const void* val, int* err = nullptr) {
  return list_insert(l, before, val, err);
}
inline list_node* list_v_push(list* l, const void* val, int* err = nullptr) { return list_push(l, val, err); }
inline list_node* list_v_append(list* l, const void* val, int* err = nullptr) { return list_append(l, val, err); }
inline int list_v_move_before(list* l, list_node* item, list_node* nextitem) {
  return list_move_before(l, item, nextitem);
}
inline int list_v_move_after(list* l, list_node* item, list_node* previtem) {
  return list_move_after(l, item, previtem);
}
inline list_node* list_v_remove(list* l, list_node* item, int* err = nullptr) { return list_remove(l, item, err); }
// As list_cp, but each value is handed to the copy callback the way list_v_append takes it.
int list_v_cp(list* l, const list* src);
inline list_node* list_v_first(const list* l) { return list_first(l); }
inline list_node* list_v_last(const list* l) { return list_last(l); }
inline list_node* list_v_prev(const list_node* node) { return list_prev(node); }
inline list_node* list_v_next(const list_node* node) { return list_next(node); }

// Typed views of a node's value slot.
inline int list_v_int(const list_node* node) { return *static_cast<const int*>(list_data(node)); }
inline double list_v_double(const list_node* node) { return *static_cast<const double*>(list_data(node)); }
inline char* list_v_str(const list_node* node) { return *static_cast<char* const*>(list_data(node)); }
inline void* list_v_ptr(const list_node* node) { return *static_cast<void* const*>(list_data(node)); }
