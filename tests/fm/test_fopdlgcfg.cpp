// Settings of the copy and move dialogs inside the program's settings: defaults, the
// database and the options, the flag words, what is saved and the destination histories.
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "c/str.h"
#include "c/val.h"
#include "quarnw/quarnwcfg.h"
#include "xrm/tree_fixture.h"

namespace {

class DlgCfg : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(quarnwcfg_init(&c_), 0);
    ASSERT_EQ(quarnwcfg_init(&orig_), 0);
    ASSERT_EQ(cmdp_init(&cp_), 0);
    out_ = xrm_db_new(&x_);
  }
  void TearDown() override {
    quarnwcfg_free(&c_);
    quarnwcfg_free(&orig_);
    cmdp_free(&cp_);
    TreeDb::TearDown();
  }
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
  static std::vector<std::string> hist(const fopdlgcfg& c) {
    std::vector<std::string> v;
    for (list_node* n = fpathlist_first(&c.tolist); n; n = fpathlist_next(n)) v.push_back(fpathlist_text(n));
    return v;
  }
  quarnwcfg c_{}, orig_{};
  cmdp cp_{};
  db* out_ = nullptr;
};

}  // namespace

TEST_F(DlgCfg, DefaultsOfBothDialogs) {
  start();
  for (const fopdlgcfg* f : {&c_.fcpdlg, &c_.fmvdlg}) {
    EXPECT_STREQ(f->to, "");
    EXPECT_EQ(f->tolist_sort, FOPDLG_TOLIST_HIST);
    EXPECT_EQ(f->ntolist_max, 64u);
    EXPECT_EQ(f->overwriteAll, 0);
    EXPECT_EQ(f->askRO, 1);
    EXPECT_EQ(f->stopOnErr, 0);
    EXPECT_EQ(f->cfm_yn, FOPDLG_CFM_YN);
    EXPECT_EQ(f->sort_ignorecase, 1);
    EXPECT_EQ(f->ignorecase, 1);
    EXPECT_EQ(f->flist_color, 1);
    EXPECT_EQ(f->fdone_fgClr, val_rgb(0, 0, 0));
    EXPECT_EQ(f->fmark_bgClr, val_rgb(0, 0, 255));
  }
  EXPECT_EQ(fopdlgcfg_flags(&c_.fcpdlg), (unsigned)FOPDLG_RECURSIVE);
  EXPECT_EQ(fopdlgcfg_flags(&c_.fmvdlg), 0u) << "the move dialog has no Recursive box";
  EXPECT_STREQ(fopdlgcfg_sortby_of("err"), "foerr,path");
  EXPECT_STREQ(fopdlgcfg_sortby_of("name"), "name,dir");
  EXPECT_EQ(fopdlgcfg_sortby_of("nosuch"), nullptr);
}

TEST_F(DlgCfg, DatabaseThenOptionsEachUnderItsOwnPrefix) {
  load("*fcpdlg.overwriteAll: Yes\n*fcpdlg.cfm.yn: ny\n*fmvdlg.stopOnErr: Yes\n*fmvdlg.tolist.sort: abc\n"
       "*fcpdlg.fdone.bgClr: rgb:1,2,3\n");
  start({"-fcpdlg-ask-ro:No", "-fmvdlg-cfm-yn:ny", "-fcpdlg-flags:"});
  EXPECT_EQ(c_.fcpdlg.overwriteAll, 1);
  EXPECT_EQ(c_.fcpdlg.cfm_yn, FOPDLG_CFM_NY);
  EXPECT_EQ(c_.fcpdlg.askRO, 0);
  EXPECT_EQ(c_.fcpdlg.fdone_bgClr, val_rgb(1, 2, 3));
  EXPECT_EQ(fopdlgcfg_flags(&c_.fcpdlg), 0u);
  EXPECT_EQ(c_.fmvdlg.stopOnErr, 1);
  EXPECT_EQ(c_.fmvdlg.cfm_yn, FOPDLG_CFM_NY);
  EXPECT_EQ(c_.fmvdlg.tolist_sort, FOPDLG_TOLIST_ABC);
  EXPECT_EQ(c_.fmvdlg.overwriteAll, 0) << "the copy dialog's value stays its own";
}

TEST_F(DlgCfg, AnUnknownFlagWordIsLoggedAndIgnored) {
  load("*fcpdlg.flags: Deep, Recursive\n");
  start();
  LogCapture log;
  EXPECT_EQ(fopdlgcfg_flags(&c_.fcpdlg), (unsigned)FOPDLG_RECURSIVE);
  log.done();
  EXPECT_TRUE(log.has("Invalid flag [Deep] - ignored - str: `Deep, Recursive'.")) << log.got;
}

TEST_F(DlgCfg, SavesTheChangedSettingsAndTheHistoriesButNotColoursOrLimits) {
  start();
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(saved("fcpdlg.to"), "<none>") << "nothing changed, nothing saved";
  mox_strcpy(c_.fcpdlg.to, sizeof c_.fcpdlg.to, "D:\\backup");
  c_.fcpdlg.stopOnErr = 1;
  c_.fmvdlg.askRO = 0;
  c_.fcpdlg.fdone_bgClr = val_rgb(9, 9, 9);
  c_.fcpdlg.ntolist_max = 2;
  for (const char* p : {"C:\\a", "C:\\b", "C:\\c"}) ASSERT_EQ(fpathlist_add(&c_.fcpdlg.tolist, p), 0);
  ASSERT_EQ(fpathlist_add(&c_.fmvdlg.tolist, "E:\\m"), 0);
  ASSERT_EQ(quarnwcfg_save(&c_, &orig_, out_), 0);
  EXPECT_EQ(saved("fcpdlg.to"), "D:\\backup");
  EXPECT_EQ(saved("fcpdlg.stopOnErr"), "Yes");
  EXPECT_EQ(saved("fmvdlg.askRO"), "No");
  EXPECT_EQ(saved("fcpdlg.fdone.bgClr"), "<none>");
  EXPECT_EQ(saved("fcpdlg.ntolist.max"), "<none>");
  EXPECT_EQ(saved("fcpdlg.ntolist"), "2");
  EXPECT_EQ(saved("fcpdlg.tolist.0"), "C:\\c");
  EXPECT_EQ(saved("fcpdlg.tolist.1"), "C:\\b");
  EXPECT_EQ(saved("fcpdlg.tolist.2"), "<none>");
  EXPECT_EQ(saved("fmvdlg.tolist.0"), "E:\\m");

  // read back: the order comes back
  quarnwcfg back{};
  ASSERT_EQ(quarnwcfg_init(&back), 0);
  ASSERT_EQ(quarnwcfg_set_dflts(&back), 0);
  ASSERT_EQ(quarnwcfg_get_xrm(&back, out_), 0);
  EXPECT_EQ(hist(back.fcpdlg), (std::vector<std::string>{"C:\\c", "C:\\b"}));
  EXPECT_EQ(hist(back.fmvdlg), (std::vector<std::string>{"E:\\m"}));
  EXPECT_STREQ(back.fcpdlg.to, "D:\\backup");
  quarnwcfg_free(&back);
}
