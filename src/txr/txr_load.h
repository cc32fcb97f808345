// Text resource files: lines that set the current language, context and id and give
// translations of the id, handed to a text store (which keeps those that fit the
// user's language). Input is a file, plain text in memory or a bzip2 image in memory
// (decompressed while it is scanned); "#include NAME" lines read other files in place.
//
//   ! comment                      (first character of the line)
//   #include name                  (keyword at the start of the line, any letter case)
//   lang: de-CH    lang:           (untagged texts are in this language / in "en")
//   ctx: menu.name  ctx:           (the context, trimmed; empty: keys are ids alone)
//   id: _File                      (the id: a text)
//   : _Datei                       (a translation in the current language: a text)
//   [de-CH] : _Datei               (a translation in the given language)
//
// A text runs to the line end; a backslash right before the line end joins the next
// line. The joined text is trimmed and its backslash escapes decoded. Every line of
// a file loaded by itself ends with a line end; an included file may lack the last one.
#pragma once

#include "txr/txr.h"

enum : unsigned {
  TXRL_MAX_FILES = 9,        // open inputs: the first one and eight nested includes
  TXRL_BUFSIZE = 16384,      // scanner input buffer of each open input
  TXRL_CTX_SIZE = 256,       // a context holds at most 255 characters
  TXRL_STR_SIZE = 8192,      // a text, an id or a "lang:" tag: 8191
  TXRL_TAG_SIZE = 256,       // a bracketed tag: 255
  TXRL_FNAME_SIZE = 4096,    // an include name, macros replaced
  TXRL_ERRMSG_SIZE = 4096,
  TXRL_SHOW_MAX = 1000       // characters of an offending text quoted in a message
};

struct txrl_src;  // one open input

struct txrl {
  txr* tx;                              // the store being filled
  txrl_src* src[TXRL_MAX_FILES];        // open inputs, the innermost last
  unsigned depth;
  char ctx[TXRL_CTX_SIZE];              // current context
  char id[TXRL_STR_SIZE];               // current id
  char tag[TXRL_STR_SIZE];              // last tag token
  char str[TXRL_STR_SIZE];              // last text token, as written
  char text[TXRL_STR_SIZE];             // the same, decoded
  int err;                              // first error
  char errmsg[TXRL_ERRMSG_SIZE];        // and its message
};

int txrl_clear(txrl* tl);

// Parse a whole input into the store (which must have been through txr_init). The
// translations stored before a failure stay. Returns 0 or the first error's code,
// which is also left with its message in tl->err and tl->errmsg; a syntax error
// gives 9001 and "FILE(LINE) - syntax error: `TOKEN'.". The loader keeps no state
// after the call; the store's current language is as it was before.
int txrl_load_file(txrl* tl, txr* tx, const char* fname);
// data starting with "BZh" is a bzip2 image; gzip data is refused with 9013.
int txrl_load_data(txrl* tl, txr* tx, const void* data, unsigned datasize);
