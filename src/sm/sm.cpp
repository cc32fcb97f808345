#include "sm/sm.h"

#include <cstring>

#include "err/err.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kBlockItems = 16;

struct sm_tr {
  int event;
  int to;
  sm_cb action_cb;
  sm_cb guard_cb;
};

inline const sm_state_def* st(const graph_node* n) { return static_cast<const sm_state_def*>(graph_node_data(n)); }
inline const sm_tr* tr(const graph_edge* e) { return static_cast<const sm_tr*>(graph_edge_data(e)); }
inline int id_of(const graph_node* n) { return n ? st(n)->id : 0; }

graph_node* find_state(const sm* m, int id) {
  for (graph_node* n = graph_first(&m->g); n; n = graph_next(n))
    if (st(n)->id == id) return n;
  return nullptr;
}

bool null_machine(const sm* m) {
  if (m) return false;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - sm: %p.", (const void*)m);
  return true;
}

// Ends a start, event or stop: a failure goes to err_cb, whose own failure is logged.
void fail(sm* m, int rc, int state, int event, int next) {
  if (!rc || !m->err_cb) return;
  int e = m->err_cb(state, event, next, SM_ERR, m->usrdata);
  if (e)
    ERR_LOG(ERR_ERR, rc, "Machine error - state: %d, event: %d, next_state: %d, usrdata: %p, err_cb: %d.", state, event,
            next, m->usrdata, e);
}

inline int call(sm_cb cb, int state, int event, int next, int reason, void* usrdata) {
  return cb ? cb(state, event, next, reason, usrdata) : 0;
}

}  // namespace

int sm_init(sm* m, unsigned nstates, const sm_state_def* states, unsigned ntrans, const sm_trans_def* trans,
            sm_cb start_cb, sm_cb stop_cb, sm_cb err_cb, void* usrdata) {
  if (!m || !nstates || !states || !ntrans || !trans) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - sm: %p, nstates: %u, states: %p, ntrans: %u, trans: %p.", (void*)m,
            nstates, (const void*)states, ntrans, (const void*)trans);
    return kParam;
  }
  sm_free(m);  // a record starts zeroed; one in use is released first
  int rc = graph_init(&m->g, sizeof(sm_state_def), 0, nullptr, nullptr, nullptr, sizeof(sm_tr), 0, nullptr, nullptr,
                      nullptr, nullptr, kBlockItems, kBlockItems);
  if (rc) return rc;
  m->start_cb = start_cb;
  m->stop_cb = stop_cb;
  m->err_cb = err_cb;
  m->usrdata = usrdata;
  for (unsigned i = 0; !rc && i < nstates; ++i)
    rc = sm_add_state(m, states[i].id, states[i].enter_cb, states[i].leave_cb);
  for (unsigned i = 0; !rc && i < ntrans; ++i)
    rc = sm_add_trans(m, trans[i].from, trans[i].event, trans[i].to, trans[i].action_cb, trans[i].guard_cb);
  // a half-built machine is not left behind
  if (rc) sm_free(m);
  return rc;
}

void sm_free(sm* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, kParam, "`sm' is NUL.");
    return;
  }
  graph_free(&m->g);
  std::memset(m, 0, sizeof *m);
}

int sm_add_state(sm* m, int id, sm_cb enter_cb, sm_cb leave_cb) {
  if (null_machine(m)) return kParam;
  if (!id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - sm: %p, id: %d.", (void*)m, id);
    return kParam;
  }
  if (find_state(m, id)) {
    ERR_LOG(ERR_ERR, SM_E_DUPSTATE, "Duplicate state [%d].", id);
    return SM_E_DUPSTATE;
  }
  const sm_state_def s{id, enter_cb, leave_cb};
  int rc = 0;
  if (!graph_add_node(&m->g, &s, &rc)) {
    if (!rc) rc = 9001;
    ERR_LOG(ERR_ERR, rc, "Failed to add state [%d].", id);
  }
  return rc;
}

int sm_add_trans(sm* m, int from, int event, int to, sm_cb action_cb, sm_cb guard_cb) {
  if (null_machine(m)) return kParam;
  graph_node* src = find_state(m, from);
  graph_node* dst = to ? find_state(m, to) : nullptr;
  if (!src || (to && !dst)) {
    ERR_LOG(ERR_ERR, SM_E_NOSTATE, "No state [%d].", src ? to : from);
    return SM_E_NOSTATE;
  }
  for (graph_edge* e = graph_edge_first(src); e; e = graph_edge_next(e)) {
    if (tr(e)->event == event && tr(e)->guard_cb == guard_cb) {
      ERR_LOG(ERR_ERR, SM_E_DUPTRANS, "Transition already exist [%d->%d].", from, event);
      return SM_E_DUPTRANS;
    }
  }
  const sm_tr t{event, to, action_cb, guard_cb};
  int rc = graph_add_edge(&m->g, src, 0, &t, dst);
  if (rc) ERR_LOG(ERR_ERR, rc, "Failed to add event [%d->%d->%d].", from, event, to);
  return rc;
}

int sm_start(sm* m) {
  if (null_machine(m)) return kParam;
  if (m->cur) {
    ERR_LOG(ERR_ERR, SM_E_RUNNING, "Machine already running - `start' ignored.");
    return SM_E_RUNNING;
  }
  graph_node* first = graph_first(&m->g);
  if (!first) {
    ERR_LOG(ERR_ERR, SM_E_NOSTATES, "Machine has no states - can not start.");
    return SM_E_NOSTATES;
  }
  if (m->processing) {
    ERR_LOG(ERR_ERR, SM_E_PROCESSING, "Machine is processing - `start' ignored.");
    return 0;
  }
  m->processing = 1;
  int id = st(first)->id;
  int rc = call(m->start_cb, 0, SM_EV_START, id, SM_START, m->usrdata);
  if (!rc) rc = call(st(first)->enter_cb, 0, SM_EV_START, id, SM_ENTER, m->usrdata);
  m->err = rc;
  if (!rc) m->cur = first;
  fail(m, rc, 0, SM_EV_START, id);
  m->processing = 0;
  return rc;
}

int sm_event(sm* m, int event) {
  if (null_machine(m)) return kParam;
  if (!m->cur) {
    ERR_LOG(ERR_ERR, SM_E_NOTRUNNING, "Machine is not running - event [%d] ignored.", event);
    return SM_E_NOTRUNNING;
  }
  if (m->err) {
    ERR_LOG(ERR_ERR, m->err, "Machine is in error state.");
    return m->err;
  }
  if (m->processing) {
    ERR_LOG(ERR_ERR, SM_E_PROCESSING, "Machine is processing - event [%d] ignored.", event);
    return 0;
  }
  m->processing = 1;
  graph_node* cur = m->cur;
  int id = st(cur)->id;
  int rc = 0;
  const graph_edge* taken = nullptr;
  int next = 0;
  for (const graph_edge* e = graph_edge_first(cur); e; e = graph_edge_next(e)) {
    const sm_tr* t = tr(e);
    if (t->event != event && t->event != SM_ANY) continue;
    next = t->to;
    rc = call(t->guard_cb, id, event, next, SM_GUARD, m->usrdata);
    if (rc == SM_SKIP) continue;
    if (!rc) taken = e;
    break;
  }
  if (rc == SM_SKIP) rc = 0;
  if (taken) {
    const sm_tr* t = tr(taken);
    rc = call(st(cur)->leave_cb, id, event, next, SM_LEAVE, m->usrdata);
    if (!rc) rc = call(t->action_cb, id, event, next, SM_ACTION, m->usrdata);
    if (!rc && taken->target) rc = call(st(taken->target)->enter_cb, id, event, next, SM_ENTER, m->usrdata);
    if (!rc) m->cur = taken->target;
  } else if (!rc) {
    next = 0;
    ERR_LOG(ERR_ERR, SM_E_IGNORED, "Event [%d] ignored - state: %d.", event, id);
  }
  m->err = rc;
  fail(m, rc, id, event, next);
  m->processing = 0;
  return rc;
}

int sm_stop(sm* m) {
  if (null_machine(m)) return kParam;
  if (!m->cur) {
    ERR_LOG(ERR_ERR, SM_E_NOTRUNNING, "Machine is not running - `stop' ignored.");
    return SM_E_NOTRUNNING;
  }
  if (m->processing) {
    ERR_LOG(ERR_ERR, SM_E_PROCESSING, "Machine is processing - `stop' ignored.");
    return 0;
  }
  m->processing = 1;
  int id = st(m->cur)->id;
  // a state whose event failed was never left cleanly: its leave is not run
  int rc = m->err ? 0 : call(st(m->cur)->leave_cb, id, SM_EV_STOP, 0, SM_LEAVE, m->usrdata);
  int stop = call(m->stop_cb, id, SM_EV_STOP, 0, SM_STOP, m->usrdata);
  if (!rc) rc = stop;
  if (!m->err) m->err = rc;
  m->cur = nullptr;
  fail(m, rc, id, SM_EV_STOP, 0);
  m->processing = 0;
  return rc;
}

int sm_state(const sm* m) {
  if (null_machine(m)) return 0;
  return id_of(m->cur);
}
