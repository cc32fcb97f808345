#include "xrm/xrm_cmd.h"

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"
#include "xrm/xrm_tree.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNotFound = 9006;

// 0 or 9006 mean the attribute may be used or left at its default.
inline bool failed(int e) { return e && e != kNotFound; }

}  // namespace

int xrm_cmd_load(db* d, const char* name, const char* cls, int qualify, cmdlist* l) {
  if (!d || !name || !*name || !l) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: `%s', cmdlist: %p.", (void*)d, mox_nul(name), (void*)l);
    return kParam;
  }
  xrm_tree_lock lock(d);
  if (lock.code()) return lock.code();
  xrm_tree_buf ids, cmdname, params;
  int e = ids.check();
  if (!e) e = cmdname.check();
  if (!e) e = params.check();
  if (!e) e = xrm_tree_get_str(d, qualify, name, cls, "ids", nullptr, ids.p, XRM_TREE_LIST_SIZE);
  if (e == kNotFound) return 0;  // no commands
  if (e) return e;
  return xrm_tree_each(ids.p, [&](const char* id) {
    int ge = xrm_tree_get_str(d, qualify, name, cls, id, "cmdname", cmdname.p, XRM_TREE_LIST_SIZE);
    if (failed(ge)) return ge;
    const char* def = ge ? nullptr : cmdname.p;
    ge = xrm_tree_get_str(d, qualify, name, cls, id, "params", params.p, XRM_TREE_LIST_SIZE);
    if (failed(ge)) return ge;
    const char* par = ge ? nullptr : params.p;
    int ncmdMax = 0;
    ge = xrm_tree_get(d, qualify, name, cls, id, "ncmdMax", VAL_INT, &ncmdMax);
    if (failed(ge)) return ge;
    // a refused definition is logged by the list and leaves that command out
    cmdlist_add(l, id, def, par, ncmdMax);
    return 0;
  });
}
