// Conversions between two value types (see val.h for the type codes and for
// how a value is passed). A text destination is a char buffer of destsize bytes;
// every other destination is the address of a slot of its type (destsize unused).
#pragma once

#include "c/val.h"

// 0, 9003 (bad argument), 9005 (text cut), 9013 (conversion not supported).
// Texts never fail on their content: an unreadable number is 0, an unknown
// colour black (logged).
int tcvt(unsigned desttype, void* dest, unsigned destsize, unsigned srctype, const void* src);

// Booleans from text: '1', 'T', 'Y' (either case) or "on"; everything else is false.
int tcvt_str_to_bool(const char* str);
// Colours from text: a colour name, "rgb:r,g,b", "rgb:r g b", "sys:NAME", "#RRGGBB".
// A bad text logs its message (9003) and gives black; the call still returns 0.
int tcvt_str_to_color(const char* str, unsigned* color);

// Value of one hexadecimal digit, or -1 (logged) for another character.
int tcvt_hexdigit(char c);
// Decodes the hexadecimal digits of str (other characters skipped, a last unpaired
// digit dropped) into data; *datasize receives the number of bytes. 9005 when more
// than datamaxsize bytes would result (nothing written then).
int tcvt_hex_to_data(const char* str, void* data, unsigned datamaxsize, unsigned* datasize);
// Two upper-case digits per byte; 9005 when str cannot hold 2 * datasize + 1 bytes
// (the whole bytes that fit are written, always terminated).
int tcvt_data_to_hex(char* str, unsigned strsize, const void* data, unsigned datasize);
