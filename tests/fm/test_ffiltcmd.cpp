#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "c/str.h"
#include "fm/ffiltcmd.h"

namespace {

using Res = std::map<std::string, std::string>;

int lookup(const char* name, char* buf, unsigned bufsize, void* usrdata) {
  const Res& r = *static_cast<const Res*>(usrdata);
  auto it = r.find(name);
  if (it == r.end()) return 9006;
  return mox_snprintf(buf, bufsize, "%s", it->second.c_str());
}

std::string cmd(const char* line, const char* prefix, const Res& res, int* rc = nullptr) {
  char buf[FFILT_CMDSIZE];
  int c = ffilt_cmd(line, prefix, lookup, const_cast<Res*>(&res), buf, sizeof buf);
  if (rc) *rc = c;
  return buf;
}

TEST(FfiltCmd, PrefixRules) {
  const Res res = {{"ffiltCmdln.grep", "findstr /i"}, {"ffiltCmdln.my-tool_2", "t.exe -q"}};
  const struct {
    const char* line;
    const char* prefix;
    std::string want;
  } rows[] = {
      // a known name: its value, then the rest of the line with its blank
      {"!grep  foo %f", nullptr, "findstr /i  foo %f"},
      {"  !grep foo\t", "cmd /c", "findstr /i foo"},
      {"!my-tool_2", nullptr, "t.exe -q"},
      // an unknown name: the line without its "!"
      {"!nosuch a b", nullptr, "nosuch a b"},
      {"! grep x", "cmd /c", "grep x"},
      // a "!" not followed by a whole name is no prefix rule either
      {"!grep.exe x", nullptr, "grep.exe x"},
      {"!", nullptr, ""},
      // other lines: the prefix in front when one is set
      {"  type %f ", "cmd /c", "cmd /c type %f"},
      {"type %f", nullptr, "type %f"},
      {"type %f", "", "type %f"},
      {" \t ", "cmd /c", ""},
      {nullptr, "cmd /c", ""},
  };
  for (const auto& r : rows) EXPECT_EQ(cmd(r.line, r.prefix, res), r.want) << (r.line ? r.line : "NUL");

  char small[8];
  EXPECT_EQ(ffilt_cmd("!grep x", nullptr, lookup, const_cast<Res*>(&res), small, sizeof small), 9005);
  EXPECT_EQ(ffilt_cmd("!grep x", nullptr, nullptr, nullptr, small, sizeof small), 0);  // no lookup: not found
  EXPECT_STREQ(small, "grep x");
  EXPECT_EQ(ffilt_cmd("x", nullptr, nullptr, nullptr, nullptr, 0), 9003);
}

TEST(FfiltCmd, OutputField) {
  const struct {
    const char* field;
    int rc;
    const char* out;
    const char* err;
    int append;
  } rows[] = {
      {"out.txt", 0, "out.txt", "", 0},
      {"out.txt -append -err:err.txt", 0, "out.txt", "err.txt", 1},
      {"-a -e:\"C:\\my dir\\e.txt\" \"C:\\my dir\\o.txt\"", 0, "C:\\my dir\\o.txt", "C:\\my dir\\e.txt", 1},
      {"o.txt -err:nul", 0, "o.txt", "nul", 0},
      {"", 9010, "", "", 0},
      {"   ", 9010, "", "", 0},
      {"-append -err:e.txt", 9010, "", "", 0},
      {nullptr, 9010, "", "", 0},
  };
  for (const auto& r : rows) {
    ffilt_out o;
    memset(&o, 'x', sizeof o);
    EXPECT_EQ(ffilt_out_parse(r.field, &o), r.rc) << (r.field ? r.field : "NUL");
    EXPECT_STREQ(o.out, r.out);
    EXPECT_STREQ(o.err, r.err);
    EXPECT_EQ(o.append, r.append);
  }
  EXPECT_EQ(ffilt_out_parse("x", nullptr), 9003);
}

int isdir(const char* path, void*) {
  const std::string p = path;
  return p.size() >= 4 && p.compare(p.size() - 4, 4, ".dir") == 0;
}

std::string drop(const char* cur, std::vector<const char*> files, int ignorecase, int append, int* rc = nullptr) {
  char buf[512];
  int c = ffilt_drop_text(cur, files.data(), (unsigned)files.size(), isdir, nullptr, ignorecase, append, buf,
                          sizeof buf);
  if (rc) *rc = c;
  return buf;
}

TEST(FfiltCmd, DroppedFiles) {
  // two files of one directory give it once
  EXPECT_EQ(drop("C:\\old", {"C:\\src\\a.c", "C:\\src\\b.c"}, 1, 0), "C:\\src");
  EXPECT_EQ(drop("", {"C:\\src\\a.c", "C:\\SRC\\b.c"}, 1, 0), "C:\\src");
  EXPECT_EQ(drop("", {"C:\\src\\a.c", "C:\\SRC\\b.c"}, 0, 0), "C:\\src C:\\SRC");
  // a directory stays itself; blanks are quoted; a root keeps its separator
  EXPECT_EQ(drop("", {"C:\\my docs\\x.txt", "D:\\t.dir", "E:\\f.txt"}, 1, 0), "\"C:\\my docs\" D:\\t.dir E:\\");
  // Ctrl: after the words present, which count as duplicates
  EXPECT_EQ(drop("\"C:\\my docs\" d:\\x ", {"C:\\My Docs\\a", "D:\\x\\b", "D:\\y\\c"}, 1, 1),
            "\"C:\\my docs\" d:\\x D:\\y");
  EXPECT_EQ(drop("D:\\x", {"D:\\x\\b"}, 1, 1), "D:\\x");
  EXPECT_EQ(drop("", {"D:\\x\\b"}, 1, 1), "D:\\x");
  int rc = 0;
  char small[6];
  const char* f[] = {"C:\\long\\a"};
  EXPECT_EQ(ffilt_drop_text("", f, 1, isdir, nullptr, 1, 0, small, sizeof small), 9005);
  EXPECT_EQ(ffilt_drop_text("", nullptr, 1, isdir, nullptr, 1, 0, small, sizeof small), 9003);
  (void)rc;
}

}  // namespace
