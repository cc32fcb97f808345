#include "ex/ex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "c/log_capture.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace {

// A primary of our own: each test call goes into a trace, each free is counted by id.
struct Pri {
  ex_val head;
  char id;
  int result;
};

std::string g_trace;
int g_freed[128];

int pri_test(void*, void* p) {
  g_trace += static_cast<Pri*>(p)->id;
  return static_cast<Pri*>(p)->result;
}
int pri_free(void* p) {
  g_freed[(unsigned char)static_cast<Pri*>(p)->id]++;
  return 0;
}

Pri* pri_new(char id, int result) {
  Pri* v = static_cast<Pri*>(calloc(1, sizeof(Pri)));
  v->head.type = EX_PRIMARY;
  v->head.u.test = pri_test;
  v->id = id;
  v->result = result;
  return v;
}
Pri* pri_of(const tree_node* n) { return reinterpret_cast<Pri*>(ex_node_val(n)); }

// Operators with their operands, '!' before a negated node, a primary by its id.
std::string shape(const tree_node* n) {
  const ex_val* v = ex_node_val(n);
  if (!v) return "?";
  std::string s = v->negate ? "!" : "";
  if (v->type == EX_PRIMARY) return s + pri_of(n)->id;
  s += v->u.op == EX_AND ? "AND(" : v->u.op == EX_OR ? "OR(" : "OP(";
  for (const tree_node* c = n->first; c; c = c->next) {
    EXPECT_EQ(c->parent, n);
    s += (c == n->first ? "" : ",") + shape(c);
  }
  return s + ")";
}

class Ex : public ::testing::Test {
 protected:
  ex e{};
  int usr = 0;  // the record evaluated; the test primaries do not look at it

  void SetUp() override { reset(); }
  void TearDown() override { ex_free(&e); }
  void reset() {
    ex_free(&e);
    g_trace.clear();
    memset(g_freed, 0, sizeof g_freed);
    ASSERT_EQ(ex_init(&e, pri_free), 0);
  }
  tree_node* add(char id, int result = 1) {
    int err = -1;
    tree_node* n = ex_add(&e, pri_new(id, result), &err);
    EXPECT_EQ(err, 0);
    return n;
  }
  // As the parser builds "A B C" or "A -o B -o C": add each operand, then combine.
  tree_node* chain(int op, const char* ids, const char* results) {
    tree_node* l = add(ids[0], results[0] - '0');
    for (int i = 1; ids[i]; i++) {
      tree_node* r = add(ids[i], results[i] - '0');
      int err = -1;
      l = op == EX_AND ? ex_and(&e, l, r, &err) : ex_or(&e, l, r, &err);
      EXPECT_EQ(err, 0);
    }
    return l;
  }
  std::string tree() { return ex_root(&e) ? shape(ex_root(&e)) : ""; }
  int eval(int want_err = 0) {
    int err = -1;
    int r = ex_eval(&e, &usr, &err);
    EXPECT_EQ(err, want_err);
    return r;
  }
};

TEST_F(Ex, ShortCircuitLeftToRight) {
  const struct {
    int op;
    const char* results;
    int want;
    const char* trace;
  } cases[] = {{EX_AND, "1011", 0, "AB"}, {EX_AND, "1111", 1, "ABCD"}, {EX_OR, "0100", 1, "AB"},
               {EX_OR, "0000", 0, "ABCD"}};
  for (const auto& k : cases) {
    reset();
    chain(k.op, "ABCD", k.results);
    EXPECT_EQ(eval(), k.want) << k.op << k.results;
    EXPECT_EQ(g_trace, k.trace) << k.op << k.results;
  }
  reset();
  add('A', 7);
  EXPECT_EQ(eval(), 1) << "any non-zero test result is true";
}

TEST_F(Ex, Negation) {
  // !(A -o B) -a C: A decides the OR, the negation makes it false, C is skipped
  int err = -1;
  tree_node* ab = chain(EX_OR, "AB", "10");
  ex_not(ab, &err);
  tree_node* c = add('C', 1);
  ex_and(&e, ab, c, &err);
  EXPECT_EQ(tree(), "AND(!OR(A,B),C)");
  EXPECT_EQ(eval(), 0);
  EXPECT_EQ(g_trace, "A");
  pri_of(ab->first)->result = 0;
  g_trace.clear();
  EXPECT_EQ(eval(), 1);
  EXPECT_EQ(g_trace, "ABC");
}

TEST_F(Ex, EmptyThingsAreFalse) {
  EXPECT_EQ(eval(), 0);
  ex zeroed{};
  int err = -1;
  EXPECT_EQ(ex_eval(&zeroed, &usr, &err), 0);
  EXPECT_EQ(err, 0);
  // an operator without operands is false, negated true
  tree_node* n = ex_add(&e, ex_op_new(EX_AND, &err), &err);
  EXPECT_EQ(eval(), 0);
  ex_not(n, &err);
  EXPECT_EQ(eval(), 1);
}

TEST_F(Ex, EvaluationErrors) {
  // !(OR(OR(A=false, <op 9>), C)): the bad operator ends everything, negation included
  int err = 0;
  ex_val* bad = ex_op_new(9, &err);
  ASSERT_NE(bad, nullptr);
  tree_node* a = add('A', 0);
  tree_node* b = ex_add(&e, bad, &err);
  tree_node* ab = ex_or(&e, a, b, &err);
  tree_node* c = add('C', 1);
  ex_not(ex_or(&e, ab, c, &err), &err);
  {
    LogCapture log;
    EXPECT_EQ(eval(9012), 0);
    EXPECT_TRUE(log.has("Unexpected ex op [9] - exnode: ")) << log.got;
  }
  EXPECT_EQ(g_trace, "A");
  reset();
  Pri* odd = pri_new('X', 1);
  odd->head.type = 5;
  ex_add(&e, odd, &err);
  {
    LogCapture log;
    EXPECT_EQ(eval(9012), 0);
    EXPECT_TRUE(log.has("Unexpected ex node type [5] - node: ")) << log.got;
  }
  EXPECT_EQ(g_trace, "");
  odd->head.type = EX_PRIMARY;  // so that the free hands it to the callback
  // a node that carries no value
  tree_node* bare = nullptr;
  ASSERT_EQ(tree_add(&e.tree, ex_root(&e), nullptr, &bare), 0);
  {
    LogCapture log;
    EXPECT_EQ(ex_not(bare, &err), nullptr);
    EXPECT_EQ(err, 9003);
    EXPECT_TRUE(log.has("ex node is NULL - node: ")) << log.got;
  }
  bare->val.p = ex_root(&e)->val.p;
  ex_root(&e)->val.p = nullptr;
  {
    LogCapture log;
    EXPECT_EQ(eval(9003), 0);
    EXPECT_TRUE(log.has("ex node is NULL - node: ")) << log.got;
  }
  ex_root(&e)->val.p = pri_new('Y', 1);
}

TEST_F(Ex, EveryPrimaryIsFreedOnce) {
  tree_node* ab = chain(EX_OR, "AB", "00");
  tree_node* l = ex_and(&e, ab, add('C'), nullptr);
  ex_or(&e, l, add('D'), nullptr);
  EXPECT_EQ(tree(), "OR(AND(OR(A,B),C),D)");
  EXPECT_EQ(ex_free(&e), 0);
  EXPECT_EQ(ex_free(&e), 0) << "a freed record may be freed again";
  for (char id : std::string("ABCD")) EXPECT_EQ(g_freed[(int)id], 1) << id;
  // a refused move (the root below its own child) still leaves a tree that frees cleanly
  reset();
  tree_node* a = add('A');
  tree_node* b = add('B');
  int err = 0;
  {
    LogCapture log;
    ex_and(&e, b, a, &err);
  }
  EXPECT_NE(err, 0);
  ex_free(&e);
  EXPECT_EQ(g_freed[(int)'A'] + g_freed[(int)'B'], 2);
}

TEST_F(Ex, ArgumentChecks) {
  tree_node* a = add('A');
  LogCapture log;
  int errs[6] = {};
  EXPECT_FALSE(ex_add(nullptr, &usr, &errs[0]) || ex_add(&e, nullptr, &errs[1]) || ex_and(&e, nullptr, a, &errs[2]) ||
               ex_or(&e, a, nullptr, &errs[3]) || ex_not(nullptr, &errs[4]) || ex_eval(&e, nullptr, &errs[5]));
  for (int err : errs) EXPECT_EQ(err, 9003);
  EXPECT_EQ(tree(), "A") << "refused calls change nothing";
  EXPECT_EQ(g_trace, "");
  for (const char* m : {"Invalid param - ex: ", ", node: ", ", lnode: ", ", rnode: ", "`node' is NUL.",
                        ", usrdata: "})
    EXPECT_TRUE(log.has(m)) << m << "\n" << log.got;
}

// Runs fn on a thread with a 64 KiB stack, as small as a search thread may get.
template <class F>
void on_small_stack(F& fn) {
  constexpr unsigned kStack = 64 * 1024;
#ifdef _WIN32
  struct Thunk {
    static DWORD WINAPI run(LPVOID p) {
      (*static_cast<F*>(p))();
      return 0;
    }
  };
  HANDLE h = CreateThread(nullptr, kStack, Thunk::run, &fn, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  ASSERT_NE(h, nullptr);
  WaitForSingleObject(h, INFINITE);
  CloseHandle(h);
#else
  struct Thunk {
    static void* run(void* p) {
      (*static_cast<F*>(p))();
      return nullptr;
    }
  };
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kStack);
  pthread_t t;
  ASSERT_EQ(pthread_create(&t, &attr, Thunk::run, &fn), 0);
  pthread_join(t, nullptr);
  pthread_attr_destroy(&attr);
#endif
}

// Was: evaluation recursed once per level, so a left-grouped chain of some 45000
// operands overflowed the stack.
TEST_F(Ex, DeepChainsOnASmallStack) {
  constexpr int kOperands = 200000;
  struct Mix {
    int (*op)(int i);
    int (*neg)(int i);
    int (*result)(int i);
  };
  const Mix mixes[] = {
      {[](int) { return (int)EX_AND; }, [](int) { return 0; }, [](int) { return 1; }},
      {[](int) { return (int)EX_OR; }, [](int) { return 0; }, [](int i) { return i == kOperands - 1 ? 1 : 0; }},
      {[](int i) { return i % 3 ? (int)EX_AND : (int)EX_OR; }, [](int i) { return i % 2; },
       [](int i) { return (i * 7 % 5) < 2 ? 1 : 0; }},
  };
  for (const Mix& m : mixes) {
    reset();
    // the operators a parser builds for "A0 -a A1 -o A2 ...", and the value it should give
    tree_node* l = add('a', m.result(0));
    int want = m.result(0), tests = 1;
    for (int i = 1; i < kOperands; i++) {
      int op = m.op(i), x = m.result(i), err = 0;
      tree_node* r = add('b', x);
      l = op == EX_AND ? ex_and(&e, l, r, &err) : ex_or(&e, l, r, &err);
      ASSERT_NE(l, nullptr);
      if (m.neg(i)) ex_not(l, &err);
      if (want == (op == EX_AND ? 1 : 0)) {
        tests++;
        want = x;
      }
      if (m.neg(i)) want = !want;
    }
    int got = -1, err = -1;
    auto run = [&] { got = ex_eval(&e, &usr, &err); };
    on_small_stack(run);
    EXPECT_EQ(err, 0);
    EXPECT_EQ(got, want);
    EXPECT_EQ(g_trace.size(), (size_t)tests) << "short circuit at every level";
  }
}

}  // namespace
