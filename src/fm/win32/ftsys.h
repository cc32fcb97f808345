// The file system calls of the file operations: each returns 0 or the system's code.
#pragma once

// Codes meaning "not there".
inline bool ftsys_absent(int code) { return code == 2 || code == 3; }

// *attr receives the attributes; 2 or 3 when the path does not exist.
int ftsys_attr(const char* path, unsigned* attr);
int ftsys_set_attr(const char* path, unsigned attr);
// Copies over an existing destination.
int ftsys_copy(const char* src, const char* dst);
// Renames, replacing an existing file; across volumes the system copies and deletes.
int ftsys_move(const char* src, const char* dst);
int ftsys_delete(const char* path);
int ftsys_rmdir(const char* path);
int ftsys_mkdir(const char* path);
// The shell's delete into the recycle bin, without any window of its own unless confirm
// is set (the shell then asks). Returns the shell's result; *aborted: the user cancelled.
int ftsys_recycle(const char* path, int confirm, int* aborted);
