#include "ui/geom.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline bool is_empty(const char* s) { return !s || !*s; }

int id_cmp(unsigned, const void* key1, unsigned, unsigned, const void* key2, unsigned, void*) {
  return strcmp(*static_cast<char* const*>(key1), *static_cast<char* const*>(key2));
}

void item_delete(geom_item* it) {
  for (unsigned i = 0; i < it->nchildren; ++i) item_delete(it->children[i]);
  free(it->children);
  free(it->id);
  free(it);
}

// Axis 0 is x (width), 1 is y (height).
inline int& pos(geom_rect& r, int a) { return a ? r.y : r.x; }
inline int& len(geom_rect& r, int a) { return a ? r.h : r.w; }
inline unsigned& minof(geom_item* it, int a) { return a ? it->minH : it->minW; }
inline unsigned growof(const geom_item* it, int a) { return a ? it->growY : it->growX; }

// The limits clamp in 64 bits: unset maxima are all bits set. The minimum wins a conflict.
int clamp(long long v, unsigned mn, unsigned mx) {
  if (mx != GEOM_UNSET && v > (long long)mx) v = mx;
  if (mn != GEOM_UNSET && v < (long long)mn) v = mn;
  if (v > 0x7FFFFFFF) v = 0x7FFFFFFF;
  if (v < -0x7FFFFFFF) v = -0x7FFFFFFF;
  return (int)v;
}

// Children first: wnd minima from the measured size, then the lines' boxes and minima.
void compute_item(geom_item* it) {
  if (it->type == GEOM_WND) {
    if (it->minW == GEOM_UNSET) it->minW = (unsigned)std::max(it->rect.w, 0);
    if (it->minH == GEOM_UNSET) it->minH = (unsigned)std::max(it->rect.h, 0);
    it->nrect = it->rect;
    return;
  }
  for (unsigned i = 0; i < it->nchildren; ++i) compute_item(it->children[i]);
  if (it->nchildren) {
    long long l = 0x7FFFFFFF, t = 0x7FFFFFFF, r = -0x7FFFFFFFll, b = -0x7FFFFFFFll;
    for (unsigned i = 0; i < it->nchildren; ++i) {
      const geom_rect& c = it->children[i]->rect;
      l = std::min<long long>(l, c.x);
      t = std::min<long long>(t, c.y);
      r = std::max<long long>(r, (long long)c.x + c.w);
      b = std::max<long long>(b, (long long)c.y + c.h);
    }
    it->rect = {(int)l, (int)t, (int)(r - l), (int)(b - t)};
  }
  // along the line the children's slack adds up, across it the deepest child decides
  int along = it->type == GEOM_HLINE ? 0 : 1, across = 1 - along;
  long long mn[2];
  mn[along] = len(it->rect, along);
  mn[across] = 0;
  for (unsigned i = 0; i < it->nchildren; ++i) {
    geom_item* c = it->children[i];
    mn[along] += (long long)minof(c, along) - len(c->rect, along);
    mn[across] = std::max<long long>(mn[across], (long long)pos(c->rect, across) + minof(c, across) -
                                                     pos(it->rect, across));
  }
  if (mn[0] < 0 || mn[1] < 0) ERR_LOG(ERR_ERR, kParam, "Invalid min [%dx%d].", (int)mn[0], (int)mn[1]);
  for (int a = 0; a < 2; ++a) {
    unsigned v = mn[a] < 1 ? 0u : (unsigned)std::min<long long>(mn[a], 0x7FFFFFFF);
    // a minimum the resources give is kept when it is the larger
    if (minof(it, a) == GEOM_UNSET || minof(it, a) < v) minof(it, a) = v;
  }
  it->nrect = it->rect;
}

int min_or_zero(unsigned v) { return v == GEOM_UNSET ? 0 : (int)std::min<unsigned>(v, 0x7FFFFFFF); }

}  // namespace

int geom_clear(geom* g) {
  if (!g) {
    ERR_LOG(ERR_ERR, kParam, "`geom' is NUL.");
    return kParam;
  }
  memset(g, 0, sizeof *g);
  return 0;
}

int geom_free(geom* g) {
  if (!g) {
    ERR_LOG(ERR_ERR, kParam, "`geom' is NUL.");
    return kParam;
  }
  if (g->items.keysize) rbtree_free(&g->items);
  if (g->root) item_delete(g->root);
  free(g->name);
  return geom_clear(g);
}

int geom_init(geom* g, const char* name) {
  if (!g) {
    ERR_LOG(ERR_ERR, kParam, "`geom' is NUL.");
    return kParam;
  }
  geom_free(g);
  if (!name) name = "";
  g->name = strdup(name);
  if (!g->name) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(name));
    return kNoMem;
  }
  int e = rbtree_init(&g->items, sizeof(char*), 0, id_cmp, nullptr, nullptr, nullptr, sizeof(geom_item*), 0, nullptr,
                      nullptr, nullptr, nullptr);
  if (e) geom_free(g);
  return e;
}

geom_item* geom_add(geom* g, geom_item* parent, const char* id, int type, int* err) {
  if (!g || is_empty(id) || !g->items.keysize || type < GEOM_WND || type > GEOM_VLINE ||
      (parent && parent->type == GEOM_WND) || (!parent && g->root)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, id: `%s'.", (void*)g, mox_nul(id));
    set_err(err, kParam);
    return nullptr;
  }
  if (rbtree_find(&g->items, &id)) {
    ERR_LOG(ERR_ERR, kExists, "Geom [%s] item [%s] already exist.", g->name, id);
    set_err(err, kExists);
    return nullptr;
  }
  geom_item* it = static_cast<geom_item*>(calloc(1, sizeof(geom_item)));
  if (!it || !(it->id = strdup(id))) {
    if (it)
      ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(id));
    else
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(geom_item));
    free(it);
    set_err(err, kNoMem);
    return nullptr;
  }
  it->type = type;
  it->minW = it->minH = it->maxW = it->maxH = GEOM_UNSET;
  it->parent = parent;
  if (type != GEOM_WND) it->resize = geom_line_resize;
  int e = 0;
  if (parent && parent->nchildren == parent->capacity) {
    unsigned cap = parent->capacity ? parent->capacity * 2 : 4;
    auto** a = static_cast<geom_item**>(realloc(parent->children, cap * sizeof(geom_item*)));
    if (!a) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(cap * sizeof(geom_item*)));
      e = kNoMem;
    } else {
      parent->children = a;
      parent->capacity = cap;
    }
  }
  if (!e) rbtree_insert(&g->items, &it->id, &it, &e);
  if (e) {
    item_delete(it);
    set_err(err, e);
    return nullptr;
  }
  if (parent)
    parent->children[parent->nchildren++] = it;
  else
    g->root = it;
  set_err(err, 0);
  return it;
}

geom_item* geom_find(const geom* g, const char* id, int* err) {
  const rbtree_node* n = g && id && g->items.keysize ? rbtree_find(&g->items, &id) : nullptr;
  if (!n) {
    ERR_LOG(ERR_ERR, kNotFound, "Item not found - item_id: `%s'.", mox_nul(id));
    set_err(err, kNotFound);
    return nullptr;
  }
  set_err(err, 0);
  return *static_cast<geom_item**>(rbtree_val(&g->items, n));
}

int geom_size_parse(const char* s, geom_size* sz) {
  if (!s || !sz) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - s: `%s', sz: %p.", mox_nul(s), (void*)sz);
    return kParam;
  }
  const char* p = s;
  unsigned long long n = 0;
  if (*p < '0' || *p > '9') {
    ERR_LOG(ERR_ERR, kParam, "Invalid size [%s].", s);
    return kParam;
  }
  for (; *p >= '0' && *p <= '9'; ++p) {
    n = n * 10 + (unsigned)(*p - '0');
    if (n > 0x7FFFFFFF) {
      ERR_LOG(ERR_ERR, kParam, "Invalid size [%s].", s);
      return kParam;
    }
  }
  char u = 'L';
  switch (*p) {
    case 'C': case 'c': u = 'C'; ++p; break;
    case 'L': case 'l': u = 'L'; ++p; break;
    case 'P': case 'p': u = 'P'; ++p; break;
    default: break;
  }
  while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n') ++p;
  if (*p) {
    ERR_LOG(ERR_ERR, kParam, "Invalid size [%s].", s);
    return kParam;
  }
  sz->n = (unsigned)n;
  sz->unit = n ? u : 'P';  // nothing of any unit is no pixels
  return 0;
}

int geom_set_lim(geom_item* item, int which, const char* s) {
  if (!item || which < GEOM_MINW || which > GEOM_MAXH) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - item: %p, which: %d.", (void*)item, which);
    return kParam;
  }
  geom_size sz;
  if (int e = geom_size_parse(s, &sz)) return e;
  item->lim[which] = sz;
  if (sz.unit == 'P') {
    unsigned* f[] = {&item->minW, &item->minH, &item->maxW, &item->maxH};
    *f[which] = sz.n;
  }
  return 0;
}

int geom_set_dlg(geom* g, int cliW, int cliH, int wndW, int wndH) {
  if (!g) {
    ERR_LOG(ERR_ERR, kParam, "`geom' is NUL.");
    return kParam;
  }
  g->dlg = {0, 0, cliW, cliH};
  g->wndW = wndW;
  g->wndH = wndH;
  return 0;
}

int geom_compute(geom* g) {
  if (!g || !g->root) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, root: %p.", (void*)g, g ? (void*)g->root : nullptr);
    return kParam;
  }
  compute_item(g->root);
  g->minWndW = min_or_zero(g->root->minW) + g->wndW - g->root->rect.w;
  g->minWndH = min_or_zero(g->root->minH) + g->wndH - g->root->rect.h;
  return 0;
}

int geom_line_resize(geom* g, geom_item* line, int w, int h) {
  if (!g || !line) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, line: %p.", (void*)g, (void*)line);
    return kParam;
  }
  line->nrect.w = clamp(w, line->minW, line->maxW);
  line->nrect.h = clamp(h, line->minH, line->maxH);
  if (line->type == GEOM_WND) return 0;
  int along = line->type == GEOM_HLINE ? 0 : 1, across = 1 - along;
  unsigned long long s = 0;
  for (unsigned i = 0; i < line->nchildren; ++i) s += growof(line->children[i], along);
  long long extra = (long long)len(line->nrect, along) - len(line->rect, along);
  geom_item* prev = nullptr;
  for (unsigned i = 0; i < line->nchildren; ++i) {
    geom_item* c = line->children[i];
    long long p = prev ? (long long)pos(c->rect, along) - pos(prev->rect, along) - len(prev->rect, along) +
                             pos(prev->nrect, along) + len(prev->nrect, along)
                       : (long long)pos(c->rect, along) - pos(line->rect, along) + pos(line->nrect, along);
    long long q = (long long)pos(c->rect, across) - pos(line->rect, across) + pos(line->nrect, across);
    // the share is truncated toward zero; what is left over stays at the end of the line
    long long share = s ? extra * (long long)growof(c, along) / (long long)s : 0;
    long long n[2];
    n[along] = len(c->rect, along) + share;
    n[across] = growof(c, across) ? (long long)len(c->rect, across) - len(line->rect, across) +
                                        len(line->nrect, across)
                                  : len(c->rect, across);
    pos(c->nrect, along) = clamp(p, GEOM_UNSET, GEOM_UNSET);
    pos(c->nrect, across) = clamp(q, GEOM_UNSET, GEOM_UNSET);
    int nw = clamp(n[0], c->minW, c->maxW), nh = clamp(n[1], c->minH, c->maxH);
    if (c->resize) {
      if (int e = c->resize(g, c, nw, nh)) return e;
    } else {
      c->nrect.w = nw;
      c->nrect.h = nh;
    }
    if (c->nested)
      if (int e = geom_resize(c->nested, c->nrect.w, c->nrect.h)) return e;
    prev = c;
  }
  return 0;
}

int geom_resize(geom* g, int cliW, int cliH) {
  if (!g || !g->root) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, root: %p.", (void*)g, g ? (void*)g->root : nullptr);
    return kParam;
  }
  geom_item* r = g->root;
  long long w = cliW < 0 ? r->nrect.w : (long long)cliW - g->dlg.w + r->rect.w;
  long long h = cliH < 0 ? r->nrect.h : (long long)cliH - g->dlg.h + r->rect.h;
  r->nrect.x = r->rect.x;
  r->nrect.y = r->rect.y;
  int iw = clamp(w, GEOM_UNSET, GEOM_UNSET), ih = clamp(h, GEOM_UNSET, GEOM_UNSET);
  if (r->resize) return r->resize(g, r, iw, ih);
  r->nrect.w = clamp(iw, r->minW, r->maxW);
  r->nrect.h = clamp(ih, r->minH, r->maxH);
  return r->nested ? geom_resize(r->nested, r->nrect.w, r->nrect.h) : 0;
}

int geom_min_frame(const geom* g, int edge, long* lrtb) {
  if (!g || !lrtb) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, rect: %p.", (const void*)g, (void*)lrtb);
    return kParam;
  }
  enum { L = 0, T = 1, R = 2, B = 3 };
  // the edge being dragged gives way, the opposite one stays
  bool left = edge == 1 || edge == 4 || edge == 7;
  bool top = edge == 3 || edge == 4 || edge == 5;
  if (lrtb[R] - lrtb[L] < g->minWndW) {
    if (left)
      lrtb[L] = lrtb[R] - g->minWndW;
    else
      lrtb[R] = lrtb[L] + g->minWndW;
  }
  if (lrtb[B] - lrtb[T] < g->minWndH) {
    if (top)
      lrtb[T] = lrtb[B] - g->minWndH;
    else
      lrtb[B] = lrtb[T] + g->minWndH;
  }
  return 0;
}

int geom_set_wnd(geom* g, const char* id, void* wnd) {
  if (!g || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - geom: %p, id: `%s'.", (void*)g, mox_nul(id));
    return kParam;
  }
  const rbtree_node* n = g->items.keysize ? rbtree_find(&g->items, &id) : nullptr;
  geom_item* it = n ? *static_cast<geom_item**>(rbtree_val(&g->items, n)) : nullptr;
  if (!it || it->type != GEOM_WND) {
    ERR_LOG(ERR_ERR, kNotFound, "Item not found [%s].", id);
    return kNotFound;
  }
  it->wnd = wnd;
  return 0;
}
