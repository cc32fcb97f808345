// Parser of the search expression: scanner, generated grammar, and the record
// that carries what the primaries need while they are built.
#pragma once

#include "ex/ex.h"
#include "ex/exparser.h"
#include "fio/fattrf.h"
#include "fio/fszf.h"
#include "fio/ftypef.h"
#include "fio/timef.h"
#include "fio/uintf.h"

struct qnexp {
  struct exp exp;
  int ignorecase;  // default letter-case rule of -name and -path
  fattrf fattrf;
  fszf fszf;
  ftypef ftypef;
  timef timef;
  uintf uintf;
  long now;        // reference time of -mmin and -mtime, seconds since 1970
};

// fmtflags 1: signed comparisons (+n, -n, n); 0: relational (<n, <=n, >n, >=n, n).
// fmts: comma-separated time-stamp format names, or nullptr.
int mox_qnexparser_parse(qnexp* qnexp, ex* ex, const char* text, int ignorecase, unsigned fmtflags,
                         const char* fmts, long now, int logflag);
void qnexparser_free(qnexp* qnexp);
void qnexparser_clear(qnexp* qnexp);

// Used by the generated grammar.
qnexp* qnexparser_cur();
int qnexparser_lex();
void qnexparser_error(const char* msg);
void qnexparser_fail(int code, const char* text);
void* qnexparser_add(void* pri, int* err);
void* qnexparser_and(void* lnode, void* rnode, int* err);
void* qnexparser_or(void* lnode, void* rnode, int* err);
void* qnexparser_not(void* node, int* err);
