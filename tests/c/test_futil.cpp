#include "c/futil.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "c/log_capture.h"

namespace {

std::string read_file(const std::string& path) {
  std::string s;
  FILE* f = fopen(path.c_str(), "rb");
  for (int c; f && (c = fgetc(f)) != EOF;) s += (char)c;
  if (f) fclose(f);
  return s;
}

void write_file(const std::string& path, const char* text) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  fputs(text, f), fclose(f);
}

// A fresh directory per test; the tests create at most one level below it.
class Futil : public testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    char tmp[MAX_PATH];
    ASSERT_NE(GetTempPathA(sizeof tmp, tmp), 0u);
    dir = std::string(tmp) + "futil-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
  }
  void TearDown() override {
    for (const char* f : {"f.txt", "new.txt", "sub\\.hidden"}) {
      SetFileAttributesA(at(f).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(at(f).c_str());
    }
    RemoveDirectoryA(at("sub").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  std::string at(const char* name) const { return dir + "\\" + name; }
};

TEST_F(Futil, ExistsDirEmptyReadonly) {
  write_file(at("f.txt"), "x");
  EXPECT_EQ(mox_is_dir((dir + "//\\").c_str()) + mox_is_dir("C:\\") + mox_path_exists(at("f.txt").c_str()), 3);
  EXPECT_EQ(mox_is_dir(at("f.txt").c_str()), 0);
  ASSERT_TRUE(CreateDirectoryA(at("sub").c_str(), nullptr));
  EXPECT_EQ(mox_dir_is_empty((at("sub") + "\\").c_str()), 1);
  write_file(at("sub\\.hidden"), "");
  EXPECT_EQ(mox_dir_is_empty(at("sub").c_str()), 0);
  ASSERT_TRUE(SetFileAttributesA(at("f.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(mox_is_readonly(at("f.txt").c_str()), 1);
  LogCapture log;
  EXPECT_EQ(mox_path_exists(at("none").c_str()) + mox_is_dir((at("none") + "\\").c_str()) +
                mox_dir_is_empty(at("none").c_str()) + mox_is_readonly(at("none").c_str()),
            0);
  EXPECT_TRUE(log.has(" 2 ") && log.has("GetFileAttributes() failed - path: `" + at("none") + "'.")) << log.done();
}

TEST_F(Futil, FullPathFitsExactly) {
  char cwd[MAX_PATH], buf[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryA(sizeof cwd, cwd), 0u);
  ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
  char* fname = nullptr;
  std::string want = dir + "\\a\\b.txt";
  unsigned len = (unsigned)want.size();
  EXPECT_EQ(mox_full_path("a\\b.txt", buf, len + 1, &fname), 0);
  EXPECT_EQ(buf, want);
  EXPECT_STREQ(fname, "b.txt");
  LogCapture log;
  EXPECT_EQ(mox_full_path("a\\b.txt", buf, len, &fname), 9005);
  EXPECT_TRUE(!*buf && !fname);
  SetCurrentDirectoryA(cwd);
  std::string cut = "`rpathsz' too small [" + std::to_string(len) + "] - rlen: " + std::to_string(len + 1) + ".";
  EXPECT_TRUE(log.has(cut)) << log.done();
}

TEST_F(Futil, OpenFileTruncatesAppendsAndReports) {
  std::string f = at("f.txt"), missing = at("nodir\\out.txt");
  write_file(f, "previous content");
  DWORD n, flags = 0;
  for (unsigned mode : {0u, (unsigned)MOX_OPEN_APPEND}) {
    void* h = nullptr;
    ASSERT_EQ(mox_open_file(f.c_str(), mode, &h, nullptr, 0), 0);
    EXPECT_TRUE(GetHandleInformation((HANDLE)h, &flags) && (flags & HANDLE_FLAG_INHERIT));
    WriteFile((HANDLE)h, mode ? "two" : "one", 3, &n, nullptr);
    CloseHandle((HANDLE)h);
  }
  EXPECT_EQ(read_file(f), "onetwo");
  void* h = nullptr;
  ASSERT_EQ(mox_open_file(at("new.txt").c_str(), MOX_OPEN_APPEND, &h, nullptr, 0), 0);  // created
  CloseHandle((HANDLE)h);
  char msg[256], small[10];
  LogCapture log;
  EXPECT_EQ(mox_open_file(missing.c_str(), 0, &h, msg, sizeof msg), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  std::string m = msg;
  EXPECT_EQ(m.rfind("Open file failed: ", 0), 0u) << m;
  EXPECT_EQ(m.find("\n"), std::string::npos) << m;
  EXPECT_EQ(m.substr(m.size() - missing.size() - 3), " [" + missing + "]");
  EXPECT_EQ(mox_open_file(missing.c_str(), 0, &h, small, sizeof small), ERROR_PATH_NOT_FOUND);
  EXPECT_STREQ(small, "Open file");
  EXPECT_TRUE(log.has("mox_snprintf() failed - errmsgsz: 10.")) << log.done();
}

}  // namespace
