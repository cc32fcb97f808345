// Shared pieces of the error log tests: temporary files, captured descriptors,
// head line patterns.
#pragma once

#include <string>
#include <vector>

#include "err/err.h"

// A fresh directory under the temporary path, removed with its content.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

std::string read_file(const std::string& path);  // bytes as stored, "" when missing
std::string read_text(const std::string& path);  // CR LF read back as LF
bool file_exists(const std::string& path);
std::vector<std::string> lines_of(const std::string& text);
std::vector<std::string> files_in(const std::string& dir);

// Sends a runtime descriptor (1 or 2) to a file for as long as it lives.
class FdCapture {
 public:
  FdCapture(int fd, const std::string& path);
  ~FdCapture();
  FdCapture(const FdCapture&) = delete;
  FdCapture& operator=(const FdCapture&) = delete;
  std::string stop();  // restores the descriptor and returns what it received

 private:
  int fd_, saved_;
  std::string path_;
};

// Sets or removes (nullptr) an environment variable until the end of the scope.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value);
  ~EnvVar();
  EnvVar(const EnvVar&) = delete;
  EnvVar& operator=(const EnvVar&) = delete;

 private:
  std::string name_, old_;
  bool had_;
};

std::string exe_path();
std::string exe_dir();
std::string app_name();  // the file name of the test program without extension
unsigned long own_pid();

// err_init with "-errout:"<file>"" in front of more, argv holding "test" and args.
int err_init_to(const std::string& file, const std::string& more = "", const std::vector<std::string>& args = {},
                err_hook hook = nullptr, void* usrdata = nullptr);

// The head line of a record; the time stamp is matched by shape.
std::string head_re(const std::string& name, const char* word, int code, const std::string& where,
                    const std::string& pid_part, const std::string& src, unsigned line);
std::string re_escape(const std::string& s);
// The two lines of an internal error written by the log's source file.
std::string internal_re(int code, const std::string& msg);
std::string internal_head_re(int code);  // up to and with the "ERR: " of the message line
bool matches(const std::string& s, const std::string& re);
