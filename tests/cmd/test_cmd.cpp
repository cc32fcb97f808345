#include "cmd/cmd.h"

#include <string>
#include <vector>

#include "c/log_capture.h"

namespace {

struct List {
  cmdlist l{};
  List() { EXPECT_EQ(cmdlist_init(&l), 0); }
  ~List() { cmdlist_free(&l); }
  cmd* add(const char* id, const char* def, const char* params = nullptr, int ncmdMax = 0, int* err = nullptr) {
    return cmdlist_add(&l, id, def, params, ncmdMax, err);
  }
};

std::string s(const char* p) { return p ? p : "NUL"; }

TEST(CmdDefine, FieldsFromDefinitions) {
  struct Row {
    const char* def;
    const char* want;  // type mask verb file dir show
  };
  const Row rows[] = {
      {"shexec", "2 0 NUL NUL NUL 1"},
      {"SHEXEC -verb:open", "2 0 open NUL NUL 1"},  // the op word ignores case
      {"shexec -mask:INVOKEIDLIST -verb:openas", "2 12 openas NUL NUL 1"},
      {"shexec -file:\"C:\\a b\\x.txt\" -dir:C:\\t", "2 0 NUL C:\\a b\\x.txt C:\\t 1"},
      {"shexec -verb:open -verb:", "2 0 NUL NUL NUL 1"},  // an empty value clears
      {"shexec -show:MINIMIZE|SHOWNA", "2 0 NUL NUL NUL 14"},
      {"shexec -show:HIDE", "2 0 NUL NUL NUL 0"},
      {"shexec -show:MAX -show:SHOWNOACTIVATE", "2 0 NUL NUL NUL 4"},  // cleared each time
      {"run -verb:x -anything:y", "1 0 NUL NUL NUL 0"},
  };
  List l;
  int i = 0;
  for (const Row& r : rows) {
    int err = -1;
    cmd* c = l.add(("c" + std::to_string(i++)).c_str(), r.def, nullptr, 0, &err);
    ASSERT_TRUE(c && !err) << r.def;
    EXPECT_EQ(std::to_string(c->type) + " " + std::to_string(c->mask) + " " + s(c->verb) + " " + s(c->file) + " " +
                  s(c->dir) + " " + std::to_string(c->show),
              r.want);
    EXPECT_EQ(s(c->cmdname), r.def);
    EXPECT_EQ(c->ncmdMax, 12);
  }
}

TEST(CmdDefine, RefusedDefinitionsAddNothing) {
  struct Row {
    const char* def;
    const char* msg;
  };
  const Row rows[] = {
      {"shexec -mask:invokeidlist", "Invalid `mask' [invokeidlist] - cmdname: `shexec -mask:invokeidlist'."},
      {"shexec -show:minimize", "Invalid `show' [minimize] - cmdname: `shexec -show:minimize'."},
      {"shexec -show:SHOWNA|2", "Invalid `show' [2] - cmdname: `shexec -show:SHOWNA|2'."},
      {"shexec -Verb:open", "Invalid `op' [Verb] - cmdname: `shexec -Verb:open'."},
      {"-verb:open shexec", "Invalid cmdname: `-verb:open shexec'."},
      {"", "Invalid cmdname: `'."},
  };
  List l;
  for (const Row& r : rows) {
    LogCapture log;
    int err = 0;
    EXPECT_EQ(l.add("x", r.def, "p", 3, &err), nullptr) << s(r.def);
    EXPECT_EQ(err, 9003) << s(r.def);
    EXPECT_TRUE(log.has(r.msg)) << log.done();
    EXPECT_EQ(cmdlist_find(&l.l, "x"), nullptr);
  }
  EXPECT_EQ(cmdlist_count(&l.l), 0u);
}

TEST(CmdList, IdsLimitsAndLookup) {
  List l;
  cmd* a = l.add("fopen", "shexec -verb:open", "-x \"y z\"", 5);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(s(a->params), "-x \"y z\"");
  EXPECT_EQ(a->ncmdMax, 5);
  EXPECT_EQ(l.add("zero", "shexec", nullptr, 0)->ncmdMax, 12);
  EXPECT_EQ(l.add("neg", "shexec", nullptr, -3)->ncmdMax, 12);
  {
    LogCapture log;
    int err = 0;
    EXPECT_EQ(l.add("fopen", "run", nullptr, 0, &err), nullptr);
    EXPECT_EQ(err, 9007);
    EXPECT_TRUE(log.has("cmd [fopen] already exist - cmdlist: ")) << log.done();
    EXPECT_EQ(cmdlist_find(&l.l, "fopen")->type, 2);  // the first stays
  }
  int err = 0;
  EXPECT_EQ(cmdlist_find(&l.l, "FOPEN", &err), nullptr);  // ids are case-sensitive
  EXPECT_EQ(err, 9006);
  EXPECT_EQ(cmdlist_find(&l.l, "fopen", &err), a);
  EXPECT_EQ(err, 0);
  // the list keeps the order of adding
  std::vector<std::string> ids;
  for (unsigned i = 0; i < l.l.ncmds; ++i) ids.push_back(l.l.cmds[i]->id);
  EXPECT_EQ(ids, (std::vector<std::string>{"fopen", "zero", "neg"}));
}

TEST(CmdPrepare, WhatTheShellIsGiven) {
  List l;
  cmd* c = l.add("c", "shexec -mask:INVOKEIDLIST -verb:openas -show:SHOWMINIMIZED -dir:D", "P");
  cmd* f = l.add("f", "shexec -file:F");
  cmd* none = l.add("n", "run");
  cmd_exec ex;
  int run = -1;
  int owner = 0;
  ASSERT_EQ(cmd_prepare(c, "x.txt", nullptr, &owner, &ex, &run), 0);
  EXPECT_EQ(run, 1);
  EXPECT_EQ(ex.mask, 0xCu);
  EXPECT_EQ(ex.owner, &owner);
  EXPECT_EQ(s(ex.verb), "openas");
  EXPECT_EQ(s(ex.file), "x.txt");
  EXPECT_EQ(s(ex.params), "P");
  EXPECT_EQ(s(ex.dir), "D");  // the command's directory when the caller gives none
  EXPECT_EQ(ex.show, 2);
  ASSERT_EQ(cmd_prepare(c, "x.txt", "E", nullptr, &ex, &run), 0);
  EXPECT_EQ(s(ex.dir), "E");
  ASSERT_EQ(cmd_prepare(f, "", "", nullptr, &ex, &run), 0);  // empty: the command's own
  EXPECT_EQ(s(ex.file), "F");
  EXPECT_EQ(s(ex.dir), "NUL");
  EXPECT_EQ(s(ex.verb), "NUL");
  EXPECT_EQ(ex.show, 1);
  ASSERT_EQ(cmd_prepare(none, "x", nullptr, nullptr, &ex, &run), 0);
  EXPECT_EQ(run, 0);
  {
    LogCapture log;
    EXPECT_EQ(cmd_prepare(c, "", nullptr, nullptr, &ex, &run), 9003);
    EXPECT_EQ(run, 0);
    EXPECT_TRUE(log.has("No `file' specified.")) << log.done();
  }
  {
    LogCapture log;
    cmd bad = *none;
    bad.type = 0;
    EXPECT_EQ(cmd_prepare(&bad, "x", nullptr, nullptr, &ex, &run), 9003);
    EXPECT_TRUE(log.has("Invalid cmd type [0].")) << log.done();
  }
}

}  // namespace
