// Test helper for filter commands: exitcode CODE [-sleep:MS] [ARG...]
// Writes "out:" and the arguments after CODE (joined by '|') to standard output, "err:"
// and the same to standard error, sleeps MS milliseconds, and exits with CODE. CODE
// "name" takes the number at the start of the last argument's file name (0 if none).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    fputs("usage: exitcode CODE [-sleep:MS] [ARG...]\n", stderr);
    return 125;
  }
  int first = 2;
  DWORD sleep_ms = 0;
  if (argc > 2 && strncmp(argv[2], "-sleep:", 7) == 0) {
    sleep_ms = (DWORD)strtoul(argv[2] + 7, nullptr, 10);
    first = 3;
  }
  std::string args;
  for (int i = first; i < argc; ++i) {
    if (i > first) args += '|';
    args += argv[i];
  }
  printf("out:%s\n", args.c_str());
  fflush(stdout);
  fprintf(stderr, "err:%s\n", args.c_str());
  fflush(stderr);
  if (sleep_ms) Sleep(sleep_ms);

  if (strcmp(argv[1], "name") != 0) return atoi(argv[1]);
  if (argc <= first) return 0;
  const char* last = argv[argc - 1];
  const char* base = last;
  for (const char* p = last; *p; ++p)
    if (*p == '\\' || *p == '/') base = p + 1;
  return atoi(base);
}
