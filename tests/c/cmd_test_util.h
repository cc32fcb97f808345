// Shared by the tests of the command-line modules: the log, its capture, the environment.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "err/err.h"

namespace cmdtest {

struct LogEnv : testing::Environment {
  void SetUp() override { err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr); }
  void TearDown() override { err_free(); }
};
static testing::Environment* const log_env = testing::AddGlobalTestEnvironment(new LogEnv);

// The records the log writes to standard error while it lives.
struct LogCapture {
  LogCapture() { testing::internal::CaptureStderr(); }
  std::string text() {
    fflush(stderr);
    return testing::internal::GetCapturedStderr();
  }
};

inline bool has(const std::string& log, const std::string& msg) { return log.find(msg) != std::string::npos; }

// nullptr removes the variable.
inline void set_env(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  value ? setenv(name, value, 1) : unsetenv(name);
#endif
}

}  // namespace cmdtest
