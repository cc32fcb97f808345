#include "ntf/ntf.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "c/log_capture.h"
#include "ntf/test_window.h"

namespace {

constexpr UINT kMsg = 32769;

// A subscriber writes "<tag>:<id>:<data>" into the shared record of calls and answers
// with its programmed result.
struct Calls;
struct Sub {
  Calls* calls;
  char tag;
  int result;
};
struct Calls {
  std::vector<std::string> got;
  std::string text() const {
    std::string s;
    for (const std::string& g : got) s += (s.empty() ? "" : " ") + g;
    return s;
  }
};

int record(int id, void* data, void* usrdata) {
  Sub* s = static_cast<Sub*>(usrdata);
  char buf[64];
  snprintf(buf, sizeof buf, "%c:%d:%d", s->tag, id, (int)(intptr_t)data);
  s->calls->got.push_back(buf);
  return s->result;
}

void* ptr(intptr_t v) { return reinterpret_cast<void*>(v); }

struct Hub {
  ntf n{};
  HWND wnd = nullptr;
  explicit Hub(HWND w = nullptr) : wnd(w) { EXPECT_EQ(ntf_init(&n, &wnd, kMsg), 0); }
  ~Hub() { ntf_free(&n); }
};

TEST(NtfCall, RefDecidesWhoIsCalled) {
  struct Row {
    intptr_t ref;
    const char* called;  // in subscription order: any, one, two
  };
  static constexpr Row kRows[] = {{0, "a:1:7 o:1:7 t:1:7"}, {1, "a:1:7 o:1:7"}, {2, "a:1:7 t:1:7"}, {3, "a:1:7"}};
  Hub h;
  Calls c;
  Sub any{&c, 'a', 0}, one{&c, 'o', 0}, two{&c, 't', 0};
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, record, &any), 0);
  ASSERT_EQ(ntf_add(&h.n, 1, ptr(1), record, &one), 0);
  ASSERT_EQ(ntf_add(&h.n, 1, ptr(2), record, &two), 0);
  for (const Row& r : kRows) {
    c.got.clear();
    EXPECT_EQ(ntf_call(&h.n, 1, ptr(7), ptr(r.ref)), 0);
    EXPECT_EQ(c.text(), r.called) << "ref " << r.ref;
  }
  c.got.clear();
  EXPECT_EQ(ntf_call(&h.n, 2, ptr(7), nullptr), 0);  // nobody listens to 2
  EXPECT_EQ(c.text(), "");
}

TEST(NtfCall, ResultsEndTheWalkOrRemoveTheSubscriber) {
  struct Row {
    int first, second;
    int result;
    const char* called;  // first call
    const char* again;   // a second call
  };
  static constexpr Row kRows[] = {
      {0, 0, 0, "x:5:0 y:5:0", "x:5:0 y:5:0"}, {9001, 0, 9001, "x:5:0", "x:5:0"},  // an error ends the walk
      {9015, 0, 9015, "x:5:0", "x:5:0"},                                           // so does a stop: it is no 0
      {9016, 0, 0, "x:5:0 y:5:0", "y:5:0"},                                        // x leaves, y still served
      {0, 9016, 9016, "x:5:0 y:5:0", "x:5:0"},                                     // the last result is returned
      {9016, 9016, 9016, "x:5:0 y:5:0", ""},   {0, 9003, 9003, "x:5:0 y:5:0", "x:5:0 y:5:0"},
  };
  for (const Row& r : kRows) {
    Hub h;
    Calls c;
    Sub x{&c, 'x', r.first}, y{&c, 'y', r.second};
    ASSERT_EQ(ntf_add(&h.n, 5, nullptr, record, &x), 0);
    ASSERT_EQ(ntf_add(&h.n, 5, nullptr, record, &y), 0);
    EXPECT_EQ(ntf_call(&h.n, 5, nullptr, nullptr), r.result) << r.called;
    EXPECT_EQ(c.text(), r.called);
    c.got.clear();
    ntf_call(&h.n, 5, nullptr, nullptr);
    EXPECT_EQ(c.text(), r.again) << r.called;
  }
}

TEST(NtfSubscribe, DuplicatesAndMissingOnes) {
  Hub h;
  Calls c;
  Sub s{&c, 's', 0}, t{&c, 't', 0};
  ASSERT_EQ(ntf_add(&h.n, 3, ptr(9), record, &s), 0);
  {
    LogCapture log;
    EXPECT_EQ(ntf_add(&h.n, 3, ptr(9), record, &s), 9007);
    char want[200];
    snprintf(want, sizeof want, "Ntf callback already exist - ntf: %p, id: 3, ref: %p, fn: %p, usrdata: %p.",
             (void*)&h.n, ptr(9), (void*)record, (void*)&s);
    EXPECT_TRUE(log.has(": ERR 9007 ") && log.has(want)) << log.done();
  }
  // differing in one of the three values is another subscription
  EXPECT_EQ(ntf_add(&h.n, 3, ptr(8), record, &s), 0);
  EXPECT_EQ(ntf_add(&h.n, 3, ptr(9), record, &t), 0);
  EXPECT_EQ(ntf_add(&h.n, 4, ptr(9), record, &s), 0);
  EXPECT_EQ(ntf_count(&h.n, 3), 3u);

  LogCapture log;
  EXPECT_EQ(ntf_del(&h.n, 6, ptr(9), record, &s), 9006);  // no such id
  EXPECT_EQ(ntf_del(&h.n, 3, ptr(7), record, &s), 9006);  // no such subscription
  EXPECT_EQ(ntf_del(&h.n, 3, ptr(9), record, &s), 0);
  EXPECT_EQ(ntf_del(&h.n, 3, ptr(9), record, &s), 9006);  // gone already
  EXPECT_TRUE(log.has(": ERR 9006 ")) << log.done();
  ntf_call(&h.n, 3, nullptr, ptr(9));
  EXPECT_EQ(c.text(), "t:3:0");
  // a removed subscription may come back
  EXPECT_EQ(ntf_add(&h.n, 3, ptr(9), record, &s), 0);
}

// Callbacks that change the subscriptions of the call that runs them.
struct Meddler {
  ntf* n;
  Calls* calls;
  Sub* victim;    // deleted by the first call
  Sub* newcomer;  // added by the first call
};

int meddle(int id, void*, void* usrdata) {
  Meddler* m = static_cast<Meddler*>(usrdata);
  m->calls->got.push_back("m");
  if (m->victim) {
    EXPECT_EQ(ntf_del(m->n, id, nullptr, record, m->victim), 0);
  }
  if (m->newcomer) {
    EXPECT_EQ(ntf_add(m->n, id, nullptr, record, m->newcomer), 0);
  }
  m->victim = m->newcomer = nullptr;
  // a nested call with its own removal
  ntf_call(m->n, id + 1, nullptr, nullptr);
  return 0;
}

TEST(NtfCall, CallbacksChangingTheList) {
  Hub h;
  Calls c;
  Sub next{&c, 'v', 0}, late{&c, 'n', 0}, last{&c, 'l', 0}, inner{&c, 'i', 9016};
  Meddler m{&h.n, &c, &next, &late};
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, meddle, &m), 0);
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, record, &next), 0);
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, record, &last), 0);
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &inner), 0);
  EXPECT_EQ(ntf_call(&h.n, 1, nullptr, nullptr), 0);
  // the deleted one is not called, the added one waits for the next call
  EXPECT_EQ(c.text(), "m i:2:0 l:1:0");
  c.got.clear();
  EXPECT_EQ(ntf_call(&h.n, 1, nullptr, nullptr), 0);
  EXPECT_EQ(c.text(), "m l:1:0 n:1:0");
  EXPECT_EQ(ntf_count(&h.n, 1), 3u);
  EXPECT_EQ(ntf_count(&h.n, 2), 0u);
}

TEST(NtfPost, CoalescesAndWakesAtMostThreeTimes) {
  TestWindow w;
  Hub h(w.wnd);
  Calls c;
  Sub s{&c, 's', 0};
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &s), 0);
  ASSERT_EQ(ntf_add(&h.n, 3, nullptr, record, &s), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);  // the same again: nothing more
  EXPECT_EQ(w.take(kMsg), 1u);
  // one value differing makes another item
  EXPECT_EQ(ntf_post(&h.n, 3, ptr(1), nullptr), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(2), nullptr), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), ptr(5)), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  EXPECT_EQ(ntf_queued(&h.n), 4u);
  EXPECT_EQ(w.take(kMsg), 2u);  // the fourth woke nobody
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(c.text(), "s:2:1 s:3:1 s:2:2 s:2:1");
  EXPECT_EQ(ntf_dispatch(&h.n), 0);  // a late wake-up finds nothing
  EXPECT_EQ(c.got.size(), 4u);
  // drained: the same item is new again and wakes again
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  EXPECT_EQ(w.take(kMsg), 1u);
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(c.got.size(), 5u);
}

TEST(NtfPost, WorkerThreadTenItems) {
  TestWindow w;
  Hub h(w.wnd);
  Calls c;
  Sub s{&c, 's', 0};
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &s), 0);
  std::thread worker([&] {
    for (int i = 1; i <= 10; ++i) {
      EXPECT_EQ(ntf_post(&h.n, 2, ptr(i), nullptr), 0);
      EXPECT_EQ(ntf_post(&h.n, 2, ptr(i), nullptr), 0);
    }
  });
  worker.join();
  EXPECT_EQ(w.take(kMsg), 3u);
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(c.text(), "s:2:1 s:2:2 s:2:3 s:2:4 s:2:5 s:2:6 s:2:7 s:2:8 s:2:9 s:2:10");
  EXPECT_EQ(ntf_queued(&h.n), 0u);
}

TEST(NtfPost, NoWindowYetOrGone) {
  Hub h;  // the window variable still holds nothing
  Calls c;
  Sub s{&c, 's', 0};
  ASSERT_EQ(ntf_add(&h.n, 2, nullptr, record, &s), 0);
  EXPECT_EQ(ntf_post(&h.n, 2, ptr(1), nullptr), 0);
  TestWindow w;
  h.wnd = w.wnd;
  HWND dead = w.wnd;
  w.destroy();
  {
    LogCapture log;
    EXPECT_EQ(ntf_post(&h.n, 2, ptr(2), nullptr), 1400);  // ERROR_INVALID_WINDOW_HANDLE
    char want[160];
    snprintf(want, sizeof want, "PostMessage() failed - wnd: %p, msg: 32769 (0X8001), postq.nitems: 2.", (void*)dead);
    EXPECT_TRUE(log.has(": ERR 1400 ") && log.has(want)) << log.done();
  }
  // both stay queued for the next dispatch
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(c.text(), "s:2:1 s:2:2");
}

TEST(NtfDispatch, FailuresAreLoggedAndTheRestDelivered) {
  struct Row {
    int result;
    bool logged;
  };
  static constexpr Row kRows[] = {{0, false}, {9015, false}, {9016, false}, {9001, true}, {5, true}};
  for (const Row& r : kRows) {
    Hub h;
    Calls c;
    Sub bad{&c, 'b', r.result}, good{&c, 'g', 0};
    ASSERT_EQ(ntf_add(&h.n, 8, nullptr, record, &bad), 0);
    ASSERT_EQ(ntf_add(&h.n, 9, nullptr, record, &good), 0);
    ntf_post(&h.n, 8, ptr(4), ptr(6));
    ntf_post(&h.n, 9, ptr(4), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_dispatch(&h.n), 0);
    EXPECT_EQ(c.text(), "b:8:4 g:9:4");
    char want[120];
    snprintf(want, sizeof want, "Ntf `call' failed - id: 8, data: %p, ref: %p.", ptr(4), ptr(6));
    EXPECT_EQ(log.has(want), r.logged) << r.result << log.done();
  }
}

// A subscriber that posts and dispatches again, as a modal loop inside a callback does.
struct Pumper {
  ntf* n;
  Calls* calls;
  int depth;
};

int pump(int id, void* data, void* usrdata) {
  Pumper* p = static_cast<Pumper*>(usrdata);
  p->calls->got.push_back("p" + std::to_string((int)(intptr_t)data));
  if (p->depth++ == 0) {
    ntf_post(p->n, id, ptr(20), nullptr);
    ntf_dispatch(p->n);
  }
  return 0;
}

TEST(NtfDispatch, NestedDispatchFromACallback) {
  Hub h;
  Calls c;
  Pumper p{&h.n, &c, 0};
  ASSERT_EQ(ntf_add(&h.n, 1, nullptr, pump, &p), 0);
  ntf_post(&h.n, 1, ptr(10), nullptr);
  ntf_post(&h.n, 1, ptr(11), nullptr);
  EXPECT_EQ(ntf_dispatch(&h.n), 0);
  EXPECT_EQ(c.text(), "p10 p20 p11");
  EXPECT_EQ(ntf_queued(&h.n), 0u);
}

TEST(NtfFree, UnprocessedItemsAreCountedAndDropped) {
  Calls c;
  Sub s{&c, 's', 0};
  for (unsigned queued : {0u, 2u}) {
    ntf n{};
    ASSERT_EQ(ntf_init(&n, nullptr, kMsg), 0);
    ASSERT_EQ(ntf_add(&n, 1, nullptr, record, &s), 0);
    for (unsigned i = 0; i < queued; ++i) ntf_post(&n, 1, ptr(i), nullptr);
    LogCapture log;
    EXPECT_EQ(ntf_free(&n), 0);
    EXPECT_EQ(log.has(": ERR 9012 "), queued != 0) << log.done();
    if (queued) {
      EXPECT_TRUE(log.has("Unprocessed post notifications [2].")) << log.done();
    }
    EXPECT_EQ(n.pwnd, nullptr);
  }
  EXPECT_TRUE(c.got.empty());
}

TEST(NtfArgs, NullRecordAndCallback) {
  LogCapture log;
  ntf n{};
  EXPECT_EQ(ntf_init(nullptr, nullptr, 0), 9003);
  EXPECT_EQ(ntf_add(nullptr, 1, nullptr, record, nullptr), 9003);
  EXPECT_EQ(ntf_del(nullptr, 1, nullptr, record, nullptr), 9003);
  EXPECT_EQ(ntf_call(nullptr, 1, nullptr, nullptr), 9003);
  EXPECT_EQ(ntf_post(nullptr, 1, nullptr, nullptr), 9003);
  EXPECT_EQ(ntf_dispatch(nullptr), 9003);
  EXPECT_EQ(ntf_free(nullptr), 9003);
  ASSERT_EQ(ntf_init(&n, nullptr, kMsg), 0);
  EXPECT_EQ(ntf_add(&n, 1, nullptr, nullptr, nullptr), 9003);
  char want[80];
  snprintf(want, sizeof want, "Invalid param - ntf: %p, fn: %p.", (void*)&n, nullptr);
  EXPECT_TRUE(log.has(want) && log.has("`ntf' is NUL.")) << log.done();
  ntf_free(&n);
}

}  // namespace
