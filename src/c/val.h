// Typed values: a slot of a known type code, plus (for the sized types) a length
// field and a capacity field that the owner keeps beside the slot.
//
// How a value is passed (val_set's source, val_cmp's operands, val_to_str):
// for the pointer-holding types 0x82, 0xA2 and 0xC2 the pointer itself (the text,
// the bytes, the pointer), for every other type the address of the value (for 0x90
// and 0xB0 that is the array, so the same thing). A slot (val_free, val_clear,
// val_set's destination) is always the address of the slot.
#pragma once

// High four bits: the kind; bit 0: unsigned integer; bit 1: the slot owns a pointer.
enum : unsigned {
  VAL_CHAR = 0x10,
  VAL_UCHAR = 0x11,
  VAL_SHORT = 0x20,
  VAL_USHORT = 0x21,
  VAL_INT = 0x30,
  VAL_UINT = 0x31,
  VAL_LONG = 0x40,
  VAL_ULONG = 0x41,
  VAL_BOOL = 0x50,     // 4 bytes, 0 or 1
  VAL_FLOAT = 0x60,
  VAL_DOUBLE = 0x70,
  VAL_STR = 0x82,      // char* owned; valmaxsize (optional) holds the buffer size
  VAL_STRBUF = 0x90,   // char array in the record; valmaxsize (required) holds its size
  VAL_DATA = 0xA2,     // owned byte buffer; valsize (required) length, valmaxsize (optional) capacity
  VAL_DATABUF = 0xB0,  // byte array in the record; valsize and valmaxsize required
  VAL_PTR = 0xC2,      // owned pointer, compared as an address, never copied
  VAL_ENUM = 0xD0,     // int, converted from text only through an enumeration list
  VAL_COLOR = 0xE0,    // red bits 0-7, green 8-15, blue 16-23
};

// The intermediate buffer of val_to_str.
constexpr unsigned VAL_TO_STR_BUFSIZE = 8256;

constexpr bool val_is_int(unsigned t) { return t >= VAL_CHAR && t <= VAL_ULONG && (t & ~0xF1u) == 0; }
constexpr bool val_is_unsigned(unsigned t) { return val_is_int(t) && (t & 1u); }
constexpr bool val_owns_ptr(unsigned t) { return t == VAL_STR || t == VAL_DATA || t == VAL_PTR; }
constexpr bool val_is_text(unsigned t) { return t == VAL_STR || t == VAL_STRBUF; }
constexpr bool val_is_data(unsigned t) { return t == VAL_DATA || t == VAL_DATABUF; }
// A known type code.
constexpr bool val_type_ok(unsigned t) {
  return val_is_int(t) || t == VAL_BOOL || t == VAL_FLOAT || t == VAL_DOUBLE || t == VAL_STR ||
         t == VAL_STRBUF || t == VAL_DATA || t == VAL_DATABUF || t == VAL_PTR || t == VAL_ENUM ||
         t == VAL_COLOR;
}

// Colour values (the system's colour reference layout).
constexpr unsigned val_rgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | (g & 0xFFu) << 8 | (b & 0xFFu) << 16;
}
constexpr unsigned val_red(unsigned c) { return c & 0xFFu; }
constexpr unsigned val_green(unsigned c) { return c >> 8 & 0xFFu; }
constexpr unsigned val_blue(unsigned c) { return c >> 16 & 0xFFu; }

// Frees the pointer of 0x82, 0xA2 and 0xC2 slots, then clears as val_clear.
// valsize / valmaxsize: the slot's size fields, nullptr where the owner keeps none.
int val_free(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize);
// Sets the slot to its type's empty value. The fixed types keep their capacity
// (and 0xB0 its bytes); the heap types get a null pointer and capacity 0.
int val_clear(unsigned valtype, void* val, unsigned* valsize, unsigned* valmaxsize);
// Makes the slot hold src's value, converting between types; src nullptr frees
// and clears the slot. srcsize: the length of a byte source (0 for the others).
int val_set(unsigned desttype, void* dest, unsigned* destsize, unsigned* destmaxsize, unsigned srctype,
            const void* src, unsigned srcsize);
// <0, 0, >0. Absent values sort first; values of different types compare as 1.
// Texts: a non-zero size limits the comparison to that many characters (the
// smaller of the two when both are given); byte buffers: size is their length.
int val_cmp(unsigned type1, const void* val1, unsigned size1, unsigned type2, const void* val2,
            unsigned size2);
// As val_cmp, texts and bytes without regard to letter case.
int val_casecmp(unsigned type1, const void* val1, unsigned size1, unsigned type2, const void* val2,
                unsigned size2);
// Texts compared without regard to ASCII letter case; n 0: whole texts, else at
// most n characters. A null text sorts first.
int val_strcasecmp(const char* a, const char* b, unsigned n);
// Renders any value as text: texts copied, bytes as upper-case hexadecimal, the
// rest through the conversion to text. On failure buf holds what fitted (or "").
int val_to_str(char* buf, unsigned bufsize, unsigned valtype, const void* val, unsigned valsize);
