// The Linux stand-ins answer as the system and its runtime do: results, sizes and
// last-error codes the modules and their tests rely on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <thread>

namespace {

std::string fmt(const char* f, const void* p) {
  char buf[64];
  snprintf(buf, sizeof buf, f, p);
  return buf;
}

TEST(Compat, PointersPrintAsTheWindowsRuntimePrintsThem) {
  EXPECT_EQ(fmt("[%p]", nullptr), "[0000000000000000]");
  EXPECT_EQ(fmt("[%p]", (void*)0x1234abcd), "[000000001234abcd]");
  EXPECT_EQ(fmt("[%#p]", (void*)0x12), "[0x12]");
  EXPECT_EQ(fmt("[%6p]", (void*)0x12), "[    12]");
  EXPECT_EQ(fmt("[%-6p]", (void*)0x12), "[12    ]");
}

TEST(Compat, EnvironmentSizesAndCodes) {
  ASSERT_TRUE(SetEnvironmentVariableA("QUARN_COMPAT_T", "abc"));
  char buf[8];
  EXPECT_EQ(GetEnvironmentVariableA("QUARN_COMPAT_T", buf, sizeof buf), 3u);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(GetEnvironmentVariableA("QUARN_COMPAT_T", buf, 3), 4u) << "too small: the size with the zero";
  EXPECT_EQ(GetEnvironmentVariableA("QUARN_COMPAT_T", nullptr, 0), 4u);
  ASSERT_TRUE(SetEnvironmentVariableA("QUARN_COMPAT_T", nullptr));
  SetLastError(0);
  EXPECT_EQ(GetEnvironmentVariableA("QUARN_COMPAT_T", buf, sizeof buf), 0u);
  EXPECT_EQ(GetLastError(), 203u);
  EXPECT_EQ(_putenv("QUARN_COMPAT_T=x"), 0);
  EXPECT_STREQ(getenv("QUARN_COMPAT_T"), "x");
  EXPECT_EQ(_putenv("QUARN_COMPAT_T="), 0);
  EXPECT_EQ(getenv("QUARN_COMPAT_T"), nullptr) << "an empty value removes the variable";
}

TEST(Compat, MutexIsRecursiveForItsOwnerAndTimesOut) {
  HANDLE m = CreateMutexA(nullptr, FALSE, nullptr);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(WaitForSingleObject(m, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(m, 0), WAIT_OBJECT_0);
  DWORD other = 0, other_release = 0, other_code = 0;
  std::thread([&] {
    other = WaitForSingleObject(m, 50);
    other_release = ReleaseMutex(m);
    other_code = GetLastError();
  }).join();
  EXPECT_EQ(other, WAIT_TIMEOUT);
  EXPECT_FALSE(other_release);
  EXPECT_EQ(other_code, 288u);  // not the owner
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_TRUE(ReleaseMutex(m));
  EXPECT_FALSE(ReleaseMutex(m)) << "released as often as taken";
  std::thread([&] {
    other = WaitForSingleObject(m, 1000);
    ReleaseMutex(m);
  }).join();
  EXPECT_EQ(other, WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(m));
  SetLastError(0);
  EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), 6u);
  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(Compat, FileTimesAndCalendarTimes) {
  FILETIME ft = {0, 0};
  SYSTEMTIME st;
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear, 1601);
  EXPECT_EQ(st.wDayOfWeek, 1);  // a Monday
  unsigned long long v = 116444736000000000ULL + 15000ULL;  // 1970-01-01 00:00:00.0015
  ft = {(DWORD)v, (DWORD)(v >> 32)};
  ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
  EXPECT_EQ(st.wYear * 10000 + st.wMonth * 100 + st.wDay, 19700101);
  EXPECT_EQ(st.wDayOfWeek, 4);
  EXPECT_EQ(st.wMilliseconds, 1);
  FILETIME back;
  ASSERT_TRUE(SystemTimeToFileTime(&st, &back));
  EXPECT_EQ((unsigned long long)back.dwHighDateTime << 32 | back.dwLowDateTime, 116444736000000000ULL + 10000ULL);
  SYSTEMTIME feb30 = {2023, 2, 0, 30, 0, 0, 0, 0};
  SetLastError(0);
  EXPECT_FALSE(SystemTimeToFileTime(&feb30, &back));
  EXPECT_EQ(GetLastError(), 87u);
  ft = {0, 0x80000000u};
  EXPECT_FALSE(FileTimeToSystemTime(&ft, &st));
}

TEST(Compat, LocalTimeIsUtcMovedByTheZone) {
  setenv("TZ", "UTC-5", 1);  // five hours east
  tzset();
  SYSTEMTIME loc, utc;
  GetLocalTime(&loc);
  GetSystemTime(&utc);
  unsetenv("TZ");
  tzset();
  FILETIME fl, fu;
  ASSERT_TRUE(SystemTimeToFileTime(&loc, &fl) && SystemTimeToFileTime(&utc, &fu));
  auto secs = [](const FILETIME& f) { return (long long)((unsigned long long)f.dwHighDateTime << 32 | f.dwLowDateTime) / 10000000; };
  EXPECT_NEAR(secs(fl) - secs(fu), 5 * 3600, 2);
}

TEST(Compat, RuntimeTimesStopAt1970And3000) {
  time_t before = -1, last = 32535215999, past = 32535216000;
  EXPECT_EQ(localtime(&before), nullptr);
  struct tm out;
  EXPECT_EQ(localtime_r(&past, &out), nullptr);
  EXPECT_NE(localtime_r(&last, &out), nullptr);
  struct tm old{};
  old.tm_year = 50, old.tm_mon = 5, old.tm_mday = 1, old.tm_isdst = -1;
  struct tm kept = old;
  EXPECT_EQ(mktime(&old), -1);
  EXPECT_EQ(memcmp(&old, &kept, sizeof old), 0) << "a refused time is left as it was";
  struct tm y3001{};
  y3001.tm_year = 1101, y3001.tm_mday = 1;
  EXPECT_EQ(_mkgmtime(&y3001), -1);
  struct tm y2000{};
  y2000.tm_year = 100, y2000.tm_mday = 1;
  EXPECT_EQ(_mkgmtime(&y2000), 946684800);
}

TEST(Compat, SplitPathParts) {
  char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath("C:\\dir\\sub/name.tar.gz", drive, dir, name, ext);
  EXPECT_STREQ(drive, "C:");
  EXPECT_STREQ(dir, "\\dir\\sub/");
  EXPECT_STREQ(name, "name.tar");
  EXPECT_STREQ(ext, ".gz");
  _splitpath("/usr/bin/quarn", nullptr, dir, name, ext);
  EXPECT_STREQ(dir, "/usr/bin/");
  EXPECT_STREQ(name, "quarn");
  EXPECT_STREQ(ext, "");
}

TEST(Compat, WideTextFromUtf8AndLatin1) {
  WCHAR w[8];
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9", -1, w, 8), 3);  // a, e acute, the zero
  EXPECT_EQ(w[1], (WCHAR)0xE9);
  EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, w, 8), 1);
  EXPECT_EQ(w[0], (WCHAR)0xE9);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, nullptr, 0), 4) << "the size asked for";
  SetLastError(0);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, w, 3), 0);
  EXPECT_EQ(GetLastError(), 122u);
  EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC3(", 2, w, 8), 0);
  EXPECT_EQ(GetLastError(), 1113u);
  EXPECT_EQ(MultiByteToWideChar(12345, 0, "a", 1, w, 8), 0);
  EXPECT_EQ(GetLastError(), 87u);
}

class CompatFind : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    char tmp[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof tmp, tmp), 0u);
    dir = std::string(tmp) + "quarn-compat-" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    for (const char* f : {"a.txt", "b.c", ".hidden"}) touch(f, "xyz");
    ASSERT_TRUE(CreateDirectoryA((dir + "/sub").c_str(), nullptr));
  }
  void TearDown() override {
    for (const char* f : {"a.txt", "b.c", ".hidden"}) DeleteFileA((dir + "/" + f).c_str());
    RemoveDirectoryA((dir + "/sub").c_str());
    RemoveDirectoryA(dir.c_str());
  }
  void touch(const char* name, const char* text) {
    HANDLE h = CreateFileA((dir + "/" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n = 0;
    EXPECT_TRUE(WriteFile(h, text, (DWORD)strlen(text), &n, nullptr));
    EXPECT_EQ(n, strlen(text));
    EXPECT_TRUE(CloseHandle(h));
  }
  // names listed for the pattern, each with 'd' for a directory and 'h' for hidden
  std::set<std::string> list(const std::string& patt, DWORD* code = nullptr) {
    std::set<std::string> got;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(patt.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) {
      if (code) *code = GetLastError();
      return got;
    }
    do {
      std::string n = fd.cFileName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += ":d";
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) n += ":h";
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) EXPECT_EQ(fd.nFileSizeLow, 3u) << n;
      got.insert(n);
    } while (FindNextFileA(h, &fd));
    if (code) *code = GetLastError();
    EXPECT_TRUE(FindClose(h));
    return got;
  }
};

TEST_F(CompatFind, ListsWithTheSystemsWildcards) {
  DWORD code = 0;
  EXPECT_EQ(list(dir + "/*.*", &code), (std::set<std::string>{".:d", "..:d", ".hidden:h", "a.txt", "b.c", "sub:d"}));
  EXPECT_EQ(code, 18u);  // no more files
  EXPECT_EQ(list(dir + "\\*.C"), (std::set<std::string>{"b.c"})) << "either separator, any letter case";
  EXPECT_EQ(list(dir + "/?.txt"), (std::set<std::string>{"a.txt"}));
  EXPECT_TRUE(list(dir + "/x*", &code).empty());
  EXPECT_EQ(code, 2u);
  EXPECT_TRUE(list(dir + "/nosuch/*", &code).empty());
  EXPECT_EQ(code, 3u);
  EXPECT_EQ(GetFileAttributesA((dir + "/sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributesA((dir + "/none").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_FALSE(RemoveDirectoryA(dir.c_str())) << "not empty";
  EXPECT_FALSE(DeleteFileA((dir + "/sub").c_str())) << "a directory is no file";
}

TEST(Compat, TempFileNamesAreFreshFiles) {
  char tmp[MAX_PATH], a[MAX_PATH], b[MAX_PATH];
  ASSERT_GT(GetTempPathA(sizeof tmp, tmp), 0u);
  EXPECT_EQ(tmp[strlen(tmp) - 1], '/');
  ASSERT_NE(GetTempFileNameA(tmp, "qcx", 0, a), 0u);
  ASSERT_NE(GetTempFileNameA(tmp, "qcx", 0, b), 0u);
  EXPECT_STRNE(a, b);
  struct stat sb;
  EXPECT_EQ(stat(a, &sb), 0);
  EXPECT_TRUE(DeleteFileA(a));
  EXPECT_TRUE(DeleteFileA(b));
  EXPECT_FALSE(DeleteFileA(a));
  EXPECT_EQ(GetLastError(), 2u);
  const DWORD need = (DWORD)strlen(tmp) + 1;
  EXPECT_EQ(GetTempPathA(0, nullptr), need);
  EXPECT_EQ(GetTempPathA(1, a), need) << "too small: the size with the zero";
}

TEST(Compat, NoMonitorPipeOnLinux) {
  SetLastError(0);
  EXPECT_EQ(CreateFileA("\\\\.\\pipe\\errmon", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), 2u);
  EXPECT_FALSE(WaitNamedPipeA("\\\\.\\pipe\\errmon", 10));
}

}  // namespace
