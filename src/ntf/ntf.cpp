#include "ntf/ntf.h"

#include <cstring>

#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;
constexpr int kUnexpected = 9012;
constexpr unsigned kSubBlockItems = 8;
constexpr unsigned kPostBlockItems = 32;

struct ntf_sub {
  void* ref;
  ntf_fn fn;
  void* usrdata;
  int dead;  // removed while a call walked the list; swept when the outermost call ends
};

struct ntf_item {
  int id;
  void* data;
  void* ref;
};

int id_cmp(unsigned, const void* k1, unsigned, unsigned, const void* k2, unsigned, void*) {
  int a = *static_cast<const int*>(k1), b = *static_cast<const int*>(k2);
  return a < b ? -1 : a > b;
}

int subs_init(unsigned, void* data, unsigned*, unsigned*, void*) {
  std::memset(data, 0, sizeof(list));
  return list_init(static_cast<list*>(data), sizeof(ntf_sub), 0, nullptr, nullptr, nullptr, nullptr, kSubBlockItems);
}

int subs_release(unsigned, void* data, unsigned*, unsigned*, void*) { return list_free(static_cast<list*>(data)); }

int postq_init(list* q) {
  return list_init(q, sizeof(ntf_item), 0, nullptr, nullptr, nullptr, nullptr, kPostBlockItems);
}

list* subs_of(const ntf* n, int id) {
  rbtree_node* tn = rbtree_find(&n->subs, &id);
  return tn ? static_cast<list*>(rbtree_val(&n->subs, tn)) : nullptr;
}

bool same(const ntf_sub* s, void* ref, ntf_fn fn, void* usrdata) {
  return !s->dead && s->ref == ref && s->fn == fn && s->usrdata == usrdata;
}

list_node* find_sub(list* l, void* ref, ntf_fn fn, void* usrdata) {
  for (list_node* x = list_first(l); x; x = list_next(x))
    if (same(static_cast<ntf_sub*>(list_data(x)), ref, fn, usrdata)) return x;
  return nullptr;
}

// Removes the subscriptions dropped during calls; no call walks a list now.
void sweep(ntf* n) {
  for (rbtree_node* tn = rbtree_first(&n->subs); tn; tn = rbtree_next(tn)) {
    list* l = static_cast<list*>(rbtree_val(&n->subs, tn));
    for (list_node* x = list_first(l); x;)
      x = static_cast<ntf_sub*>(list_data(x))->dead ? list_remove(l, x) : list_next(x);
  }
  n->ndead = 0;
}

struct lock_guard {
  mutex* m;
  int rc;
  explicit lock_guard(mutex* mx) : m(mx), rc(mutex_lock(mx, NTF_LOCK_TIMEOUT)) {}
  ~lock_guard() {
    if (!rc) mutex_unlock(m);
  }
  lock_guard(const lock_guard&) = delete;
  lock_guard& operator=(const lock_guard&) = delete;
};

}  // namespace

int ntf_init(ntf* n, HWND* pwnd, UINT msg) {
  if (!n) {
    ERR_LOG(ERR_ERR, kParam, "`ntf' is NUL.");
    return kParam;
  }
  ntf_free(n);  // a record starts zeroed; one in use is released first
  int rc = rbtree_init(&n->subs, sizeof(int), 0, id_cmp, nullptr, nullptr, nullptr, sizeof(list), 0, nullptr,
                       subs_release, subs_init, nullptr);
  if (!rc) rc = postq_init(&n->postq);
  if (!rc) rc = mutex_init(&n->mtx);
  if (rc) {
    rbtree_free(&n->subs);
    list_free(&n->postq);
    std::memset(n, 0, sizeof *n);
    return rc;
  }
  n->pwnd = pwnd;
  n->msg = msg;
  return 0;
}

int ntf_free(ntf* n) {
  if (!n) {
    ERR_LOG(ERR_ERR, kParam, "`ntf' is NUL.");
    return kParam;
  }
  if (unsigned left = list_count(&n->postq))
    ERR_LOG(ERR_ERR, kUnexpected, "Unprocessed post notifications [%u].", left);
  rbtree_free(&n->subs);
  list_free(&n->postq);
  int rc = mutex_free(&n->mtx);
  std::memset(n, 0, sizeof *n);
  return rc;
}

int ntf_add(ntf* n, int id, void* ref, ntf_fn fn, void* usrdata) {
  if (!n || !fn) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - ntf: %p, fn: %p.", (void*)n, (void*)fn);
    return kParam;
  }
  list* l = subs_of(n, id);
  int rc = 0;
  if (!l) {
    rbtree_node* tn = rbtree_insert(&n->subs, &id, nullptr, &rc);
    if (!tn) return rc;
    l = static_cast<list*>(rbtree_val(&n->subs, tn));
  } else if (find_sub(l, ref, fn, usrdata)) {
    ERR_LOG(ERR_ERR, kExists, "Ntf callback already exist - ntf: %p, id: %d, ref: %p, fn: %p, usrdata: %p.", (void*)n,
            id, ref, (void*)fn, usrdata);
    return kExists;
  }
  const ntf_sub s{ref, fn, usrdata, 0};
  list_append(l, &s, &rc);
  return rc;
}

int ntf_del(ntf* n, int id, void* ref, ntf_fn fn, void* usrdata) {
  if (!n || !fn) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - ntf: %p, fn: %p.", (void*)n, (void*)fn);
    return kParam;
  }
  list* l = subs_of(n, id);
  list_node* x = l ? find_sub(l, ref, fn, usrdata) : nullptr;
  if (!x) {
    ERR_LOG(ERR_ERR, kNotFound, "Ntf callback not found - ntf: %p, id: %d, ref: %p, fn: %p, usrdata: %p.", (void*)n, id,
            ref, (void*)fn, usrdata);
    return kNotFound;
  }
  // a running call may stand on this node: it goes when that call ends
  if (n->walks) {
    static_cast<ntf_sub*>(list_data(x))->dead = 1;
    ++n->ndead;
  } else {
    list_remove(l, x);
  }
  return 0;
}

int ntf_call(ntf* n, int id, void* data, void* ref) {
  if (!n) {
    ERR_LOG(ERR_ERR, kParam, "`ntf' is NUL.");
    return kParam;
  }
  list* l = subs_of(n, id);
  list_node* last = l ? list_last(l) : nullptr;
  if (!last) return 0;
  // subscribers added by a callback wait for the next call
  ++n->walks;
  int rc = 0;
  for (list_node* x = list_first(l); x; x = x == last ? nullptr : list_next(x)) {
    ntf_sub* s = static_cast<ntf_sub*>(list_data(x));
    if (s->dead || (s->ref && ref && s->ref != ref)) continue;
    rc = s->fn(id, data, s->usrdata);
    if (rc == NTF_REMOVE) {
      s->dead = 1;
      ++n->ndead;
    } else if (rc) {
      break;
    }
  }
  if (--n->walks == 0 && n->ndead) sweep(n);
  return rc;
}

int ntf_post(ntf* n, int id, void* data, void* ref) {
  if (!n) {
    ERR_LOG(ERR_ERR, kParam, "`ntf' is NUL.");
    return kParam;
  }
  lock_guard lock(&n->mtx);
  if (lock.rc) return lock.rc;
  for (list_node* x = list_first(&n->postq); x; x = list_next(x)) {
    const ntf_item* it = static_cast<const ntf_item*>(list_data(x));
    if (it->id == id && it->data == data && it->ref == ref) return 0;
  }
  const ntf_item item{id, data, ref};
  int rc = 0;
  if (!list_append(&n->postq, &item, &rc)) return rc;
  // the first messages drain everything queued after them
  HWND wnd = n->pwnd ? *n->pwnd : nullptr;
  unsigned count = list_count(&n->postq);
  if (wnd && count <= NTF_MAX_WAKEUPS && !PostMessageA(wnd, n->msg, 0, 0)) {
    DWORD e = GetLastError();
    rc = e ? (int)e : 9001;
    ERR_LOG(ERR_ERR, rc, "PostMessage() failed - wnd: %p, msg: %u (%#X), postq.nitems: %u.", (void*)wnd, n->msg, n->msg,
            count);
  }
  return rc;
}

int ntf_dispatch(ntf* n) {
  if (!n) {
    ERR_LOG(ERR_ERR, kParam, "`ntf' is NUL.");
    return kParam;
  }
  // the queue is taken whole: a callback may dispatch again (a modal loop) or post
  list items{};
  {
    lock_guard lock(&n->mtx);
    if (lock.rc) return lock.rc;
    list fresh{};
    int rc = postq_init(&fresh);
    if (rc) return rc;
    items = n->postq;
    n->postq = fresh;
  }
  for (list_node* x = list_first(&items); x; x = list_next(x)) {
    const ntf_item* it = static_cast<const ntf_item*>(list_data(x));
    int rc = ntf_call(n, it->id, it->data, it->ref);
    // a subscriber leaving with 9016 is served, not failed
    if (rc && rc != NTF_STOPPED && rc != NTF_REMOVE)
      ERR_LOG(ERR_ERR, rc, "Ntf `call' failed - id: %d, data: %p, ref: %p.", it->id, it->data, it->ref);
  }
  list_free(&items);
  return 0;
}

unsigned ntf_count(const ntf* n, int id) {
  const list* l = n ? subs_of(n, id) : nullptr;
  unsigned count = 0;
  for (list_node* x = l ? list_first(l) : nullptr; x; x = list_next(x))
    count += !static_cast<const ntf_sub*>(list_data(x))->dead;
  return count;
}

unsigned ntf_queued(ntf* n) {
  if (!n) return 0;
  lock_guard lock(&n->mtx);
  return lock.rc ? 0 : list_count(&n->postq);
}
