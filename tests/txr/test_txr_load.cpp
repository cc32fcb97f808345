#include "txr/txr_load.h"

#include <bzlib.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "c/tmp_dir.h"
namespace {

struct Look {
  const char *ctx, *id, *want;
};

std::string bzip(const std::string& text, int block100k = 9) {
  std::vector<char> out(text.size() + text.size() / 100 + 1024);
  unsigned len = (unsigned)out.size();
  EXPECT_EQ(BZ2_bzBuffToBuffCompress(out.data(), &len, const_cast<char*>(text.data()), (unsigned)text.size(),
                                     block100k, 0, 0),
            BZ_OK);
  return std::string(out.data(), len);
}

class TxrLoad : public testing::Test {
 protected:
  txr tx;
  txrl* tl = new txrl;
  TestDir td{"qtxrl", '/'};
  const std::string& dir = td.dir;

  void SetUp() override {
    txr_clear(&tx);
    txrl_clear(tl);
  }
  void TearDown() override {
    txr_free(&tx);
    delete tl;
  }
  // Loads text held in memory into a store made for the requested language.
  int load(const std::string& text, const char* lang = "en") {
    EXPECT_EQ(txr_init(&tx, lang), 0);
    return txrl_load_data(tl, &tx, text.data(), (unsigned)text.size());
  }
  std::string get(const char* ctx, const char* id) { return txr_get(&tx, ctx, id); }
  // "ctx.id=text" of each look-up that differs from what is wanted.
  std::string wrong(const std::vector<Look>& looks) {
    std::string w;
    for (const Look& l : looks)
      if (get(l.ctx, l.id) != l.want) w += std::string(l.ctx ? l.ctx : "") + "." + l.id + "=" + get(l.ctx, l.id) + "; ";
    return w;
  }
  std::string write(const std::string& name, const std::string& text) { return td.write(name, text); }
};

TEST_F(TxrLoad, EveryLineFormStoresWhatFitsTheRequest) {
  struct {
    const char* lang;
    std::string text;
    std::vector<Look> looks;
  } cases[] = {
      {"en",
       "! comment: id: ignored\n\n   \t \nctx: menu.name\nid: file\n: _File\n  id  :  exit  \n"
       "  :   E_xit\\tAlt+F4  \nid: t\n\t[en] :\ttagged\nctx:\nid: bare\n: Bare\n",
       {{"menu.name", "file", "_File"}, {"menu.name", "exit", "E_xit\tAlt+F4"}, {nullptr, "bare", "Bare"},
        {"menu.name", "t", "tagged"}, {"menu.name", "ignored", "ignored"}, {nullptr, "exit", "exit"}}},
      {"en",  // continuation, trimming, escapes
       "ctx: c\nid: long\n: first \\\n  second\\\nthird  \nid: esc\n: \\wpadded\\w\nid: \\w\n: a\\\\b\\n\\q\n",
       {{"c", "long", "first   secondthird"}, {"c", "esc", " padded "}, {"c", " ", "a\\b\nq"}}},
      {"en", "ctx:   spaced ctx \\t  \r\nid: x\r\n: y\\\r\nz\r\n",  // a context is trimmed, not decoded
       {{"spaced ctx \\t", "x", "yz"}}},
      {"en", "ctx: c\n: no id\nctx:\n: root\n", {{"c", "", "no id"}, {nullptr, "", "root"}}},
      {"en", "id: a\n: one\n: two\nid: b\n[en]: tagged\n: untagged\n",  // ties: the later wins
       {{nullptr, "a", "two"}, {nullptr, "b", "untagged"}}},
      {"de-CH",
       "ctx: m\nid: File\n: File\n[de] : Datei\n[de-CH]: Datei CH\n[de]: Datei 2\n[de-AT]: Datei AT\n"
       "[fr]: Fichier\nid: Edit\nlang: de\n: Bearbeiten\nlang:\n: Edit en\nid: View\n: View\nlang : DE-ch \n"
       "[de]: Ansicht\n",
       {{"m", "File", "Datei CH"}, {"m", "Edit", "Bearbeiten"}, {"m", "View", "Ansicht"}}},
      {"de",  // English texts do not fit a German request: ids are shown
       "ctx: m\nid: File\n: File\nid: Name\n[de] : Name DE\n[de-CH]: Name CH\n",
       {{"m", "File", "File"}, {"m", "Name", "Name DE"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(load(c.text, c.lang), 0) << c.text << tl->errmsg;
    EXPECT_EQ(wrong(c.looks), "") << c.text;
    EXPECT_STREQ(tx.clang, "en") << c.text;  // the language from before the load
  }
}

TEST_F(TxrLoad, SyntaxErrorsNameLineAndTokenAndKeepWhatCameBefore) {
  struct {
    std::string text;
    const char* msg;
    std::vector<Look> looks = {};
  } cases[] = {
      {"", "(1) - syntax error: `'."},
      {"LANG: de\n", "(1) - syntax error: `LANG:'."},
      {"id: x\n: y\nID: z\n: w\n", "(3) - syntax error: `ID:'.", {{nullptr, "x", "y"}}},
      {"id:\n", "(1) - syntax error: `'."},
      {"#define x\n", "(1) - syntax error: `#define'."},
      {" #include x\n", "(1) - syntax error: `#include'."},
      {"lang: de CH\n", "(1) - syntax error: `CH'."},
      {"[]: x\n", "(1) - syntax error: `]:'."},
      {"ctx x\n", "(1) - syntax error: `x'."},
      {"\n\nid: a\n: b", "(4) - syntax error: `'.", {{nullptr, "a", "b"}}},  // stored, then the missing line end
      {"id: a\n: b\\", "(2) - syntax error: `'.", {{nullptr, "a", "b\\"}}},
      {std::string("id: a\n: b\0c\n", 12) + "\x01\xff\n", "(3) - syntax error: `\x01\xff'.", {{nullptr, "a", "b"}}},
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(load(c.text), 9001) << c.text;
    EXPECT_STREQ(tl->errmsg, c.msg) << c.text;
    EXPECT_EQ(tl->err, 9001);
    EXPECT_EQ(wrong(c.looks), "") << c.text;
    EXPECT_TRUE(log.has(" 9001 ") && log.has(c.msg)) << log.done();
  }
}

TEST_F(TxrLoad, LengthLimitsAndFailuresOfTheStore) {
  const std::string t8191(8191, 't'), shown(1000, 't');
  const std::string msg8191 = "Max txr str length [8191] exceeded - str: `" + shown + "'.";
  struct {
    std::string text;
    int rc;
    std::string msg;
  } cases[] = {
      {"id: a\n: " + t8191 + "\n", 0, ""},
      {"id: a\n: " + t8191 + "t\n", 9009, msg8191},
      {"id: " + t8191 + "t\n", 9009, msg8191},
      {"ctx: " + std::string(255, 'c') + "  \nid: a\n: b\n", 0, ""},
      {"ctx: " + std::string(256, 'c') + "\n", 9009,
       "Max txr str length [255] exceeded - str: `" + std::string(256, 'c') + "'."},
      {"[en-" + std::string(252, 'v') + "]: a variant the request lacks\n", 0, ""},
      {"[en-" + std::string(253, 'v') + "]: x\n", 9009,
       "Max txr str length [255] exceeded - str: `en-" + std::string(252, 'v') + "'."},
      {"lang: en-" + std::string(8188, 'v') + "\n", 0, ""},
      {"lang: en-" + std::string(8189, 'v') + "\n", 9009,
       "Max txr str length [8191] exceeded - str: `en-" + std::string(997, 'v') + "'."},
      {"ctx: c\nid: i\n[en-US-x]: t\n", 9003, "c.i [en-US-x] : t"},
      {"ctx: " + std::string(255, 'c') + "\nid: " + std::string(8000, 'i') + "\n: t\n", 9005,
       std::string(255, 'c') + "." + std::string(4095 - 256, 'i')},  // the message is cut to its buffer
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(load(c.text), c.rc) << c.text.substr(0, 40);
    EXPECT_TRUE(tl->errmsg == c.msg) << c.text.substr(0, 40) << "\n" << std::string(tl->errmsg).substr(0, 100);
    if (c.rc == 9009) {
      EXPECT_TRUE(log.has(" 9009 ") && log.has(c.msg)) << log.done().substr(0, 300);
    }
  }
  ASSERT_EQ(load("lang: de\nctx: c\nid: a\n: " + t8191 + "\nid: b\n: x\n", "de"), 0);
  EXPECT_EQ(get("c", "a"), t8191);
  EXPECT_EQ(get("c", "b"), "x");
}

TEST_F(TxrLoad, IncludesReadInPlaceWithTheirOwnLanguage) {
  write("b.txr", "id: inner\n[de]: innen\n: inner-en\nlang: de\n: innen2\nlang: fr\nid: last\n[de]: zuletzt");  // no final line end
  write("m.txr", "id: macro\n[de]: per Makro\n");
  set_env("QTXR_DIR", dir.c_str());
  std::string a = write("a.txr",
                        "lang: de\nctx: c\n#include b.txr\nid: after\n: nach\n#INCLUDE   $(QTXR_DIR)/m.txr  \r\n"
                        ": danach\n#Include b.txr\n");
  ASSERT_EQ(txr_init(&tx, "de"), 0);
  ASSERT_EQ(txrl_load_file(tl, &tx, a.c_str()), 0) << tl->errmsg;
  EXPECT_EQ(wrong({{"c", "inner", "innen2"}, {"c", "last", "zuletzt"}, {"c", "after", "nach"},
                   {"c", "macro", "danach"}}),
            "");
  set_env("QTXR_DIR", nullptr);

  write("e.txr", "");
  write("n.txr", "id: n\n: n\n");
  write("bad.txr", "id: b\noops\n");
  write("self.txr", "#include self.txr\n");
  a = dir + "/a.txr";
  struct {
    const char* top;  // a.txr
    int rc;
    std::string msg;  // a pointer in it stands for any
  } cases[] = {
      {"#include e.txr\n", 0, ""},  // an empty file adds an empty line
      {"#include e.txr", 9001, a + "(1) - syntax error: `'."},
      {"#include n.txr", 0, ""},  // the included file's line end ends the last line
      {"id: a\n#include bad.txr\n", 9001, dir + "/bad.txr(2) - syntax error: `oops'."},
      {"#include none.txr\n", ENOENT, "Failed to open file `" + dir + "/none.txr'."},
      {"#include self.txr\n", 9009, "Max includes [9] exceeded - txr: %p, fname: `" + dir + "/self.txr'."},
  };
  for (const auto& c : cases) {
    write("a.txr", c.top);
    LogCapture log;
    ASSERT_EQ(txr_init(&tx, "en"), 0);
    EXPECT_EQ(txrl_load_file(tl, &tx, a.c_str()), c.rc) << c.top;
    std::string got = tl->errmsg, want = c.msg;
    size_t p = want.find("%p");
    if (p != std::string::npos && got.size() > want.size()) {
      size_t tail = want.size() - p - 2;
      EXPECT_EQ(got.substr(0, p) + got.substr(got.size() - tail), want.substr(0, p) + want.substr(p + 2)) << c.top;
    } else {
      EXPECT_EQ(got, want) << c.top;
    }
    if (c.rc) {
      EXPECT_TRUE(log.has(c.rc == 9001 ? got : want.substr(0, 20))) << log.done();
    }
  }
}

TEST_F(TxrLoad, CompressedInput) {
  std::string text = "ctx: c\nid: a\n: x\\\ny\nid: b\n[en]: z\n";
  EXPECT_EQ(load(bzip(text)), 0) << tl->errmsg;
  EXPECT_EQ(wrong({{"c", "a", "xy"}, {"c", "b", "z"}}), "");

  // two blocks: a stream cut in the second keeps what the first one held
  std::string big;
  auto val = [](unsigned i) { return "v" + std::to_string(i) + " " + std::to_string(i * 2654435761u); };
  for (unsigned i = 0; i < 6000; i++) big += "id: k" + std::to_string(i) + "\n: " + val(i) + "\n";
  ASSERT_GT(big.size(), 150000u);
  std::string z = bzip(big, 1);
  EXPECT_EQ(load(z), 0);
  EXPECT_EQ(get(nullptr, "k5999"), val(5999));
  struct {
    std::string data;
    int rc;
    const char* msg;
  } cases[] = {
      {z.substr(0, z.size() * 9 / 10), 9001, "BZ2_bzDecompress() error."},
      {"BZh", 9001, "BZ2_bzDecompress() error."},
      {std::string("\x1f\x8b\x08\x00", 4) + "garbage", 9013, "`gz' is not supported."},
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(load(c.data), c.rc);
    EXPECT_STREQ(tl->errmsg, c.msg);
    EXPECT_TRUE(log.has(c.msg)) << log.done();
  }
  EXPECT_EQ(load(z.substr(0, z.size() * 9 / 10)), 9001);
  EXPECT_EQ(get(nullptr, "k10"), val(10));
  EXPECT_EQ(get(nullptr, "k5999"), "k5999");
}

}  // namespace
