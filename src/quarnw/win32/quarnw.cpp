// Entry point of the windowed program.
#include <windows.h>

#include <cstdlib>

#include "err/err.h"
#include "err/sigh.h"
#include "quarnw/win32/quarnw.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  err_init(__argc, __argv, "-errout:$(app).err", nullptr, uerrque_hook, &g_uerrque);
  int ended = 0;
  int rc = quarnw_startup(__argc - 1, __argv + 1, show, &ended);
  if (!rc && !ended) rc = quarnw_loop();
  rc = quarnw_shutdown(rc);
  sigh_restore();
  err_free();
  return rc ? 1 : 0;
}
