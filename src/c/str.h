// Bounded texts: every operation gets the destination and its size in bytes, copies
// what fits, always terminates, and reports a cut with 9005.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "err/err.h"

// Copies; err (optional) receives 0, 9003 (bad argument) or 9005 (cut). Cuts are not logged.
char* mox_strcpy(char* dest, unsigned size, const char* src, int* err = nullptr);
wchar_t* mox_wcscpy(wchar_t* dest, unsigned size, const wchar_t* src, int* err = nullptr);
char* mox_strncpy(char* dest, unsigned size, const char* src, unsigned n, int* err = nullptr);
char* mox_strcat(char* dest, unsigned size, const char* src, int* err = nullptr);
char* mox_strncat(char* dest, unsigned size, const char* src, unsigned n, int* err = nullptr);

// Returns 0, 9003 or 9005 (cut, or the result fills the buffer without its zero).
int mox_snprintf(char* str, unsigned size, const char* format, ...) ERR_PRINTF_LIKE(3, 4);
int mox_vsnprintf(char* str, unsigned size, const char* format, va_list ap) ERR_PRINTF_LIKE(3, 0);

// Heap copy of at most n bytes (free() it); nullptr for a null src or on 9004.
char* mox_strndup(const char* src, unsigned n, int* err = nullptr);

// MultiByteToWideChar into a bounded wide buffer; mblen -1 means up to the zero.
wchar_t* mox_mbstowcs(wchar_t* wstr, unsigned wstr_size, unsigned codepage, const char* mbstr, int mblen,
                      int* err = nullptr);

// Last occurrence of substr in str; an empty substr gives str.
const char* mox_strrstr(const char* str, const char* substr);
char* mox_strrstr(char* str, const char* substr);

// Leading / trailing white space within len bytes; newlen receives the rest.
const char* mox_skip_ws(const char* str, unsigned len, unsigned* newlen);
const char* mox_ws_tail(const char* str, unsigned len, unsigned* newlen);

char* mox_ltrim(char* str);
char* mox_rtrim(char* str);
char* mox_trim(char* str);
char* mox_ltrim_ptr(char* str);
char* mox_strupr(char* str);
int mox_is_blank(const char* str);

// Byte-by-byte copies that log a cut and return 9005.
int mox_str_unescape(char* dest, unsigned size, const char* src);
int mox_str_escape(char* dest, unsigned size, const char* src);
char* mox_strip_ws(char* dest, unsigned size, const char* src, int* err = nullptr);

// A text for messages: "NUL" stands for a null one.
inline const char* mox_nul(const char* s) { return s ? s : "NUL"; }
