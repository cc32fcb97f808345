#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "err/err.h"
#include "ex/ex.h"
#include "quarn/quarnlib.h"

namespace {

using V = std::vector<std::string>;

// Diagnostics go to a file, user reports through the hook.
std::string g_errout;
V g_reports;
std::vector<int> g_codes;

int on_report(const uerr_item* item, void*) {
  g_reports.push_back(item->msg ? item->msg : "");
  g_codes.push_back(item->code);
  return 0;
}

std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    for (int c; (c = fgetc(f)) != EOF;)
      if (c != '\r') s += (char)c;
    fclose(f);
  }
  return s;
}

std::string temp_name(const char* fmt) {
  char tmp[MAX_PATH], name[MAX_PATH];
  static unsigned serial = 0;
  GetTempPathA(MAX_PATH, tmp);
  snprintf(name, sizeof name, fmt, tmp, (unsigned long)GetCurrentProcessId(), ++serial);
  return name;
}

struct LogEnv : testing::Environment {
  void SetUp() override {
    g_errout = temp_name("%sqnwalk%lu_%u.err");
    err_init(0, nullptr, ("-errout:" + g_errout).c_str(), nullptr, on_report, nullptr);
  }
  void TearDown() override {
    err_free();
    DeleteFileA(g_errout.c_str());
  }
};
testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new LogEnv);

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) remove_tree(p);
    else DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

// A fresh directory; names ending in '\' are made as directories.
struct Tree {
  std::string root = temp_name("%sqnw%lu_%u");
  explicit Tree(const V& names) {
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    for (const std::string& n : names) {
      std::string p = path(n);
      if (n.back() == '\\') EXPECT_TRUE(CreateDirectoryA(p.c_str(), nullptr)) << n;
      else CloseHandle(CreateFileA(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
  }
  ~Tree() { remove_tree(root); }
  std::string path(const std::string& rel) const { return root + "\\" + rel; }
};

const V kSample = {"a\\", "a\\x.txt", "a\\y\\", "a\\y\\z.txt", "b.txt", "c\\"};

std::string full_path(const std::string& p) {
  char buf[MAX_PATH * 4];
  DWORD n = GetFullPathNameA(p.c_str(), sizeof buf, buf, nullptr);
  return std::string(buf, n);
}

struct Entry {
  std::string line, dir, rdir, listed;
  bool named, has_errtext;
  int depth, match;
  unsigned count, errcode;
};

struct Seen {
  std::vector<Entry> v;
  std::string root;   // replaced by "R" in the lines
  unsigned stop_at = 0;
  int stop_rc = 0;
  V lines() const {
    V out;
    for (const Entry& e : v) out.push_back(e.line);
    return out;
  }
  template <class T> std::vector<T> field(T Entry::*f) const {
    std::vector<T> out;
    for (const Entry& e : v) out.push_back(e.*f);
    return out;
  }
};

int collect(const qnd* d, int match, unsigned count, void* usrdata) {
  auto* s = static_cast<Seen*>(usrdata);
  Entry e{};
  e.dir = d->dir;
  e.rdir = d->rdir;
  e.line = e.dir + (d->name ? d->name : "");
  if (!s->root.empty() && e.line.compare(0, s->root.size(), s->root) == 0) e.line = "R" + e.line.substr(s->root.size());
  e.named = d->name != nullptr;
  e.listed = d->fd.cFileName;
  e.depth = d->depth;
  e.match = match;
  e.count = count;
  e.errcode = d->errcode;
  e.has_errtext = d->errtext != nullptr;
  s->v.push_back(e);
  return s->v.size() == s->stop_at ? s->stop_rc : 0;
}

// One primary whose test is a function of the entry.
struct test_pri {
  ex_val head;
  int (*fn)(const qnd* d);
};
int test_pri_test(void* usrdata, void* pri) { return static_cast<test_pri*>(pri)->fn(static_cast<const qnd*>(usrdata)); }

struct TestExpr {
  ex e;
  explicit TestExpr(int (*fn)(const qnd*)) {
    ex_clear(&e);
    EXPECT_EQ(ex_init(&e, nullptr), 0);
    auto* p = static_cast<test_pri*>(calloc(1, sizeof(test_pri)));
    p->head.type = EX_PRIMARY;
    p->head.u.test = test_pri_test;
    p->fn = fn;
    int err = 0;
    EXPECT_NE(ex_add(&e, p, &err), nullptr);
  }
  ~TestExpr() { ex_free(&e); }
};

class Walk : public testing::Test {
 protected:
  void SetUp() override {
    quarn_init(&q);
    quarn_prepare(&q);
    g_reports.clear();
    g_codes.clear();
  }
  void TearDown() override { quarn_free(&q); }
  // a walk without filter; the lines name the tree's root R
  Seen find(const std::string& path, const std::string& root, const ex* e = nullptr, int reportall = 0,
            const diserr* de = nullptr, int* rc = nullptr, unsigned stop_at = 0, int stop_rc = 0) {
    Seen s;
    s.root = root;
    s.stop_at = stop_at;
    s.stop_rc = stop_rc;
    int r = quarn_find(&q, path.c_str(), e, nullptr, nullptr, nullptr, collect, reportall, de, &s);
    if (rc) *rc = r;
    else EXPECT_EQ(r, 0) << path;
    return s;
  }
  qn q;
};

TEST_F(Walk, PreAndPostOrder) {
  Tree t(kSample);
  Seen s = find(t.root, t.root);
  EXPECT_EQ(s.field(&Entry::depth), (std::vector<int>{0, 1, 2, 2, 3, 1, 1}));
  EXPECT_EQ(s.field(&Entry::count), (std::vector<unsigned>{1, 2, 3, 4, 5, 6, 7}));
  EXPECT_FALSE(s.v[0].named);  // the searched directory itself
  EXPECT_EQ(s.v[0].listed, ".");
  EXPECT_EQ(s.v[2].dir, t.root + "\\a\\");

  q.postorder = 1;
  quarn_reset(&q);
  s = find(t.root + "\\", t.root);  // one trailing separator is dropped
  EXPECT_EQ(s.field(&Entry::depth), (std::vector<int>{2, 3, 2, 1, 1, 1, 0}));
  EXPECT_EQ(s.v[3].listed, "a");  // reported after its subtree with its own data
  EXPECT_EQ(s.v[6].listed, ".");
  EXPECT_EQ(q.depth, 0);
}

TEST_F(Walk, FilesPatternsAndMissingPaths) {
  Tree t({"a.txt", "b.dat", "cc.txt", "d.txt\\", "d.txt\\in.dat"});
  Seen s = find(t.path("a.txt"), t.root);
  EXPECT_EQ(s.lines(), V{"R\\a.txt"});
  EXPECT_EQ(s.v[0].depth, 1);
  EXPECT_EQ(s.v[0].rdir, full_path(t.root) + "\\");
  // no record for the directory itself; directories among the matches are descended
  EXPECT_EQ(find(t.path("*.txt"), t.root).lines(), (V{"R\\a.txt", "R\\cc.txt", "R\\d.txt", "R\\d.txt\\in.dat"}));

  s = find(t.path("missing"), t.root);
  ASSERT_EQ(s.v.size(), 1u);
  const Entry& e = s.v[0];
  EXPECT_EQ(e.line, "R\\missing");
  EXPECT_EQ(e.rdir, full_path(t.root) + "\\");
  EXPECT_EQ(e.errcode, 2u);
  EXPECT_EQ(e.count, 6u);  // the count runs on across walks
}

TEST_F(Walk, CallbackStopsTheWalk) {
  Tree t(kSample);
  int rc = 0;
  EXPECT_EQ(find(t.root, t.root, nullptr, 0, nullptr, &rc, 3, 9015).lines(), (V{"R\\", "R\\a", "R\\a\\x.txt"}));
  EXPECT_EQ(rc, 9015);
  EXPECT_EQ(q.depth, 0);
  find(t.path("missing"), t.root, nullptr, 0, nullptr, &rc, 1, 7);
  EXPECT_EQ(rc, 7);
}

TEST_F(Walk, ExpressionAndReportAll) {
  Tree t(kSample);
  TestExpr files([](const qnd* d) { return (d->fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1; });
  Seen s = find(t.root, t.root, &files.e);  // directories do not match but are descended
  EXPECT_EQ(s.lines(), (V{"R\\a\\x.txt", "R\\a\\y\\z.txt", "R\\b.txt"}));
  EXPECT_EQ(s.field(&Entry::count), (std::vector<unsigned>{3, 5, 6}));

  quarn_reset(&q);
  q.postorder = 1;
  s = find(t.root, t.root, &files.e, 1);
  EXPECT_EQ(s.lines(), (V{"R\\a\\x.txt", "R\\a\\y\\z.txt", "R\\a\\y", "R\\a", "R\\b.txt", "R\\c", "R\\"}));
  EXPECT_EQ(s.field(&Entry::match), (std::vector<int>{1, 1, 0, 0, 1, 0, 0}));
}

TEST_F(Walk, OverlongPathsBecomeErrorEntries) {
  const size_t before = read_file(g_errout).size();
  for (size_t len : {5000u, 4096u}) {
    int rc = -1;
    const std::string path = "C:\\" + std::string(len - 3, 'p');
    Seen s = find(path, "", nullptr, 0, nullptr, &rc);
    EXPECT_EQ(rc, 0) << len;
    ASSERT_EQ(s.v.size(), 1u) << len;
    EXPECT_EQ(s.v[0].line, path);
    EXPECT_EQ(s.v[0].errcode, 9005u);
    EXPECT_TRUE(s.v[0].has_errtext);
    diserr quiet{0, 9005};
    EXPECT_TRUE(find(path, "", nullptr, 0, &quiet, &rc).v.empty());
  }
  EXPECT_NE(read_file(g_errout).substr(before).find("size: 4096"), std::string::npos);
  EXPECT_EQ(quarn_find(&q, "", nullptr, nullptr, nullptr, nullptr, collect, 0, nullptr, nullptr), 9003);
  EXPECT_EQ(quarn_find(&q, "C:\\", nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr), 9003);
  EXPECT_NE(read_file(g_errout).find("Invalid param - qn: "), std::string::npos);
}

// A directory whose full path passes the system's limit is an error entry; its
// siblings after it are still listed.
TEST_F(Walk, DirectoryPastThePathLimitIsAnErrorEntry) {
  Tree t({"a\\", "z.txt"});
  std::vector<std::wstring> made;  // in the long form, the only one that reaches them
  std::string deep = full_path(t.path("a"));
  while (deep.size() < 300) {
    deep += "\\" + std::string(20, 'd');
    made.push_back(L"\\\\?\\" + std::wstring(deep.begin(), deep.end()));
    ASSERT_TRUE(CreateDirectoryW(made.back().c_str(), nullptr));
  }
  int rc = -1;
  Seen s = find(t.root, t.root, nullptr, 0, nullptr, &rc);
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(it->c_str());
  EXPECT_EQ(rc, 0);
  size_t errors = 0;
  for (const Entry& e : s.v)
    if (e.errcode) {
      ++errors;
      EXPECT_TRUE(e.has_errtext);
      EXPECT_EQ(e.line.substr(e.line.size() - 4), "\\*.*");
    }
  EXPECT_EQ(errors, 1u);
  const V lines = s.lines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "R\\z.txt"), lines.end());
}

TEST(DiserrCvt, BothDirections) {
  unsigned size = 8, small = 4;
  char text[32];
  for (const char* form : {"+4", "-4", "+4-"}) {  // read as the console does (tests/e2e), written back the same
    diserr de{99, 99};
    snprintf(text, sizeof text, "%s", form);
    ASSERT_EQ(quarn_diserr_cvt(0xB0, &de, &size, &size, text, 0, 1), 0) << form;
    ASSERT_EQ(quarn_diserr_cvt(0xB0, &de, &size, &size, text, sizeof text, 0), 0);
    EXPECT_STREQ(text, form);
  }
  diserr de{1, 9017};
  EXPECT_EQ(quarn_diserr_cvt(0xB0, &de, &size, &size, text, 3, 0), 9005);
  de = {7, 7};
  EXPECT_EQ(quarn_diserr_cvt(0x82, &de, &size, &size, text, 0, 1), 9003);
  EXPECT_NE(read_file(g_errout).find("Invalid param - valtype: 0X82, diserr: "), std::string::npos);
  EXPECT_EQ(quarn_diserr_cvt(0xB0, &de, &small, &small, text, 0, 1), 9005);
  EXPECT_EQ(de.op, 7u);  // a slot that is too small is not written
}

// --- filter commands ---

TEST_F(Walk, FilterPreparation) {
  struct Case {
    const char* tmpl;
    int rc;
    const char* cmd;  // or the user report on failure
    std::vector<size_t> pos;
    qn_cmp xmatch, xerr;
  } cases[] = {
      {"cmd %f x %f", 0, "cmd  x ", {4, 7}, {0, 0}, {0, 0}},
      {"^%f ^^ a^", 0, "%f ^ a", {}, {0, 0}, {0, 0}},
      {"100% %d 50%%f", 0, "100% %d 50%", {11}, {0, 0}, {0, 0}},
      {"t %x+1 %e2- end", 0, "t   end", {}, {1, 3}, {-2, 0}},
      {"t %x7junk", 0, "t junk", {}, {7, 0}, {0, 0}},
      {"%f%f%f%f%f cmd", 0, " cmd", {0, 0, 0, 0, 0}, {0, 0}, {0, 0}},
      {"%f%f%f%f%f%f cmd", 9009, "Maximum number of `%f' [5] exceeded.", {}, {0, 0}, {0, 0}},
      {"cmd %e99999999999 x", 9003, "Filter syntax error: 99999999999 x", {}, {0, 0}, {0, 0}},
      {"%x1 %f\n", 9001, "No filter command: %x1 %f\n", {}, {0, 0}, {0, 0}},
  };
  for (const Case& c : cases) {
    g_reports.clear();
    ASSERT_EQ(quarn_filter_prepare(&q, "old %x5 %e+2"), 0);  // a new preparation forgets it all
    ASSERT_EQ(quarn_filter_prepare(&q, c.tmpl), c.rc) << c.tmpl;
    std::vector<size_t> pos;
    for (char* f : q.fpos)
      if (f) pos.push_back((size_t)(f - q.filter));
    if (c.rc) {
      EXPECT_EQ(q.filter, nullptr);
      EXPECT_EQ(g_reports, V{c.cmd});
      continue;
    }
    EXPECT_STREQ(q.filter, c.cmd);
    EXPECT_EQ(pos, c.pos) << c.tmpl;
    EXPECT_TRUE(q.xmatch.value == c.xmatch.value && q.xmatch.op == c.xmatch.op) << c.tmpl;
    EXPECT_TRUE(q.xerr.value == c.xerr.value && q.xerr.op == c.xerr.op) << c.tmpl;
    EXPECT_TRUE(g_reports.empty());
  }
  ASSERT_EQ(quarn_filter_prepare(&q, " \t\r\n"), 0);
  EXPECT_EQ(q.filter, nullptr);
  // a template without command stops the walk before it starts
  int rc = quarn_find(&q, "C:\\", nullptr, "%f", nullptr, nullptr, collect, 0, nullptr, nullptr);
  EXPECT_EQ(rc, 9001);
  EXPECT_EQ(g_codes.back(), 9001);
}

TEST_F(Walk, FilterCommandLines) {
  auto line = [this](const char* tmpl, const char* rdir, const char* name, unsigned size = 32768) {
    EXPECT_EQ(quarn_filter_prepare(&q, tmpl), 0);
    qnd d;
    qnd_clear(&d);
    d.rdir = rdir;
    d.name = name;
    std::vector<char> buf(size + 1, 'x');
    int rc = quarn_filter_cmdln(&q, &d, buf.data(), size);
    return std::to_string(rc) + ":" + buf.data();
  };
  EXPECT_EQ(line("echo", "C:\\a b\\", "x"), "0:echo \"C:\\a b\\x\"");
  EXPECT_EQ(line("echo %f and %f!", "C:\\a b\\", "x"), "0:echo \"C:\\a b\\x\" and \"C:\\a b\\x\"!");
  // a directory's own path ends with a separator, which must not escape the closing quote
  EXPECT_EQ(line("echo", "C:\\a b\\", nullptr), "0:echo \"C:\\a b\\\\\"");
  EXPECT_EQ(line("echo", "C:\\ab\\", nullptr), "0:echo C:\\ab\\");
  EXPECT_EQ(line("echo %f", "C:\\ab\\", "x.txt", 17), "0:echo C:\\ab\\x.txt");
  // every character the command interpreter acts on outside quotes puts the path in quotes
  for (const char* name : {"a&b", "a^b", "a(b", "a)b", "a%b", "a!b", "a,b", "a;b", "a=b"})
    EXPECT_EQ(line("echo", "C:\\ab\\", name), std::string("0:echo \"C:\\ab\\") + name + "\"");
  EXPECT_EQ(line("echo", "C:\\a&b\\", nullptr), "0:echo \"C:\\a&b\\\\\"");
  EXPECT_EQ(line("echo", "C:\\ab\\", "x-y_z.txt"), "0:echo C:\\ab\\x-y_z.txt");
  EXPECT_EQ(line("echo %f", "C:\\ab\\", "x.txt", 16), "9005:");
  int match = 1;
  EXPECT_EQ(quarn_filter_run(&q, nullptr, &match), 9003);
  EXPECT_EQ(quarn_filter_cmdln(nullptr, nullptr, nullptr, 0), 9003);
}

std::string tool() {
  char exe[MAX_PATH];
  std::string p(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
  p = p.substr(0, p.find_last_of("\\/") + 1) + "exitcode.exe";
  EXPECT_NE(GetFileAttributesA(p.c_str()), INVALID_FILE_ATTRIBUTES) << "the tool exitcode is not built";
  return "\"" + p + "\"";
}

Seen filter_walk(qn* q, const Tree& t, const std::string& path, const std::string& filter, int* rc,
                 const char* out = "nul", const char* err = nullptr, const ex* e = nullptr, int reportall = 0) {
  Seen s;
  s.root = t.root;
  *rc = quarn_find(q, path.c_str(), e, filter.c_str(), out, err, collect, reportall, nullptr, &s);
  return s;
}

TEST_F(Walk, FilterExitCodes) {
  Tree t({"0.txt", "1.txt", "2.txt", "3.txt"});
  const std::string f = tool() + " name %f ";  // exits with the number the name starts with
  int rc = 0;
  // the directory's own path ends with a separator: its exit code is 0
  EXPECT_EQ(filter_walk(&q, t, t.root, f, &rc).lines(), (V{"R\\", "R\\0.txt"}));
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(filter_walk(&q, t, t.root, f + "%x+1", &rc).lines(), (V{"R\\2.txt", "R\\3.txt"}));
  Seen s = filter_walk(&q, t, t.root, f + "%e+1 %x2", &rc);
  EXPECT_EQ(s.lines(), (V{"R\\2.txt", "R\\3.txt"}));
  EXPECT_EQ(s.field(&Entry::errcode), (std::vector<unsigned>{2, 3}));
  EXPECT_EQ(s.field(&Entry::has_errtext), (std::vector<bool>{false, false}));
  // only entries the expression matched run the command
  TestExpr only2([](const qnd* d) { return d->name && !strcmp(d->name, "2.txt") ? 1 : 0; });
  s = filter_walk(&q, t, t.root, f + "%x+0", &rc, "nul", nullptr, &only2.e, 1);
  EXPECT_EQ(s.field(&Entry::match), (std::vector<int>{0, 0, 0, 1, 0}));
  EXPECT_EQ(q.filter, nullptr);
}

bool delete_soon(const std::string& path);

// A found name is untrusted: it reaches the command interpreter and a program as one argument.
TEST_F(Walk, FilterHostileNames) {
  const V names = {"a&ver", "b^c(d)", "e,f;g=h!i", "j&echo INJECTED"};
  Tree t(names);
  const std::string out = t.path("..\\" + t.root.substr(t.root.find_last_of('\\') + 1) + "_out.txt");
  const std::string R = full_path(t.root);
  int rc = 0;
  TestExpr files([](const qnd* d) { return d->name ? 1 : 0; });
  filter_walk(&q, t, t.root, "cmd /c echo %f", &rc, out.c_str(), nullptr, &files.e);
  EXPECT_EQ(rc, 0);
  V lines;
  std::string text = read_file(out), l;
  for (char c : text)
    if (c == '\n') lines.push_back(l), l.clear();
    else l += c;
  std::sort(lines.begin(), lines.end());
  V want;
  for (const std::string& n : names) want.push_back("\"" + R + "\\" + n + "\"");
  std::sort(want.begin(), want.end());
  EXPECT_EQ(lines, want) << text;  // no line from a command hidden in a name
  EXPECT_EQ(text.find("INJECTED\n"), std::string::npos);

  // a program that parses its command line gets the name as it is, '%' included
  Tree u({"p%OS%q", "r&s"});
  const std::string R2 = full_path(u.root);
  filter_walk(&q, u, u.root, tool() + " 0", &rc, out.c_str(), "nul", &files.e);
  EXPECT_EQ(rc, 0);
  text = read_file(out);
  EXPECT_NE(text.find("out:" + R2 + "\\p%OS%q\n"), std::string::npos) << text;
  EXPECT_NE(text.find("out:" + R2 + "\\r&s\n"), std::string::npos) << text;
  delete_soon(out);
}

// Under Wine a finished command's console host may hold the inherited handles a moment.
bool delete_soon(const std::string& path) {
  for (int i = 0; i < 40; ++i, Sleep(50))
    if (DeleteFileA(path.c_str())) return true;
  return false;
}

TEST_F(Walk, FilterOutputFiles) {
  Tree t({"d\\", "d\\a"});
  const std::string out = t.path("out.txt"), err = t.path("err.txt"), f = tool() + " 0", R = full_path(t.root);
  const std::string outs = "out:" + R + "\\d\\\nout:" + R + "\\d\\a\n", errs = "err:" + R + "\\d\\\nerr:" + R + "\\d\\a\n";
  int rc = 0;
  filter_walk(&q, t, t.path("d"), f, &rc, out.c_str());
  EXPECT_EQ(read_file(out), "out:" + R + "\\d\\\nerr:" + R + "\\d\\\nout:" + R + "\\d\\a\nerr:" + R + "\\d\\a\n");
  EXPECT_TRUE(q.hout == nullptr && q.herr == nullptr);
  filter_walk(&q, t, t.path("d"), f, &rc, out.c_str(), err.c_str());  // truncated
  EXPECT_EQ(read_file(out) + read_file(err), outs + errs);
  q.flags = QN_APPEND;
  filter_walk(&q, t, t.path("d"), f, &rc, out.c_str(), err.c_str());
  EXPECT_EQ(read_file(out) + read_file(err), outs + outs + errs + errs);
  q.flags = 0;
  EXPECT_TRUE(delete_soon(err));
  filter_walk(&q, t, t.path("d"), f, &rc, out.c_str(), "NuL");  // errors discarded
  EXPECT_EQ(read_file(out), outs);
  EXPECT_EQ(GetFileAttributesA(err.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(g_reports.empty());

  const std::string bad = t.path("nodir\\o.txt");
  EXPECT_TRUE(filter_walk(&q, t, t.root, f, &rc, out.c_str(), bad.c_str()).v.empty());
  EXPECT_EQ(rc, 3);
  ASSERT_EQ(g_reports.size(), 1u);
  EXPECT_EQ(g_reports[0].rfind("Open file failed: ", 0), 0u) << g_reports[0];
  EXPECT_EQ(g_reports[0].substr(g_reports[0].size() - bad.size() - 2), "[" + bad + "]");
  EXPECT_TRUE(delete_soon(out));  // the output file opened before is closed again

  g_reports.clear();
  const std::string noprog = "\"" + t.path("noprog.exe") + "\"";
  EXPECT_TRUE(filter_walk(&q, t, t.root, noprog, &rc).v.empty());
  EXPECT_EQ(rc, 2);
  ASSERT_EQ(g_reports.size(), 1u);
  const std::string tail = " [" + noprog + " " + R + "\\]";
  EXPECT_EQ(g_reports[0].rfind("Filter error: ", 0), 0u) << g_reports[0];
  EXPECT_EQ(g_reports[0].substr(g_reports[0].size() - tail.size()), tail);
}

DWORD WINAPI cancel_later(void* flag) {
  Sleep(200);
  InterlockedExchange(static_cast<volatile LONG*>(flag), 1);
  return 0;
}

TEST_F(Walk, FilterCancel) {
  Tree t({"f"});
  volatile LONG flag = 0;
  q.cancel = &flag;
  int rc = 0;
  HANDLE th = CreateThread(nullptr, 0, cancel_later, (void*)&flag, 0, nullptr);
  DWORD t0 = GetTickCount();
  EXPECT_TRUE(filter_walk(&q, t, t.path("f"), tool() + " 0 -sleep:30000", &rc).v.empty());
  EXPECT_EQ(rc, 9017);
  EXPECT_LT(GetTickCount() - t0, 2000u);  // terminated at the next poll
  WaitForSingleObject(th, INFINITE);
  CloseHandle(th);
}

}  // namespace
