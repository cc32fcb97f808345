// Commands run through the shell: a recorder program of the tests reports what it got.
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "cmd/cmd.h"

namespace {

std::string exe_dir() {
  char self[MAX_PATH];
  std::string p(self, GetModuleFileNameA(nullptr, self, sizeof self));
  return p.substr(0, p.find_last_of("\\/") + 1);
}

struct Fixture : testing::Test {
  std::string dir, out, rec;
  cmdlist l{};
  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    dir = std::string(tmp) + "cmdrun " + std::to_string(GetCurrentProcessId());  // a blank in the path
    CreateDirectoryA(dir.c_str(), nullptr);
    out = dir + "\\rec.txt";
    DeleteFileA(out.c_str());
    SetEnvironmentVariableA("CMDREC_OUT", out.c_str());
    rec = exe_dir() + "cmdrec.exe";
    ASSERT_NE(GetFileAttributesA(rec.c_str()), INVALID_FILE_ATTRIBUTES) << "the tool cmdrec is not built";
    ASSERT_EQ(cmdlist_init(&l), 0);
  }
  void TearDown() override {
    cmdlist_free(&l);
    DeleteFileA(out.c_str());
    RemoveDirectoryA(dir.c_str());
  }
  // The two lines the recorder wrote, or "" when it did not run within 20 s.
  std::string wait_record() {
    for (int i = 0; i < 400; ++i) {
      if (FILE* f = fopen(out.c_str(), "rb")) {
        std::string s;
        char buf[1024];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        fclose(f);
        return s;
      }
      Sleep(50);
    }
    return "";
  }
};

TEST_F(Fixture, ShellRunsTheFileWithParamsInTheDirectory) {
  cmd* c = cmdlist_add(&l, "fopen", "shexec -verb:open -show:SHOWMINNOACTIVE", "first \"two words\"", 0);
  ASSERT_NE(c, nullptr);
  ASSERT_EQ(cmd_run(c, rec.c_str(), dir.c_str(), nullptr), 0);
  std::string got = wait_record();
  ASSERT_FALSE(got.empty()) << "the recorder did not run";
  size_t nl = got.find('\n');
  std::string line = got.substr(0, nl), cwd = got.substr(nl + 1);
  EXPECT_NE(line.find("cmdrec.exe"), std::string::npos) << line;
  EXPECT_NE(line.find(" first \"two words\""), std::string::npos) << line;
  EXPECT_EQ(cwd, dir + "\n");
}

TEST_F(Fixture, ShellFailureIsTheSystemsCode) {
  cmd* c = cmdlist_add(&l, "c", "shexec -verb:open", "p", 0);
  std::string missing = dir + "\\no such.exe";
  LogCapture log;
  // the shell tells the user in a message box of this process; a watcher answers it
  volatile LONG stop = 0, boxes = 0;
  struct Watch {
    volatile LONG* stop;
    volatile LONG* boxes;
  } w{&stop, &boxes};
  HANDLE th = CreateThread(
      nullptr, 0,
      [](LPVOID p) -> DWORD {
        Watch* w = static_cast<Watch*>(p);
        while (!*w->stop) {
          EnumWindows(
              [](HWND h, LPARAM lp) -> BOOL {
                DWORD pid = 0;
                char cls[16] = "";
                GetWindowThreadProcessId(h, &pid);
                GetClassNameA(h, cls, sizeof cls);
                if (pid == GetCurrentProcessId() && strcmp(cls, "#32770") == 0 && IsWindowVisible(h)) {
                  InterlockedIncrement(reinterpret_cast<Watch*>(lp)->boxes);
                  PostMessageA(h, WM_COMMAND, IDOK, 0);
                }
                return TRUE;
              },
              reinterpret_cast<LPARAM>(w));
          Sleep(100);
        }
        return 0;
      },
      &w, 0, nullptr);
  int e = cmd_run(c, missing.c_str(), nullptr, nullptr);
  stop = 1;
  WaitForSingleObject(th, 5000);
  CloseHandle(th);
  EXPECT_NE(e, 0);
  EXPECT_NE(e, 9003);  // the system's code
  EXPECT_TRUE(log.has("ShellExecuteEx() failed - verb: `open', pfile: `" + missing + "', params: `p', pdir: `NUL'."))
      << log.done();
}

}  // namespace
