#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "err/errtest_helper.h"

namespace {
std::string unique_pipe(const char* what) {
  static int seq = 0;
  return "\\\\.\\pipe\\errmon-test-" + std::string(what) + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(++seq);
}

// A monitor with one message-mode instance; it reads every message of a client
// until the client goes.
struct Monitor {
  explicit Monitor(const std::string& n, DWORD type = PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE) : name(n) {
    h = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_INBOUND, type | PIPE_WAIT, 1, 0, 65536, 100, nullptr);
  }
  ~Monitor() {
    if (th.joinable()) th.join();
    CloseHandle(h);
  }
  // a client may connect, write and even hang up before we get here
  bool accept() {
    return ConnectNamedPipe(h, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED || GetLastError() == ERROR_NO_DATA;
  }
  void read_all() {
    static char buf[65536];
    DWORD n;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr)) msgs.emplace_back(buf, n);
  }
  void serve() {
    th = std::thread([this] {
      if (accept()) read_all();
    });
  }
  HANDLE client() {
    return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  std::string name;
  HANDLE h;
  std::thread th;
  std::vector<std::string> msgs;
};

class ErrPipe : public ::testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableA("ERR", nullptr); }
  void TearDown() override { err_free(); }
  TempDir dir;
  std::string log = dir.file("log.err");
};
}  // namespace

TEST_F(ErrPipe, OneMessagePerRecord) {
  Monitor mon(unique_pipe("msg"));
  ASSERT_NE(mon.h, INVALID_HANDLE_VALUE);
  mon.serve();
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name), 0);
  ERR_LOG(ERR_ERR, 1, "first");
  ERR_LOG(ERR_WARN, 2, "%s", std::string(20000, 'm').c_str());
  ERR_USER(ERR_ERR, 3, "user reports stay off the pipe");
  ERR_LOG(ERR_INFO, 4, "below the threshold");
  ERR_LOG(ERR_CRIT, 5, "third");
  err_free();
  mon.th.join();
  auto l = lines_of(read_text(log));
  ASSERT_EQ(l.size(), 7u);
  ASSERT_EQ(mon.msgs.size(), 3u);
  EXPECT_EQ(mon.msgs[0], l[0] + "\n" + l[1] + "\n");
  EXPECT_EQ(mon.msgs[1], l[2] + "\n" + l[3] + "\n");
  EXPECT_EQ(mon.msgs[2], l[5] + "\n" + l[6] + "\n");
  EXPECT_EQ(l[6], app_name() + ": third");
}

TEST_F(ErrPipe, AbsentMonitorIsSilentAndAnEmptyValueSwitchesThePipeOff) {
  ASSERT_EQ(err_init_to(log, "-errpipe:" + unique_pipe("none")), 0);
  ERR_LOG(ERR_ERR, 1, "alone");
  err_free();
  EXPECT_EQ(lines_of(read_text(log)).size(), 2u);
  Monitor mon(unique_pipe("off"));
  mon.serve();
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name, {"-errpipe:"}), 0);
  ERR_LOG(ERR_ERR, 1, "not for the monitor");
  err_free();
  // the first client the monitor sees is ours
  HANDLE c = mon.client();
  ASSERT_NE(c, INVALID_HANDLE_VALUE);
  DWORD n;
  WriteFile(c, "marker", 6, &n, nullptr);
  FlushFileBuffers(c);  // the reader has it before we hang up
  CloseHandle(c);
  mon.th.join();
  ASSERT_EQ(mon.msgs.size(), 1u);
  EXPECT_EQ(mon.msgs[0], "marker");
}

TEST_F(ErrPipe, BusyMonitorMakesClientWait) {
  Monitor mon(unique_pipe("busy"));
  std::atomic<bool> taken{false};
  mon.th = std::thread([&] {
    if (!mon.accept()) return;
    taken = true;
    Sleep(400);  // the first client holds the only instance this long
    DisconnectNamedPipe(mon.h);
    if (mon.accept()) mon.read_all();
  });
  HANDLE first = mon.client();
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  while (!taken) Sleep(5);
  DWORD t0 = GetTickCount();
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name), 0);
  DWORD waited = GetTickCount() - t0;
  ERR_LOG(ERR_ERR, 1, "after the wait");
  err_free();
  mon.th.join();
  CloseHandle(first);
  EXPECT_GE(waited, 250u);
  EXPECT_EQ(mon.msgs.size(), 1u);
  EXPECT_EQ(lines_of(read_text(log)).size(), 2u);
}

TEST_F(ErrPipe, BusyMonitorTimesOut) {
  Monitor mon(unique_pipe("full"));
  mon.serve();
  HANDLE first = mon.client();
  ASSERT_NE(first, INVALID_HANDLE_VALUE);
  DWORD t0 = GetTickCount();
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name + " -errpipewaittimeout:+150ms"), 0);
  DWORD waited = GetTickCount() - t0;
  ERR_LOG(ERR_ERR, 1, "no monitor");
  err_free();
  CloseHandle(first);
  mon.th.join();
  EXPECT_GE(waited, 100u);
  EXPECT_TRUE(mon.msgs.empty());
  std::string t = read_text(log);
  EXPECT_TRUE(matches(t, internal_head_re(ERROR_SEM_TIMEOUT) +
                             re_escape("WaitNamedPipe() failed - pipename: `" + mon.name + "', waittimeout: 150l.\n") +
                             ".*\n" + re_escape(app_name()) + ": no monitor\n"))
      << t;
}

TEST_F(ErrPipe, FailedWriteDropsPipe) {
  Monitor mon(unique_pipe("drop"));
  mon.th = std::thread([&] {
    static char buf[65536];
    DWORD n;
    if (mon.accept() && ReadFile(mon.h, buf, sizeof buf, &n, nullptr)) mon.msgs.emplace_back(buf, n);
    DisconnectNamedPipe(mon.h);  // the monitor goes away after one record
  });
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name), 0);
  ERR_LOG(ERR_ERR, 1, "delivered");
  mon.th.join();
  ERR_LOG(ERR_ERR, 2, "lost");
  ERR_LOG(ERR_ERR, 3, "not tried");
  err_free();
  ASSERT_EQ(mon.msgs.size(), 1u);
  auto l = lines_of(read_text(log));
  ASSERT_EQ(l.size(), 8u);
  EXPECT_EQ(l[3], app_name() + ": lost");
  // the closed end is reported as "no process" or "not connected", depending on timing
  std::string broken = internal_head_re(ERROR_PIPE_NOT_CONNECTED);
  broken.replace(broken.find("233"), 3, "23[23]");
  EXPECT_TRUE(matches(l[4] + "\n" + l[5] + "\n", broken + R"(WriteFile\(\) failed \[[0-9A-Fa-fx]+\]\.\n)"))
      << l[4] << "\n" << l[5];
  EXPECT_EQ(l[7], app_name() + ": not tried");
}
