// The loaders of layouts, menus and command lists over a database filled from the input as
// resource text. Layout "top" (resource name g), menu "m" (resource name m) and command list
// c are loaded; an accepted layout is measured from made-up rectangles, computed and
// resized; a refused one or menu must be left empty.
#include <algorithm>

#include "cmd/cmd.h"
#include "fuzz_util.h"
#include "txr/txr.h"
#include "ui/geom.h"
#include "ui/menu.h"
#include "xrm/xrm_cmd.h"
#include "xrm/xrm_geom.h"
#include "xrm/xrm_load.h"
#include "xrm/xrm_menu.h"

namespace {

constexpr xrm_idmap kMap[] = {{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"top", 5}, {"fopen", 40028}, {"exit", 40031}};
constexpr unsigned kNMap = sizeof kMap / sizeof kMap[0];

xrm* manager() {
  static xrm x{};
  static txr tx{};
  static bool done = false;
  if (!done) {
    done = true;
    FUZZ_CHECK(txr_init(&tx, "en") == 0);
    FUZZ_CHECK(txr_set(&tx, "fopen", "m.name", "en", "_Open", 0) == 0);
    FUZZ_CHECK(xrm_init(&x, "quarnw", "moxware", "u", &tx, nullptr) == 0);
  }
  return &x;
}

void check_geom(geom* g, uint8_t seed) {
  int i = 0;
  for (rbtree_node* n = rbtree_first(&g->items); n; n = rbtree_next(n), ++i) {
    geom_item* it = *static_cast<geom_item**>(rbtree_val(&g->items, n));
    FUZZ_CHECK(it->type != GEOM_WND || it->ctrlid != 0);
    // the template: controls in a diagonal, limits in pixels (units resolve on Windows)
    it->rect = {10 + 30 * i, 5 + 20 * i, 20 + (seed + i) % 50, 10 + (seed * i) % 30};
    for (int w = GEOM_MINW; w <= GEOM_MAXH; ++w) {
      unsigned* f[] = {&it->minW, &it->minH, &it->maxW, &it->maxH};
      if (it->lim[w].unit && it->lim[w].unit != 'P') *f[w] = (unsigned)std::min<unsigned long long>(it->lim[w].n * 7ull, 0x7FFFFFFF);
    }
  }
  FUZZ_CHECK(geom_set_dlg(g, 400, 300, 416, 339) == 0);
  FUZZ_CHECK(geom_compute(g) == 0);
  for (int w : {-1, 0, 1, 401, 100000, 7}) {
    FUZZ_CHECK(geom_resize(g, w, 300 - w) == 0);
    for (rbtree_node* n = rbtree_first(&g->items); n; n = rbtree_next(n)) {
      const geom_item* it = *static_cast<geom_item**>(rbtree_val(&g->items, n));
      const bool has_min = it->minW != GEOM_UNSET, has_max = it->maxW != GEOM_UNSET;
      const bool sane = !has_min || !has_max || it->minW <= it->maxW;
      if (has_min && sane) FUZZ_CHECK(it->nrect.w >= (long long)std::min<unsigned>(it->minW, 0x7FFFFFFF));
      if (has_max && sane) FUZZ_CHECK(it->nrect.w <= (long long)it->maxW);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::setup();
  uint8_t seed = fuzz::head(data, size);
  xrm* x = manager();
  db* d = xrm_db_new(x);
  FUZZ_CHECK(d != nullptr);
  xrml l;
  xrml_init(&l);
  xrml_load_data(&l, d, data, (unsigned)size);  // what the loader kept stays, errors or not
  xrml_free(&l);

  geom g{};
  FUZZ_CHECK(geom_init(&g, "top") == 0);
  if (xrm_geom_load(d, "g", seed & 1 ? "G" : nullptr, seed & 2, &g, kNMap, kMap) == 0) {
    if (g.root) check_geom(&g, seed);
  } else {
    FUZZ_CHECK(geom_count(&g) == 0 && g.root == nullptr);
  }
  geom_free(&g);

  menu m{};
  FUZZ_CHECK(menu_init(&m, "m") == 0);
  if (xrm_menu_load(d, "m", seed & 1 ? "M" : nullptr, seed & 2, "m.name", &m, kNMap, kMap) == 0) {
    for (unsigned gi = 0; gi < m.ngrps; ++gi)
      for (unsigned i = 0; i < m.grps[gi].nitems; ++i) FUZZ_CHECK(menu_find(&m, m.grps[gi].items[i]->id));
    char buf[MENU_TEXT_SIZE];
    for (rbtree_node* n = rbtree_first(&m.items); n; n = rbtree_next(n)) {
      const menu_item* it = *static_cast<menu_item**>(rbtree_val(&m.items, n));
      int e = menu_text_cvt(buf, sizeof buf, it->text ? it->text : it->id);
      FUZZ_CHECK((e == 0 || e == 9005) && fuzz::terminated(buf, sizeof buf));
    }
  } else {
    FUZZ_CHECK(m.nitems == 0 && m.ngrps == 0);
  }
  menu_free(&m);

  cmdlist c{};
  FUZZ_CHECK(cmdlist_init(&c) == 0);
  xrm_cmd_load(d, "c", seed & 1 ? "C" : nullptr, seed & 2, &c);
  for (unsigned i = 0; i < c.ncmds; ++i) FUZZ_CHECK(cmdlist_find(&c, c.cmds[i]->id) == c.cmds[i]);
  cmdlist_free(&c);
  xrm_db_free(d);
  return 0;
}
