// Finds a visible top-level window of a class, prints its title and closes it. For the
// end-to-end scripts, which drive the windowed program from outside its process.
// Usage: wndclose CLASS TIMEOUT_MS
// Exit: 0 closed, 2 not found in time, 3 still there 10 s after WM_CLOSE, 1 bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: wndclose CLASS TIMEOUT_MS\n");
    return 1;
  }
  const DWORD limit = (DWORD)strtoul(argv[2], nullptr, 10);
  HWND wnd = nullptr;
  const DWORD start = GetTickCount();
  while (!(wnd = FindWindowA(argv[1], nullptr)) || !IsWindowVisible(wnd)) {
    if (GetTickCount() - start > limit) return 2;
    Sleep(50);
  }
  Sleep(500);  // the title is computed after the window is shown
  char title[1024] = "";
  GetWindowTextA(wnd, title, sizeof title);
  printf("%s\n", title);
  fflush(stdout);
  PostMessageA(wnd, WM_CLOSE, 0, 0);
  for (int i = 0; i < 200 && IsWindow(wnd); ++i) Sleep(50);
  return IsWindow(wnd) ? 3 : 0;
}
