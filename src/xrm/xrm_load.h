// Resource files: lines "spec : value", comments, "#include" lines, backslash
// continuations; read from files or from an image in memory (plain or bzip2).
#pragma once

#include <cstdio>

#include "xrm/xrm.h"

enum : unsigned {
  XRML_SPEC_MAX = 256,      // a resource pattern is shorter
  XRML_VALUE_MAX = 8192,    // a value as written is shorter, and decoded fits
  XRML_INCLUDE_MAX = 9,     // files open at once
  XRML_FNAME_MAX = 4096,    // an include name
  XRML_BUF_SIZE = 16384,    // read buffer of each file
  XRML_ERRTEXT_SIZE = 4097  // the first error's text
};

struct xrml_src;  // one open file or image (name, stream, line count, buffer)

struct xrml {
  db* xdb;                // target database
  xrml_src* cur;          // current source
  xrml_src* srcs;         // stack of open sources, XRML_INCLUDE_MAX entries while loading
  unsigned nsrcs;
  int err;                // code of the first error, 0 while none
  char errtext[XRML_ERRTEXT_SIZE];
};

// Clears the record (no resources held between loads).
void xrml_init(xrml* l);
void xrml_free(xrml* l);
// Loads fname and its includes into d under d's manager's mutex; the first error's code.
int xrml_load_file(xrml* l, db* d, const char* fname);
// Loads a file image: bzip2 ("BZh") decompressed while scanned, gzip refused (9013), else text.
int xrml_load_data(xrml* l, db* d, const void* data, unsigned datasize);
