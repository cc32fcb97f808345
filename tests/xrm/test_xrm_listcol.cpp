#include "xrm/xrm_listcol.h"

#include <gtest/gtest.h>

#include <string>

#include "c/log_capture.h"
#include "xrm/tree_fixture.h"

namespace {

class Listcol : public TreeDb {
 protected:
  void SetUp() override {
    TreeDb::SetUp();
    listcol_init(&lc_);
  }
  // id:w:wpref:rev:align:excl:visible:grp per column, in display order.
  std::string dump() const {
    std::string s;
    for (unsigned i = 0; i < lc_.ncols; ++i) {
      const listcol_col& c = lc_.cols[lc_.order[i]];
      s += std::string(i ? " " : "") + c.id + "[" + c.name + "]:" + std::to_string(c.w) + ":" + c.wpref + ":" +
           std::to_string(c.sortrev_dflt) + "lcr"[c.align] + std::to_string(c.excl) + std::to_string(c.visible) +
           (c.grp >= 0 ? std::string(":") + lc_.grps[c.grp].id : "");
    }
    return s;
  }
  listcol lc_;
};

TEST_F(Listcol, AttributesDefaultsAndClassForms) {
  load("*lst.col: a, b,c\tnone\n"
       "*lst.col.a.name: Title A\n*lst.col.a.w: 120\n*lst.col.a.wPref: 12C\n*lst.col.a.sortrevDflt: Yes\n"
       "*lst.col.a.align: right\n*lst.col.a.excl: Yes\n*lst.col.a.visible: No\n"
       "*lst.col.b.name: b\n*lst.col.b.align: center\n"
       "*Set.c.Name: from class\n*Set.c.Align: right\n*Set.c.WPref: 3C\n*Lcol*c.Visible: No\n"
       "*lst.col.none.name: n\n");
  ASSERT_EQ(xrm_listcol_load(d_, "lst.col", "Lcol.Set", 1, &lc_), 0);
  EXPECT_EQ(dump(),
            "a[Title A]:120:12C:1r10 b[b]:-1::0c01 c[from class]:-1:3C:0r00 none[n]:-1::0l01");
  EXPECT_STREQ(lc_.name, "lst.col");
  EXPECT_STREQ(lc_.cls, "Lcol.Set");
  EXPECT_EQ(listcol_find(&lc_, "c"), 2);
  EXPECT_EQ(listcol_find(&lc_, "C"), -1);

  // Without class forms the class resources do not apply; a column without a
  // title resource keeps its id and says so.
  LogCapture log;
  ASSERT_EQ(xrm_listcol_load(d_, "lst.col", nullptr, 1, &lc_), 0);
  EXPECT_EQ(dump(), "a[Title A]:120:12C:1r10 b[b]:-1::0c01 c[c]:-1::0l01 none[n]:-1::0l01");
  EXPECT_TRUE(log.has("Listcol item name not found - iname: `lst.col.c', icls: `NUL.c'.")) << log.got;
}

TEST_F(Listcol, MissingSetIsEmptyAndDuplicatesAreSkipped) {
  load("*dup.col: x, y, x\n*dup.col.x.name: X\n*dup.col.y.name: Y\n");
  lc_.ncols = 5;
  EXPECT_EQ(xrm_listcol_load(d_, "nothing.here", "Nothing.Here", 1, &lc_), 0);
  EXPECT_EQ(lc_.ncols, 0u);
  LogCapture log;
  EXPECT_EQ(xrm_listcol_load(d_, "dup.col", nullptr, 1, &lc_), 0);
  EXPECT_EQ(dump(), "x[X]:-1::0l01 y[Y]:-1::0l01");
  EXPECT_TRUE(log.has("Listcol item [x] already exist - iname: `dup.col'.")) << log.got;
}

TEST_F(Listcol, FailuresEndTheLoadAndReleaseTheMutex) {
  std::string many = "*big.col:";
  for (int i = 0; i <= LISTCOL_MAX; ++i) many += " c" + std::to_string(i);
  std::string longid = "*long.col: " + std::string(LISTCOL_ID_SIZE, 'i') + "\n";
  load("*al.col: a, b\n*al.col.a.name: A\n*al.col.b.name: B\n*al.col.b.align: middle\n"
       "*ttl.col: a\n*ttl.col.a.name: " + std::string(LISTCOL_NAME_SIZE + 10, 't') + "\n" +
       longid + many + "\n");
  struct {
    const char* name;
    int code;
    const char* msg;
  } cases[] = {
      {"al.col", 9003, "Invalid listcol align [middle] - iname: `al.col.b', icls: `Al.Col.b'."},
      {"ttl.col", 9005, ""},
      {"long.col", 9005, "too long"},
      {"big.col", 9009, "Max listcol items [64] exceeded - iname: `big.col', id: `c64'."},
  };
  for (const auto& c : cases) {
    LogCapture log;
    EXPECT_EQ(xrm_listcol_load(d_, c.name, "Al.Col", 1, &lc_), c.code) << c.name;
    EXPECT_TRUE(log.has(c.msg)) << c.name << ": " << log.got;
    EXPECT_TRUE(mutex_free()) << c.name;
  }
}

TEST_F(Listcol, OrderAndGroups) {
  load("*g.col: p, q, r, s, t\n"
       "*g.col.order: s, zz, q, s\n"
       "*g.col.grps: times, gone, times, flags\n"
       "*g.col.times: q, r, unknown\n*g.col.times.visible: No\n*g.col.times.excl: Yes\n"
       "*g.col.flags: r, t\n*g.col.flags.visible: No\n"
       "*g.col.t.visible: Yes\n");
  LogCapture log;
  ASSERT_EQ(xrm_listcol_load(d_, "g.col", nullptr, 1, &lc_), 0);
  // named columns first (unknown and repeated ids passed over), the rest in id order;
  // a group's flags hold for its columns, a column belongs to its first group
  EXPECT_EQ(dump(), "s[s]:-1::0l01 q[q]:-1::0l10:times p[p]:-1::0l01 r[r]:-1::0l10:times t[t]:-1::0l00:flags");
  ASSERT_EQ(lc_.ngrps, 2u);
  EXPECT_EQ(lc_.grps[0].ncols, 2u);
  EXPECT_EQ(lc_.grps[1].ncols, 1u);
  EXPECT_TRUE(log.has("Listcol group ids not found - iname: `g.col.gone', pcls: `NUL'.")) << log.got;
}

TEST_F(Listcol, SaveWritesWhatTheNextLoadReads) {
  load("*sv.col: a, b, c\n*sv.col.a.name: A\n*sv.col.b.name: B\n*sv.col.c.name: C\n"
       "*sv.col.b.visible: No\n*sv.col.a.wPref: 10C\n");
  // the user's own resources, as the program keeps them
  db* usr = xrm_db_new(&x_);
  ASSERT_NE(usr, nullptr);
  ASSERT_EQ(xrm_add_cb(d_, XRM_EV_SET, xrm_cb_mirror, usr, nullptr, 0), 0);

  ASSERT_EQ(xrm_listcol_load(d_, "sv.col", "Listcol.Col", 1, &lc_), 0);
  lc_.order[0] = 2, lc_.order[1] = 0, lc_.order[2] = 1;
  lc_.cols[0].w = 77;
  lc_.cols[1].visible = 1;
  lc_.cols[2].excl = 1;
  ASSERT_EQ(xrm_listcol_save(d_, "*sv.col", &lc_), 0);
  EXPECT_TRUE(mutex_free());

  listcol back;
  listcol_init(&back);
  ASSERT_EQ(xrm_listcol_load(d_, "sv.col", "Listcol.Col", 1, &back), 0);
  const std::string want = "c[C]:-1::0l11 a[A]:77:10C:0l01 b[B]:-1::0l01";
  std::swap(lc_, back);
  EXPECT_EQ(dump(), want);

  // exactly the saved values reached the user's database, under the name given
  char v[64];
  EXPECT_EQ(xrm_get_str(usr, "u.quarnw.sv.col.order", nullptr, 0, v, sizeof v), 0);
  EXPECT_STREQ(v, "c,a,b");
  EXPECT_EQ(xrm_get_str(usr, "u.quarnw.sv.col.a.w", nullptr, 0, v, sizeof v), 0);
  EXPECT_STREQ(v, "77");
  EXPECT_EQ(xrm_get_str(usr, "u.quarnw.sv.col.c.excl", nullptr, 0, v, sizeof v), 0);
  EXPECT_STREQ(v, "Yes");
  EXPECT_EQ(xrm_get_str(usr, "u.quarnw.sv.col.b.w", nullptr, 0, v, sizeof v), 9006);  // never set
  EXPECT_EQ(xrm_get_str(usr, "u.quarnw.sv.col.a.name", nullptr, 0, v, sizeof v), 9006);
}

}  // namespace
