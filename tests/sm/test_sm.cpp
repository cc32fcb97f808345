#include "sm/sm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "c/log_capture.h"

namespace {

// Every callback writes "<letter>(state,event,next)" to the trace and answers with the
// result programmed for exactly that text (0 when none). A callback may also deliver
// one more call to its own machine.
struct Trace {
  std::string got;
  std::map<std::string, int> results;
  sm* m = nullptr;
  std::string reenter_at;  // the callback text that re-enters
  int (*reenter)(sm*) = nullptr;
  int reenter_rc = -1;
};

int cb(int state, int event, int next, int reason, void* usrdata) {
  static constexpr char kLetters[] = "?ESTGNLA";  // by reason
  Trace* t = static_cast<Trace*>(usrdata);
  char buf[48];
  snprintf(buf, sizeof buf, "%c(%d,%d,%d)", reason >= 1 && reason <= 7 ? kLetters[reason] : '?', state, event, next);
  t->got += (t->got.empty() ? "" : " ") + std::string(buf);
  if (t->reenter && t->reenter_at == buf) t->reenter_rc = t->reenter(t->m);
  auto it = t->results.find(buf);
  return it == t->results.end() ? 0 : it->second;
}

int other_guard(int state, int event, int next, int reason, void* usrdata) {
  return cb(state, event, next, reason, usrdata);
}

// States 1, 2, 3 with every callback; 1 -5-> 2 (guarded), 1 -5-> 3 (other guard),
// 2 -6-> 3, 2 -any-> 1, 3 -7-> none, 3 -8-> 3.
constexpr sm_state_def kStates[] = {{1, cb, cb}, {2, cb, cb}, {3, cb, cb}};
constexpr sm_trans_def kTrans[] = {{1, 5, 2, cb, cb},      {1, 5, 3, cb, other_guard},
                                   {2, 6, 3, cb, nullptr}, {2, SM_ANY, 1, cb, nullptr},
                                   {3, 7, 0, cb, nullptr}, {3, 8, 3, nullptr, nullptr}};

struct Machine {
  sm m{};
  Trace t;
  Machine() {
    t.m = &m;
    EXPECT_EQ(sm_init(&m, 3, kStates, 6, kTrans, cb, cb, cb, &t), 0);
  }
  ~Machine() { sm_free(&m); }
};

// One call and what it must leave: ops beside the events are start and stop.
constexpr int kStart = 100, kStop = 101;
struct Step {
  int op;
  const char* fail;  // the callbacks (blank-separated) that answer fail_rc, or nullptr
  int fail_rc;
  int rc;
  const char* trace;
  int state;  // afterwards
};

void play(const Step* steps, size_t n, const char* expect_log) {
  Machine x;
  LogCapture log;
  for (size_t i = 0; i < n; ++i) {
    const Step& s = steps[i];
    x.t.results.clear();
    const std::string f = s.fail ? s.fail : "";
    for (size_t b = 0, e = 0; b < f.size(); b = e + 1) {
      e = std::min(f.find(' ', b), f.size());
      x.t.results[f.substr(b, e - b)] = s.fail_rc;
    }
    x.t.got.clear();
    int rc = s.op == kStart ? sm_start(&x.m) : s.op == kStop ? sm_stop(&x.m) : sm_event(&x.m, s.op);
    EXPECT_EQ(rc, s.rc) << "step " << i;
    EXPECT_EQ(x.t.got, s.trace) << "step " << i;
    EXPECT_EQ(sm_state(&x.m), s.state) << "step " << i;
  }
  for (const char* p = expect_log; *p; p += strlen(p) + 1) EXPECT_TRUE(log.has(p)) << p << log.done();
}

TEST(SmRun, TransitionsInOrderGuardsAndAnyEvent) {
  static constexpr Step kSteps[] = {
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      {kStart, nullptr, 0, 9306, "", 1},
      {6, nullptr, 0, 0, "", 1},                                  // no transition: ignored, logged
      {5, "G(1,5,2) G(1,5,3)", 1001, 0, "G(1,5,2) G(1,5,3)", 1},  // none applies: the same
      // the first transition on 5 whose guard says 0 is taken
      {5, nullptr, 0, 0, "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2)", 2},
      // an event state 2 has no transition for takes the any-event one
      {9, nullptr, 0, 0, "L(2,9,1) A(2,9,1) N(2,9,1)", 1},
      // 1001 lets the second be tried
      {5, "G(1,5,2)", 1001, 0, "G(1,5,2) G(1,5,3) L(1,5,3) A(1,5,3) N(1,5,3)", 3},
      // without callbacks of its own onto its own state: left and entered again
      {8, nullptr, 0, 0, "L(3,8,3) N(3,8,3)", 3},
      {7, nullptr, 0, 0, "L(3,7,0) A(3,7,0)", 0},  // no target: the run ends
      {5, nullptr, 0, 9305, "", 0},
      {kStop, nullptr, 0, 9305, "", 0},
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      {5, "G(1,5,3)", 1001, 0, "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2)", 2},
      {kStop, nullptr, 0, 0, "L(2,-3,0) T(2,-3,0)", 0},
  };
  play(kSteps, sizeof kSteps / sizeof *kSteps,
       "Machine already running - `start' ignored.\0: ERR 9307 \0Event [6] ignored - state: 1.\0"
       "Event [5] ignored - state: 1.\0"
       "Machine is not running - event [5] ignored.\0Machine is not running - `stop' ignored.\0");
}

TEST(SmRun, FailuresAndTheErrorState) {
  static constexpr Step kSteps[] = {
      {kStart, "S(0,-2,1)", 42, 42, "S(0,-2,1) E(0,-2,1)", 0},  // enter not called
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      // a guard's error is no 1001: the second is not tried
      {5, "G(1,5,2)", 66, 66, "G(1,5,2) E(1,5,2)", 1},
      {9, nullptr, 0, 66, "", 1},  // every later event gets the same code
      // stop skips the failed state's leave but runs stop_cb
      {kStop, nullptr, 0, 0, "T(1,-3,0)", 0},
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      {5, "L(1,5,2)", 11, 11, "G(1,5,2) L(1,5,2) E(1,5,2)", 1},
      {kStop, nullptr, 0, 0, "T(1,-3,0)", 0},
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      // after a failing enter the machine stays in the old state
      {5, "N(1,5,2)", 14, 14, "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2) E(1,5,2)", 1},
      {kStop, nullptr, 0, 0, "T(1,-3,0)", 0},
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      // a failing leave on stop: stop_cb still runs, the machine stops
      {kStop, "L(1,-3,0)", 15, 15, "L(1,-3,0) T(1,-3,0) E(1,-3,0)", 0},
      {kStart, nullptr, 0, 0, "S(0,-2,1) N(0,-2,1)", 1},
      {5, nullptr, 0, 0, "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2)", 2},
  };
  play(kSteps, sizeof kSteps / sizeof *kSteps, ": ERR 66 \0Machine is in error state.\0");
}

TEST(SmRun, FailingErrorCallbackIsLogged) {
  Machine x;
  x.t.results = {{"N(0,-2,1)", 42}, {"E(0,-2,1)", 3}};
  LogCapture log;
  EXPECT_EQ(sm_start(&x.m), 42);
  EXPECT_EQ(x.m.err, 42);
  char want[160];
  snprintf(want, sizeof want, "Machine error - state: 0, event: -2, next_state: 1, usrdata: %p, err_cb: 3.",
           (void*)&x.t);
  EXPECT_TRUE(log.has(": ERR 42 ") && log.has(want)) << log.done();
}

TEST(SmBuild, DefinitionsRefused) {
  // states 1 and id2; transitions (from, 5, to) with guard g1 and (1, e2, 1) with guard g2
  struct Row {
    int id2, from, to, e2;
    sm_cb g1, g2;
    int rc;
    const char* msg;
  };
  static const Row kRows[] = {
      {1, 1, 1, 6, nullptr, nullptr, 9303, "Duplicate state [1]."},
      {0, 1, 1, 6, nullptr, nullptr, 9003, "id: 0."},  // 0 reads as "not running"
      {2, 9, 1, 6, nullptr, nullptr, 9302, "No state [9]."},
      {2, 1, 8, 6, nullptr, nullptr, 9302, "No state [8]."},
      {2, 1, 2, 5, cb, cb, 9304, "Transition already exist [1->5]."},
      {2, 1, 2, 5, cb, nullptr, 0, ""},  // another guard: another transition
  };
  for (const Row& r : kRows) {
    const sm_state_def states[] = {{1, cb, cb}, {r.id2, nullptr, nullptr}};
    const sm_trans_def trans[] = {{r.from, 5, r.to, nullptr, r.g1}, {1, r.e2, 1, nullptr, r.g2}};
    sm m{};
    LogCapture log;
    EXPECT_EQ(sm_init(&m, 2, states, 2, trans, nullptr, nullptr, nullptr, nullptr), r.rc) << r.msg;
    EXPECT_TRUE(log.has(r.msg)) << log.done();
    EXPECT_EQ(m.g.nnodes, r.rc ? 0u : 2u);  // nothing half built is left
    // built again in place: the old graph is released, not leaked
    EXPECT_EQ(sm_init(&m, 3, kStates, 6, kTrans, nullptr, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(m.g.nnodes, 3u);
    sm_free(&m);
  }
  sm m{};
  LogCapture log2;
  EXPECT_EQ(sm_start(&m), 9301);  // a machine never built has no states
  EXPECT_TRUE(log2.has("Machine has no states - can not start.")) << log2.done();
}

int ev9(sm* m) { return sm_event(m, 9); }
int ev6(sm* m) { return sm_event(m, 6); }

TEST(SmProcessing, CallsFromInsideCallbacks) {
  struct Row {
    const char* at;  // the callback that calls
    int (*call)(sm*);
    int rc;           // what that inner call gets
    const char* msg;  // logged
  };
  static const Row kRows[] = {
      {"A(1,5,2)", ev9, 0, "Machine is processing - event [9] ignored."},
      {"N(1,5,2)", sm_stop, 0, "Machine is processing - `stop' ignored."},
      {"L(1,5,2)", sm_start, 9306, "Machine already running - `start' ignored."},
      {"S(0,-2,1)", ev6, 9305, "Machine is not running - event [6] ignored."},
  };
  for (const Row& r : kRows) {
    Machine x;
    x.t.reenter_at = r.at;
    x.t.reenter = r.call;
    LogCapture log;
    ASSERT_EQ(sm_start(&x.m), 0);
    ASSERT_EQ(sm_event(&x.m, 5), 0);
    EXPECT_EQ(sm_state(&x.m), 2) << r.at;  // the inner call changed nothing
    ASSERT_EQ(sm_stop(&x.m), 0);
    EXPECT_EQ(x.t.reenter_rc, r.rc) << r.at;
    EXPECT_TRUE(log.has(r.msg)) << r.at << log.done();
    EXPECT_EQ(x.m.processing, 0);
  }
}

}  // namespace
