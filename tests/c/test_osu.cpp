#include "c/osu.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "c/log_capture.h"

namespace {

// The module reads the process environment, not the runtime's copy; nullptr removes.
void env(const char* name, const char* value) { SetEnvironmentVariableA(name, value); }

TEST(Osu, ProfileFitsExactly) {
  char dir[16];
  env("USERPROFILE", "C:\\users\\abc");  // 12 characters
  EXPECT_EQ(mox_user_profile_dir(dir, 13), 0);
  EXPECT_STREQ(dir, "C:\\users\\abc");
  EXPECT_EQ(mox_user_profile_dir(dir, 12), 9005);
  EXPECT_STREQ(dir, "C:\\users\\ab");
}

TEST(Osu, AppDataDirFallsBackCutsAndCreates) {
  char tmp[MAX_PATH], dir[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string base = std::string(tmp) + "osu-" + std::to_string(GetCurrentProcessId()), want = base + "\\appx";
  ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
  env("USERPROFILE", "C:\\prof");
  env("APPDATA", "C:\\roam");
  env("LOCALAPPDATA", base.c_str());
  EXPECT_EQ(mox_app_data_dir("appx", dir, sizeof dir, 1), 0);
  EXPECT_EQ(dir, want);
  EXPECT_TRUE(GetFileAttributesA(want.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(mox_app_data_dir("appx", dir, sizeof dir, 1), 0);  // already there
  EXPECT_EQ(mox_app_data_dir("none\\deeper", dir, sizeof dir, 1), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(mox_app_data_dir("appx", dir, (unsigned)want.size(), 0), 9005);  // one short of the zero
  EXPECT_EQ(dir, want.substr(0, want.size() - 1));
  env("LOCALAPPDATA", nullptr);
  {
    LogCapture log;
    EXPECT_EQ(mox_app_data_dir("vendor", dir, sizeof dir, 0), 0);
    EXPECT_STREQ(dir, "C:\\roam\\vendor");
    EXPECT_TRUE(log.has("NOTICE") && log.has("`LOCALAPPDATA' environment variable not set.")) << log.done();
  }
  env("APPDATA", nullptr);
  EXPECT_EQ(mox_app_data_dir(nullptr, dir, sizeof dir, 0), 0);
  EXPECT_STREQ(dir, "C:\\prof");
  RemoveDirectoryA(want.c_str());
  RemoveDirectoryA(base.c_str());
}

TEST(Osu, SystemErrorText) {
  char msg[512], small[8];
  std::string t = mox_sys_errmsg(ERROR_FILE_NOT_FOUND, msg, sizeof msg);
  EXPECT_FALSE(t.empty());
  EXPECT_EQ(t.find("System error"), std::string::npos) << t;
  EXPECT_EQ(t.find_first_of("\r\n"), std::string::npos) << t;
  mox_sys_errmsg(ERROR_FILE_NOT_FOUND, small, sizeof small);
  EXPECT_EQ(small, t.substr(0, 7));
  EXPECT_STREQ(mox_sys_errmsg(0x1234567, msg, sizeof msg), "System error [19088743].");
  EXPECT_STREQ(mox_sys_errmsg(0x1234567, small, sizeof small), "System ");
}

}  // namespace
