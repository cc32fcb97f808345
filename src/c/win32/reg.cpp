#include "c/win32/reg.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;

// Closes a key opened here, whatever way the function leaves.
struct KeyGuard {
  HKEY key;
  ~KeyGuard() {
    if (key) mox_reg_close_key(key);
  }
};

}  // namespace

int mox_reg_open_key(HKEY root, const char* subkey, REGSAM access, HKEY* key, unsigned flags) {
  if (!root || !subkey || !key) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - key: %p, subkey: %p, hkey: %p.", (void*)root, (const void*)subkey,
            (void*)key);
    return kParam;
  }
  *key = nullptr;
  LONG rc = RegOpenKeyExA(root, subkey, 0, access, key);
  if (rc != ERROR_SUCCESS) {
    *key = nullptr;
    if (!(rc == ERROR_FILE_NOT_FOUND && (flags & REG_F_QUIET_MISSING)))
      ERR_LOG(ERR_ERR, (int)rc, "RegOpenKeyEx() failed - key: %p, subkey: `%s'.", (void*)root, subkey);
    return (int)rc;
  }
  return 0;
}

int mox_reg_close_key(HKEY key) {
  if (!key) {
    ERR_LOG(ERR_ERR, kParam, "`key' is NUL.");
    return kParam;
  }
  LONG rc = RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    ERR_LOG(ERR_ERR, (int)rc, "RegCloseKey() failed - skey: %p.", (void*)key);
    return (int)rc;
  }
  return 0;
}

int mox_reg_query_str(HKEY key, const char* valname, char* buf, unsigned bufsz) {
  if (!key || !buf || !bufsz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - skey: %p, buf: %p, bufsz: %u.", (void*)key, (void*)buf, bufsz);
    return kParam;
  }
  DWORD type = 0;
  DWORD n = bufsz;
  LONG rc = RegQueryValueExA(key, valname, nullptr, &type, (BYTE*)buf, &n);
  if (rc == ERROR_SUCCESS && type != REG_SZ) {
    rc = ERROR_INVALID_DATATYPE;
  } else if (rc == ERROR_SUCCESS) {
    // the registry keeps what the writer gave, with or without the zero
    if (n < bufsz)
      buf[n] = 0;
    else if (buf[bufsz - 1] != 0)
      rc = ERROR_MORE_DATA;
  }
  if (rc != ERROR_SUCCESS) {
    buf[0] = 0;
    ERR_LOG(ERR_ERR, (int)rc, "RegQueryValueEx() failed - skey: %p, valname: `%s'.", (void*)key, mox_nul(valname));
    return (int)rc;
  }
  return 0;
}

int mox_reg_get_str(HKEY root, const char* subkey, const char* valname, char* buf, unsigned bufsz) {
  if (!buf || !bufsz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - buf: %p, bufsz: %u.", (void*)buf, bufsz);
    return kParam;
  }
  buf[0] = 0;
  KeyGuard g{nullptr};
  int rc = mox_reg_open_key(root, subkey, KEY_QUERY_VALUE, &g.key);
  return rc ? rc : mox_reg_query_str(g.key, valname, buf, bufsz);
}

int mox_reg_set_str(HKEY root, const char* subkey, const char* valname, const char* str) {
  if (!root || !subkey || !str) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - key: %p, subkey: %p, str: %p.", (void*)root, (const void*)subkey,
            (const void*)str);
    return kParam;
  }
  KeyGuard g{nullptr};
  constexpr DWORD options = REG_OPTION_NON_VOLATILE;
  LONG rc = RegCreateKeyExA(root, subkey, 0, nullptr, options, KEY_WRITE, nullptr, &g.key, nullptr);
  if (rc != ERROR_SUCCESS) {
    g.key = nullptr;
    ERR_LOG(ERR_ERR, (int)rc, "RegCreateKeyEx() failed - key: %p, subkey: `%s', options: %#X.", (void*)root, subkey,
            (unsigned)options);
    return (int)rc;
  }
  rc = RegSetValueExA(g.key, valname, 0, REG_SZ, (const BYTE*)str, (DWORD)strlen(str) + 1);
  if (rc != ERROR_SUCCESS) {
    ERR_LOG(ERR_ERR, (int)rc, "RegSetValueEx() failed - skey: %p, valname: `%s', str: `%s'.", (void*)g.key,
            mox_nul(valname), str);
    return (int)rc;
  }
  return 0;
}

int mox_reg_del_key(HKEY root, const char* subkey) {
  if (!root || !subkey || !*subkey) {
    // an empty subkey would name the root itself
    ERR_LOG(ERR_ERR, kParam, "Invalid param - key: %p, subkey: `%s'.", (void*)root, mox_nul(subkey));
    return kParam;
  }
  LONG rc = RegDeleteKeyA(root, subkey);
  if (rc == ERROR_FILE_NOT_FOUND) return (int)rc;
  if (rc != ERROR_SUCCESS) {
    ERR_LOG(ERR_ERR, (int)rc, "RegDeleteKey() failed - key: %p, subkey: `%s'.", (void*)root, subkey);
    return (int)rc;
  }
  return 0;
}
