// The error log of an expression test program: started once with a hook that keeps
// the user reports; diagnostic records are caught from standard error.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "err/err.h"

// "level code message" of every user report since the last take.
inline std::vector<std::string>& qnex_reports() {
  static std::vector<std::string> v;
  return v;
}

inline std::vector<std::string> qnex_take_reports() {
  std::vector<std::string> v;
  v.swap(qnex_reports());
  return v;
}

inline int qnex_report_hook(const uerr_item* item, void*) {
  qnex_reports().push_back(std::to_string(item->level) + " " + std::to_string(item->code) + " " +
                           (item->msg ? item->msg : "NUL"));
  return 0;
}

struct QnexLogEnv : testing::Environment {
  void SetUp() override { err_init(0, nullptr, nullptr, nullptr, qnex_report_hook, nullptr); }
  void TearDown() override { err_free(); }
};
inline testing::Environment* const qnex_log_env = testing::AddGlobalTestEnvironment(new QnexLogEnv);

// Records written while it lives; the first look ends the capture.
struct RecordCapture {
  std::string got;
  bool taken = false;
  RecordCapture() { testing::internal::CaptureStderr(); }
  ~RecordCapture() { done(); }
  const std::string& done() {
    if (!taken) {
      fflush(stderr);
      got = testing::internal::GetCapturedStderr();
      taken = true;
    }
    return got;
  }
  bool has(const std::string& s) { return done().find(s) != std::string::npos; }
};
