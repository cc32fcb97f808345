#include "c/win32/reg.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "c/log_capture.h"

namespace {

// Keys of this run under the user's software key, removed with their subkeys.
struct Reg : testing::Test {
  const std::string base = "Software\\moxware\\quarn-regtest-" + std::to_string(GetCurrentProcessId());
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }
  int get(const char* valname, char* buf, unsigned size, const std::string& key = "") {
    return mox_reg_get_str(HKEY_CURRENT_USER, (key.empty() ? base : key).c_str(), valname, buf, size);
  }
};

TEST_F(Reg, TextsWithinTheBufferMissingOrNotText) {
  std::string deep = base + "\\a\\b";
  ASSERT_EQ(mox_reg_set_str(HKEY_CURRENT_USER, deep.c_str(), nullptr, "abcdefg"), 0);
  char buf[16];
  EXPECT_EQ(get(nullptr, buf, 8, deep), 0);  // 7 characters and the zero
  EXPECT_STREQ(buf, "abcdefg");
  HKEY k;  // a text stored without its zero, a number
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, deep.c_str(), 0, KEY_WRITE, &k), 0);
  DWORD one = 1;
  RegSetValueExA(k, "raw", 0, REG_SZ, (const BYTE*)"xyz", 3);
  RegSetValueExA(k, "dword", 0, REG_DWORD, (const BYTE*)&one, sizeof one);
  RegCloseKey(k);
  EXPECT_EQ(get("raw", buf, 4, deep), 0);
  EXPECT_STREQ(buf, "xyz");
  LogCapture log;
  EXPECT_EQ(get(nullptr, buf, 7, deep), ERROR_MORE_DATA);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(get("raw", buf, 3, deep), ERROR_MORE_DATA);  // no room left for the zero
  EXPECT_EQ(get("dword", buf, sizeof buf, deep), ERROR_INVALID_DATATYPE);
  EXPECT_EQ(get("v", buf, sizeof buf, base + "\\nokey"), ERROR_FILE_NOT_FOUND);
  for (const std::string& m : std::vector<std::string>{"RegQueryValueEx() failed - skey: ", ", valname: `NUL'.", "valname: `dword'.",
                        "RegOpenKeyEx() failed - key: ", ", subkey: `" + base + "\\nokey'."})
    EXPECT_TRUE(log.has(m)) << m << log.got;
}

TEST_F(Reg, QuietOpenDeleteAndBadArguments) {
  std::string child = base + "\\child";
  HKEY k = (HKEY)1;
  {
    LogCapture log;
    EXPECT_EQ(mox_reg_open_key(HKEY_CURRENT_USER, child.c_str(), KEY_READ, &k, REG_F_QUIET_MISSING),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(k, nullptr);
    EXPECT_EQ(log.done(), " ");
  }
  ASSERT_EQ(mox_reg_set_str(HKEY_CURRENT_USER, child.c_str(), "v", "x"), 0);
  {
    LogCapture log;  // a key with subkeys stays, and says why
    EXPECT_NE(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), 0);
    EXPECT_TRUE(log.has("RegDeleteKey() failed - key: ")) << log.got;
  }
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, child.c_str()), 0);
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), 0);
  LogCapture log;  // gone already: said by the code alone
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(log.done(), " ");
  char buf[8] = "keep";
  LogCapture bad;
  EXPECT_EQ(get("v", buf, 0), 9003);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(mox_reg_set_str(nullptr, base.c_str(), "v", "x"), 9003);
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, ""), 9003);  // would name the root itself
  EXPECT_EQ(mox_reg_close_key(nullptr), 9003);
  EXPECT_TRUE(bad.has("Invalid param - key: ")) << bad.got;
}

}  // namespace
