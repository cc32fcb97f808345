// File and path utilities: tests on files and directories, full paths, opening output files.
// The pure path text helpers live in c/path.h.
#pragma once

#include "c/path.h"

int mox_path_exists(const char* path);
int mox_is_dir(const char* path);
int mox_dir_is_empty(const char* path);
int mox_is_readonly(const char* path);
// GetFullPathName into rpath; *fname (optional) points at the name part of rpath.
int mox_full_path(const char* path, char* rpath, unsigned rpathsz, char** fname = nullptr);

enum { MOX_OPEN_APPEND = 1 };
// Opens fname for writing with an inheritable handle (a HANDLE in *handle); flag
// MOX_OPEN_APPEND appends, else the file is created or truncated. On failure errmsg
// (optional) receives a text for the user and the system code is returned.
int mox_open_file(const char* fname, unsigned flags, void** handle, char* errmsg, unsigned errmsgsz);
