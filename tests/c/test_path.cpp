#include "c/path.h"

#include <cstring>

#include "c/log_capture.h"

namespace {

TEST(PathRoot, EveryFormAndItsComponents) {
  struct {
    const char *path, *root, *rest;
  } cases[] = {
      {"\\\\?\\UNC\\server\\share\\dir\\f", "\\\\?\\UNC\\server\\share\\", "dir\\f"},
      {"\\\\?\\Volume{12-34}\\x", "\\\\?\\Volume{12-34}\\", "x"},
      {"\\\\.\\COM1", "\\\\.\\COM1", ""},
      {"//server/share/dir", "//server/share/", "dir"},
      {"C:dir\\x", "C:", "dir\\x"}, {"c:/x", "c:/", "x"},
      {"\\dir\\x", "\\", "dir\\x"}, {"dir/x/y", "dir/", "x/y"},
      {"file.txt", "", "file.txt"},  // a bare name has no root
      {"1:x", "", "1:x"}, {"", "", ""},
  };
  for (const auto& c : cases) {
    const char *p = c.path, *r = "?";
    unsigned len = 99;
    ASSERT_EQ(mox_path_root(&p, &r, &len), 0);
    EXPECT_EQ(r ? std::string(r, len) : std::string(), c.root) << c.path;
    EXPECT_EQ(r == nullptr, *c.root == 0) << c.path;
    EXPECT_STREQ(p, c.rest) << c.path;
  }
  const char *p = "C:\\a\\\\bb/c.d\\", *c;
  unsigned len;
  ASSERT_EQ(mox_path_root(&p, &c, &len), 0);
  std::string got;
  while (mox_path_next(&p, &c, &len) == 0 && len) got += std::string(c, len) + "|";
  EXPECT_EQ(got, "a|bb|c.d|");
  EXPECT_EQ(c, nullptr);
  EXPECT_EQ(mox_path_root(&p, nullptr, &len), 9003);
}

TEST(PathSplit, NamesAndExtensions) {
  struct {
    const char *path, *dir, *fname, *ext;  // ext nullptr: none
  } cases[] = {
      {"C:/dir/.profile", "C:/dir/", ".profile", nullptr}, {"C:/a.b/c.tar.gz", "C:/a.b/", "c.tar", ".gz"},
      {"C:\\", "C:\\", "", nullptr},                       {"\\\\srv\\share", "\\\\srv\\share", "", nullptr},
      {"\\\\srv\\share\\x\\y.z", "\\\\srv\\share\\x\\", "y", ".z"},
      {"dir\\..", "dir\\", "..", nullptr},                 {"trail.", "", "trail", "."},
  };
  for (const auto& c : cases) {
    const char *d, *f, *e;
    unsigned dl, fl;
    ASSERT_EQ(mox_path_split(c.path, &d, &dl, &f, &fl, &e), 0);
    EXPECT_EQ(std::string(d, dl) + "|" + std::string(f, fl) + "|" + (e ? e : "(none)"),
              std::string(c.dir) + "|" + c.fname + "|" + (c.ext ? c.ext : "(none)"));
    EXPECT_EQ(mox_path_ext(c.path), e);
  }
  char dir[16], fname[16], ext[8];
  EXPECT_EQ(mox_split_dir_fname_ext("C:/x/y.tar.gz", dir, 16, fname, 16, ext, 8), 0);
  EXPECT_EQ(std::string(dir) + "|" + fname + "|" + ext, "C:/x/|y.tar|.gz");
  EXPECT_EQ(mox_split_dir_fname("C:/x/y.c", dir, 6, fname, 4), 0);  // exact fits; name keeps .c
  EXPECT_EQ(std::string(dir) + "|" + fname, "C:/x/|y.c");
  LogCapture log;
  EXPECT_EQ(mox_split_dir_fname("C:/x/y.c", dir, 5, fname, 3), 9005);
  EXPECT_EQ(std::string(dir) + "|" + fname, "C:/x|y.");
  EXPECT_EQ(mox_split_dir_fname_ext("C:/x/yy.cc", dir, 16, fname, 2, ext, 3), 9005);
  EXPECT_EQ(std::string(fname) + "|" + ext, "y|.c");
  EXPECT_TRUE(log.has(" 9005 ") && log.has("mox_strncpy() failed - size: 5, dirlen: 5.")) << log.done();
}

TEST(PathSameRoot, ComparesRootsOnly) {
  EXPECT_EQ(mox_same_root("C:\\a\\b", "c:/other") + mox_same_root("//srv/shr/x", "\\\\SRV\\SHR\\y"), 2);
  EXPECT_EQ(mox_same_root("C:\\a", "D:\\a") + mox_same_root("C:a", "C:\\a") + mox_same_root("C:\\", nullptr), 0);
}

TEST(PathSep, AddDeleteAndQuoteAtTheLimit) {
  using Fn = char* (*)(const char*, char*, unsigned, int*);
  const Fn add = mox_path_add_sep, del = mox_path_del_sep, quote = mox_quote_path;
  const struct { Fn fn; const char* path; unsigned size; const char* want; } cases[] = {
      {add, "C:", 8, "C:|0"}, {add, "a/", 8, "a/|0"}, {add, "a\\", 8, "a\\|0"},
      {add, "abcdef", 8, "abcdef\\|0"}, {add, "abcdefg", 8, "abcdefg|9005"},  // exact fit, one over
      {add, "abcdef\\", 8, "abcdef\\|9005"},  // even with nothing to add
      {del, "C:/", 8, "C:/|0"}, {del, "C:\\", 8, "C:\\|0"}, {del, "/", 8, "/|0"}, {del, "C:/dir", 8, "C:/dir|0"},
      {del, "a\\\\", 8, "a\\|0"},  // one only
      {del, "C:/dir/", 7, "C:/dir|0"}, {del, "C:/dir/", 6, "C:/di|9005"},  // the result has to fit
      {quote, "a b", 6, "\"a b\"|0"}, {quote, "a b", 5, "|9005"},
  };
  for (const auto& c : cases) {
    char buf[8];
    int err = -1;
    std::string got = c.fn(c.path, buf, c.size, &err);
    EXPECT_EQ(got + "|" + std::to_string(err), c.want) << c.path;
  }
}

}  // namespace
