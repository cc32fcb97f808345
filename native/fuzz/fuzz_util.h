// Shared by the fuzz harnesses: a quiet error log that still formats every record, a
// clean environment, input splitting and checks that stop the run on a wrong result.
#pragma once

#include <bzlib.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "err/err.h"

namespace fuzz {

// Records and user reports are built as usual and thrown away: the formatting of
// hostile texts into messages is part of what is tried.
inline int drop_report(const uerr_item* item, void*) { return item && item->msg ? 0 : 1; }

// Once per process: the log to /dev/null and only the variables the harness sets, so
// that no input reaches the machine's own environment.
inline void setup(const std::vector<std::pair<const char*, const char*>>& env = {}) {
  static bool done = false;
  if (done) return;
  done = true;
  clearenv();
  for (const auto& [name, value] : env) setenv(name, value, 1);
  err_init(0, nullptr, "-errout:/dev/null -errsever:DBG", nullptr, drop_report, nullptr);
}

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
  fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", what, file, line);
  abort();
}

#define FUZZ_CHECK(cond) \
  do {                   \
    if (!(cond)) ::fuzz::fail(#cond, __FILE__, __LINE__); \
  } while (0)

// The input as a text: the bytes up to the first zero.
inline std::string text(const uint8_t* data, size_t size) {
  std::string s(reinterpret_cast<const char*>(data), size);
  size_t z = s.find('\0');
  if (z != std::string::npos) s.resize(z);
  return s;
}

// The first byte steers the harness; the rest is the text. Empty input: 0 and "".
inline uint8_t head(const uint8_t*& data, size_t& size) {
  if (!size) return 0;
  uint8_t b = *data++;
  size--;
  return b;
}

inline std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> v;
  size_t b = 0;
  for (;;) {
    size_t e = s.find('\n', b);
    v.push_back(s.substr(b, e == std::string::npos ? std::string::npos : e - b));
    if (e == std::string::npos) break;
    b = e + 1;
  }
  return v;
}

// A terminated text inside its buffer.
inline bool terminated(const char* buf, size_t size) { return size && memchr(buf, 0, size) != nullptr; }

// Once per process: a fresh directory /tmp/quarn-fuzz-TAG-XXXXXX becomes the working one,
// so included names stay inside it; it and the named files in it go at exit. True the
// first time only.
inline bool enter_own_dir(const char* tag, std::vector<const char*> files) {
  static std::string dir;
  static std::vector<const char*> names;
  if (!dir.empty()) return false;
  dir = std::string("/tmp/quarn-fuzz-") + tag + "-XXXXXX";
  names = std::move(files);
  FUZZ_CHECK(mkdtemp(&dir[0]) != nullptr);
  FUZZ_CHECK(chdir(dir.c_str()) == 0);
  atexit([] {
    for (const char* f : names) unlink(f);
    if (chdir("/") == 0) rmdir(dir.c_str());
  });
  return true;
}

inline void write_file(const char* name, const std::string& text) {
  FILE* f = fopen(name, "wb");
  FUZZ_CHECK(f != nullptr);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

inline std::string bzip(const std::string& text) {
  std::vector<char> out(text.size() + text.size() / 100 + 1024);
  unsigned len = (unsigned)out.size();
  FUZZ_CHECK(BZ2_bzBuffToBuffCompress(out.data(), &len, const_cast<char*>(text.data()), (unsigned)text.size(), 1,
                                      0, 30) == BZ_OK);
  return std::string(out.data(), len);
}

// The text cut at its first two form feeds; missing parts are empty.
inline std::array<std::string, 3> ff_parts(const std::string& all) {
  std::array<std::string, 3> parts;
  size_t b = 0;
  for (int i = 0; i < 3; i++) {
    size_t e = i < 2 ? all.find('\f', b) : std::string::npos;
    parts[i] = all.substr(b, e == std::string::npos ? std::string::npos : e - b);
    if (e == std::string::npos) break;
    b = e + 1;
  }
  return parts;
}

// No other directory is reachable from a text written into the harness's own.
inline void no_slash(std::string& s) {
  for (char& c : s)
    if (c == '/') c = '_';
}

}  // namespace fuzz
