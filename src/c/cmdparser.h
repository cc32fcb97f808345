// Option list of a command line: words split into options ("-name", "-name:value")
// and operands, in the order they were parsed, with lookups over them.
#pragma once

#include "c/cfg.h"

struct cmdp_entry {
  int is_op;   // 1 option, 0 operand
  char* name;  // option name without '-', or the whole operand
  char* val;   // option value; nullptr without separator, "" when the separator ended the word
};

struct cmdp {
  unsigned flags;
  unsigned nargs;
  cmdp_entry* args;
  unsigned capacity;
  int eoo;          // "--" seen: every later word is an operand, also in later parse calls
  char sep;         // between an option's name and value
  unsigned growth;  // entries added at each growth
};

int cmdp_clear(cmdp* cmdp);
int cmdp_free(cmdp* cmdp);
// Frees what the record holds; 0 selects separator ':' and growth 64.
int cmdp_init_ex(cmdp* cmdp, unsigned flags, char sep, unsigned growth);
int cmdp_init(cmdp* cmdp);

// Appends argv[0] .. argv[argc - 1]; null words are skipped.
int cmdp_parse_argv(cmdp* cmdp, int argc, const char* const* argv);
// Splits text into argument words (word_flags and delimiters as arg_init; nullptr delimiters
// select " \t\r\n") and appends them.
int cmdp_parse_str(cmdp* cmdp, const char* text, unsigned word_flags, const char* delims);

// Value of the first option named op (alternatives "a|b") after *idx (from 0 when idx is
// nullptr or negative); *idx receives the entry found, or nargs. nullptr when absent or bare.
const char* cmdp_get_op(const cmdp* cmdp, const char* op, int* idx);
// 1 when the option is present (also bare), its value in *val; else 0.
int cmdp_has_op(const cmdp* cmdp, const char* op, const char** val);
int cmdp_has(const cmdp* cmdp, const char* op);
// As cmdp_get_op from the last entry backwards: the last occurrence wins.
const char* cmdp_last_op(const cmdp* cmdp, const char* op);
// Next operand after *idx (from entry 0 when negative); *idx receives its entry, or nargs.
const char* cmdp_next_arg(const cmdp* cmdp, int* idx);
// The n-th operand, counted over operands only from 0.
const char* cmdp_nth_arg(const cmdp* cmdp, unsigned n);
// Rebuilds option entry idx as "-name" or "-name<sep>value" (sep 0: the record's); buf is
// emptied on any error. Returns buf.
char* cmdp_op_str(const cmdp* cmdp, int idx, char sep, char* buf, unsigned bufsize);

// Sets the record's slots from the options present (first occurrence of each).
int cmdp_get_items(const cmdp* cmdp, void* items_val_base, unsigned nitems, const cfg_item* items,
                   int unescape);
