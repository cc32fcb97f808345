#include "c/cfg.h"

#include <cstddef>
#include <cstring>

#include "c/log_capture.h"
#include "c/str.h"
#include "c/val.h"

namespace {

struct Settings {
  int hidden;           // boolean
  char* name;           // heap text with its buffer size
  unsigned name_max;
  char title[8];        // fixed text
  unsigned title_max;
  unsigned char id[4];  // fixed bytes
  unsigned id_size, id_max;
  void* blob;           // heap bytes
  unsigned blob_size;
  int level;            // through a converter
  void* handle;         // pointer: never converted or copied
  cfg_wndpl wp;         // window placement
  unsigned wp_size, wp_max;
};

int level_cvt(unsigned, void* val, unsigned*, unsigned*, char* str, unsigned, int dir) {
  if (!dir || (strcmp(str, "low") && strcmp(str, "high"))) return 9012;
  *(int*)val = strcmp(str, "low") ? 9 : 1;
  return 0;
}

constexpr char kWp[] = "-showCmd:sw_showmaximized -ptMinPosition:-1,-2 -ptMaxPosition:3,4 "
                       "-rcNormalPosition:10,20,300,400";

#define OFF(f) (int)offsetof(Settings, f)
const cfg_item kItems[] = {
    {VAL_BOOL, OFF(hidden), -1, -1, "yes", nullptr, 0, "hidden", "Yes", "hidden", "Hidden", nullptr},
    {VAL_STR, OFF(name), -1, OFF(name_max), "a\\tb", nullptr, 0, "name", nullptr, nullptr, nullptr, nullptr},
    {VAL_STRBUF, OFF(title), -1, OFF(title_max), "T", nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr},
    {VAL_DATABUF, OFF(id), OFF(id_size), OFF(id_max), "0102", nullptr, 0, "id", nullptr, nullptr, nullptr,
     nullptr},
    {VAL_DATA, OFF(blob), OFF(blob_size), -1, "CAFE00", nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr},
    {VAL_INT, OFF(level), -1, -1, "high", level_cvt, CFG_F_CVT, "level", nullptr, "lvl", nullptr, nullptr},
    {VAL_PTR, OFF(handle), -1, -1, "ignored", nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr},
    {VAL_DATABUF, OFF(wp), OFF(wp_size), OFF(wp_max), kWp, cfg_wndpl_cvt, CFG_F_CVT, "wp", nullptr, "placement",
     nullptr, nullptr},
};
constexpr unsigned kN = sizeof kItems / sizeof kItems[0];

// A record as its owner prepares it: cleared, the capacities of the fixed slots set.
struct Record : Settings {
  Record() {
    memset((Settings*)this, 0x5A, sizeof(Settings));
    EXPECT_EQ(cfg_clear(this, kN, kItems), 0);
    title_max = sizeof title;
    id_max = sizeof id;
    wp_max = sizeof wp;
  }
  ~Record() { cfg_free(this, kN, kItems); }
};

std::string hex(const void* p, unsigned n) {
  std::string h;
  char b[3];
  for (unsigned i = 0; p && i < n; ++i) snprintf(b, sizeof b, "%02X", ((const unsigned char*)p)[i]), h += b;
  return h;
}

// The values of a record in one line.
std::string show(const Settings& s) {
  char b[256];
  const cfg_wndpl& w = s.wp;
  snprintf(b, sizeof b, "%d %s %s %s %s %d %s %u:%u,%d,%d,%d,%d,%d,%d,%d,%d/%u", s.hidden, mox_nul(s.name), s.title,
           hex(s.id, s.id_size).c_str(), hex(s.blob, s.blob_size).c_str(), s.level, s.handle ? "P" : "0", w.length,
           w.showCmd, w.ptMinPosition[0], w.ptMinPosition[1], w.ptMaxPosition[0], w.ptMaxPosition[1],
           w.rcNormalPosition[0], w.rcNormalPosition[1], w.rcNormalPosition[2], w.rcNormalPosition[3], s.wp_size);
  return b;
}

const std::string kDflts = "1 a\\tb T 0102 CAFE00 9 0 44:3,-1,-2,3,4,10,20,300,400/44";

TEST(Cfg, DefaultsCopiesAndFree) {
  Record s, d, e, u;
  const std::string cleared = "0 NUL    0 0 ";
  EXPECT_EQ(show(s).substr(0, 13), cleared);
  ASSERT_EQ(cfg_set_dflts(&s, kN, kItems, 0), 0);
  EXPECT_EQ(show(s), kDflts);  // the pointer item takes no default
  ASSERT_EQ(cfg_set_dflts(&u, kN, kItems, 1), 0);
  EXPECT_STREQ(u.name, "a\tb");  // unescaped
  s.handle = malloc(1);          // released by cfg_free
  d.name = strdup("old value that is long");
  d.name_max = (unsigned)strlen(d.name) + 1;
  ASSERT_EQ(cfg_copy(&d, &s, kN, kItems), 0);
  EXPECT_EQ(show(d), kDflts);  // pointers are not copied
  EXPECT_TRUE(d.name != s.name && d.blob != s.blob);  // own copies
  ASSERT_EQ(cfg_copy(&d, &e, kN, kItems), 0);  // from a cleared record
  EXPECT_EQ(show(d).substr(0, 13), cleared);
  ASSERT_EQ(cfg_free(&s, kN, kItems), 0);
  EXPECT_EQ(show(s).substr(0, 13), cleared);
  EXPECT_EQ(s.level + (int)s.wp_size, 0);
}

TEST(Cfg, FailuresStopTheRun) {
  const cfg_item items[] = {
      kItems[0],
      {VAL_DATABUF, OFF(id), OFF(id_size), OFF(id_max), "0102030405", nullptr, 0, "id", nullptr, nullptr, nullptr,
       nullptr},
      kItems[5],
  };
  const cfg_item nocvt[] = {
      {VAL_INT, OFF(level), -1, -1, "high", nullptr, CFG_F_CVT, "level", nullptr, "lvl", nullptr, nullptr}};
  Record s;
  LogCapture log;
  EXPECT_EQ(cfg_set_dflts(&s, 3, items, 0), 9005);
  EXPECT_EQ(s.hidden, 1);  // converted before the failure
  EXPECT_EQ(s.level, 0);   // not reached
  EXPECT_EQ(cfg_set_dflts(&s, 1, nocvt, 0), 9003);
  EXPECT_EQ(cfg_copy(&s, nullptr, 1, nocvt), 9003);
  EXPECT_TRUE(log.has("No cvt_cb - items_val_base: ") && log.has(", cmdp_op: `level', xrm_name: `lvl'.")) << log.done();
}

TEST(CfgWndpl, TextBothWaysAndCut) {
  cfg_wndpl wp, back;
  unsigned size = 0;
  char text[256], small[40];
  char in[] = "-showCmd:SW_SHOWNORMAL -showCmd:SW_ShowMinimized -ptMaxPosition:5 -ptMinPosition:1,2 "
              "-ptMinPosition:7,8 -rcNormalPosition:1,2,3";
  ASSERT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &wp, &size, nullptr, const_cast<char*>(kWp), sizeof kWp, 1), 0);
  EXPECT_EQ(size, 44u);
  ASSERT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &wp, nullptr, nullptr, text, sizeof text, 0), 0);
  ASSERT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &back, nullptr, nullptr, text, sizeof text, 1), 0);
  EXPECT_EQ(memcmp(&back, &wp, sizeof wp), 0);
  // the last occurrence wins, case ignored; incomplete numbers leave the fields cleared
  ASSERT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &wp, nullptr, nullptr, in, sizeof in, 1), 0);
  ASSERT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &wp, nullptr, nullptr, text, sizeof text, 0), 0);
  EXPECT_STREQ(text, "-showCmd:SW_SHOWMINIMIZED -ptMinPosition:7,8 -ptMaxPosition:0,0 -rcNormalPosition:0,0,0,0 ");
  wp.showCmd = 1;
  LogCapture log;
  EXPECT_EQ(cfg_wndpl_cvt(VAL_DATABUF, &wp, nullptr, nullptr, small, sizeof small, 0), 9005);
  EXPECT_STREQ(small, "-showCmd:SW_SHOWNORMAL ");  // what fitted before the cut
  EXPECT_TRUE(log.has("mox_snprintf() failed - strsize: 40.")) << log.done();
}

}  // namespace
