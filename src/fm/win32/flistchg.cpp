#include "fm/win32/flistchg.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "c/osu.h"
#include "c/str.h"
#include "ds/list.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "ntf/ntf.h"

namespace {

constexpr unsigned kPath = 4096;

int post(ntf* hub, int id, frec* r, void* ref) { return hub ? ntf_post(hub, id, r, ref) : 0; }

int full_path(const frec* r, char* buf) {
  int rc = mox_snprintf(buf, kPath, "%s%s", r->rdir, r->name);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kPath);
  return rc;
}

// 1 gone, 0 there (or not known to be gone), else a code.
int gone(const frec* r, int* result) {
  char path[kPath];
  int rc = full_path(r, path);
  if (rc) return rc;
  *result = 0;
  if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    DWORD e = GetLastError();
    *result = e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND;
  }
  return 0;
}

int check(frec* r, unsigned flag, int id, ntf* hub, void* ref) {
  if (!r || !r->pnode) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - frec: %p.", (void*)r);
    return 9003;
  }
  // the records that hang on the node: one, since a path is listed once
  frec* on = r->pnode->rec ? r->pnode->rec : r;
  if (on->flags & flag) return 0;
  int isgone = 0, rc = gone(on, &isgone);
  if (rc || !isgone) return rc;
  on->flags = (on->flags & ~FREC_HANDED) | flag;
  return post(hub, id, on, ref);
}

}  // namespace

int flist_refresh_attr(frec* r, ntf* hub, void* ref) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`frec' is NUL.");
    return 9003;
  }
  if (!(r->flags & FREC_REFRESHED)) {
    char path[kPath];
    int rc = full_path(r, path);
    if (rc) return rc;
    DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) {
      int code = (int)GetLastError();
      char msg[1024], text[1100];
      mox_sys_errmsg(code, msg, sizeof msg);
      mox_snprintf(text, sizeof text, "%s Get attr.", msg);
      char* copy = mox_strndup(text, (unsigned)std::strlen(text));
      if (!copy) {
        ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)std::strlen(text));
        return 9004;
      }
      std::free(r->errtext);
      r->errtext = copy;
      r->errcode = code;
    } else {
      r->attr = a;
    }
  }
  r->flags |= FREC_REFRESHED;
  return post(hub, NTF_FREC_CHANGED, r, ref);
}

int flist_mark_refreshed(frec* r, ntf* hub, void* ref) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`frec' is NUL.");
    return 9003;
  }
  r->flags |= FREC_REFRESHED;
  return post(hub, NTF_FREC_REFRESHED, r, ref);
}

int flist_mark_handed(const list* recs, ntf* hub, void* ref) {
  if (!recs) {
    ERR_LOG(ERR_ERR, 9003, "`list' is NUL.");
    return 9003;
  }
  int rc = 0;
  for (list_node* n = list_first(recs); n; n = list_next(n)) {
    frec* r = static_cast<frec*>(list_v_ptr(n));
    if (!r || (r->flags & (FREC_MOVED | FREC_DELETED))) continue;
    r->flags |= FREC_HANDED;
    int e = post(hub, NTF_FREC_MOVING, r, ref);
    if (e && !rc) rc = e;
  }
  return rc;
}

int flist_check_moved(frec* r, ntf* hub, void* ref) { return check(r, FREC_MOVED, NTF_FREC_MOVED, hub, ref); }
int flist_check_deleted(frec* r, ntf* hub, void* ref) { return check(r, FREC_DELETED, NTF_FREC_DELETED, hub, ref); }

int flist_check_handed(flist* fl, ntf* hub, void* ref) {
  if (!fl) {
    ERR_LOG(ERR_ERR, 9003, "`flist' is NUL.");
    return 9003;
  }
  int rc = 0;
  unsigned n = flist_count(fl);
  for (unsigned i = 0; i < n; ++i) {
    frec* r = flist_get_found(fl, i);
    if (!(r->flags & FREC_HANDED)) continue;
    int e = flist_check_moved(r, hub, ref);
    if (e && !rc) rc = e;
  }
  return rc;
}
