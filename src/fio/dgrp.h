// Digit grouping of number texts, and the size display built on it.
//
// A grouping format describes the integer part from right to left: %1..%9 digit
// positions (and the group size), %* the separator and a group repeated leftwards,
// %S the separator, %D the end (the rest is ignored), other characters literals.
#pragma once

#include <cstdint>

struct syscfg;

enum : unsigned { DGRP_LOCALE = 0, DGRP_SI_EN, DGRP_SI_FR, DGRP_USR, DGRP_NSTYLES };
enum : unsigned { DGRP_F_NOGRP = 1u };  // dgrp_fmt: replace the decimal mark only
enum : unsigned { FSZ_B = 0, FSZ_K, FSZ_H };

// Slots of a compiled format, filled from the right: 0 a digit, else a character to insert.
constexpr unsigned DGRP_DFMT_SIZE = 256;
// A grouped number holds at most this many characters.
constexpr unsigned DGRP_ISTR_SIZE = 256;

struct dgrp {
  char dfmt[DGRP_NSTYLES][DGRP_DFMT_SIZE];
  char* usr_decmark;  // style usr's decimal mark, resolved when it was set
};

// Compiles fmt with separator grpsep into dfmt (DGRP_DFMT_SIZE slots). On failure dfmt is
// a format without groups.
int dgrp_compile(const char* fmt, const char* grpsep, char* dfmt);

// Clears the record (it owns nothing yet) and compiles the locale and SI styles.
int dgrp_init(dgrp* dg, const syscfg* sc);
// Style usr; an absent grpsep or decmark stands for the locale's. On failure style usr
// stays as it was.
int dgrp_set_usr(dgrp* dg, const syscfg* sc, const char* fmt, const char* grpsep, const char* decmark);
// Groups the number text num. On failure out receives num and the code is returned.
int dgrp_fmt(const dgrp* dg, const char* num, unsigned style, unsigned flags, const syscfg* sc, char* out,
             unsigned outsize);
void dgrp_free(dgrp* dg);

// A file size in style sizefmt (FSZ_B, FSZ_K, FSZ_H), grouped in style grpstyle.
int fsz_str(uint64_t size, unsigned sizefmt, const dgrp* dg, unsigned grpstyle, const syscfg* sc, char* out,
            unsigned outsize);
