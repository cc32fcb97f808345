// Primaries of the search expression: constructors called by the parser, the
// tests run on each entry, and the free operation of every primary value.
#pragma once

#include "ex/ex.h"
#include "rex/fnmatch.h"
#include "rex/pnmatch.h"

struct qnexp;
struct txr;

// Which primary a value is.
enum {
  QNEX_AD = 1, QNEX_ATTR, QNEX_BD, QNEX_DEPTH, QNEX_EMPTY, QNEX_MD, QNEX_MMIN, QNEX_MTIME,
  QNEX_NAME, QNEX_PATH, QNEX_SIZE, QNEX_TYPE
};

// Comparison codes beyond those of the number operands.
enum { QNEX_OP_ANY = 5, QNEX_OP_MATCH = 6 };

struct qnex_pri {
  ex_val head;
  unsigned op;
  unsigned valtype;
};

struct qnex_empty_pri {     // -empty: no payload
  qnex_pri pri;
};

struct qnex_time_pri {      // -ad, -Bd, -md
  qnex_pri pri;
  int from, to;             // seconds since 1970, [from, to)
  unsigned long long fromft, toft;
};

struct qnex_mask_pri {      // -attr
  qnex_pri pri;
  unsigned mask;
};

struct qnex_num_pri {       // -depth
  qnex_pri pri;
  unsigned n;
};

struct qnex_age_pri {       // -mmin, -mtime
  qnex_pri pri;
  unsigned n;
  unsigned long long startft, endft;
};

struct qnex_name_pri {
  qnex_pri pri;
  fnm fnm;
};

struct qnex_path_pri {
  qnex_pri pri;
  pnm pnm;
};

struct qnex_size_pri {
  qnex_pri pri;
  unsigned n;
  unsigned long long low, high;
};

struct qnex_type_pri {
  qnex_pri pri;
  unsigned dirmask;
  unsigned isreg;
};

// The store the constructors take their user messages from ("err.qnex"); none
// shows the messages as written.
void qnex_set_texts(const txr* tx);

void* qnex_ad_new(qnexp* qnexp, const char* value, int* err);
void* qnex_attr_new(qnexp* qnexp, const char* value, int* err);
void* qnex_bd_new(qnexp* qnexp, const char* value, int* err);
void* qnex_depth_new(qnexp* qnexp, const char* value, int* err);
void* qnex_empty_new(qnexp* qnexp, int* err);
void* qnex_md_new(qnexp* qnexp, const char* value, int* err);
void* qnex_mmin_new(qnexp* qnexp, const char* value, int* err);
void* qnex_mtime_new(qnexp* qnexp, const char* value, int* err);
// flags: FNM_ICASE
void* qnex_name_new(qnexp* qnexp, const char* patt, int flags, int* err);
// flags: PNM_DIR, with PNM_ICASE to ignore case
void* qnex_path_new(qnexp* qnexp, const char* patt, int flags, int* err);
void* qnex_size_new(qnexp* qnexp, const char* value, int* err);
void* qnex_type_new(qnexp* qnexp, const char* value, int* err);

// The primary free callback of the expression: releases what a value owns, not
// the value itself.
int qnex_free(void* pri);
