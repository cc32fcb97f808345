// Operating-system helpers: user, per-user directories, system error texts.
#pragma once

int mox_user_name(char* name, unsigned namesz);
// LOCALAPPDATA, else APPDATA, else the user profile; subdir (optional) is joined with "\\".
// With create set a missing directory is created (one level).
int mox_app_data_dir(const char* subdir, char* dir, unsigned dirsz, int create);
int mox_user_profile_dir(char* dir, unsigned dirsz);
// The system's text for a Win32 error code without trailing line ends, or "System error [code].".
char* mox_sys_errmsg(int code, char* errmsg, unsigned errmsgsz);
int mox_has_recycle_bin(const char* path);
