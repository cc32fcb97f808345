#include "ui/menu.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline bool is_empty(const char* s) { return !s || !*s; }

char* dup(const char* s, int* e) {
  char* d = strdup(s);
  if (!d) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(s));
    *e = kNoMem;
  }
  return d;
}

int id_cmp(unsigned, const void* key1, unsigned, unsigned, const void* key2, unsigned, void*) {
  return strcmp(*static_cast<char* const*>(key1), *static_cast<char* const*>(key2));
}

int iid_cmp(unsigned, const void* key1, unsigned, unsigned, const void* key2, unsigned, void*) {
  int a = *static_cast<const int*>(key1), b = *static_cast<const int*>(key2);
  return a < b ? -1 : a > b;
}

// Appends p to a growing array of pointers.
template <typename T>
int push(T**& arr, unsigned& n, unsigned& cap, T* p) {
  if (n == cap) {
    unsigned ncap = cap ? cap * 2 : 8;
    T** a = static_cast<T**>(realloc(arr, ncap * sizeof(T*)));
    if (!a) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(ncap * sizeof(T*)));
      return kNoMem;
    }
    arr = a;
    cap = ncap;
  }
  arr[n++] = p;
  return 0;
}

void item_delete(menu_item* it) {
  for (unsigned i = 0; i < it->nchildren; ++i) item_delete(it->children[i]);
  free(it->children);
  free(it->id);
  free(it->text);
  free(it);
}

}  // namespace

int menu_clear(menu* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    return kParam;
  }
  memset(m, 0, sizeof *m);
  return 0;
}

int menu_free(menu* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    return kParam;
  }
  if (m->items.keysize) rbtree_free(&m->items);
  if (m->iids.keysize) rbtree_free(&m->iids);
  for (unsigned i = 0; i < m->top.nchildren; ++i) item_delete(m->top.children[i]);
  free(m->top.children);
  for (unsigned i = 0; i < m->ngrps; ++i) {
    free(m->grps[i].name);
    free(m->grps[i].items);
  }
  free(m->grps);
  free(m->name);
  return menu_clear(m);
}

int menu_init(menu* m, const char* name) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    return kParam;
  }
  menu_free(m);
  int e = 0;
  m->name = dup(name ? name : "", &e);
  if (!e)
    e = rbtree_init(&m->items, sizeof(char*), 0, id_cmp, nullptr, nullptr, nullptr, sizeof(menu_item*), 0, nullptr,
                    nullptr, nullptr, nullptr);
  if (!e)
    e = rbtree_init(&m->iids, sizeof(int), 0, iid_cmp, nullptr, nullptr, nullptr, sizeof(menu_item*), 0, nullptr,
                    nullptr, nullptr, nullptr);
  m->top.kind = MENU_ENTRY;
  m->top.grp = -1;
  if (e) menu_free(m);
  return e;
}

menu_item* menu_add(menu* m, menu_item* parent, const char* id, int iid, const char* text, int enabled, int* err) {
  if (!m || is_empty(id) || !m->items.keysize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, id: `%s'.", (void*)m, mox_nul(id));
    set_err(err, kParam);
    return nullptr;
  }
  bool sep = strcmp(id, MENU_SEP_ID) == 0;
  if (!sep && rbtree_find(&m->items, &id)) {
    ERR_LOG(ERR_ERR, kExists, "Menu [%s] item [%s] already exist.", m->name, id);
    set_err(err, kExists);
    return nullptr;
  }
  if (!parent) parent = &m->top;
  menu_item* it = static_cast<menu_item*>(calloc(1, sizeof(menu_item)));
  if (!it) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(menu_item));
    set_err(err, kNoMem);
    return nullptr;
  }
  int e = 0;
  it->id = dup(id, &e);
  it->kind = sep ? MENU_SEP : MENU_ENTRY;
  it->iid = sep ? 0 : iid;
  it->enabled = sep ? 1 : enabled != 0;
  it->grp = -1;
  it->ipos = -1;
  it->parent = parent == &m->top ? nullptr : parent;
  if (!e && text && !sep) it->text = dup(text, &e);
  if (!e) e = push(parent->children, parent->nchildren, parent->capacity, it);
  if (e) {
    item_delete(it);
    set_err(err, e);
    return nullptr;
  }
  if (!sep) {
    rbtree_insert(&m->items, &it->id, &it, &e);
    // a command that has two entries is named by its first
    if (!e && it->iid && !rbtree_find(&m->iids, &it->iid)) rbtree_insert(&m->iids, &it->iid, &it, &e);
    if (e) {
      // undo: the item was linked last
      if (rbtree_node* n = rbtree_find(&m->items, &it->id)) rbtree_remove(&m->items, n);
      --parent->nchildren;
      item_delete(it);
      set_err(err, e);
      return nullptr;
    }
  }
  ++m->nitems;
  set_err(err, 0);
  return it;
}

menu_item* menu_find(const menu* m, const char* id) {
  if (!m || !id || !m->items.keysize) return nullptr;
  const rbtree_node* n = rbtree_find(&m->items, &id);
  return n ? *static_cast<menu_item**>(rbtree_val(&m->items, n)) : nullptr;
}

const char* menu_iid_id(const menu* m, int iid, int* err) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`menu' is NUL.");
    set_err(err, kParam);
    return nullptr;
  }
  const rbtree_node* n = m->iids.keysize ? rbtree_find(&m->iids, &iid) : nullptr;
  if (!n) {
    ERR_LOG(ERR_ERR, kNotFound, "No `iid' [%d] - menu[%p]: `%s'.", iid, (const void*)m, mox_nul(m->name));
    set_err(err, kNotFound);
    return nullptr;
  }
  set_err(err, 0);
  return (*static_cast<menu_item**>(rbtree_val(&m->iids, n)))->id;
}

int menu_set_text(menu* m, menu_item* item, const char* text) {
  if (!m || !item) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, item: %p.", (void*)m, (void*)item);
    return kParam;
  }
  int e = 0;
  char* t = text ? dup(text, &e) : nullptr;
  if (e) return e;
  free(item->text);
  item->text = t;
  return 0;
}

int menu_radiogrp_add(menu* m, const char* name, int* grp) {
  if (!m || is_empty(name) || !grp) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, name: `%s', grp: %p.", (void*)m, mox_nul(name), (void*)grp);
    return kParam;
  }
  for (unsigned i = 0; i < m->ngrps; ++i) {
    if (strcmp(m->grps[i].name, name) == 0) {
      *grp = (int)i;
      return 0;
    }
  }
  if (m->ngrps == m->grpcap) {
    unsigned cap = m->grpcap ? m->grpcap * 2 : 4;
    auto* g = static_cast<menu_radiogrp*>(realloc(m->grps, cap * sizeof(menu_radiogrp)));
    if (!g) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(cap * sizeof(menu_radiogrp)));
      return kNoMem;
    }
    m->grps = g;
    m->grpcap = cap;
  }
  int e = 0;
  menu_radiogrp g{};
  g.name = dup(name, &e);
  if (e) return e;
  m->grps[m->ngrps] = g;
  *grp = (int)m->ngrps++;
  return 0;
}

int menu_radiogrp_add_item(menu* m, int grp, const char* id) {
  if (!m || grp < 0 || (unsigned)grp >= m->ngrps || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - menu: %p, grp: %d, id: `%s'.", (void*)m, grp, mox_nul(id));
    return kParam;
  }
  menu_item* it = menu_find(m, id);
  if (!it) {
    ERR_LOG(ERR_ERR, kNotFound, "Menu item [%s] not found - menu[%p]: `%s'.", id, (void*)m, m->name);
    return kNotFound;
  }
  menu_radiogrp& g = m->grps[grp];
  if (it->grp == grp) return 0;
  if (it->grp >= 0) {  // an item marks in one group only: it leaves the earlier one
    menu_radiogrp& old = m->grps[it->grp];
    for (unsigned i = 0; i < old.nitems; ++i) {
      if (old.items[i] == it) {
        memmove(old.items + i, old.items + i + 1, (old.nitems - i - 1) * sizeof(menu_item*));
        --old.nitems;
        break;
      }
    }
  }
  if (int e = push(g.items, g.nitems, g.capacity, it)) return e;
  it->grp = grp;
  return 0;
}

int menu_text_cvt(char* dest, unsigned size, const char* src) {
  if (!dest || !size || !src) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dest: %p, size: %u, src: %p.", (void*)dest, size, (const void*)src);
    if (dest && size) *dest = '\0';
    return kParam;
  }
  unsigned n = 0;
  for (const char* p = src; *p; ++p) {
    char c = *p;
    if (c == '\\') {
      if (!*++p) break;  // a lone backslash at the end stands for nothing
      c = *p;
    } else if (c == '_') {
      c = '&';
    }
    if (n + 1 >= size) {
      dest[n] = '\0';
      ERR_LOG(ERR_ERR, kCut, "`dest' is too small [%u] - src: `%.50s'.", size, src);
      return kCut;
    }
    dest[n++] = c;
  }
  dest[n] = '\0';
  return 0;
}
