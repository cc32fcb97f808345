// Workers post to the hub while the window thread dispatches, built under ThreadSanitizer
// (no test framework: it would need a build of its own). Exit status 0 when every item
// arrived, each worker's in its order; the sanitizer fails the run on a race.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "err/err.h"
#include "ntf/ntf.h"

namespace {

constexpr int kWorkers = 3;
constexpr int kItems = 2000;

struct Seen {
  int last[kWorkers];
  int count[kWorkers];
  int bad;
};

int seen(int, void* data, void* usrdata) {
  Seen* s = static_cast<Seen*>(usrdata);
  intptr_t v = reinterpret_cast<intptr_t>(data);
  int w = (int)(v / kItems), i = (int)(v % kItems);
  // a repeat drained before it was posted again comes twice, never out of order
  if (i < s->last[w]) ++s->bad;
  if (i != s->last[w]) ++s->count[w];
  s->last[w] = i;
  return 0;
}

}  // namespace

int main() {
  err_init(0, nullptr, nullptr, nullptr, nullptr, nullptr);
  HWND wnd = compat_window_create();
  ntf n{};
  if (ntf_init(&n, &wnd, NTF_WAKE_MSG)) return 2;
  Seen s{};
  for (int& l : s.last) l = -1;
  ntf_add(&n, NTF_FLIST_GROWN, nullptr, seen, &s);
  std::atomic<int> running{kWorkers};
  std::atomic<int> failed{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < kWorkers; ++w) {
    workers.emplace_back([&, w] {
      for (int i = 0; i < kItems; ++i) {
        void* data = reinterpret_cast<void*>((intptr_t)w * kItems + i);
        if (ntf_post(&n, NTF_FLIST_GROWN, data, nullptr) || ntf_post(&n, NTF_FLIST_GROWN, data, nullptr)) ++failed;
      }
      --running;
    });
  }
  unsigned wakeups = 0;
  MSG m;
  // a broken queue must fail the run, not hang it
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while ((running || ntf_queued(&n)) && std::chrono::steady_clock::now() < deadline) {
    while (PeekMessageA(&m, wnd, NTF_WAKE_MSG, NTF_WAKE_MSG, PM_REMOVE)) ++wakeups;
    ntf_dispatch(&n);
  }
  for (std::thread& t : workers) t.join();
  ntf_dispatch(&n);
  int missing = 0;
  for (int w = 0; w < kWorkers; ++w) missing += kItems - s.count[w];
  printf("wake-ups: %u, missing: %d, out of order: %d, failed posts: %d\n", wakeups, missing, s.bad, failed.load());
  ntf_free(&n);
  DestroyWindow(wnd);
  err_free();
  return missing || s.bad || failed ? 1 : 0;
}
