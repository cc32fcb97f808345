#include <windows.h>

#include "err/err.h"
#include "ui/ctlclr.h"

void ctlclr_brush_free(void* brush) {
  if (brush) DeleteObject(static_cast<HBRUSH>(brush));
}

void* ctlclr_paint(ctlclr* t, void* wnd, void* hdc) {
  ctlclr_ent* e = ctlclr_find(t, wnd);
  if (!e || !hdc) return nullptr;
  HDC dc = static_cast<HDC>(hdc);
  if (SetTextColor(dc, e->fg) == CLR_INVALID) ERR_LOG(ERR_ERR, 9001, "SetTextColor() failed - hdc: %p.", hdc);
  if (SetBkColor(dc, e->bg) == CLR_INVALID) ERR_LOG(ERR_ERR, 9001, "SetBkColor() failed - hdc: %p.", hdc);
  if (!e->brush) e->brush = CreateSolidBrush(e->bg);
  return e->brush;
}
