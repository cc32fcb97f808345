#include "c/ver.h"

#include <windows.h>

#include <cstdio>

#include "c/log_capture.h"

namespace {

const ver_pair kExtra[] = {{"Build host", "bh1"}, {"Empty", ""}, {"None", nullptr}, {"Branch", "main"}, {nullptr, nullptr}};

ver_info make_ver() {
  ver_info v{};
  v.marker = "VERINFO: tool 2.5.7.1234 (win32-x86) 2024-03-09 08:07:06";
  v.name = "tool", v.platform = "win32-x86", v.date = "2024-03-09", v.time = "08:07:06";
  v.major = 2, v.minor = 5, v.patch = 7, v.build = 1234;
  v.product = "Prod", v.description = "", v.vendor = "VENDORWORD", v.comments = "last", v.extra = kExtra;
  return v;
}

std::string text_of(const ver_info& v, const char* sel, const char* sep = nullptr) {
  char buf[1024];
  int err = -1;
  std::string t = ver_text(&v, sel, sep, buf, sizeof buf, &err);
  EXPECT_EQ(err, 0) << sel;
  return t;
}

TEST(Ver, SelectorForms) {
  ver_info v = make_ver();
  const std::string list = "+ all nvp v vp vpd vd vm vmm vmmr";
  const char* cases[][2] = {{"NvP", "tool 2.5.7.1234 (win32-x86)"}, {"vpd", "2.5.7.1234 (win32-x86) 2024-03-09"},
                            {"ls", "tool 2.5.7.1234"}, {"vmmm", list.c_str()}, {"++", list.c_str()}};
  for (const auto& c : cases) EXPECT_EQ(text_of(v, c[0]), c[1]) << c[0];
  // the long form skips empty values and the vendor word
  EXPECT_EQ(text_of(v, "All", ";"),
            "tool 2.5.7.1234 (win32-x86) 2024-03-09 08:07:06;  Product: Prod;  Comments: last;  Build host: bh1;"
            "  Branch: main");
}

TEST(Ver, CutsAtTheBufferAndAtTheWorkingSize) {
  ver_info v = make_ver();
  char buf[8] = "old";
  int err = 0;
  LogCapture log;
  auto run = [&](const ver_info* vi, const char* sel, unsigned size) {
    std::string t = ver_text(vi, sel, nullptr, buf, size, &err);
    return t + "|" + std::to_string(err);
  };
  EXPECT_EQ(run(nullptr, "v", sizeof buf), "|9003");
  EXPECT_EQ(run(&v, "v", 6), "2.5.7|9005");
  EXPECT_EQ(run(&v, "vmmr", 6), "2.5.7|0");  // exact fit
  // the text is built in 8192 bytes
  std::string huge(9000, 'h');
  const ver_pair extra[] = {{"Huge", huge.c_str()}, {"After", "a"}, {nullptr, nullptr}};
  v.extra = extra;
  static char big[16384];
  ver_text(&v, "all", nullptr, big, sizeof big, &err);
  EXPECT_EQ(err, 9005);
  EXPECT_EQ(strlen(big), 8191u);
  EXPECT_TRUE(strstr(big, "  Huge: hhh") && !strstr(big, "After"));
  EXPECT_TRUE(log.has("mox_strcpy() failed - size: 6, ibuf: 10 `2.5.7.1234'.")) << log.done();
}

TEST(VerPrint, ReplacesTheFileOrFallsBackToStdout) {
  const ver_info v = make_ver();
  char tmp[MAX_PATH], line[64] = "";
  ASSERT_NE(GetTempPathA(sizeof tmp, tmp), 0u);
  std::string f = std::string(tmp) + "ver-" + std::to_string(GetCurrentProcessId()) + ".txt";
  FILE* w = fopen(f.c_str(), "w");
  ASSERT_NE(w, nullptr);
  fputs("an older and much longer content\nsecond line\n", w), fclose(w);
  EXPECT_EQ(ver_print(&v, "vd", f.c_str()), 0);
  ASSERT_NE(w = fopen(f.c_str(), "r"), nullptr);
  size_t n = fread(line, 1, sizeof line - 1, w);
  fclose(w);
  EXPECT_EQ(std::string(line, n), "2.5.7.1234 2024-03-09\n");  // replaced, not overwritten in place
  DeleteFileA(f.c_str());
  std::string bad = std::string(tmp) + "no-such-dir-" + std::to_string(GetTickCount()) + "\\ver.txt";
  LogCapture log;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ver_print(&v, "vm", bad.c_str()), 9001);
  fflush(stdout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "2\n");  // the fallback
  EXPECT_TRUE(log.has("fopen() failed [" + bad + "].")) << log.done();
}

}  // namespace
