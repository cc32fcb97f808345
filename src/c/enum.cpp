#include "c/enum.h"

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

namespace {
constexpr int kParam = 9003;
constexpr int kNotFound = 9006;

bool bad_list(const enum_list* elist) { return !elist || (elist->nitems && !elist->items); }
}  // namespace

int enum_from_str(const enum_list* elist, const char* str, int* val) {
  if (bad_list(elist) || !str || !val) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - elist[%p]: nitems %u items %p, str: `%s', val: %p.",
            (const void*)elist, elist ? elist->nitems : 0u, elist ? (const void*)elist->items : nullptr,
            mox_nul(str), (void*)val);
    return kParam;
  }
  for (unsigned i = 0; i < elist->nitems; i++) {
    const char* name = elist->items[i].name;
    if (name && val_strcasecmp(name, str, 0) == 0) {
      *val = elist->items[i].val;
      return 0;
    }
  }
  ERR_LOG(ERR_ERR, kNotFound, "Enum string value [%s] not found.", str);
  return kNotFound;
}

int enum_to_str(const enum_list* elist, int val, const char** name) {
  if (bad_list(elist) || !name) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - elist[%p]: nitems %u items %p, val: %d, name: %p.",
            (const void*)elist, elist ? elist->nitems : 0u, elist ? (const void*)elist->items : nullptr, val,
            (void*)name);
    return kParam;
  }
  for (unsigned i = 0; i < elist->nitems; i++)
    if (elist->items[i].val == val) {
      *name = elist->items[i].name;
      return 0;
    }
  ERR_LOG(ERR_ERR, kNotFound, "Enum value [%d] not found.", val);
  return kNotFound;
}
