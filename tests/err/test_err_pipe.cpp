#include <gtest/gtest.h>
#include <windows.h>

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
  // reads up to max messages of the client
  void read(int max = 1 << 30) {
    static char buf[65536];
    DWORD n;
    for (int i = 0; i < max && ReadFile(h, buf, sizeof buf, &n, nullptr); ++i) msgs.emplace_back(buf, n);
  }
  void serve() {
    th = std::thread([this] {
      if (accept()) read();
    });
  }
  HANDLE client() { return CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr); }
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

TEST_F(ErrPipe, OneMessagePerRecordUntilAWriteFails) {
  Monitor mon(unique_pipe("msg"));
  ASSERT_NE(mon.h, INVALID_HANDLE_VALUE);
  mon.th = std::thread([&] {
    if (mon.accept()) mon.read(3);
    DisconnectNamedPipe(mon.h);  // the monitor goes away after three records
  });
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name), 0);
  ERR_LOG(ERR_ERR, 1, "first");
  ERR_LOG(ERR_WARN, 2, "%s", std::string(20000, 'm').c_str());
  ERR_USER(ERR_ERR, 3, "user reports stay off the pipe");
  ERR_LOG(ERR_INFO, 4, "below the threshold");
  ERR_LOG(ERR_CRIT, 5, "third");
  mon.th.join();
  ERR_LOG(ERR_ERR, 6, "lost");
  ERR_LOG(ERR_ERR, 7, "not tried");
  err_free();
  auto l = lines_of(read_text(log));
  ASSERT_EQ(l.size(), 13u);
  EXPECT_EQ(mon.msgs, (std::vector<std::string>{l[0] + "\n" + l[1] + "\n", l[2] + "\n" + l[3] + "\n",
                                                l[5] + "\n" + l[6] + "\n"}));
  EXPECT_EQ(l[8], app_name() + ": lost");
  // the closed end is reported as "no process" or "not connected", depending on timing
  std::string broken = internal_head_re(ERROR_PIPE_NOT_CONNECTED);
  broken.replace(broken.find("233"), 3, "23[23]");
  EXPECT_TRUE(matches(l[9] + "\n" + l[10] + "\n", broken + R"(WriteFile\(\) failed \[[0-9A-Fa-fx]+\]\.\n)"))
      << l[9] << "\n" << l[10];
  EXPECT_EQ(l[12], app_name() + ": not tried");
}

// an absent monitor is silent (see the log tests); an empty value switches the pipe off
TEST_F(ErrPipe, AnEmptyValueSwitchesThePipeOff) {
  Monitor mon(unique_pipe("off"));
  mon.serve();
  ASSERT_EQ(err_init_to(log, "-errpipe:" + mon.name, {"-errpipe:"}), 0);
  ERR_LOG(ERR_ERR, 1, "not for the monitor");
  err_free();
  HANDLE c = mon.client();  // the first client the monitor sees is ours
  DWORD n;
  WriteFile(c, "marker", 6, &n, nullptr);
  FlushFileBuffers(c);
  CloseHandle(c);
  mon.th.join();
  EXPECT_EQ(mon.msgs, std::vector<std::string>{"marker"});
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
  EXPECT_TRUE(matches(read_text(log), internal_head_re(ERROR_SEM_TIMEOUT) +
                                          re_escape("WaitNamedPipe() failed - pipename: `" + mon.name +
                                                    "', waittimeout: 150l.\n") +
                                          ".*\n" + re_escape(app_name()) + ": no monitor\n"))
      << read_text(log);
}
