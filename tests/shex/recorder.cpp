// Stands in for the windowed program: writes its command line, exactly as it was given,
// to the file named by SHEX_RECORD. The file appears whole (written aside, then renamed),
// so a test that sees it may read it.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
  char path[MAX_PATH], tmp[MAX_PATH + 4];
  DWORD n = GetEnvironmentVariableA("SHEX_RECORD", path, sizeof path);
  if (!n || n >= sizeof path) return 2;
  snprintf(tmp, sizeof tmp, "%s.tmp", path);
  FILE* f = fopen(tmp, "wb");
  if (!f) return 3;
  const char* cmdln = GetCommandLineA();
  bool ok = fwrite(cmdln, 1, strlen(cmdln), f) == strlen(cmdln);
  if (fclose(f) != 0 || !ok) return 4;
  return MoveFileExA(tmp, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
