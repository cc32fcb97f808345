// Signal handlers: a crash or an interrupt ends the process with -1 and a log line.
#include "err/sigh.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "err/err.h"

namespace {
// A crash: the process state is suspect, so nothing else of it runs.
void abort_handler(int sig) {
  ERR_LOG(ERR_ERR, -1, "Received signal [%d] - abort.", sig);
  std::_Exit(-1);
}

// An interrupt: exit handlers run and the streams are flushed.
void exit_handler(int sig) {
  ERR_LOG(ERR_ERR, -1, "Received signal [%d] - exit.", sig);
  exit(-1);
}

struct sig_entry {
  int sig;
  void (*handler)(int);
};

constexpr sig_entry kSignals[] = {
    {SIGABRT, abort_handler}, {SIGFPE, abort_handler},  {SIGILL, abort_handler},  {SIGINT, exit_handler},
    {SIGSEGV, abort_handler}, {SIGTERM, abort_handler}, {SIGBREAK, exit_handler},
};

int set_all(bool install) {
  int rc = 0;
  for (const sig_entry& s : kSignals) {
    if (signal(s.sig, install ? s.handler : SIG_DFL) == SIG_ERR) {
      ERR_LOG(ERR_ERR, 9001, "ERROR `%s'!", strerror(errno));
      rc = 9001;
    }
  }
  return rc;
}
}  // namespace

int sigh_install() { return set_all(true); }

int sigh_restore() { return set_all(false); }
