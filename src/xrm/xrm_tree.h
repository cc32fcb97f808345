// Shared by the loaders of command lists, layouts and menus: each reads a small tree of
// resources whose attributes are looked up as name.id.attr and, for the class, as
// cls.id.Attr (the last word capitalised).
#pragma once

#include <cstdlib>

#include "xrm/xrm.h"

// An item id and the number the program gives it (a control or a command).
struct xrm_idmap {
  const char* id;
  int val;
};

enum : unsigned {
  XRM_TREE_LIST_SIZE = 8192,  // a list of ids, a command text
  XRM_TREE_DEPTH_MAX = 32     // lines in lines, submenus in submenus
};

// Holds the manager's mutex for one whole load.
class xrm_tree_lock {
 public:
  explicit xrm_tree_lock(db* d) : d_(d), code_(xrm_lock(d)) {}
  ~xrm_tree_lock() {
    if (code_ == 0) xrm_unlock(d_);
  }
  xrm_tree_lock(const xrm_tree_lock&) = delete;
  xrm_tree_lock& operator=(const xrm_tree_lock&) = delete;
  int code() const { return code_; }

 private:
  db* d_;
  int code_;
};

// A heap text of XRM_TREE_LIST_SIZE bytes (lists nest with the tree: not on the stack).
struct xrm_tree_buf {
  char* p = static_cast<char*>(malloc(XRM_TREE_LIST_SIZE));
  ~xrm_tree_buf() { free(p); }
  xrm_tree_buf() = default;
  xrm_tree_buf(const xrm_tree_buf&) = delete;
  xrm_tree_buf& operator=(const xrm_tree_buf&) = delete;
  int check() const;  // 9004 (logged) when the allocation failed
};

// name.a.b and cls.a.B (b none: name.a and cls.A); cls none or empty: no class.
struct xrm_tree_query {
  char name[XRM_NAME_SIZE];
  char cls[XRM_NAME_SIZE];
  int make(const char* iname, const char* icls, const char* a, const char* b);
  const char* clsp() const { return *cls ? cls : nullptr; }
};

// One text attribute into buf: 0, 9006 (missing, not logged) or the failure.
int xrm_tree_get_str(db* d, int qualify, const char* name, const char* cls, const char* a, const char* b, char* buf,
                     unsigned bufsize);
// One typed attribute (VAL_INT, VAL_UINT, VAL_BOOL, VAL_ENUM with enums).
int xrm_tree_get(db* d, int qualify, const char* name, const char* cls, const char* a, const char* b,
                 unsigned valtype, void* val, const enum_list* enums = nullptr);

// Calls fn(word) for the words of list (cut in place at commas, blanks, tabs and line
// ends); its first non-zero result ends the walk.
template <typename Fn>
int xrm_tree_each(char* list, Fn fn) {
  constexpr const char* seps = ", \t\r\n";
  char* p = list;
  for (;;) {
    while (*p && __builtin_strchr(seps, *p)) ++p;
    if (!*p) return 0;
    char* w = p;
    while (*p && !__builtin_strchr(seps, *p)) ++p;
    if (*p) *p++ = '\0';
    if (int e = fn(w)) return e;
  }
}

// The number of id in the map, or nullptr.
const xrm_idmap* xrm_idmap_find(unsigned nids, const xrm_idmap* idmap, const char* id);
