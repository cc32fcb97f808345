// The runtime's low-level descriptor calls under their Windows names, for the Linux
// build of the portable modules' tests.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#define _O_RDONLY O_RDONLY
#define _O_WRONLY O_WRONLY
#define _O_RDWR O_RDWR
#define _O_CREAT O_CREAT
#define _O_TRUNC O_TRUNC
#define _O_APPEND O_APPEND
#define _O_EXCL O_EXCL
#define _O_BINARY 0
#define _O_TEXT 0

inline int _open(const char* path, int flags, int mode = 0666) { return open(path, flags, mode); }
inline int _close(int fd) { return close(fd); }
inline int _dup(int fd) { return dup(fd); }
inline int _dup2(int from, int to) { return dup2(from, to); }
inline int _read(int fd, void* buf, unsigned n) { return (int)read(fd, buf, n); }
inline int _write(int fd, const void* buf, unsigned n) { return (int)write(fd, buf, n); }
inline long _lseek(int fd, long off, int whence) { return (long)lseek(fd, off, whence); }

#include <sys/stat.h>

#define _stat stat
#define _S_IFDIR S_IFDIR
#define _S_IFREG S_IFREG
inline int _access(const char* path, int mode) { return access(path, mode); }
