// Directory links for walk tests. Wine lists a host symbolic link as a directory with
// the reparse-point attribute but does not make one itself, so under Wine the host's
// own ln and rm are started; elsewhere the system's call is used.
#pragma once

#include <windows.h>

#include <string>

namespace dirlink {

typedef char*(CDECL* unix_name_fn)(const wchar_t*);

inline unix_name_fn wine_unix_name() {
  HMODULE k = GetModuleHandleA("kernel32.dll");
  return k ? reinterpret_cast<unix_name_fn>(reinterpret_cast<void*>(GetProcAddress(k, "wine_get_unix_file_name")))
           : nullptr;
}

inline std::string unix_path(unix_name_fn fn, const std::string& p) {
  wchar_t w[MAX_PATH * 4];
  if (!MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, w, MAX_PATH * 4)) return std::string();
  char* u = fn(w);
  std::string s = u ? u : "";
  if (u) HeapFree(GetProcessHeap(), 0, u);
  return s;
}

// The host name of p whose last component is taken as it stands (not resolved).
inline std::string host_name(unix_name_fn fn, const std::string& p) {
  const size_t cut = p.find_last_of('\\');
  return unix_path(fn, p.substr(0, cut)) + "/" + p.substr(cut + 1);
}

inline bool run_host(const std::string& cmd) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = cmd;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// link: a new name in an existing directory; target: an existing directory.
inline bool make(const std::string& link, const std::string& target) {
  if (unix_name_fn fn = wine_unix_name()) {
    run_host("Z:\\bin\\ln -s \"" + unix_path(fn, target) + "\" \"" + host_name(fn, link) + "\"");
  } else {
    CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
  }
  // a host program's handle may be signalled before it is done
  for (int i = 0; i < 100; ++i, Sleep(50)) {
    const DWORD attr = GetFileAttributesA(link.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
  }
  return false;
}

// Removes the link only, never what it leads to.
inline void remove(const std::string& link) {
  if (unix_name_fn fn = wine_unix_name()) run_host("Z:\\bin\\rm -f \"" + host_name(fn, link) + "\"");
  else RemoveDirectoryA(link.c_str());
  for (int i = 0; i < 100 && GetFileAttributesA(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

}  // namespace dirlink
