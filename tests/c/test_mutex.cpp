#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <thread>

#include "c/mutex.h"
#include "err/err.h"

namespace {
// Records of the log go to a file of the test, read back line by line.
class Mutex : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    log = std::string(tmp) + "mutex-test-" + std::to_string(GetCurrentProcessId()) + ".err";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("ERR", nullptr);
    std::string opts = "-errout:\"" + log + "\"";
    ASSERT_EQ(err_init(0, nullptr, opts.c_str(), nullptr, nullptr, nullptr), 0);
  }
  void TearDown() override {
    err_free();
    DeleteFileA(log.c_str());
  }
  // the message lines (every second line) of the records so far
  std::vector<std::string> messages() {
    std::vector<std::string> v;
    if (FILE* f = fopen(log.c_str(), "rt")) {
      char line[1024];
      for (int i = 0; fgets(line, sizeof line, f); ++i) {
        std::string s = line;
        if (!s.empty() && s.back() == '\n') s.pop_back();
        v.push_back(s);
      }
      fclose(f);
    }
    return v;
  }
  static std::string text(const char* fmt, const mutex* m) {
    char buf[256];
    snprintf(buf, sizeof buf, fmt, (void*)m, m->h);
    return buf;
  }
  std::string log;
};
}  // namespace

TEST_F(Mutex, LockUnlockAndRecursion) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  ASSERT_NE(m.h, nullptr);
  EXPECT_EQ(mutex_lock(&m, MUTEX_INFINITE), 0);
  EXPECT_EQ(mutex_lock(&m, 0), 0);  // the owner may take it again
  EXPECT_EQ(mutex_unlock(&m), 0);
  EXPECT_EQ(mutex_unlock(&m), 0);
  EXPECT_EQ(mutex_unlock(&m), (int)ERROR_NOT_OWNER);  // one unlock too many
  EXPECT_EQ(mutex_free(&m), 0);
  EXPECT_EQ(m.h, nullptr);
  auto l = messages();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_NE(l[0].find(": ERR 288 "), std::string::npos) << l[0];
}

TEST_F(Mutex, TimeoutOnMutexOfOtherThread) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread owner([&] {
    mutex_lock(&m, MUTEX_INFINITE);
    SetEvent(held);
    WaitForSingleObject(done, INFINITE);
    mutex_unlock(&m);
  });
  WaitForSingleObject(held, INFINITE);
  DWORD t0 = GetTickCount();
  EXPECT_EQ(mutex_lock(&m, 0), 9011);
  EXPECT_LT(GetTickCount() - t0, 100u);
  SetEvent(done);
  owner.join();
  EXPECT_EQ(mutex_lock(&m, 1000), 0);  // free again
  EXPECT_EQ(mutex_unlock(&m), 0);
  auto l = messages();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_NE(l[0].find(": WARN 9011 "), std::string::npos) << l[0];
  EXPECT_EQ(l[1], ": " + text("Mutex timeout - mutex[%p]: %p.", &m));
  mutex_free(&m);
  CloseHandle(held);
  CloseHandle(done);
}

TEST_F(Mutex, OwnerEndingHoldingItLeavesItAbandoned) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  std::thread([&] { mutex_lock(&m, MUTEX_INFINITE); }).join();
  EXPECT_EQ(mutex_lock(&m, 1000), 0);
  EXPECT_EQ(mutex_unlock(&m), 0);
  auto l = messages();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_NE(l[0].find(": WARN "), std::string::npos) << l[0];
  EXPECT_EQ(l[1], ": " + text("Abandoned mutex - mutex[%p]: %p.", &m));
  mutex_free(&m);
}

TEST_F(Mutex, InitTwiceKeepsHandle) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  void* h = m.h;
  EXPECT_EQ(mutex_init(&m), 9007);
  EXPECT_EQ(m.h, h);
  EXPECT_EQ(mutex_lock(&m, 0), 0);  // still the working mutex
  EXPECT_EQ(mutex_unlock(&m), 0);
  auto l = messages();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_NE(l[0].find(": ERR 9007 "), std::string::npos) << l[0];
  EXPECT_EQ(l[1], ": " + text("Mutex already created - mutex[%p]: %p.", &m));
  EXPECT_EQ(mutex_free(&m), 0);
}

TEST_F(Mutex, BadRecordsAndHandles) {
  EXPECT_EQ(mutex_init(nullptr), 9003);
  EXPECT_EQ(mutex_free(nullptr), 9003);
  EXPECT_EQ(mutex_lock(nullptr, 0), 9003);
  EXPECT_EQ(mutex_unlock(nullptr), 9003);
  mutex_clear(nullptr);
  auto l = messages();
  ASSERT_EQ(l.size(), 10u);
  for (size_t i = 1; i < l.size(); i += 2) EXPECT_EQ(l[i], ": `mutex' is NUL.");

  mutex m{};
  SetLastError(0);
  EXPECT_EQ(mutex_lock(&m, 0), (int)ERROR_INVALID_HANDLE);  // never created
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);   // still there for the caller
  const std::string lock_failed = ": " + text("Mutex lock failed - mutex[%p]: %p.", &m);
  ASSERT_EQ(mutex_init(&m), 0);
  void* h = m.h;
  mutex_clear(&m);  // forgotten, not closed
  EXPECT_EQ(m.h, nullptr);
  EXPECT_EQ(mutex_free(&m), 0);
  m.h = h;
  EXPECT_EQ(mutex_free(&m), 0);
  m.h = h;  // closed already
  EXPECT_EQ(mutex_free(&m), (int)ERROR_INVALID_HANDLE);
  EXPECT_EQ(m.h, h);
  l = messages();
  ASSERT_EQ(l.size(), 14u);
  EXPECT_EQ(l[11], lock_failed);
  EXPECT_NE(l[10].find(": ERR 6 "), std::string::npos) << l[10];
  EXPECT_EQ(l[13], ": " + text("CloseHandle() failed - mutex[%p]: %p.", &m));
}
