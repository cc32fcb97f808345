// Language tags: which of thirteen shapes (language, extended language, script,
// region, variant) a tag such as en-US or zh-Hant-TW has, and its parts.
#pragma once

#include "ds/list.h"
#include "rex/rexm.h"

// a subtag holds at most LTM_SUBTAG_SIZE - 1 characters
enum { LTM_SUBTAG_SIZE = 24 };

struct ltm {
  list shapes;   // ltr* (compiled shape) in matching order
};

// Clears the record (it must not hold shapes) and adds the thirteen shapes.
int ltm_init(ltm* lt);

// Empties all five buffers, then returns 1 and fills the buffers of the parts present
// (each copy cut to its buffer) when the tag has one of the shapes; 0 for an absent
// or empty tag or no shape (*err 0) or on failure (*err the code).
int ltm_match(const ltm* lt, const char* tag, char* lang, unsigned langsz, char* extlang, unsigned extlangsz,
              char* scr, unsigned scrsz, char* rgn, unsigned rgnsz, char* var, unsigned varsz,
              int* err = nullptr);

int ltm_free(ltm* lt);
int ltm_clear(ltm* lt);

// Compiles a shape pattern into an initialised automaton and finishes it. Elements:
// %Nl N letters, %Nd N digits, %Nc N letters or digits (N one digit, 1 when absent);
// ( ... ) a group, a following '+' or '?' its quantifier; '|' an alternative; '\' the
// next character literally ("\t" a tab); any other character itself. Another letter
// after '%', an unbalanced group or '+' on a group that can match the empty text: 9003.
int ltm_compile(rexm* re, const char* patt);

// The same pattern language with other '%' elements: elem writes into lists the
// character lists ("[0-9][0-9]"...) that letter with digit n (-1 when absent) stands
// for, returning 0, or non-zero for a letter it does not know.
typedef int (*ltm_elem_cb)(char letter, int n, char* lists, unsigned size);
int ltm_compile_patt(rexm* re, const char* patt, ltm_elem_cb elem);

// One compiled pattern of a list (a shape here, a time format in tsmatch): the
// automaton, its id and a copy of its name.
struct ltr {
  rexm re;
  int id;
  char* name;
};

// Lists of ltr* kept by ltm and tsm. ltm_list_add compiles patt with elem (ignoring
// case, not glob mode) and appends it with its id and name; nothing is added on failure.
int ltm_list_add(list* l, int id, const char* name, const char* patt, ltm_elem_cb elem);
// The first item whose automaton matches the whole str, or nullptr; *err receives 0 or
// the code of a failed match.
const ltr* ltm_list_find(const list* l, const char* str, int* err);
// Frees every item and the list; what names an item in the report of a lost one.
void ltm_list_free(list* l, const char* what);
