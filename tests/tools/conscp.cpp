// Test helper: prints the console's output code page, so a test can see that a
// program run before it on the same console left it as it was.
#include <windows.h>

#include <cstdio>

int main() {
  printf("output code page %u\n", GetConsoleOutputCP());
  return 0;
}
