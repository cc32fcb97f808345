// The error log of a test program writes to a file of its own; a LogFile reads
// back what was added since it was made.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "err/err.h"

class LogFile {
 public:
  LogFile() {
    if (path().empty()) {
      auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
      path() = (std::filesystem::temp_directory_path() / ("tsm_log_" + std::to_string(stamp) + ".txt")).string();
      std::string opt = "-errout:" + path();
      err_init(0, nullptr, opt.c_str(), nullptr, nullptr, nullptr);
      std::atexit(remove_file);
    }
    std::error_code ec;
    auto n = std::filesystem::file_size(path(), ec);
    start_ = ec ? 0 : (size_t)n;
  }
  std::string text() const {
    std::ifstream in(path(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string all = ss.str();
    return all.size() > start_ ? all.substr(start_) : std::string();
  }
  bool has(const std::string& msg) const { return text().find(msg) != std::string::npos; }

 private:
  static void remove_file() {
    err_free();
    std::error_code ec;
    std::filesystem::remove(path(), ec);
  }
  static std::string& path() {
    static std::string p;
    return p;
  }
  size_t start_;
};
