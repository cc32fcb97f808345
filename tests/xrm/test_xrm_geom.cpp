#include "xrm/xrm_geom.h"

#include <string>

#include "c/log_capture.h"
#include "xrm/tree_fixture.h"

namespace {

constexpr xrm_idmap kCtrls[] = {{"a", 101}, {"b", 102}, {"c", 103}, {"d", 104}};

class GeomLoad : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    ASSERT_EQ(geom_init(&g_, "top"), 0);
  }
  void TearDown() override {
    geom_free(&g_);
    TreeDb::TearDown();
  }
  int run(const char* name = "lay", unsigned nids = 4) { return xrm_geom_load(d_, name, "Lay", 1, &g_, nids, kCtrls); }
  // id:type:ctrl:growX/growY:limits(children) depth first.
  static std::string dump(const geom_item* it) {
    auto lim = [](unsigned v, const geom_size& s) {
      return s.unit && s.unit != 'P' ? std::to_string(s.n) + s.unit : v == GEOM_UNSET ? "-" : std::to_string(v);
    };
    std::string s = std::string(it->id) + ":" + "?WHV"[it->type] + (it->ctrlid ? std::to_string(it->ctrlid) : "") +
                    ":" + std::to_string(it->growX) + "/" + std::to_string(it->growY);
    if (it->lim[0].unit || it->lim[1].unit || it->lim[2].unit || it->lim[3].unit)
      s += ":" + lim(it->minW, it->lim[0]) + "," + lim(it->minH, it->lim[1]) + "," + lim(it->maxW, it->lim[2]) + "," +
           lim(it->maxH, it->lim[3]);
    if (it->nchildren) {
      s += "(";
      for (unsigned i = 0; i < it->nchildren; ++i) s += (i ? " " : "") + dump(it->children[i]);
      s += ")";
    }
    return s;
  }
  geom g_{};
};

TEST_F(GeomLoad, TreeFromResources) {
  load("*lay.top.type: vline\n*lay.top.ids: row, c\n*lay.top.growX: 1\n"
       "*lay.row.type: hline\n*lay.row.ids: a,\tb\n*lay.row.growX: 1\n"
       "*lay.a.type: wnd\n*lay.a.minW: 5C\n*lay.a.maxW: 25c\n"
       "*lay.b.type: WND\n*lay.b.growX: 2\n*lay.b.minH: 7p\n*lay.b.maxH: 9\n"
       "*Lay.c.Type: wnd\n*Lay.c.GrowY: 1\n*Lay.c.GrowX: 1\n");
  ASSERT_EQ(run(), 0);
  ASSERT_NE(g_.root, nullptr);
  EXPECT_EQ(dump(g_.root), "top:V:1/0(row:H:1/0(a:W101:0/0:5C,-,25C,- b:W102:2/0:-,7,-,9L) c:W103:1/1)");
  EXPECT_EQ(geom_count(&g_), 5u);
  EXPECT_TRUE(mutex_free());
  LogCapture log;
  EXPECT_EQ(run(), 9012);  // once only
  EXPECT_TRUE(log.has("Already loaded - geom[") && log.has("]: `top', name: `lay', cls: `Lay', nnodes: 5.")) << log.done();
  EXPECT_EQ(geom_count(&g_), 5u);
}

TEST_F(GeomLoad, RefusedTrees) {
  std::string deep = "*deep.top.type: vline\n*deep.top.ids: l0\n";
  for (int i = 0; i < 40; ++i)
    deep += "*deep.l" + std::to_string(i) + ".type: vline\n*deep.l" + std::to_string(i) + ".ids: l" +
            std::to_string(i + 1) + "\n";
  load("*notype.top.type: hline\n*notype.top.ids: a x\n*notype.a.type: wnd\n"
       "*noctrl.top.type: hline\n*noctrl.top.ids: a e\n*noctrl.a.type: wnd\n*noctrl.e.type: wnd\n"
       "*dup.top.type: hline\n*dup.top.ids: a a\n*dup.a.type: wnd\n"
       "*self.top.type: hline\n*self.top.ids: a top\n*self.a.type: wnd\n"
       "*badtype.top.type: grid\n"
       "*badsize.top.type: hline\n*badsize.top.minW: 3x\n"
       "*long.top.type: hline\n" + deep);
  put("*long.top.ids", std::string(8200, 'a'));
  struct Row {
    const char* name;
    int code;
    const char* msg;
  };
  const Row rows[] = {
      {"notype", 9006, "Geom item type not found - iname: `notype.x', icls: `Lay.x'."},
      {"noctrl", 9006, "Geom ctrlid not found - iname: `noctrl.e', icls: `Lay.e', id: `e'."},
      {"dup", 9007, "Failed to insert geom item - name: `dup', cls: `Lay', id: `a'."},
      {"self", 9007, "Geom [top] item [top] already exist."},
      {"badtype", 9012, "Invalid enum name [grid]"},
      {"badsize", 9003, "Invalid size [3x]."},
      {"long", 9005, "Value too long - name: "},
      {"deep", 9009, "Max geom depth [32] exceeded - name: `deep', id: `l31'."},
  };
  for (const Row& r : rows) {
    LogCapture log;
    int e = run(r.name);
    EXPECT_EQ(e, r.code) << r.name;
    EXPECT_TRUE(log.has(r.msg)) << r.name << log.done();
    EXPECT_EQ(geom_count(&g_), 0u) << r.name;  // nothing half-built stays
    EXPECT_STREQ(g_.name, "top");
    EXPECT_TRUE(mutex_free()) << r.name;
  }
  load("*nomap.top.type: wnd\n");
  EXPECT_EQ(run("nomap", 0), 9006);  // no map: no control
  EXPECT_EQ(while_locked([&] { return run("notype"); }), 9011);
  EXPECT_TRUE(mutex_free());
}

}  // namespace
