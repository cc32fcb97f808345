#include "quarn/quarncfg.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "c/cfg.h"
#include "c/str.h"
#include "c/val.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "quarn/quarnlib.h"

namespace {

constexpr unsigned kExprSize = 8192;
constexpr unsigned kWordSize = 1024;

const cfg_item kItems[] = {
    {0xB0, offsetof(quarncfg, diserr), (int)offsetof(quarncfg, diserr_cap), (int)offsetof(quarncfg, diserr_cap),
     nullptr, cfg_cvt(quarn_diserr_cvt), CFG_F_CVT, "disable-err", nullptr, nullptr, nullptr, nullptr},
    {0x50, offsetof(quarncfg, file_type), -1, -1, "No", {}, 0, "file-type", "Yes", nullptr, nullptr, nullptr},
    {0x82, offsetof(quarncfg, lang), -1, -1, nullptr, {}, 0, "lang", nullptr, nullptr, nullptr, nullptr},
    {0x50, offsetof(quarncfg, ignorecase), -1, -1, "Yes", {}, 0, "ignorecase", "Yes", nullptr, nullptr, nullptr},
    {0x50, offsetof(quarncfg, post_order), -1, -1, "No", {}, 0, "post-order", "Yes", nullptr, nullptr, nullptr},
    {0x50, offsetof(quarncfg, realpath), -1, -1, "No", {}, 0, "realpath", "Yes", nullptr, nullptr, nullptr},
    {0x82, offsetof(quarncfg, tfmts), -1, -1, "iso-d-e-ccyy_mm*,iso-dt-e-*,unix-dt-*", {}, 0, nullptr, nullptr,
     nullptr, nullptr, nullptr},
};
constexpr unsigned kNItems = sizeof kItems / sizeof kItems[0];

// The option words that belong to the search expression; letter case matters.
constexpr const char* kExprOps[] = {"ad",    "attr",  "Bd",   "depth", "empty", "md",   "mmin",
                                    "mtime", "name",  "cname", "iname", "path", "cpath", "ipath",
                                    "size",  "type",  "a",    "and",   "o",     "or"};

// The options the tool and its error log take; every other option is ignored with a warning.
constexpr const char* kToolOps[] = {"disable-err", "file-type", "lang", "ignorecase", "post-order", "realpath",
                                    "ver",         "help",      "?",    "cfg",        "cfgdir"};
constexpr const char* kLogOps[] = {"errout", "errsever", "errpipe", "errpipewaittimeout", "errhires"};

bool is_expr_operand(const char* s) {
  return s && (strcmp(s, "!") == 0 || strcmp(s, "(") == 0 || strcmp(s, ")") == 0);
}

bool is_expr_op(const char* name) {
  for (const char* op : kExprOps)
    if (strcmp(name, op) == 0) return true;
  return false;
}

bool is_known_op(const char* name) {
  if (is_expr_op(name)) return true;
  for (const char* op : kToolOps)
    if (strcmp(name, op) == 0) return true;
  for (const char* op : kLogOps)  // the log reads its own options ignoring case
    if (_stricmp(name, op) == 0) return true;
  return false;
}

// A typo such as -not or -Name:x is ignored as before, but no longer in silence.
void warn_unknown(const cmdp* cmdp) {
  for (unsigned i = 0; i < cmdp->nargs; i++) {
    const cmdp_entry& e = cmdp->args[i];
    if (e.is_op && e.name && !is_known_op(e.name)) ERR_USER(ERR_WARN, 9006, "Unknown option `-%s': ignored.", e.name);
  }
}

int path_release(unsigned type, void* data, unsigned* size, unsigned* maxsize, void*) {
  return val_free(type, data, size, maxsize);
}

}  // namespace

int quarncfg_init(quarncfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, 9003, "`cfg' is NUL.");
    return 9003;
  }
  memset(cfg, 0, sizeof *cfg);
  cfg_clear(cfg, kNItems, kItems);
  return 0;
}

int quarncfg_free(quarncfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, 9003, "`cfg' is NUL.");
    return 9003;
  }
  cfg_free(cfg, kNItems, kItems);
  list_v_free(&cfg->paths);
  free(cfg->expr);
  return quarncfg_init(cfg);
}

int quarncfg_set_dflts(quarncfg* cfg) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, 9003, "`cfg' is NUL.");
    return 9003;
  }
  int rc = list_v_init(&cfg->paths, 0x82, nullptr, path_release, nullptr, nullptr);
  if (rc) return rc;
  cfg->diserr_cap = sizeof cfg->diserr;
  return cfg_set_dflts(cfg, kNItems, kItems, 1);
}

int quarncfg_get_paths(quarncfg* cfg, const cmdp* cmdp) {
  if (!cfg || !cmdp) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, cmdp: %p.", (void*)cfg, (const void*)cmdp);
    return 9003;
  }
  int idx = -1;
  if (!cmdp_next_arg(cmdp, &idx)) return 0;  // the program name
  for (const char* arg; (arg = cmdp_next_arg(cmdp, &idx)) != nullptr;) {
    if (is_expr_operand(arg)) continue;
    if (!*arg) {
      ERR_USER(ERR_ERR, 9010, "Empty path: give a directory or file name (. for the current directory).");
      return 9010;
    }
    int err = 0;
    char* copy = mox_strndup(arg, (unsigned)strlen(arg), &err);
    if (copy) list_v_append(&cfg->paths, copy, &err);
    if (err) {
      if (copy) free(copy);
      ERR_LOG(ERR_ERR, err, "Failed to add path - %s.", arg);
      return err;
    }
  }
  return 0;
}

int quarncfg_get_expr(quarncfg* cfg, const cmdp* cmdp) {
  if (!cfg || !cmdp) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, cmdp: %p.", (void*)cfg, (const void*)cmdp);
    return 9003;
  }
  char text[kExprSize];
  unsigned len = 0;
  text[0] = 0;
  for (unsigned i = 1; i < cmdp->nargs; i++) {
    const cmdp_entry& e = cmdp->args[i];
    char word[kWordSize];
    const char* w = nullptr;
    if (!e.is_op && is_expr_operand(e.name))
      w = e.name;
    else if (e.is_op && e.name && is_expr_op(e.name)) {
      // a word cut here would silently change the search: refuse it instead
      size_t need = strlen(e.name) + (e.val ? strlen(e.val) + 1 : 0) + 2;
      if (need > kWordSize) {
        ERR_USER(ERR_ERR, 9009, "Expression word too long [%u] - `-%s:%.40s...'.", (unsigned)(need - 1), e.name,
                 e.val ? e.val : "");
        return 9009;
      }
      w = cmdp_op_str(cmdp, (int)i, ':', word, sizeof word);
    }
    if (!w) continue;
    // Words stay separate words: a line feed parts them, which the scanner skips as a
    // blank but never takes as escaped, so a value ending in a backslash keeps it.
    int rc = mox_snprintf(text + len, kExprSize - len, "%s\n", w);
    if (rc) {
      // a limit the user can act on, not an internal failure
      unsigned need = len;
      for (; i < cmdp->nargs; i++) {
        const cmdp_entry& r = cmdp->args[i];
        if (!r.is_op && is_expr_operand(r.name)) need += 2;
        else if (r.is_op && r.name && is_expr_op(r.name)) need += (unsigned)(strlen(r.name) + (r.val ? strlen(r.val) + 1 : 0) + 2);
      }
      ERR_USER(ERR_ERR, 9009, "Expression too long [%u] - at most %u characters: use fewer or shorter primaries.",
               need, kExprSize - 1);
      return 9009;
    }
    len += (unsigned)strlen(text + len);
  }
  if (len == 0) return 0;
  int err = 0;
  cfg->expr = mox_strndup(text, len, &err);
  if (!cfg->expr) {
    ERR_LOG(ERR_ERR, 9004, "strdup() failed - len: %u.", len);
    return 9004;
  }
  return 0;
}

int quarncfg_get(quarncfg* cfg, const cmdp* cmdp) {
  if (!cfg || !cmdp) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, cmdp: %p.", (void*)cfg, (const void*)cmdp);
    return 9003;
  }
  warn_unknown(cmdp);
  int rc = cmdp_get_items(cmdp, cfg, kNItems, kItems, 1);
  if (!rc) rc = quarncfg_get_paths(cfg, cmdp);
  if (!rc) rc = quarncfg_get_expr(cfg, cmdp);
  return rc;
}

int quarncfg_load(quarncfg* cfg, const cmdp* cmdp) {
  if (!cfg || !cmdp) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, cmdp: %p.", (void*)cfg, (const void*)cmdp);
    return 9003;
  }
  int rc = quarncfg_free(cfg);
  if (!rc) rc = quarncfg_set_dflts(cfg);
  if (!rc) rc = quarncfg_get(cfg, cmdp);
  return rc;
}
