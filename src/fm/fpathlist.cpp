#include "fm/fpathlist.h"

#include <cstdlib>
#include <cstring>

#include "c/str.h"
#include "ds/list_v.h"
#include "err/err.h"

namespace {

int free_text(unsigned, void* data, unsigned*, unsigned*, void*) {
  char*& s = *static_cast<char**>(data);
  std::free(s);
  s = nullptr;
  return 0;
}

int text_cmp(unsigned, const void* k1, unsigned, unsigned, const void* k2, unsigned, void*) {
  return std::strcmp(*static_cast<const char* const*>(k1), *static_cast<const char* const*>(k2));
}

int check(const pathl* pl) {
  if (!pl) {
    ERR_LOG(ERR_ERR, 9003, "`pathl' is NUL.");
    return 9003;
  }
  return 0;
}

}  // namespace

int fpathlist_init(pathl* pl) {
  if (check(pl)) return 9003;
  fpathlist_free(pl);
  int rc = list_v_init(&pl->paths, 0x82, nullptr, free_text, nullptr, nullptr, 0, 0);
  if (!rc)
    rc = rbtree_init(&pl->index, sizeof(char*), 0xC2, text_cmp, nullptr, nullptr, nullptr, sizeof(list_node*), 0xC2,
                     nullptr, nullptr, nullptr, nullptr);
  if (rc) fpathlist_free(pl);
  return rc;
}

int fpathlist_free(pathl* pl) {
  if (check(pl)) return 9003;
  // the index points into the texts: it goes first
  if (pl->index.mb.itemsize) rbtree_free(&pl->index);
  if (pl->paths.mb.itemsize) list_free(&pl->paths);
  std::memset(pl, 0, sizeof *pl);
  return 0;
}

int fpathlist_add(pathl* pl, const char* path) {
  if (!pl || !path) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - pathl: %p, path: `%s'.", (const void*)pl, mox_nul(path));
    return 9003;
  }
  char buf[FPATHLIST_PATHSIZE];
  mox_strcpy(buf, sizeof buf, path);
  const char* key = mox_trim(buf);
  if (!*key) return 0;
  if (rbtree_node* hit = rbtree_find(&pl->index, &key)) {
    list_node* n = *static_cast<list_node**>(rbtree_val(&pl->index, hit));
    return n == list_first(&pl->paths) ? 0 : list_move_after(&pl->paths, n, nullptr);
  }
  int err = 0;
  char* copy = mox_strndup(key, (unsigned)std::strlen(key), &err);
  if (!copy) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", (unsigned)std::strlen(key));
    return 9004;
  }
  list_node* n = list_v_push(&pl->paths, copy, &err);
  if (!n) {
    std::free(copy);
    return err;
  }
  const char* k = copy;
  if (!rbtree_insert(&pl->index, &k, &n, &err)) {
    list_remove(&pl->paths, n);
    return err;
  }
  return 0;
}

list_node* fpathlist_first(const pathl* pl) { return pl ? list_first(&pl->paths) : nullptr; }
list_node* fpathlist_next(const list_node* node) { return node ? list_next(node) : nullptr; }
const char* fpathlist_text(const list_node* node) { return node ? list_v_str(node) : nullptr; }
unsigned fpathlist_count(const pathl* pl) { return pl ? list_count(&pl->paths) : 0; }
