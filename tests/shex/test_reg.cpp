#include "c/win32/reg.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "c/log_capture.h"

namespace {

// Keys of this run under the user's software key, removed with their subkeys.
struct Reg : testing::Test {
  const std::string base = "Software\\moxware\\quarn-regtest-" + std::to_string(GetCurrentProcessId());
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, base.c_str()); }
  // stores raw bytes the way another writer might
  void put_raw(const char* valname, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, base.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
    EXPECT_EQ(RegSetValueExA(k, valname, 0, type, (const BYTE*)data, size), 0);
    RegCloseKey(k);
  }
  bool key_exists(const std::string& key) {
    HKEY k;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k)) return false;
    RegCloseKey(k);
    return true;
  }
  int get(const char* valname, char* buf, unsigned size, const std::string& key = "") {
    return mox_reg_get_str(HKEY_CURRENT_USER, (key.empty() ? base : key).c_str(), valname, buf, size);
  }
};

TEST_F(Reg, SetAndGetNamedAndDefaultValuesWithinTheBuffer) {
  std::string deep = base + "\\a\\b";
  ASSERT_EQ(mox_reg_set_str(HKEY_CURRENT_USER, deep.c_str(), "name", "C:\\Program Files\\x.exe"), 0);
  ASSERT_EQ(mox_reg_set_str(HKEY_CURRENT_USER, deep.c_str(), nullptr, "abcdefg"), 0);
  char buf[32];
  EXPECT_EQ(get("name", buf, sizeof buf, deep), 0);
  EXPECT_STREQ(buf, "C:\\Program Files\\x.exe");
  DWORD type = 0, size = 0;
  EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER, deep.c_str(), "name", RRF_RT_ANY, &type, nullptr, &size), 0);
  EXPECT_EQ(type, (DWORD)REG_SZ);
  EXPECT_EQ(size, sizeof "C:\\Program Files\\x.exe");  // with its zero
  EXPECT_EQ(get(nullptr, buf, 8, deep), 0);  // 7 characters and the zero
  EXPECT_STREQ(buf, "abcdefg");
  LogCapture log;
  EXPECT_EQ(get(nullptr, buf, 7, deep), ERROR_MORE_DATA);
  EXPECT_STREQ(buf, "");
  EXPECT_TRUE(log.has("RegQueryValueEx() failed - skey: ")) << log.got;
  EXPECT_TRUE(log.has(", valname: `NUL'.")) << log.got;
}

TEST_F(Reg, ValuesWithoutZeroMissingOrNotText) {
  put_raw("raw", REG_SZ, "xyz", 3);
  DWORD one = 1;
  put_raw("dword", REG_DWORD, &one, sizeof one);
  char buf[16];
  memset(buf, 'Q', sizeof buf);
  EXPECT_EQ(get("raw", buf, 4), 0);
  EXPECT_STREQ(buf, "xyz");
  LogCapture log;
  EXPECT_EQ(get("raw", buf, 3), ERROR_MORE_DATA);  // no room left for the zero
  EXPECT_EQ(get("dword", buf, sizeof buf), ERROR_INVALID_DATATYPE);
  EXPECT_STREQ(buf, "");
  EXPECT_EQ(get("none", buf, sizeof buf), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(get("v", buf, sizeof buf, base + "\\nokey"), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(log.has("valname: `dword'.")) << log.got;
  EXPECT_TRUE(log.has("valname: `none'.")) << log.got;
  EXPECT_TRUE(log.has("RegOpenKeyEx() failed - key: ")) << log.got;
  EXPECT_TRUE(log.has(", subkey: `" + base + "\\nokey'.")) << log.got;
}

TEST_F(Reg, QuietOpenAndDelete) {
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
  ASSERT_EQ(mox_reg_open_key(HKEY_CURRENT_USER, child.c_str(), KEY_READ, &k, REG_F_QUIET_MISSING), 0);
  char buf[8];
  EXPECT_EQ(mox_reg_query_str(k, "v", buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "x");
  EXPECT_EQ(mox_reg_close_key(k), 0);
  {
    LogCapture log;  // a key with subkeys stays, and says why
    EXPECT_NE(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), 0);
    EXPECT_TRUE(log.has("RegDeleteKey() failed - key: ")) << log.got;
    EXPECT_TRUE(log.has(", subkey: `" + base + "'.")) << log.got;
  }
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, child.c_str()), 0);
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), 0);
  EXPECT_FALSE(key_exists(base));
  LogCapture log;  // gone already: said by the code alone
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, base.c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(log.done(), " ");
}

TEST_F(Reg, BadArgumentsChangeNothing) {
  char buf[8] = "keep";
  LogCapture log;
  EXPECT_EQ(mox_reg_get_str(HKEY_CURRENT_USER, base.c_str(), "v", nullptr, 8), 9003);
  EXPECT_EQ(get("v", buf, 0), 9003);
  EXPECT_STREQ(buf, "keep");
  EXPECT_EQ(mox_reg_set_str(HKEY_CURRENT_USER, base.c_str(), "v", nullptr), 9003);
  EXPECT_EQ(mox_reg_set_str(nullptr, base.c_str(), "v", "x"), 9003);
  EXPECT_EQ(mox_reg_open_key(HKEY_CURRENT_USER, base.c_str(), KEY_READ, nullptr), 9003);
  EXPECT_EQ(mox_reg_del_key(HKEY_CURRENT_USER, ""), 9003);  // would name the root itself
  EXPECT_EQ(mox_reg_close_key(nullptr), 9003);
  EXPECT_FALSE(key_exists(base));
  EXPECT_TRUE(log.has("Invalid param - key: ")) << log.got;
}

}  // namespace
