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
  char buf[8];
  int err = -1;
  for (const char* p : {"C:", "a/", "a\\"}) EXPECT_STREQ(mox_path_add_sep(p, buf, 8), p);
  EXPECT_STREQ(mox_path_add_sep("abcdef", buf, 8, &err), "abcdef\\");  // exact fit
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(mox_path_add_sep("abcdefg", buf, 8, &err), "abcdefg");
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(mox_path_add_sep("abcdef\\", buf, 8, &err), "abcdef\\");  // even with nothing to add
  EXPECT_EQ(err, 9005);
  for (const char* p : {"C:/", "C:\\", "/", "C:/dir"}) EXPECT_STREQ(mox_path_del_sep(p, buf, 8), p);
  EXPECT_STREQ(mox_path_del_sep("a\\\\", buf, 8), "a\\");  // one only
  EXPECT_STREQ(mox_path_del_sep("C:/dir/", buf, 7, &err), "C:/dir");  // the result has to fit
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(mox_path_del_sep("C:/dir/", buf, 6, &err), "C:/di");
  EXPECT_EQ(err, 9005);
  char q[32];
  EXPECT_STREQ(mox_quote_path("a b", q, 6, &err), "\"a b\"");  // exact fit
  EXPECT_EQ(err, 0);
  EXPECT_STREQ(mox_quote_path("a b", q, 5, &err), "");
  EXPECT_EQ(err, 9005);
}

}  // namespace
