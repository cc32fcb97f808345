#include "ui/ctlclr.h"

#include <cstring>

#include "err/err.h"

// Releases a background brush (win32 half; a no-op where there are no windows).
void ctlclr_brush_free(void* brush);

int ctlclr_init(ctlclr* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`ctlclr' is NUL.");
    return 9003;
  }
  memset(t, 0, sizeof *t);
  return 0;
}

int ctlclr_free(ctlclr* t) {
  if (!t) {
    ERR_LOG(ERR_ERR, 9003, "`ctlclr' is NUL.");
    return 9003;
  }
  for (unsigned i = 0; i < t->n; ++i) ctlclr_brush_free(t->ents[i].brush);
  return ctlclr_init(t);
}

ctlclr_ent* ctlclr_find(const ctlclr* t, void* wnd) {
  if (!t || !wnd) return nullptr;
  for (unsigned i = 0; i < t->n; ++i)
    if (t->ents[i].wnd == wnd) return const_cast<ctlclr_ent*>(&t->ents[i]);
  return nullptr;
}

int ctlclr_set(ctlclr* t, void* wnd, unsigned fg, unsigned bg) {
  if (!t || !wnd) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ctlclr: %p, wnd: %p.", (void*)t, wnd);
    return 9003;
  }
  ctlclr_ent* e = ctlclr_find(t, wnd);
  if (!e) {
    if (t->n == CTLCLR_MAX) {
      ERR_LOG(ERR_ERR, 9009, "Too many coloured controls [%u].", (unsigned)CTLCLR_MAX);
      return 9009;
    }
    e = &t->ents[t->n++];
    e->wnd = wnd;
    e->brush = nullptr;
  } else if (e->bg != bg) {
    ctlclr_brush_free(e->brush);
    e->brush = nullptr;
  }
  e->fg = fg;
  e->bg = bg;
  return 0;
}

int ctlclr_del(ctlclr* t, void* wnd) {
  if (!t || !wnd) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - ctlclr: %p, wnd: %p.", (void*)t, wnd);
    return 9003;
  }
  ctlclr_ent* e = ctlclr_find(t, wnd);
  if (!e) return 9006;
  ctlclr_brush_free(e->brush);
  *e = t->ents[--t->n];
  return 0;
}
