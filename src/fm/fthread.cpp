#include "fm/fthread.h"

#include <process.h>
#include <windows.h>

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "c/osu.h"
#include "c/path.h"
#include "c/str.h"
#include "err/err.h"
#include "fm/flist.h"
#include "fm/win32/ftsys.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"
#include "quarnw/progr.h"
#include "txr/txr.h"

namespace {

constexpr unsigned kTextSize = 3 * FT_PATH_SIZE + 1024;
constexpr unsigned kRO = FILE_ATTRIBUTE_READONLY;
constexpr unsigned kDir = FILE_ATTRIBUTE_DIRECTORY;
constexpr int kDirNotEmpty = 145;
constexpr int kTooLong = 206;
constexpr int kExists = 183;

// Scratch of one run.
struct ftwork {
  char src[FT_PATH_SIZE];
  char dst[FT_PATH_SIZE];
  char tail[kTextSize];
  char msg[kTextSize];
};

const char* text(const ft* r, const char* ctx, const char* id) { return r->tx ? txr_get(r->tx, ctx, id) : id; }

// Records code with the system's message for it, followed by the formatted tail.
int fail(ft* r, ftwork* w, int code, const char* fmt, ...) ERR_PRINTF_LIKE(4, 5);
int fail(ft* r, ftwork* w, int code, const char* fmt, ...) {
  char sys[1024];
  mox_sys_errmsg(code, sys, sizeof sys);
  va_list ap;
  va_start(ap, fmt);
  mox_vsnprintf(w->tail, sizeof w->tail, fmt, ap);
  va_end(ap);
  mox_snprintf(w->msg, sizeof w->msg, w->tail[0] ? "%s %s" : "%s", sys, w->tail);
  ERR_LOG(ERR_ERR, code, "%s", w->msg);
  ft_set_err(r, code, w->msg);
  return code;
}

bool cancelled(const ft* r) { return r->pr && r->pr->cancel; }

int aborted(ft* r) {
  ft_set_err(r, 9017, text(r, "fthread.foerr", "Aborted."));
  return 9017;
}

void progress(ft* r, const char* id, const frec* rec) {
  if (!r->pr) return;
  char t[PROGR_TEXT_SIZE];
  mox_snprintf(t, sizeof t, text(r, "fthread", id), rec->name, rec->rdir);
  if (progr_lock(r->pr)) return;
  progr_set_text(r->pr, t);
  progr_unlock(r->pr);
  ntf_post(r->hub, NTF_PROGRESS, r->pr, r->ref);
}

int stop_for(ft* r, ft_need need, const char* path) {
  r->need = need;
  free(r->target);
  r->target = strdup(path);
  return 0;
}

// Clears the read-only attribute of an existing destination; *attr gets what it had
// (0 when it does not exist).
int prepare_dst(ft* r, ftwork* w, const char* dst, unsigned* attr) {
  unsigned a = 0;
  *attr = 0;
  int rc = ftsys_attr(dst, &a);
  if (ftsys_absent(rc)) return 0;
  if (rc) return fail(r, w, rc, "Get attr. `%s'.", dst);
  *attr = a;
  if (!(a & kRO)) return 0;
  rc = ftsys_set_attr(dst, a & ~kRO);
  return rc ? fail(r, w, rc, "Reset RO attr. `%s'.", dst) : 0;
}

int copy_one(ft* r, ftwork* w, const char* src, const char* dst) {
  unsigned a = 0;
  if (int rc = prepare_dst(r, w, dst, &a)) return rc;
  if (int rc = ftsys_copy(src, dst)) {
    if (a & kRO) ftsys_set_attr(dst, a);  // the file is as it was
    return fail(r, w, rc, "Copy `%s' to `%s'.", src, dst);
  }
  return 0;
}

int move_one(ft* r, ftwork* w, const char* src, const char* dst) {
  unsigned a = 0;
  if (int rc = prepare_dst(r, w, dst, &a)) return rc;
  if (int rc = ftsys_move(src, dst)) {
    if (a & kRO) ftsys_set_attr(dst, a);
    return fail(r, w, rc, "Move `%s' to `%s'.", src, dst);
  }
  return 0;
}

// Across volumes a file is first copied whole; only then is its source deleted.
int move_across(ft* r, ftwork* w, const char* src, const char* dst) {
  if (int rc = copy_one(r, w, src, dst)) return rc;
  unsigned a = 0;
  int rc = ftsys_attr(src, &a);
  if (!rc && (a & kRO) && (rc = ftsys_set_attr(src, a & ~kRO))) return fail(r, w, rc, "Reset RO attr. `%s'.", src);
  if (rc && !ftsys_absent(rc)) return fail(r, w, rc, "Get attr. `%s'.", src);
  rc = ftsys_delete(src);
  return rc && !ftsys_absent(rc) ? fail(r, w, rc, "Delete `%s'.", src) : 0;
}

int rec_fail(ft* r, int rc) {
  r->recfail = 1;
  return rc;
}

void count_done(ft* r) {
  if (r->done) ++*r->done;
}

int run_attrib(ft* r, ftwork* w) {
  unsigned cur = 0;
  if (int rc = ftsys_attr(r->path, &cur)) return fail(r, w, rc, "Get attr.");
  const unsigned next = (r->set & r->mask) | (cur & ~r->mask);
  if (next != cur) {
    if (int rc = ftsys_set_attr(r->path, next)) return fail(r, w, rc, "%s", "");
  }
  count_done(r);
  return 0;
}

int run_del(ft* r, ftwork* w) {
  unsigned a = 0;
  if (int rc = ftsys_attr(r->path, &a)) return fail(r, w, rc, "Get attr. `%s'.", r->path);
  if (a & kRO) {
    if (int rc = ftsys_set_attr(r->path, a & ~kRO)) return fail(r, w, rc, "Reset RO attr. `%s'.", r->path);
  }
  if (int rc = ftsys_delete(r->path)) return fail(r, w, rc, "Delete `%s'.", r->path);
  count_done(r);
  return 0;
}

int no_list(ft* r) {
  ERR_LOG(ERR_ERR, 9012, "Unexpected - flist: %p, flist_i: %p.", static_cast<void*>(r->fl), static_cast<void*>(r->pos));
  ft_set_err(r, 9012, "No `flist'.");
  return 9012;
}

int src_path(ft* r, ftwork* w, const frec* rec) {
  if (!mox_snprintf(w->src, sizeof w->src, "%s%s", rec->rdir, rec->name)) return 0;
  return fail(r, w, kTooLong, "`%s'.", w->src);
}

enum step { STEP_DONE, STEP_SKIP, STEP_ASK, STEP_FAIL };

// One record of a list copy or move; *rc receives a failure's code.
step copy_rec(ft* r, ftwork* w, const frec* rec, bool move, bool same, int confirmed, int* rc) {
  const char* what = move ? "Move `%s' to `%s'." : "Copy `%s' to `%s'.";
  if ((*rc = src_path(r, w, rec))) return STEP_FAIL;
  *rc = ft_rel_dest(r->path, rec->dir, rec->name, r->to, w->dst, sizeof w->dst);
  if (*rc == 9012) {
    mox_snprintf(w->msg, sizeof w->msg, "Unexpected len - path[%u]: `%s', dir[%u]: `%s'.", (unsigned)strlen(r->path),
                 r->path, (unsigned)strlen(rec->dir), rec->dir);
    ft_set_err(r, *rc, w->msg);
    return STEP_FAIL;
  }
  if (*rc) {
    fail(r, w, *rc, what, w->src, w->dst);
    return STEP_FAIL;
  }
  progress(r, move ? "Move: %s (%s)" : "Copy: %s (%s)", rec);
  unsigned a = 0;
  int e = ftsys_attr(w->dst, &a);
  const bool exists = e == 0;
  if (e && !ftsys_absent(e)) {
    *rc = fail(r, w, e, "Get attr. `%s'.", w->dst);
    return STEP_FAIL;
  }
  if (frec_isdir(rec)) {
    if (exists && !(a & kDir)) e = fail(r, w, kExists, "Create dir `%s'.", w->dst);
    else if (!exists && (e = ftsys_mkdir(w->dst))) fail(r, w, e, "Create dir `%s'.", w->dst);
    *rc = e;
    return e ? STEP_FAIL : STEP_DONE;
  }
  if (exists && (a & kDir)) {
    *rc = fail(r, w, kExists, what, w->src, w->dst);
    return STEP_FAIL;
  }
  switch (ft_copy_act(r->flags, confirmed, exists, (a & kRO) != 0)) {
    case FT_ACT_ASK: stop_for(r, a & kRO ? FT_NEED_OVERWRITE_RO : FT_NEED_OVERWRITE, w->dst); return STEP_ASK;
    case FT_ACT_SKIP: return STEP_SKIP;
    case FT_ACT_DO: break;
  }
  *rc = !move ? copy_one(r, w, w->src, w->dst) : same ? move_one(r, w, w->src, w->dst) : move_across(r, w, w->src, w->dst);
  return *rc ? STEP_FAIL : STEP_DONE;
}

// Copy, or move when move is set, of the records in the order of finding from *pos.
int run_copy_list(ft* r, ftwork* w, bool move) {
  if (!r->fl || !r->pos) return no_list(r);
  const unsigned n = flist_count(r->fl);
  const unsigned start = *r->pos;
  unsigned a = 0;
  int rc = ftsys_attr(r->to, &a);
  const bool to_exists = rc == 0;
  if (rc && !ftsys_absent(rc)) return fail(r, w, rc, "Get attr. `%s'.", r->to);
  if (to_exists && !(a & kDir)) return fail(r, w, kExists, "Create dir `%s'.", r->to);
  const bool same = mox_same_root(r->path, r->to) != 0;
  // a fresh destination on the same volume: the whole tree in one step
  if (move && same && !to_exists && start == 0 && !cancelled(r)) {
    if ((rc = move_one(r, w, r->path, r->to))) return rc;
    *r->pos = n;
    if (r->done) *r->done = n;
    return 0;
  }
  if (!to_exists && (rc = ftsys_mkdir(r->to))) return fail(r, w, rc, "Create dir `%s'.", r->to);
  while (*r->pos < n) {
    if (cancelled(r)) return aborted(r);
    const frec* rec = flist_get_found(r->fl, *r->pos);
    const int confirmed = *r->pos == start && (r->flags & FT_CONFIRMED);
    switch (copy_rec(r, w, rec, move, same, confirmed, &rc)) {
      case STEP_DONE: count_done(r); break;
      case STEP_SKIP: ++r->skipped; break;
      case STEP_ASK: return 0;
      case STEP_FAIL: r->recfail = 1; return rc;
    }
    ++*r->pos;
  }
  if (!move) return 0;
  // the sources' directories, deepest first; what a skip or a failure left stays
  for (unsigned i = n; i-- > 0;) {
    const frec* rec = flist_get_found(r->fl, i);
    if (!frec_isdir(rec)) continue;
    if ((rc = src_path(r, w, rec))) return rc;
    rc = ftsys_rmdir(w->src);
    if (rc && rc != kDirNotEmpty && !ftsys_absent(rc)) return fail(r, w, rc, "Remove dir `%s'.", w->src);
  }
  rc = ftsys_rmdir(r->path);
  if (rc && rc != kDirNotEmpty && !ftsys_absent(rc)) return fail(r, w, rc, "Remove dir `%s'.", r->path);
  return 0;
}

// Delete of the records in display order from *pos.
int run_del_list(ft* r, ftwork* w) {
  if (!r->fl || !r->pos) return no_list(r);
  const unsigned n = flist_count(r->fl);
  const unsigned start = *r->pos;
  while (*r->pos < n) {
    if (cancelled(r)) return aborted(r);
    const frec* rec = flist_get(r->fl, *r->pos);
    int rc = src_path(r, w, rec);
    if (rc) return rec_fail(r, rc);
    progress(r, "Delete: %s (%s)", rec);
    unsigned a = 0;
    rc = ftsys_attr(w->src, &a);
    if (ftsys_absent(rc)) {  // gone already: what was asked for holds
      count_done(r);
      ++*r->pos;
      continue;
    }
    if (rc) return rec_fail(r, fail(r, w, rc, "Get attr. `%s'.", w->src));
    const bool ro = (a & kRO) != 0;
    const int confirmed = *r->pos == start && (r->flags & FT_CONFIRMED);
    switch (ft_del_act(r->flags, confirmed, ro)) {
      case FT_ACT_ASK: return stop_for(r, ro ? FT_NEED_DEL_RO : FT_NEED_DEL, w->src);
      case FT_ACT_SKIP:
        ++r->skipped;
        ++*r->pos;
        continue;
      case FT_ACT_DO: break;
    }
    if (ro && (rc = ftsys_set_attr(w->src, a & ~kRO)))
      return rec_fail(r, fail(r, w, rc, "Reset RO attr. `%s'.", w->src));
    bool deleted = true;
    if (a & kDir) {
      rc = ftsys_rmdir(w->src);
      if (rc == kDirNotEmpty) {
        deleted = false;
        if (ro) ftsys_set_attr(w->src, a);  // it stays, as it was
      } else if (rc) {
        return rec_fail(r, fail(r, w, rc, "Remove dir `%s'.", w->src));
      }
    } else if ((rc = ftsys_delete(w->src)) && !ftsys_absent(rc)) {
      return rec_fail(r, fail(r, w, rc, "Delete `%s'.", w->src));
    }
    if (deleted) count_done(r);
    ++*r->pos;
  }
  return 0;
}

int run_recycle(ft* r) {
  int ab = 0;
  const int rc = ftsys_recycle(r->path, (r->flags & FT_SHELL_CFM) != 0, &ab);
  if (!rc && ab) {
    ft_set_err(r, 995, text(r, "fthread.foerr", "Aborted"));
    return 995;
  }
  if (!rc) {
    count_done(r);
    return 0;
  }
  char t[256];
  mox_snprintf(t, sizeof t, text(r, "fthread.foerr", ab ? "0x%X Aborted" : "0x%X"), (unsigned)rc);
  ERR_LOG(ERR_ERR, rc, "SHFileOperation() failed - path: `%s', rc: %#X.", r->path, (unsigned)rc);
  ft_set_err(r, rc, t);
  return rc;
}

int gather_cb(const qnd* d, int match, unsigned, void* usrdata) {
  ft* r = static_cast<ft*>(usrdata);
  if (!match) return 0;
  if (cancelled(r)) return NTF_STOPPED;
  switch (r->op) {
    case FT_OP_GATHER:
      // everything strictly below the path, and the listings that failed on the way
      return d->depth > 0 || d->errcode ? flist_add(r->fl, d) : 0;
    case FT_OP_FIND_RO:
      if (!(d->fd.dwFileAttributes & kRO)) return 0;
      if (int rc = flist_add(r->fl, d)) return rc;
      return NTF_STOPPED;
    default: return flist_add(r->fl, d);
  }
}

int run_gather(ft* r) {
  if (!r->fl) {
    ERR_LOG(ERR_ERR, 9012, "No `flist'.");
    ft_set_err(r, 9012, "No `flist'.");
    return 9012;
  }
  qn q;
  quarn_init(&q);
  q.cancel = r->pr ? &r->pr->cancel : nullptr;
  int rc = quarn_find(&q, r->path, nullptr, nullptr, nullptr, nullptr, gather_cb, 0, nullptr, r);
  quarn_free(&q);
  if (rc == NTF_STOPPED) rc = 0;
  if (!rc && r->op == FT_OP_GATHER_DEL) rc = flist_sort(r->fl, "rpath", FLIST_REVERSE, nullptr, 0, nullptr);
  if (rc && !r->errcode) {
    char sys[1024];
    ft_set_err(r, rc, mox_sys_errmsg(rc, sys, sizeof sys));
  }
  return rc;
}

void __cdecl thread_main(void* arg) {
  ft* r = static_cast<ft*>(arg);
  ft_run(r);
  // the receiver frees the request: without this post it would wait for ever
  for (int i = 0; i < 50; ++i) {
    const int rc = ntf_post(r->hub, NTF_THREAD_END, r, r->ref);
    if (!rc || rc != 9011) return;
    Sleep(100);
  }
}

bool empty(const char* s) { return !s || !*s; }

bool env_ok(const ftenv* env) {
  if (!env || !env->hub) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - env: %p, ntf: %p.", static_cast<const void*>(env),
            static_cast<void*>(env ? env->hub : nullptr));
    return false;
  }
  return true;
}

char* dup(const char* s, int* rc) {
  if (!s) return nullptr;
  char* d = strdup(s);
  if (!d) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)strlen(s));
    *rc = 9004;
  }
  return d;
}

// Allocates and fills the request, then runs it on a new thread.
int start(const ftenv* env, ft_op op, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
          unsigned* done, progr* pr, void* ref, unsigned set = 0, unsigned mask = 0) {
  ft* r = static_cast<ft*>(calloc(1, sizeof(ft)));
  if (!r) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(ft));
    return 9004;
  }
  int rc = 0;
  r->op = op;
  r->path = dup(path, &rc);
  r->to = dup(to, &rc);
  r->set = set;
  r->mask = mask;
  r->flags = flags;
  r->fl = fl;
  r->pos = pos;
  r->done = done;
  r->pr = pr;
  r->ref = ref;
  r->hub = env->hub;
  r->tx = env->tx;
  if (!rc && _beginthread(thread_main, 0, r) == static_cast<uintptr_t>(-1)) {
    rc = errno ? errno : 9001;
    ERR_LOG(ERR_ERR, rc, "_beginthread() failed.");
  }
  if (rc) ft_free(r);
  return rc;
}

}  // namespace

int ft_set_err(ft* r, int code, const char* text) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`ft' is NUL.");
    return 9003;
  }
  free(r->errtext);
  r->errtext = nullptr;
  r->errcode = code;
  if (text && !(r->errtext = strdup(text))) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)strlen(text));
    return 9004;
  }
  return 0;
}

int ft_free(ft* r) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`ft' is NUL.");
    return 9003;
  }
  free(r->path);
  free(r->to);
  free(r->errtext);
  free(r->target);
  free(r);
  return 0;
}

int ft_run(ft* r) {
  if (!r) {
    ERR_LOG(ERR_ERR, 9003, "`ft' is NUL.");
    return 9003;
  }
  ftwork* w = static_cast<ftwork*>(malloc(sizeof(ftwork)));
  if (!w) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(ftwork));
    ft_set_err(r, 9004, nullptr);
    return r->result = 9004;
  }
  int rc = 0;
  switch (r->op) {
    case FT_OP_ATTRIB: rc = run_attrib(r, w); break;
    case FT_OP_COPY:
      rc = copy_one(r, w, r->path, r->to);
      if (!rc) count_done(r);
      break;
    case FT_OP_MOVE:
      rc = move_one(r, w, r->path, r->to);
      if (!rc) count_done(r);
      break;
    case FT_OP_COPY_LIST: rc = run_copy_list(r, w, false); break;
    case FT_OP_MOVE_LIST: rc = run_copy_list(r, w, true); break;
    case FT_OP_DEL: rc = run_del(r, w); break;
    case FT_OP_DEL_LIST: rc = run_del_list(r, w); break;
    case FT_OP_RECYCLE: rc = run_recycle(r); break;
    case FT_OP_GATHER:
    case FT_OP_FIND_RO:
    case FT_OP_GATHER_DEL: rc = run_gather(r); break;
    default:
      ERR_LOG(ERR_ERR, 9012, "Unexpected - op: %d.", (int)r->op);
      rc = 9012;
      break;
  }
  free(w);
  return r->result = rc;
}

int fthread_attrib(const ftenv* env, const char* path, unsigned set, unsigned mask, unsigned* done, void* ref) {
  if (empty(path)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s'.", mox_nul(path));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, FT_OP_ATTRIB, path, nullptr, 0, nullptr, nullptr, done, nullptr, ref, set, mask);
}

namespace {
int start_pair(const ftenv* env, ft_op op, const char* path, const char* to, unsigned* done, void* ref) {
  if (empty(path) || empty(to)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', to: `%s'.", mox_nul(path), mox_nul(to));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, op, path, to, 0, nullptr, nullptr, done, nullptr, ref);
}

int start_list(const ftenv* env, ft_op op, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
               unsigned* done, progr* pr, void* ref) {
  if (empty(path) || empty(to) || !fl || !pos) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', to: `%s', flist: %p, flist_i: %p.", mox_nul(path), mox_nul(to),
            static_cast<void*>(fl), static_cast<void*>(pos));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, op, path, to, flags, fl, pos, done, pr, ref);
}

int start_gather(const ftenv* env, ft_op op, const char* path, flist* fl, progr* pr, void* ref) {
  if (empty(path) || !fl) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', flist: %p.", mox_nul(path), static_cast<void*>(fl));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, op, path, nullptr, 0, fl, nullptr, nullptr, pr, ref);
}
}  // namespace

int fthread_copy(const ftenv* env, const char* path, const char* to, unsigned* done, void* ref) {
  return start_pair(env, FT_OP_COPY, path, to, done, ref);
}

int fthread_move(const ftenv* env, const char* path, const char* to, unsigned* done, void* ref) {
  return start_pair(env, FT_OP_MOVE, path, to, done, ref);
}

int fthread_copy_list(const ftenv* env, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
                      unsigned* done, progr* pr, void* ref) {
  return start_list(env, FT_OP_COPY_LIST, path, to, flags, fl, pos, done, pr, ref);
}

int fthread_move_list(const ftenv* env, const char* path, const char* to, unsigned flags, flist* fl, unsigned* pos,
                      unsigned* done, progr* pr, void* ref) {
  return start_list(env, FT_OP_MOVE_LIST, path, to, flags, fl, pos, done, pr, ref);
}

int fthread_del(const ftenv* env, const char* path, unsigned* done, void* ref) {
  if (empty(path)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s'.", mox_nul(path));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, FT_OP_DEL, path, nullptr, 0, nullptr, nullptr, done, nullptr, ref);
}

int fthread_del_list(const ftenv* env, const char* path, unsigned flags, flist* fl, unsigned* pos, unsigned* done,
                     progr* pr, void* ref) {
  if (empty(path) || !fl || !pos) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', flist: %p, flist_i: %p.", mox_nul(path), static_cast<void*>(fl),
            static_cast<void*>(pos));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, FT_OP_DEL_LIST, path, nullptr, flags, fl, pos, done, pr, ref);
}

int fthread_recycle(const ftenv* env, const char* path, unsigned flags, unsigned* done, void* ref) {
  if (empty(path)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s'.", mox_nul(path));
    return 9003;
  }
  if (!env_ok(env)) return 9003;
  return start(env, FT_OP_RECYCLE, path, nullptr, flags, nullptr, nullptr, done, nullptr, ref);
}

int fthread_gather(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref) {
  return start_gather(env, FT_OP_GATHER, path, fl, pr, ref);
}

int fthread_find_ro(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref) {
  return start_gather(env, FT_OP_FIND_RO, path, fl, pr, ref);
}

int fthread_gather_del(const ftenv* env, const char* path, flist* fl, progr* pr, void* ref) {
  return start_gather(env, FT_OP_GATHER_DEL, path, fl, pr, ref);
}

ft_end ft_end_of(const ft* r, unsigned count) {
  if (!r) return FT_END_FAILED;
  if (r->result == 9017) return FT_END_ABORTED;
  if (!r->result) return r->need != FT_NEED_NONE ? FT_END_DECIDE : FT_END_DONE;
  const bool list = r->op == FT_OP_COPY_LIST || r->op == FT_OP_MOVE_LIST || r->op == FT_OP_DEL_LIST;
  // a failure before the first record (destination, volume) fails the whole item
  if (list && r->recfail && r->pos && *r->pos < count) return FT_END_RECORD;
  return FT_END_FAILED;
}

int ft_item_partial(const txr* tx, ft_op op, unsigned done, unsigned total, frec* item) {
  if (!item) {
    ERR_LOG(ERR_ERR, 9003, "`frec' is NUL.");
    return 0;
  }
  if (!total || done >= total || !done) return 0;
  const char* ctx = "fcpdlg.foerr";
  const char* id = "Partially copied (%u/%u).";
  switch (op) {
    case FT_OP_MOVE:
    case FT_OP_MOVE_LIST:
      ctx = "fmvdlg.foerr";
      id = "Partially moved (%u/%u).";
      break;
    case FT_OP_DEL:
    case FT_OP_DEL_LIST:
      ctx = "fdeldlg.foerr";
      id = "Partially deleted (%u/%u).";
      break;
    case FT_OP_ATTRIB:
      ctx = "fattribdlg.foerr";
      id = "Partially changed (%u/%u).";
      break;
    default: break;
  }
  char t[512];
  mox_snprintf(t, sizeof t, tx ? txr_get(tx, ctx, id) : id, done, total);
  flist_set_foerr(item, 0, t);
  return 1;
}
