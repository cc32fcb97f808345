#include "ui/uerrlist.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr unsigned kBlockItems = 32;

}  // namespace

int uerr_copy(unsigned, void* dst, unsigned*, unsigned*, unsigned, const void* src, unsigned, void*) {
  uerr_item* d = static_cast<uerr_item*>(dst);
  const uerr_item* s = static_cast<const uerr_item*>(src);
  *d = *s;
  if (s->msg) {
    // the reporter's text lives only as long as its call
    d->msg = strdup(s->msg);
    if (!d->msg) {
      ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(s->msg));
      return kNoMem;
    }
  }
  return 0;
}

int uerr_release(unsigned, void* data, unsigned*, unsigned*, void*) {
  uerr_item* it = static_cast<uerr_item*>(data);
  free(const_cast<char*>(it->msg));
  it->msg = nullptr;
  return 0;
}

int uerrlist_init(uerrlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`uerrlist' is NUL.");
    return kParam;
  }
  uerrlist_free(l);  // a record starts zeroed; one in use is released first
  int rc = list_init(&l->items, sizeof(uerr_item), 0, uerr_copy, uerr_release, nullptr, nullptr, kBlockItems);
  if (!rc) rc = array_init(&l->index, 0xC2, nullptr, nullptr, kBlockItems);
  if (rc) uerrlist_free(l);
  return rc;
}

int uerrlist_free(uerrlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`uerrlist' is NUL.");
    return kParam;
  }
  int rc = list_free(&l->items);
  array_free(&l->index);
  std::memset(l, 0, sizeof *l);
  return rc;
}

int uerrlist_add(uerrlist* l, const uerr_item* item) {
  if (!l || !item) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - uerrlist: %p, uerr_item: %p.", (void*)l, (const void*)item);
    return kParam;
  }
  int rc = 0;
  list_node* n = list_append(&l->items, item, &rc);
  if (!n) return rc;
  rc = array_append(&l->index, list_data(n));
  // a report the index cannot reach would never be shown
  if (rc) list_remove(&l->items, n);
  return rc;
}

int uerrlist_get(const uerrlist* l, unsigned idx, const uerr_item** err) {
  if (!l || !err) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - uerrlist: %p, err: %p.", (const void*)l, (void*)err);
    return kParam;
  }
  void* const* slot = static_cast<void* const*>(array_get(&l->index, idx));
  *err = slot ? static_cast<const uerr_item*>(*slot) : nullptr;
  if (!*err) {
    ERR_LOG(ERR_ERR, kParam, "`ai' is NULL - idx: %u.", idx);
    return kParam;
  }
  return 0;
}

int uerrlist_clear(uerrlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`uerrlist' is NUL.");
    return kParam;
  }
  int rc = list_clear(&l->items, 0);
  int r = array_clear(&l->index, 0);
  l->seen = 0;
  return rc ? rc : r;
}

int uerrlist_seen(uerrlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`uerrlist' is NUL.");
    return kParam;
  }
  l->seen = list_count(&l->items);
  return 0;
}
