// The manual's example files, read with the program's own loaders: what a user copies
// from it must load without a message and change what it says it changes.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "quarnw/quarnwcfg.h"
#include "quarnw/resimg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "xrm/xrm.h"
#include "xrm/xrm_listcol.h"
#include "xrm/xrm_load.h"

namespace {

std::string source_file(const std::string& rel) {
  const char* src = getenv("QUARN_SRC");
  std::string p = std::string(src ? src : ".") + "/" + rel;
#ifdef _WIN32
  if (!p.empty() && p[0] == '/') p = "Z:" + p;  // the Linux checkout under Wine
#endif
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The text of every <pre class="cls"> block, as a reader copies it from the browser
// (entities decoded into the Windows code page of a German user).
std::vector<std::string> blocks(const std::string& html, const std::string& cls, std::string* bad) {
  static const std::map<std::string, std::string> ents = {
      {"lt", "<"},       {"gt", ">"},       {"amp", "&"},     {"quot", "\""},    {"auml", "\xE4"},
      {"ouml", "\xF6"},  {"uuml", "\xFC"},  {"Auml", "\xC4"}, {"Ouml", "\xD6"},  {"Uuml", "\xDC"},
      {"szlig", "\xDF"}, {"nbsp", " "}};
  std::vector<std::string> out;
  const std::string open = "<pre class=\"" + cls + "\">";
  for (size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
    at += open.size();
    size_t end = html.find("</pre>", at);
    if (end == std::string::npos) break;
    std::string raw = html.substr(at, end - at), text;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '&') {
        text += raw[i];
        continue;
      }
      size_t semi = raw.find(';', i);
      auto e = semi == std::string::npos ? ents.end() : ents.find(raw.substr(i + 1, semi - i - 1));
      if (e == ents.end()) {
        *bad += raw.substr(i, 12) + " ";
        text += raw[i];
        continue;
      }
      text += e->second;
      i = semi;
    }
    out.push_back(text);
  }
  return out;
}

struct Manual : testing::Test {
  std::string html = source_file("doc/quarn.html");
  void SetUp() override { ASSERT_GT(html.size(), 1000u) << "the manual was not found"; }
};

TEST_F(Manual, ResourceExampleLoadsAfterTheBuiltInFileAndChangesColumnsAndColours) {
  std::string bad;
  std::vector<std::string> files = blocks(html, "xrm", &bad);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(bad, "");
  xrm x;
  ASSERT_EQ(xrm_init(&x, "quarnw", "moxware", "u", nullptr, nullptr), 0);
  db* d = xrm_db_new(&x);
  ASSERT_NE(d, nullptr);
  xrml l;
  xrml_init(&l);
  // in the program's order: the built-in defaults, then the user's file
  ASSERT_EQ(xrml_load_data(&l, d, quarnw_xrm_img, quarnw_xrm_img_size), 0) << l.errtext;
  xrml_free(&l);
  xrml_init(&l);
  EXPECT_EQ(xrml_load_data(&l, d, files[0].data(), (unsigned)files[0].size()), 0) << l.errtext;
  xrml_free(&l);

  listcol lc;
  listcol_init(&lc);
  ASSERT_EQ(xrm_listcol_load(d, "flist.col", nullptr, 1, &lc), 0);
  std::string order, shown;
  for (unsigned i = 0; i < lc.ncols; ++i) {
    const listcol_col& c = lc.cols[lc.order[i]];
    order += std::string(i ? "," : "") + c.id;
    if (c.visible) shown += std::string(shown.empty() ? "" : ",") + c.id;
  }
  EXPECT_EQ(order, "name,size,md,dir,ext,attr,err,path,rpath,ad,Bd");
  EXPECT_EQ(shown, "name,size,md,dir,attr");
  int name = listcol_find(&lc, "name");
  ASSERT_GE(name, 0);
  EXPECT_STREQ(lc.cols[name].wpref, "30C");
  listcol_free(&lc);

  struct Want {
    const char* name;
    const char* value;
  };
  constexpr Want wants[] = {{"dir.bgClr", "rgb:255,250,205"}, {"err.bgClr", "#FFA500"}, {"err.fgClr", "black"},
                            {"frame.wPref", "120C"},          {"sizefmt", "h"},         {"timefmt", "iso-long"},
                            {"file.fgClr", "sys:WINDOWTEXT"}};  // untouched: still the default
  for (const Want& w : wants) {
    char buf[256] = "";
    EXPECT_EQ(xrm_get_str(d, w.name, nullptr, 1, buf, sizeof buf), 0) << w.name;
    EXPECT_STREQ(buf, w.value) << w.name;
  }
  xrm_free(&x);
}

std::string trimmed(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r"), e = s.find_last_not_of(" \t\r");
  return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// The ids of one context of a text file.
std::set<std::string> ids_of(const std::string& file, const std::string& ctx) {
  std::set<std::string> ids;
  std::istringstream in(file);
  std::string line, cur;
  while (std::getline(in, line)) {
    if (line.rfind("ctx:", 0) == 0) cur = trimmed(line.substr(4));
    else if (line.rfind("id:", 0) == 0 && cur == ctx) ids.insert(trimmed(line.substr(3)));
  }
  return ids;
}

TEST_F(Manual, GermanExampleLoadsAndTranslatesEveryMenuEntryAndColumn) {
  std::string bad;
  std::vector<std::string> files = blocks(html, "txr", &bad);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(bad, "");
  txr tx;
  txr_clear(&tx);
  ASSERT_EQ(txr_init(&tx, "de"), 0);
  txrl* tl = new txrl;
  txrl_clear(tl);
  // what the program does: its English texts first (skipped for German), then the user's
  EXPECT_EQ(txrl_load_data(tl, &tx, quarnw_txr_img, quarnw_txr_img_size), 0);
  txrl_clear(tl);
  EXPECT_EQ(txrl_load_data(tl, &tx, files[0].data(), (unsigned)files[0].size()), 0);
  delete tl;

  EXPECT_STREQ(txr_get(&tx, "menu.name", "fopen"), "_\xD6""ffnen");
  EXPECT_STREQ(txr_get(&tx, "menu.name", "fdel"), "_L\xF6schen...\tEntf");
  EXPECT_STREQ(txr_get(&tx, "flist.col.name", "size"), "Gr\xF6\xDF""e");
  EXPECT_STREQ(txr_get(&tx, "quarndlg.btn", "Find"), "Suchen");
  // a German user sees no bare id where the example claims to translate
  std::string builtin = source_file("res/quarnw.txr");
  ASSERT_FALSE(builtin.empty());
  for (const char* ctx : {"menu.name", "flist.col.name", "quarndlg.btn"}) {
    std::set<std::string> ids = ids_of(builtin, ctx);
    EXPECT_FALSE(ids.empty()) << ctx;
    for (const std::string& id : ids)
      EXPECT_NE(std::string(txr_get(&tx, ctx, id.c_str())), id) << ctx << " " << id << " is not translated";
  }
  txr_free(&tx);
}

// Every option the windowed program takes, its settings' and its start-up ones, is
// explained: named in the manual as -option followed by its value or the end of the word.
TEST_F(Manual, ExplainsEveryOptionOfTheWindowedProgram) {
  std::vector<std::string> opts = {"cfgdir", "cfg", "usrcfg", "txr", "lang", "ver", "ver-out",
                                   "errout", "errsever", "errpipe", "errpipewaittimeout", "errhires"};
  for (unsigned i = 0; i < quarnwcfg_nitems; ++i)
    for (std::string ops = quarnwcfg_items[i].cmdp_op ? quarnwcfg_items[i].cmdp_op : ""; !ops.empty();) {
      size_t bar = ops.find('|');
      opts.push_back(ops.substr(0, bar));
      ops = bar == std::string::npos ? "" : ops.substr(bar + 1);
    }
  EXPECT_GT(opts.size(), 30u);
  std::string missing;
  for (const std::string& o : opts) {
    bool found = false;
    for (size_t at = html.find("-" + o); at != std::string::npos && !found; at = html.find("-" + o, at + 1)) {
      char next = at + o.size() + 1 < html.size() ? html[at + o.size() + 1] : 0;
      found = (at == 0 || !isalnum((unsigned char)html[at - 1])) && strchr(":[<, ", next) && next;
    }
    if (!found) missing += o + " ";
  }
  EXPECT_EQ(missing, "");
}

}  // namespace
