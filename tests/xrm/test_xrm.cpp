#include "xrm/xrm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "c/log_capture.h"
#include "xrm/xrm_test.h"
#include "c/str.h"
#include "c/val.h"

namespace {

class Xrm : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(xrm_init(&x_, "quarnw", "Mox", "joe", nullptr, nullptr), 0);
    d_ = xrm_db_new(&x_);
    ASSERT_NE(d_, nullptr);
  }
  void TearDown() override { xrm_free(&x_); }
  // The value found, or "#code".
  std::string get(const char* name, const char* cls = nullptr, int qualify = 0) {
    char buf[256];
    int rc = xrm_get_str(d_, name, cls, qualify, buf, sizeof buf);
    return rc ? "#" + std::to_string(rc) : buf;
  }
  void put(const char* spec, const char* value) { ASSERT_EQ(xrm_put(d_, spec, 0, value), 0) << spec; }
  xrm x_{};
  db* d_ = nullptr;
};

TEST_F(Xrm, BestMatchingPatternWins) {
  put("*col.size.align", "col");
  put("*fcplist.col.size.align", "fcplist");
  put("*geometry", "loose");
  put("geometry", "tight");
  put("*Col.Size.Align", "by class");
  put("*flist.col.size.wPref", "12C");
  put("*flist*wPref", "8C");
  put("*WPref", "4C");
  struct {
    const char* name;
    const char* cls;
    const char* want;
  } cases[] = {
      {"quarnw.fcplist.col.size.align", "Quarnw.Flist.Col.Size.Align", "fcplist"},
      {"quarnw.flist.col.size.align", "Quarnw.Flist.Col.Size.Align", "col"},
      {"quarnw.flist.x.y.align", "Quarnw.Flist.Col.Size.Align", "by class"},
      {"quarnw.flist.x.y.align", nullptr, "#9006"},
      {"geometry", nullptr, "loose"},  // equal scores: the first in tree order, loose before tight
      {"quarnw.main.geometry", "Quarnw.Frame.Geometry", "loose"},
      {"quarnw.flist.col.size.wPref", "Quarnw.Flist.Col.Size.WPref", "12C"},
      {"quarnw.flist.col.name.wPref", "Quarnw.Flist.Col.Name.WPref", "8C"},
      {"quarnw.dlist.col.name.wPref", "Quarnw.Dlist.Col.Name.WPref", "4C"},
      {"quarnw.dlist.col.name.w", "Quarnw.Dlist.Col.Name.W", "#9006"},
      {"", nullptr, "#9006"},
  };
  for (const auto& c : cases) EXPECT_EQ(get(c.name, c.cls), c.want) << c.name;
}

TEST_F(Xrm, StoringReplacesOnlyTheSamePattern) {
  put("*a.b", "1");
  put("*a.b", "2");
  put("*a*b", "loose");
  put("a.b", "tight");
  EXPECT_EQ(xrm_db_count(d_), 3u);
  EXPECT_EQ(get("x.a.b"), "2");
  EXPECT_EQ(get("a.b"), "2");  // scores equal to "a.b", and a loose binding sorts first
  EXPECT_EQ(get("x.a.y.b"), "loose");
  put("*a.b", nullptr);  // without a value
  EXPECT_EQ(get("x.a.b"), "");
  ASSERT_EQ(xrm_put(d_, "*a.b", 1, "qualified"), 0);
  EXPECT_EQ(get("joe.quarnw.x.a.b"), "qualified");
  EXPECT_EQ(get("ann.quarnw.x.a.b"), "");
  EXPECT_EQ(get("joe.quarnw.a.b"), "qualified");
  EXPECT_EQ(get("a.b", nullptr, 1), "qualified");
}

TEST_F(Xrm, RefusedQueries) {
  put("*a", "v");
  LogCapture log;
  EXPECT_EQ(get("x*a"), "#9003");
  EXPECT_EQ(get("x.a", "X*A"), "#9003");
  EXPECT_EQ(get("x.a", "A"), "#9003");
  std::string many = "x";
  for (int i = 1; i < 300; ++i) many += ".a";
  EXPECT_EQ(get(many.c_str()), "#9009");
  EXPECT_EQ(xrm_put(d_, many.c_str(), 0, "v"), 9009);
  EXPECT_EQ(xrm_put(d_, "...", 0, "v"), 9003);
  const std::string& got = log.done();
  for (const char* m : {"Not fully qualified name/class - name: `x*a', cls: `NUL'.",
                        "Resource name/class mismatch - name: `x.a', cls: `A'.", "Max quarks exceeded"})
    EXPECT_NE(got.find(m), std::string::npos) << m;
}

const enum_item kAlignItems[] = {{0, "left"}, {1, "center"}, {2, "right"}};
const enum_list kAlign = {3, kAlignItems};

TEST_F(Xrm, TypedValuesStoredAsText) {
  int i = -42, align = 2;
  unsigned u = 4000000000u;
  ASSERT_EQ(xrm_put_val(d_, "*i", 0, VAL_INT, &i, 0, nullptr), 0);
  ASSERT_EQ(xrm_put_val(d_, "*u", 0, VAL_UINT, &u, 0, nullptr), 0);
  ASSERT_EQ(xrm_put_val(d_, "*align", 0, VAL_ENUM, &align, 0, &kAlign), 0);
  ASSERT_EQ(xrm_put_val(d_, "*s", 0, VAL_STR, "text", 0, nullptr), 0);
  EXPECT_EQ(get("x.i") + "|" + get("x.u") + "|" + get("x.align") + "|" + get("x.s"), "-42|4000000000|right|text");
  int galign = 2;  // kept when the text is no name of the list
  LogCapture log;
  put("*align", "middle");
  EXPECT_EQ(xrm_get(d_, "x.align", nullptr, 0, VAL_ENUM, &galign, nullptr, nullptr, &kAlign), 9012);
  EXPECT_EQ(galign, 2);
  align = 7;
  EXPECT_EQ(xrm_put_val(d_, "*align", 0, VAL_ENUM, &align, 0, &kAlign), 9006);
  EXPECT_EQ(get("x.align"), "middle");
}

struct Rec {
  int w;
  char title[16];
  unsigned title_max;
  int align;
  cfg_wndpl wp;
  unsigned wp_size, wp_max;
  int untouched;
  void* handle;
};

const cfg_item kItems[] = {
    {VAL_INT, offsetof(Rec, w), -1, -1, "0", {}, 0, nullptr, nullptr, "w", "W", nullptr},
    {VAL_STRBUF, offsetof(Rec, title), -1, offsetof(Rec, title_max), "", {}, 0, nullptr, nullptr, "name", "Name",
     nullptr},
    {VAL_ENUM, offsetof(Rec, align), -1, -1, "left", {&kAlign}, XRM_ITEM_NOQUALIFY, nullptr, nullptr, "align",
     "Align", nullptr},
    {VAL_DATABUF, offsetof(Rec, wp), offsetof(Rec, wp_size), offsetof(Rec, wp_max), nullptr, {cfg_wndpl_cvt},
     CFG_F_CVT, nullptr, nullptr, "wndpl", "Wndpl", nullptr},
    {VAL_INT, offsetof(Rec, untouched), -1, -1, "5", {}, 0, "opt", nullptr, nullptr, nullptr, nullptr},
    {VAL_PTR, offsetof(Rec, handle), -1, -1, nullptr, {}, 0, nullptr, nullptr, "handle", "Handle", nullptr},
};
constexpr unsigned kNItems = sizeof kItems / sizeof kItems[0];

TEST_F(Xrm, SettingsRecordThroughItems) {
  Rec r{};
  r.title_max = sizeof r.title;
  r.wp_max = sizeof r.wp;
  r.w = 77;
  r.untouched = 5;
  mox_strcpy(r.title, sizeof r.title, "dflt");
  put("joe.quarnw.flist.col.size.name", "Size");
  put("*flist.col.size.align", "right");  // read unqualified by its flag
  put("*flist.col.size.handle", "0x10");  // a pointer has no text form: neither read nor written
  put("*Size.Wndpl", "-showCmd:SW_SHOWNORMAL -ptMinPosition:1,2 -ptMaxPosition:3,4 -rcNormalPosition:5,6,7,8");
  ASSERT_EQ(xrm_get_items(d_, &r, kNItems, kItems, "flist.col.size", "Flist.Col.Size", 1), 0);
  EXPECT_EQ(r.w, 77);  // not found: kept
  EXPECT_STREQ(r.title, "Size");
  EXPECT_EQ(r.align, 2);
  EXPECT_EQ(r.wp.rcNormalPosition[2], 7);
  EXPECT_EQ(r.untouched, 5);
  EXPECT_EQ(r.handle, nullptr);

  // and back, into another database, then read again
  db* d2 = xrm_db_new(&x_);
  ASSERT_NE(d2, nullptr);
  r.w = 120;
  ASSERT_EQ(xrm_put_items(d2, &r, kNItems, kItems, "flist.col.size", 1), 0);
  EXPECT_EQ(xrm_db_count(d2), 4u);
  Rec r2{};
  r2.title_max = sizeof r2.title;
  r2.wp_max = sizeof r2.wp;
  ASSERT_EQ(xrm_get_items(d2, &r2, kNItems, kItems, "flist.col.size", "Flist.Col.Size", 1), 0);
  EXPECT_EQ(r2.w, 120);
  EXPECT_STREQ(r2.title, "Size");
  EXPECT_EQ(r2.align, 2);
  EXPECT_EQ(memcmp(&r2.wp, &r.wp, sizeof r.wp), 0);

  // a failure other than not found stops the load
  ASSERT_EQ(xrm_put(d2, "flist.col.size.align", 0, "middle"), 0);
  r2.w = 1;
  LogCapture log;
  EXPECT_EQ(xrm_get_items(d2, &r2, kNItems, kItems, "flist.col.size", "Flist.Col.Size", 1), 9012);
  EXPECT_EQ(r2.w, 120);
}

TEST_F(Xrm, SavedSortedByPatternAndEscaped) {
  put("*b.wPref", "12C");
  put("*a", " lead and trail ");
  put("*Z", "tab\there\nline");
  put("*c", "ends in \\");
  put("quarnw.x", "");
  const std::string path = testing::TempDir() + "xrm_save_test.cfg";
  ASSERT_EQ(xrm_db_save(d_, path.c_str()), 0);
  EXPECT_EQ(read_file(path),
            "*Z : tab\\there\\nline\n"
            "*a : \\wlead and trail\\w\n"
            "*b.wPref : 12C\n"
            "*c : ends in \\\\ \n"
            "quarnw.x : \n");
  std::string longv(5000, '\n');
  put("*long", longv.c_str());
  {
    LogCapture log;
    EXPECT_EQ(xrm_db_save(d_, path.c_str()), 9005);
    EXPECT_TRUE(log.has("Buf too small - spec: `*long', len: 10009, bufsize: 8512."));
  }
  LogCapture log;
  EXPECT_NE(read_file(path).find("quarnw.x : \n"), std::string::npos);  // the other lines written
  EXPECT_NE(xrm_db_save(d_, (testing::TempDir() + "no/such/dir/x.cfg").c_str()), 0);
  EXPECT_TRUE(log.has("Failed to open file `"));
  remove(path.c_str());
}

struct Calls {
  std::string log;
  db* d = nullptr;
  char selfid[16] = "";
  int stop = 0;
};

int record(db*, unsigned long ev, const char* spec, const char* value, void* u) {
  Calls* c = static_cast<Calls*>(u);
  c->log += "r" + std::to_string(ev) + ":" + spec + "=" + value + " ";
  return c->stop;
}
int record2(db*, unsigned long, const char* spec, const char*, void* u) {
  static_cast<Calls*>(u)->log += std::string("s:") + spec + " ";
  return 0;
}
int remove_self(db* d, unsigned long, const char* spec, const char*, void* u) {
  Calls* c = static_cast<Calls*>(u);
  c->log += std::string("x:") + spec + " ";
  EXPECT_EQ(xrm_del_cb(d, c->selfid), 0);
  return 0;
}

TEST_F(Xrm, CallbacksInOrderWithDeferredRemoval) {
  Calls c;
  char id[16];
  ASSERT_EQ(xrm_add_cb(d_, XRM_EV_SET, remove_self, &c, c.selfid, sizeof c.selfid), 0);
  ASSERT_EQ(xrm_add_cb(d_, XRM_EV_SET, record, &c, id, sizeof id), 0);
  ASSERT_EQ(xrm_add_cb(d_, 2, record2, &c, nullptr, 0), 0);  // another event only
  EXPECT_STREQ(c.selfid, "0");
  EXPECT_STREQ(id, "1");
  {
    LogCapture log;
    EXPECT_EQ(xrm_add_cb(d_, XRM_EV_SET, record, &c, nullptr, 0), 9007);
    EXPECT_TRUE(log.has("Cb already exist - mask: 0X1, cb: "));
  }
  put("*a", "1");
  put("*b", "2");
  EXPECT_EQ(c.log, "x:*a r1:*a=1 r1:*b=2 ");
  c.log.clear();
  c.stop = 1;
  ASSERT_EQ(xrm_add_cb(d_, XRM_EV_SET, record2, &c, nullptr, 0), 0);
  put("*c", "3");
  EXPECT_EQ(c.log, "r1:*c=3 ");  // a non-zero result ends the notification
  EXPECT_EQ(xrm_del_cb(d_, id), 0);
  c.log.clear();
  put("*d", "4");
  EXPECT_EQ(c.log, "s:*d ");
  EXPECT_EQ(xrm_del_cb(d_, id), 9006);
}

TEST_F(Xrm, MutexTimesOutWithoutChangesAndNests) {
  std::atomic<int> held{0};
  std::atomic<int> done{0};
  std::thread t([&] {
    ASSERT_EQ(xrm_lock(d_), 0);
    held = 1;
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    xrm_unlock(d_);
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  LogCapture log;
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(xrm_put(d_, "*a", 0, "v"), 9011);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  done = 1;
  t.join();
  EXPECT_GE(ms, 900);
  EXPECT_EQ(xrm_db_count(d_), 0u);
  EXPECT_EQ(get("x.a"), "#9006");

  // nested holds of one thread: released only by the outermost unlock
  ASSERT_EQ(xrm_lock(d_), 0);
  ASSERT_EQ(xrm_lock(d_), 0);
  EXPECT_EQ(xrm_put(d_, "*a", 0, "v"), 0);
  EXPECT_EQ(xrm_unlock(d_), 0);
  int other = -1;
  std::thread([&] { other = xrm_put(d_, "*b", 0, "w"); }).join();
  EXPECT_EQ(other, 9011);
  EXPECT_EQ(xrm_unlock(d_), 0);
  std::thread([&] { other = xrm_put(d_, "*b", 0, "w"); }).join();
  EXPECT_EQ(other, 0);
  EXPECT_EQ(xrm_unlock(d_), 9012);  // not held
}

}  // namespace
