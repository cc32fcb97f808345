// Registry texts and keys. Every call opens and closes what it needs, so callers hold
// no key handles; results are 0 or the system's code, logged where they arise.
#pragma once

#include <windows.h>

enum : unsigned {
  REG_F_QUIET_MISSING = 1u  // mox_reg_open_key: a key that does not exist is not logged
};

int mox_reg_open_key(HKEY root, const char* subkey, REGSAM access, HKEY* key, unsigned flags = 0);
int mox_reg_close_key(HKEY key);

// A string value (REG_SZ) into buf, terminated even when stored without its zero. A value
// that does not fit gives ERROR_MORE_DATA, another type ERROR_INVALID_DATATYPE; buf is
// then empty. valname nullptr is the key's default value.
int mox_reg_query_str(HKEY key, const char* valname, char* buf, unsigned bufsz);
int mox_reg_get_str(HKEY root, const char* subkey, const char* valname, char* buf, unsigned bufsz);

// Creates the key (non-volatile) as needed and stores str with its terminating zero.
int mox_reg_set_str(HKEY root, const char* subkey, const char* valname, const char* str);

// Deletes a key without subkeys. A key that does not exist gives ERROR_FILE_NOT_FOUND
// without a record: for the caller, who may expect it, to judge.
int mox_reg_del_key(HKEY root, const char* subkey);
