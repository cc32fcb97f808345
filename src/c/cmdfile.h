// Command files: one logical command per call, with '#' comment lines, lines continued
// by a trailing '\' and nested "!include FILE" lines.
#pragma once

#include <cstdio>

#include "c/arg.h"
#include "c/cmdparser.h"

enum : unsigned {
  CMDF_MAX_FILES = 9  // open files: the first one and eight nested includes
};

struct cmdf {
  char* cmd;  // the command being assembled, owned
  unsigned cmdsize;
  char* line;  // the physical line being read, owned
  unsigned linesize;
  arg a;       // for the caller to split commands into; freed with the record
  cmdp cp;
  unsigned flags;  // options stored at initialisation, read by no module here
  char* text;
  int nums[5];
  FILE* fp[CMDF_MAX_FILES];
  unsigned depth;  // files open
};

int cmdf_clear(cmdf* cf);
int cmdf_free(cmdf* cf);
// Frees the record, stores the options and opens fname as the first file.
int cmdf_init(cmdf* cf, const char* fname, unsigned flags = 0, const char* text = nullptr, int n1 = 0,
              int n2 = 0, int n3 = 0, int n4 = 0, int n5 = 0);
// The next command (valid until the next call), or nullptr with *code 9016 at the end of
// all files, or nullptr with another code on failure.
const char* cmdf_next(cmdf* cf, int* code);
