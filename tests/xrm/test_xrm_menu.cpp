#include "xrm/xrm_menu.h"

#include <string>

#include "c/log_capture.h"
#include "xrm/tree_fixture.h"

namespace {

class MenuLoad : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(menu_init(&m_, "mm"), 0);
  }
  void TearDown() override {
    menu_free(&m_);
    TreeDb::TearDown();
  }
  int run(const char* name) { return xrm_menu_load(d_, name, "Mn", 1, "mn.name", &m_, kNCmdIds, kCmdIds); }
  // text=iid (~ disabled) or | for separators, submenus in brackets.
  static std::string dump(const menu_item* parent) {
    std::string s;
    for (unsigned i = 0; i < parent->nchildren; ++i) {
      const menu_item* it = parent->children[i];
      s += i ? " " : "";
      if (it->kind == MENU_SEP) {
        s += "|";
        continue;
      }
      s += std::string(it->text ? it->text : it->id) + (it->iid ? "=" + std::to_string(it->iid) : "") +
           (it->enabled ? "" : "~");
      if (it->nchildren) s += "[" + dump(it) + "]";
    }
    return s;
  }
  std::string grp(const char* name) const {
    for (unsigned g = 0; g < m_.ngrps; ++g) {
      if (std::string(m_.grps[g].name) != name) continue;
      std::string s;
      for (unsigned i = 0; i < m_.grps[g].nitems; ++i) s += (i ? " " : "") + std::string(m_.grps[g].items[i]->id);
      return s;
    }
    return "-";
  }
  menu m_{};
};

TEST_F(MenuLoad, ItemsTextsAndRadioGroups) {
  ASSERT_EQ(txr_set(&tx_, "fopen", "mn.name", "en", "_Open", 0), 0);
  ASSERT_EQ(txr_set(&tx_, "file", "mn.name", "en", "_File", 0), 0);
  load("*mn.mm.ids: file, fsort | other\n"
       "*mn.file.ids: fopen |\\\n  exit\n*mn.exit.name: E_xit\n*mn.exit.enabled: No\n"
       "*Mn.fsort.Ids: fsortByName fsortBySize\n*Mn.fsortBySize.Name: By _size\n"
       "*mn.radiogrps: fsort, view\n*mn.radiogrp.fsort: fsortByName, fsortBySize\n");
  LogCapture log;
  ASSERT_EQ(run("mn"), 0);
  // texts: the text store's, else the id; a resource name overrides both
  EXPECT_EQ(dump(&m_.top),
            "_File[_Open=40028 | E_xit=40031~] fsort[fsortByName=40010 By _size=40015] | other");
  EXPECT_EQ(grp("fsort"), "fsortByName fsortBySize");
  EXPECT_EQ(grp("view"), "-");
  EXPECT_TRUE(log.has("Menu radiogrp [view] not found - name: `mn', cls: `Mn'.")) << log.done();
  EXPECT_EQ(m_.nitems, 9u);
  EXPECT_TRUE(mutex_free());
  LogCapture again;
  EXPECT_EQ(run("mn"), 9012);
  EXPECT_TRUE(again.has("Menu [") && again.has("][mm] already loaded - name: `mn', cls: `Mn', nnodes: 9."))
      << again.done();
}

TEST_F(MenuLoad, RefusedMenus) {
  std::string deep = "*deep.mm.ids: s0\n";
  for (int i = 0; i < 40; ++i) deep += "*deep.s" + std::to_string(i) + ".ids: s" + std::to_string(i + 1) + "\n";
  load("*dup.mm.ids: fopen exit fopen\n"
       "*self.mm.ids: file\n*self.file.ids: fopen file\n"
       "*grp.mm.ids: fopen\n*grp.radiogrps: g\n*grp.radiogrp.g: fopen nosuch\n"
       "" +
       deep);
  put("*long.mm.ids", std::string(8200, 'a'));
  put("*longname.mm.ids", "fopen");
  put("*longname.fopen.name", std::string(1100, 'a'));
  struct Row {
    const char* name;
    int code;
    const char* msg;
  };
  const Row rows[] = {
      {"dup", 9007, "Failed to add menu item [fopen] - name: `dup', cls: `Mn'."},
      {"self", 9007, "Menu [mm] item [file] already exist."},
      {"grp", 9006, "Menu item [nosuch] not found - menu["},
      {"long", 9005, "Value too long - name: "},
      {"longname", 9005, "Value too long - name: "},
      {"deep", 9009, "Max menu depth [32] exceeded - name: `deep', id: `s31'."},
  };
  for (const Row& r : rows) {
    LogCapture log;
    EXPECT_EQ(run(r.name), r.code) << r.name;
    EXPECT_TRUE(log.has(r.msg)) << r.name << log.done();
    EXPECT_EQ(m_.nitems, 0u) << r.name;  // nothing half-built stays
    EXPECT_EQ(m_.ngrps, 0u) << r.name;
    EXPECT_STREQ(m_.name, "mm");
    EXPECT_TRUE(mutex_free()) << r.name;
  }
  EXPECT_EQ(run("nothing"), 0);  // no resources: an empty menu
  EXPECT_EQ(m_.nitems, 0u);
  EXPECT_EQ(while_locked([&] { return run("dup"); }), 9011);
  EXPECT_TRUE(mutex_free());
}

}  // namespace
