#include "c/cmdfile.h"

#include <cerrno>
#include <vector>

#include <windows.h>

#include "c/log_capture.h"
#include "c/str.h"

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
    if (FILE* f = fopen(p.c_str(), "wb")) {
      fwrite(text.data(), 1, text.size(), f);
      fclose(f);
    }
    files.push_back(p);
    return p;
  }
  // Every command up to the end; *end receives the code that ended the reading.
  V read_all(int* end) {
    V v;
    int code = -1;
    for (const char* c; v.size() < 100 && (c = cmdf_next(&cf, &code));) v.push_back(c);
    *end = code;
    return v;
  }
};

TEST_F(CmdFile, CommentsBlanksContinuationsAndIncludes) {
  std::string long1(5000, 'x'), long2(3000, 'y');
  write("inner.cmd", "# inner\ninner1\n!Include not-a-keyword\n");
  set_env("QTEST_CF_DIR", dir.c_str());
  std::string f = write("a.cmd",
                        "# comment\r\n-one\r\n\r\n   \t\r\n  -two x  \n#-three\n\\\n  \\\n"
                        "a \\\r\nb\r\n"        // a b
                        "x\\\ny\\\nz\n"        // xyz
                        "p \\\n# note\nq\n"    // a comment inside contributes nothing
                        "r \\\n\nafter\n"      // an empty line ends it
                        "!include   $(QTEST_CF_DIR)\\inner.cmd\t\n" +
                            long1 + "\n" + long2 + "\\\n" + long2 + "\n" +  // long lines stay whole
                            "tail \\");             // the end of the file ends it
  ASSERT_EQ(cmdf_init(&cf, f.c_str()), 0);
  int end = 0;
  EXPECT_EQ(read_all(&end), (V{"-one", "  -two x  ", "a b", "xyz", "p q", "r ", "after", "inner1", "!Include not-a-keyword",
                               long1, long2 + long2, "tail "}));
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
  EXPECT_EQ(end, 9009);
  EXPECT_EQ(cf.depth, 9u);
  EXPECT_TRUE(log.has("Max includes [9] exceeded - cmdf: ") && log.has(", fname: `" + path("f10") + "'."))
      << log.done();
  EXPECT_EQ(read_all(&end), after);  // reading goes on after the refused line
  EXPECT_EQ(end, 9016);
}

TEST_F(CmdFile, MissingFilesAreReportedAndSkipped) {
  std::string f = write("m.cmd", "before\n!include " + path("nope.cmd") + "\nafter\n");
  LogCapture log;
  EXPECT_EQ(cmdf_init(&cf, ""), 9003);
  EXPECT_EQ(cmdf_init(&cf, path("absent.cmd").c_str()), ENOENT);
  ASSERT_EQ(cmdf_init(&cf, f.c_str()), 0);
  int code = 0;
  V got;
  for (int i = 0; i < 3; ++i) {
    std::string c = mox_nul(cmdf_next(&cf, &code));
    got.push_back(c + "/" + std::to_string(code));
  }
  EXPECT_EQ(got, (V{"before/0", "NUL/" + std::to_string(ENOENT), "after/0"}));
  EXPECT_TRUE(log.has("Failed to open cmd file `" + path("nope.cmd") + "'.")) << log.done();
}

}  // namespace
