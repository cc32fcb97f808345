#include "quarnw/quarnwrules.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "quarnw/quarnwcfg.h"

namespace {

// The ids, repeated from the main window's table: this file builds without windows.
struct SortCol {
  int idm;
  const char* col;
};
constexpr SortCol kSortCols[] = {{40009, "dir"},  {40010, "name"}, {40011, "ext"},   {40012, "ad"},
                                 {40013, "Bd"},   {40014, "md"},   {40015, "size"},  {40016, "attr"},
                                 {40023, "path"}, {40024, "rpath"}, {40026, "err"}};

enum Rule { kUsable, kUsableSelected, kOne, kNever };
struct Enabling {
  int idm;
  Rule rule;
};
constexpr Enabling kEnabling[] = {
    {40004, kUsable},         {40005, kUsable},         {40032, kUsable}, {40033, kUsable},
    {40034, kUsable},         {40035, kUsable},         {40027, kUsableSelected},
    {40028, kUsableSelected}, {40030, kUsableSelected}, {40029, kOne},    {40036, kNever}};

}  // namespace

int quarnw_title_fmt(char* buf, unsigned bufsize, const char* path, int pathmax, int count, int focus,
                     const char* title) {
  if (!buf || !bufsize) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - buf: %p, bufsize: %u.", (void*)buf, bufsize);
    return 9003;
  }
  if (pathmax < 0 || pathmax > 1023) pathmax = 1000;
  char t[QUARNW_TITLE_SIZE];
  unsigned len = 0;
  int rc = 0;
  t[0] = 0;
  if (path && *path && pathmax >= 1) {
    // characters, not bytes: a cut inside a UTF-8 sequence would garble the title
    int bytes = 0, chars = 0;
    for (; path[bytes] && chars < pathmax; ++chars)
      do ++bytes;
      while ((path[bytes] & 0xC0) == 0x80);
    if (chars == pathmax)
      rc = mox_snprintf(t, sizeof t, "%.*s... - ", bytes, path);
    else
      rc = mox_snprintf(t, sizeof t, "%s - ", path);
    len = (unsigned)strlen(t);
  }
  if (!rc && count > 0) {
    rc = focus >= 0 ? mox_snprintf(t + len, sizeof t - len, "%d/%d - ", focus + 1, count)
                    : mox_snprintf(t + len, sizeof t - len, "%d - ", count);
    len += (unsigned)strlen(t + len);
  }
  if (!rc) rc = mox_snprintf(t + len, sizeof t - len, "%s", title ? title : "");
  if (!rc) rc = strlen(t) < bufsize ? 0 : 9005;
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", (unsigned)sizeof t);
    return rc;
  }
  memcpy(buf, t, strlen(t) + 1);
  return 0;
}

int quarnw_cmd_enabled(int idm, unsigned usable, unsigned selected, int* enabled) {
  for (const Enabling& e : kEnabling) {
    if (e.idm != idm) continue;
    if (!enabled) break;
    switch (e.rule) {
      case kUsable: *enabled = usable != 0; break;
      case kUsableSelected: *enabled = usable != 0 && selected != 0; break;
      case kOne: *enabled = usable == 1 && selected == 1; break;
      case kNever: *enabled = 0; break;
    }
    return 0;
  }
  ERR_LOG(ERR_ERR, 9003, "Invalid param - idm: %d, enabled: %p.", idm, (void*)enabled);
  return 9003;
}

const char* quarnw_sortcol(int idm) {
  for (const SortCol& c : kSortCols)
    if (c.idm == idm) return c.col;
  return nullptr;
}

int quarnw_sort_choose(quarnwcfg* cfg, const char* keys, int revdflt) {
  if (!cfg || !keys) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - cfg: %p, keys: %p.", (void*)cfg, (const void*)keys);
    return 9003;
  }
  if (strcmp(cfg->sortby, keys) == 0) {
    cfg->sortrev = !cfg->sortrev;
    return 0;
  }
  int rc = 0;
  mox_strcpy(cfg->sortby, sizeof cfg->sortby, keys, &rc);  // at most 255 characters
  cfg->sortrev = revdflt ? 1 : 0;
  return rc == 9005 ? 0 : rc;
}

int quarnw_toggle_dir1st(quarnwcfg* cfg, int grp) {
  if (!cfg) {
    ERR_LOG(ERR_ERR, 9003, "`quarnwcfg' is NUL.");
    return 0;
  }
  if (grp) {
    cfg->grpdir1st = !cfg->grpdir1st;
    cfg->pathdir1st = 0;
  } else {
    cfg->pathdir1st = !cfg->pathdir1st;
    cfg->grpdir1st = 0;
  }
  return cfg->sortby[0] != 0;
}
