#include "c/mutex.h"

#include <windows.h>

#include <cstdio>
#include <thread>

#include "c/log_capture.h"

namespace {

std::string text(const char* fmt, const mutex* m) {
  char buf[256];
  snprintf(buf, sizeof buf, fmt, (void*)m, m->h);
  return buf;
}

TEST(Mutex, RecursionAndOneUnlockTooMany) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  void* h = m.h;
  EXPECT_EQ(mutex_init(&m), 9007);
  EXPECT_EQ(m.h, h);  // still the working mutex
  EXPECT_EQ(mutex_lock(&m, MUTEX_INFINITE), 0);
  EXPECT_EQ(mutex_lock(&m, 0), 0);  // the owner may take it again
  EXPECT_EQ(mutex_unlock(&m) + mutex_unlock(&m), 0);
  LogCapture log;
  EXPECT_EQ(mutex_unlock(&m), (int)ERROR_NOT_OWNER);
  EXPECT_EQ(mutex_free(&m), 0);
  EXPECT_EQ(m.h, nullptr);
  EXPECT_TRUE(log.has(": ERR 288 ")) << log.done();
}

TEST(Mutex, TimeoutOnMutexOfOtherThread) {
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
  {
    LogCapture log;
    EXPECT_EQ(mutex_lock(&m, 0), 9011);
    EXPECT_TRUE(log.has(": WARN 9011 ") && log.has(": " + text("Mutex timeout - mutex[%p]: %p.", &m))) << log.done();
  }
  SetEvent(done);
  owner.join();
  mutex_free(&m);
  CloseHandle(held);
  CloseHandle(done);
}

TEST(Mutex, OwnerEndingHoldingItLeavesItAbandoned) {
  mutex m{};
  ASSERT_EQ(mutex_init(&m), 0);
  std::thread([&] { mutex_lock(&m, MUTEX_INFINITE); }).join();
  LogCapture log;
  EXPECT_EQ(mutex_lock(&m, 1000), 0);
  EXPECT_EQ(mutex_unlock(&m), 0);
  EXPECT_TRUE(log.has(": WARN ") && log.has(": " + text("Abandoned mutex - mutex[%p]: %p.", &m))) << log.done();
  mutex_free(&m);
}

TEST(Mutex, BadRecordsAndHandles) {
  EXPECT_EQ(mutex_init(nullptr) + mutex_free(nullptr) + mutex_lock(nullptr, 0) + mutex_unlock(nullptr), 4 * 9003);
  mutex m{};
  SetLastError(0);
  EXPECT_EQ(mutex_lock(&m, 0), (int)ERROR_INVALID_HANDLE);  // never created
  EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);   // still there for the caller
  ASSERT_EQ(mutex_init(&m), 0);
  void* h = m.h;
  mutex_clear(&m);  // forgotten, not closed
  EXPECT_EQ(mutex_free(&m), 0);
  LogCapture log;  // opens its file before the handle value is free for reuse
  m.h = h;
  EXPECT_EQ(mutex_free(&m), 0);
  m.h = h;  // closed already
  EXPECT_EQ(mutex_free(&m), (int)ERROR_INVALID_HANDLE);
  EXPECT_EQ(m.h, h);
  EXPECT_TRUE(log.has(": ERR 6 ") && log.has(": " + text("CloseHandle() failed - mutex[%p]: %p.", &m))) << log.done();
}

}  // namespace
