#include <windows.h>

#include <cstdint>

#include "c/str.h"
#include "fio/wndf.h"
#include "err/err.h"
#include "ui/geom.h"

namespace {

constexpr int kSys = 9001;
constexpr int kParam = 9003;

inline int last_error() {
  DWORD e = GetLastError();
  return e ? (int)e : kSys;
}

INT_PTR CALLBACK measure_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The hidden template, destroyed on every path.
struct dlg_guard {
  HWND h = nullptr;
  ~dlg_guard() {
    if (h && !DestroyWindow(h)) ERR_LOG(ERR_ERR, last_error(), "DestroyWindow() failed.");
  }
};

int measure_item(geom_item* it, HWND dlg) {
  HWND ctrl = GetDlgItem(dlg, it->ctrlid);
  if (!ctrl) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "GetDlgItem() failed [%d] - dlg: %p.", it->ctrlid, (void*)dlg);
    return e;
  }
  RECT r;
  if (!GetWindowRect(ctrl, &r)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "GetWindowRect() failed - wnd: %p.", (void*)ctrl);
    return e;
  }
  POINT p{r.left, r.top};
  if (!ScreenToClient(dlg, &p)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "ScreenToClient() failed - dlg: %p.", (void*)dlg);
    return e;
  }
  it->rect = {(int)p.x, (int)p.y, (int)(r.right - r.left), (int)(r.bottom - r.top)};
  return 0;
}

// The limits written in characters or logical units, in pixels of the measured dialog.
int resolve_lims(geom* g, HWND dlg) {
  for (rbtree_node* n = rbtree_first(&g->items); n; n = rbtree_next(n)) {
    geom_item* it = *static_cast<geom_item**>(rbtree_val(&g->items, n));
    unsigned* f[] = {&it->minW, &it->minH, &it->maxW, &it->maxH};
    for (int w = GEOM_MINW; w <= GEOM_MAXH; ++w) {
      const geom_size& sz = it->lim[w];
      if (!sz.unit || sz.unit == 'P') continue;
      char text[16];
      mox_snprintf(text, sizeof text, "%u%c", sz.n, sz.unit);
      int px = 0;
      if (int e = (w & 1) ? wndf_y(dlg, text, &px) : wndf_x(dlg, text, &px)) return e;
      *f[w] = px < 0 ? 0u : (unsigned)px;
    }
  }
  return 0;
}

}  // namespace

int geom_measure(geom* g, void* hmodule, const char* tmpl, void* parent) {
  if (!g || !tmpl) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, tmpl: %p.", (void*)g, (const void*)tmpl);
    return kParam;
  }
  dlg_guard dlg;
  dlg.h = CreateDialogParamA(static_cast<HINSTANCE>(hmodule), tmpl, static_cast<HWND>(parent), measure_proc, 0);
  if (!dlg.h) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - hmodule: %#X, name[%p]: `%s'.",
            (unsigned)(uintptr_t)hmodule, (const void*)tmpl, IS_INTRESOURCE(tmpl) ? "" : tmpl);
    return e;
  }
  RECT cr, wr;
  if (!GetClientRect(dlg.h, &cr) || !GetWindowRect(dlg.h, &wr)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "GetWindowRect() failed - wnd: %p.", (void*)dlg.h);
    return e;
  }
  geom_set_dlg(g, (int)(cr.right - cr.left), (int)(cr.bottom - cr.top), (int)(wr.right - wr.left),
               (int)(wr.bottom - wr.top));
  for (rbtree_node* n = rbtree_first(&g->items); n; n = rbtree_next(n)) {
    geom_item* it = *static_cast<geom_item**>(rbtree_val(&g->items, n));
    if (it->type == GEOM_WND)
      if (int e = measure_item(it, dlg.h)) return e;
  }
  return resolve_lims(g, dlg.h);
}

int geom_apply(geom* g, void* dlg) {
  if (!g || !dlg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, dlg: %p.", (void*)g, dlg);
    return kParam;
  }
  int first = 0;
  for (rbtree_node* n = rbtree_first(&g->items); n; n = rbtree_next(n)) {
    geom_item* it = *static_cast<geom_item**>(rbtree_val(&g->items, n));
    if (it->type != GEOM_WND) continue;
    HWND w = it->wnd ? static_cast<HWND>(it->wnd) : GetDlgItem(static_cast<HWND>(dlg), it->ctrlid);
    if (!w) {
      int e = last_error();
      ERR_LOG(ERR_ERR, e, "GetDlgItem() failed [%d] - dlg: %p.", it->ctrlid, dlg);
      if (!first) first = e;
      continue;
    }
    const geom_rect& r = it->nrect;
    if (!MoveWindow(w, r.x, r.y, r.w, r.h, TRUE)) {
      int e = last_error();
      ERR_LOG(ERR_ERR, e, "MoveWindow() failed - wnd: %#X, xywh: %d %d %ux%u.", (unsigned)(uintptr_t)w, r.x, r.y,
              (unsigned)r.w, (unsigned)r.h);
      if (!first) first = e;
      continue;
    }
    if (it->nested && it->wnd)
      if (int e = geom_apply(it->nested, it->wnd); e && !first) first = e;
  }
  return first;
}

int geom_sizing(const geom* g, unsigned edge, void* rect) {
  if (!g || !rect) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, rect: %p.", (const void*)g, rect);
    return kParam;
  }
  RECT* r = static_cast<RECT*>(rect);
  long lrtb[4] = {r->left, r->top, r->right, r->bottom};
  int e = geom_min_frame(g, (int)edge, lrtb);
  r->left = lrtb[0];
  r->top = lrtb[1];
  r->right = lrtb[2];
  r->bottom = lrtb[3];
  return e;
}

int geom_minmax(const geom* g, void* minmaxinfo) {
  if (!g || !minmaxinfo) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, rect: %p.", (const void*)g, minmaxinfo);
    return kParam;
  }
  MINMAXINFO* mmi = static_cast<MINMAXINFO*>(minmaxinfo);
  mmi->ptMinTrackSize.x = g->minWndW;
  mmi->ptMinTrackSize.y = g->minWndH;
  return 0;
}
