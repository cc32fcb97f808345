#include "err/errtest_helper.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <regex>

namespace {
void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = dir + "\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        remove_tree(p);
      else
        DeleteFileA(p.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}
}  // namespace

TempDir::TempDir() {
  static unsigned seq = 0;
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string base = tmp;
  if (!base.empty() && base.back() == '\\') base.pop_back();
  for (;;) {
    path_ = base + "\\errtest-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++seq) + "-" +
            std::to_string(GetTickCount());
    if (CreateDirectoryA(path_.c_str(), nullptr)) break;
  }
}

TempDir::~TempDir() { remove_tree(path_); }

std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
  }
  return s;
}

std::string read_text(const std::string& path) {
  std::string s = read_file(path), t;
  for (size_t i = 0; i < s.size(); ++i)
    if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) t += s[i];
  return t;
}

bool file_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> v;
  size_t b = 0;
  while (b < text.size()) {
    size_t e = text.find('\n', b);
    if (e == std::string::npos) e = text.size();
    v.push_back(text.substr(b, e - b));
    b = e + 1;
  }
  return v;
}

std::vector<std::string> files_in(const std::string& dir) {
  std::vector<std::string> v;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return v;
  do
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) v.push_back(fd.cFileName);
  while (FindNextFileA(h, &fd));
  FindClose(h);
  return v;
}

FdCapture::FdCapture(int fd, const std::string& path) : fd_(fd), path_(path) {
  fflush(fd == 1 ? stdout : stderr);
  saved_ = _dup(fd);
  int f = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0666);
  _dup2(f, fd);
  _close(f);
}

FdCapture::~FdCapture() { stop(); }

std::string FdCapture::stop() {
  if (saved_ >= 0) {
    fflush(fd_ == 1 ? stdout : stderr);
    _dup2(saved_, fd_);
    _close(saved_);
    saved_ = -1;
  }
  return read_text(path_);
}

EnvVar::EnvVar(const char* name, const char* value) : name_(name) {
  char buf[4096];
  DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
  had_ = n > 0 && n < sizeof buf;
  if (had_) old_ = buf;
  SetEnvironmentVariableA(name, value);
}

EnvVar::~EnvVar() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }

std::string exe_path() {
  char p[MAX_PATH];
  GetModuleFileNameA(nullptr, p, sizeof p);
  return p;
}

std::string exe_dir() {
  std::string p = exe_path();
  return p.substr(0, p.find_last_of("\\/"));
}

std::string app_name() {
  std::string p = exe_path();
  p = p.substr(p.find_last_of("\\/") + 1);
  return p.substr(0, p.find_last_of('.'));
}

unsigned long own_pid() { return GetCurrentProcessId(); }

int err_init_to(const std::string& file, const std::string& more, const std::vector<std::string>& args,
                err_hook hook, void* usrdata) {
  std::vector<std::string> words{"test"};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  std::string opts = "-errout:\"" + file + "\" " + more;
  return err_init((int)words.size(), argv.data(), opts.c_str(), nullptr, hook, usrdata);
}

std::string re_escape(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (strchr("\\^$.|?*+()[]{}", c)) r += '\\';
    r += c;
  }
  return r;
}

std::string head_re(const std::string& name, const char* word, int code, const std::string& where,
                    const std::string& pid_part, const std::string& src, unsigned line) {
  return re_escape(name) + ": " + word + " " + std::to_string(code) +
         R"( \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} )" + re_escape(where + pid_part + " " + src) + "\\(" +
         std::to_string(line) + "\\)";
}

std::string internal_head_re(int code) {
  return "ERR: ERROR " + std::to_string(code) + " " + re_escape(exe_path() + "(" + std::to_string(own_pid()) + ")") +
         R"( src/err/err(_pipe)?\.cpp\(\d+\)\nERR: )";
}

std::string internal_re(int code, const std::string& msg) { return internal_head_re(code) + re_escape(msg) + "\n"; }

bool matches(const std::string& s, const std::string& re) { return std::regex_match(s, std::regex(re)); }
