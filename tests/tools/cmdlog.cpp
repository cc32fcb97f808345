// Started by the result list's command tests through the shell, several at once: appends
// its command line and its working directory as one line "cmdline|cwd" to the file named
// by CMDLOG_OUT. The line is written in one call to a file opened for appending, retried
// while another copy holds it.
#include <windows.h>

#include <cstdio>

int main() {
  char path[MAX_PATH], cwd[MAX_PATH], line[4096];
  DWORD n = GetEnvironmentVariableA("CMDLOG_OUT", path, sizeof path);
  if (!n || n >= sizeof path) return 2;
  DWORD m = GetCurrentDirectoryA(sizeof cwd, cwd);
  if (!m || m >= sizeof cwd) return 3;
  int len = snprintf(line, sizeof line, "%s|%s\n", GetCommandLineA(), cwd);
  if (len <= 0 || len >= (int)sizeof line) return 4;
  for (int i = 0; i < 200; ++i) {
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      Sleep(10);
      continue;
    }
    DWORD w = 0;
    BOOL ok = WriteFile(h, line, (DWORD)len, &w, nullptr);
    CloseHandle(h);
    return ok && w == (DWORD)len ? 0 : 5;
  }
  return 6;
}
