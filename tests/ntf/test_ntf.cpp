#include "ntf/ntf.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "c/log_capture.h"
#include "ntf/test_window.h"

namespace {

constexpr UINT kMsg = 32769;

// A subscriber appends "<tag>:<id>:<data>" to the shared trace and answers as programmed.
struct Sub {
  std::string* trace;
  char tag;
  int result;
};

int record(int id, void* data, void* usrdata) {
  Sub* s = static_cast<Sub*>(usrdata);
  char buf[48];
  snprintf(buf, sizeof buf, "%s%c:%d:%d", s->trace->empty() ? "" : " ", s->tag, id, (int)(intptr_t)data);
  *s->trace += buf;
  return s->result;
}

void* ptr(intptr_t v) { return reinterpret_cast<void*>(v); }

std::string fmt(const char* f, const void* a = nullptr, const void* b = nullptr, const void* c = nullptr,
                const void* d = nullptr) {
  char buf[200];
  snprintf(buf, sizeof buf, f, a, b, c, d);
  return buf;
}

struct Hub {
  ntf n{};
  HWND wnd = nullptr;
  std::string trace;
  explicit Hub(HWND w = nullptr) : wnd(w) { EXPECT_EQ(ntf_init(&n, &wnd, kMsg), 0); }
  ~Hub() { ntf_free(&n); }
};

TEST(NtfCall, RefDecidesWhoIsCalled) {
  static constexpr struct {
    intptr_t ref;
    const char* called;  // of the subscribers for any ref, ref 1, ref 2
  } kRows[] = {{0, "a:1:7 o:1:7 t:1:7"}, {1, "a:1:7 o:1:7"}, {2, "a:1:7 t:1:7"}, {3, "a:1:7"}};
  Hub h;
  Sub any{&h.trace, 'a', 0}, one{&h.trace, 'o', 0}, two{&h.trace, 't', 0};
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, record, &any) + ntf_add(&h.n, 1, ptr(1), record, &one) +
                ntf_add(&h.n, 1, ptr(2), record, &two),
            0);
  for (const auto& r : kRows) {
    h.trace.clear();
    EXPECT_EQ(ntf_call(&h.n, 1, ptr(7), ptr(r.ref)), 0);
    EXPECT_EQ(h.trace, r.called) << "ref " << r.ref;
  }
  h.trace.clear();
  EXPECT_EQ(ntf_call(&h.n, 2, ptr(7), nullptr), 0);  // nobody listens to 2
  EXPECT_EQ(h.trace, "");
}

TEST(NtfCall, ResultsEndTheWalkOrRemoveTheSubscriber) {
  static constexpr struct {
    int x, y;  // the two subscribers' answers
    int result;
    const char* again;  // who a second call reaches
  } kRows[] = {
      {9001, 0, 9001, "x"},  // an error ends the walk
      {9016, 0, 0, "y"},                             // x leaves, y is still served
      {0, 9016, 9016, "x"},  // the last result is returned
  };
  for (const auto& r : kRows) {
    Hub h;
    Sub x{&h.trace, 'x', r.x}, y{&h.trace, 'y', r.y};
    ASSERT_EQ(ntf_add(&h.n, 5, nullptr, record, &x) + ntf_add(&h.n, 5, nullptr, record, &y), 0);
    EXPECT_EQ(ntf_call(&h.n, 5, nullptr, nullptr), r.result) << r.x << " " << r.y;
    h.trace.clear();
    ntf_call(&h.n, 5, nullptr, nullptr);
    std::string who;
    for (char c : h.trace)
      if (c == 'x' || c == 'y') who += who.empty() ? std::string(1, c) : std::string(" ") + c;
    EXPECT_EQ(who, r.again) << r.x << " " << r.y;
  }
}

TEST(NtfSubscribe, DuplicatesAndMissingOnes) {
  Hub h;
  Sub s{&h.trace, 's', 0}, t{&h.trace, 't', 0};
  ASSERT_EQ(ntf_add(&h.n, 3, ptr(9), record, &s), 0);
  LogCapture log;
  EXPECT_EQ(ntf_add(&h.n, 3, ptr(9), record, &s), 9007);
  // differing in one of ref, fn and usrdata, or in the id, is another subscription
  EXPECT_EQ(ntf_add(&h.n, 3, ptr(8), record, &s) + ntf_add(&h.n, 3, ptr(9), record, &t) +
                ntf_add(&h.n, 4, ptr(9), record, &s),
            0);
  EXPECT_EQ(ntf_del(&h.n, 6, ptr(9), record, &s), 9006);  // no such id
  EXPECT_EQ(ntf_del(&h.n, 3, ptr(7), record, &s), 9006);  // no such subscription
  EXPECT_EQ(ntf_del(&h.n, 3, ptr(9), record, &s), 0);
  EXPECT_TRUE(log.has(fmt("Ntf callback already exist - ntf: %p, id: 3, ref: %p, fn: %p, usrdata: %p.", &h.n, ptr(9),
                          (void*)record, &s)))
      << log.done();
  ntf_call(&h.n, 3, nullptr, ptr(9));
  EXPECT_EQ(h.trace, "t:3:0");
}

// Deletes one subscriber and adds another from inside the call that runs it.
struct Meddler {
  ntf* n;
  Sub *victim, *newcomer;
};

int meddle(int id, void*, void* usrdata) {
  Meddler* m = static_cast<Meddler*>(usrdata);
  *m->victim->trace += "m";
  if (m->newcomer) {
    EXPECT_EQ(ntf_del(m->n, id, nullptr, record, m->victim) + ntf_add(m->n, id, nullptr, record, m->newcomer), 0);
    ntf_call(m->n, id + 1, nullptr, nullptr);  // a nested call with a removal of its own
  }
  m->newcomer = nullptr;
  return 0;
}

TEST(NtfCall, CallbacksChangingTheList) {
  Hub h;
  Sub next{&h.trace, 'v', 0}, late{&h.trace, 'n', 0}, last{&h.trace, 'l', 0}, inner{&h.trace, 'i', 9016};
  Meddler m{&h.n, &next, &late};
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, meddle, &m) + ntf_add(&h.n, 1, nullptr, record, &next) +
                ntf_add(&h.n, 1, nullptr, record, &last) + ntf_add(&h.n, 2, nullptr, record, &inner),
            0);
  EXPECT_EQ(ntf_call(&h.n, 1, nullptr, nullptr), 0);
  // the deleted one is not called, the added one waits for the next call
  EXPECT_EQ(h.trace, "m i:2:0 l:1:0");
  h.trace.clear();
  EXPECT_EQ(ntf_call(&h.n, 1, nullptr, nullptr), 0);
  EXPECT_EQ(h.trace, "m l:1:0 n:1:0");
  EXPECT_EQ(ntf_count(&h.n, 1), 3u);
  EXPECT_EQ(ntf_count(&h.n, 2), 0u);
}

TEST(NtfPost, WorkerThreadCoalescesAndWakesThreeTimes) {
  TestWindow w;
  Hub h(w.wnd);
  Sub s{&h.trace, 's', 0};
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &s) + ntf_add(&h.n, 3, nullptr, record, &s), 0);
  std::thread worker([&] {
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(ntf_post(&h.n, 2, ptr(i), nullptr) + ntf_post(&h.n, 2, ptr(i), nullptr), 0);
    // one value differing makes another item
    EXPECT_EQ(ntf_post(&h.n, 3, ptr(1), nullptr) + ntf_post(&h.n, 2, ptr(1), ptr(5)), 0);
  });
  worker.join();
  EXPECT_EQ(w.take(kMsg), 3u);
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(h.trace, "s:2:1 s:2:2 s:2:3 s:2:4 s:2:5 s:2:6 s:2:7 s:2:8 s:2:9 s:2:10 s:3:1 s:2:1");
  EXPECT_EQ(ntf_dispatch(&h.n), 0);  // a late wake-up finds nothing
  // drained: the same item is new again and wakes again
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  EXPECT_EQ(w.take(kMsg), 1u);
  h.trace.clear();
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(h.trace, "s:2:1");
}

TEST(NtfPost, NoWindowYetWindowGoneAndQueueBusy) {
  Hub h;  // the window variable holds nothing yet
  Sub s{&h.trace, 's', 0};
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &s), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  TestWindow w;
  h.wnd = w.wnd;
  w.destroy();
  {
    LogCapture log;
    EXPECT_EQ(ntf_post(&h.n, 2, ptr(2), nullptr), 1400);  // ERROR_INVALID_WINDOW_HANDLE
    EXPECT_TRUE(log.has(fmt("PostMessage() failed - wnd: %p, msg: 32769 (0X8001), postq.nitems: 2.", (void*)h.wnd)))
        << log.done();
  }
  h.wnd = nullptr;
  // another thread holding the queue: post and dispatch give up after a second
  std::atomic<int> step{0};
  std::thread holder([&] {
    mutex_lock(&h.n.mtx, MUTEX_INFINITE);
    EXPECT_EQ(ntf_post(&h.n, 2, ptr(3), nullptr), 0);  // the holder itself may post
    step = 1;
    while (step != 2) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    mutex_unlock(&h.n.mtx);
  });
  while (step != 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(4), nullptr), 9011);
  EXPECT_EQ(ntf_dispatch(&h.n), 9011);
  step = 2;
  holder.join();
  EXPECT_EQ(h.trace, "");
  // what was queued is still delivered
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(h.trace, "s:2:1 s:2:2 s:2:3");
}

TEST(NtfDispatch, FailuresAreLoggedAndTheRestDelivered) {
  static constexpr struct {
    int result;
    bool logged;
  } kRows[] = {{9016, false}, {9001, true}};
  for (const auto& r : kRows) {
    Hub h;
    Sub bad{&h.trace, 'b', r.result}, good{&h.trace, 'g', 0};
    ASSERT_EQ(ntf_add(&h.n, 8, nullptr, record, &bad) + ntf_add(&h.n, 9, nullptr, record, &good), 0);
    ntf_post(&h.n, 8, ptr(4), ptr(6));
    ntf_post(&h.n, 9, ptr(4), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_dispatch(&h.n), 0);
    EXPECT_EQ(h.trace, "b:8:4 g:9:4");
    EXPECT_EQ(log.has(fmt("Ntf `call' failed - id: 8, data: %p, ref: %p.", ptr(4), ptr(6))), r.logged)
        << r.result << log.done();
  }
}

TEST(NtfFree, UnprocessedItemsAreCountedAndDropped) {
  std::string trace;
  Sub s{&trace, 's', 0};
  for (unsigned queued : {0u, 2u}) {
    ntf n{};
    ASSERT_EQ(ntf_init(&n, nullptr, kMsg), 0);
    ASSERT_EQ(ntf_add(&n, 1, nullptr, record, &s), 0);
    ASSERT_EQ(ntf_init(&n, nullptr, kMsg), 0);  // in place: what it held is released
    EXPECT_EQ(ntf_count(&n, 1), 0u);
    ASSERT_EQ(ntf_add(&n, 1, nullptr, record, &s), 0);
    for (unsigned i = 0; i < queued; ++i) ntf_post(&n, 1, ptr(i), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_free(&n), 0);
    EXPECT_EQ(log.has(": ERR 9012 ") && log.has("Unprocessed post notifications [2]."), queued != 0) << log.done();
  }
  EXPECT_EQ(trace, "");
}

}  // namespace
