// Shared pieces of the error log tests: temporary files, captured descriptors,
// head line patterns.
#pragma once

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "err/err.h"

// A fresh directory under the temporary path, removed with its content.
struct TempDir {
  std::string path;
  TempDir() {
    static unsigned seq = 0;
    auto base = std::filesystem::temp_directory_path();
    do path = (base / ("errtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++seq))).string();
    while (!CreateDirectoryA(path.c_str(), nullptr));
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string file(const std::string& name) const { return path + "\\" + name; }
};

inline std::string read_raw(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
// The file's text with CR LF read back as LF; "" when missing.
inline std::string read_text(const std::string& path) { return std::regex_replace(read_raw(path), std::regex("\r\n"), "\n"); }
inline bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }
inline std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) v.push_back(l);
  return v;
}

// Sends a runtime descriptor (1 or 2) to a file for as long as it lives.
class FdCapture {
 public:
  FdCapture(int fd, const std::string& path) : fd_(fd), path_(path) {
    fflush(fd == 1 ? stdout : stderr);
    saved_ = _dup(fd);
    int f = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
    _dup2(f, fd);
    _close(f);
  }
  ~FdCapture() { stop(); }
  // restores the descriptor and returns what it received
  std::string stop() {
    if (saved_ >= 0) {
      fflush(fd_ == 1 ? stdout : stderr);
      _dup2(saved_, fd_);
      _close(saved_);
      saved_ = -1;
    }
    return read_text(path_);
  }

 private:
  int fd_, saved_;
  std::string path_;
};

// Sets or removes (nullptr) an environment variable until the end of the scope; the tests
// start without it.
struct EnvVar {
  EnvVar(const char* name, const char* value) : name_(name) { SetEnvironmentVariableA(name, value); }
  ~EnvVar() { SetEnvironmentVariableA(name_.c_str(), nullptr); }
  std::string name_;
};

inline std::string exe_path() {
  char p[MAX_PATH];
  return std::string(p, GetModuleFileNameA(nullptr, p, sizeof p));
}
// the file name of the test program without extension
inline std::string app_name() {
  std::string p = exe_path().substr(exe_path().find_last_of("\\/") + 1);
  return p.substr(0, p.find_last_of('.'));
}

// err_init with "-errout:"<file>"" in front of more, argv holding "test" and args.
inline int err_init_to(const std::string& file, const std::string& more = "", std::vector<std::string> args = {},
                       err_hook hook = nullptr, void* usrdata = nullptr) {
  args.insert(args.begin(), "test");
  std::vector<char*> argv;
  for (auto& w : args) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  std::string opts = "-errout:\"" + file + "\" " + more;
  return err_init((int)args.size(), argv.data(), opts.c_str(), nullptr, hook, usrdata);
}

inline std::string re_escape(const std::string& s) { return std::regex_replace(s, std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)"); }
// The head line of a record; the time stamp is matched by shape.
inline std::string head_re(const std::string& name, const char* word, int code, const std::string& where,
                           const std::string& src, unsigned line) {
  return re_escape(name) + ": " + word + " " + std::to_string(code) + R"( \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )" +
         re_escape(where + " " + src) + "\\(" + std::to_string(line) + "\\)";
}
// The two lines of an internal error written by the log's source file, up to and
// with the "ERR: " of the message line.
inline std::string internal_head_re(int code) {
  return "ERR: ERROR " + std::to_string(code) + " " +
         re_escape(exe_path() + "(" + std::to_string(GetCurrentProcessId()) + ")") +
         R"( src/err/err(_pipe)?\.cpp\(\d+\)\nERR: )";
}
inline std::string internal_re(int code, const std::string& msg) { return internal_head_re(code) + re_escape(msg) + "\n"; }
inline bool matches(const std::string& s, const std::string& re) { return std::regex_match(s, std::regex(re)); }
