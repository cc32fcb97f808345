// Test support: a hidden window of the calling thread (a stand-in natively) and the
// messages posted to it.
#pragma once

#include <windows.h>

#include <vector>

struct TestWindow {
  HWND wnd = nullptr;
  TestWindow() {
#ifdef _WIN32
    wnd = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
#else
    wnd = compat_window_create();
#endif
  }
  ~TestWindow() { destroy(); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  void destroy() {
    if (wnd) DestroyWindow(wnd);
    wnd = nullptr;
  }
  // Removes the waiting messages numbered msg and returns how many there were.
  unsigned take(UINT msg) {
    MSG m;
    unsigned n = 0;
    while (wnd && PeekMessageA(&m, wnd, msg, msg, PM_REMOVE)) ++n;
    return n;
  }
};
