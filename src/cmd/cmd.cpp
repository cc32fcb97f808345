#include "cmd/cmd.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "c/cmdparser.h"
#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kNotFound = 9006;
constexpr int kExists = 9007;

struct show_word {
  const char* name;
  int val;
};

// the window system's show commands
constexpr show_word kShowWords[] = {
    {"HIDE", 0},       {"SHOWNORMAL", 1},      {"NORMAL", 1},       {"SHOWMINIMIZED", 2}, {"SHOWMAXIMIZED", 3},
    {"MAXIMIZE", 3},   {"SHOWNOACTIVATE", 4},  {"SHOW", 5},         {"MINIMIZE", 6},      {"SHOWMINNOACTIVE", 7},
    {"SHOWNA", 8},     {"RESTORE", 9},         {"SHOWDEFAULT", 10}, {"FORCEMINIMIZE", 11}, {"MAX", 11}};

inline void set_err(int* err, int code) {
  if (err) *err = code;
}

inline bool is_empty(const char* s) { return !s || !*s; }

int dup(char** dst, const char* src) {
  *dst = nullptr;
  if (!src) return 0;
  *dst = strdup(src);
  if (*dst) return 0;
  ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)strlen(src));
  return kNoMem;
}

// An empty value clears the field.
int set_text(char** field, const char* val) {
  free(*field);
  *field = nullptr;
  return is_empty(val) ? 0 : dup(field, val);
}

// Calls fn on each non-empty word of val split at '|' and ','; the first failure ends it.
template <typename F>
int each_word(const char* val, F fn) {
  if (!val) return 0;
  char word[256];
  const char* p = val;
  while (*p) {
    size_t n = strcspn(p, "|,");
    if (n) {
      if (n >= sizeof word) n = sizeof word - 1;  // such a word matches nothing anyway
      memcpy(word, p, n);
      word[n] = '\0';
      if (int e = fn(word)) return e;
    }
    p += strcspn(p, "|,");
    if (*p) ++p;
  }
  return 0;
}

int set_option(cmd* c, const char* cmdname, const cmdp_entry& op) {
  const char* val = op.val;
  if (strcmp(op.name, "mask") == 0) {
    return each_word(val, [&](const char* w) {
      if (strcmp(w, "INVOKEIDLIST") == 0) {
        c->mask |= CMD_MASK_INVOKEIDLIST;
        return 0;
      }
      ERR_LOG(ERR_ERR, kParam, "Invalid `mask' [%s] - cmdname: `%s'.", w, cmdname);
      return kParam;
    });
  }
  if (strcmp(op.name, "verb") == 0) return set_text(&c->verb, val);
  if (strcmp(op.name, "file") == 0) return set_text(&c->file, val);
  if (strcmp(op.name, "dir") == 0) return set_text(&c->dir, val);
  if (strcmp(op.name, "show") == 0) {
    c->show = 0;
    return each_word(val, [&](const char* w) {
      for (const show_word& s : kShowWords) {
        if (strcmp(w, s.name) == 0) {
          c->show |= s.val;
          return 0;
        }
      }
      ERR_LOG(ERR_ERR, kParam, "Invalid `show' [%s] - cmdname: `%s'.", w, cmdname);
      return kParam;
    });
  }
  ERR_LOG(ERR_ERR, kParam, "Invalid `op' [%s] - cmdname: `%s'.", op.name, cmdname);
  return kParam;
}

int key_cmp(unsigned, const void* key1, unsigned, unsigned, const void* key2, unsigned, void*) {
  return strcmp(*static_cast<char* const*>(key1), *static_cast<char* const*>(key2));
}

void cmd_delete(cmd* c) {
  if (!c) return;
  free(c->id);
  cmd_release(c);
  free(c);
}

}  // namespace

void cmd_release(cmd* c) {
  if (!c) return;
  free(c->cmdname);
  free(c->params);
  free(c->verb);
  free(c->file);
  free(c->dir);
  char* id = c->id;
  memset(c, 0, sizeof *c);
  c->id = id;
}

int cmd_parse(cmd* c, const char* cmdname) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`cmd' is NUL.");
    return kParam;
  }
  cmdp cp;
  cmdp_clear(&cp);
  int e = cmdp_init(&cp);
  if (!e) e = cmdp_parse_str(&cp, cmdname, 0, nullptr);
  if (!e && (cp.nargs == 0 || cp.args[0].is_op)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid cmdname: `%s'.", mox_nul(cmdname));
    e = kParam;
  }
  if (!e && strcasecmp(cp.args[0].name, "shexec") == 0) {
    c->type = CMD_T_SHEXEC;
    c->mask = 0;
    c->show = 1;
    for (unsigned i = 1; i < cp.nargs && !e; ++i)
      if (cp.args[i].is_op) e = set_option(c, cmdname, cp.args[i]);
  } else if (!e) {
    c->type = CMD_T_NONE;
  }
  cmdp_free(&cp);
  return e;
}

int cmdlist_clear(cmdlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`cmdlist' is NUL.");
    return kParam;
  }
  memset(l, 0, sizeof *l);
  return 0;
}

int cmdlist_free(cmdlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`cmdlist' is NUL.");
    return kParam;
  }
  if (l->index.keysize) rbtree_free(&l->index);
  for (unsigned i = 0; i < l->ncmds; ++i) cmd_delete(l->cmds[i]);
  free(l->cmds);
  return cmdlist_clear(l);
}

int cmdlist_init(cmdlist* l) {
  if (!l) {
    ERR_LOG(ERR_ERR, kParam, "`cmdlist' is NUL.");
    return kParam;
  }
  cmdlist_free(l);
  int e = rbtree_init(&l->index, sizeof(char*), 0, key_cmp, nullptr, nullptr, nullptr, sizeof(cmd*), 0, nullptr,
                      nullptr, nullptr, nullptr);
  if (e) cmdlist_free(l);
  return e;
}

cmd* cmdlist_add(cmdlist* l, const char* id, const char* cmdname, const char* params, int ncmdMax, int* err) {
  if (!l || is_empty(id)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdlist: %p, id: `%s'.", (void*)l, mox_nul(id));
    set_err(err, kParam);
    return nullptr;
  }
  if (!l->index.keysize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdlist: %p, id: `%s'.", (void*)l, id);
    set_err(err, kParam);
    return nullptr;
  }
  if (rbtree_find(&l->index, &id)) {
    ERR_LOG(ERR_ERR, kExists, "cmd [%s] already exist - cmdlist: %p.", id, (void*)l);
    set_err(err, kExists);
    return nullptr;
  }
  cmd* c = static_cast<cmd*>(calloc(1, sizeof(cmd)));
  if (!c) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(cmd));
    set_err(err, kNoMem);
    return nullptr;
  }
  c->ncmdMax = CMD_NCMDMAX_DFLT;
  int e = dup(&c->id, id);
  if (!e) e = dup(&c->cmdname, cmdname);
  if (!e) e = dup(&c->params, params);
  if (!e) e = cmd_parse(c, cmdname);
  if (!e && ncmdMax > 0) c->ncmdMax = ncmdMax;
  if (!e && l->ncmds == l->capacity) {
    unsigned cap = l->capacity ? l->capacity * 2 : 8;
    cmd** cmds = static_cast<cmd**>(realloc(l->cmds, cap * sizeof(cmd*)));
    if (!cmds) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(cap * sizeof(cmd*)));
      e = kNoMem;
    } else {
      l->cmds = cmds;
      l->capacity = cap;
    }
  }
  if (!e) rbtree_insert(&l->index, &c->id, &c, &e);
  if (e) {
    cmd_delete(c);
    set_err(err, e);
    return nullptr;
  }
  l->cmds[l->ncmds++] = c;
  set_err(err, 0);
  return c;
}

cmd* cmdlist_find(const cmdlist* l, const char* id, int* err) {
  if (!l || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdlist: %p, id: `%s'.", (const void*)l, mox_nul(id));
    set_err(err, kParam);
    return nullptr;
  }
  const rbtree_node* node = l->index.keysize ? rbtree_find(&l->index, &id) : nullptr;
  if (!node) {
    set_err(err, kNotFound);
    return nullptr;
  }
  set_err(err, 0);
  return *static_cast<cmd**>(rbtree_val(&l->index, node));
}

int cmd_prepare(const cmd* c, const char* file, const char* dir, void* owner, cmd_exec* ex, int* run) {
  if (!c || !ex || !run) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmd: %p, ex: %p, run: %p.", (const void*)c, (void*)ex, (void*)run);
    return kParam;
  }
  *run = 0;
  memset(ex, 0, sizeof *ex);
  if (c->type == CMD_T_NONE) return 0;
  if (c->type != CMD_T_SHEXEC) {
    ERR_LOG(ERR_ERR, kParam, "Invalid cmd type [%d].", c->type);
    return kParam;
  }
  ex->file = !is_empty(file) ? file : c->file;
  if (is_empty(ex->file)) {
    ERR_LOG(ERR_ERR, kParam, "No `file' specified.");
    return kParam;
  }
  ex->dir = !is_empty(dir) ? dir : c->dir;
  ex->mask = c->mask;
  ex->owner = owner;
  ex->verb = c->verb;
  ex->params = c->params;
  ex->show = c->show;
  *run = 1;
  return 0;
}
