// The filter and information dialogs' settings and the command history, over a real
// resource database through the program's settings.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "c/str.h"
#include "fm/fcmdlist.h"
#include "fm/ffiltcmd.h"
#include "quarnw/quarnwcfg.h"
#include "xrm/tree_fixture.h"

namespace {

std::vector<std::string> cmds(const fcmdlist& l) {
  std::vector<std::string> v;
  for (unsigned i = 0; i < l.n; ++i) v.push_back(fcmdlist_get(&l, i));
  return v;
}

TEST(FcmdList, MostRecentFirstOnceByItsCaseRule) {
  for (int ic : {1, 0}) {
    fcmdlist l{};
    ASSERT_EQ(fcmdlist_init(&l, ic), 0);
    for (const char* c : {" grep a ", "type %f", "", "  ", "GREP A", "sort"}) ASSERT_EQ(fcmdlist_add(&l, c), 0);
    if (ic)
      EXPECT_EQ(cmds(l), (std::vector<std::string>{"sort", "GREP A", "type %f"}));
    else
      EXPECT_EQ(cmds(l), (std::vector<std::string>{"sort", "GREP A", "type %f", "grep a"}));
    EXPECT_EQ(fcmdlist_get(&l, 9), nullptr);
    fcmdlist_free(&l);
    EXPECT_EQ(l.n, 0u);
  }
}

class DlgCfg : public TreeDb {
 protected:
  quarnwcfg c_{}, orig_{};
  db* out_ = nullptr;
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(quarnwcfg_init(&c_), 0);
    ASSERT_EQ(quarnwcfg_init(&orig_), 0);
    out_ = xrm_db_new(&x_);
  }
  void TearDown() override {
    quarnwcfg_free(&c_);
    quarnwcfg_free(&orig_);
    TreeDb::TearDown();
  }
  void start(std::vector<const char*> args = {}) {
    ASSERT_EQ(quarnwcfg_set_dflts(&c_), 0);
    ASSERT_EQ(quarnwcfg_get_xrm(&c_, d_), 0);
    ASSERT_EQ(quarnwcfg_set_dflts(&orig_), 0);
    ASSERT_EQ(quarnwcfg_copy(&orig_, &c_), 0);
    cmdp cp{};
    ASSERT_EQ(cmdp_init(&cp), 0);
    ASSERT_EQ(cmdp_parse_argv(&cp, (int)args.size(), args.data()), 0);
    ASSERT_EQ(quarnwcfg_get_cmdp(&c_, &cp), 0);
    cmdp_free(&cp);
  }
  std::string saved(const char* name) {
    char buf[512];
    return xrm_get_str(out_, name, nullptr, 1, buf, sizeof buf) == 0 ? buf : "<none>";
  }
};

TEST_F(DlgCfg, DatabaseAndOptions) {
  load("*ffiltdlg.cmdln: !grep x\n*ffiltCmdln: cmd /c\n*ffiltdlg.open: Yes\n*finfdlg.open: Yes\n"
       "*ffiltdlg.cmdoutTo: o.txt -a\n*finfdlg.sizefmt: h\n");
  start({"-ffiltdlg-cmdlist-sort:abc", "-finfdlg-timefmt:ls", "-finfdlg-color:No"});
  EXPECT_STREQ(c_.ffiltdlg.cmdln, "!grep x");
  EXPECT_STREQ(c_.ffiltdlg.prefix, "cmd /c");
  EXPECT_STREQ(c_.ffiltdlg.cmdoutTo, "o.txt -a");
  EXPECT_EQ(c_.ffiltdlg.open, 1);
  EXPECT_EQ(c_.finfdlg.open, 1);
  EXPECT_EQ(c_.finfdlg.sizefmt, QUARNW_SIZEFMT_H);
  EXPECT_EQ(c_.ffiltdlg.cmdlist_sort, FFILT_SORT_ABC);
  EXPECT_EQ(c_.finfdlg.timefmt, QUARNW_TIMEFMT_LS);
  EXPECT_EQ(c_.finfdlg.color, 0);
}

TEST_F(DlgCfg, ChangedSettingsAndHistorySaved) {
  load("*ffiltNcmdlist: 3\n*ffiltCmdlist.0: newest\n*ffiltCmdlist.2: oldest\n*ffiltdlg.ncmdlist.max: 2\n");
  start();
  EXPECT_EQ(cmds(c_.ffiltdlg.cmdlist), (std::vector<std::string>{"newest"}));  // index 1 missing, 2 over the limit
  ASSERT_EQ(fcmdlist_add(&c_.ffiltdlg.cmdlist, "type %f"), 0);
  ASSERT_EQ(fcmdlist_add(&c_.ffiltdlg.cmdlist, "sort"), 0);
  c_.ffiltdlg.open = 1;
  free(c_.ffiltdlg.cmdln);
  c_.ffiltdlg.cmdln = strdup("type %f");
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(saved("ffiltNcmdlist"), "2");
  EXPECT_EQ(saved("ffiltCmdlist.0"), "sort");
  EXPECT_EQ(saved("ffiltCmdlist.1"), "type %f");
  EXPECT_EQ(saved("ffiltCmdlist.2"), "<none>");
  EXPECT_EQ(saved("ffiltdlg.open"), "Yes");
  EXPECT_EQ(saved("ffiltdlg.cmdln"), "type %f");
  EXPECT_EQ(saved("finfdlg.open"), "<none>");  // unchanged
  EXPECT_EQ(saved("ffiltdlg.ncmdlist.max"), "<none>");  // never saved
}

}  // namespace

namespace {

// The job a search takes from the dialog's settings, names looked up in the database.
TEST_F(DlgCfg, JobFromTheSettings) {
  load("*ffiltCmdln.up: cmd /c echo\n*ffiltCmdln: pre\n*ffiltdlg.cmdln:  !up %f x \n"
       "*ffiltdlg.cmdout: Yes\n*ffiltdlg.cmdoutTo: o.txt -append -e:e.txt\n");
  start();
  ffiltjob job;
  ASSERT_EQ(ffilt_prepare(&c_.ffiltdlg, ffilt_xrm_lookup, d_, &job), 0);
  EXPECT_STREQ(job.cmd, "cmd /c echo %f x");
  EXPECT_STREQ(job.out.out, "o.txt");
  EXPECT_STREQ(job.out.err, "e.txt");
  EXPECT_EQ(job.out.append, 1);

  c_.ffiltdlg.cmdout = 0;  // the field is kept but not used
  ASSERT_EQ(ffilt_prepare(&c_.ffiltdlg, ffilt_xrm_lookup, d_, &job), 0);
  EXPECT_STREQ(job.out.out, "");
  free(c_.ffiltdlg.cmdln);
  c_.ffiltdlg.cmdln = strdup("type");
  ASSERT_EQ(ffilt_prepare(&c_.ffiltdlg, ffilt_xrm_lookup, d_, &job), 0);
  EXPECT_STREQ(job.cmd, "pre type");

  c_.ffiltdlg.cmdout = 1;
  free(c_.ffiltdlg.cmdoutTo);
  c_.ffiltdlg.cmdoutTo = strdup("-a");
  EXPECT_EQ(ffilt_prepare(&c_.ffiltdlg, ffilt_xrm_lookup, d_, &job), 9010);
  EXPECT_STREQ(job.cmd, "");
}

}  // namespace
