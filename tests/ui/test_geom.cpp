#include "ui/geom.h"

#include <string>
#include <vector>

#include "c/log_capture.h"

namespace {

struct Layout {
  geom g{};
  Layout() { EXPECT_EQ(geom_init(&g, "tg"), 0); }
  ~Layout() { geom_free(&g); }
  geom_item* add(geom_item* parent, const char* id, int type, geom_rect r = {}, unsigned gx = 0, unsigned gy = 0) {
    geom_item* it = geom_add(&g, parent, id, type);
    EXPECT_NE(it, nullptr) << id;
    if (it) {
      it->rect = r;
      it->growX = gx;
      it->growY = gy;
    }
    return it;
  }
  // The dialog: client area as the root plus margins of 10, frame 8 + 31.
  void done(int cliW, int cliH) {
    ASSERT_EQ(geom_set_dlg(&g, cliW, cliH, cliW + 16, cliH + 39), 0);
    ASSERT_EQ(geom_compute(&g), 0);
  }
  geom_rect nr(const char* id) { return geom_find(&g, id)->nrect; }
};

::testing::AssertionResult at(geom_rect r, int x, int y, int w, int h) {
  if (r.x == x && r.y == y && r.w == w && r.h == h) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "got " << r.x << "," << r.y << " " << r.w << "x" << r.h << ", want " << x
                                       << "," << y << " " << w << "x" << h;
}

// Two controls of weight 1 side by side in a row, 10 pixels apart.
TEST(GeomLine, SharesAreTruncatedAndGapsKept) {
  Layout l;
  geom_item* row = l.add(nullptr, "row", GEOM_HLINE);
  l.add(row, "a", GEOM_WND, {10, 5, 100, 20}, 1)->minW = 50;
  l.add(row, "b", GEOM_WND, {120, 5, 100, 20}, 1)->minW = 50;
  l.done(230, 30);
  EXPECT_TRUE(at(row->rect, 10, 5, 210, 20));
  EXPECT_TRUE(at(row->nrect, 10, 5, 210, 20));
  ASSERT_EQ(geom_resize(&l.g, 230 + 101, -1), 0);
  EXPECT_TRUE(at(l.nr("a"), 10, 5, 150, 20));
  EXPECT_TRUE(at(l.nr("b"), 170, 5, 150, 20));  // the gap of 10 stays
  EXPECT_EQ(row->nrect.w, 311);                 // one pixel left over at the end
  ASSERT_EQ(geom_resize(&l.g, 230 - 41, 200), 0);  // shrinking: -20.5 each, truncated toward zero
  EXPECT_TRUE(at(l.nr("a"), 10, 5, 80, 20));
  EXPECT_TRUE(at(l.nr("b"), 100, 5, 80, 20));  // nothing grows downwards: fixed height
  EXPECT_EQ(row->nrect.h, 190);
}

TEST(GeomLine, MaxClampAndFixedNeighbour) {
  Layout l;
  geom_item* row = l.add(nullptr, "row", GEOM_HLINE);
  l.add(row, "lbl", GEOM_WND, {10, 5, 40, 20});
  geom_item* fld = l.add(row, "fld", GEOM_WND, {55, 5, 100, 20}, 1);
  l.add(row, "btn", GEOM_WND, {160, 5, 50, 20});
  ASSERT_EQ(geom_set_lim(fld, GEOM_MAXW, "125p"), 0);
  l.done(220, 30);
  ASSERT_EQ(geom_resize(&l.g, 220 + 100, -1), 0);
  EXPECT_TRUE(at(l.nr("lbl"), 10, 5, 40, 20));
  EXPECT_TRUE(at(l.nr("fld"), 55, 5, 125, 20));  // stops at its maximum
  EXPECT_TRUE(at(l.nr("btn"), 185, 5, 50, 20));  // keeps its size and its gap of 5
}

// A column: a row of fixed height above a list that grows both ways.
TEST(GeomLine, NestedLinesAndMinimum) {
  Layout l;
  geom_item* col = l.add(nullptr, "col", GEOM_VLINE);
  geom_item* row = l.add(col, "row", GEOM_HLINE, {}, 1, 0);
  l.add(row, "lbl", GEOM_WND, {10, 10, 40, 20});
  geom_item* fld = l.add(row, "fld", GEOM_WND, {60, 10, 140, 20}, 1);
  geom_item* lst = l.add(col, "lst", GEOM_WND, {10, 40, 190, 100}, 1, 1);
  fld->minW = 60;
  lst->minW = 100;
  lst->minH = 30;
  l.done(210, 150);
  EXPECT_TRUE(at(col->rect, 10, 10, 190, 130));
  // row: 190 + (60 - 140) = 110 wide; column: as wide as its widest child's minimum
  EXPECT_EQ(row->minW, 110u);
  EXPECT_EQ(col->minW, 110u);
  EXPECT_EQ(col->minH, 130u + (30 - 100));
  EXPECT_EQ(l.g.minWndW, 110 + 226 - 190);
  EXPECT_EQ(l.g.minWndH, 60 + 189 - 130);
  ASSERT_EQ(geom_resize(&l.g, 310, 200), 0);
  EXPECT_TRUE(at(l.nr("row"), 10, 10, 290, 20));
  EXPECT_TRUE(at(l.nr("fld"), 60, 10, 240, 20));
  EXPECT_TRUE(at(l.nr("lst"), 10, 40, 290, 150));
  // far below the minimum every item stays at least its minimum
  ASSERT_EQ(geom_resize(&l.g, 20, 20), 0);
  EXPECT_TRUE(at(l.nr("fld"), 60, 10, 60, 20));
  EXPECT_TRUE(at(l.nr("lst"), 10, 40, 110, 30));
  EXPECT_EQ(col->nrect.w, 110);
  // the frame being dragged gives way on the dragged edge only
  struct Drag {
    int edge;
    long in[4];
    long out[4];
  };
  const int mw = l.g.minWndW, mh = l.g.minWndH;
  const Drag drags[] = {
      {2, {100, 100, 110, 110}, {100, 100, 100 + mw, 100 + mh}},  // right
      {1, {100, 100, 110, 110}, {110 - mw, 100, 110, 100 + mh}},  // left
      {8, {0, 0, 500, 600}, {0, 0, 500, 600}},                    // large enough
  };
  for (const Drag& d : drags) {
    long r[4] = {d.in[0], d.in[1], d.in[2], d.in[3]};
    ASSERT_EQ(geom_min_frame(&l.g, d.edge, r), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(r[i], d.out[i]) << "edge " << d.edge << " side " << i;
  }
}

// A child dialog in a control's place is laid out with the control's new size.
TEST(GeomLine, NestedLayoutFollowsItsItem) {
  Layout outer, inner;
  geom_item* row = outer.add(nullptr, "row", GEOM_HLINE);
  geom_item* host = outer.add(row, "host", GEOM_WND, {10, 10, 100, 50}, 1, 1);
  host->nested = &inner.g;
  geom_item* in = inner.add(nullptr, "in", GEOM_HLINE);
  inner.add(in, "f", GEOM_WND, {5, 5, 90, 40}, 1, 1);
  inner.done(100, 50);
  outer.done(120, 70);
  ASSERT_EQ(geom_resize(&outer.g, 150, 90), 0);
  EXPECT_TRUE(at(host->nrect, 10, 10, 130, 70));
  EXPECT_TRUE(at(inner.nr("f"), 5, 5, 120, 60));
}

TEST(GeomLine, OverlapLogsInvalidMin) {
  Layout l;
  geom_item* row = l.add(nullptr, "row", GEOM_HLINE);
  l.add(row, "a", GEOM_WND, {0, 0, 100, 20})->minW = 0;
  l.add(row, "b", GEOM_WND, {50, 0, 100, 20})->minW = 0;
  LogCapture log;
  l.done(150, 20);
  EXPECT_TRUE(log.has("Invalid min [-50x20].")) << log.done();
  EXPECT_EQ(row->minW, 0u);
}

TEST(GeomItems, AddFindAndSizes) {
  Layout l;
  geom_item* root = l.add(nullptr, "root", GEOM_VLINE);
  geom_item* w = l.add(root, "w", GEOM_WND);
  {
    LogCapture log;
    int err[5] = {};
    EXPECT_EQ(geom_add(&l.g, root, "w", GEOM_WND, &err[0]), nullptr);
    EXPECT_EQ(geom_add(&l.g, nullptr, "second", GEOM_HLINE, &err[1]), nullptr);  // one root
    EXPECT_EQ(geom_add(&l.g, w, "under", GEOM_WND, &err[2]), nullptr);  // a control holds nothing
    EXPECT_EQ(geom_find(&l.g, "nosuch", &err[3]), nullptr);
    err[4] = geom_set_wnd(&l.g, "root", &l);  // a line holds no window
    EXPECT_EQ(std::vector<int>(err, err + 5), (std::vector<int>{9007, 9003, 9003, 9006, 9006}));
    for (const char* m : {"Geom [tg] item [w] already exist.", ", id: `second'.", ", id: `under'.",
                          "Item not found - item_id: `nosuch'.", "Item not found [root]."})
      EXPECT_TRUE(log.has(m)) << m << log.done();
  }
  EXPECT_EQ(geom_count(&l.g), 2u);
  EXPECT_EQ(geom_set_wnd(&l.g, "w", &l), 0);
  EXPECT_EQ(w->wnd, &l);
  struct Row {
    const char* s;
    int e;
    unsigned n;
    char unit;
  };
  const Row rows[] = {{"12C", 0, 12, 'C'},  {"5p", 0, 5, 'P'},    {"40", 0, 40, 'L'}, {"0C", 0, 0, 'P'},
                      {"3x", 9003, 0, 0},   {"-1", 9003, 0, 0},  {"99999999999", 9003, 0, 0}};
  for (const Row& r : rows) {
    LogCapture log;
    geom_size sz{77, 'X'};
    EXPECT_EQ(geom_size_parse(r.s, &sz), r.e) << r.s;
    if (!r.e) {
      EXPECT_EQ(sz.n, r.n) << r.s;
      EXPECT_EQ(sz.unit, r.unit) << r.s;
    } else {
      EXPECT_TRUE(log.has("Invalid size [" + std::string(r.s) + "].")) << log.done();
    }
  }
  EXPECT_EQ(geom_set_lim(w, GEOM_MINH, "9p"), 0);
  EXPECT_EQ(w->minH, 9u);
  EXPECT_EQ(geom_set_lim(w, GEOM_MAXW, "9C"), 0);
  EXPECT_EQ(w->maxW, GEOM_UNSET);  // characters wait for a window to measure them
  EXPECT_EQ(w->lim[GEOM_MAXW].unit, 'C');
}

}  // namespace
