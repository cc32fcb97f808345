#include "ui/win32/dlgplace.h"

#include <cstring>

void dlgplace_restore(HWND dlg, const cfg_wndpl* wp, unsigned wp_size, int show) {
  const int* r = wp->rcNormalPosition;
  if (wp_size != sizeof *wp || r[2] <= r[0] || r[3] <= r[1]) return;
  WINDOWPLACEMENT p;
  static_assert(sizeof p == sizeof *wp, "placement layouts differ");
  memcpy(&p, wp, sizeof p);
  p.length = sizeof p;
  if (show >= 0)
    p.showCmd = (UINT)show;
  else if (p.showCmd == SW_SHOWMINIMIZED || p.showCmd == SW_MINIMIZE)
    p.showCmd = SW_SHOWNORMAL;
  SetWindowPlacement(dlg, &p);
}

int dlgplace_store(HWND dlg, cfg_wndpl* wp, unsigned* wp_size) {
  WINDOWPLACEMENT p{};
  p.length = sizeof p;
  if (!GetWindowPlacement(dlg, &p)) {
    const int e = (int)GetLastError();
    return e ? e : 9001;
  }
  memcpy(wp, &p, sizeof p);
  *wp_size = sizeof p;
  return 0;
}

void dlgplace_layout(geom* g, HWND dlg) {
  if (g->dlg.w <= 0) return;
  RECT cr;
  GetClientRect(dlg, &cr);
  if (geom_resize(g, cr.right, cr.bottom) == 0) geom_apply(g, dlg);
}

INT_PTR dlgplace_size_msg(geom* g, HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    if (g->dlg.w > 0 && geom_resize(g, LOWORD(lp), HIWORD(lp)) == 0) geom_apply(g, dlg);
    return TRUE;
  }
  if (msg == WM_SIZING) {
    if (g->dlg.w > 0) geom_sizing(g, (unsigned)wp, reinterpret_cast<RECT*>(lp));
    return TRUE;
  }
  return FALSE;
}
