// Settings records described by static tables of configuration items: each row binds
// a typed slot of the record to its default text, its option and its resource names.
#pragma once

#include <cstddef>

#include "c/enum.h"

// Converts between a slot and its text. dir 1: parses str into the slot; dir 0: writes
// the slot's value as text into str, a buffer of strsize bytes. Returns a result code.
typedef int (*cvt_cb)(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize, char* str,
                      unsigned strsize, int dir);

// Field 6 of an item: the converter (flag CFG_F_CVT) or, for an enumeration, its list.
union cfg_cvt {
  cvt_cb cvt;
  const enum_list* elist;
  constexpr cfg_cvt() : cvt(nullptr) {}
  constexpr cfg_cvt(std::nullptr_t) : cvt(nullptr) {}
  constexpr cfg_cvt(cvt_cb f) : cvt(f) {}
  constexpr cfg_cvt(const enum_list* list) : elist(list) {}
};

enum : unsigned {
  CFG_F_CVT = 1u  // convert through cvt_cb instead of the generic conversion
  // bits 1 and 2 belong to the resource-backed settings
};

struct cfg_item {
  unsigned valtype;        // value type code
  unsigned val_off;        // offset of the slot from items_val_base
  int valsize_off;         // offset of an unsigned length field, or -1
  int valmaxsize_off;      // offset of an unsigned capacity field, or -1
  const char* dflt;        // default text, or nullptr
  cfg_cvt cb;              // cvt_cb (flag CFG_F_CVT) or enumeration list (0xD0)
  unsigned flags;
  const char* cmdp_op;     // option name(s), "a|b" for alternatives, or nullptr
  const char* bare;        // text for the option given without a value, or nullptr
  const char* xrm_name;    // resource name, or nullptr
  const char* xrm_class;   // resource class, or nullptr
  const char* xrm_name2;   // further resource name, or nullptr
};

// Converts each item's default text into its slot (pointer slots 0xC2 skipped).
int cfg_set_dflts(void* items_val_base, unsigned nitems, const cfg_item* items, int unescape);
// Frees the owned values, then clears every slot.
int cfg_free(void* items_val_base, unsigned nitems, const cfg_item* items);
// Sets every slot to its type's empty value and its size fields to 0; frees nothing.
int cfg_clear(void* items_val_base, unsigned nitems, const cfg_item* items);
// Frees dest's values, then copies every non-pointer item from src.
int cfg_copy(void* dest_val_base, const void* src_val_base, unsigned nitems, const cfg_item* items);
// Converts text into one item's slot: unescaped first when asked, then through the item's
// cvt_cb, its enumeration list or the generic conversion from text.
int cfg_set_item(void* items_val_base, const cfg_item* item, const char* text, int unescape);
// Resolves the size fields the type needs; 9003 when a required one is missing.
int cfg_valsizes(void* items_val_base, unsigned valtype, int valsize_off, int valmaxsize_off,
                 unsigned** valsize_out, unsigned** valmaxsize_out);

// The system's window-placement record (44 bytes), laid out field by field.
struct cfg_wndpl {
  unsigned length;
  unsigned flags;
  unsigned showCmd;
  int ptMinPosition[2];
  int ptMaxPosition[2];
  int rcNormalPosition[4];
};
static_assert(sizeof(cfg_wndpl) == 44, "window placement is 44 bytes");

// cvt_cb for a 0xB0 slot holding a window placement:
// "-showCmd:SW_SHOWNORMAL -ptMinPosition:x,y -ptMaxPosition:x,y -rcNormalPosition:l,t,r,b".
int cfg_wndpl_cvt(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize, char* str,
                  unsigned strsize, int dir);
