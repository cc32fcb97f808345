// The Windows C runtime's own names that its headers declare everywhere (stdlib.h,
// string.h, stdio.h, time.h); the Linux build includes this in every file.
#pragma once

#include <cstddef>
#include <cstdio>
#include <ctime>

int _stricmp(const char* a, const char* b);
int _strnicmp(const char* a, const char* b, size_t n);
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
int _fileno(FILE* f);
int _putenv(const char* assignment);
int _putenv_s(const char* name, const char* value);
void _tzset();
time_t _mkgmtime(struct tm* tm);

// The Windows runtime converts times from 1970-01-01 00:00:00 to 3000-12-31 23:59:59
// UTC only and fails outside; the Linux build keeps those limits, so the callers' failure
// paths run here as they do on Windows.
struct tm* crt_localtime(const time_t* t);
struct tm* crt_localtime_r(const time_t* t, struct tm* out);
time_t crt_mktime(struct tm* tm);
#define localtime crt_localtime
#define localtime_r crt_localtime_r
#define mktime crt_mktime
