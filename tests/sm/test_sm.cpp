#include "sm/sm.h"

#include <cstdio>
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
  explicit Machine(bool callbacks = true) {
    t.m = &m;
    EXPECT_EQ(sm_init(&m, 3, kStates, 6, kTrans, callbacks ? cb : nullptr, callbacks ? cb : nullptr,
                      callbacks ? cb : nullptr, &t),
              0);
  }
  ~Machine() { sm_free(&m); }
  // Runs op and returns the trace it left.
  template <typename F>
  std::string run(F op, int* rc) {
    t.got.clear();
    *rc = op(&m);
    return t.got;
  }
};

TEST(SmBuild, DefinitionsRefused) {
  struct Row {
    sm_state_def states[2];
    sm_trans_def trans[2];
    int rc;
    const char* msg;
  };
  static const Row kRows[] = {
      {{{1, cb, cb}, {1, nullptr, nullptr}},
       {{1, 5, 1, nullptr, nullptr}, {1, 6, 1, nullptr, nullptr}},
       9303,
       ": ERR 9303 "},
      {{{1, cb, cb}, {2, nullptr, nullptr}},
       {{9, 5, 1, nullptr, nullptr}, {1, 6, 1, nullptr, nullptr}},
       9302,
       "No state [9]."},
      {{{1, cb, cb}, {2, nullptr, nullptr}},
       {{1, 5, 8, nullptr, nullptr}, {1, 6, 1, nullptr, nullptr}},
       9302,
       "No state [8]."},
      {{{1, cb, cb}, {2, nullptr, nullptr}},
       {{1, 5, 2, cb, cb}, {1, 5, 1, nullptr, cb}},
       9304,
       "Transition already exist [1->5]."},
      {{{1, cb, cb}, {2, nullptr, nullptr}},
       {{1, 5, 2, nullptr, nullptr}, {1, 5, 1, nullptr, nullptr}},
       9304,
       "Transition already exist [1->5]."},
      {{{1, cb, cb}, {0, nullptr, nullptr}},
       {{1, 5, 1, nullptr, nullptr}, {1, 6, 1, nullptr, nullptr}},
       9003,
       "id: 0."},
      // the same event with another guard, or none beside a guard, is another transition
      {{{1, cb, cb}, {2, nullptr, nullptr}}, {{1, 5, 2, nullptr, cb}, {1, 5, 1, nullptr, nullptr}}, 0, ""},
  };
  for (const Row& r : kRows) {
    sm m{};
    LogCapture log;
    EXPECT_EQ(sm_init(&m, 2, r.states, 2, r.trans, nullptr, nullptr, nullptr, nullptr), r.rc) << r.msg;
    EXPECT_TRUE(log.has(r.msg)) << log.done();
    if (r.rc) {
      // nothing half built is left
      EXPECT_EQ(m.g.nnodes, 0u);
    }
    sm_free(&m);
  }
  sm m{};
  LogCapture log;
  EXPECT_EQ(sm_init(&m, 0, kStates, 6, kTrans, nullptr, nullptr, nullptr, nullptr), 9003);
  EXPECT_EQ(sm_init(&m, 3, kStates, 6, nullptr, nullptr, nullptr, nullptr, nullptr), 9003);
  char want[160];
  snprintf(want, sizeof want, "Invalid param - sm: %p, nstates: 3, states: %p, ntrans: 6, trans: %p.", (void*)&m,
           (const void*)kStates, nullptr);
  EXPECT_TRUE(log.has(want)) << log.done();
  LogCapture log2;
  EXPECT_EQ(sm_start(&m), 9301);  // a machine never built has no states
  EXPECT_TRUE(log2.has("Machine has no states - can not start.")) << log2.done();
}

TEST(SmStart, CallsAndRefusals) {
  Machine x;
  int rc;
  EXPECT_EQ(x.run(sm_start, &rc), "S(0,-2,1) N(0,-2,1)");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(sm_state(&x.m), 1);
  LogCapture log;
  EXPECT_EQ(x.run(sm_start, &rc), "");
  EXPECT_EQ(rc, 9306);
  EXPECT_TRUE(log.has(": ERR 9306 ") && log.has("Machine already running - `start' ignored.")) << log.done();
}

TEST(SmStart, FailuresLeaveTheMachineStopped) {
  struct Row {
    const char* fails;
    int err_cb_rc;
    const char* trace;
  };
  static constexpr Row kRows[] = {
      {"S(0,-2,1)", 0, "S(0,-2,1) E(0,-2,1)"},  // enter not called after a failed start
      {"N(0,-2,1)", 0, "S(0,-2,1) N(0,-2,1) E(0,-2,1)"},
      {"N(0,-2,1)", 3, "S(0,-2,1) N(0,-2,1) E(0,-2,1)"},
  };
  for (const Row& r : kRows) {
    Machine x;
    x.t.results[r.fails] = 42;
    x.t.results["E(0,-2,1)"] = r.err_cb_rc;
    LogCapture log;
    int rc;
    EXPECT_EQ(x.run(sm_start, &rc), r.trace);
    EXPECT_EQ(rc, 42);
    EXPECT_EQ(x.m.err, 42);
    EXPECT_EQ(sm_state(&x.m), 0);
    char want[160];
    snprintf(want, sizeof want, "Machine error - state: 0, event: -2, next_state: 1, usrdata: %p, err_cb: 3.",
             (void*)&x.t);
    EXPECT_EQ(log.has(": ERR 42 ") && log.has(want), r.err_cb_rc != 0) << log.done();
    // a start that works again clears the error
    x.t.results.clear();
    EXPECT_EQ(sm_start(&x.m), 0);
    EXPECT_EQ(x.m.err, 0);
  }
}

TEST(SmEvent, TransitionsGuardsAndAnyEvent) {
  struct Row {
    const char* results;  // "text=result" programmed before the event, or ""
    int event;
    const char* trace;
    int state;  // after the event
  };
  static constexpr Row kRows[] = {
      // the first transition on 5 is taken when its guard says 0
      {"", 5, "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2)", 2},
      // an event 2 has no transition for goes to the any-event one
      {"", 9, "L(2,9,1) A(2,9,1) N(2,9,1)", 1},
      // 1001 from the first guard lets the second be tried
      {"G(1,5,2)=1001", 5, "G(1,5,2) G(1,5,3) L(1,5,3) A(1,5,3) N(1,5,3)", 3},
      // a transition without callbacks of its own onto its own state: left and entered again
      {"", 8, "L(3,8,3) N(3,8,3)", 3},
      {"", 7, "L(3,7,0) A(3,7,0)", 0},  // no target: the run ends
  };
  Machine x;
  ASSERT_EQ(sm_start(&x.m), 0);
  for (const Row& r : kRows) {
    x.t.results.clear();
    if (*r.results) {
      std::string s = r.results;
      x.t.results[s.substr(0, s.find('='))] = std::stoi(s.substr(s.find('=') + 1));
    }
    int rc;
    EXPECT_EQ(x.run([&](sm* m) { return sm_event(m, r.event); }, &rc), r.trace);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(sm_state(&x.m), r.state) << r.trace;
  }
  LogCapture log;
  EXPECT_EQ(sm_event(&x.m, 5), 9305);
  EXPECT_TRUE(log.has("Machine is not running - event [5] ignored.")) << log.done();
}

TEST(SmEvent, NothingApplies) {
  struct Row {
    bool skip;  // both guards of 5 answer 1001
    int event;
    const char* trace;
    const char* msg;
  };
  static constexpr Row kRows[] = {{false, 6, "", "Event [6] ignored - state: 1."},
                                  {true, 5, "G(1,5,2) G(1,5,3)", "Event [5] ignored - state: 1."}};
  Machine x;
  ASSERT_EQ(sm_start(&x.m), 0);
  for (const Row& r : kRows) {
    x.t.results.clear();
    if (r.skip) x.t.results = {{"G(1,5,2)", 1001}, {"G(1,5,3)", 1001}};
    LogCapture log;
    int rc;
    EXPECT_EQ(x.run([&](sm* m) { return sm_event(m, r.event); }, &rc), r.trace);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(sm_state(&x.m), 1);
    EXPECT_EQ(x.m.err, 0);
    EXPECT_TRUE(log.has(": ERR 9307 ") && log.has(r.msg)) << log.done();
  }
}

TEST(SmEvent, FailureKeepsTheStateUntilStopAndRestart) {
  struct Row {
    const char* fails;
    const char* trace;
  };
  static constexpr Row kRows[] = {
      {"G(1,5,2)", "G(1,5,2) E(1,5,2)"},  // a guard's error is no 1001: the second is not tried
      {"L(1,5,2)", "G(1,5,2) L(1,5,2) E(1,5,2)"},
      {"A(1,5,2)", "G(1,5,2) L(1,5,2) A(1,5,2) E(1,5,2)"},
      {"N(1,5,2)", "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2) E(1,5,2)"},
  };
  for (const Row& r : kRows) {
    Machine x;
    ASSERT_EQ(sm_start(&x.m), 0);
    x.t.results[r.fails] = 77;
    int rc;
    EXPECT_EQ(x.run([](sm* m) { return sm_event(m, 5); }, &rc), r.trace);
    EXPECT_EQ(rc, 77);
    EXPECT_EQ(sm_state(&x.m), 1);
    {
      // every later event gets the same answer, no callback runs
      LogCapture log;
      EXPECT_EQ(x.run([](sm* m) { return sm_event(m, 9); }, &rc), "");
      EXPECT_EQ(rc, 77);
      EXPECT_TRUE(log.has(": ERR 77 ") && log.has("Machine is in error state.")) << log.done();
    }
    // stop skips the failed state's leave but runs stop_cb, and keeps the error
    EXPECT_EQ(x.run(sm_stop, &rc), "T(1,-3,0)");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(x.m.err, 77);
    EXPECT_EQ(sm_state(&x.m), 0);
    x.t.results.clear();
    EXPECT_EQ(x.run(sm_start, &rc), "S(0,-2,1) N(0,-2,1)");
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(x.run([](sm* m) { return sm_event(m, 5); }, &rc), "G(1,5,2) L(1,5,2) A(1,5,2) N(1,5,2)");
    EXPECT_EQ(sm_state(&x.m), 2);
  }
}

TEST(SmStop, LeaveAndStopCallbacks) {
  struct Row {
    int leave_rc, stop_rc;
    int rc;
    const char* trace;
  };
  static constexpr Row kRows[] = {
      {0, 0, 0, "L(2,-3,0) T(2,-3,0)"},
      {11, 0, 11, "L(2,-3,0) T(2,-3,0) E(2,-3,0)"},  // stop_cb still runs after a failed leave
      {0, 12, 12, "L(2,-3,0) T(2,-3,0) E(2,-3,0)"},
      {11, 12, 11, "L(2,-3,0) T(2,-3,0) E(2,-3,0)"},
  };
  for (const Row& r : kRows) {
    Machine x;
    ASSERT_EQ(sm_start(&x.m), 0);
    ASSERT_EQ(sm_event(&x.m, 5), 0);
    x.t.results = {{"L(2,-3,0)", r.leave_rc}, {"T(2,-3,0)", r.stop_rc}};
    int rc;
    EXPECT_EQ(x.run(sm_stop, &rc), r.trace);
    EXPECT_EQ(rc, r.rc);
    EXPECT_EQ(x.m.err, r.rc);
    EXPECT_EQ(sm_state(&x.m), 0);  // stopped whatever the result
    LogCapture log;
    EXPECT_EQ(sm_stop(&x.m), 9305);
    EXPECT_TRUE(log.has("Machine is not running - `stop' ignored.")) << log.done();
  }
  Machine bare(false);  // no machine-wide callbacks
  ASSERT_EQ(sm_start(&bare.m), 0);
  int rc;
  EXPECT_EQ(bare.run(sm_stop, &rc), "L(1,-3,0)");
  EXPECT_EQ(rc, 0);
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
      {"S(0,-2,1)", sm_start, 0, "Machine is processing - `start' ignored."},
      {"S(0,-2,1)", ev6, 9305, "Machine is not running - event [6] ignored."},
      {"T(2,-3,0)", ev6, 0, "Machine is processing - event [6] ignored."},
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

TEST(SmArgs, NullMachine) {
  LogCapture log;
  EXPECT_EQ(sm_add_state(nullptr, 1, nullptr, nullptr), 9003);
  EXPECT_EQ(sm_add_trans(nullptr, 1, 1, 1, nullptr, nullptr), 9003);
  EXPECT_EQ(sm_start(nullptr) + sm_stop(nullptr) + sm_event(nullptr, 1), 3 * 9003);
  EXPECT_EQ(sm_state(nullptr), 0);
  sm_free(nullptr);
  EXPECT_TRUE(log.has("Invalid param - sm: ") && log.has("`sm' is NUL.")) << log.done();
}

}  // namespace
