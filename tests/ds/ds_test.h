// Shared by the container tests: capture of the log records a call writes, and
// payload callbacks that count their calls and track what is alive.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "err/err.h"

inline int ds_dup(int fd) {
#ifdef _WIN32
  return _dup(fd);
#else
  return dup(fd);
#endif
}
inline int ds_dup2(int from, int to) {
#ifdef _WIN32
  return _dup2(from, to);
#else
  return dup2(from, to);
#endif
}

// What the log writes to standard error while run() runs.
inline std::string ds_capture_log(const std::function<void()>& run) {
  if (!err_active) err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr);
  FILE* tmp = std::tmpfile();
  if (!tmp) return "<no temp file>";
  std::fflush(stderr);
  int saved = ds_dup(2);
  ds_dup2(fileno(tmp), 2);
  run();
  std::fflush(stderr);
  ds_dup2(saved, 2);
  std::string out;
  std::rewind(tmp);
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, tmp)) > 0;) out.append(buf, n);
  std::fclose(tmp);
  return out;
}

// A record with this message text and this code.
inline bool ds_logged(const std::string& log, const std::string& msg, int code) {
  return log.find(msg) != std::string::npos && log.find(" " + std::to_string(code) + " ") != std::string::npos;
}

inline std::string ds_fmt(const char* fmt, ...) ERR_PRINTF_LIKE(1, 2);
inline std::string ds_fmt(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

// Payload callbacks over heap texts: the data slot holds a char* that the copy
// duplicates and the release frees. usrdata points at the counter.
struct ds_counter {
  int inits = 0, copies = 0, releases = 0;
  int fail_copy_at = 0;               // the n-th copy fails with 9012 (0: never)
  std::set<const void*> live;         // texts duplicated and not yet freed
  std::vector<std::string> released;  // texts in release order
};

inline int ds_init_cb(unsigned, void* data, unsigned*, unsigned*, void* usrdata) {
  ++static_cast<ds_counter*>(usrdata)->inits;
  *static_cast<char**>(data) = nullptr;
  return 0;
}

// src: the address of a char* (a slot), as plain lists and trees pass it
inline int ds_copy_slot_cb(unsigned, void* dst, unsigned*, unsigned*, unsigned, const void* src, unsigned,
                           void* usrdata) {
  ds_counter* c = static_cast<ds_counter*>(usrdata);
  if (++c->copies == c->fail_copy_at) return 9012;
  const char* s = *static_cast<const char* const*>(src);
  if (!s) {
    *static_cast<char**>(dst) = nullptr;
    return 0;
  }
  char* d = static_cast<char*>(std::malloc(std::strlen(s) + 1));
  std::strcpy(d, s);
  c->live.insert(d);
  *static_cast<char**>(dst) = d;
  return 0;
}

// src: the text itself, as value lists, arrays and trees of nodes pass it
inline int ds_copy_text_cb(unsigned t, void* dst, unsigned* ds, unsigned* dm, unsigned st, const void* src, unsigned ss,
                           void* usrdata) {
  return ds_copy_slot_cb(t, dst, ds, dm, st, &src, ss, usrdata);
}

inline int ds_release_cb(unsigned, void* data, unsigned*, unsigned*, void* usrdata) {
  ds_counter* c = static_cast<ds_counter*>(usrdata);
  ++c->releases;
  char* s = *static_cast<char**>(data);
  if (s) {
    if (c->live.erase(s)) {
      c->released.push_back(s);
      std::free(s);
    } else {
      c->released.push_back("<NOT LIVE>");  // freed twice or never ours
    }
  }
  *static_cast<char**>(data) = nullptr;
  return 0;
}
