// The few system interfaces the portable modules and their tests use, for the Linux
// build under sanitizers. Only that build puts this directory on the include path;
// the Windows builds never see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "crt.h"

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef void* HANDLE;
typedef void* HMODULE;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef DWORD COLORREF;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

#define WINAPI
#define MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0u
#define WAIT_ABANDONED 0x80u
#define WAIT_TIMEOUT 258u
#define WAIT_FAILED 0xFFFFFFFFu

enum : DWORD {
  ERROR_SUCCESS = 0,
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_NO_MORE_FILES = 18,
  ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_WRITE_FAULT = 29,
  ERROR_INVALID_PARAMETER = 87,
  ERROR_INSUFFICIENT_BUFFER = 122,
  ERROR_ALREADY_EXISTS = 183,
  ERROR_ENVVAR_NOT_FOUND = 203,
  ERROR_NOT_OWNER = 288,
  ERROR_PIPE_BUSY = 231,
  ERROR_NO_UNICODE_TRANSLATION = 1113,
  ERROR_SEM_TIMEOUT = 121,
  ERROR_ABANDONED_WAIT_0 = 735,
  ERROR_INVALID_WINDOW_HANDLE = 1400
};

enum : DWORD {
  FILE_ATTRIBUTE_READONLY = 0x1,
  FILE_ATTRIBUTE_HIDDEN = 0x2,
  FILE_ATTRIBUTE_SYSTEM = 0x4,
  FILE_ATTRIBUTE_DIRECTORY = 0x10,
  FILE_ATTRIBUTE_ARCHIVE = 0x20,
  FILE_ATTRIBUTE_NORMAL = 0x80,
  FILE_ATTRIBUTE_TEMPORARY = 0x100,
  FILE_ATTRIBUTE_COMPRESSED = 0x800,
  FILE_ATTRIBUTE_OFFLINE = 0x1000,
  FILE_ATTRIBUTE_ENCRYPTED = 0x4000
};

#define NO_ERROR 0u
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_WRITE_DATA 0x2u
#define FILE_APPEND_DATA 0x4u
#define FILE_SHARE_READ 0x1u
#define FILE_SHARE_WRITE 0x2u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#define FILE_BEGIN 0u
#define FILE_CURRENT 1u
#define FILE_END 2u
#define INVALID_SET_FILE_POINTER ((DWORD)-1)
#define STARTF_USESTDHANDLES 0x100u
#define CREATE_NO_WINDOW 0x08000000u
#define PIPE_READMODE_MESSAGE 2u

// Code pages and conversion flags
#define CP_ACP 0u
#define CP_UTF8 65001u
#define MB_ERR_INVALID_CHARS 0x8u

// System colour indices
enum {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND, COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_MENU, COLOR_WINDOW,
  COLOR_WINDOWFRAME, COLOR_MENUTEXT, COLOR_WINDOWTEXT, COLOR_CAPTIONTEXT, COLOR_ACTIVEBORDER,
  COLOR_INACTIVEBORDER, COLOR_APPWORKSPACE, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,
  COLOR_BTNSHADOW, COLOR_GRAYTEXT, COLOR_BTNTEXT, COLOR_INACTIVECAPTIONTEXT, COLOR_BTNHIGHLIGHT,
  COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_INFOTEXT, COLOR_INFOBK, COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION, COLOR_MENUHILIGHT, COLOR_MENUBAR,
  COLOR_DESKTOP = COLOR_BACKGROUND, COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW,
  COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT, COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
  COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT
};

typedef struct _FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
} FILETIME;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME;

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA;

typedef struct _SECURITY_ATTRIBUTES {
  DWORD nLength;
  void* lpSecurityDescriptor;
  BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _STARTUPINFOA {
  DWORD cb;
  char* lpReserved;
  char* lpDesktop;
  char* lpTitle;
  DWORD dwX, dwY, dwXSize, dwYSize, dwXCountChars, dwYCountChars, dwFillAttribute, dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  BYTE* lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION;

typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  long long QuadPart;
} LARGE_INTEGER;

#define TIME_ZONE_ID_UNKNOWN 0u
#define TIME_ZONE_ID_STANDARD 1u
#define TIME_ZONE_ID_DAYLIGHT 2u
#define TIME_ZONE_ID_INVALID 0xFFFFFFFFu

typedef struct _TIME_ZONE_INFORMATION {
  LONG Bias;
  WCHAR StandardName[32];
  SYSTEMTIME StandardDate;
  LONG StandardBias;
  WCHAR DaylightName[32];
  SYSTEMTIME DaylightDate;
  LONG DaylightBias;
} TIME_ZONE_INFORMATION;

// --- the thread's last error ---
DWORD GetLastError();
void SetLastError(DWORD code);

// --- process, module, clock ---
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
HMODULE GetModuleHandleA(const char* name);
DWORD GetModuleFileNameA(HMODULE module, char* path, DWORD size);
DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* freq);
void GetLocalTime(SYSTEMTIME* st);
void GetSystemTime(SYSTEMTIME* st);
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* tz, const SYSTEMTIME* utc, SYSTEMTIME* local);
DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* tzi);

// --- environment ---
DWORD GetEnvironmentVariableA(const char* name, char* buf, DWORD size);
BOOL SetEnvironmentVariableA(const char* name, const char* value);
// The login name from USER (LOGNAME); *size in: buffer size, out: length with the zero.
BOOL GetUserNameA(char* buf, DWORD* size);

// --- mutexes (recursive for their owner, as the system's) and handles ---
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES sa, BOOL initial_owner, const char* name);
DWORD WaitForSingleObject(HANDLE h, DWORD ms);
BOOL ReleaseMutex(HANDLE h);
BOOL CloseHandle(HANDLE h);

// --- files: what the tests and the portable modules use; no monitor pipe exists on Linux ---
DWORD GetTempPathA(DWORD size, char* buf);
UINT GetTempFileNameA(const char* dir, const char* prefix, UINT unique, char* path);
BOOL DeleteFileA(const char* path);
BOOL CreateDirectoryA(const char* path, LPSECURITY_ATTRIBUTES sa);
BOOL RemoveDirectoryA(const char* path);
HANDLE CreateFileA(const char* name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa, DWORD disposition,
                   DWORD flags, HANDLE tmpl);
DWORD SetFilePointer(HANDLE h, LONG dist, LONG* dist_high, DWORD method);
DWORD GetFileAttributesA(const char* path);
// "*" and "?" as the system reads them; "*.*" is every name.
HANDLE FindFirstFileA(const char* pattern, WIN32_FIND_DATAA* fd);
BOOL FindNextFileA(HANDLE h, WIN32_FIND_DATAA* fd);
BOOL FindClose(HANDLE h);
BOOL WriteFile(HANDLE h, const void* data, DWORD size, DWORD* written, void* overlapped);
BOOL SetNamedPipeHandleState(HANDLE h, DWORD* mode, DWORD* maxcount, DWORD* timeout);
BOOL WaitNamedPipeA(const char* name, DWORD ms);

// --- declared only: the walker's and the file helpers' remaining calls compile, but
// nothing built here may reach them (the link drops the functions that use them and
// fails on any live reference) ---
DWORD GetFullPathNameA(const char* path, DWORD size, char* buf, char** fname);
BOOL CreateProcessA(const char* app, char* cmdln, LPSECURITY_ATTRIBUTES pa, LPSECURITY_ATTRIBUTES ta,
                    BOOL inherit, DWORD flags, void* env, const char* dir, STARTUPINFOA* si,
                    PROCESS_INFORMATION* pi);
BOOL GetExitCodeProcess(HANDLE h, DWORD* code);
BOOL TerminateProcess(HANDLE h, UINT code);

// --- window system ---
DWORD GetSysColor(int index);

// Stand-in windows: each has a message queue that any thread may post to and any thread
// may read; posting to a handle that is not a live stand-in window fails with 1400.
typedef void* HWND;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef struct tagMSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
} MSG;
#define PM_NOREMOVE 0u
#define PM_REMOVE 1u
#define WM_APP 0x8000u
HWND compat_window_create();
BOOL DestroyWindow(HWND wnd);
BOOL PostMessageA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
// wnd nullptr: any window; min and max both 0: any message.
BOOL PeekMessageA(MSG* msg, HWND wnd, UINT min, UINT max, UINT remove);

// --- code pages: the ANSI page is taken as UTF-8 ---
int MultiByteToWideChar(UINT codepage, DWORD flags, const char* mb, int mblen, WCHAR* w, int wlen);
int WideCharToMultiByte(UINT codepage, DWORD flags, const WCHAR* w, int wlen, char* mb, int mblen,
                        const char* defchar, BOOL* useddef);
UINT GetACP();
#define LOCALE_INVARIANT 0x7Fu
#define LCMAP_UPPERCASE 0x200u
// Simple upper-case mapping: ASCII and Latin-1 letters, the rest through the C library.
int LCMapStringW(DWORD locale, DWORD flags, const WCHAR* src, int srclen, WCHAR* dst, int dstlen);
