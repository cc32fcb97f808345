#include "c/cmdparser.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "c/arg.h"
#include "c/dv.h"
#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kSyntax = 9001;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;

constexpr char kSep = ':';
constexpr unsigned kGrowth = 64;
constexpr unsigned kMaxAlts = 12;
constexpr unsigned kAltSize = 256;  // 255 characters
constexpr unsigned kWordSize = 1024;

bool null_cmdp(const cmdp* cp) {
  if (cp) return false;
  ERR_LOG(ERR_ERR, kParam, "`cmdp' is NUL.");
  return true;
}

inline char sep_of(const cmdp* cp) { return cp->sep ? cp->sep : kSep; }

char* dup_n(const char* s, size_t n, int* rc) {
  char* d = (char*)malloc(n + 1);
  if (!d) {
    ERR_LOG(ERR_ERR, kNoMem, "strdup() failed - len: %u.", (unsigned)n);
    *rc = kNoMem;
    return nullptr;
  }
  memcpy(d, s, n);
  d[n] = 0;
  return d;
}

int add_entry(cmdp* cp, int is_op, const char* name, size_t nlen, const char* val) {
  if (cp->capacity <= cp->nargs + 1) {
    unsigned ncap = cp->capacity + (cp->growth ? cp->growth : kGrowth);
    size_t size = (size_t)ncap * sizeof(cmdp_entry);
    cmdp_entry* na = (cmdp_entry*)realloc(cp->args, size);
    if (!na) {
      ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)size);
      return kNoMem;
    }
    cp->args = na;
    cp->capacity = ncap;
  }
  int rc = 0;
  cmdp_entry e{is_op, dup_n(name, nlen, &rc), nullptr};
  if (e.name && val) e.val = dup_n(val, strlen(val), &rc);
  if (rc) {
    free(e.name);
    return rc;
  }
  cp->args[cp->nargs++] = e;
  return 0;
}

// The text after the '-' of an option word.
int add_option(cmdp* cp, const char* text) {
  const char sep = sep_of(cp);
  const char* name = text;
  while (*name && isspace((unsigned char)*name)) ++name;
  const char* end = name;
  while (*end && *end != sep && !isspace((unsigned char)*end)) ++end;
  if (end == name) {
    ERR_LOG(ERR_ERR, kSyntax, "Unrecognized option - `%s'.", text);
    return 0;
  }
  const char* s = strchr(end, sep);
  return add_entry(cp, 1, name, (size_t)(end - name), s ? s + 1 : nullptr);
}

// The names of op: its '|' alternatives, or op itself.
struct names {
  char alt[kMaxAlts][kAltSize];
  unsigned n = 0;
  const char* single = nullptr;

  explicit names(const char* op) {
    if (!strchr(op, '|')) {
      single = op;
      return;
    }
    char buf[kAltSize];
    dv d;
    dv_init(&d, 0, 0, buf, sizeof buf);
    for (const char* v = dv_next(&d, op, "|"); v && n < kMaxAlts; v = dv_next(&d, nullptr, "|"))
      mox_strcpy(alt[n++], kAltSize, v);
  }
  bool match(const char* name) const {
    if (single) return strcmp(name, single) == 0;
    for (unsigned i = 0; i < n; ++i)
      if (strcmp(name, alt[i]) == 0) return true;
    return false;
  }
};

bool bad_op(const cmdp* cp, const char* op) {
  if (null_cmdp(cp)) return true;
  if (op && *op) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, op: `%s'.", (const void*)cp, mox_nul(op));
  return true;
}

// Index of the first option named op from start on, or nargs.
unsigned find_op(const cmdp* cp, const char* op, unsigned start) {
  names nm(op);
  for (unsigned i = start; i < cp->nargs; ++i)
    if (cp->args[i].is_op && nm.match(cp->args[i].name)) return i;
  return cp->nargs;
}

}  // namespace

int cmdp_clear(cmdp* cp) {
  if (null_cmdp(cp)) return kParam;
  memset(cp, 0, sizeof *cp);
  return 0;
}

int cmdp_free(cmdp* cp) {
  if (null_cmdp(cp)) return kParam;
  if (cp->args) {
    for (unsigned i = 0; i < cp->nargs; ++i) {
      free(cp->args[i].name);
      free(cp->args[i].val);
    }
    free(cp->args);
  }
  return cmdp_clear(cp);
}

int cmdp_init_ex(cmdp* cp, unsigned flags, char sep, unsigned growth) {
  if (null_cmdp(cp)) return kParam;
  cmdp_free(cp);
  cp->flags = flags;
  cp->sep = sep ? sep : kSep;
  cp->growth = growth ? growth : kGrowth;
  return 0;
}

int cmdp_init(cmdp* cp) { return cmdp_init_ex(cp, 0, 0, 0); }

int cmdp_parse_argv(cmdp* cp, int argc, const char* const* argv) {
  if (null_cmdp(cp)) return kParam;
  if (argc < 0 || (argc > 0 && !argv)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, argv: %p.", (void*)cp, (const void*)argv);
    return kParam;
  }
  for (int i = 0; i < argc; ++i) {
    const char* w = argv[i];
    if (!w) continue;
    int rc;
    if (!cp->eoo && strcmp(w, "--") == 0) {
      cp->eoo = 1;
      continue;
    }
    if (!cp->eoo && *w == '-')
      rc = add_option(cp, w + 1);
    else
      rc = add_entry(cp, 0, w, strlen(w), nullptr);
    if (rc) return rc;
  }
  return 0;
}

int cmdp_parse_str(cmdp* cp, const char* text, unsigned word_flags, const char* delims) {
  if (null_cmdp(cp)) return kParam;
  if (!text || !*text) return 0;
  arg a;
  arg_clear(&a);
  int rc = arg_init(&a, word_flags, delims, kWordSize, kGrowth);
  if (rc == 0) rc = arg_split(&a, text);
  if (rc == 0) rc = cmdp_parse_argv(cp, a.argc, a.argv);
  arg_free(&a);
  return rc;
}

const char* cmdp_get_op(const cmdp* cp, const char* op, int* idx) {
  if (bad_op(cp, op)) return nullptr;
  unsigned start = 0;
  if (idx && *idx >= 0) start = (unsigned)*idx < cp->nargs ? (unsigned)*idx + 1 : cp->nargs;
  unsigned i = find_op(cp, op, start);
  if (idx) *idx = (int)i;
  return i < cp->nargs ? cp->args[i].val : nullptr;
}

int cmdp_has_op(const cmdp* cp, const char* op, const char** val) {
  if (bad_op(cp, op)) return 0;
  if (!val) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, val: %p.", (const void*)cp, (void*)val);
    return 0;
  }
  unsigned i = find_op(cp, op, 0);
  if (i >= cp->nargs) return 0;
  *val = cp->args[i].val;
  return 1;
}

int cmdp_has(const cmdp* cp, const char* op) {
  if (bad_op(cp, op)) return 0;
  return find_op(cp, op, 0) < cp->nargs;
}

const char* cmdp_last_op(const cmdp* cp, const char* op) {
  if (bad_op(cp, op)) return nullptr;
  names nm(op);
  for (unsigned i = cp->nargs; i-- > 0;)
    if (cp->args[i].is_op && nm.match(cp->args[i].name)) return cp->args[i].val;
  return nullptr;
}

const char* cmdp_next_arg(const cmdp* cp, int* idx) {
  if (null_cmdp(cp)) return nullptr;
  if (!idx) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, idx: %p.", (const void*)cp, (void*)idx);
    return nullptr;
  }
  unsigned i = *idx < 0 ? 0 : ((unsigned)*idx < cp->nargs ? (unsigned)*idx + 1 : cp->nargs);
  for (; i < cp->nargs; ++i) {
    if (!cp->args[i].is_op) {
      *idx = (int)i;
      return cp->args[i].name;
    }
  }
  *idx = (int)cp->nargs;
  return nullptr;
}

const char* cmdp_nth_arg(const cmdp* cp, unsigned n) {
  if (null_cmdp(cp)) return nullptr;
  for (unsigned i = 0; i < cp->nargs; ++i)
    if (!cp->args[i].is_op && n-- == 0) return cp->args[i].name;
  return nullptr;
}

char* cmdp_op_str(const cmdp* cp, int idx, char sep, char* buf, unsigned bufsize) {
  if (!cp || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, buf: %p, bufsize: %u.", (const void*)cp, (void*)buf,
            bufsize);
    if (buf && bufsize) *buf = 0;
    return buf;
  }
  *buf = 0;
  if (idx < 0 || (unsigned)idx >= cp->nargs) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `idx' [%d] - nargs: %u.", idx, cp->nargs);
    return buf;
  }
  const cmdp_entry& e = cp->args[idx];
  if (!e.is_op) {
    ERR_LOG(ERR_ERR, kParam, "`%s' is not option - idx: %d.", mox_nul(e.name), idx);
    return buf;
  }
  int rc = e.val ? mox_snprintf(buf, bufsize, "-%s%c%s", e.name, sep ? sep : sep_of(cp), e.val)
                 : mox_snprintf(buf, bufsize, "-%s", e.name);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - strsize: %u.", bufsize);
    *buf = 0;
  }
  return buf;
}

int cmdp_get_items(const cmdp* cp, void* items_val_base, unsigned nitems, const cfg_item* items, int unescape) {
  if (null_cmdp(cp)) return kParam;
  if (!items_val_base || !items) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cmdp: %p, items_val_base: %p, items: %p.", (const void*)cp,
            items_val_base, (const void*)items);
    return kParam;
  }
  for (unsigned n = 0; n < nitems; ++n) {
    const cfg_item& it = items[n];
    if (!it.cmdp_op || !*it.cmdp_op) continue;
    unsigned i = find_op(cp, it.cmdp_op, 0);
    if (i >= cp->nargs) continue;
    const char* text = cp->args[i].val ? cp->args[i].val : it.bare;
    if (!text) continue;
    int rc = cfg_set_item(items_val_base, &it, text, unescape);
    if (rc) return rc;
  }
  return 0;
}
