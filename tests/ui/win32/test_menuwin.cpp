// Window menus built from menu records and read back from the window system.
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "ui/menu.h"
#include "ui/win32/menu_test.h"

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
  EXPECT_EQ(menu_find(&t.m, "exit")->ipos, 2);
  EXPECT_EQ(menu_find(&t.m, "exit")->wmenu, menu_find(&t.m, "fopen")->wmenu);
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
    EXPECT_EQ(menu_enable(&t.m, "nosuch", 0), 9006);
    EXPECT_TRUE(log.has("Menu item [nosuch] not found - menu[") && log.has("]: `tm'.")) << log.done();
  }
  {
    LogCapture log;
    EXPECT_EQ(menu_build_popup(&t.m), 9007);
    EXPECT_TRUE(log.has("Menu already exist - menu[")) << log.done();
  }
  EXPECT_EQ(dump(bar),
            "&File>[&Open\tEnter=40028 | E&xit=40031~] &Sort>[(o)By &name=40010 (o)By _size=40015* | &Reverse=40017]");
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

}  // namespace
