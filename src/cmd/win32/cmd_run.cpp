#include <windows.h>
#include <shellapi.h>

#include "c/str.h"
#include "cmd/cmd.h"
#include "err/err.h"

int cmd_run(const cmd* c, const char* file, const char* dir, void* owner) {
  cmd_exec ex;
  int run = 0;
  if (int e = cmd_prepare(c, file, dir, owner, &ex, &run)) return e;
  if (!run) return 0;
  SHELLEXECUTEINFOA sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = ex.mask;
  sei.hwnd = static_cast<HWND>(ex.owner);
  sei.lpVerb = ex.verb;
  sei.lpFile = ex.file;
  sei.lpParameters = ex.params;
  sei.lpDirectory = ex.dir;
  sei.nShow = ex.show;
  if (ShellExecuteExA(&sei)) return 0;
  DWORD code = GetLastError();
  if (!code) code = 9001;  // the shell may fail without saying why
  ERR_LOG(ERR_ERR, (int)code, "ShellExecuteEx() failed - verb: `%s', pfile: `%s', params: `%s', pdir: `%s'.",
          mox_nul(ex.verb), mox_nul(ex.file), mox_nul(ex.params), mox_nul(ex.dir));
  return (int)code;
}
