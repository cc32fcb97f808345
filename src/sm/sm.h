// Table-driven finite state machine. It owns no thread: every callback runs inside the
// call that delivered the event, on the caller's thread.
// A record starts zero-filled (`sm x{}`): init releases what the record held.
#pragma once

#include "ds/graph.h"

// Every callback: (current state id, event, next state id, reason, usrdata) -> 0 or a code.
typedef int (*sm_cb)(int state, int event, int next, int reason, void* usrdata);

// Reasons.
enum { SM_ERR = 1, SM_START, SM_STOP, SM_GUARD, SM_ENTER, SM_LEAVE, SM_ACTION };
// Pseudo-events of start and stop; a transition on SM_ANY matches every event.
enum { SM_EV_START = -2, SM_EV_STOP = -3, SM_ANY = -4 };
// A guard's answer that the transition does not apply.
enum { SM_SKIP = 1001 };
// Refusals.
enum {
  SM_E_NOSTATES = 9301,
  SM_E_NOSTATE = 9302,
  SM_E_DUPSTATE = 9303,
  SM_E_DUPTRANS = 9304,
  SM_E_NOTRUNNING = 9305,
  SM_E_RUNNING = 9306,
  SM_E_IGNORED = 9307,
  SM_E_PROCESSING = 9308
};

struct sm_state_def {
  int id;  // not 0: 0 stands for "not running" and "no target"
  sm_cb enter_cb;
  sm_cb leave_cb;
};

struct sm_trans_def {
  int from;
  int event;
  int to;  // 0: no target; taking the transition ends the run
  sm_cb action_cb;
  sm_cb guard_cb;
};

struct sm {
  graph g;  // states in the order added (the first is the initial one), each with its transitions in order
  sm_cb start_cb;
  sm_cb stop_cb;
  sm_cb err_cb;
  void* usrdata;
  graph_node* cur;  // nullptr while not running
  int err;          // the last start, event or stop failure; events are refused while set
  int processing;   // a start, stop or event is being handled
};

int sm_init(sm* m, unsigned nstates, const sm_state_def* states, unsigned ntrans, const sm_trans_def* trans,
            sm_cb start_cb, sm_cb stop_cb, sm_cb err_cb, void* usrdata);
void sm_free(sm* m);

int sm_add_state(sm* m, int id, sm_cb enter_cb, sm_cb leave_cb);
int sm_add_trans(sm* m, int from, int event, int to, sm_cb action_cb, sm_cb guard_cb);

int sm_start(sm* m);
int sm_stop(sm* m);
int sm_event(sm* m, int event);
// The current state's id; 0 while not running.
int sm_state(const sm* m);
