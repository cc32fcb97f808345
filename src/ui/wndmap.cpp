#include "ui/wndmap.h"

#include <cstring>

#include "err/err.h"

int wndmap_init(wndmap* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`wndmap' is NUL.");
    return 9003;
  }
  memset(m, 0, sizeof *m);
  return 0;
}

int wndmap_free(wndmap* m) { return wndmap_init(m); }

int wndmap_add(wndmap* m, void* wnd, void* rec) {
  if (!m || !wnd) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - wndmap: %p, wnd: %p.", (void*)m, wnd);
    return 9003;
  }
  for (unsigned i = 0; i < m->n; ++i)
    if (m->ents[i].wnd == wnd) {
      m->ents[i].rec = rec;
      return 0;
    }
  if (m->n == WNDMAP_MAX) {
    ERR_LOG(ERR_ERR, 9009, "Too many windows [%u].", (unsigned)WNDMAP_MAX);
    return 9009;
  }
  m->ents[m->n++] = {wnd, rec};
  return 0;
}

int wndmap_del(wndmap* m, void* wnd) {
  if (!m || !wnd) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - wndmap: %p, wnd: %p.", (void*)m, wnd);
    return 9003;
  }
  for (unsigned i = 0; i < m->n; ++i)
    if (m->ents[i].wnd == wnd) {
      m->ents[i] = m->ents[--m->n];
      return 0;
    }
  return 9006;
}

void* wndmap_get(const wndmap* m, void* wnd) {
  if (!m || !wnd) return nullptr;
  for (unsigned i = 0; i < m->n; ++i)
    if (m->ents[i].wnd == wnd) return m->ents[i].rec;
  return nullptr;
}
