// Started by the command tests through the shell: writes its command line and its working
// directory, one per line, to the file named by CMDREC_OUT. The file appears whole (written
// aside, then renamed), so a test that sees it may read it.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
  char path[MAX_PATH], tmp[MAX_PATH + 4], cwd[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("CMDREC_OUT", path, sizeof path);
  if (!n || n >= sizeof path) return 2;
  DWORD m = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (!m || m >= sizeof cwd) return 3;
  snprintf(tmp, sizeof tmp, "%s.tmp", path);
  FILE* f = fopen(tmp, "wb");
  if (!f) return 4;
  bool ok = fprintf(f, "%s\n%s\n", GetCommandLineA(), cwd) > 0;
  if (fclose(f) != 0 || !ok) return 5;
  return MoveFileExA(tmp, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 6;
}
