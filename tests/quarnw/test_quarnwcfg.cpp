// Settings of the windowed program over a real resource database: item defaults, the
// built-in file, user values, the command line, the save rule and the path history.
#include "quarnw/quarnwcfg.h"

#include <string>
#include <vector>

#include "c/log_capture.h"
#include "c/str.h"
#include "c/val.h"
#include "xrm/tree_fixture.h"

namespace {

class Cfg : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(quarnwcfg_init(&c_), 0);
    ASSERT_EQ(quarnwcfg_init(&orig_), 0);
    ASSERT_EQ(quarnwcfg_set_dflts(&c_), 0);
    ASSERT_EQ(cmdp_init(&cp_), 0);
    out_ = xrm_db_new(&x_);
    ASSERT_NE(out_, nullptr);
  }
  void TearDown() override {
    quarnwcfg_free(&c_);
    quarnwcfg_free(&orig_);
    cmdp_free(&cp_);
    TreeDb::TearDown();
  }
  // As start-up does: defaults, database, start-up copy, command line.
  void start(const std::vector<const char*>& args = {}) {
    ASSERT_EQ(quarnwcfg_set_dflts(&c_), 0);
    ASSERT_EQ(quarnwcfg_get_xrm(&c_, d_), 0);
    ASSERT_EQ(quarnwcfg_set_dflts(&orig_), 0);
    ASSERT_EQ(quarnwcfg_copy(&orig_, &c_), 0);
    if (!args.empty()) {
      ASSERT_EQ(cmdp_parse_argv(&cp_, (int)args.size(), args.data()), 0);
    }
    ASSERT_EQ(quarnwcfg_get_cmdp(&c_, &cp_), 0);
  }
  std::string saved(const char* name) {
    char buf[512];
    return xrm_get_str(out_, name, nullptr, 1, buf, sizeof buf) == 0 ? buf : "<none>";
  }
  std::vector<std::string> history(const quarnwcfg& c) {
    std::vector<std::string> v;
    for (list_node* n = fpathlist_first(&c.pathlist); n; n = fpathlist_next(n)) v.push_back(fpathlist_text(n));
    return v;
  }
  quarnwcfg c_{}, orig_{};
  cmdp cp_{};
  db* out_ = nullptr;
};

TEST_F(Cfg, ItemDefaultsAndTheBuiltInFile) {
  // item defaults alone
  EXPECT_STREQ(c_.title, "quarn");
  EXPECT_EQ(c_.npathlist_max, 64u);
  EXPECT_EQ(c_.title_path_max, 50u);
  EXPECT_EQ(c_.pathlist_sort, QUARNW_PATHLIST_HIST);
  EXPECT_STREQ(c_.flist_dblclk_cmd_id, "fdflt");
  EXPECT_EQ(c_.view, QUARNW_VIEW_STD);
  EXPECT_STREQ(c_.sortby, "");
  EXPECT_STREQ(c_.sortby_name, "name,dir");
  EXPECT_STREQ(c_.sortby_dir, "dir,name");
  EXPECT_EQ(c_.sortrev, 0);
  EXPECT_EQ(c_.sort_ignorecase, 1);
  EXPECT_EQ(c_.ignorecase, 1);
  EXPECT_EQ(c_.timefmt, QUARNW_TIMEFMT_LOCALE_SHORT);
  EXPECT_STREQ(c_.timefmt_usr, "%c");
  EXPECT_EQ(c_.sizefmt, QUARNW_SIZEFMT_K);
  EXPECT_STREQ(c_.dgrp_num_usrFmt, "%*%3");
  EXPECT_EQ(c_.flist_color, 1);
  EXPECT_EQ(c_.flist_img, 0);
  EXPECT_EQ(c_.dir_bgClr, val_rgb(219, 234, 234));
  EXPECT_EQ(c_.err_bgClr, val_rgb(255, 0, 0));
  EXPECT_EQ(c_.progress_lockTimeout, 500);
  EXPECT_EQ(c_.progress_cbEvery, 100u);
  EXPECT_EQ(c_.progress_updateEvery, 50u);
  EXPECT_EQ(c_.frame_wPref, nullptr);
  EXPECT_EQ(c_.frame_wp_size, 0u);
  EXPECT_EQ(c_.uerrdlg.botlist, 1);
  EXPECT_EQ(c_.uerrdlg.clearOnClose, 1);
  EXPECT_EQ(c_.uerrdlg.elist_color, 0);
  EXPECT_EQ(c_.uerrdlg.timefmt, QUARNW_TIMEFMT_USR);
  EXPECT_STREQ(c_.uerrdlg.timefmt_usr, "%m-%d %H:%M:%S");
  EXPECT_EQ(c_.uerrdlg.warn_bgClr, val_rgb(255, 255, 0));

  load_builtin();
  start();
  EXPECT_STREQ(c_.title, "Quarn Std");
  EXPECT_STREQ(c_.frame_wPref, "80C");
  EXPECT_STREQ(c_.frame_hPref, "40C");
  // the command lists
  ASSERT_NE(cmdlist_find(&c_.cmd, "man"), nullptr);
  EXPECT_STREQ(cmdlist_find(&c_.cmd, "man")->cmdname, "shexec -verb:open -file:doc\\quarn.html");
  for (const char* id : {"fdflt", "fopen", "fedit", "fopenas", "fopendir"})
    EXPECT_NE(cmdlist_find(&c_.flistCmd, id), nullptr) << id;
}

TEST_F(Cfg, DatabaseThenCommandLine) {
  load("*sortby: size,path\n*sortrev: Yes\n*view: std\n*timefmt: ls-long\n*err.fgClr: rgb:1,2,3\n"
       "*uerrdlg.clearOnClose: No\n*progress.lockTimeout: -1\n*std.name: *.c\n");
  start({"-sort:name,dir", "-grpdir1st", "-sizefmt:h", "-uerrdlg-botlist:No", "-timefmt:usr"});
  // command line over database over defaults
  EXPECT_STREQ(c_.sortby, "name,dir");
  EXPECT_EQ(c_.sortrev, 1);
  EXPECT_EQ(c_.grpdir1st, 1) << "an option without value means Yes";
  EXPECT_EQ(c_.sizefmt, QUARNW_SIZEFMT_H);
  EXPECT_EQ(c_.timefmt, QUARNW_TIMEFMT_USR);
  EXPECT_EQ(c_.err_fgClr, val_rgb(1, 2, 3));
  EXPECT_EQ(c_.uerrdlg.clearOnClose, 0);
  EXPECT_EQ(c_.uerrdlg.botlist, 0);
  EXPECT_EQ(c_.progress_lockTimeout, -1);
  EXPECT_STREQ(c_.std_name, "*.c");
  // the start-up copy holds the database's values, not the command line's
  EXPECT_STREQ(orig_.sortby, "size,path");
  EXPECT_EQ(orig_.grpdir1st, 0);
  EXPECT_EQ(orig_.timefmt, QUARNW_TIMEFMT_LS_LONG);
}

TEST_F(Cfg, BadValuesKeepTheirDefaultsAndTheRestLoads) {
  load("*view: nosuch\n*timefmt: yesterday\n*sizefmt: 5\n*sortby: ad,path\n*sortrev: Yes\n");
  LogCapture log;
  start();
  log.done();
  EXPECT_EQ(c_.view, QUARNW_VIEW_STD);
  EXPECT_EQ(c_.timefmt, QUARNW_TIMEFMT_LOCALE_SHORT);
  EXPECT_EQ(c_.sizefmt, QUARNW_SIZEFMT_K);
  EXPECT_STREQ(c_.sortby, "ad,path");
  EXPECT_EQ(c_.sortrev, 1);
  EXPECT_TRUE(log.has("Bad value of `view' ignored.")) << log.got;
  EXPECT_TRUE(log.has("Bad value of `timefmt' ignored.")) << log.got;
}

TEST_F(Cfg, SavesOnlyWhatChangedAndHasASaveName) {
  load_builtin();
  start();
  // untouched: nothing but the counts of the path and filter command histories
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(xrm_db_count(out_), 2u);
  EXPECT_EQ(saved("npathlist"), "0");
  EXPECT_EQ(saved("ffiltNcmdlist"), "0");

  mox_strcpy(c_.sortby, sizeof c_.sortby, "md,path");
  c_.sortrev = 1;
  c_.uerrdlg.clearOnClose = 0;
  c_.err_fgClr = val_rgb(0, 0, 255);
  c_.frame_wp.showCmd = 1;
  c_.frame_wp.rcNormalPosition[0] = 10, c_.frame_wp.rcNormalPosition[1] = 20;
  c_.frame_wp.rcNormalPosition[2] = 410, c_.frame_wp.rcNormalPosition[3] = 320;
  c_.frame_wp_size = sizeof c_.frame_wp;
  // changed but never saved
  free(c_.title);
  c_.title = mox_strndup("Other", 5);
  c_.dir_bgClr = val_rgb(1, 1, 1);
  c_.npathlist_max = 3;
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(saved("sortby"), "md,path");
  EXPECT_EQ(saved("sortrev"), "Yes");
  EXPECT_EQ(saved("uerrdlg.clearOnClose"), "No");
  EXPECT_NE(saved("err.fgClr"), "<none>");
  EXPECT_NE(saved("frame.wp"), "<none>");
  for (const char* never : {"title", "dir.bgClr", "npathlist.max", "view", "std.name", "sort.ignorecase"})
    EXPECT_EQ(saved(never), "<none>") << never;
  EXPECT_EQ(xrm_db_count(out_), 7u);

  // what was saved reads back as it was
  quarnwcfg back{};
  ASSERT_EQ(quarnwcfg_init(&back), 0);
  ASSERT_EQ(quarnwcfg_set_dflts(&back), 0);
  ASSERT_EQ(quarnwcfg_get_xrm(&back, out_), 0);
  EXPECT_STREQ(back.sortby, "md,path");
  EXPECT_EQ(back.sortrev, 1);
  EXPECT_EQ(back.err_fgClr, val_rgb(0, 0, 255));
  EXPECT_EQ(back.uerrdlg.clearOnClose, 0);
  ASSERT_EQ(back.frame_wp_size, sizeof back.frame_wp);
  EXPECT_EQ(back.frame_wp.rcNormalPosition[2], 410);
  EXPECT_EQ(back.frame_wp.rcNormalPosition[3], 320);
  quarnwcfg_free(&back);
}

TEST_F(Cfg, PathHistoryKeepsItsOrderAndLimit) {
  // saved as pathlist.0 (most recent) ...; index 1 missing is skipped
  load("*npathlist: 4\n*pathlist.0: C:\\\\new\n*pathlist.2: D:\\\\older\n*pathlist.3: E:\\\\oldest\n");
  start();
  EXPECT_EQ(history(c_), (std::vector<std::string>{"C:\\new", "D:\\older", "E:\\oldest"}));

  ASSERT_EQ(fpathlist_add(&c_.pathlist, "F:\\latest"), 0);
  c_.npathlist_max = 3;
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(saved("npathlist"), "3");
  EXPECT_EQ(saved("pathlist.0"), "F:\\latest");
  EXPECT_EQ(saved("pathlist.2"), "D:\\older");
  EXPECT_EQ(saved("pathlist.3"), "<none>");

  quarnwcfg back{};
  ASSERT_EQ(quarnwcfg_init(&back), 0);
  ASSERT_EQ(quarnwcfg_set_dflts(&back), 0);
  ASSERT_EQ(quarnwcfg_get_xrm(&back, out_), 0);
  EXPECT_EQ(history(back), (std::vector<std::string>{"F:\\latest", "C:\\new", "D:\\older"}));
  quarnwcfg_free(&back);
}

TEST_F(Cfg, SearchPathsOfTheCommandLine) {
  load("*path: C:\\\\before\n");
  struct Row {
    std::vector<const char*> args;
    const char* path;
  };
  const Row rows[] = {
      {{"-sortrev"}, "C:\\before"},
      {{"C:\\a", "-view:std", "D:\\b"}, "C:\\a D:\\b"},
      {{"C:\\Program Files", "D:\\x"}, "\"C:\\Program Files\" D:\\x"},
  };
  const std::string long1(15000, 'a'), long2(6000, 'b');
  const Row too_long = {{long1.c_str(), long2.c_str()}, "C:\\before"};
  for (const Row& r : rows) {
    cmdp_free(&cp_);
    ASSERT_EQ(cmdp_init(&cp_), 0);
    start(r.args);
    EXPECT_STREQ(c_.path, r.path);
    if (r.args.size() > 1) {
      EXPECT_EQ(history(c_).front(), r.path) << "pushed onto the history";
    }
  }
  // more than the field holds: reported and left out, the field as it was
  cmdp_free(&cp_);
  ASSERT_EQ(cmdp_init(&cp_), 0);
  LogCapture log;
  start(too_long.args);
  EXPECT_STREQ(c_.path, too_long.path);
  EXPECT_TRUE(history(c_).empty());
  EXPECT_TRUE(log.has("Search paths too long [20479]: ignored.")) << log.done();
}

TEST_F(Cfg, SortKeysOfTheColumns) {
  const std::pair<const char*, const char*> rows[] = {
      {"ad", "ad,path"},     {"attr", "attr,path"}, {"Bd", "Bd,path"}, {"dir", "dir,name"},
      {"err", "err,path"},   {"ext", "ext,path"},   {"md", "md,path"}, {"name", "name,dir"},
      {"path", "path"},      {"rpath", "rpath"},    {"size", "size,path"}};
  for (auto& r : rows) EXPECT_STREQ(quarnwcfg_sortby_of(&c_, r.first), r.second) << r.first;
  EXPECT_EQ(quarnwcfg_sortby_of(&c_, "nosuch"), nullptr);
}

}  // namespace
