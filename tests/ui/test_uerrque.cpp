#include "ui/uerrque.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "c/log_capture.h"
#include "ntf/test_window.h"
#include "ui/uerrlist.h"

namespace {

// The log with the queue's hook for the length of a test, then as the other tests have it.
struct Hooked {
  TestWindow w;
  HWND wnd;
  uerrque q{};
  uerrlist l{};
  Hooked() : wnd(w.wnd) {
    EXPECT_EQ(uerrque_init(&q, &wnd), 0);
    EXPECT_EQ(uerrlist_init(&l), 0);
    err_free();
    err_init(0, nullptr, nullptr, nullptr, uerrque_hook, &q);
  }
  ~Hooked() {
    err_free();
    err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr);
    uerrlist_free(&l);
    uerrque_free(&q);
  }
  std::string listed() {
    std::string s;
    for (unsigned i = 0; i < uerrlist_count(&l); ++i) {
      const uerr_item* it = nullptr;
      if (uerrlist_get(&l, i, &it)) return s + "(error)";
      char buf[64];
      snprintf(buf, sizeof buf, "%s%d/%d/%s", s.empty() ? "" : " ", it->level, it->code, it->msg);
      s += buf;
    }
    return s;
  }
};

TEST(Uerrque, WorkerReportsReachTheListInOrder) {
  Hooked h;
  std::thread worker([] {
    for (int i = 0; i < 10; ++i) ERR_USER(i % 2 ? ERR_WARN : ERR_ERR, 9000 + i, "report %d", i);
  });
  worker.join();
  EXPECT_EQ(uerrque_count(&h.q), 10u);
  EXPECT_EQ(h.w.take(UERR_MSG_QUEUED), 3u);
  EXPECT_EQ(uerrque_move(&h.q, &h.l), 0);
  EXPECT_EQ(uerrque_count(&h.q), 0u);
  EXPECT_EQ(h.w.take(UERR_MSG_LISTED), 1u);
  EXPECT_EQ(h.listed(),
            "4/9000/report 0 5/9001/report 1 4/9002/report 2 5/9003/report 3 4/9004/report 4 5/9005/report 5 "
            "4/9006/report 6 5/9007/report 7 4/9008/report 8 5/9009/report 9");
  // a late wake-up finds nothing and lists nothing
  EXPECT_EQ(uerrque_move(&h.q, &h.l), 0);
  EXPECT_EQ(h.w.take(UERR_MSG_LISTED), 0u);
  // an emptied queue wakes the window again
  ERR_USER(ERR_NOTICE, 1, "later");
  EXPECT_EQ(h.w.take(UERR_MSG_QUEUED), 1u);
}

TEST(Uerrque, ABusyQueueDropsTheReportAfterHalfASecond) {
  Hooked h;
  std::atomic<bool> held{false}, done{false};
  std::thread owner([&] {
    mutex_lock(&h.q.mtx, MUTEX_INFINITE);
    held = true;
    while (!done) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    mutex_unlock(&h.q.mtx);
  });
  while (!held) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  LogCapture log;
  auto t0 = std::chrono::steady_clock::now();
  ERR_USER(ERR_ERR, 9001, "lost");
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  done = true;
  owner.join();
  EXPECT_GE(ms, 450);
  EXPECT_LT(ms, 3000);
  EXPECT_EQ(uerrque_count(&h.q), 0u);
  EXPECT_EQ(h.w.take(UERR_MSG_QUEUED), 0u);
  EXPECT_TRUE(log.has(": WARN 9011 ")) << log.done();
}

TEST(Uerrque, WindowGone) {
  Hooked h;
  HWND dead = h.wnd;
  h.w.destroy();
  {
    LogCapture log;
    ERR_USER(ERR_ERR, 9001, "kept");
    char want[80];
    snprintf(want, sizeof want, "PostMessage() failed - g_main_wnd: %d.", (int)(intptr_t)dead);
    EXPECT_TRUE(log.has(": ERR 1400 ") && log.has(want)) << log.done();
  }
  EXPECT_EQ(uerrque_count(&h.q), 1u);  // queued all the same
  LogCapture log;
  EXPECT_EQ(uerrque_move(&h.q, &h.l), 1400);
  char want[80];
  snprintf(want, sizeof want, "PostMessage() failed - g_main_wnd: %p.", (void*)dead);
  EXPECT_TRUE(log.has(want)) << log.done();
  EXPECT_EQ(h.listed(), "4/9001/kept");  // moved all the same
}

TEST(Uerrque, WithoutWindow) {
  uerrque q{};
  uerrlist l{};
  ASSERT_EQ(uerrque_init(&q) + uerrlist_init(&l), 0);
  const uerr_item it{4, 1, "", 0, {}, "direct"};
  EXPECT_EQ(uerrque_add(&q, &it) + uerrque_hook(&it, &q), 0);  // nothing to wake
  EXPECT_EQ(uerrque_move(&q, &l), 0);
  EXPECT_EQ(uerrlist_count(&l), 2u);
  uerrlist_free(&l);
  uerrque_free(&q);
}

}  // namespace
