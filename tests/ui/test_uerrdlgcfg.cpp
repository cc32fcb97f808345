// The error dialog's level words and level colours.
#include "ui/uerrdlgcfg.h"

#include <string>

#include "c/log_capture.h"
#include "c/val.h"

namespace {

TEST(UerrLevel, Words) {
  struct Row {
    int level;
    const char *lng, *shrt;
  };
  const Row rows[] = {{1, "EMERGENCY", "EMERG"}, {2, "ALERT", "ALERT"},   {3, "CRITICAL", "CRIT"},
                      {4, "ERROR", "ERR"},       {5, "WARNING", "WARN"},  {6, "NOTICE", "NOTICE"},
                      {7, "INFO", "INFO"},       {8, "DEBUG", "DBG"},     {0, "ERROR-0", "ERR-0"},
                      {9, "ERROR-9", "ERR-9"},   {-2, "ERROR--2", "ERR--2"}};
  for (const Row& r : rows) {
    char buf[32];
    EXPECT_STREQ(uerr_level_word(r.level, 0, buf, sizeof buf), r.lng) << r.level;
    EXPECT_STREQ(uerr_level_word(r.level, 1, buf, sizeof buf), r.shrt) << r.level;
  }
}

TEST(UerrLevel, ColoursOfErrorWarningAndInfoOnly) {
  uerrdlgcfg c{};
  ASSERT_EQ(uerrdlgcfg_init(&c), 0);
  ASSERT_EQ(uerrdlgcfg_set_dflts(&c), 0);
  struct Row {
    int level, code;
    unsigned fg, bg;
  };
  const Row rows[] = {{4, 0, val_rgb(255, 255, 255), val_rgb(255, 0, 0)},
                      {5, 0, val_rgb(0, 0, 0), val_rgb(255, 255, 0)},
                      {7, 0, val_rgb(255, 255, 255), val_rgb(0, 0, 255)},
                      {6, 9013, 1, 2},
                      {3, 9013, 1, 2},
                      {8, 9013, 1, 2}};
  for (const Row& r : rows) {
    unsigned fg = 1, bg = 2;
    LogCapture log;
    EXPECT_EQ(uerrdlgcfg_level_colors(&c, r.level, &fg, &bg), r.code);
    EXPECT_EQ(fg, r.fg) << r.level;
    EXPECT_EQ(bg, r.bg) << r.level;
    if (r.code) {
      EXPECT_TRUE(log.has("Not supported errtype [" + std::to_string(r.level) + "].")) << log.got;
    }
  }
  uerrdlgcfg_free(&c);
}

}  // namespace
