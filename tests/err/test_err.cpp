#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <regex>

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

long long filetime_of(const SYSTEMTIME& st) {
  FILETIME ft;
  SystemTimeToFileTime(&st, &ft);
  return (long long)ft.dwHighDateTime << 32 | ft.dwLowDateTime;
}
}  // namespace

TEST_F(ErrLog, RecordIsHeadLineAndMessageLine) {
  ASSERT_EQ(app_name(), "test_err_err");
  ASSERT_EQ(restart(), 0);
  EXPECT_EQ(err_active, 1);
  const unsigned line = __LINE__ + 1;
  ERR_LOG(ERR_ERR, 9003, "`cfg' is NUL.");
  auto l = lines();
  ASSERT_EQ(l.size(), 2u);
  EXPECT_TRUE(matches(l[0], head_re(app_name(), "ERR", 9003, exe_path(), kPid, __FILE__, line))) << l[0];
  EXPECT_EQ(l[1], "test_err_err: `cfg' is NUL.");
  EXPECT_NE(read_file(log).find("NUL.\r\n"), std::string::npos);  // text mode

  // the time stamp is the local time of the record, to the millisecond
  std::smatch m;
  ASSERT_TRUE(std::regex_search(l[0], m, std::regex(R"((\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d{3}))")));
  SYSTEMTIME st{}, now;
  st.wYear = (WORD)std::stoi(m[1]), st.wMonth = (WORD)std::stoi(m[2]), st.wDay = (WORD)std::stoi(m[3]);
  st.wHour = (WORD)std::stoi(m[4]), st.wMinute = (WORD)std::stoi(m[5]), st.wSecond = (WORD)std::stoi(m[6]);
  st.wMilliseconds = (WORD)std::stoi(m[7]);
  GetLocalTime(&now);
  EXPECT_LT(llabs(filetime_of(now) - filetime_of(st)), 600000000LL);  // one minute
}

TEST_F(ErrLog, HeadNamesCallerProcessAndLevel) {
  ASSERT_EQ(restart(), 0);
  err_head(ERR_WARN, 5, "other", 1234, "x.c", 7);
  err_printf("hi %d", 3);
  err_head(ERR_INFO, 6, nullptr, -2, nullptr, 8);
  err_printf("%s", "b");
  err_head(0, 1, nullptr, -1, "y.c", 9);
  err_printf("c");
  err_head(9, 2, nullptr, -1, "y.c", 10);
  err_printf("d");
  auto l = lines();
  ASSERT_EQ(l.size(), 8u);
  EXPECT_TRUE(matches(l[0], head_re("other", "WARN", 5, "other", "(1234)", "x.c", 7))) << l[0];
  EXPECT_EQ(l[1], "other: hi 3");
  EXPECT_TRUE(matches(l[2], head_re(app_name(), "INFO", 6, exe_path(), "", "NUL", 8))) << l[2];
  EXPECT_EQ(l[3], app_name() + ": b");
  EXPECT_TRUE(matches(l[4], head_re(app_name(), "ERR-0", 1, exe_path(), kPid, "y.c", 9))) << l[4];
  EXPECT_TRUE(matches(l[6], head_re(app_name(), "ERR-9", 2, exe_path(), kPid, "y.c", 10))) << l[6];
}

TEST_F(ErrLog, ThresholdFromErrsever) {
  struct {
    const char* opts;
    int sever;
  } cases[] = {{"", 6},
               {"-errsever:DBG", 8},
               {"-errsever:Warn", 5},
               {"-errsever:bogus", 6},
               {"-errsever:err -errsever:", 4},
               {"-ErrSever:crit", 3},
               {"-errsever:emerg", 1}};
  for (auto& c : cases) {
    ASSERT_EQ(restart(c.opts), 0);
    EXPECT_EQ(errsever, c.sever) << c.opts;
    for (int lvl = 1; lvl <= 8; ++lvl) ERR_LOG(lvl, 100 + lvl, "level %d", lvl);
    auto l = lines();
    ASSERT_EQ(l.size(), 2u * c.sever) << c.opts;
    for (int lvl = 1; lvl <= c.sever; ++lvl) {
      EXPECT_EQ(l[2 * lvl - 2].find(app_name() + ": " + err_level_word(lvl) + " " + std::to_string(100 + lvl)), 0u);
      EXPECT_EQ(l[2 * lvl - 1], app_name() + ": level " + std::to_string(lvl));
    }
  }
}

TEST_F(ErrLog, DefaultsGoToStderr) {
  FdCapture cap(2, dir.file("stderr.txt"));
  ASSERT_EQ(err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
  const unsigned line = __LINE__ + 1;
  for (int lvl = 1; lvl <= 8; ++lvl) ERR_LOG(lvl, lvl, "level %d", lvl);
  err_free();
  auto l = lines_of(cap.stop());
  ASSERT_EQ(l.size(), 12u);  // 1-6 only; nothing about the absent monitor
  // without argv[0] the program has no name and no path
  EXPECT_TRUE(matches(l[0], head_re("", "EMERG", 1, "", kPid, __FILE__, line))) << l[0];
  EXPECT_EQ(l[11], ": level 6");
}

TEST_F(ErrLog, Destinations) {
  {
    FdCapture cap(1, dir.file("stdout.txt"));
    ASSERT_EQ(err_init_to("StdOut"), 0);
    ERR_LOG(ERR_ERR, 1, "to stdout");
    err_free();
    auto l = lines_of(cap.stop());
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[1], app_name() + ": to stdout");
  }
  // an empty value keeps the earlier destination
  ASSERT_EQ(restart("-errout:"), 0);
  ERR_LOG(ERR_ERR, 1, "kept");
  EXPECT_EQ(lines().size(), 2u);
  // appended, not replaced
  err_free();
  ASSERT_EQ(err_init_to(log), 0);
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

TEST_F(ErrLog, SourcesInOrder) {
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

TEST_F(ErrLog, WordSyntax) {
  struct {
    const char* opts;
    int sever;
  } cases[] = {
      {"junk -errsever:dbg", 8},         {"\"a -errsever:dbg\"", 6},        {"- -errsever:dbg", 6},
      {"-errsever:\"d\"bg", 8},          {"-\"errsever\":dbg", 8},          {"-errsever:\"dbg x\"", 6},
      {"-errsever:dbg x", 8},            {"-errsever:dbg\t-errsever:info\r\n", 7},
      {"x-errsever:dbg", 6},             {"-errsever:\\dbg", 6},
  };
  for (auto& c : cases) {
    ASSERT_EQ(restart(c.opts), 0);
    EXPECT_EQ(errsever, c.sever) << c.opts;
  }
  // quotes group a blank; 2n backslashes before a quote give n and the quote still quotes
  ASSERT_EQ(restart("-errout:\"" + dir.file("a b.err") + "\" -errout:" + dir.path() + "\\\\\"c d\".err"), 0);
  ERR_LOG(ERR_ERR, 1, "x");
  EXPECT_TRUE(file_exists(dir.file("c d.err")));
  EXPECT_FALSE(file_exists(dir.file("a b.err")));
  // 2n+1 backslashes give n and a literal quote, which does not quote the blank after it
  err_free();
  FdCapture cap(2, dir.file("stderr.txt"));
  const std::string opts = "-errout:" + dir.path() + "\\x\\\"y z";
  ASSERT_EQ(err_init(0, nullptr, opts.c_str(), nullptr, nullptr, nullptr), 0);
  err_free();
  const std::string d = "-errout:" + dir.path();
  for (const std::string& even : {d + "\\missing\\\\\"a b\"", d + "\\m\\c\\d"}) {
    ASSERT_EQ(err_init(0, nullptr, even.c_str(), nullptr, nullptr, nullptr), 0);
    err_free();
  }
  // a value too long for its buffer is refused; the earlier setting stays
  const std::string long_opts = "-errsever:err -errsever:" + std::string(300, 'x');
  ASSERT_EQ(err_init(0, nullptr, long_opts.c_str(), nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(errsever, 4);
  err_free();
  std::string t = cap.stop();
  EXPECT_NE(t.find("\nERR: fopen() failed [" + dir.path() + "\\x\"y].\n"), std::string::npos) << t;
  EXPECT_NE(t.find("\nERR: fopen() failed [" + dir.path() + "\\missing\\a b].\n"), std::string::npos) << t;
  EXPECT_NE(t.find("\nERR: fopen() failed [" + dir.path() + "\\m\\c\\d].\n"), std::string::npos) << t;
  EXPECT_NE(t.find("\nERR: Option value longer than 255 characters ignored - option: `errsever'.\n"),
            std::string::npos)
      << t;
}

TEST_F(ErrLog, TooManyWordsRejectedWhole) {
  std::string words = "-errsever:dbg -errout:\"" + log + "\"";
  for (int i = 2; i < 128; ++i) words += " w" + std::to_string(i);
  {
    EnvVar env("ERR", words.c_str());
    ASSERT_EQ(err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(errsever, 8);  // 128 words are fine
    err_free();
  }
  const std::string too_many = words + " w128";
  for (bool in_env : {true, false}) {
    EnvVar env("ERR", in_env ? too_many.c_str() : nullptr);
    DeleteFileA(log.c_str());
    FdCapture cap(2, dir.file("stderr.txt"));
    ASSERT_EQ(err_init(0, nullptr, in_env ? nullptr : too_many.c_str(), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(errsever, 6);
    ERR_LOG(ERR_ERR, 1, "still on stderr");
    err_free();
    std::string t = cap.stop();
    EXPECT_FALSE(file_exists(log));
    std::string re = "ERR: ERROR 7005 \\(" + std::to_string(own_pid()) +
                     "\\) src/err/err\\.cpp\\(\\d+\\)\nERR: Max err command line options \\[128\\] exceeded\\.\n" +
                     ".*\n: still on stderr\n";
    EXPECT_TRUE(matches(t, re)) << t;
  }
}

TEST_F(ErrLog, MacrosInErrout) {
  EnvVar self("QT_SELF", "x$(QT_SELF)y");
  EnvVar unset("QT_UNSET", nullptr);
  EnvVar longv("QT_LONG", std::string(250, 'l').c_str());
  const std::string d = dir.path() + "\\";
  struct {
    std::string value, file;
  } cases[] = {
      {d + "$(app)-$(pid).err", app_name() + "-" + std::to_string(own_pid()) + ".err"},
      {"$(QT_UNSET)" + d + "u.err", "u.err"},
      {d + "a$(QT_SELF)b.err", "ax$(QT_SELF)yb.err"},
      {d + "$(app)$(app).$(noclose", app_name() + app_name() + ".$(noclose"},
  };
  for (auto& c : cases) {
    ASSERT_EQ(restart("-errout:" + c.value), 0);
    ERR_LOG(ERR_ERR, 1, "macro");
    err_free();
    EXPECT_EQ(lines_of(read_text(dir.file(c.file))).size(), 2u) << c.value;
  }
  ASSERT_EQ(restart("-errout:" + dir.path() + "\\$(date)-$(time).err"), 0);
  err_free();
  SYSTEMTIME now;
  GetLocalTime(&now);
  char today[16];
  snprintf(today, sizeof today, "%04d%02d%02d-", now.wYear, now.wMonth, now.wDay);
  bool found = false;
  for (auto& f : files_in(dir.path())) found |= matches(f, re_escape(today) + R"(\d{6}\.err)");
  EXPECT_TRUE(found);

  // a value that would reach 256 characters is not replaced
  FdCapture cap(2, dir.file("stderr.txt"));
  const std::string v = dir.path() + "\\$(QT_LONG).err";
  ASSERT_EQ(err_init_to(v), 0);
  err_free();
  EXPECT_TRUE(matches(cap.stop(), internal_re(7004, "`str' size too small - str: `" + v + "', strsz: 256.")));
  EXPECT_TRUE(file_exists(v));
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

TEST_F(ErrLog, CallerErrorStateKept) {
  SetLastError(1234);
  errno = 33;
  ASSERT_EQ(err_init_to(log), 0);  // the absent monitor leaves error 2 inside
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_EQ(errno, 33);
  ERR_LOG(ERR_ERR, 1, "a");
  ERR_USER(ERR_ERR, 1, "b");
  err_free();
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_EQ(errno, 33);
  auto hook = [](const uerr_item*, void*) {
    SetLastError(5);
    errno = 1;
    return 1;
  };
  ASSERT_EQ(err_init_to(log, "", {}, hook), 0);
  ERR_USER(ERR_ERR, 1, "c");
  EXPECT_EQ(GetLastError(), 1234u);
  EXPECT_EQ(errno, 33);
}

TEST_F(ErrLog, UserReports) {
  ASSERT_EQ(restart(), 0);
  ERR_USER(ERR_ERR, 9012, "No path specified.");
  ERR_USER(ERR_DBG, 1, "not filtered %d", 8);
  err_user_head(12, 5, "nm", 99);
  err_user_printf("x %s", "y");
  auto l = lines();
  ASSERT_EQ(l.size(), 3u);
  EXPECT_EQ(l[0], "test_err_err: ERR[9012]: No path specified.");
  EXPECT_EQ(l[1], "test_err_err: DBG[1]: not filtered 8");
  EXPECT_EQ(l[2], "nm: ERR-12[5]: x y");

  struct Seen {
    std::vector<uerr_item> items;
    std::vector<std::string> msgs;
  } seen;
  auto hook = [](const uerr_item* it, void* u) {
    auto s = (Seen*)u;
    s->items.push_back(*it);
    s->msgs.push_back(it->msg);
    return 0;
  };
  err_free();
  ASSERT_EQ(err_init_to(log, "", {}, hook, &seen), 0);
  time_t now = time(nullptr);
  ERR_USER(ERR_WARN, 9001, "No filter command: %s", "abc");
  err_user_head(ERR_ERR, 7, "named", 77);
  err_user_printf("second");
  ASSERT_EQ(seen.items.size(), 2u);
  const uerr_item& a = seen.items[0];
  EXPECT_EQ(a.level, ERR_WARN);
  EXPECT_EQ(a.code, 9001);
  EXPECT_STREQ(a.name, "test_err_err");
  EXPECT_EQ(a.pid, (unsigned)-1);
  EXPECT_EQ(seen.msgs[0], "No filter command: abc");
  struct tm t = a.tm;
  EXPECT_LT(llabs((long long)(mktime(&t) - now)), 60);
  EXPECT_STREQ(seen.items[1].name, "named");
  EXPECT_EQ(seen.items[1].pid, 77u);
  EXPECT_EQ(seen.msgs[1], "second");
  EXPECT_EQ(read_text(log), std::string(l[0] + "\n" + l[1] + "\n" + l[2] + "\n"));  // nothing more on the stream
}

TEST_F(ErrLog, HiresCounter) {
  struct {
    const char* opts;
    bool on;
  } cases[] = {{"-errhires:Tx", true}, {"-errhires:no", false}, {"-errhires:y -errhires:", false}};
  for (auto& c : cases) {
    ASSERT_EQ(restart(c.opts), 0);
    ERR_LOG(ERR_ERR, 1, "h");
    auto l = lines();
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(matches(l[0], R"(.* \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}\(\d{10}\) .*)"), c.on) << c.opts << l[0];
  }
}

TEST_F(ErrLog, LifeCycle) {
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
