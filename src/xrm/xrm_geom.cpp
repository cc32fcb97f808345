#include "xrm/xrm_geom.h"

#include <cstdlib>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNotFound = 9006;
constexpr int kMax = 9009;
constexpr int kUnexpected = 9012;

constexpr enum_item kTypeItems[] = {{GEOM_WND, "wnd"}, {GEOM_HLINE, "hline"}, {GEOM_VLINE, "vline"}};
constexpr enum_list kTypes = {3, kTypeItems};

constexpr const char* kLims[] = {"minW", "minH", "maxW", "maxH"};

inline bool failed(int e) { return e && e != kNotFound; }

struct Loader {
  db* d;
  const char* name;
  const char* cls;
  int qualify;
  geom* g;
  unsigned nids;
  const xrm_idmap* idmap;

  // "name.id" and "cls.id" for messages.
  struct Names {
    char iname[XRM_NAME_SIZE];
    char icls[XRM_NAME_SIZE];
  };
  Names names(const char* id) const {
    Names n;
    mox_snprintf(n.iname, sizeof n.iname, "%s.%s", name, id);
    mox_snprintf(n.icls, sizeof n.icls, "%s.%s", mox_nul(cls), id);
    return n;
  }

  int item(geom_item* parent, const char* id, unsigned depth) {
    if (depth >= XRM_TREE_DEPTH_MAX) {
      ERR_LOG(ERR_ERR, kMax, "Max geom depth [%u] exceeded - name: `%s', id: `%s'.", (unsigned)XRM_TREE_DEPTH_MAX,
              name, id);
      return kMax;
    }
    int type = 0;
    int e = xrm_tree_get(d, qualify, name, cls, id, "type", VAL_ENUM, &type, &kTypes);
    if (e == kNotFound)
      ERR_LOG(ERR_ERR, kNotFound, "Geom item type not found - iname: `%s', icls: `%s'.", names(id).iname,
              names(id).icls);
    if (e) return e;
    geom_item* it = geom_add(g, parent, id, type, &e);
    if (!it) {
      ERR_LOG(ERR_ERR, e, "Failed to insert geom item - name: `%s', cls: `%s', id: `%s'.", name, mox_nul(cls), id);
      return e;
    }
    if (type == GEOM_WND) {
      const xrm_idmap* m = xrm_idmap_find(nids, idmap, id);
      if (!m) {
        ERR_LOG(ERR_ERR, kNotFound, "Geom ctrlid not found - iname: `%s', icls: `%s', id: `%s'.", names(id).iname,
                names(id).icls, id);
        return kNotFound;
      }
      it->ctrlid = m->val;
    }
    if (failed(e = xrm_tree_get(d, qualify, name, cls, id, "growX", VAL_UINT, &it->growX))) return e;
    if (failed(e = xrm_tree_get(d, qualify, name, cls, id, "growY", VAL_UINT, &it->growY))) return e;
    char size[64];
    for (int w = GEOM_MINW; w <= GEOM_MAXH; ++w) {
      e = xrm_tree_get_str(d, qualify, name, cls, id, kLims[w], size, sizeof size);
      if (!e) e = geom_set_lim(it, w, size);
      if (failed(e)) return e;
    }
    if (type == GEOM_WND) return 0;
    xrm_tree_buf ids;
    if ((e = ids.check())) return e;
    e = xrm_tree_get_str(d, qualify, name, cls, id, "ids", ids.p, XRM_TREE_LIST_SIZE);
    if (e) return e == kNotFound ? 0 : e;
    return xrm_tree_each(ids.p, [&](const char* cid) { return item(it, cid, depth + 1); });
  }
};

}  // namespace

int xrm_geom_load(db* d, const char* name, const char* cls, int qualify, geom* g, unsigned nids,
                  const xrm_idmap* idmap) {
  if (!d || !name || !*name || !g || !g->name || !*g->name || (nids && !idmap)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: `%s', geom: %p, nids: %u, idmap: %p.", (void*)d,
            mox_nul(name), (void*)g, nids, (const void*)idmap);
    return kParam;
  }
  if (geom_count(g)) {
    ERR_LOG(ERR_ERR, kUnexpected, "Already loaded - geom[%p]: `%s', name: `%s', cls: `%s', nnodes: %u.", (void*)g,
            g->name, name, mox_nul(cls), geom_count(g));
    return kUnexpected;
  }
  xrm_tree_lock lock(d);
  if (lock.code()) return lock.code();
  Loader ld{d, name, cls, qualify, g, nids, idmap};
  int e = ld.item(nullptr, g->name, 0);
  if (e) {
    // nothing half-built stays: the next load starts afresh
    char* gname = g->name;
    g->name = nullptr;
    geom_init(g, gname);
    free(gname);
  }
  return e;
}
