#include "xrm/xrm_tree.h"

#include <cctype>
#include <cstring>

#include "c/str.h"
#include "err/err.h"

int xrm_tree_buf::check() const {
  if (p) return 0;
  ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)XRM_TREE_LIST_SIZE);
  return 9004;
}

int xrm_tree_query::make(const char* iname, const char* icls, const char* a, const char* b) {
  int e = b ? mox_snprintf(name, sizeof name, "%s.%s.%s", mox_nul(iname), a, b)
            : mox_snprintf(name, sizeof name, "%s.%s", mox_nul(iname), a);
  *cls = '\0';
  if (!e && icls && *icls) {
    const char* last = b ? b : a;
    char cap[XRM_NAME_SIZE];
    mox_strcpy(cap, sizeof cap, last, &e);
    if (!e) {
      cap[0] = (char)toupper((unsigned char)cap[0]);
      e = b ? mox_snprintf(cls, sizeof cls, "%s.%s.%s", icls, a, cap) : mox_snprintf(cls, sizeof cls, "%s.%s", icls, cap);
    }
  }
  if (e) {
    ERR_LOG(ERR_ERR, e, "mox_snprintf() failed - size: %u.", (unsigned)sizeof name);
    *name = *cls = '\0';
  }
  return e;
}

int xrm_tree_get_str(db* d, int qualify, const char* name, const char* cls, const char* a, const char* b, char* buf,
                     unsigned bufsize) {
  xrm_tree_query q;
  if (int e = q.make(name, cls, a, b)) return e;
  return xrm_get_str(d, q.name, q.clsp(), qualify, buf, bufsize);
}

int xrm_tree_get(db* d, int qualify, const char* name, const char* cls, const char* a, const char* b,
                 unsigned valtype, void* val, const enum_list* enums) {
  xrm_tree_query q;
  if (int e = q.make(name, cls, a, b)) return e;
  return xrm_get(d, q.name, q.clsp(), qualify, valtype, val, nullptr, nullptr, enums);
}

const xrm_idmap* xrm_idmap_find(unsigned nids, const xrm_idmap* idmap, const char* id) {
  for (unsigned i = 0; idmap && i < nids; ++i)
    if (idmap[i].id && strcmp(idmap[i].id, id) == 0) return &idmap[i];
  return nullptr;
}
