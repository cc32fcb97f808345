#include "txr/apptxr.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "c/log_capture.h"
#include "c/tmp_dir.h"
#include "quarnw/resimg.h"

namespace {

class AppTxr : public testing::Test {
 protected:
  txr tx;
  TestDir td{"qapptxr", '\\'};
  const std::string& dir = td.dir;

  void SetUp() override { txr_clear(&tx); }
  void TearDown() override { txr_free(&tx); }
  std::string write(const std::string& name, const std::string& text) { return td.write(name, text); }
  // The built-in file given as text, the user's file as quarnw.txr in the test's directory.
  int load(const char* lang, const std::string& builtin, const char* fname = nullptr) {
    return apptxr_load(&tx, lang, "quarnw", "moxware", builtin.data(), (unsigned)builtin.size(), dir.c_str(), fname);
  }
  std::string get(const char* ctx, const char* id) { return txr_get(&tx, ctx, id); }
};

TEST_F(AppTxr, UserFileNameRules) {
  struct {
    const char *dir, *fname, *want;
  } cases[] = {
      {"D:\\cfg", nullptr, "D:\\cfg\\quarnw.txr"},
      {"D:\\cfg\\", nullptr, "D:\\cfg\\quarnw.txr"},
      {"D:\\cfg", "my.txr", "D:\\cfg\\my.txr"},
      {"D:\\cfg", "E:\\x\\my.txr", "E:\\x\\my.txr"},
      {"D:\\cfg", "sub\\my.txr", "sub\\my.txr"},  // a directory part of its own: unchanged
      {nullptr, nullptr, "C:\\lad\\moxware\\quarnw.txr"},
      {"", "my.txr", "C:\\lad\\moxware\\my.txr"},
  };
  set_env("LOCALAPPDATA", "C:\\lad");
  char buf[MAX_PATH];
  for (const auto& c : cases) {
    EXPECT_EQ(apptxr_fname("quarnw", "moxware", c.dir, c.fname, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, c.want) << (c.dir ? c.dir : "NUL") << " " << (c.fname ? c.fname : "NUL");
  }
  set_env("LOCALAPPDATA", nullptr);
  set_env("APPDATA", "C:\\ad");
  EXPECT_EQ(apptxr_fname("quarnw", "moxware", nullptr, nullptr, buf, sizeof buf), 0);
  EXPECT_STREQ(buf, "C:\\ad\\moxware\\quarnw.txr");
  LogCapture log;
  EXPECT_EQ(apptxr_fname("quarnw", "moxware", "D:\\cfg", nullptr, buf, 16), 9005);
}

TEST_F(AppTxr, UserTranslationsOverrideTheBuiltInOnes) {
  const std::string builtin = "ctx: c\nid: a\n: A\nid: b\n: B\nid: n\n: Name\n";
  struct {
    const char* lang;
    std::string user;  // none when empty
    std::vector<std::pair<const char*, const char*>> want;  // id, text in ctx c
  } cases[] = {
      {"en", "", {{"a", "A"}, {"b", "B"}}},
      {"en", "ctx: c\nid: a\n: user A\n", {{"a", "user A"}, {"b", "B"}}},  // equal score: stored later wins
      {"en-GB", "ctx: c\nid: a\n[en-GB]: colour\n: plain\nid: b\n[en-US]: US\n", {{"a", "colour"}, {"b", "B"}}},
      {"de", "ctx: c\nid: n\n[de] : Name DE\n", {{"a", "a"}, {"b", "b"}, {"n", "Name DE"}}},
      // a failing user file keeps what it stored before the failure, the load succeeds
      {"en", "ctx: c\nid: a\n: first\nid: b\n: last", {{"a", "first"}, {"b", "last"}}},
      {"en", "ctx: c\nid: a\n: first\nLANG: de\nid: b\n: never\n", {{"a", "first"}, {"b", "B"}}},
  };
  for (const auto& c : cases) {
    if (!c.user.empty()) write("quarnw.txr", c.user);
    LogCapture log;
    EXPECT_EQ(load(c.lang, builtin), 0) << c.user;
    for (const auto& w : c.want) EXPECT_EQ(get("c", w.first), w.second) << c.lang << " " << c.user;
    DeleteFileA((dir + "\\quarnw.txr").c_str());
  }
  write("mine.txr", "ctx: c\nid: b\n: mine\n");
  EXPECT_EQ(load("en", builtin, "mine.txr"), 0);
  EXPECT_EQ(get("c", "b"), "mine");
}

TEST_F(AppTxr, TheProgramsBuiltInTextsWithAUserFile) {
  auto start = [&](const char* lang) {
    return apptxr_load(&tx, lang, "quarnw", "moxware", quarnw_txr_img, quarnw_txr_img_size, dir.c_str(), nullptr);
  };
  ASSERT_EQ(start("en"), 0);
  EXPECT_EQ(get("err.qnex", "Invalid `-ad': %s."), "Invalid `Accessed time': %s.");
  EXPECT_EQ(get("err.qnex", "Invalid `-xy': %s."), "Invalid `-xy': %s.");  // missing: the id, placeholders kept
  write("quarnw.txr", "ctx: flist.col.name\nid: ad\n: Last access\n");
  ASSERT_EQ(start("en-US"), 0);
  EXPECT_EQ(get("flist.col.name", "ad"), "Last access");
  EXPECT_EQ(get("flist.col.name", "size"), "Size");
  write("quarnw.txr", "lang: de\nctx: flist.col.name\nid: size\n: Gr\xf6\xdf" "e\nctx: menu.name\nid: fopen\n[de]: \\w_\xd6" "ffnen\n");
  ASSERT_EQ(start("de-AT"), 0);  // only the user's German texts fit
  EXPECT_EQ(get("flist.col.name", "size"), "Gr\xf6\xdf" "e");
  EXPECT_EQ(get("menu.name", "fopen"), " _\xd6" "ffnen");
  EXPECT_EQ(get("flist.col.name", "ad"), "ad");
}

TEST_F(AppTxr, FailuresOfTheBuiltInFileAndOfTheRequest) {
  LogCapture log;
  EXPECT_EQ(load("en", "ctx: c\nbroken\n"), 9001);
  EXPECT_EQ(load("en_US", "ctx: c\n"), 9003);
  EXPECT_TRUE(log.has("(2) - syntax error: `broken'.") && log.has("No lang match [en_US].")) << log.done();
  int sever = errsever;
  errsever = ERR_DBG;
  LogCapture dbg;
  EXPECT_EQ(load("en", "ctx: c\n", "other.txr"), 0);
  errsever = sever;
  EXPECT_TRUE(dbg.has("Txr: `" + dir + "\\other.txr'.")) << dbg.done();
}

}  // namespace
