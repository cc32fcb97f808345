// Path text helpers: pure text work, no system calls. "\\" and "/" both separate.
#pragma once

inline bool mox_is_sep(char c) { return c == '\\' || c == '/'; }

// Root of the path at *pathptr (drive, UNC share, \\?\ and \\.\ forms, leading separator,
// or the first component with its separator); *pathptr moves past it. An empty root
// gives *ptr nullptr and *len 0.
int mox_path_root(const char** pathptr, const char** ptr, unsigned* len);
// The next component without separators; *ptr nullptr and *len 0 at the end.
int mox_path_next(const char** pathptr, const char** ptr, unsigned* len);
// Pointers into path; every out-argument is optional. fnamelen excludes the extension;
// ext is nullptr when the name has none (a leading dot does not start one).
int mox_path_split(const char* path, const char** dir, unsigned* dirlen, const char** fname, unsigned* fnamelen,
                   const char** ext);
// Copies of the parts; either buffer may be nullptr. The name keeps its extension here.
int mox_split_dir_fname(const char* path, char* dir, unsigned dirsz, char* fname, unsigned fnamesz);
int mox_split_dir_fname_ext(const char* path, char* dir, unsigned dirsz, char* fname, unsigned fnamesz, char* ext,
                            unsigned extsz);
const char* mox_path_ext(const char* path);

int mox_same_root(const char* path1, const char* path2);

// err (optional) receives 0, 9003 or 9005.
char* mox_path_add_sep(const char* path, char* buf, unsigned bufsz, int* err = nullptr);
char* mox_path_del_sep(const char* path, char* buf, unsigned bufsz, int* err = nullptr);
char* mox_quote_path(const char* path, char* buf, unsigned bufsz, int* err = nullptr);
