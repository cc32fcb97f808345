#include <gtest/gtest.h>
#include <windows.h>

#include "err/errtest_helper.h"

namespace {
struct ToolRun {
  DWORD code = 0;
  std::string log;
};

// Starts the signal tool and waits for it; its log goes to a file of the test.
ToolRun run_tool(const TempDir& dir, int sig, const char* how = "") {
  ToolRun r;
  const std::string log = dir.file("sig" + std::to_string(sig) + how + ".err");
  std::string exe = exe_path();
  std::string cmd = "\"" + exe.substr(0, exe.find_last_of('\\')) + "\\sigh_raise.exe\" \"-errout:" + log + "\" " + std::to_string(sig) + " " + how;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ADD_FAILURE() << "CreateProcess() failed " << GetLastError() << ": " << cmd;
    return r;
  }
  EXPECT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  GetExitCodeProcess(pi.hProcess, &r.code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  r.log = read_text(log);
  return r;
}

}  // namespace

TEST(Sigh, InterruptAndBreakExitThroughExitHandlersCrashSignalsAbortAtOnce) {
  TempDir dir;
  for (int sig : {2, 21, 22, 8, 4, 11, 15}) {
    bool exits = sig == 2 || sig == 21;
    ToolRun r = run_tool(dir, sig);
    EXPECT_EQ(r.code, 0xFFFFFFFFu) << sig;
    auto l = lines_of(r.log);
    ASSERT_EQ(l.size(), exits ? 4u : 2u) << r.log;  // the exit handlers ran or not
    EXPECT_EQ(l[1], "sigh_raise: Received signal [" + std::to_string(sig) + (exits ? "] - exit." : "] - abort."));
    if (exits) {
      EXPECT_NE(l[0].find(": ERR -1 "), std::string::npos) << l[0];
      EXPECT_EQ(l[3], "sigh_raise: Exit handlers ran.");
    }
  }
}

TEST(Sigh, AccessViolationReachesAbortHandlerAndRestoreGivesDefaultHandling) {
  TempDir dir;
  ToolRun r = run_tool(dir, 0, "crash");
  EXPECT_EQ(r.code, 0xFFFFFFFFu);
  EXPECT_NE(r.log.find("sigh_raise: Received signal [11] - abort.\n"), std::string::npos) << r.log;
  EXPECT_EQ(r.log.find("Exit handlers ran."), std::string::npos) << r.log;
  r = run_tool(dir, 2, "restore");
  EXPECT_EQ(r.code, 3u);  // the runtime's own end for an interrupt
  EXPECT_EQ(r.log.find("Received signal"), std::string::npos) << r.log;
}
