// Driver between an expression text and a generated parser and scanner: holds
// the input, the first error of the parse and the texts the scanner duplicated.
#pragma once

#include "ds/list.h"
#include "ex/ex.h"

constexpr unsigned EXP_ERRTEXT_SIZE = 4096;

struct exp {
  ex* ex;
  const char* input;      // next unread character
  unsigned remaining;     // characters not yet read
  list texts;             // value texts duplicated during the parse
  unsigned errcode;       // first error of the parse, or 0
  char errtext[EXP_ERRTEXT_SIZE];
  int logflag;            // syntax errors also go to the error log
  void* usr;              // handed to the parser's actions
};

typedef int (*exp_parse_fn)();
typedef void (*exp_restart_fn)();

// The parse that is running; the generated code reaches its record through it.
extern struct exp* exp_current;

int exp_parse(struct exp* exp, ex* ex, const char* text, exp_parse_fn parse, exp_restart_fn restart,
              int logflag, void* usr);
// The scanner's input: copies up to max characters; 0 at the end of the text.
unsigned exp_input(char* buf, unsigned max);
// Keeps the first error of a parse; later ones are ignored.
void exp_error(struct exp* exp, int code, const char* text);
// Takes ownership of a duplicated text until the record is freed.
int exp_keep_text(struct exp* exp, char* text);
void exp_free(struct exp* exp);
void exp_clear(struct exp* exp);
