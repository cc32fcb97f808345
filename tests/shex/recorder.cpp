// Stands in for the windowed program: writes its command line, exactly as it was given
// (the wide one, in UTF-8), to the file named by SHEX_RECORD. The file appears whole (written aside, then renamed),
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
  static char cmdln[65536];
  int len = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, cmdln, sizeof cmdln, nullptr, nullptr);
  bool ok = len > 0 && fwrite(cmdln, 1, strlen(cmdln), f) == strlen(cmdln);
  if (fclose(f) != 0 || !ok) return 4;
  return MoveFileExA(tmp, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 5;
}
