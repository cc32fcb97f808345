#include "ui/menu.h"

#include <string>

#include "c/log_capture.h"

namespace {

TEST(MenuText, Conversion) {
  struct Row {
    const char* src;
    const char* out;
  };
  const Row rows[] = {
      {"Co_lumns...", "Co&lumns..."},
      {"_Delete...\tDel", "&Delete...\tDel"},
      {"a\\_b", "a_b"},          // a backslash makes the next character literal
      {"a\\\\b", "a\\b"},
      {"x\\", "x"},              // nothing follows the last backslash
      {"", ""},
  };
  for (const Row& r : rows) {
    char buf[MENU_TEXT_SIZE];
    EXPECT_EQ(menu_text_cvt(buf, sizeof buf, r.src), 0) << r.src;
    EXPECT_STREQ(buf, r.out);
  }
  // 255 characters fit with the terminating zero, the 256th is cut
  std::string fits(255, 'a'), over(256, '_');
  char buf[MENU_TEXT_SIZE];
  EXPECT_EQ(menu_text_cvt(buf, sizeof buf, fits.c_str()), 0);
  EXPECT_EQ(std::string(buf), fits);
  LogCapture log;
  EXPECT_EQ(menu_text_cvt(buf, sizeof buf, over.c_str()), 9005);
  EXPECT_EQ(std::string(buf), std::string(255, '&'));
  EXPECT_TRUE(log.has("`dest' is too small [256] - src: `" + std::string(50, '_') + "'.")) << log.done();
}

struct Menu {
  menu m{};
  explicit Menu(const char* name = "tm") { EXPECT_EQ(menu_init(&m, name), 0); }
  ~Menu() { menu_free(&m); }
};

TEST(MenuTree, ItemsSeparatorsAndIds) {
  Menu t;
  menu_item* file = menu_add(&t.m, nullptr, "file", 0, "_File", 1);
  ASSERT_NE(file, nullptr);
  menu_item* open = menu_add(&t.m, file, "fopen", 40028, nullptr, 1);
  menu_item* sep1 = menu_add(&t.m, file, "|", 0, nullptr, 1);
  menu_item* sep2 = menu_add(&t.m, file, "|", 77, "ignored", 0);  // separators repeat and carry nothing
  menu_item* ex = menu_add(&t.m, file, "exit", 40031, nullptr, 0);
  ASSERT_TRUE(open && sep1 && sep2 && ex);
  EXPECT_EQ(file->nchildren, 4u);
  EXPECT_EQ(sep2->kind, MENU_SEP);
  EXPECT_EQ(t.m.nitems, 5u);
  EXPECT_EQ(menu_find(&t.m, "exit"), ex);
  EXPECT_EQ(menu_find(&t.m, "|"), nullptr);
  EXPECT_EQ(menu_find(&t.m, "Exit"), nullptr);
  EXPECT_STREQ(menu_iid_id(&t.m, 40031), "exit");
  {
    LogCapture log;
    int err = 0;
    EXPECT_EQ(menu_iid_id(&t.m, 1, &err), nullptr);
    EXPECT_EQ(err, 9006);
    EXPECT_TRUE(log.has("No `iid' [1] - menu[") && log.has("]: `tm'.")) << log.done();
  }
  {
    LogCapture log;
    int err = 0;
    EXPECT_EQ(menu_add(&t.m, nullptr, "exit", 1, nullptr, 1, &err), nullptr);
    EXPECT_EQ(err, 9007);
    EXPECT_TRUE(log.has("Menu [tm] item [exit] already exist.")) << log.done();
  }
  EXPECT_EQ(t.m.top.nchildren, 1u);
  EXPECT_EQ(menu_set_text(&t.m, ex, "E_xit"), 0);
  EXPECT_STREQ(ex->text, "E_xit");
}

TEST(MenuTree, RadioGroups) {
  Menu t;
  for (const char* id : {"fsortByName", "fsortBySize", "fsortrev"}) ASSERT_NE(menu_add(&t.m, nullptr, id, 1, nullptr, 1), nullptr);
  int g = -1, g2 = -1, again = -1;
  ASSERT_EQ(menu_radiogrp_add(&t.m, "fsort", &g), 0);
  ASSERT_EQ(menu_radiogrp_add(&t.m, "view", &g2), 0);
  ASSERT_EQ(menu_radiogrp_add(&t.m, "fsort", &again), 0);
  EXPECT_EQ(again, g);
  EXPECT_NE(g, g2);
  EXPECT_EQ(menu_radiogrp_add_item(&t.m, g, "fsortByName"), 0);
  EXPECT_EQ(menu_radiogrp_add_item(&t.m, g, "fsortBySize"), 0);
  EXPECT_EQ(menu_radiogrp_add_item(&t.m, g, "fsortBySize"), 0);  // once only
  EXPECT_EQ(t.m.grps[g].nitems, 2u);
  EXPECT_EQ(menu_find(&t.m, "fsortBySize")->grp, g);
  EXPECT_EQ(menu_find(&t.m, "fsortrev")->grp, -1);
  // an item moved to another group leaves the first
  EXPECT_EQ(menu_radiogrp_add_item(&t.m, g2, "fsortBySize"), 0);
  EXPECT_EQ(t.m.grps[g].nitems, 1u);
  EXPECT_EQ(menu_find(&t.m, "fsortBySize")->grp, g2);
  LogCapture log;
  EXPECT_EQ(menu_radiogrp_add_item(&t.m, g, "nosuch"), 9006);
  EXPECT_TRUE(log.has("Menu item [nosuch] not found - menu[") && log.has("]: `tm'.")) << log.done();
}

}  // namespace
