// The find dialog's fields as search expression text (relational comparison form), and
// the parse of such a text with its user report.
#pragma once

struct ex;
struct qnexp;

enum : unsigned { QNEXFLD_EXPR_SIZE = 8192 };

// Appends the part of one field to buf (NUL-terminated, of bufsize bytes): " (", each word
// of text as an operator or as " -prim:word", " )"; nothing for a field without words.
// Blanks inside a word (typed in quotes) are escaped so the word stays one value.
int qnexfld_part(const char* prim, const char* text, char* buf, unsigned bufsize);
// The whole expression: the Modified, Size and Name parts in this order, into buf.
int qnexfld_expr(const char* md, const char* size, const char* name, char* buf, unsigned bufsize);
// Initialises e for the primaries and, when text is not empty, parses it; a parse error is
// a user report "<parser's text>: <text>." with the parser's code. *parsed: e holds a tree.
int qnexfld_parse(qnexp* p, ex* e, const char* text, int ignorecase, const char* fmts, long now, int* parsed);
