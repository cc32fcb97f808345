#include "c/ver.h"

#include <windows.h>

#include <cstdio>

#include "c/log_capture.h"

namespace {

const ver_pair kExtra[] = {{"Build host", "bh1"}, {"Empty", ""}, {"None", nullptr}, {"Branch", "main"}, {nullptr, nullptr}};

ver_info make_ver() {
  ver_info v{};
  v.marker = "VERINFO: tool 2.5.7.1234 (win32-x86) 2024-03-09 08:07:06";
  v.name = "tool";
  v.major = 2, v.minor = 5, v.patch = 7, v.build = 1234;
  v.platform = "win32-x86";
  v.processor = "x86";
  v.date = "2024-03-09";
  v.time = "08:07:06";
  v.product = "Prod";
  v.description = "";
  v.copyright = "(c) someone";
  v.vendor = "VENDORWORD";
  v.web = "w.example";
  v.compiler = "cc 1";
  v.comments = "last";
  v.extra = kExtra;
  return v;
}

std::string text_of(const ver_info& v, const char* sel, const char* sep = nullptr, int* err = nullptr) {
  char buf[1024];
  return ver_text(&v, sel, sep, buf, sizeof buf, err);
}

TEST(Ver, SelectorForms) {
  ver_info v = make_ver();
  const std::string list = "+ all nvp v vp vpd vd vm vmm vmmr";
  struct {
    const char *sel, *want;
  } cases[] = {
      {"+", "tool 2.5.7.1234 (win32-x86) 2024-03-09 08:07:06"},
      {"nvp", "tool 2.5.7.1234 (win32-x86)"}, {"NvP", "tool 2.5.7.1234 (win32-x86)"},
      {"v", "2.5.7.1234"}, {"vp", "2.5.7.1234 (win32-x86)"}, {"vpd", "2.5.7.1234 (win32-x86) 2024-03-09"},
      {"vd", "2.5.7.1234 2024-03-09"}, {"vm", "2"}, {"vmm", "2.5"}, {"VMM", "2.5"}, {"vmmr", "2.5.7"},
      {"ls", "tool 2.5.7.1234"}, {"LS", "tool 2.5.7.1234"},
      {"x", list.c_str()}, {"", list.c_str()}, {nullptr, list.c_str()}, {"vmmm", list.c_str()}, {"++", list.c_str()},
  };
  for (const auto& c : cases) {
    int err = -1;
    EXPECT_EQ(text_of(v, c.sel, nullptr, &err), c.want) << (c.sel ? c.sel : "(null)");
    EXPECT_EQ(err, 0);
  }
  v.platform = nullptr;
  EXPECT_EQ(text_of(v, "vp"), "2.5.7.1234 ()");
}

TEST(Ver, AllFormSkipsEmptyAndVendor) {
  ver_info v = make_ver();
  EXPECT_EQ(text_of(v, "All"),
            "tool 2.5.7.1234 (win32-x86) 2024-03-09 08:07:06\n  Product: Prod\n  Copyright: (c) someone"
            "\n  Web: w.example\n  Compiler: cc 1\n  Comments: last\n  Build host: bh1\n  Branch: main");
  v.description = "D", v.company = "Co", v.trademarks = "T", v.computer = "Cp", v.userid = "U";
  v.target = "Tg", v.system = "S", v.os = "O", v.linker = "L", v.extra = nullptr;
  std::string t = text_of(v, "all", ";");
  EXPECT_EQ(t.substr(t.find(';')),
            ";  Product: Prod;  Description: D;  Copyright: (c) someone;  Company: Co;  Web: w.example;"
            "  Trademarks: T;  Computer: Cp;  Userid: U;  Target: Tg;  System: S;  OS: O;  Compiler: cc 1;"
            "  Linker: L;  Comments: last");
  ver_info bare{};
  EXPECT_EQ(text_of(bare, "all"), " 0.0.0.0 ()  ");
}

TEST(Ver, InvalidArgumentsAndCuts) {
  ver_info v = make_ver();
  char buf[8] = "old";
  int err = 0;
  LogCapture log;
  ver_text(nullptr, "v", nullptr, buf, sizeof buf, &err);
  EXPECT_EQ(err, 9003);
  EXPECT_STREQ(buf, "");
  EXPECT_STREQ(ver_text(&v, "v", nullptr, buf, 6, &err), "2.5.7");
  EXPECT_EQ(err, 9005);
  EXPECT_STREQ(ver_text(&v, "vmmr", nullptr, buf, 6, &err), "2.5.7");  // exact fit
  EXPECT_EQ(err, 0);
  // the text is built in 8192 bytes
  std::string huge(9000, 'h');
  const ver_pair extra[] = {{"Huge", huge.c_str()}, {"After", "a"}, {nullptr, nullptr}};
  v.extra = extra;
  static char big[16384];
  ver_text(&v, "all", nullptr, big, sizeof big, &err);
  EXPECT_EQ(err, 9005);
  EXPECT_EQ(strlen(big), 8191u);
  EXPECT_TRUE(strstr(big, "  Huge: hhh") && !strstr(big, "After"));
  EXPECT_TRUE(log.has("mox_snprintf() failed - size: ")) << log.done();
  EXPECT_TRUE(log.has("Invalid param - ver: 0") && log.has(", bufsize: 8.")) << log.done();
  EXPECT_TRUE(log.has("mox_strcpy() failed - size: 6, ibuf: 10 `2.5.7.1234'.")) << log.done();
}

std::string read_text(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "r")) {
    for (int c; (c = fgetc(f)) != EOF;) s += (char)c;
    fclose(f);
  }
  return s;
}

TEST(VerPrint, StreamsAndFiles) {
  const ver_info v = make_ver();
  testing::internal::CaptureStdout();
  EXPECT_EQ(ver_print(&v, "vmm", nullptr) + ver_print(&v, "v", "STDOUT") + ver_print(&v, "vm", ""), 0);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "2.5\n2.5.7.1234\n2\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(ver_print(&v, "nvp", "StdErr"), 0);
  fflush(stderr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "tool 2.5.7.1234 (win32-x86)\n");

  char tmp[MAX_PATH];
  ASSERT_NE(GetTempPathA(sizeof tmp, tmp), 0u);
  std::string f = std::string(tmp) + "ver-" + std::to_string(GetCurrentProcessId()) + ".txt";
  FILE* w = fopen(f.c_str(), "w");
  ASSERT_NE(w, nullptr);
  fputs("an older and much longer content\nsecond line\n", w);
  fclose(w);
  EXPECT_EQ(ver_print(&v, "vd", f.c_str()), 0);
  EXPECT_EQ(read_text(f), "2.5.7.1234 2024-03-09\n");
  DeleteFileA(f.c_str());

  std::string bad = std::string(tmp) + "no-such-dir-" + std::to_string(GetTickCount()) + "\\ver.txt";
  LogCapture log;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ver_print(&v, "vm", bad.c_str()), 9001);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "2\n");  // the fallback
  EXPECT_EQ(ver_print(nullptr, "v", nullptr), 9003);
  EXPECT_TRUE(log.has("fopen() failed [" + bad + "].")) << log.done();
}

}  // namespace
