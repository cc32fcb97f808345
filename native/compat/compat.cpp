// Linux versions of the system calls declared in windows.h, with the results and
// last-error codes the callers expect from the system.
#include "windows.h"

#include <dirent.h>
#include <fcntl.h>
#include <printf.h>
#include <pthread.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <ctime>
#include <deque>
#include <new>
#include <string>
#include <vector>

// This file stands for the system itself: it calls the C library's own conversions.
#undef localtime
#undef localtime_r
#undef mktime

namespace {

thread_local DWORD last_error = 0;

constexpr long long kEpochDiff = 11644473600LL;  // seconds from 1601 to 1970
constexpr long long kFtPerSec = 10000000LL;

DWORD code_of_errno(int e) {
  switch (e) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES: case EPERM: case EROFS: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTEMPTY: return 145;  // ERROR_DIR_NOT_EMPTY
    default: return ERROR_INVALID_PARAMETER;
  }
}

BOOL fail(DWORD code) {
  last_error = code;
  return FALSE;
}

BOOL fail_errno() { return fail(code_of_errno(errno)); }

// Every handle this layer gives out starts with its kind, so a stray pointer is refused.
enum class Kind : unsigned { mutex = 0x6d757478, file = 0x66696c65, find = 0x66696e64 };

struct Handle {
  Kind kind;
};

struct Mutex {
  Handle head{Kind::mutex};
  pthread_mutex_t m;
  pthread_t owner{};
  unsigned count = 0;  // recursion depth of the owner
};

struct File {
  Handle head{Kind::file};
  int fd = -1;
};

Mutex* as_mutex(HANDLE h) {
  if (!h || h == INVALID_HANDLE_VALUE) return nullptr;
  Handle* p = static_cast<Handle*>(h);
  return p->kind == Kind::mutex ? reinterpret_cast<Mutex*>(p) : nullptr;
}

File* as_file(HANDLE h) {
  if (!h || h == INVALID_HANDLE_VALUE) return nullptr;
  Handle* p = static_cast<Handle*>(h);
  return p->kind == Kind::file ? reinterpret_cast<File*>(p) : nullptr;
}

void fill_st(const struct tm& tm, unsigned ms, SYSTEMTIME* st) {
  st->wYear = (WORD)(tm.tm_year + 1900);
  st->wMonth = (WORD)(tm.tm_mon + 1);
  st->wDayOfWeek = (WORD)tm.tm_wday;
  st->wDay = (WORD)tm.tm_mday;
  st->wHour = (WORD)tm.tm_hour;
  st->wMinute = (WORD)tm.tm_min;
  st->wSecond = (WORD)tm.tm_sec;
  st->wMilliseconds = (WORD)ms;
}

bool valid_st(const SYSTEMTIME* st) {
  static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 || st->wMonth > 12 || st->wDay < 1 ||
      st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999)
    return false;
  int y = st->wYear;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  int days = kDays[st->wMonth - 1] - (st->wMonth == 2 && !leap);
  return st->wDay <= days;
}

time_t st_seconds(const SYSTEMTIME* st) {
  struct tm tm {};
  tm.tm_year = st->wYear - 1900;
  tm.tm_mon = st->wMonth - 1;
  tm.tm_mday = st->wDay;
  tm.tm_hour = st->wHour;
  tm.tm_min = st->wMinute;
  tm.tm_sec = st->wSecond;
  return timegm(&tm);
}

// Copies text and its zero into buf when it fits: the copied length, else the size needed.
DWORD copy_out(const char* text, char* buf, DWORD size) {
  size_t n = strlen(text);
  if (!buf || n + 1 > size) return (DWORD)(n + 1);
  memcpy(buf, text, n + 1);
  return (DWORD)n;
}

// As the system shows a file: dot-files hidden (as under Wine), read-only when not writable.
DWORD attributes_of(const char* path, const struct stat& sb) {
  const char* name = strrchr(path, '/');
  name = name ? name + 1 : path;
  DWORD a = 0;
  if (S_ISDIR(sb.st_mode)) a |= FILE_ATTRIBUTE_DIRECTORY;
  if (name[0] == '.' && strcmp(name, ".") != 0 && strcmp(name, "..") != 0) a |= FILE_ATTRIBUTE_HIDDEN;
  if (!(sb.st_mode & S_IWUSR)) a |= FILE_ATTRIBUTE_READONLY;
  if (!S_ISDIR(sb.st_mode)) a |= FILE_ATTRIBUTE_ARCHIVE;
  return a;
}

void set_ft(FILETIME* ft, const timespec& ts) {
  long long secs = (long long)ts.tv_sec + kEpochDiff;
  unsigned long long v = secs < 0 ? 0 : (unsigned long long)secs * kFtPerSec + (unsigned long long)ts.tv_nsec / 100;
  ft->dwLowDateTime = (DWORD)v;
  ft->dwHighDateTime = (DWORD)(v >> 32);
}

// The next code point of a UTF-8 text, or -1 for a malformed sequence (one byte used).
long utf8_next(const unsigned char*& p, const unsigned char* end) {
  unsigned c = *p++;
  if (c < 0x80) return c;
  int more = c >= 0xF0 && c < 0xF5 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
  if (more < 0 || c >= 0xF5) return -1;
  long cp = c & (0x3F >> more);
  const unsigned char* q = p;
  for (int i = 0; i < more; i++, q++) {
    if (q >= end || (*q & 0xC0) != 0x80) return -1;
    cp = cp << 6 | (*q & 0x3F);
  }
  static constexpr long kMin[4] = {0, 0x80, 0x800, 0x10000};
  if (cp < kMin[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return -1;
  p = q;
  return cp;
}

}  // namespace

DWORD GetLastError() { return last_error; }
void SetLastError(DWORD code) { last_error = code; }

DWORD GetCurrentProcessId() { return (DWORD)getpid(); }
DWORD GetCurrentThreadId() { return (DWORD)gettid(); }

HMODULE GetModuleHandleA(const char* name) {
  static char main_module;
  if (!name) return &main_module;
  last_error = 126;  // ERROR_MOD_NOT_FOUND: nothing else is loaded under a Windows name
  return nullptr;
}

DWORD GetModuleFileNameA(HMODULE, char* path, DWORD size) {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n < 0) return fail_errno(), 0;
  buf[n] = 0;
  if (!path || size == 0) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
  if ((DWORD)n >= size) {  // cut and terminated, as the system does
    memcpy(path, buf, size - 1);
    path[size - 1] = 0;
    last_error = ERROR_INSUFFICIENT_BUFFER;
    return size;
  }
  memcpy(path, buf, (size_t)n + 1);
  return (DWORD)n;
}

DWORD GetTickCount() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (DWORD)((unsigned long long)ts.tv_sec * 1000u + (unsigned long long)ts.tv_nsec / 1000000u);
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  if (!count) return fail(ERROR_INVALID_PARAMETER);
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  count->QuadPart = (long long)ts.tv_sec * 1000000000LL + ts.tv_nsec;
  return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* freq) {
  if (!freq) return fail(ERROR_INVALID_PARAMETER);
  freq->QuadPart = 1000000000LL;
  return TRUE;
}

static void now_st(bool local, SYSTEMTIME* st) {
  timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  struct tm tm;
  time_t t = ts.tv_sec;
  if (local)
    localtime_r(&t, &tm);
  else
    gmtime_r(&t, &tm);
  fill_st(tm, (unsigned)(ts.tv_nsec / 1000000), st);
}

void GetLocalTime(SYSTEMTIME* st) { now_st(true, st); }

void GetSystemTime(SYSTEMTIME* st) { now_st(false, st); }

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
  if (!ft || !st) return fail(ERROR_INVALID_PARAMETER);
  unsigned long long v = (unsigned long long)ft->dwHighDateTime << 32 | ft->dwLowDateTime;
  if (v >= 0x8000000000000000ULL) return fail(ERROR_INVALID_PARAMETER);
  time_t t = (time_t)((long long)(v / kFtPerSec) - kEpochDiff);
  struct tm tm;
  if (!gmtime_r(&t, &tm)) return fail(ERROR_INVALID_PARAMETER);
  fill_st(tm, (unsigned)(v % kFtPerSec / 10000), st);
  return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
  if (!st || !ft || !valid_st(st)) return fail(ERROR_INVALID_PARAMETER);
  unsigned long long v = (unsigned long long)((long long)st_seconds(st) + kEpochDiff) * kFtPerSec +
                         st->wMilliseconds * 10000ULL;
  ft->dwLowDateTime = (DWORD)v;
  ft->dwHighDateTime = (DWORD)(v >> 32);
  return TRUE;
}

// Without a zone record: the zone the C runtime follows (TZ, else the machine's).
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* tz, const SYSTEMTIME* utc, SYSTEMTIME* local) {
  if (!utc || !local || !valid_st(utc)) return fail(ERROR_INVALID_PARAMETER);
  time_t t = st_seconds(utc);
  struct tm tm;
  if (tz) {
    t -= (time_t)tz->Bias * 60;
    if (!gmtime_r(&t, &tm)) return fail(ERROR_INVALID_PARAMETER);
  } else if (!localtime_r(&t, &tm)) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  fill_st(tm, utc->wMilliseconds, local);
  return TRUE;
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* tzi) {
  if (!tzi) return fail(ERROR_INVALID_PARAMETER), TIME_ZONE_ID_INVALID;
  memset(tzi, 0, sizeof *tzi);
  tzset();
  tzi->Bias = (LONG)(timezone / 60);
  if (!daylight) return TIME_ZONE_ID_UNKNOWN;
  tzi->DaylightBias = -60;
  time_t now = time(nullptr);
  struct tm tm;
  localtime_r(&now, &tm);
  return tm.tm_isdst > 0 ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

DWORD GetEnvironmentVariableA(const char* name, char* buf, DWORD size) {
  const char* v = name ? getenv(name) : nullptr;
  if (!v) return fail(ERROR_ENVVAR_NOT_FOUND), 0;
  return copy_out(v, buf, size);
}

BOOL SetEnvironmentVariableA(const char* name, const char* value) {
  if (!name || !*name || strchr(name, '=')) return fail(ERROR_INVALID_PARAMETER);
  if (value ? setenv(name, value, 1) : unsetenv(name)) return fail_errno();
  return TRUE;
}

BOOL GetUserNameA(char* buf, DWORD* size) {
  const char* v = getenv("USER");
  if (!v || !*v) v = getenv("LOGNAME");
  if (!v || !*v) return fail(ERROR_ENVVAR_NOT_FOUND);
  if (!buf || !size) return fail(ERROR_INVALID_PARAMETER);
  DWORD n = (DWORD)strlen(v) + 1;
  if (n > *size) {
    *size = n;
    return fail(ERROR_INSUFFICIENT_BUFFER);
  }
  memcpy(buf, v, n);
  *size = n;
  return TRUE;
}

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initial_owner, const char* name) {
  if (name) return fail(ERROR_INVALID_PARAMETER), nullptr;  // named mutexes are not needed here
  Mutex* mx = new (std::nothrow) Mutex;
  if (!mx) return fail(ERROR_NOT_ENOUGH_MEMORY), nullptr;
  pthread_mutexattr_t a;
  pthread_mutexattr_init(&a);
  pthread_mutexattr_settype(&a, PTHREAD_MUTEX_RECURSIVE);
  int rc = pthread_mutex_init(&mx->m, &a);
  pthread_mutexattr_destroy(&a);
  if (rc) {
    delete mx;
    return fail(code_of_errno(rc)), nullptr;
  }
  if (initial_owner) {
    pthread_mutex_lock(&mx->m);
    mx->owner = pthread_self();
    mx->count = 1;
  }
  last_error = 0;
  return mx;
}

DWORD WaitForSingleObject(HANDLE h, DWORD ms) {
  Mutex* mx = as_mutex(h);
  if (!mx) return fail(ERROR_INVALID_HANDLE), WAIT_FAILED;
  int rc;
  if (ms == INFINITE) {
    rc = pthread_mutex_lock(&mx->m);
  } else if (ms == 0) {
    rc = pthread_mutex_trylock(&mx->m);
  } else {
    timespec ts;
    clock_gettime(CLOCK_REALTIME, &ts);
    ts.tv_sec += ms / 1000;
    ts.tv_nsec += (long)(ms % 1000) * 1000000L;
    if (ts.tv_nsec >= 1000000000L) {
      ts.tv_sec++;
      ts.tv_nsec -= 1000000000L;
    }
    rc = pthread_mutex_timedlock(&mx->m, &ts);
  }
  if (rc == EBUSY || rc == ETIMEDOUT) return WAIT_TIMEOUT;
  if (rc) return fail(code_of_errno(rc)), WAIT_FAILED;
  if (mx->count && pthread_equal(mx->owner, pthread_self())) {
    mx->count++;
  } else {
    mx->owner = pthread_self();
    mx->count = 1;
  }
  return WAIT_OBJECT_0;
}

BOOL ReleaseMutex(HANDLE h) {
  Mutex* mx = as_mutex(h);
  if (!mx) return fail(ERROR_INVALID_HANDLE);
  if (!mx->count || !pthread_equal(mx->owner, pthread_self())) return fail(ERROR_NOT_OWNER);
  if (--mx->count == 0) mx->owner = pthread_t{};
  pthread_mutex_unlock(&mx->m);
  return TRUE;
}

BOOL CloseHandle(HANDLE h) {
  if (Mutex* mx = as_mutex(h)) {
    // the system lets the owner close a mutex it holds
    if (mx->count && pthread_equal(mx->owner, pthread_self()))
      while (mx->count--) pthread_mutex_unlock(&mx->m);
    pthread_mutex_destroy(&mx->m);
    mx->head.kind = Kind{};
    delete mx;
    return TRUE;
  }
  if (File* f = as_file(h)) {
    int rc = close(f->fd);
    int e = errno;
    f->head.kind = Kind{};
    delete f;
    if (rc) return fail(code_of_errno(e));
    return TRUE;
  }
  return fail(ERROR_INVALID_HANDLE);
}

DWORD GetTempPathA(DWORD size, char* buf) {
  const char* t = getenv("TMPDIR");
  char dir[4096];
  snprintf(dir, sizeof dir, "%s", t && *t ? t : "/tmp");
  size_t n = strlen(dir);
  if (n + 1 < sizeof dir && (n == 0 || dir[n - 1] != '/')) {
    dir[n] = '/';
    dir[n + 1] = 0;
  }
  return copy_out(dir, buf, size);
}

UINT GetTempFileNameA(const char* dir, const char* prefix, UINT unique, char* path) {
  if (!dir || !path) return fail(ERROR_INVALID_PARAMETER), 0u;
  size_t dn = strlen(dir);
  const char* sep = dn && dir[dn - 1] != '/' && dir[dn - 1] != '\\' ? "/" : "";
  char pre[4] = {};
  if (prefix) snprintf(pre, sizeof pre, "%s", prefix);
  if (unique) {
    if (snprintf(path, MAX_PATH, "%s%s%s%X.tmp", dir, sep, pre, unique & 0xFFFF) >= MAX_PATH)
      return fail(ERROR_INVALID_PARAMETER), 0u;
    return unique;
  }
  UINT start = (GetTickCount() ^ (UINT)getpid()) & 0xFFFF;
  for (UINT i = 0; i < 0x10000; i++) {
    UINT u = (start + i) & 0xFFFF;
    if (!u) continue;
    if (snprintf(path, MAX_PATH, "%s%s%s%X.tmp", dir, sep, pre, u) >= MAX_PATH)
      return fail(ERROR_INVALID_PARAMETER), 0u;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd >= 0) {
      close(fd);
      return u;
    }
    if (errno != EEXIST) return fail_errno(), 0u;
  }
  return fail(80), 0u;  // ERROR_FILE_EXISTS
}

BOOL DeleteFileA(const char* path) {
  if (!path) return fail(ERROR_INVALID_PARAMETER);
  struct stat sb;
  if (stat(path, &sb) == 0 && S_ISDIR(sb.st_mode)) return fail(ERROR_ACCESS_DENIED);
  return unlink(path) ? fail_errno() : TRUE;
}

BOOL CreateDirectoryA(const char* path, LPSECURITY_ATTRIBUTES) {
  if (!path) return fail(ERROR_INVALID_PARAMETER);
  if (mkdir(path, 0777) == 0) return TRUE;
  return fail(errno == ENOENT ? ERROR_PATH_NOT_FOUND : code_of_errno(errno));
}

BOOL RemoveDirectoryA(const char* path) {
  if (!path) return fail(ERROR_INVALID_PARAMETER);
  return rmdir(path) ? fail_errno() : TRUE;
}

// Names in the system's pipe space do not exist on Linux: no error monitor ever listens there.
HANDLE CreateFileA(const char* name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition, DWORD, HANDLE) {
  if (!name || !*name) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  if (strncmp(name, "\\\\.\\pipe\\", 9) == 0) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  int how;
  switch (disposition) {
    case CREATE_NEW: how = O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: how = O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: how = 0; break;
    case OPEN_ALWAYS: how = O_CREAT; break;
    case TRUNCATE_EXISTING: how = O_TRUNC; break;
    default: return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  }
  bool rd = access & GENERIC_READ, wr = access & (GENERIC_WRITE | FILE_WRITE_DATA | FILE_APPEND_DATA);
  int fd = open(name, how | (rd && wr ? O_RDWR : wr ? O_WRONLY : O_RDONLY), 0666);
  if (fd < 0) return fail_errno(), INVALID_HANDLE_VALUE;
  File* f = new (std::nothrow) File;
  if (!f) {
    close(fd);
    return fail(ERROR_NOT_ENOUGH_MEMORY), INVALID_HANDLE_VALUE;
  }
  f->fd = fd;
  return f;
}

DWORD SetFilePointer(HANDLE h, LONG dist, LONG* dist_high, DWORD method) {
  File* f = as_file(h);
  if (!f || method > FILE_END) return fail(f ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE), INVALID_SET_FILE_POINTER;
  long long off = dist_high ? (long long)*dist_high << 32 | (DWORD)dist : dist;
  off_t at = lseek(f->fd, (off_t)off, method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END);
  if (at < 0) return fail_errno(), INVALID_SET_FILE_POINTER;
  if (dist_high) *dist_high = (LONG)((unsigned long long)at >> 32);
  last_error = NO_ERROR;
  return (DWORD)at;
}

BOOL WriteFile(HANDLE h, const void* data, DWORD size, DWORD* written, void*) {
  File* f = as_file(h);
  if (written) *written = 0;
  if (!f) return fail(ERROR_INVALID_HANDLE);
  const char* p = static_cast<const char*>(data);
  DWORD done = 0;
  while (done < size) {
    ssize_t n = write(f->fd, p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (written) *written = done;
      return fail_errno();
    }
    done += (DWORD)n;
  }
  if (written) *written = done;
  return TRUE;
}

DWORD GetFileAttributesA(const char* path) {
  struct stat sb;
  if (!path || stat(path, &sb)) return fail_errno(), INVALID_FILE_ATTRIBUTES;
  return attributes_of(path, sb);
}

namespace {
struct Find {
  Handle head{Kind::find};
  DIR* dir = nullptr;
  std::string base;     // directory part with its separator, or ""
  std::string pattern;  // name part
};

// The system's wildcards over one name: '*' any run, '?' one character; "*.*" is every name.
bool wild(const char* p, const char* s) {
  if (strcmp(p, "*.*") == 0) return true;
  const char *star = nullptr, *retry = nullptr;
  while (*s) {
    if (*p == '*') {
      star = p++;
      retry = s;
    } else if (*p == '?' || tolower((unsigned char)*p) == tolower((unsigned char)*s)) {
      p++;
      s++;
    } else if (star) {
      p = star + 1;
      s = ++retry;
    } else {
      return false;
    }
  }
  while (*p == '*') p++;
  return !*p;
}

// Fills fd with the next listed entry that matches; dangling links are passed over.
bool find_next(Find* f, WIN32_FIND_DATAA* fd) {
  while (dirent* e = readdir(f->dir)) {
    if (!wild(f->pattern.c_str(), e->d_name)) continue;
    std::string full = f->base + e->d_name;
    struct stat sb;
    if (stat(full.c_str(), &sb)) continue;
    memset(fd, 0, sizeof *fd);
    fd->dwFileAttributes = attributes_of(e->d_name, sb);
    set_ft(&fd->ftCreationTime, sb.st_ctim);
    set_ft(&fd->ftLastAccessTime, sb.st_atim);
    set_ft(&fd->ftLastWriteTime, sb.st_mtim);
    unsigned long long size = S_ISDIR(sb.st_mode) ? 0 : (unsigned long long)sb.st_size;
    fd->nFileSizeHigh = (DWORD)(size >> 32);
    fd->nFileSizeLow = (DWORD)size;
    snprintf(fd->cFileName, sizeof fd->cFileName, "%s", e->d_name);
    return true;
  }
  return false;
}

Find* as_find(HANDLE h) {
  if (!h || h == INVALID_HANDLE_VALUE) return nullptr;
  Handle* p = static_cast<Handle*>(h);
  return p->kind == Kind::find ? reinterpret_cast<Find*>(p) : nullptr;
}
}  // namespace

HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* fd) {
  if (!pattern || !fd) return fail(ERROR_INVALID_PARAMETER), INVALID_HANDLE_VALUE;
  const char* sep = nullptr;
  for (const char* q = pattern; *q; q++)
    if (*q == '/' || *q == '\\') sep = q;
  std::string base = sep ? std::string(pattern, (size_t)(sep - pattern + 1)) : "";
  for (char& c : base)
    if (c == '\\') c = '/';
  const char* name = sep ? sep + 1 : pattern;
  if (!*name) return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  DIR* d = opendir(base.empty() ? "." : base.c_str());
  if (!d) return fail(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : code_of_errno(errno)), INVALID_HANDLE_VALUE;
  Find* f = new (std::nothrow) Find;
  if (!f) {
    closedir(d);
    return fail(ERROR_NOT_ENOUGH_MEMORY), INVALID_HANDLE_VALUE;
  }
  f->dir = d;
  f->base = base;
  f->pattern = name;
  if (!find_next(f, fd)) {
    closedir(d);
    f->head.kind = Kind{};
    delete f;
    return fail(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
  }
  return f;
}

BOOL FindNextFileA(HANDLE h, WIN32_FIND_DATAA* fd) {
  Find* f = as_find(h);
  if (!f || !fd) return fail(f ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
  errno = 0;
  if (find_next(f, fd)) return TRUE;
  return fail(errno ? code_of_errno(errno) : ERROR_NO_MORE_FILES);
}

BOOL FindClose(HANDLE h) {
  Find* f = as_find(h);
  if (!f) return fail(ERROR_INVALID_HANDLE);
  closedir(f->dir);
  f->head.kind = Kind{};
  delete f;
  return TRUE;
}

BOOL SetNamedPipeHandleState(HANDLE, DWORD*, DWORD*, DWORD*) { return fail(ERROR_INVALID_HANDLE); }

BOOL WaitNamedPipeA(const char*, DWORD) { return fail(ERROR_FILE_NOT_FOUND); }

// The standard scheme's colours (0x00BBGGRR).
DWORD GetSysColor(int index) {
  static constexpr DWORD kColors[] = {
      0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000, 0x000000, 0x000000,
      0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000,
      0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000, 0xE1FFFF, 0xB5B5B5, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xD77800,
      0xF0F0F0};
  if (index < 0 || index >= (int)(sizeof kColors / sizeof kColors[0])) return 0;
  return kColors[index];
}

// Stand-in windows: a live set and one queue of posted messages in posting order.
namespace {
struct Windows {
  pthread_mutex_t m = PTHREAD_MUTEX_INITIALIZER;
  std::vector<HWND> live;
  std::deque<MSG> posted;
  unsigned next = 1;
  bool is_live(HWND w) const { return std::find(live.begin(), live.end(), w) != live.end(); }
};
Windows& windows() {
  static Windows w;
  return w;
}
struct WindowsLock {
  WindowsLock() { pthread_mutex_lock(&windows().m); }
  ~WindowsLock() { pthread_mutex_unlock(&windows().m); }
};
}  // namespace

HWND compat_window_create() {
  WindowsLock lock;
  Windows& w = windows();
  // handles are never reused, so a destroyed window stays dead
  HWND h = reinterpret_cast<HWND>((uintptr_t)0x10000 + 4u * w.next++);
  w.live.push_back(h);
  return h;
}

BOOL DestroyWindow(HWND wnd) {
  WindowsLock lock;
  Windows& w = windows();
  auto it = std::find(w.live.begin(), w.live.end(), wnd);
  if (it == w.live.end()) return fail(ERROR_INVALID_WINDOW_HANDLE);
  w.live.erase(it);
  w.posted.erase(std::remove_if(w.posted.begin(), w.posted.end(), [wnd](const MSG& m) { return m.hwnd == wnd; }),
                 w.posted.end());
  return TRUE;
}

BOOL PostMessageA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  WindowsLock lock;
  Windows& w = windows();
  if (!w.is_live(wnd)) return fail(ERROR_INVALID_WINDOW_HANDLE);
  w.posted.push_back(MSG{wnd, msg, wp, lp});
  return TRUE;
}

BOOL PeekMessageA(MSG* msg, HWND wnd, UINT min, UINT max, UINT remove) {
  WindowsLock lock;
  Windows& w = windows();
  for (auto it = w.posted.begin(); it != w.posted.end(); ++it) {
    if ((wnd && it->hwnd != wnd) || ((min || max) && (it->message < min || it->message > max))) continue;
    if (msg) *msg = *it;
    if (remove & PM_REMOVE) w.posted.erase(it);
    return TRUE;
  }
  return FALSE;
}

// CP_ACP is read as Latin-1 (each byte its own character), CP_UTF8 as UTF-8.
int MultiByteToWideChar(UINT codepage, DWORD flags, const char* mb, int mblen, WCHAR* w, int wlen) {
  if (codepage != CP_ACP && codepage != CP_UTF8) return fail(ERROR_INVALID_PARAMETER), 0;
  if (!mb || mblen == 0 || mblen < -1 || wlen < 0 || (wlen && !w)) return fail(ERROR_INVALID_PARAMETER), 0;
  size_t n = mblen == -1 ? strlen(mb) + 1 : (size_t)mblen;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(mb);
  const unsigned char* end = p + n;
  int out = 0;
  while (p < end) {
    long cp;
    if (codepage == CP_ACP) {
      cp = *p++;
    } else {
      cp = utf8_next(p, end);
      if (cp < 0) {
        if (flags & MB_ERR_INVALID_CHARS) return fail(ERROR_NO_UNICODE_TRANSLATION), 0;
        cp = 0xFFFD;
      }
    }
    if (wlen) {
      if (out >= wlen) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
      w[out] = (WCHAR)cp;
    }
    out++;
  }
  return out;
}

// The reverse of the above: CP_ACP writes Latin-1 (a character beyond it is the default
// character), CP_UTF8 writes UTF-8.
int WideCharToMultiByte(UINT codepage, DWORD, const WCHAR* w, int wlen, char* mb, int mblen, const char*,
                        BOOL* useddef) {
  if (codepage != CP_ACP && codepage != CP_UTF8) return fail(ERROR_INVALID_PARAMETER), 0;
  if (!w || wlen == 0 || wlen < -1 || mblen < 0 || (mblen && !mb)) return fail(ERROR_INVALID_PARAMETER), 0;
  size_t n = wlen == -1 ? wcslen(w) + 1 : (size_t)wlen;
  if (useddef) *useddef = FALSE;
  int out = 0;
  for (size_t i = 0; i < n; i++) {
    unsigned long cp = (unsigned long)w[i];
    unsigned char b[4];
    int k = 0;
    if (codepage == CP_ACP) {
      if (cp > 0xFF) {
        cp = '?';
        if (useddef) *useddef = TRUE;
      }
      b[k++] = (unsigned char)cp;
    } else if (cp < 0x80) {
      b[k++] = (unsigned char)cp;
    } else if (cp < 0x800) {
      b[k++] = (unsigned char)(0xC0 | cp >> 6);
      b[k++] = (unsigned char)(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      b[k++] = (unsigned char)(0xE0 | cp >> 12);
      b[k++] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
      b[k++] = (unsigned char)(0x80 | (cp & 0x3F));
    } else {
      b[k++] = (unsigned char)(0xF0 | cp >> 18);
      b[k++] = (unsigned char)(0x80 | (cp >> 12 & 0x3F));
      b[k++] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
      b[k++] = (unsigned char)(0x80 | (cp & 0x3F));
    }
    if (mblen) {
      if (out + k > mblen) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
      memcpy(mb + out, b, (size_t)k);
    }
    out += k;
  }
  return out;
}

UINT GetACP() { return 1252; }

int LCMapStringW(DWORD, DWORD flags, const WCHAR* src, int srclen, WCHAR* dst, int dstlen) {
  if (!src || srclen == 0 || srclen < -1 || flags != LCMAP_UPPERCASE) return fail(ERROR_INVALID_PARAMETER), 0;
  int n = srclen == -1 ? (int)wcslen(src) + 1 : srclen;
  if (!dstlen) return n;
  if (!dst || dstlen < n) return fail(ERROR_INSUFFICIENT_BUFFER), 0;
  for (int i = 0; i < n; i++) {
    wchar_t c = src[i];
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c = (wchar_t)(c - 0x20);
    else if (c == 0xFF) c = 0x178;
    else if (c > 0xFF) c = (wchar_t)towupper((wint_t)c);
    dst[i] = c;
  }
  return n;
}

int _stricmp(const char* a, const char* b) { return strcasecmp(a, b); }
int _strnicmp(const char* a, const char* b, size_t n) { return strncasecmp(a, b, n); }

// Drive, directory (with its last separator), name and extension (with its dot);
// each part cut to the runtime's fixed sizes.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  auto put = [](char* dst, size_t cap, const char* from, size_t len) {
    if (!dst) return;
    if (len >= cap) len = cap - 1;
    memcpy(dst, from, len);
    dst[len] = 0;
  };
  const char* p = path ? path : "";
  size_t dl = p[0] && p[1] == ':' ? 2 : 0;
  put(drive, _MAX_DRIVE, p, dl);
  p += dl;
  const char* last_sep = nullptr;
  for (const char* q = p; *q; q++)
    if (*q == '\\' || *q == '/') last_sep = q;
  const char* name = last_sep ? last_sep + 1 : p;
  put(dir, _MAX_DIR, p, (size_t)(name - p));
  const char* dot = strrchr(name, '.');
  if (!dot) dot = name + strlen(name);
  put(fname, _MAX_FNAME, name, (size_t)(dot - name));
  put(ext, _MAX_EXT, dot, strlen(dot));
}

int _fileno(FILE* f) { return fileno(f); }

// "NAME=" removes the variable, as the runtime does.
int _putenv(const char* assignment) {
  const char* eq = assignment ? strchr(assignment, '=') : nullptr;
  if (!eq || eq == assignment) return -1;
  std::string name(assignment, (size_t)(eq - assignment));
  return eq[1] ? setenv(name.c_str(), eq + 1, 1) : unsetenv(name.c_str());
}

int _putenv_s(const char* name, const char* value) {
  if (!name || !*name || !value) return EINVAL;
  int rc = *value ? setenv(name, value, 1) : unsetenv(name);
  return rc ? errno : 0;
}

void _tzset() { tzset(); }

time_t _mkgmtime(struct tm* tm) {
  if (!tm) {
    errno = EINVAL;
    return -1;
  }
  struct tm work = *tm;
  time_t t = timegm(&work);
  if (t < 0 || t > 32535215999) {  // the runtime's range, as below
    errno = EINVAL;
    return -1;
  }
  *tm = work;
  return t;
}

namespace {
constexpr time_t kCrtMaxTime = 32535215999;  // 3000-12-31 23:59:59 UTC
bool crt_in_range(time_t t) { return t >= 0 && t <= kCrtMaxTime; }
}  // namespace

struct tm* crt_localtime(const time_t* t) {
  if (!t || !crt_in_range(*t)) {
    errno = EINVAL;
    return nullptr;
  }
  return localtime(t);
}

struct tm* crt_localtime_r(const time_t* t, struct tm* out) {
  if (!t || !out || !crt_in_range(*t)) {
    errno = EINVAL;
    return nullptr;
  }
  return localtime_r(t, out);
}

time_t crt_mktime(struct tm* tm) {
  if (!tm) {
    errno = EINVAL;
    return -1;
  }
  struct tm work = *tm;
  time_t t = mktime(&work);
  if (t == (time_t)-1 || !crt_in_range(t)) {
    errno = EINVAL;
    return -1;
  }
  *tm = work;
  return t;
}

// Pointers print as the Windows runtime prints them: 16 hex digits, "0x" and no padding
// with '#', no zero padding when a width is given. Messages and their tests rely on it.
namespace {
int print_pointer(FILE* out, const printf_info* info, const void* const* args) {
  const void* p = *static_cast<const void* const*>(args[0]);
  char buf[32];
  unsigned long long v = (unsigned long long)(uintptr_t)p;
  if (info->alt)
    snprintf(buf, sizeof buf, "0x%llx", v);
  else if (info->width > 0)
    snprintf(buf, sizeof buf, "%llx", v);
  else
    snprintf(buf, sizeof buf, "%0*llx", (int)(2 * sizeof p), v);
  int len = (int)strlen(buf), pad = info->width > len ? info->width - len : 0;
  if (!info->left && fprintf(out, "%*s", pad, "") < 0) return -1;
  if (fputs(buf, out) < 0) return -1;
  if (info->left && fprintf(out, "%*s", pad, "") < 0) return -1;
  return len + pad;
}

int pointer_arg(const printf_info*, size_t n, int* types, int* sizes) {
  if (n > 0) {
    types[0] = PA_POINTER;
    sizes[0] = sizeof(void*);
  }
  return 1;
}

__attribute__((constructor)) void windows_pointer_format() {
  register_printf_specifier('p', print_pointer, pointer_arg);
}
}  // namespace
