// The main window's rules: the title, which list commands are enabled, and the sort
// choices its commands make.
#include "quarnw/quarnwrules.h"

#include <string>

#include "c/log_capture.h"
#include "c/str.h"
#include "quarnw/quarnwcfg.h"

namespace {

std::string title(const std::string& path, int pathmax, int count, int focus, const char* t = "Quarn Std") {
  char buf[QUARNW_TITLE_SIZE] = "unchanged";
  if (quarnw_title_fmt(buf, sizeof buf, path.c_str(), pathmax, count, focus, t)) return "<failed>";
  return buf;
}

TEST(Title, PathCountAndProduct) {
  const std::string p50(50, 'p'), p49(49, 'p'), p1100(1100, 'q');
  struct Row {
    std::string path;
    int pathmax, count, focus;
    std::string want;
  };
  const Row rows[] = {
      {p50, 50, 0, -1, p50 + "... - Quarn Std"},       // as long as the limit: cut and marked
      {p49, 50, 0, -1, p49 + " - Quarn Std"},          // shorter: whole
      {"C:\\src", 0, 0, -1, "Quarn Std"},              // limit 0: no path part
      {"C:\\src", -3, 0, -1, "C:\\src - Quarn Std"},   // outside 0..1023: 1000
      {p1100, 5000, 0, -1, std::string(1000, 'q') + "... - Quarn Std"},
      {"", 50, 0, -1, "Quarn Std"},
      {"C:\\src", 50, 12, -1, "C:\\src - 12 - Quarn Std"},
      {"C:\\src", 50, 12, 0, "C:\\src - 1/12 - Quarn Std"},
      {"", 50, 3, 2, "3/3 - Quarn Std"},
      // UTF-8: counted and cut by characters; "C:\\\xC3\xA9t\xC3\xA9" is six
      {"C:\\\xC3\xA9t\xC3\xA9", 5, 0, -1, "C:\\\xC3\xA9t... - Quarn Std"},
      {"C:\\\xC3\xA9t\xC3\xA9", 4, 0, -1, "C:\\\xC3\xA9... - Quarn Std"},
      {"C:\\\xC3\xA9t\xC3\xA9", 6, 0, -1, "C:\\\xC3\xA9t\xC3\xA9... - Quarn Std"},
      {"C:\\\xC3\xA9t\xC3\xA9", 7, 0, -1, "C:\\\xC3\xA9t\xC3\xA9 - Quarn Std"},
  };
  for (const Row& r : rows) EXPECT_EQ(title(r.path, r.pathmax, r.count, r.focus), r.want) << r.path.size();
  EXPECT_EQ(title("x", 50, 0, -1, nullptr), "x - ");
}

TEST(Title, TooSmallBufferKeepsTheOldTitle) {
  char buf[8] = "old";
  LogCapture log;
  EXPECT_EQ(quarnw_title_fmt(buf, sizeof buf, "C:\\long\\path", 50, 0, -1, "Quarn Std"), 9005);
  EXPECT_STREQ(buf, "old");
  EXPECT_TRUE(log.has("mox_snprintf() failed - size: 1024.")) << log.got;
}

TEST(Enabling, ListCommandsByCounts) {
  // usable, selected -> fcp fcut fcpto fmvto fdel fattrib | fedit fopen fopendir | fopenas | fexec
  struct Row {
    unsigned usable, selected;
    int ops, open, openas;
  };
  const Row rows[] = {
      {0, 0, 0, 0, 0},  // empty list
      {2, 0, 1, 0, 0},  // entries, nothing selected: the operations act on the whole list
      {1, 1, 1, 1, 1},
      {2, 2, 1, 1, 0},  // two selected: no "open with"
      {1, 2, 1, 1, 0},
      {0, 3, 0, 0, 0},  // only unusable entries selected
  };
  const int ops[] = {40004, 40005, 40032, 40033, 40034, 40035};
  const int open[] = {40027, 40028, 40030};
  for (const Row& r : rows) {
    int on = -1;
    for (int id : ops) {
      ASSERT_EQ(quarnw_cmd_enabled(id, r.usable, r.selected, &on), 0);
      EXPECT_EQ(on, r.ops) << id << " " << r.usable << "/" << r.selected;
    }
    for (int id : open) {
      ASSERT_EQ(quarnw_cmd_enabled(id, r.usable, r.selected, &on), 0);
      EXPECT_EQ(on, r.open) << id << " " << r.usable << "/" << r.selected;
    }
    ASSERT_EQ(quarnw_cmd_enabled(40029, r.usable, r.selected, &on), 0);
    EXPECT_EQ(on, r.openas) << r.usable << "/" << r.selected;
    ASSERT_EQ(quarnw_cmd_enabled(40036, r.usable, r.selected, &on), 0);
    EXPECT_EQ(on, 0) << "fexec is never enabled";
  }
  LogCapture log;
  int on = -1;
  EXPECT_EQ(quarnw_cmd_enabled(40001, 1, 1, &on), 9003);
  EXPECT_EQ(on, -1);
}

class Sorting : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(quarnwcfg_init(&c_), 0);
    ASSERT_EQ(quarnwcfg_set_dflts(&c_), 0);
  }
  void TearDown() override { quarnwcfg_free(&c_); }
  quarnwcfg c_{};
};

TEST_F(Sorting, ChoosingAColumn) {
  struct Step {
    const char* col;
    int revdflt;
    const char* sortby;
    int rev;
  };
  // another column takes its default direction; the column in force turns around
  const Step steps[] = {{"name", 0, "name,dir", 0}, {"name", 0, "name,dir", 1}, {"name", 0, "name,dir", 0},
                        {"size", 1, "size,path", 1}, {"size", 1, "size,path", 0}, {"md", 0, "md,path", 0}};
  for (const Step& s : steps) {
    ASSERT_EQ(quarnw_sort_choose(&c_, quarnwcfg_sortby_of(&c_, s.col), s.revdflt), 0);
    EXPECT_STREQ(c_.sortby, s.sortby);
    EXPECT_EQ(c_.sortrev, s.rev) << s.col;
  }
  // the sortby text is compared with case
  mox_strcpy(c_.sortby, sizeof c_.sortby, "Name,Dir");
  c_.sortrev = 1;
  ASSERT_EQ(quarnw_sort_choose(&c_, "name,dir", 0), 0);
  EXPECT_EQ(c_.sortrev, 0);
}

TEST_F(Sorting, DirectoriesFirstExcludeEachOther) {
  // grp: 1 fgrpdir1st, 0 fpathdir1st -> grpdir1st, pathdir1st
  const int steps[][3] = {{1, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 0}, {0, 0, 1}, {0, 0, 0}};
  for (auto& s : steps) {
    EXPECT_EQ(quarnw_toggle_dir1st(&c_, s[0]), 0) << "unsorted: no sort again";
    EXPECT_EQ(c_.grpdir1st, s[1]);
    EXPECT_EQ(c_.pathdir1st, s[2]);
  }
  mox_strcpy(c_.sortby, sizeof c_.sortby, "path");
  EXPECT_EQ(quarnw_toggle_dir1st(&c_, 1), 1) << "sorted: sort again";
}

TEST(SortCommands, Columns) {
  const std::pair<int, const char*> rows[] = {{40012, "ad"},  {40016, "attr"}, {40013, "Bd"},    {40009, "dir"},
                                              {40026, "err"}, {40011, "ext"},  {40014, "md"},    {40010, "name"},
                                              {40023, "path"}, {40024, "rpath"}, {40015, "size"}};
  for (auto& r : rows) EXPECT_STREQ(quarnw_sortcol(r.first), r.second);
  EXPECT_EQ(quarnw_sortcol(40017), nullptr) << "fsortrev is not a column";
}

}  // namespace
