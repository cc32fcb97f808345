// Value-typed sorted map: key and value are one 8-byte typed value each
// (0x30, 0x70, 0x82 or 0xC2), with value-aware default callbacks.
//
// The rbtree_v_ operations take keys and values as the value functions do (the
// text or pointer itself for 0x82 and 0xC2, else the address of the value) and
// hand them to the tree as 8-byte slots: every callback of a value tree, the
// compare included, receives slot addresses on both sides.
#pragma once

#include "ds/rbtree.h"

// Default key compare: numbers numerically, texts as unsigned bytes (case-sensitive),
// pointers as addresses; a null text sorts first. size1 non-zero limits a text compare
// to that many characters, which makes it a prefix compare for rbtree_v_find_first.
int rbtree_v_cmp(unsigned type1, const void* key1, unsigned size1, unsigned type2, const void* key2, unsigned size2,
                 void* usrdata);
// Default copies: the pointer itself for 0x82 and 0xC2, else the value conversion.
int rbtree_v_keycopy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype,
                     const void* src, unsigned srcsize, void* usrdata);
int rbtree_v_valcopy(unsigned dsttype, void* dst, unsigned* dstsize, unsigned* dstmaxsize, unsigned srctype,
                     const void* src, unsigned srcsize, void* usrdata);
// The 8-byte slot of a value passed in value form; 9003 for a number passed as nullptr.
int rbtree_v_slot(unsigned type, const void* v, unsigned long long* slot);

int rbtree_v_init(rbtree* t, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                  item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valtype, item_copy_cb valcopy_cb,
                  item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata, unsigned nblockitems = 0,
                  unsigned ngrow = 0);
// rbtree_v_init for both value trees; keyonly makes the value set (rbktree_v), whose value part is dropped.
int rbtree_v_setup(rbtree* t, bool keyonly, unsigned keytype, item_cmp_cb cmp_cb, item_copy_cb keycopy_cb,
                   item_release_cb keyrelease_cb, item_init_cb keyinit_cb, unsigned valtype, item_copy_cb valcopy_cb,
                   item_release_cb valrelease_cb, item_init_cb valinit_cb, void* usrdata, unsigned nblockitems,
                   unsigned ngrow);
// value nullptr: the value keeps its initial (empty) contents.
rbtree_node* rbtree_v_insert(rbtree* t, const void* key, const void* value, int* err = nullptr);
rbtree_node* rbtree_v_find(const rbtree* t, const void* key);
rbtree_node* rbtree_v_find_first(const rbtree* t, item_cmp_cb keyncmp_cb, const void* key, unsigned keylen);

inline int rbtree_v_free(rbtree* t) { return rbtree_free(t); }
inline int rbtree_v_clear(rbtree* t, int release) { return rbtree_clear(t, release); }
inline int rbtree_v_remove(rbtree* t, rbtree_node* node) { return rbtree_remove(t, node); }

// Typed views of a node's key and value slots.
inline int rbtree_v_key_int(const rbtree_node* n) { return *static_cast<const int*>(rbtree_key(n)); }
inline double rbtree_v_key_double(const rbtree_node* n) { return *static_cast<const double*>(rbtree_key(n)); }
inline char* rbtree_v_key_str(const rbtree_node* n) { return *static_cast<char* const*>(rbtree_key(n)); }
inline void* rbtree_v_key_ptr(const rbtree_node* n) { return *static_cast<void* const*>(rbtree_key(n)); }
inline void* rbtree_v_val(const rbtree_node* n) { return static_cast<char*>(rbtree_key(n)) + 8; }
