// Installs the signal handlers and raises a signal: sigh_raise -errout:FILE SIGNAL [restore|crash]
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "err/err.h"
#include "err/sigh.h"

namespace {
void note_exit() { ERR_LOG(ERR_ERR, 0, "Exit handlers ran."); }
}  // namespace

int main(int argc, char** argv) {
  err_init(argc, argv, nullptr, nullptr, nullptr, nullptr);
  atexit(note_exit);
  if (sigh_install()) return 2;
  const int sig = argc > 2 ? atoi(argv[2]) : 0;
  const char* how = argc > 3 ? argv[3] : "";
  if (!strcmp(how, "restore") && sigh_restore()) return 3;
  if (!strcmp(how, "crash")) {
    volatile int* volatile p = nullptr;
    *p = sig;
  } else {
    raise(sig);
  }
  ERR_LOG(ERR_ERR, 0, "Still running after signal [%d].", sig);
  err_free();
  return 0;
}
