// The copied command line, run by the console tool, finds what the window's search finds:
// the same fields parsed in the relational form and walked into a file list.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "ex/ex.h"
#include "fm/flist.h"
#include "quarn/qnex.h"
#include "quarn/qnexparser.h"
#include "quarn/quarnlib.h"
#include "quarnw/qncmdln.h"
#include "quarnw/qnexfld.h"

namespace {

using V = std::vector<std::string>;

std::string exe_dir() {
  char p[MAX_PATH];
  GetModuleFileNameA(nullptr, p, sizeof p);
  std::string s = p;
  return s.substr(0, s.find_last_of('\\') + 1);
}

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? remove_tree(p) : (void)DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

struct SizedTree {
  std::string root;
  SizedTree() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "qncl" + std::to_string(GetCurrentProcessId());
    const std::pair<const char*, unsigned> files[] = {
        {"empty.c", 0},        {"small.h", 5},         {"under.c", 9640},     {"ten.c", 10240},
        {"over.C", 10840},     {"big.txt", 20000},     {"sub\\my file.txt", 10300},
        {"sub\\deep\\x.c", 30000}, {"sub\\deep\\Y.H", 10200}};
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\sub").c_str(), nullptr);
    CreateDirectoryA((root + "\\sub\\deep").c_str(), nullptr);
    for (const auto& f : files) {
      HANDLE h = CreateFileA((root + "\\" + f.first).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      std::string data(f.second, 'x');
      DWORD n = 0;
      if (f.second) WriteFile(h, data.data(), f.second, &n, nullptr);
      CloseHandle(h);
    }
  }
  ~SizedTree() { remove_tree(root); }
};

// The console tool's lines for cmdln (its first word replaced by the program's path).
V run_console(const std::string& cmdln) {
  char out[MAX_PATH];
  GetTempPathA(MAX_PATH, out);
  static unsigned serial = 0;
  const std::string outfile =
      std::string(out) + "qncl" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial) + ".out";
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE h = CreateFileA(outfile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = h;
  si.hStdError = h;
  PROCESS_INFORMATION pi{};
  const std::string app = exe_dir() + "quarn.exe";
  std::string line = cmdln;
  V lines;
  if (CreateProcessA(app.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi)) {
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  } else {
    ADD_FAILURE() << "quarn.exe did not start: " << GetLastError();
  }
  CloseHandle(h);
  if (FILE* f = fopen(outfile.c_str(), "rb")) {
    std::string cur;
    for (int c; (c = fgetc(f)) != EOF;) {
      if (c == '\r') continue;
      if (c == '\n') lines.push_back(cur), cur.clear();
      else cur += (char)c;
    }
    fclose(f);
  }
  DeleteFileA(outfile.c_str());
  std::sort(lines.begin(), lines.end());
  return lines;
}

int add_match(const qnd* d, int match, unsigned, void* usrdata) {
  return match ? flist_add(static_cast<flist*>(usrdata), d) : 0;
}

// The window's search: the fields' relational expression, every path of the Path field.
V run_window(const qncmdln_src& s) {
  char expr[QNEXFLD_EXPR_SIZE];
  EXPECT_EQ(qnexfld_expr(s.md, s.size, s.name, expr, sizeof expr), 0);
  qnexp p{};
  ex e{};
  int parsed = 0;
  EXPECT_EQ(qnexfld_parse(&p, &e, expr, s.ignorecase, "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*", (long)time(nullptr),
                          &parsed),
            0)
      << expr;
  flist fl{};
  EXPECT_EQ(flist_init(&fl, s.ignorecase), 0);
  qn q;
  quarn_init(&q);
  {
    std::string paths = s.paths;
    size_t from = 0;
    while (from < paths.size()) {
      size_t to = paths.find(' ', from);
      if (to == std::string::npos) to = paths.size();
      const std::string one = paths.substr(from, to - from);
      if (!one.empty()) quarn_find(&q, one.c_str(), parsed ? &e : nullptr, nullptr, nullptr, nullptr, add_match, 1, s.de, &fl);
      from = to + 1;
    }
  }
  quarn_free(&q);
  V lines;
  for (unsigned i = 0; i < flist_count(&fl); ++i) {
    const frec* r = flist_get_found(&fl, i);
    std::string l = std::string(r->dir) + r->name;
    if (r->errcode) l += " - ERR[" + std::to_string(r->errcode) + "]: " + (r->errtext ? r->errtext : "");
    lines.push_back(l);
  }
  flist_free(&fl);
  ex_free(&e);
  qnexparser_free(&p);
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST(CopiedCommandLine, FindsWhatTheWindowFinds) {
  SizedTree t;
  const std::string both = t.root + " " + t.root + "\\missing";
  const diserr quiet2{0, 2};
  const struct {
    std::string paths;
    const char *md, *size, *name;
    int ignorecase;
    const diserr* de;
    size_t least;  // lines the window finds, so a row cannot pass by finding nothing
  } rows[] = {
      {t.root, "", ">10k", "", 1, nullptr, 3},
      {t.root, "", "<10k", "", 1, nullptr, 6},
      {t.root, "", ">=10k", "", 1, nullptr, 6},
      {t.root, "", "<=10k", "", 1, nullptr, 5},
      {t.root, "", "10k", "*.c | *.h", 1, nullptr, 2},
      {t.root, "", "", "*.c | *.h", 0, nullptr, 4},
      {t.root, "", "", "*.c | *.h", 1, nullptr, 6},
      {t.root, "", "", "\"my file.txt\"", 1, nullptr, 1},
      {t.root, ">=2001-01-01", "! >20000", "", 1, nullptr, 8},
      {both, "", ">10k", "", 1, nullptr, 4},
      {both, "", ">10k", "", 1, &quiet2, 3},
  };
  for (const auto& r : rows) {
    const qncmdln_src s{r.paths.c_str(), r.md, r.size, r.name, r.ignorecase, r.de};
    char line[QNCMDLN_SIZE];
    ASSERT_EQ(qncmdln_build(&s, line, sizeof line), 0);
    const V window = run_window(s);
    EXPECT_GE(window.size(), r.least) << line;
    EXPECT_EQ(run_console(line), window) << line;
  }
}

}  // namespace
