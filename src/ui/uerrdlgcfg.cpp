#include "ui/uerrdlgcfg.h"

#include <cstddef>
#include <cstring>

#include "c/str.h"
#include "c/val.h"
#include "err/err.h"

// The time formats of the program's settings (same words, same values).
extern const enum_list quarnwcfg_timefmt_enums;

namespace {

constexpr int kParam = 9003;

#define OFF(f) (unsigned)offsetof(uerrdlgcfg, f)
#define IOFF(f) (int)offsetof(uerrdlgcfg, f)
#define BOOL_ITEM(f, d, op, name) {VAL_BOOL, OFF(f), -1, -1, d, {}, 0, op, "Yes", name, nullptr, name}
#define CLR_ITEM(f, d, name) {VAL_COLOR, OFF(f), -1, -1, d, {}, 0, nullptr, nullptr, name, nullptr, name}

struct LevelWords {
  const char* lng;
  const char* shrt;
};
constexpr LevelWords kWords[] = {{"EMERGENCY", "EMERG"}, {"ALERT", "ALERT"}, {"CRITICAL", "CRIT"},
                                 {"ERROR", "ERR"},       {"WARNING", "WARN"}, {"NOTICE", "NOTICE"},
                                 {"INFO", "INFO"},       {"DEBUG", "DBG"}};

}  // namespace

const cfg_item uerrdlgcfg_items[] = {
    BOOL_ITEM(botlist, "Yes", "uerrdlg-botlist", "uerrdlg.botlist"),
    BOOL_ITEM(clearOnClose, "Yes", "uerrdlg-clear-on-close", "uerrdlg.clearOnClose"),
    BOOL_ITEM(etitl_color, "Yes", "uerrdlg-etitl-color", "uerrdlg.etitl.color"),
    BOOL_ITEM(elist_color, "No", "uerrdlg-elist-color", "uerrdlg.elist.color"),
    BOOL_ITEM(elist_img, "Yes", "uerrdlg-elist-img", "uerrdlg.elist.img"),
    CLR_ITEM(err_fgClr, "white", "uerrdlg.err.fgClr"),
    CLR_ITEM(err_bgClr, "red", "uerrdlg.err.bgClr"),
    CLR_ITEM(warn_fgClr, "black", "uerrdlg.warn.fgClr"),
    CLR_ITEM(warn_bgClr, "yellow", "uerrdlg.warn.bgClr"),
    CLR_ITEM(info_fgClr, "white", "uerrdlg.info.fgClr"),
    CLR_ITEM(info_bgClr, "blue", "uerrdlg.info.bgClr"),
    {VAL_ENUM, OFF(timefmt), -1, -1, "usr", cfg_cvt(&quarnwcfg_timefmt_enums), 0, "uerrdlg-timefmt", nullptr,
     "uerrdlg.timefmt", nullptr, "uerrdlg.timefmt"},
    {VAL_STR, OFF(timefmt_usr), -1, -1, "%m-%d %H:%M:%S", {}, 0, "uerrdlg-timefmt-usr", nullptr,
     "uerrdlg.timefmt.usr", nullptr, "uerrdlg.timefmt.usr"},
    {VAL_DATABUF, OFF(wp), IOFF(wp_size), IOFF(wp_cap), nullptr, cfg_cvt(cfg_wndpl_cvt), CFG_F_CVT, nullptr,
     nullptr, "uerrdlg.wp", nullptr, "uerrdlg.wp"},
};
const unsigned uerrdlgcfg_nitems = sizeof uerrdlgcfg_items / sizeof uerrdlgcfg_items[0];

int uerrdlgcfg_init(uerrdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlgcfg' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  const int rc = cfg_clear(c, uerrdlgcfg_nitems, uerrdlgcfg_items);
  c->wp_cap = sizeof c->wp;
  return rc;
}

int uerrdlgcfg_free(uerrdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlgcfg' is NUL.");
    return kParam;
  }
  cfg_free(c, uerrdlgcfg_nitems, uerrdlgcfg_items);
  return uerrdlgcfg_init(c);
}

int uerrdlgcfg_set_dflts(uerrdlgcfg* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlgcfg' is NUL.");
    return kParam;
  }
  return cfg_set_dflts(c, uerrdlgcfg_nitems, uerrdlgcfg_items, 1);
}

const char* uerr_level_word(int level, int shortform, char* buf, unsigned bufsize) {
  if (level >= 1 && level <= 8) return shortform ? kWords[level - 1].shrt : kWords[level - 1].lng;
  if (!buf || !bufsize) return "";
  mox_snprintf(buf, bufsize, shortform ? "ERR-%d" : "ERROR-%d", level);
  return buf;
}

int uerrdlgcfg_level_colors(const uerrdlgcfg* c, int level, unsigned* fg, unsigned* bg) {
  if (!c || !fg || !bg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - cfg: %p, fg: %p, bg: %p.", (const void*)c, (void*)fg, (void*)bg);
    return kParam;
  }
  switch (level) {
    case ERR_ERR: *fg = c->err_fgClr, *bg = c->err_bgClr; return 0;
    case ERR_WARN: *fg = c->warn_fgClr, *bg = c->warn_bgClr; return 0;
    case ERR_INFO: *fg = c->info_fgClr, *bg = c->info_bgClr; return 0;
    default:
      ERR_LOG(ERR_ERR, 9013, "Not supported errtype [%d].", level);
      return 9013;
  }
}
