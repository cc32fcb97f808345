// Captures what the error log writes to standard error while a piece of code runs.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <initializer_list>
#include <utility>
#include <string>

#include "err/err.h"

inline std::string val_capture_log(const std::function<void()>& run) {
  if (!err_active) err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr);
  char dir[MAX_PATH], path[MAX_PATH];
  if (!GetTempPathA(sizeof dir, dir) || !GetTempFileNameA(dir, "vlc", 0, path)) return "<no temp file>";
  int fd = _open(path, _O_RDWR | _O_TRUNC | _O_BINARY);
  if (fd < 0) return "<no temp file>";
  fflush(stderr);
  int saved = _dup(2);
  _dup2(fd, 2);
  run();
  fflush(stderr);
  _dup2(saved, 2);
  _close(saved);
  std::string out;
  char buf[4096];
  _lseek(fd, 0, SEEK_SET);
  for (int n; (n = _read(fd, buf, sizeof buf)) > 0;) out.append(buf, n);
  _close(fd);
  DeleteFileA(path);
  return out;
}

inline bool val_logged(const std::string& log, const std::string& msg, int code) {
  return log.find(msg) != std::string::npos && log.find(" " + std::to_string(code) + " ") != std::string::npos;
}

// The first of the expected messages (with their codes) that the log lacks, or "".
inline std::string val_missing(const std::string& log, std::initializer_list<std::pair<const char*, int>> msgs) {
  for (const auto& m : msgs)
    if (!val_logged(log, m.first, m.second)) return m.first;
  return "";
}
