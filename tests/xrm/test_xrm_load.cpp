#include "xrm/xrm_load.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "c/tmp_dir.h"
#include "xrm/xrm_test.h"


namespace {

class XrmLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(xrm_init(&x_, "quarnw", "Mox", "joe", nullptr, nullptr), 0);
    d_ = xrm_db_new(&x_);
    ASSERT_NE(d_, nullptr);
    xrml_init(&l_);
  }
  void TearDown() override {
    xrml_free(&l_);
    xrm_free(&x_);
  }
  // Every resource as "spec=value;" in resource pattern order.
  std::string dump() const {
    std::map<std::string, std::string> m;
    for (rbtree_node* n = rbtree_first(&d_->res); n; n = rbtree_next(n))
      m[(*static_cast<const quarks* const*>(rbtree_key(n)))->text] =
          *static_cast<char* const*>(rbtree_val(&d_->res, n));
    std::string out;
    for (const auto& kv : m) out += kv.first + "=" + kv.second + ";";
    return out;
  }
  int load(const std::string& text) { return xrml_load_data(&l_, d_, text.data(), (unsigned)text.size()); }
  xrm x_{};
  db* d_ = nullptr;
  xrml l_;
};

TEST_F(XrmLoad, LineForms) {
  const std::string longspec = "*" + std::string(254, 's');  // 255 characters
  struct {
    std::string text;
    std::string want;
    int code;
    const char* msg;
  } cases[] = {
      {"*a : v\n", "*a=v;", 0, nullptr},
      {" \t*a.b\t:\t v  w \t\n", "*a.b=v  w;", 0, nullptr},
      {"*a : \\wx\\w\n", "*a= x ;", 0, nullptr},
      {"*a : one \\\n  two \\\n three\n", "*a=one   two  three;", 0, nullptr},
      {"*a : \\\\ \n*b:\\n\\t\\\\x\n", "*a=\\;*b=\n\t\\x;", 0, nullptr},
      {"*a :\n*b:   \n", "*a=;*b=;", 0, nullptr},
      {"*a : 1\n*a : 2\n", "*a=2;", 0, nullptr},
      {"*a : x\r\n*b : y\\\r\n z\r\n", "*a=x;*b=y z;", 0, nullptr},
      {"# comment\n!x : 1\n  !y : 2\n:z\n/w : 3\n!include nothing\n#includex\n\x01\xff : 4\n*a:1\n", "*a=1;", 0,
       nullptr},
      {"*a : v", "*a=v;", 9001, "(1) - syntax error: `'."},
      {"", "", 9001, "(1) - syntax error: `'."},
      {"*a : 1\n*b\n\n*c\n*d : 4", "*a=1;*d=4;", 9001, "(2) - syntax error: `'."},  // the first of three
      {"*b : 2\na..b : v\n*c:3\n", "*b=2;*c=3;", 9001, "(2) - syntax error: `..b : v'."},
      {longspec + " : v\n", longspec + "=v;", 0, nullptr},
      {"*k : 1\n" + longspec + "s : v\n*z : 2\n", "*k=1;", 9009, "Max xrm spec length [256] exceeded - spec: `*sss"},
      {"*v :" + std::string(8191, 'v') + "\n", "*v=" + std::string(8191, 'v') + ";", 0, nullptr},
      {"*k : 1\n*v :" + std::string(8192, 'v') + "\n*z : 2\n", "*k=1;", 9009,
       "Max xrm value length [8192] exceeded - value: `vvv"},
      {std::string("*a : x\0y\n*b\0 : 1\n*c : 2\n", 24), "*a=x;*c=2;", 9001, "(2) - syntax error: `"},
      {"\x1f\x8b\x08\x00 : not text", "", 9013, "`gz' is not supported."},
  };
  for (const auto& c : cases) {
    xrm_free(&x_);
    ASSERT_EQ(xrm_init(&x_, "quarnw", "Mox", "joe", nullptr, nullptr), 0);
    d_ = xrm_db_new(&x_);
    LogCapture log;
    EXPECT_EQ(load(c.text), c.code) << c.text;
    EXPECT_EQ(dump(), c.want) << c.text;
    if (c.msg) {
      EXPECT_TRUE(log.has(c.msg)) << c.text << "\n" << log.done();
      EXPECT_NE(std::string(l_.errtext).find(c.msg), std::string::npos) << l_.errtext;
    } else {
      EXPECT_EQ(log.done(), " ") << c.text;
    }
  }
}

TEST_F(XrmLoad, Bzip2ImagesAreDecompressedWhileScanned) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += "*list.col" + std::to_string(i) + ".wPref : " + std::to_string(i) + "C\n";
  const std::string img = bz2(text);
  ASSERT_EQ(img.compare(0, 3, "BZh"), 0);
  EXPECT_EQ(load(img), 0);
  EXPECT_EQ(xrm_db_count(d_), 3000u);
  char buf[16];
  ASSERT_EQ(xrm_get_str(d_, "quarnw.list.col2999.wPref", nullptr, 0, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "2999C");

  struct {
    std::string img;
    const char* msg;
  } bad[] = {
      {img.substr(0, img.size() - 20), "BZ2_bzDecompress() error."},
      {img.substr(0, 40) + std::string(64, '\x55') + img.substr(104), "BZ2_bzDecompress() error."},
  };
  for (const auto& b : bad) {
    LogCapture log;
    EXPECT_EQ(load(b.img), 9001);
    EXPECT_TRUE(log.has(b.msg)) << log.done();
  }
  // what was decoded before the failure stays
  std::string big;
  for (int i = 0; i < 40000; ++i) big += "*k" + std::to_string(i) + " : " + std::to_string(i * 7919) + "\n";
  const std::string bigimg = bz2(big, 1);
  xrm_free(&x_);
  ASSERT_EQ(xrm_init(&x_, "quarnw", "Mox", "joe", nullptr, nullptr), 0);
  d_ = xrm_db_new(&x_);
  LogCapture log;
  EXPECT_EQ(load(bigimg.substr(0, bigimg.size() * 3 / 4)), 9001);
  EXPECT_GT(xrm_db_count(d_), 1000u);
  EXPECT_LT(xrm_db_count(d_), 40000u);
}

class XrmLoadFiles : public XrmLoad {
 protected:
  std::string file(const std::string& name, const std::string& text) { return td_.write(name, text); }
  int load_file(const std::string& path) { return xrml_load_file(&l_, d_, path.c_str()); }
  TestDir td_{"xrml", '/'};
  const std::string dir_ = td_.dir + "/";  // with its separator
};

TEST_F(XrmLoadFiles, IncludesRelativeWithMacrosAndOverrides) {
  file("inc.xrm", "*b : included\n*c : 3");  // no line end: the include line's own follows
  file("sub.xrm", "*d : macro\n");
  set_env("XRMLTESTDIR", dir_.c_str());
  const std::string main = file("main.xrm",
                                "*a : 1\n*b : before\n#INCLUDE\t inc.xrm \n*e : 5\n"
                                "#Include $(XRMLTESTDIR)sub.xrm\n*c : after\n");
  LogCapture log;
  EXPECT_EQ(load_file(main), 0);
  EXPECT_EQ(log.done(), " ");
  EXPECT_EQ(dump(), "*a=1;*b=included;*c=after;*d=macro;*e=5;");
  set_env("XRMLTESTDIR", nullptr);
}

TEST_F(XrmLoadFiles, IncludeFailuresEndTheLoad) {
  const std::string bad = file("bad.xrm", "*x : 1\n*y\n");
  const std::string top = file("top.xrm", "*a : 1\n#include bad.xrm\n*b : 2\n#include missing.xrm\n*c : 3\n");
  {
    LogCapture log;
    EXPECT_EQ(load_file(top), 9001);
    EXPECT_TRUE(log.has(bad + "(2) - syntax error: `'.")) << log.done();
    EXPECT_TRUE(log.has("Failed to open file `" + dir_ + "missing.xrm'."));
    EXPECT_EQ(dump(), "*a=1;*b=2;*x=1;");
    EXPECT_EQ(std::string(l_.errtext), bad + "(2) - syntax error: `'.");
  }
  // a file that includes itself stops at 9 open files
  const std::string loop = file("loop.xrm", "*n : 1\n#include loop.xrm\n*m : 2\n");
  {
    LogCapture log;
    EXPECT_EQ(load_file(loop), 9009);
    EXPECT_TRUE(log.has("Max includes [9] exceeded - db: "));
    EXPECT_EQ(dump(), "*a=1;*b=2;*n=1;*x=1;");
  }
  // 8 nested includes (9 files open) load; one more fails
  for (int i = 0; i < 9; ++i)
    file("n" + std::to_string(i) + ".xrm",
         "*n" + std::to_string(i) + " : " + std::to_string(i) + "\n#include n" + std::to_string(i + 1) + ".xrm\n");
  file("n9.xrm", "*deep : yes\n");
  EXPECT_EQ(load_file(dir_ + "n1.xrm"), 0);
  char buf[8];
  EXPECT_EQ(xrm_get_str(d_, "deep", nullptr, 0, buf, sizeof buf), 0);
  {
    LogCapture log;
    EXPECT_EQ(load_file(dir_ + "n0.xrm"), 9009);
  }
}

TEST_F(XrmLoadFiles, SavedDatabaseReadsBackUnchanged) {
  const char* values[] = {"ends in \\", " blanks ", "tab\tnl\nback\\slash", "", "\\w literal", "x\\"};
  for (unsigned i = 0; i < sizeof values / sizeof *values; ++i)
    ASSERT_EQ(xrm_put(d_, ("*v" + std::to_string(i)).c_str(), 0, values[i]), 0);
  const std::string before = dump();
  const std::string path = td_.write("saved.cfg", "");
  ASSERT_EQ(xrm_db_save(d_, path.c_str()), 0);
  xrm_free(&x_);
  ASSERT_EQ(xrm_init(&x_, "quarnw", "Mox", "joe", nullptr, nullptr), 0);
  d_ = xrm_db_new(&x_);
  EXPECT_EQ(load_file(path), 0);
  EXPECT_EQ(dump(), before);
}

}  // namespace
