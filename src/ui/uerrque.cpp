#include "ui/uerrque.h"

#include <cstdint>
#include <cstring>

#include "ui/uerrlist.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kBlockItems = 16;

struct lock_guard {
  mutex* m;
  int rc;
  explicit lock_guard(mutex* mx) : m(mx), rc(mutex_lock(mx, UERRQUE_LOCK_TIMEOUT)) {}
  ~lock_guard() {
    if (!rc) mutex_unlock(m);
  }
  lock_guard(const lock_guard&) = delete;
  lock_guard& operator=(const lock_guard&) = delete;
};

inline HWND main_wnd(const uerrque* q) { return q->pwnd ? *q->pwnd : nullptr; }

inline int last_error() {
  DWORD e = GetLastError();
  return e ? (int)e : 9001;
}

}  // namespace

int uerrque_init(uerrque* q, HWND* pwnd) {
  if (!q) {
    ERR_LOG(ERR_ERR, kParam, "`uerrque' is NUL.");
    return kParam;
  }
  uerrque_free(q);  // a record starts zeroed; one in use is released first
  int rc = list_init(&q->items, sizeof(uerr_item), 0, uerr_copy, uerr_release, nullptr, nullptr, kBlockItems);
  if (!rc) rc = mutex_init(&q->mtx);
  if (rc) {
    list_free(&q->items);
    std::memset(q, 0, sizeof *q);
    return rc;
  }
  q->pwnd = pwnd;
  return 0;
}

int uerrque_free(uerrque* q) {
  if (!q) {
    ERR_LOG(ERR_ERR, kParam, "`uerrque' is NUL.");
    return kParam;
  }
  list_free(&q->items);
  int rc = mutex_free(&q->mtx);
  std::memset(q, 0, sizeof *q);
  return rc;
}

int uerrque_add(uerrque* q, const uerr_item* item) {
  if (!q || !item) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - uerrque: %p, uerr_item: %p.", (void*)q, (const void*)item);
    return kParam;
  }
  lock_guard lock(&q->mtx);
  if (lock.rc) return lock.rc;
  int rc = 0;
  list_append(&q->items, item, &rc);
  return rc;
}

unsigned uerrque_count(uerrque* q) {
  if (!q) return 0;
  lock_guard lock(&q->mtx);
  return lock.rc ? 0 : list_count(&q->items);
}

int uerrque_hook(const uerr_item* item, void* usrdata) {
  uerrque* q = static_cast<uerrque*>(usrdata);
  if (!q || !item) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - uerrque: %p, uerr_item: %p.", (void*)q, (const void*)item);
    return kParam;
  }
  // runs under the log's lock on the reporting thread: a busy window must not hold it long
  lock_guard lock(&q->mtx);
  if (lock.rc) return lock.rc;
  int rc = uerrque_add(q, item);
  if (rc) return rc;
  // one wake-up moves the whole queue; a few are enough
  HWND wnd = main_wnd(q);
  if (wnd && list_count(&q->items) <= UERRQUE_MAX_WAKEUPS && !PostMessageA(wnd, UERR_MSG_QUEUED, 0, 0)) {
    rc = last_error();
    ERR_LOG(ERR_ERR, rc, "PostMessage() failed - g_main_wnd: %d.", (int)(intptr_t)wnd);
  }
  return rc;
}

int uerrque_move(uerrque* q, uerrlist* l) {
  if (!q || !l) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - uerrque: %p, uerrlist: %p.", (void*)q, (void*)l);
    return kParam;
  }
  int rc = 0;
  unsigned moved = 0;
  {
    lock_guard lock(&q->mtx);
    if (lock.rc) return lock.rc;
    for (list_node* n = list_first(&q->items); n && !rc;) {
      rc = uerrlist_add(l, static_cast<const uerr_item*>(list_data(n)));
      if (!rc) {
        n = list_remove(&q->items, n);
        ++moved;
      }
    }
  }
  // what did arrive is shown even when the move stopped
  HWND wnd = main_wnd(q);
  if (moved && wnd && !PostMessageA(wnd, UERR_MSG_LISTED, 0, 0)) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "PostMessage() failed - g_main_wnd: %p.", (void*)wnd);
    if (!rc) rc = e;
  }
  return rc;
}
