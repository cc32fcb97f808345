#include "fm/fcmdlist.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"
#include "xrm/xrm.h"

#if defined(_WIN32)
#define fcmd_strcasecmp _stricmp
#else
#include <strings.h>
#define fcmd_strcasecmp strcasecmp
#endif

namespace {

constexpr int kParam = 9003;

bool null_list(const fcmdlist* l) {
  if (l) return false;
  ERR_LOG(ERR_ERR, kParam, "`fcmdlist' is NUL.");
  return true;
}

}  // namespace

int fcmdlist_init(fcmdlist* l, int ignorecase) {
  if (null_list(l)) return kParam;
  memset(l, 0, sizeof *l);
  l->ignorecase = ignorecase;
  return 0;
}

int fcmdlist_free(fcmdlist* l) {
  if (null_list(l)) return kParam;
  for (unsigned i = 0; i < l->n; ++i) free(l->cmds[i]);
  free(l->cmds);
  return fcmdlist_init(l, l->ignorecase);
}

int fcmdlist_add(fcmdlist* l, const char* cmd) {
  if (null_list(l)) return kParam;
  std::string t(cmd ? cmd : "");
  const size_t b = t.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return 0;
  t = t.substr(b, t.find_last_not_of(" \t\r\n") - b + 1);
  if (t.size() >= FCMDLIST_CMDSIZE) t.resize(FCMDLIST_CMDSIZE - 1);

  unsigned at = l->n;
  for (unsigned i = 0; i < l->n; ++i)
    if ((l->ignorecase ? fcmd_strcasecmp(l->cmds[i], t.c_str()) : strcmp(l->cmds[i], t.c_str())) == 0) at = i;
  char* s = strdup(t.c_str());
  if (!s) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)t.size());
    return 9004;
  }
  if (at == l->n) {
    if (l->n == l->cap) {
      const unsigned cap = l->cap ? l->cap * 2 : 16;
      char** p = static_cast<char**>(realloc(l->cmds, cap * sizeof(char*)));
      if (!p) {
        free(s);
        ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(cap * sizeof(char*)));
        return 9004;
      }
      l->cmds = p;
      l->cap = cap;
    }
    ++l->n;
  } else {
    free(l->cmds[at]);  // the latest spelling wins
  }
  memmove(l->cmds + 1, l->cmds, at * sizeof *l->cmds);
  l->cmds[0] = s;
  return 0;
}

const char* fcmdlist_get(const fcmdlist* l, unsigned i) {
  return l && i < l->n ? l->cmds[i] : nullptr;
}

int fcmdlist_load(fcmdlist* l, db* d, const char* name, const char* nname, unsigned max) {
  if (null_list(l)) return kParam;
  if (!d || !name || !nname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: %s, nname: %s.", (void*)d, name ? name : "NUL",
            nname ? nname : "NUL");
    return kParam;
  }
  unsigned n = 0;
  int rc = xrm_get(d, nname, nullptr, 1, VAL_UINT, &n, nullptr, nullptr, nullptr);
  if (rc == 9006) return 0;
  if (rc) return rc;
  if (max && n > max) n = max;
  std::vector<char> cmd(FCMDLIST_CMDSIZE);
  for (unsigned i = n; i-- > 0;) {  // each to the front: the saved order comes back
    char res[256];
    mox_snprintf(res, sizeof res, "%s.%u", name, i);
    rc = xrm_get_str(d, res, nullptr, 1, cmd.data(), (unsigned)cmd.size());
    if (rc == 9006) continue;
    if (rc) {
      ERR_LOG(ERR_WARN, rc, "Bad value of `%s' ignored.", res);
      continue;
    }
    if ((rc = fcmdlist_add(l, cmd.data()))) return rc;
  }
  return 0;
}

int fcmdlist_save(const fcmdlist* l, db* d, const char* name, const char* nname, unsigned max) {
  if (null_list(l)) return kParam;
  if (!d || !name || !nname) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - db: %p, name: %s, nname: %s.", (void*)d, name ? name : "NUL",
            nname ? nname : "NUL");
    return kParam;
  }
  unsigned i = 0;
  for (; i < l->n && (!max || i < max); ++i) {
    char res[256];
    mox_snprintf(res, sizeof res, "%s.%u", name, i);
    const int rc = xrm_put(d, res, 1, l->cmds[i]);
    if (rc) return rc;
  }
  char num[16];
  mox_snprintf(num, sizeof num, "%u", i);
  return xrm_put(d, nname, 1, num);
}
