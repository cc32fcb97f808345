#include "ui/uerrlist.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "c/log_capture.h"

namespace {

uerr_item report(int level, int code, const char* msg) {
  uerr_item it{};
  it.level = level;
  it.code = code;
  it.name = "quarnw";
  it.pid = 77;
  it.tm.tm_year = 126;
  it.tm.tm_mday = 7;
  it.tm.tm_hour = 6;
  it.msg = msg;
  return it;
}

struct List {
  uerrlist l{};
  List() { EXPECT_EQ(uerrlist_init(&l), 0); }
  ~List() { uerrlist_free(&l); }
  std::string msg(unsigned idx) {
    const uerr_item* it = nullptr;
    return uerrlist_get(&l, idx, &it) == 0 ? (it->msg ? it->msg : "(none)") : "(error)";
  }
};

TEST(Uerrlist, CopiesOwnTheirMessages) {
  List x;
  char text[32] = "No path specified.";
  const uerr_item src = report(4, 9012, text);
  ASSERT_EQ(uerrlist_add(&x.l, &src), 0);
  std::strcpy(text, "overwritten");  // the reporter's buffer is gone after its call
  const uerr_item* got = nullptr;
  ASSERT_EQ(uerrlist_get(&x.l, 0, &got), 0);
  EXPECT_STREQ(got->msg, "No path specified.");
  EXPECT_NE(got->msg, text);
  // every other field as it was
  EXPECT_EQ(got->level, 4);
  EXPECT_EQ(got->code, 9012);
  EXPECT_EQ(got->name, src.name);
  EXPECT_EQ(got->pid, 77u);
  EXPECT_EQ(got->tm.tm_year, 126);
  EXPECT_EQ(got->tm.tm_mday, 7);
  EXPECT_EQ(got->tm.tm_hour, 6);
  const uerr_item none = report(6, 1, nullptr);
  ASSERT_EQ(uerrlist_add(&x.l, &none), 0);
  EXPECT_EQ(x.msg(1), "(none)");
}

TEST(Uerrlist, IndexSeenAndClear) {
  List x;
  char text[16];
  for (int i = 0; i < 100; ++i) {  // past the first blocks of both the list and the index
    snprintf(text, sizeof text, "r%d", i);
    const uerr_item it = report(5, i, text);
    ASSERT_EQ(uerrlist_add(&x.l, &it), 0);
    if (i == 1) {
      EXPECT_EQ(uerrlist_seen(&x.l), 0);
    }
  }
  EXPECT_EQ(uerrlist_count(&x.l), 100u);
  EXPECT_EQ(x.l.seen, 2u);  // marked when two had come
  EXPECT_EQ(x.msg(0) + x.msg(37) + x.msg(99), "r0r37r99");
  EXPECT_EQ(uerrlist_seen(&x.l), 0);
  EXPECT_EQ(x.l.seen, 100u);
  {
    const uerr_item* it = nullptr;
    ASSERT_EQ(uerrlist_get(&x.l, 99, &it), 0);
    LogCapture log;
    EXPECT_EQ(uerrlist_get(&x.l, 100, &it), 9003);
    EXPECT_EQ(it, nullptr);
    EXPECT_TRUE(log.has("`ai' is NULL - idx: 100.")) << log.done();
  }
  EXPECT_EQ(uerrlist_clear(&x.l), 0);
  EXPECT_EQ(uerrlist_count(&x.l), 0u);
  EXPECT_EQ(x.l.seen, 0u);
  {
    LogCapture log;
    EXPECT_EQ(x.msg(0), "(error)");
  }
  const uerr_item again = report(4, 1, "after");
  ASSERT_EQ(uerrlist_add(&x.l, &again), 0);
  EXPECT_EQ(x.msg(0), "after");
}

TEST(Uerrlist, BadArguments) {
  List x;
  const uerr_item it = report(4, 1, "m");
  const uerr_item* got = nullptr;
  LogCapture log;
  EXPECT_EQ(uerrlist_add(&x.l, nullptr), 9003);
  EXPECT_EQ(uerrlist_add(nullptr, &it), 9003);
  EXPECT_EQ(uerrlist_get(nullptr, 0, &got), 9003);
  EXPECT_EQ(uerrlist_get(&x.l, 0, nullptr), 9003);
  EXPECT_EQ(uerrlist_init(nullptr) + uerrlist_free(nullptr) + uerrlist_clear(nullptr) + uerrlist_seen(nullptr),
            4 * 9003);
  char want[80];
  snprintf(want, sizeof want, "Invalid param - uerrlist: %p, uerr_item: %p.", (void*)&x.l, nullptr);
  EXPECT_TRUE(log.has(want) && log.has("`uerrlist' is NUL.")) << log.done();
  EXPECT_EQ(uerrlist_count(&x.l), 0u);
}

}  // namespace
