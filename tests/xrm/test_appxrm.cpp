#include "xrm/appxrm.h"

#include <direct.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "xrm/xrm_test.h"

namespace {

class AppXrm : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing::TempDir() + "appxrm_" + std::to_string(GetTickCount()) + "_" + std::to_string(n_++);
    ASSERT_EQ(_mkdir(dir_.c_str()), 0);
    img_ = bz2("*a : builtin\n*b : builtin\n*c : builtin\n");
  }
  void TearDown() override {
    appxrm_free(&a_);
    for (const char* f : {"\\quarnw.cfg", "\\_quarnw.cfg", "\\_quarnw.cfg.tmp", "\\other.cfg", "\\Mox\\quarnw.cfg"}) {
      SetFileAttributesA((dir_ + f).c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA((dir_ + f).c_str());
    }
    RemoveDirectoryA((dir_ + "\\_quarnw.cfg.tmp").c_str());
    RemoveDirectoryA((dir_ + "\\Mox").c_str());
    RemoveDirectoryA(dir_.c_str());
  }
  int init(const char* cfgdir, const char* cfg = nullptr, const char* usrcfg = nullptr) {
    return appxrm_init(&a_, "quarnw", "Mox", "joe", nullptr, img_.data(), (unsigned)img_.size(), cfgdir, cfg,
                       usrcfg);
  }
  std::string get(db* d, const char* name) {
    char buf[64];
    int rc = xrm_get_str(d, name, nullptr, 0, buf, sizeof buf);
    return rc ? "#" + std::to_string(rc) : buf;
  }
  std::string dir_;
  std::string img_;
  appxrm a_{};
  static int n_;
};
int AppXrm::n_ = 0;

TEST_F(AppXrm, LoadingOrderMirroringAndSave) {
  write_file(dir_ + "\\quarnw.cfg", "*b : cfg\n*c : cfg\n*broken\n");  // its errors do not stop the start
  write_file(dir_ + "\\_quarnw.cfg", "*c : user\n");
  const int sever = errsever;
  errsever = 8;
  {
    LogCapture log;
    ASSERT_EQ(init(dir_.c_str()), 0);
    EXPECT_TRUE(log.has("Cfg: `" + dir_ + "\\quarnw.cfg'."));
    EXPECT_TRUE(log.has("Usrcfg: `" + dir_ + "\\_quarnw.cfg'."));
    EXPECT_TRUE(log.has("syntax error"));
  }
  errsever = sever;
  EXPECT_EQ(get(a_.maindb, "x.a") + get(a_.maindb, "x.b") + get(a_.maindb, "x.c"), "builtincfguser");
  EXPECT_EQ(xrm_db_count(a_.usrdb), 1u);  // only what the user file brought
  ASSERT_EQ(xrm_put(a_.maindb, "*frame.wPref", 0, "80C"), 0);
  ASSERT_EQ(xrm_put(a_.maindb, "*c", 0, "changed \\"), 0);
  EXPECT_EQ(get(a_.usrdb, "x.frame.wPref"), "80C");
  ASSERT_EQ(appxrm_save(&a_), 0);
  const std::string usr = dir_ + "\\_quarnw.cfg";
  EXPECT_EQ(read_file(usr), "*c : changed \\\\ \n*frame.wPref : 80C\n");
  const DWORD attr = GetFileAttributesA(usr.c_str());
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_HIDDEN);
  EXPECT_TRUE(attr & FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(GetFileAttributesA((usr + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES);

  // saved again over the hidden file, and read back at the next start
  ASSERT_EQ(xrm_put(a_.maindb, "*d", 0, "4"), 0);
  ASSERT_EQ(appxrm_save(&a_), 0);
  ASSERT_EQ(init(dir_.c_str()), 0);
  EXPECT_EQ(get(a_.maindb, "x.c") + get(a_.maindb, "x.d") + get(a_.maindb, "x.frame.wPref"), "changed \\480C");
}

TEST_F(AppXrm, FailedWriteKeepsThePreviousFile) {
  const std::string usr = dir_ + "\\_quarnw.cfg";
  write_file(usr, "*c : user\n");
  SetFileAttributesA(usr.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
  ASSERT_EQ(init(dir_.c_str()), 0);
  ASSERT_EQ(xrm_put(a_.maindb, "*c", 0, "lost"), 0);
  ASSERT_EQ(_mkdir((usr + ".tmp").c_str()), 0);  // the new file cannot be written
  {
    LogCapture log;
    EXPECT_NE(appxrm_save(&a_), 0);
    EXPECT_TRUE(log.has("Failed to open file `" + usr + ".tmp'."));
  }
  EXPECT_EQ(read_file(usr), "*c : user\n");
  EXPECT_TRUE(GetFileAttributesA(usr.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

TEST_F(AppXrm, FileNamesAndRefusals) {
  ASSERT_EQ(init(dir_.c_str(), "other.cfg", (dir_ + "\\u.cfg").c_str()), 0);
  EXPECT_EQ(std::string(a_.cfg), dir_ + "\\other.cfg");
  EXPECT_EQ(std::string(a_.usrcfg), dir_ + "\\u.cfg");
  // without a directory: the local application data directory with com, created
  set_env("LOCALAPPDATA", dir_.c_str());
  ASSERT_EQ(init(nullptr), 0);
  EXPECT_EQ(std::string(a_.cfg), dir_ + "\\Mox\\quarnw.cfg");
  EXPECT_EQ(std::string(a_.usrcfg), dir_ + "\\Mox\\_quarnw.cfg");
  EXPECT_TRUE(GetFileAttributesA((dir_ + "\\Mox").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  set_env("LOCALAPPDATA", nullptr);
  LogCapture log;
  img_ = img_.substr(0, img_.size() / 2);
  EXPECT_EQ(init(dir_.c_str()), 9001);  // a broken built-in image ends the start
}

}  // namespace
