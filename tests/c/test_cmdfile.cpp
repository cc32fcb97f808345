#include "c/cmdfile.h"

#include <cerrno>
#include <vector>

#include <windows.h>

#include "c/cmd_test_util.h"
#include "c/str.h"

using namespace cmdtest;

namespace {

using V = std::vector<std::string>;

// A fresh directory of its own, removed with the files written into it.
class CmdFile : public testing::Test {
 protected:
  std::string dir;
  std::vector<std::string> files;
  cmdf cf;

  void SetUp() override {
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof tmp, tmp), 0u);
    dir = std::string(tmp) + "qcmdf" + std::to_string(GetCurrentProcessId()) + "_" +
          testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    cmdf_clear(&cf);
  }
  void TearDown() override {
    cmdf_free(&cf);
    for (const std::string& f : files) DeleteFileA(f.c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string path(const std::string& name) const { return dir + "\\" + name; }
  std::string write(const std::string& name, const std::string& text) {
    std::string p = path(name);
    FILE* f = fopen(p.c_str(), "wb");
    EXPECT_NE(f, nullptr) << p;
    if (!f) return p;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    files.push_back(p);
    return p;
  }
  // Every command up to the end; *end receives the code that ended the reading.
  V read_all(int* end, unsigned max = 100) {
    V v;
    int code = -1;
    for (unsigned i = 0; i < max; ++i) {
      const char* c = cmdf_next(&cf, &code);
      if (!c) break;
      EXPECT_EQ(code, 0);
      v.push_back(c);
    }
    *end = code;
    return v;
  }
};

TEST_F(CmdFile, CommentsBlanksAndContinuations) {
  std::string long1(5000, 'x'), long2(3000, 'y');
  std::string f = write("a.cmd",
                        "# comment\r\n-one\r\n\r\n   \t\r\n  -two x  \n#-three\n\\\n  \\\n"
                        "a \\\r\nb\r\n"        // a b
                        "x\\\ny\\\nz\n"        // xyz
                        "p \\\n# note\nq\n"    // a comment inside contributes nothing
                        "r \\\n\nafter\n" +    // an empty line ends it
                            long1 + "\n" + long2 + "\\\n" + long2 + "\n" +  // long lines stay whole
                            "tail \\");             // the end of the file ends it
  ASSERT_EQ(cmdf_init(&cf, f.c_str()), 0);
  int end = 0;
  EXPECT_EQ(read_all(&end), (V{"-one", "  -two x  ", "a b", "xyz", "p q", "r ", "after", long1, long2 + long2,
                               "tail "}));
  EXPECT_EQ(end, 9016);
  int code = 0;
  EXPECT_EQ(cmdf_next(&cf, &code), nullptr);  // stays at the end
  EXPECT_EQ(code, 9016);
}

TEST_F(CmdFile, IncludesNestInPlace) {
  write("inner.cmd", "# inner\ninner1\n!Include not-a-keyword\n");
  write("sub.cmd", "sub1\r\n!include " + path("inner.cmd") + "  \r\nsub2\r\n");
  set_env("QTEST_CF_DIR", dir.c_str());
  std::string f = write("main.cmd", "main1\n!include   $(QTEST_CF_DIR)\\sub.cmd\t\nmain2\n");
  ASSERT_EQ(cmdf_init(&cf, f.c_str()), 0);
  int end = 0;
  EXPECT_EQ(read_all(&end), (V{"main1", "sub1", "inner1", "!Include not-a-keyword", "sub2", "main2"}));
  EXPECT_EQ(end, 9016);
  EXPECT_EQ(cf.depth, 0u);
  set_env("QTEST_CF_DIR", nullptr);
}

// f1 includes f2 ... f10, each with a command before and after its include: nine files open.
TEST_F(CmdFile, TenthLevelRefused) {
  V before, after;
  for (int i = 1; i <= 10; ++i) {
    std::string k = std::to_string(i), next = "!include " + path("f" + std::to_string(i + 1)) + "\n";
    write("f" + k, "c" + k + "\n" + (i < 10 ? next : "") + "d" + k + "\n");
    if (i < 10) before.push_back("c" + k), after.insert(after.begin(), "d" + k);
  }
  ASSERT_EQ(cmdf_init(&cf, path("f1").c_str()), 0);
  LogCapture log;
  int end = 0;
  EXPECT_EQ(read_all(&end), before);
  std::string t = log.text();
  EXPECT_EQ(end, 9009);
  EXPECT_EQ(cf.depth, 9u);
  EXPECT_TRUE(has(t, "Max includes [9] exceeded - cmdf: ")) << t;
  EXPECT_TRUE(has(t, ", fname: `" + path("f10") + "'.")) << t;
  EXPECT_EQ(read_all(&end), after);  // reading goes on after the refused line
  EXPECT_EQ(end, 9016);
}

TEST_F(CmdFile, FailuresAndOptions) {
  std::string f = write("m.cmd", "before\n!include " + path("nope.cmd") + "\nafter\n");
  ASSERT_EQ(cmdf_init(&cf, f.c_str(), 3, "txt", 1, 2, 3, 4, 5), 0);
  EXPECT_EQ(cf.flags, 3u);
  EXPECT_STREQ(cf.text, "txt");
  EXPECT_EQ(cf.nums[4], 5);
  ASSERT_EQ(cmdf_init(&cf, f.c_str()), 0);  // a second init starts over
  EXPECT_EQ(cf.text, nullptr);
  LogCapture log;
  int code = 0, code_missing = 0, code_null = 0;
  cmdf other;
  cmdf_clear(&other);
  int rc_init = cmdf_init(&other, path("absent.cmd").c_str());
  auto text = [](const char* c) { return std::string(mox_nul(c)); };
  V got{text(cmdf_next(&cf, &code))};
  EXPECT_EQ(cmdf_next(&cf, &code_missing), nullptr);
  got.push_back(text(cmdf_next(&cf, &code)));
  EXPECT_EQ(cmdf_init(nullptr, f.c_str()), 9003);
  EXPECT_EQ(cmdf_init(&cf, ""), 9003);  // leaves the record as it was
  EXPECT_EQ(cmdf_init(&cf, nullptr), 9003);
  EXPECT_EQ(cmdf_next(nullptr, &code_null), nullptr);
  std::string t = log.text();
  EXPECT_EQ(rc_init, ENOENT);
  EXPECT_EQ(other.depth, 0u);
  EXPECT_EQ(code_missing, ENOENT);
  EXPECT_EQ(got, (V{"before", "after"}));
  EXPECT_EQ(code_null, 9003);
  for (std::string m : {"Failed to open cmd file `" + path("absent.cmd") + "'.",
                        "Failed to open cmd file `" + path("nope.cmd") + "'.", std::string("`cmdf' is NUL."),
                        std::string(", fname: `'."), std::string(", fname: `NUL'.")})
    EXPECT_TRUE(has(t, m)) << m << "\n" << t;
}

}  // namespace
