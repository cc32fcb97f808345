#include "ui/uerrlist.h"

#include <cstdio>
#include <string>

#include "c/log_capture.h"

namespace {

struct List {
  uerrlist l{};
  List() { EXPECT_EQ(uerrlist_init(&l), 0); }
  ~List() { uerrlist_free(&l); }
  int add(int code, const char* msg) {
    uerr_item it{};
    it.level = 5;
    it.code = code;
    it.msg = msg;
    return uerrlist_add(&l, &it);
  }
  std::string msg(unsigned idx) {
    const uerr_item* it = nullptr;
    return uerrlist_get(&l, idx, &it) ? "(error)" : it->msg ? it->msg : "(none)";
  }
};

TEST(Uerrlist, IndexSeenAndClear) {
  List x;
  char text[16];
  for (int i = 0; i < 100; ++i) {  // past the first blocks of both the list and the index
    snprintf(text, sizeof text, "r%d", i);
    ASSERT_EQ(x.add(i, text), 0);
    if (i == 1) {
      EXPECT_EQ(uerrlist_seen(&x.l), 0);
    }
  }
  EXPECT_EQ(uerrlist_count(&x.l), 100u);
  EXPECT_EQ(x.l.seen, 2u);  // marked when two had come
  EXPECT_EQ(x.msg(0) + x.msg(37) + x.msg(99), "r0r37r99");
  const uerr_item* it = nullptr;
  ASSERT_EQ(uerrlist_get(&x.l, 99, &it), 0);
  {
    LogCapture log;
    EXPECT_EQ(uerrlist_get(&x.l, 100, &it), 9003);
    EXPECT_EQ(it, nullptr);
    EXPECT_TRUE(log.has("`ai' is NULL - idx: 100.")) << log.done();
  }
  EXPECT_EQ(uerrlist_clear(&x.l), 0);
  EXPECT_EQ(uerrlist_count(&x.l) + x.l.seen, 0u);
  LogCapture log;
  EXPECT_EQ(x.msg(0), "(error)");
  ASSERT_EQ(x.add(1, "after"), 0);
  EXPECT_EQ(x.msg(0), "after");
}

}  // namespace
