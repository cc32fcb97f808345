// Test support: a real dialog of template 7001 laid out by a geom, and its controls read back.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "ui/geom.h"

inline bool same(const geom_rect& a, const geom_rect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

struct GeomDlg {
  HWND dlg = nullptr;
  GeomDlg(geom* g, DLGPROC proc) {
    dlg = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(7001), nullptr, proc,
                             reinterpret_cast<LPARAM>(g));
  }
  ~GeomDlg() {
    if (dlg) DestroyWindow(dlg);
  }
  geom_rect ctrl_rect(int id) const {
    RECT r{};
    HWND c = GetDlgItem(dlg, id);
    GetWindowRect(c, &r);
    POINT p{r.left, r.top};
    ScreenToClient(dlg, &p);
    return {(int)p.x, (int)p.y, (int)(r.right - r.left), (int)(r.bottom - r.top)};
  }
  // Sizes the window so that its client area is w x h (the frame's minimum may refuse).
  bool client(int w, int h) {
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, (DWORD)GetWindowLongA(dlg, GWL_STYLE), FALSE, (DWORD)GetWindowLongA(dlg, GWL_EXSTYLE));
    if (!SetWindowPos(dlg, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER)) return false;
    // a refused size still lays out at what the frame allowed
    RECT c;
    GetClientRect(dlg, &c);
    SendMessageA(dlg, WM_SIZE, 0, MAKELPARAM(w < c.right ? w : c.right, h < c.bottom ? h : c.bottom));
    return true;
  }
  TEXTMETRICA metrics() const {
    TEXTMETRICA tm{};
    HDC dc = GetDC(dlg);
    GetTextMetricsA(dc, &tm);
    ReleaseDC(dlg, dc);
    return tm;
  }
  int char_w() const { return metrics().tmAveCharWidth; }
  int char_h() const { return metrics().tmHeight; }
};
