#include "xrm/xrm_cmd.h"

#include <string>
#include <vector>

#include "c/log_capture.h"
#include "xrm/tree_fixture.h"

namespace {

class CmdLoad : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(cmdlist_init(&l_), 0);
  }
  void TearDown() override {
    cmdlist_free(&l_);
    TreeDb::TearDown();
  }
  // id[verb|file|params|ncmdMax] of every command, in order.
  std::string dump() const {
    std::string s;
    for (unsigned i = 0; i < l_.ncmds; ++i) {
      const cmd* c = l_.cmds[i];
      auto t = [](const char* p) { return std::string(p ? p : "-"); };
      s += std::string(i ? " " : "") + c->id + "[" + std::to_string(c->type) + "|" + t(c->verb) + "|" + t(c->file) +
           "|" + t(c->params) + "|" + std::to_string(c->ncmdMax) + "]";
    }
    return s;
  }
  cmdlist l_{};
};

TEST_F(CmdLoad, AttributesClassFormsAndRefusedCommands) {
  load("*lst.ids: a,b\tc\\\n  d  bad dup dup\n"
       "*lst.a.cmdname: shexec -verb:open\n*lst.a.params: -x \"y z\"\n*lst.a.ncmdMax: 3\n"
       "*Lst.b.Cmdname: shexec -verb:edit\n*Lst.b.NcmdMax: 0\n"
       "*lst.c.cmdname: run\n"
       "*lst.bad.cmdname: shexec -mask:nosuch\n"
       "*lst.dup.cmdname: shexec\n");
  LogCapture log;
  ASSERT_EQ(xrm_cmd_load(d_, "lst", "Lst", 1, &l_), 0);
  // d has no definition, bad is refused, the second dup is a repeat: each is left out
  EXPECT_EQ(dump(), "a[2|open|-|-x \"y z\"|3] b[2|edit|-|-|12] c[1|-|-|-|12] dup[2|-|-|-|12]");
  EXPECT_TRUE(log.has("Invalid cmdname: `NUL'.")) << log.done();
  EXPECT_TRUE(log.has("Invalid `mask' [nosuch] - cmdname: `shexec -mask:nosuch'.")) << log.done();
  EXPECT_TRUE(log.has("cmd [dup] already exist - cmdlist: ")) << log.done();
  EXPECT_TRUE(mutex_free());
}

TEST_F(CmdLoad, WhatEndsALoad) {
  load("*lst.ids: a b\n*lst.a.cmdname: run\n*lst.b.cmdname: run\n*long.ids: b a\n*long.b.cmdname: run\n");
  put("*long.a.cmdname", "run " + std::string(9000, 'x'));
  struct Row {
    const char* name;
    int code;
  };
  const Row rows[] = {{"long", 9005}, {"none", 0}};
  for (const Row& r : rows) {
    cmdlist_init(&l_);
    LogCapture log;
    EXPECT_EQ(xrm_cmd_load(d_, r.name, nullptr, 0, &l_), r.code) << r.name;
    EXPECT_EQ(l_.ncmds, r.code ? 1u : 0u) << r.name;  // what came before stays
    EXPECT_TRUE(mutex_free()) << r.name;
  }
  {
    LogCapture log;  // a name that does not fit a query
    EXPECT_EQ(xrm_cmd_load(d_, std::string(260, 'n').c_str(), nullptr, 0, &l_), 9005);
    EXPECT_TRUE(log.has("mox_snprintf() failed - size: 256.")) << log.done();
  }
  // the whole load waits for the manager's mutex
  EXPECT_EQ(while_locked([&] { return xrm_cmd_load(d_, "lst", nullptr, 0, &l_); }), 9011);
  EXPECT_TRUE(mutex_free());
}

TEST_F(CmdLoad, BuiltinLists) {
  load_builtin();
  ASSERT_EQ(xrm_cmd_load(d_, "quarnw.cmd", nullptr, 1, &l_), 0);
  EXPECT_EQ(dump(), "man[2|open|doc\\quarn.html|-|12]");
  cmdlist fl{};
  ASSERT_EQ(cmdlist_init(&fl), 0);
  ASSERT_EQ(xrm_cmd_load(d_, "flistCmd", nullptr, 1, &fl), 0);
  struct Row {
    const char* id;
    unsigned mask;
    const char* verb;
  };
  const Row rows[] = {{"fdflt", 0, nullptr},
                      {"fedit", 0, "edit"},
                      {"fopen", 0, "open"},
                      {"fopenas", 0xC, "openas"},
                      {"fopendir", 0, "open"}};
  EXPECT_EQ(fl.ncmds, 5u);
  for (const Row& r : rows) {
    const cmd* c = cmdlist_find(&fl, r.id);
    ASSERT_NE(c, nullptr) << r.id;
    EXPECT_EQ(c->type, 2) << r.id;
    EXPECT_EQ(c->mask, r.mask) << r.id;
    EXPECT_EQ(std::string(c->verb ? c->verb : "-"), r.verb ? r.verb : "-") << r.id;
    EXPECT_EQ(c->show, 1) << r.id;
  }
  cmdlist_free(&fl);
}

}  // namespace
