// The windowed program's texts: its built-in text file, then the user's own file.
#pragma once

#include "txr/txr.h"

// The user's text file: fname unchanged when it has a directory part, else fname in
// the directory, else "APP.txr" there. The directory is dir, or else the per-user data
// directory joined with the vendor word com. 0, or the code of a failure (9005: cut).
int apptxr_fname(const char* app, const char* com, const char* dir, const char* fname, char* buf, unsigned bufsz);

// Initialises the store for the requested language, loads the built-in text file
// (plain or bzip2 data; none when data is nullptr), whose failure ends the operation
// with its code, and then the user's file if it exists. A failure in the user's file
// is logged where it arises and leaves what was stored before it; it does not fail
// the operation.
int apptxr_load(txr* tx, const char* lang, const char* app, const char* com, const void* data, unsigned datasize,
                const char* dir, const char* fname);
