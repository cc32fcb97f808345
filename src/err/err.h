// Error log: one per process. Diagnostic records go to a stream and the monitor
// pipe; user reports go to a hook or the stream. Every public call keeps errno
// and the thread's last error as the caller left them.
#pragma once

#include <ctime>

// The C99 formatter of the runtime (the build selects MinGW's own stdio).
#define ERR_PRINTF_LIKE(f, a) __attribute__((format(gnu_printf, f, a)))

enum {
  ERR_EMERG = 1, ERR_ALERT, ERR_CRIT, ERR_ERR, ERR_WARN, ERR_NOTICE, ERR_INFO, ERR_DBG
};

// the log's own result codes
enum {
  ERR_E_MUTEX = 7001, ERR_E_PARAM = 7002, ERR_E_NOMEM = 7003, ERR_E_CUT = 7004, ERR_E_MAXOPTS = 7005
};

// Fixed sizes the log works with.
enum {
  ERR_BUFSIZE = 32768,  // one record, one user message, one internal error
  ERR_OPTSIZE = 256,    // an option name or value with its terminating zero
  ERR_MAXOPTS = 128     // option words in the default text and in ERR
};

struct uerr_item {
  int level;
  int code;
  const char* name;
  unsigned pid;      // as the caller passed it; (unsigned)-1 is this process
  struct tm tm;      // local time of the report
  const char* msg;   // valid only during the hook call
};

typedef int (*err_hook)(const uerr_item* item, void* usrdata);

// Read by every reporting site before it calls the log.
extern volatile int err_active;
extern volatile int errsever;

// module: an HMODULE whose file names the program, or nullptr for the main module.
// Options come from defopts, then the environment variable ERR, then argv[1..].
int err_init(int argc, char** argv, const char* defopts, void* module, err_hook hook, void* usrdata);
void err_free();

// pid: -1 this process, -2 none printed, else printed as given.
int err_head(int level, int code, const char* name, long pid, const char* srcfile, unsigned line);
int err_printf(const char* format, ...) ERR_PRINTF_LIKE(1, 2);
int err_user_head(int level, int code, const char* name, long pid);
int err_user_printf(const char* format, ...) ERR_PRINTF_LIKE(1, 2);

// The word of a level in records: "ERR", "DBG", ... or nullptr for a level outside 1-8.
const char* err_level_word(int level);

// For the log's own modules: a failure of the log itself, written straight to the
// stream (standard error while none is open), without the mutex and the pipe.
void err_internal(int code, const char* srcfile, unsigned line, const char* format, ...) ERR_PRINTF_LIKE(4, 5);

// Reporting call sites: the active flag and threshold are tested before anything is formatted.
#define ERR_LOG(level, code, ...)                                                     \
  do {                                                                                \
    if (err_active && errsever >= (level) &&                                          \
        err_head((level), (code), nullptr, -1, __FILE__, __LINE__) == 0)             \
      err_printf(__VA_ARGS__);                                                        \
  } while (0)

#define ERR_USER(level, code, ...)                                                    \
  do {                                                                                \
    if (err_active && err_user_head((level), (code), nullptr, -1) == 0)               \
      err_user_printf(__VA_ARGS__);                                                   \
  } while (0)
