#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>

#include "err/errtest_helper.h"

namespace {
const std::string kPid = "(" + std::to_string(GetCurrentProcessId()) + ")";

class ErrLog : public ::testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableA("ERR", nullptr); }
  void TearDown() override { err_free(); }
  // a fresh log file for each configuration tried within one test
  int restart(const std::string& more = "", const std::vector<std::string>& args = {}) {
    err_free();
    DeleteFileA(log.c_str());
    return err_init_to(log, more, args);
  }
  std::vector<std::string> lines() { return lines_of(read_text(log)); }
  TempDir dir;
  std::string log = dir.file("log.err");
};
}  // namespace

TEST_F(ErrLog, RecordIsHeadLineAndMessageLine) {
  ASSERT_EQ(restart(), 0);
  const unsigned line = __LINE__ + 1;
  ERR_LOG(ERR_ERR, 9003, "`cfg' is NUL.");
  err_head(ERR_WARN, 5, "other", 1234, "x.c", 7);
  err_printf("hi %d", 3);
  err_head(ERR_INFO, 6, nullptr, -2, nullptr, 8);
  err_printf("%s", "b");
  err_head(9, 2, nullptr, -1, "y.c", 10);
  err_printf("d");
  auto l = lines();
  ASSERT_EQ(l.size(), 8u);
  EXPECT_TRUE(matches(l[0], head_re(app_name(), "ERR", 9003, exe_path() + kPid, __FILE__, line))) << l[0];
  EXPECT_EQ(l[1], "test_err_err: `cfg' is NUL.");
  EXPECT_TRUE(matches(l[2], head_re("other", "WARN", 5, "other(1234)", "x.c", 7))) << l[2];
  EXPECT_EQ(l[3], "other: hi 3");
  EXPECT_TRUE(matches(l[4], head_re(app_name(), "INFO", 6, exe_path(), "NUL", 8))) << l[4];
  EXPECT_TRUE(matches(l[6], head_re(app_name(), "ERR-9", 2, exe_path() + kPid, "y.c", 10))) << l[6];
  EXPECT_NE(read_raw(log).find("NUL.\r\n"), std::string::npos);  // text mode
}

TEST_F(ErrLog, ThresholdFromErrseverAndItsSources) {
  struct {
    const char* opts;
    int sever;
  } cases[] = {{"", 6}, {"-errsever:Warn", 5}, {"-errsever:bogus", 6}, {"-errsever:err -errsever:", 4},
               {"\"a -errsever:dbg\"", 6}, {"-\"errsever\":\"d\"bg", 8}, {"-errsever:dbg\t-errsever:info\r\n", 7},
               {"x-errsever:dbg", 6}};
  for (auto& c : cases) {
    ASSERT_EQ(restart(c.opts), 0);
    EXPECT_EQ(errsever, c.sever) << c.opts;
    for (int lvl = 1; lvl <= 8; ++lvl) ERR_LOG(lvl, 100 + lvl, "level %d", lvl);
    auto l = lines();
    ASSERT_EQ(l.size(), 2u * c.sever) << c.opts;
    EXPECT_EQ(l[2 * c.sever - 2].find(app_name() + ": " + err_level_word(c.sever)), 0u) << c.opts;
  }
  // defaults, then ERR, then the command line
  EnvVar env("ERR", "-errsever:warn");
  ASSERT_EQ(restart("-errsever:crit"), 0);
  EXPECT_EQ(errsever, 5);
  const std::string other = dir.file("other.err");
  ASSERT_EQ(restart("-errsever:crit", {"-errsever:dbg", "-errout:" + other, "-x:y", "word"}), 0);
  EXPECT_EQ(errsever, 8);
  ERR_LOG(ERR_DBG, 1, "to other");
  EXPECT_EQ(lines().size(), 0u);
  EXPECT_EQ(lines_of(read_text(other)).size(), 2u);
}

TEST_F(ErrLog, Destinations) {
  {
    FdCapture cap(2, dir.file("stderr.txt"));
    ASSERT_EQ(err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    const unsigned line = __LINE__ + 1;
    for (int lvl = 1; lvl <= 8; ++lvl) ERR_LOG(lvl, lvl, "level %d", lvl);
    err_free();
    auto l = lines_of(cap.stop());
    ASSERT_EQ(l.size(), 12u);  // 1-6 only; nothing about the absent monitor
    // without argv[0] the program has no name and no path
    EXPECT_TRUE(matches(l[0], head_re("", "EMERG", 1, kPid, __FILE__, line))) << l[0];
  }
  {
    FdCapture cap(1, dir.file("stdout.txt"));
    ASSERT_EQ(err_init_to("StdOut"), 0);
    ERR_LOG(ERR_ERR, 1, "to stdout");
    err_free();
    EXPECT_EQ(lines_of(cap.stop()).at(1), app_name() + ": to stdout");
  }
  ASSERT_EQ(restart("-errout:"), 0);  // an empty value keeps the earlier destination
  ERR_LOG(ERR_ERR, 1, "kept");
  err_free();
  ASSERT_EQ(err_init_to(log), 0);  // appended, not replaced
  ERR_LOG(ERR_ERR, 1, "again");
  EXPECT_EQ(lines().size(), 4u);
  // a file that cannot be opened: reported with errno, records fall back to stderr
  err_free();
  FdCapture cap(2, dir.file("stderr.txt"));
  const std::string bad = dir.file("missing\\x.err");
  ASSERT_EQ(err_init_to(bad), 0);
  ERR_LOG(ERR_ERR, 1, "fallback");
  err_free();
  std::string t = cap.stop();
  EXPECT_TRUE(matches(t, internal_re(ENOENT, "fopen() failed [" + bad + "].") + ".*\n" + re_escape(app_name()) +
                             ": fallback\n"))
      << t;
}

TEST_F(ErrLog, QuotingAndLimitsOfTheOptionWords) {
  // quotes group a blank; 2n backslashes before a quote give n and the quote still quotes
  ASSERT_EQ(restart("-errout:\"" + dir.file("a b.err") + "\" -errout:" + dir.path + "\\\\\"c d\".err"), 0);
  ERR_LOG(ERR_ERR, 1, "x");
  EXPECT_TRUE(file_exists(dir.file("c d.err")));
  EXPECT_FALSE(file_exists(dir.file("a b.err")));
  // 2n+1 backslashes give n and a literal quote, which does not quote the blank after it
  err_free();
  FdCapture cap(2, dir.file("stderr.txt"));
  const std::string opts = "-errout:" + dir.path + "\\x\\\"y z";
  ASSERT_EQ(err_init(0, nullptr, opts.c_str(), nullptr, nullptr, nullptr), 0);
  err_free();
  // a value too long for its buffer is refused; the earlier setting stays
  const std::string long_opts = "-errsever:err -errsever:" + std::string(300, 'x');
  ASSERT_EQ(err_init(0, nullptr, long_opts.c_str(), nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(errsever, 4);
  err_free();
  // 128 words are fine, one more and the whole text is ignored, in ERR too
  std::string words = "-errsever:dbg";
  for (int i = 2; i <= 128; ++i) words += " w" + std::to_string(i);
  for (const std::string& w : {words, words + " w129"}) {
    ASSERT_EQ(err_init(0, nullptr, w.c_str(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(errsever, w == words ? 8 : 6);
    err_free();
  }
  {
    EnvVar env("ERR", (words + " w129").c_str());
    ASSERT_EQ(err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(errsever, 6);
    err_free();
  }
  std::string t = cap.stop();
  EXPECT_NE(t.find("\nERR: fopen() failed [" + dir.path + "\\x\"y].\n"), std::string::npos) << t;
  const std::string too_long = "Option value longer than 255 characters ignored - option: `errsever'.";
  EXPECT_TRUE(matches(t, "(.*\n)*ERR: ERROR 7004 .*\nERR: " + re_escape(too_long) + "\n(.*\n)*")) << t;
  const std::string too_many = "ERR: Max err command line options [128] exceeded.\n";
  size_t first = t.find(too_many);
  EXPECT_TRUE(first != std::string::npos && t.find(too_many, first + 1) != std::string::npos) << t;
}

TEST_F(ErrLog, MacrosInErrout) {
  EnvVar self("QT_SELF", "x$(QT_SELF)y");
  EnvVar unset("QT_UNSET", nullptr);
  const std::string d = dir.path + "\\";
  struct {
    std::string value, file;
  } cases[] = {
      {d + "$(app)-$(pid).err", app_name() + "-" + std::to_string(GetCurrentProcessId()) + ".err"},
      {"$(QT_UNSET)" + d + "u.err", "u.err"},
      {d + "a$(QT_SELF)b.err", "ax$(QT_SELF)yb.err"},  // an inserted value is not scanned again
      {d + "$(app).$(noclose", app_name() + ".$(noclose"},
  };
  for (auto& c : cases) {
    ASSERT_EQ(restart("-errout:" + c.value), 0);
    ERR_LOG(ERR_ERR, 1, "macro");
    err_free();
    EXPECT_EQ(lines_of(read_text(dir.file(c.file))).size(), 2u) << c.value;
  }
  // a value that would reach 256 characters is not replaced; 255 fit
  const std::string v = dir.path + "\\$(QT_LONG).err";
  const size_t fixed = dir.path.size() + 5;  // the separator and ".err"
  for (size_t len : {255 - fixed, 256 - fixed}) {
    EnvVar longv("QT_LONG", std::string(len, 'l').c_str());
    FdCapture cap(2, dir.file("stderr.txt"));
    ASSERT_EQ(err_init_to(v), 0);
    err_free();
    const bool cut = len + fixed == 256;
    EXPECT_EQ(matches(cap.stop(), internal_re(7004, "`str' size too small - str: `" + v + "', strsz: 256.")), cut);
    EXPECT_TRUE(file_exists(cut ? v : dir.path + "\\" + std::string(len, 'l') + ".err")) << len;
  }
}

TEST_F(ErrLog, LongMessageIsCut) {
  ASSERT_EQ(restart(), 0);
  ERR_LOG(ERR_ERR, 1, "%s", std::string(40000, 'x').c_str());
  ERR_LOG(ERR_ERR, 2, "next");
  std::string t = read_text(log);
  ASSERT_GT(t.size(), 32767u);
  const std::string rec = t.substr(0, 32767);
  size_t head = rec.find('\n');
  ASSERT_NE(head, std::string::npos);
  EXPECT_EQ(rec.substr(head + 1), app_name() + ": " + std::string(32767 - head - 1 - app_name().size() - 2, 'x'));
  std::string rest = t.substr(32767);
  EXPECT_TRUE(matches(rest, internal_re(7004, "_err_vsnprintf() failed [32768].") + ".*\n" +
                                re_escape(app_name()) + ": next\n"))
      << rest.substr(0, 300);
}

TEST_F(ErrLog, UserReportsHookAndCallerErrorState) {
  SetLastError(1234);
  errno = 33;
  ASSERT_EQ(err_init_to(log), 0);  // the absent monitor leaves error 2 inside
  ERR_USER(ERR_ERR, 9012, "No path specified.");
  ERR_USER(ERR_DBG, 1, "not filtered %d", 8);
  err_user_head(12, 5, "nm", 99);
  err_user_printf("x %s", "y");
  EXPECT_EQ(read_text(log), "test_err_err: ERR[9012]: No path specified.\ntest_err_err: DBG[1]: not filtered 8\n"
                            "nm: ERR-12[5]: x y\n");
  // the hook sees each report as "level code name pid msg"
  std::vector<std::string> seen;
  auto hook = [](const uerr_item* it, void* u) {
    ((std::vector<std::string>*)u)->push_back(std::to_string(it->level) + " " + std::to_string(it->code) + " " +
                                              it->name + " " + std::to_string((int)it->pid) + " " + it->msg);
    SetLastError(5);
    errno = 1;
    return 0;
  };
  err_free();
  DeleteFileA(log.c_str());
  ASSERT_EQ(err_init_to(log, "", {}, hook, &seen), 0);
  SetLastError(1234);  // neither the log nor the hook may change the caller's error state
  ERR_USER(ERR_WARN, 9001, "No filter command: %s", "abc");
  err_user_head(ERR_ERR, 7, "named", 77);
  err_user_printf("second");
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_EQ(errno, 33);
  EXPECT_EQ(seen, (std::vector<std::string>{"5 9001 test_err_err -1 No filter command: abc", "4 7 named 77 second"}));
  EXPECT_EQ(read_text(log), "");  // a hook that takes the report: nothing on the stream
}

TEST_F(ErrLog, HiresCounterAndLifeCycle) {
  for (const char* opts : {"-errhires:Tx", "-errhires:y -errhires:"}) {
    ASSERT_EQ(restart(opts), 0);
    ERR_LOG(ERR_ERR, 1, "h");
    EXPECT_EQ(matches(lines().at(0), R"(.* \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\(\d{10}\) .*)"), opts[10] == 'T');
  }
  ASSERT_EQ(restart(), 0);
  EXPECT_EQ(err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr), 7001);
  ERR_LOG(ERR_ERR, 1, "still here");  // the running log was left alone
  auto l = lines();
  ASSERT_EQ(l.size(), 4u);
  EXPECT_TRUE(matches(l[0] + "\n" + l[1] + "\n",
                      internal_head_re(7001) + re_escape("Mutex already created - mutex[") + ".+\\]: .+\\.\n"));
  EXPECT_EQ(l[3], app_name() + ": still here");
  err_free();
  EXPECT_EQ(err_active, 0);
  ERR_LOG(ERR_ERR, 1, "dropped");
  ERR_USER(ERR_ERR, 1, "dropped");
  EXPECT_EQ(lines().size(), 4u);
}
