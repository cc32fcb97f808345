#include "c/osu.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "c/log_capture.h"

namespace {

// Sets (nullptr: removes) an environment variable for one scope.
class EnvVar {
 public:
  EnvVar(const char* name, const char* value) : name_(name) {
    char buf[4096];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    had_ = n > 0 && n < sizeof buf;
    if (had_) old_ = buf;
    SetEnvironmentVariableA(name, value);
  }
  ~EnvVar() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

TEST(Osu, UserNameAndProfile) {
  char name[256], tiny[1], dir[16];
  ASSERT_EQ(mox_user_name(name, sizeof name), 0);
  EXPECT_GT(strlen(name), 0u);
  {
    EnvVar v("USERPROFILE", "C:\\users\\abc");  // 12 characters
    EXPECT_EQ(mox_user_profile_dir(dir, 13), 0);
    EXPECT_STREQ(dir, "C:\\users\\abc");
    EXPECT_EQ(mox_user_profile_dir(dir, 12), 9005);
    EXPECT_STREQ(dir, "C:\\users\\ab");
  }
  EnvVar v("USERPROFILE", nullptr);
  LogCapture log;
  EXPECT_EQ(mox_user_name(tiny, sizeof tiny), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_STREQ(tiny, "");
  EXPECT_EQ(mox_user_profile_dir(dir, sizeof dir), 9001);
  EXPECT_TRUE(log.has("GetUserName() failed - inamesz: 1.")) << log.done();
  EXPECT_TRUE(log.has("`USERPROFILE' environment variable not set.")) << log.done();
}

TEST(Osu, AppDataDirFallsBack) {
  char dir[64];
  EnvVar prof("USERPROFILE", "C:\\prof");
  EnvVar a("APPDATA", "C:\\roam");
  {
    EnvVar l("LOCALAPPDATA", "C:\\local");
    EXPECT_EQ(mox_app_data_dir("vendor", dir, sizeof dir, 0), 0);
    EXPECT_STREQ(dir, "C:\\local\\vendor");
    EXPECT_EQ(mox_app_data_dir(nullptr, dir, sizeof dir, 0), 0);
    EXPECT_STREQ(dir, "C:\\local");
  }
  EnvVar l("LOCALAPPDATA", nullptr);
  {
    LogCapture log;
    EXPECT_EQ(mox_app_data_dir("vendor", dir, sizeof dir, 0), 0);
    EXPECT_STREQ(dir, "C:\\roam\\vendor");
    EXPECT_TRUE(log.has("NOTICE") && log.has("`LOCALAPPDATA' environment variable not set.")) << log.done();
  }
  EnvVar a2("APPDATA", nullptr);
  LogCapture log;
  EXPECT_EQ(mox_app_data_dir("vendor", dir, sizeof dir, 0), 0);
  EXPECT_STREQ(dir, "C:\\prof\\vendor");
  EXPECT_TRUE(log.has("`APPDATA' environment variable not set.")) << log.done();
}

TEST(Osu, AppDataDirCutAndCreate) {
  char tmp[MAX_PATH], dir[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string base = std::string(tmp) + "osu-" + std::to_string(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
  EnvVar l("LOCALAPPDATA", base.c_str());
  std::string want = base + "\\appx";
  EXPECT_EQ(mox_app_data_dir("appx", dir, sizeof dir, 1), 0);
  EXPECT_EQ(dir, want);
  EXPECT_TRUE(GetFileAttributesA(want.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(mox_app_data_dir("appx", dir, sizeof dir, 1), 0);  // already there
  LogCapture log;
  EXPECT_EQ(mox_app_data_dir("none\\deeper", dir, sizeof dir, 1), ERROR_PATH_NOT_FOUND);
  unsigned size = (unsigned)want.size();  // one short of the zero
  EXPECT_EQ(mox_app_data_dir("appx", dir, size, 0), 9005);
  EXPECT_EQ(dir, want.substr(0, size - 1));
  EXPECT_TRUE(log.has("CreateDirectory() failed - dir: `" + base + "\\none\\deeper'.")) << log.done();
  EXPECT_TRUE(log.has("mox_strcpy() failed - size: " + std::to_string(size) + ", pdir: " +
                      std::to_string(want.size()) + " `" + want + "'."))
      << log.done();
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

TEST(Osu, RecycleBinOfThePathsDrive) {
  SHQUERYRBINFO info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  int want = SUCCEEDED(SHQueryRecycleBinA("C:\\", &info)) ? 1 : 0;
  EXPECT_EQ(mox_has_recycle_bin("C:\\some\\dir\\file.txt"), want);
  LogCapture log;
  EXPECT_EQ(mox_has_recycle_bin("") + mox_has_recycle_bin(nullptr), 0);
  EXPECT_TRUE(log.has("Invalid `path' - `'.") && log.has("Invalid `path' - `NUL'.")) << log.done();
}

}  // namespace
