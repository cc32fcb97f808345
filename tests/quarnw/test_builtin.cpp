// The built-in resource and text files as the program loads them: both images
// load without an error, and what the windowed program reads from them is there
// and consistent (every menu entry and column has its text, every layout item
// its type, every radio group only items of its menu).
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "quarnw/resimg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm_listcol.h"
#include "xrm/xrm_load.h"

namespace {

std::vector<std::string> words(const std::string& list) {
  std::vector<std::string> out;
  std::string w;
  for (char c : list + " ") {
    if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      if (!w.empty()) out.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  return out;
}

class Builtin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(xrm_init(&x_, "quarnw", "moxware", "tester", nullptr, nullptr), 0);
    d_ = xrm_db_new(&x_);
    ASSERT_NE(d_, nullptr);
    xrml l;
    xrml_init(&l);
    LogCapture log;
    xrm_rc_ = xrml_load_data(&l, d_, quarnw_xrm_img, quarnw_xrm_img_size);
    xrm_log_ = log.done();
    xrml_free(&l);

    txr_clear(&tx_);
    ASSERT_EQ(txr_init(&tx_, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    txr_rc_ = txrl_load_data(&tl, &tx_, quarnw_txr_img, quarnw_txr_img_size);
    txr_err_ = tl.errmsg;
    txrl_clear(&tl);
  }
  static void TearDownTestSuite() {
    txr_free(&tx_);
    xrm_free(&x_);
  }

  // The value the program gets for a name under its own application name; "-" when none.
  static std::string get(const std::string& name) {
    char buf[8192];
    int e = xrm_get_str(d_, name.c_str(), nullptr, 1, buf, sizeof buf);
    return e == 0 ? buf : e == 9006 ? "-" : "error " + std::to_string(e);
  }
  // The words of a list resource; none when it is missing.
  static std::vector<std::string> ids(const std::string& name) {
    std::string v = get(name);
    return v == "-" ? std::vector<std::string>{} : words(v);
  }
  // A text that the text file itself gives (not the id coming back).
  static bool has_text(const std::string& ctx, const std::string& id, std::string* text = nullptr) {
    const char* t = txr_get(&tx_, ctx.c_str(), id.c_str());
    if (text) *text = t;
    return t != id.c_str();
  }

  static xrm x_;
  static db* d_;
  static txr tx_;
  static int xrm_rc_, txr_rc_;
  static std::string xrm_log_, txr_err_;
};
xrm Builtin::x_;
db* Builtin::d_;
txr Builtin::tx_;
int Builtin::xrm_rc_, Builtin::txr_rc_;
std::string Builtin::xrm_log_, Builtin::txr_err_;

TEST_F(Builtin, BothImagesLoadCleanly) {
  EXPECT_EQ(xrm_rc_, 0) << xrm_log_;
  EXPECT_EQ(xrm_log_.find("syntax error"), std::string::npos) << xrm_log_;
  EXPECT_GT(xrm_db_count(d_), 400u);
  EXPECT_EQ(txr_rc_, 0) << txr_err_;
}

TEST_F(Builtin, SettingsAndCommands) {
  struct {
    const char* name;
    const char* value;
  } cases[] = {
      {"title", "Quarn Std"},
      {"frame.wPref", "80C"},
      {"frame.hPref", "40C"},
      {"quarnw.cmd.ids", "man"},
      {"dir.bgClr", "rgb:219,234,234"},
      {"fcpdlg.err.bgClr", "red"},
      {"fmvdlg.fdone.bgClr", "green"},
      {"uerrdlg.warn.bgClr", "yellow"},
      // settings with an item default only: the resources above must not reach them
      {"file.type", "-"},
      {"fcpdlg.file.type", "-"},
      {"path", "-"},
      {"view", "-"},
      {"sortby", "-"},
  };
  for (const auto& c : cases) EXPECT_EQ(get(c.name), c.value) << c.name;
  for (const auto& id : ids("flistCmd.ids")) EXPECT_NE(get("flistCmd." + id + ".cmdname"), "-") << id;
}

TEST_F(Builtin, ResultListColumns) {
  listcol lc;
  listcol_init(&lc);
  ASSERT_EQ(xrm_listcol_load(d_, "flist.col", "Listcol.Col", 1, &lc), 0);
  struct {
    const char* id;
    const char* w;
    int visible, rev, align;
    const char* title;
  } want[] = {
      {"rpath", "40C", 0, 0, LISTCOL_LEFT, "Real path"}, {"path", "40C", 1, 0, LISTCOL_LEFT, "Path"},
      {"dir", "30C", 0, 0, LISTCOL_LEFT, "Directory"},   {"name", "15C", 0, 0, LISTCOL_LEFT, "Name"},
      {"ext", "8C", 0, 0, LISTCOL_LEFT, "Extension"},    {"md", "18C", 1, 1, LISTCOL_LEFT, "Modified time"},
      {"ad", "18C", 0, 1, LISTCOL_LEFT, "Accessed time"}, {"Bd", "18C", 0, 1, LISTCOL_LEFT, "Created time"},
      {"size", "8C", 1, 1, LISTCOL_RIGHT, "Size"},       {"attr", "10C", 1, 0, LISTCOL_LEFT, "Attributes"},
      {"err", "12C", 0, 1, LISTCOL_LEFT, "Error"},
  };
  ASSERT_EQ(lc.ncols, sizeof want / sizeof want[0]);
  for (unsigned i = 0; i < lc.ncols; ++i) {
    const listcol_col& c = lc.cols[lc.order[i]];
    EXPECT_STREQ(c.id, want[i].id);
    EXPECT_STREQ(c.wpref, want[i].w) << c.id;
    EXPECT_EQ(c.visible, want[i].visible) << c.id;
    EXPECT_EQ(c.sortrev_dflt, want[i].rev) << c.id;
    EXPECT_EQ(c.align, want[i].align) << c.id;
    EXPECT_EQ(c.excl, 0) << c.id;
    EXPECT_EQ(c.w, LISTCOL_W_UNSET) << c.id;
    EXPECT_EQ(txr_get(&tx_, "flist.col.name", c.name), std::string(want[i].title)) << c.id;
  }
}

TEST_F(Builtin, EveryColumnSetLoadsWithTitles) {
  struct {
    const char* set;
    const char* shown;
  } sets[] = {
      {"flist.col", "path md size attr"},         {"fcplist.col", "path size err"},
      {"fmvlist.col", "path size err"},           {"fdellist.col", "path md attr err"},
      {"fattriblist.col", "path md attr err"},    {"fexeclist.col", "path size err"},
      {"uerrlist.col", "desc timestamp"},         {"ext.exlist.col", "pri val"},
  };
  for (const auto& s : sets) {
    listcol lc;
    LogCapture log;
    ASSERT_EQ(xrm_listcol_load(d_, s.set, nullptr, 1, &lc), 0) << s.set;
    EXPECT_EQ(log.done(), " ") << s.set;  // every column has all it needs
    std::string shown;
    for (unsigned i = 0; i < lc.ncols; ++i) {
      const listcol_col& c = lc.cols[lc.order[i]];
      if (c.visible) shown += std::string(shown.empty() ? "" : " ") + c.id;
      EXPECT_NE(c.wpref[0], '\0') << s.set << "." << c.id;
      EXPECT_TRUE(has_text(std::string(s.set) + ".name", c.name)) << s.set << "." << c.id;
    }
    EXPECT_EQ(shown, s.shown) << s.set;
  }
}

// The command numbers the program gives menu entries (the error and expression
// lists have numbers of their own).
const std::set<std::string> kCommands = {
    "exDel", "about", "exit", "fattrib", "fcols", "fcp", "fcpto", "fcut", "fdel", "fedit", "fexec", "ffilt",
    "fgrpdir1st", "finf", "fmvto", "fopen", "fopenas", "fopendir", "fpathdir1st", "fsortByAd", "fsortByAttr",
    "fsortByBd", "fsortByDir", "fsortByErr", "fsortByExt", "fsortByMd", "fsortByName", "fsortByPath",
    "fsortByRPath", "fsortBySize", "fsortIgnorecase", "fsortrev", "fUnsort", "man", "uerr", "vwCmd", "vwExt",
    "vwStd", "ecols", "eclear", "fsave", "fcpcmdln"};

TEST_F(Builtin, MenusHaveTextsMnemonicsAndTheirRadioGroups) {
  struct {
    const char* menu;
    unsigned nitems;
  } menus[] = {{"menu", 43},          {"flistMenu", 32},       {"fcplistMenu", 19},
               {"fmvlistMenu", 19},   {"fdellistMenu", 19},    {"fattriblistMenu", 19},
               {"fexeclistMenu", 19}, {"uerrlistMenu", 2},     {"exlistMenu", 1}};
  for (const auto& m : menus) {
    const std::string name = m.menu, ctx = name + ".name";
    std::set<std::string> items;
    // walk the submenus; mnemonics are unique within each
    std::vector<std::string> todo = {name};
    while (!todo.empty()) {
      std::string sub = todo.back();
      todo.pop_back();
      std::set<char> keys;
      for (const auto& id : ids(name + "." + sub + ".ids")) {
        if (id == "|") continue;
        EXPECT_TRUE(items.insert(id).second) << name << ": " << id << " twice";
        std::string text;
        EXPECT_TRUE(has_text(ctx, id, &text)) << ctx << "." << id;
        size_t u = text.find('_');
        if (u != std::string::npos && u + 1 < text.size()) {
          EXPECT_TRUE(keys.insert((char)tolower((unsigned char)text[u + 1])).second) << ctx << "." << id;
        }
        if (get(name + "." + id + ".ids") != "-")
          todo.push_back(id);
        else
          EXPECT_TRUE(kCommands.count(id)) << name << ": " << id << " has no command";
      }
    }
    EXPECT_EQ(items.size(), m.nitems) << name;
    for (const auto& grp : ids(name + ".radiogrps")) {
      auto grp_ids = ids(name + ".radiogrp." + grp);
      EXPECT_FALSE(grp_ids.empty()) << name << " " << grp;
      for (const auto& id : grp_ids) EXPECT_TRUE(items.count(id)) << name << " " << grp << ": " << id;
    }
  }
  EXPECT_EQ(ids("menu.radiogrps"), (std::vector<std::string>{"fsort", "view"}));
  EXPECT_EQ(ids("menu.radiogrp.fsort").size(), 11u);
  for (const char* id : {"vwExt", "vwCmd", "fexec"}) EXPECT_EQ(get(std::string("menu.") + id + ".enabled"), "No");
  EXPECT_EQ(get("menu.vwStd.enabled"), "-");
}

TEST_F(Builtin, LayoutsAreCompleteTrees) {
  struct {
    const char* res;
    const char* root;
    const char* wnds;
  } geoms[] = {
      {"geom", "quarn_d", "vwPos fList"},
      {"stdGeom", "std", "pathLbl path nameLbl name mdLbl md sizeLbl size vrule find"},
      {"fcpdlgGeom", "fcpdlg", "toLbl to fcpList recursive rule space copy cancel"},
      {"fmvdlgGeom", "fmvdlg", "toLbl to fmvList space move cancel"},
      {"fdeldlgGeom", "fdeldlg", "fdelList note dirs recursive all osCfm rule space del cancel"},
      {"fattribdlgGeom", "fattribdlg", "fattribList ro hidden archive rule cmdLbl cmd change cancel"},
      {"ffiltdlgGeom", "ffiltdlg", "cmdln cmdlist cmdout cmdoutTo"},
      {"finfdlgGeom", "finfdlg", "clrStrip info"},
      {"uerrdlgGeom", "uerrdlg", "errList errTitl errInfo closeSpace close"},
      {"uerrdlgBotlistGeom", "uerrdlgBotlist", "errTitl errInfo errList closeSpace close"},
      {"fcfmdlg_ynGeom", "fcfmdlg_yn", "question facts btnSpace yesBtn noBtn"},
      {"fcfmdlg_ynYcGeom", "fcfmdlg_ynYc", "question facts btnSpace yesBtn noBtn yesAllBtn cancelBtn"},
      {"fcfmdlg_ynYNcGeom", "fcfmdlg_ynYNc", "question facts btnSpace yesBtn noBtn yesAllBtn noAllBtn cancelBtn"},
      {"fcfmdlg_nyGeom", "fcfmdlg_ny", "question facts btnSpace noBtn yesBtn"},
      {"fcfmdlg_nyYcGeom", "fcfmdlg_nyYc", "question facts btnSpace noBtn yesBtn yesAllBtn cancelBtn"},
      {"fcfmdlg_nyNYcGeom", "fcfmdlg_nyNYc", "question facts btnSpace noBtn yesBtn noAllBtn yesAllBtn cancelBtn"},
  };
  for (const auto& g : geoms) {
    const std::string res = g.res;
    std::string wnds;
    std::set<std::string> seen;
    std::vector<std::string> todo = {g.root};
    // depth first, children in order
    while (!todo.empty()) {
      std::string id = todo.back();
      todo.pop_back();
      EXPECT_TRUE(seen.insert(id).second) << res << ": " << id << " twice";
      std::string type = get(res + "." + id + ".type");
      if (type == "wnd") {
        wnds += (wnds.empty() ? "" : " ") + id;
        continue;
      }
      ASSERT_TRUE(type == "hline" || type == "vline") << res << "." << id << ": " << type;
      auto kids = ids(res + "." + id + ".ids");
      EXPECT_FALSE(kids.empty()) << res << "." << id;
      todo.insert(todo.end(), kids.rbegin(), kids.rend());
    }
    EXPECT_EQ(wnds, g.wnds) << res;
  }
  struct {
    const char* name;
    const char* value;
  } limits[] = {{"stdGeom.md.minW", "5C"},     {"stdGeom.size.maxW", "25C"},      {"fcpdlgGeom.to.minW", "12C"},
                {"fcpdlgGeom.fcpList.minH", "5C"}, {"geom.fList.growY", "1"},     {"geom.vwPos.growY", "-"}};
  for (const auto& l : limits) EXPECT_EQ(get(l.name), l.value) << l.name;
}

TEST_F(Builtin, TextsOfEveryContext) {
  struct {
    const char* ctx;
    const char* id;
    const char* text;
  } cases[] = {
      {"flist.col.name", "ad", "Accessed time"},
      {"fattriblist.col.name", "rpath", "Real path"},
      {"uerrlist.col.name", "desc", "Description"},
      {"ext.exlist.col.name", "pri", "Primary"},
      {"ext.pri", "path", "Path pattern"},
      {"finfdlg.file", "Err.(FO)", "Err."},
      {"err.qnex", "Invalid `-ad': %s.", "Invalid `Accessed time': %s."},
      {"err.qnex", "Invalid `-mtime': %s.", "Invalid `Modified days': %s."},
      {"flist.mark", "< ", "< "},
      {"quarndlg.btn", "Stop", "Stop"},
      {"quarndlg", "Sort: %.1f%%", "Sort: %.1f%%"},
      {"aboutdlg", "About %s", "About %s"},
      {"err.ncmdMaxExceeded", "Maximum selected items [%d] exceeded (%s).", "Maximum selected items [%d] exceeded (%s)."},
      {"fcpdlg.foerr", "Partially copied (%u/%u).", "Partially copied (%u/%u)."},
      {"fthread.foerr", "0x%X Aborted", "0x%X Aborted"},
      {"fcfmdlg.delROIndir.msg", "This directory contains READ-ONLY file(s). Delete?",
       "This directory contains READ-ONLY file(s). Delete?"},
      {"fdeldlg.btn", "Delete", "Delete"},
      {"fcpdlg", "Multiple destinations not supported.", "Multiple destinations not supported."},
      {"err.fopendir", "Maximum selected files [%u] exceeded.", "Maximum selected files [%u] exceeded."},
      {"ffiltdlg", "No output specified.", "No output specified."},
      {"err.dndInit", "Drag and Drop initialization failed - bufsz: %u KB.",
       "Drag and Drop initialization failed - bufsz: %u KB."},
  };
  // menu texts are checked with their menus above
  for (const auto& c : cases) {
    std::string text;
    EXPECT_TRUE(has_text(c.ctx, c.id, &text)) << c.ctx << "." << c.id;
    EXPECT_EQ(text, c.text) << c.ctx << "." << c.id;
  }
}

}  // namespace
