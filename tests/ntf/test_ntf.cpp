#include "ntf/ntf.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <deque>
#include <string>
#include <thread>

#include "c/log_capture.h"
#include "ntf/test_window.h"

namespace {

constexpr UINT kMsg = 32769;

void* ptr(intptr_t v) { return reinterpret_cast<void*>(v); }

std::string fmt(const char* f, const void* a = nullptr, const void* b = nullptr, const void* c = nullptr,
                const void* d = nullptr) {
  char buf[200];
  snprintf(buf, sizeof buf, f, a, b, c, d);
  return buf;
}

// A hub whose subscribers append "<tag>:<id>:<data>" to one trace and answer as programmed.
struct Hub {
  struct Sub {
    Hub* h;
    char tag;
    int result;
  };
  ntf n{};
  HWND wnd = nullptr;
  std::string trace;
  std::deque<Sub> subs;
  explicit Hub(HWND w = nullptr) : wnd(w) { EXPECT_EQ(ntf_init(&n, &wnd, kMsg), 0); }
  ~Hub() { ntf_free(&n); }
  static int record(int id, void* data, void* usrdata) {
    Sub* s = static_cast<Sub*>(usrdata);
    char buf[48];
    snprintf(buf, sizeof buf, "%s%c:%d:%d", s->h->trace.empty() ? "" : " ", s->tag, id, (int)(intptr_t)data);
    s->h->trace += buf;
    return s->result;
  }
  Sub* sub(int id, char tag, int result = 0, intptr_t ref = 0) {
    subs.push_back({this, tag, result});
    EXPECT_EQ(ntf_add(&n, id, ptr(ref), record, &subs.back()), 0);
    return &subs.back();
  }
  std::string call(int id, intptr_t data = 0, intptr_t ref = 0, int* rc = nullptr) {
    trace.clear();
    int e = ntf_call(&n, id, ptr(data), ptr(ref));
    if (rc) *rc = e;
    return trace;
  }
};

TEST(NtfCall, RefDecidesWhoIsCalledAndDuplicatesAreRefused) {
  static constexpr struct {
    intptr_t ref;
    const char* called;  // of the subscribers for any ref, ref 1, ref 2
  } kRows[] = {{0, "a:1:7 o:1:7 t:1:7"}, {1, "a:1:7 o:1:7"}, {3, "a:1:7"}};
  Hub h;
  Hub::Sub* a = h.sub(1, 'a');
  h.sub(1, 'o', 0, 1);
  h.sub(1, 't', 0, 2);
  for (const auto& r : kRows) EXPECT_EQ(h.call(1, 7, r.ref), r.called) << "ref " << r.ref;
  EXPECT_EQ(h.call(2, 7), "");  // nobody listens to 2
  LogCapture log;
  EXPECT_EQ(ntf_add(&h.n, 1, nullptr, Hub::record, a), 9007);
  EXPECT_TRUE(log.has(fmt("Ntf callback already exist - ntf: %p, id: 1, ref: %p, fn: %p, usrdata: %p.", &h.n,
                          nullptr, (void*)Hub::record, a)))
      << log.done();
  EXPECT_EQ(ntf_del(&h.n, 1, ptr(5), Hub::record, a), 9006);
  EXPECT_EQ(ntf_del(&h.n, 1, nullptr, Hub::record, a), 0);
  EXPECT_EQ(h.call(1, 7, 3), "");
}

TEST(NtfCall, ResultsEndTheWalkOrRemoveTheSubscriber) {
  static constexpr struct {
    int x, y;  // the two subscribers' answers
    int result;
    const char* again;  // what a second call reaches
  } kRows[] = {
      {9001, 0, 9001, "x:5:0"},  // an error ends the walk
      {9016, 0, 0, "y:5:0"},     // x leaves, y is still served
      {0, 9016, 9016, "x:5:0"},  // the last result is returned
  };
  for (const auto& r : kRows) {
    Hub h;
    h.sub(5, 'x', r.x);
    h.sub(5, 'y', r.y);
    int rc = -1;
    h.call(5, 0, 0, &rc);
    EXPECT_EQ(rc, r.result) << r.x << " " << r.y;
    h.subs[0].result = h.subs[1].result = 9001;  // the second call stops at the first it reaches
    EXPECT_EQ(h.call(5), r.again) << r.x << " " << r.y;
  }
}

// Deletes the next subscriber and adds another from inside the call that runs it.
int meddle(int id, void*, void* usrdata) {
  Hub* h = static_cast<Hub*>(usrdata);
  h->trace += "m";
  if (h->subs.size() == 3) {
    EXPECT_EQ(ntf_del(&h->n, id, nullptr, Hub::record, &h->subs[0]), 0);
    h->sub(id, 'n');
    ntf_call(&h->n, id + 1, nullptr, nullptr);  // a nested call with a removal of its own
  }
  return 0;
}

TEST(NtfCall, CallbacksChangingTheList) {
  Hub h;
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, meddle, &h), 0);
  h.sub(1, 'v');
  h.sub(1, 'l');
  h.sub(2, 'i', 9016);
  // the deleted one is not called, the added one waits for the next call
  EXPECT_EQ(h.call(1), "m i:2:0 l:1:0");
  EXPECT_EQ(h.call(1), "m l:1:0 n:1:0");
  EXPECT_EQ(ntf_count(&h.n, 1), 3u);
  EXPECT_EQ(ntf_count(&h.n, 2), 0u);
}

TEST(NtfPost, WorkerThreadCoalescesAndWakesThreeTimes) {
  TestWindow w;
  Hub h(w.wnd);
  h.sub(2, 's');
  h.sub(3, 's');
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
}

TEST(NtfPost, NoWindowYetWindowGoneAndQueueBusy) {
  Hub h;  // the window variable holds nothing yet
  h.sub(2, 's');
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
  // what was queued is still delivered
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(h.trace, "s:2:1 s:2:2 s:2:3");
}

TEST(NtfDispatch, FailuresAreLoggedAndTheRestDelivered) {
  for (int result : {9016, 9001}) {
    Hub h;
    h.sub(8, 'b', result);
    h.sub(9, 'g');
    ntf_post(&h.n, 8, ptr(4), ptr(6));
    ntf_post(&h.n, 9, ptr(4), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_dispatch(&h.n), 0);
    EXPECT_EQ(h.trace, "b:8:4 g:9:4");
    EXPECT_EQ(log.has(fmt("Ntf `call' failed - id: 8, data: %p, ref: %p.", ptr(4), ptr(6))), result == 9001)
        << log.done();
  }
}

TEST(NtfFree, UnprocessedItemsAreCountedAndDropped) {
  for (unsigned queued : {0u, 2u}) {
    Hub h;
    h.sub(1, 's');
    ASSERT_EQ(ntf_init(&h.n, nullptr, kMsg), 0);  // in place: what it held is released
    EXPECT_EQ(ntf_count(&h.n, 1), 0u);
    h.sub(1, 't');
    for (unsigned i = 0; i < queued; ++i) ntf_post(&h.n, 1, ptr(i), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_free(&h.n), 0);
    EXPECT_EQ(log.has(": ERR 9012 ") && log.has("Unprocessed post notifications [2]."), queued != 0) << log.done();
    EXPECT_EQ(h.trace, "");
    ASSERT_EQ(ntf_init(&h.n, nullptr, kMsg), 0);  // for the hub's own free
  }
}

}  // namespace
