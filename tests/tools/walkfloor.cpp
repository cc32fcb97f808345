// The floor of the walk benchmark: the least a program of this toolchain does to list a
// tree depth first with FindFirstFile/FindNextFile and print the console tool's lines
// (the searched directory itself, then each entry as directory part and name).
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

char path[32768];

// path holds the directory with its separator, len its length
void walk(size_t len) {
  if (len + 4 > sizeof path) return;
  memcpy(path + len, "*.*", 4);
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(path, &fd);
  path[len] = 0;
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const char* n = fd.cFileName;
    if (n[0] == '.' && (!n[1] || (n[1] == '.' && !n[2]))) continue;
    printf("%s%s\n", path, n);
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      size_t nlen = strlen(n);
      if (len + nlen + 2 >= sizeof path) continue;
      memcpy(path + len, n, nlen);
      path[len + nlen] = '\\';
      path[len + nlen + 1] = 0;
      walk(len + nlen + 1);
      path[len] = 0;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    size_t len = strlen(argv[i]);
    if (len + 2 >= sizeof path) continue;
    memcpy(path, argv[i], len + 1);
    if (len > 1 && (path[len - 1] == '\\' || path[len - 1] == '/')) path[--len] = 0;
    printf("%s\n", path);
    path[len++] = '\\';
    path[len] = 0;
    walk(len);
  }
  return 0;
}
