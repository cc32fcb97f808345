// Test support: the log started once per test program, and its records caught from stderr.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "err/err.h"

struct LogEnv : testing::Environment {
  void SetUp() override { err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr); }
  void TearDown() override { err_free(); }
};
inline testing::Environment* const log_env = testing::AddGlobalTestEnvironment(new LogEnv);

// The first look ends the capture.
struct LogCapture {
  std::string got;
  LogCapture() { testing::internal::CaptureStderr(); }
  ~LogCapture() { done(); }
  const std::string& done() {
    if (got.empty()) {
      fflush(stderr);
      got = testing::internal::GetCapturedStderr() + " ";  // a space marks it taken
    }
    return got;
  }
  bool has(const std::string& s) { return done().find(s) != std::string::npos; }
};

// Sets an environment variable for the runtime; nullptr removes it.
inline void set_env(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  value ? setenv(name, value, 1) : unsetenv(name);
#endif
}
