#include "ds/array.h"

#include <cstdint>
#include <cstring>

#include "ds/list_v.h"
#include "err/err.h"

namespace {

constexpr unsigned SLOT = 8;

inline char* slot(const array* a, unsigned i) {
  return static_cast<char*>(a->mb.blocks[i / a->mb.nblockitems]) + (size_t)(i % a->mb.nblockitems) * SLOT;
}

inline bool is_ptr_type(unsigned t) { return t == 0x82 || t == 0xC2; }

// Zeroes slots [from, to), one fill per block.
void zero_slots(const array* a, unsigned from, unsigned to) {
  while (from < to) {
    unsigned room = a->mb.nblockitems - from % a->mb.nblockitems;
    unsigned n = to - from < room ? to - from : room;
    std::memset(slot(a, from), 0, (size_t)n * SLOT);
    from += n;
  }
}

void release_slots(const array* a, unsigned from, unsigned to) {
  if (!a->release_cb) return;
  for (unsigned i = from; i < to; ++i) a->release_cb(a->valtype, slot(a, i), nullptr, nullptr, a->usrdata);
}

}  // namespace

int array_init(array* a, unsigned valtype, item_copy_cb copy_cb, item_release_cb release_cb, unsigned nblockitems,
               void* usrdata) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  if (!list_v_valtype_ok(valtype)) {
    ERR_LOG(ERR_ERR, 9003, "Array invalid `valtype' [%#X].", (unsigned)valtype);
    return 9003;
  }
  array_free(a);
  int rc = mblock_init(&a->mb, SLOT, nblockitems, 0);
  if (rc) return rc;
  a->valtype = valtype;
  a->copy_cb = copy_cb;
  a->release_cb = release_cb;
  a->usrdata = usrdata;
  return 0;
}

int array_free(array* a) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  array_clear(a, 0);
  mblock_free(&a->mb);
  std::memset(a, 0, sizeof *a);
  return 0;
}

int array_clear(array* a, int release) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  release_slots(a, 0, a->nitems);
  a->nitems = 0;
  if (release) {
    if (a->mb.itemsize) {
      int rc = mblock_reinit(&a->mb);
      if (rc) return rc;
    }
    a->capacity = 0;
  }
  return 0;
}

int array_insert(array* a, unsigned idx, unsigned n) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  if (!n || !a->mb.itemsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - array: %p, nitems: %u.", (void*)a, n);
    return 9003;
  }
  if (n > UINT32_MAX - a->nitems) {
    ERR_LOG(ERR_ERR, 9009, "Too many items - nitems: %u, n: %u.", a->nitems, n);
    return 9009;
  }
  if (idx > a->nitems) idx = a->nitems;
  if (a->nitems + n > a->capacity) {
    int rc = mblock_add(&a->mb, a->nitems + n - a->capacity);
    a->capacity = mblock_capacity(&a->mb);
    if (rc) return rc;
  }
  for (unsigned i = a->nitems; i > idx; --i) std::memcpy(slot(a, i - 1 + n), slot(a, i - 1), SLOT);
  zero_slots(a, idx, idx + n);
  a->nitems += n;
  return 0;
}

int array_delete(array* a, unsigned idx, unsigned n) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  if (!n) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - array: %p, nitems: %u.", (void*)a, n);
    return 9003;
  }
  if (idx > a->nitems || n > a->nitems - idx) {
    ERR_LOG(ERR_ERR, 9003, "Invalid range - idx: %u, nitems: %u, array.nitems: %u.", idx, n, a->nitems);
    return 9003;
  }
  release_slots(a, idx, idx + n);
  for (unsigned i = idx + n; i < a->nitems; ++i) std::memcpy(slot(a, i - n), slot(a, i), SLOT);
  a->nitems -= n;
  return 0;
}

int array_append(array* a, const void* value) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  int rc = array_insert(a, a->nitems, 1);
  if (rc) return rc;
  rc = array_set(a, a->nitems - 1, value);
  if (rc) --a->nitems;  // the slot was never filled: drop it without a release
  return rc;
}

void* array_get(const array* a, unsigned idx) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return nullptr;
  }
  if (idx >= a->nitems) {
    ERR_LOG(ERR_ERR, 9003, "Invalid idx [%u] - nitems: %u.", idx, a->nitems);
    return nullptr;
  }
  return slot(a, idx);
}

int array_set(array* a, unsigned idx, const void* value) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  void* s = array_get(a, idx);
  if (!s) return 9003;
  if (a->copy_cb) return a->copy_cb(a->valtype, s, nullptr, nullptr, a->valtype, value, 0, a->usrdata);
  if (is_ptr_type(a->valtype)) {
    *static_cast<const void**>(s) = value;
    return 0;
  }
  return list_v_copy(a->valtype, s, nullptr, nullptr, a->valtype, value, 0, a->usrdata);
}

int array_cp(array* a, const array* src) {
  if (!a) {
    ERR_LOG(ERR_ERR, 9003, "`array' is NUL.");
    return 9003;
  }
  if (!src || src == a) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - array: %p, src: %p.", (void*)a, (const void*)src);
    return 9003;
  }
  int rc = array_init(a, src->valtype, src->copy_cb, src->release_cb, src->mb.nblockitems, src->usrdata);
  if (rc || !src->nitems) return rc;
  rc = array_insert(a, 0, src->nitems);
  if (rc) return rc;
  for (unsigned i = 0; i < src->nitems; ++i) {
    const void* s = array_get(src, i);
    if (!s) {
      ERR_LOG(ERR_ERR, 9002, "No `src_item' - array: %p, src: %p, i: %u.", (void*)a, (const void*)src, i);
      a->nitems = i;
      return 9002;
    }
    rc = array_set(a, i, list_v_value(a->valtype, s));
    if (rc) {
      ERR_LOG(ERR_ERR, rc, "Array `cp' failed - array: %p, src: %p, i: %u, src_item: %p.", (void*)a, (const void*)src,
              i, s);
      a->nitems = i;  // only the slots set so far are the copy's
      return rc;
    }
  }
  return 0;
}
