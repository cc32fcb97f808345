#include "xrm/xrm_menu.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"
#include "txr/txr.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNotFound = 9006;
constexpr int kMax = 9009;
constexpr int kUnexpected = 9012;

inline bool failed(int e) { return e && e != kNotFound; }

struct Loader {
  db* d;
  const char* name;
  const char* cls;
  int qualify;
  const char* txrctx;
  const txr* tx;
  menu* m;
  unsigned nids;
  const xrm_idmap* idmap;

  int add(menu_item* parent, const char* id, unsigned depth) {
    const xrm_idmap* mp = xrm_idmap_find(nids, idmap, id);
    const char* text = tx ? txr_get(tx, txrctx, id) : nullptr;
    int e = 0;
    menu_item* it = menu_add(m, parent, id, mp ? mp->val : 0, text, 1, &e);
    if (!it) {
      ERR_LOG(ERR_ERR, e, "Failed to add menu item [%s] - name: `%s', cls: `%s'.", id, name, mox_nul(cls));
      return e;
    }
    if (it->kind == MENU_SEP) return 0;
    char buf[MENU_TEXT_SIZE * 4];
    e = xrm_tree_get_str(d, qualify, name, cls, id, "name", buf, sizeof buf);
    if (!e) e = menu_set_text(m, it, buf);
    if (failed(e)) return e;
    int enabled = 1;
    e = xrm_tree_get(d, qualify, name, cls, id, "enabled", VAL_BOOL, &enabled);
    if (failed(e)) return e;
    it->enabled = enabled != 0;
    return items(it, id, depth + 1);
  }

  // The items listed by id.ids under parent (nullptr: the top).
  int items(menu_item* parent, const char* id, unsigned depth) {
    if (depth >= XRM_TREE_DEPTH_MAX) {
      ERR_LOG(ERR_ERR, kMax, "Max menu depth [%u] exceeded - name: `%s', id: `%s'.", (unsigned)XRM_TREE_DEPTH_MAX,
              name, id);
      return kMax;
    }
    xrm_tree_buf ids;
    int e = ids.check();
    if (!e) e = xrm_tree_get_str(d, qualify, name, cls, id, "ids", ids.p, XRM_TREE_LIST_SIZE);
    if (e) return e == kNotFound ? 0 : e;
    return xrm_tree_each(ids.p, [&](const char* cid) { return add(parent, cid, depth); });
  }

  int radiogrps() {
    xrm_tree_buf grps, ids;
    int e = grps.check();
    if (!e) e = ids.check();
    if (!e) e = xrm_tree_get_str(d, qualify, name, cls, "radiogrps", nullptr, grps.p, XRM_TREE_LIST_SIZE);
    if (e) return e == kNotFound ? 0 : e;
    return xrm_tree_each(grps.p, [&](const char* gname) {
      int ge = xrm_tree_get_str(d, qualify, name, cls, "radiogrp", gname, ids.p, XRM_TREE_LIST_SIZE);
      if (ge == kNotFound) {
        ERR_LOG(ERR_WARN, kNotFound, "Menu radiogrp [%s] not found - name: `%s', cls: `%s'.", gname, name,
                mox_nul(cls));
        return 0;
      }
      if (ge) return ge;
      int g = -1;
      if ((ge = menu_radiogrp_add(m, gname, &g))) return ge;
      return xrm_tree_each(ids.p, [&](const char* id) { return menu_radiogrp_add_item(m, g, id); });
    });
  }
};

}  // namespace

int xrm_menu_load(db* d, const char* name, const char* cls, int qualify, const char* txrctx, menu* m, unsigned nids,
                  const xrm_idmap* idmap) {
  if (!d || !d->owner || !name || !*name || !m || !m->name || !*m->name || (nids && !idmap)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: `%s', menu: %p, nids: %u, idmap: %p.", (void*)d,
            mox_nul(name), (void*)m, nids, (const void*)idmap);
    return kParam;
  }
  if (m->nitems) {
    ERR_LOG(ERR_ERR, kUnexpected, "Menu [%p][%s] already loaded - name: `%s', cls: `%s', nnodes: %u.", (void*)m,
            m->name, name, mox_nul(cls), m->nitems);
    return kUnexpected;
  }
  xrm_tree_lock lock(d);
  if (lock.code()) return lock.code();
  Loader ld{d, name, cls, qualify, txrctx, static_cast<const txr*>(d->owner->w1), m, nids, idmap};
  int e = ld.items(nullptr, m->name, 0);
  if (!e) e = ld.radiogrps();
  if (e) {
    char* mname = m->name;
    m->name = nullptr;
    menu_init(m, mname);
    free(mname);
  }
  return e;
}
