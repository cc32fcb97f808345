// Window menus built from menu records and read back from the window system.
#include <windows.h>

#include <algorithm>
#include <string>

#include "c/log_capture.h"
#include "ui/menu.h"
#include "ui/win32/menu_test.h"
#include "xrm/tree_fixture.h"
#include "xrm/xrm_menu.h"

namespace {

struct Menu {
  menu m{};
  Menu() { EXPECT_EQ(menu_init(&m, "tm"), 0); }
  ~Menu() {
    menu_destroy(&m);
    menu_free(&m);
  }
  menu_item* add(menu_item* parent, const char* id, int iid, const char* text = nullptr, int enabled = 1) {
    menu_item* it = menu_add(&m, parent, id, iid, text, enabled);
    EXPECT_NE(it, nullptr) << id;
    return it;
  }
};

// File (Open, |, Exit) and Sort (By name, By size, |, Reverse) with a radio group.
void fill(Menu& t) {
  menu_item* file = t.add(nullptr, "file", 0, "_File");
  t.add(file, "fopen", 40028, "_Open\tEnter");
  t.add(file, "|", 0);
  t.add(file, "exit", 40031, "E_xit");
  menu_item* sort = t.add(nullptr, "fsort", 0, "_Sort");
  t.add(sort, "fsortByName", 40010, "By _name");
  t.add(sort, "fsortBySize", 40015, "By \\_size", 0);
  t.add(sort, "|", 0);
  t.add(sort, "fsortrev", 40017, "_Reverse");
  int g = -1;
  ASSERT_EQ(menu_radiogrp_add(&t.m, "fsort", &g), 0);
  ASSERT_EQ(menu_radiogrp_add_item(&t.m, g, "fsortByName"), 0);
  ASSERT_EQ(menu_radiogrp_add_item(&t.m, g, "fsortBySize"), 0);
}

TEST(MenuWin, BarBuiltAndReadBack) {
  Menu t;
  fill(t);
  ASSERT_EQ(menu_build_bar(&t.m), 0);
  HMENU bar = static_cast<HMENU>(t.m.wmenu);
  EXPECT_EQ(dump(bar),
            "&File>[&Open\tEnter=40028 | E&xit=40031] &Sort>[(o)By &name=40010 (o)By _size=40015~ | &Reverse=40017]");
  // radio marks: at most one of the group
  ASSERT_EQ(menu_check(&t.m, "fsortBySize", 1), 0);
  ASSERT_EQ(menu_check(&t.m, "fsortByName", 1), 0);
  ASSERT_EQ(menu_check(&t.m, "fsortrev", 1), 0);
  EXPECT_EQ(dump(bar),
            "&File>[&Open\tEnter=40028 | E&xit=40031] &Sort>[(o)By &name=40010* (o)By _size=40015~ | &Reverse=40017*]");
  ASSERT_EQ(menu_check(&t.m, "fsortBySize", 1), 0);
  ASSERT_EQ(menu_check(&t.m, "fsortrev", 0), 0);
  ASSERT_EQ(menu_enable(&t.m, "fsortBySize", 1), 0);
  ASSERT_EQ(menu_enable(&t.m, "exit", 0), 0);
  EXPECT_EQ(dump(bar),
            "&File>[&Open\tEnter=40028 | E&xit=40031~] &Sort>[(o)By &name=40010 (o)By _size=40015* | &Reverse=40017]");
  {
    LogCapture log;
    EXPECT_EQ(menu_check(&t.m, "nosuch", 1), 9006);
    EXPECT_TRUE(log.has("Menu item [nosuch] not found - menu[") && log.has("]: `tm'.")) << log.done();
  }
  // a second record of the same description attaches to the built menu
  Menu u;
  fill(u);
  ASSERT_EQ(menu_attach(&u.m, bar), 0);
  EXPECT_EQ(menu_find(&u.m, "fsortrev")->ipos, 3);
  ASSERT_EQ(menu_check(&u.m, "fsortByName", 1), 0);
  EXPECT_EQ(dump(bar),
            "&File>[&Open\tEnter=40028 | E&xit=40031~] &Sort>[(o)By &name=40010* (o)By _size=40015 | &Reverse=40017]");
  u.m.wmenu = nullptr;  // the bar is t's to destroy
  ASSERT_EQ(menu_destroy(&t.m), 0);
  EXPECT_EQ(t.m.wmenu, nullptr);
  EXPECT_EQ(menu_find(&t.m, "exit")->wmenu, nullptr);
  ASSERT_EQ(menu_build_popup(&t.m), 0);  // built again, as a pop-up this time
  EXPECT_EQ(t.m.popup, 1);
}

TEST(MenuWin, RefusedBuilds) {
  {
    Menu t;
    LogCapture log;
    EXPECT_EQ(menu_build_bar(&t.m), 9002);
    EXPECT_TRUE(log.has("No menu items - menu[") && log.has("]: `tm'.")) << log.done();
  }
  {
    Menu t;
    menu_item* file = t.add(nullptr, "file", 0);
    t.add(file, "orphan", 0);
    LogCapture log;
    EXPECT_EQ(menu_build_popup(&t.m), 9002);
    EXPECT_EQ(t.m.wmenu, nullptr);
    EXPECT_TRUE(log.has("No menu item iid - menu[") && log.has("]: `tm', id: `orphan'.")) << log.done();
  }
  {
    Menu t, u;
    fill(t);
    ASSERT_EQ(menu_build_bar(&t.m), 0);
    u.add(nullptr, "file", 0);  // File holds nothing here, a submenu there
    u.add(nullptr, "fsort", 0);
    u.add(menu_find(&u.m, "file"), "exit", 40031);
    LogCapture log;
    EXPECT_EQ(menu_attach(&u.m, t.m.wmenu), 9012);
    EXPECT_TRUE(log.has("Invalid menu [tm] configuration - id: `exit', iid: 40031, ipos: 0, item_count: 3."))
        << log.done();
    EXPECT_EQ(u.m.wmenu, nullptr);
  }
}

class BuiltinMenu : public TreeDb {};

// The program's main menu and the result list's context menu from its own files.
TEST_F(BuiltinMenu, ReadBack) {
  load_builtin();
  Menu t;
  menu_free(&t.m);
  ASSERT_EQ(menu_init(&t.m, "menu"), 0);
  ASSERT_EQ(xrm_menu_load(d_, "menu", nullptr, 1, "menu.name", &t.m, kNCmdIds, kCmdIds), 0);
  ASSERT_EQ(menu_build_bar(&t.m), 0);
  HMENU bar = static_cast<HMENU>(t.m.wmenu);
  ASSERT_EQ(GetMenuItemCount(bar), 4);
  auto sub = [&](int i) { return dump(GetSubMenu(bar, i)); };
  EXPECT_EQ(sub(3), "&Manual=40003 | &About...\tAlt+/=40001");
  const std::string file = sub(0), view = sub(1), sort = sub(2);
  EXPECT_EQ(file.substr(0, 22), "&Open=40028 Open &with");
  EXPECT_NE(file.find("=40036~ |"), std::string::npos) << file;  // fexec: always disabled
  EXPECT_EQ(std::count(file.begin(), file.end(), '|'), 4) << file;
  EXPECT_EQ(view.substr(0, 20), "(o)&Standard=40006 (") << view;
  EXPECT_NE(view.find("=40007~ (o)"), std::string::npos) << view;
  size_t radios = 0;
  for (size_t p = sort.find("(o)"); p != std::string::npos; p = sort.find("(o)", p + 1)) ++radios;
  EXPECT_EQ(radios, 11u) << sort;
  EXPECT_EQ(sort.find("(o)", sort.find("=40026")), std::string::npos) << sort;  // the group ends with fsortByErr
  // one radio mark in the sort group
  ASSERT_EQ(menu_check(&t.m, "fsortBySize", 1), 0);
  ASSERT_EQ(menu_check(&t.m, "fsortByName", 1), 0);
  const std::string marked = sub(2);
  EXPECT_NE(marked.find("=40010*"), std::string::npos) << marked;
  EXPECT_EQ(marked.find("=40015*"), std::string::npos) << marked;
  EXPECT_EQ(std::count(marked.begin(), marked.end(), '*'), 1) << marked;

  Menu ctx;
  menu_free(&ctx.m);
  ASSERT_EQ(menu_init(&ctx.m, "flistMenu"), 0);
  ASSERT_EQ(xrm_menu_load(d_, "flistMenu", nullptr, 1, "flistMenu.name", &ctx.m, kNCmdIds, kCmdIds), 0);
  ASSERT_EQ(menu_build_popup(&ctx.m), 0);
  const std::string pop = dump(static_cast<HMENU>(ctx.m.wmenu));
  EXPECT_NE(pop.find("&Copy\tCtrl+C=40004"), std::string::npos) << pop;
  EXPECT_NE(pop.find(">[(o)"), std::string::npos) << pop;  // the Sort submenu with its radio entries
}

}  // namespace
