// Layouts on a real dialog: measured from the test's own template, resized through the
// window's own messages, the controls' rectangles read back.
#include <windows.h>

#include <string>

#include "c/log_capture.h"
#include "ui/geom.h"
#include "ui/win32/geom_test.h"
#include "xrm/tree_fixture.h"
#include "xrm/xrm_geom.h"

namespace {

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  geom* g = reinterpret_cast<geom*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      return TRUE;
    case WM_SIZE:
      if (g && geom_resize(g, LOWORD(lp), HIWORD(lp)) == 0) geom_apply(g, dlg);
      return TRUE;
    case WM_SIZING:
      if (g) geom_sizing(g, (unsigned)wp, reinterpret_cast<RECT*>(lp));
      return TRUE;
    case WM_GETMINMAXINFO:
      if (g) geom_minmax(g, reinterpret_cast<MINMAXINFO*>(lp));
      return FALSE;
    default:
      return FALSE;
  }
}

// Measures g on template 7001, then resizes a real dialog of it and reads its controls back.
void check(geom* g) {
  ASSERT_EQ(geom_measure(g, GetModuleHandleA(nullptr), MAKEINTRESOURCEA(7001), nullptr), 0);
  ASSERT_EQ(geom_compute(g), 0);
  GeomDlg d(g, proc);
  ASSERT_NE(d.dlg, nullptr);
  // the measured rectangles are the template's
  for (const char* id : {"a", "b", "lbl", "fld", "btn", "lst"}) {
    geom_item* it = geom_find(g, id);
    EXPECT_TRUE(same(d.ctrl_rect(it->ctrlid), it->rect)) << id;
  }
  const geom_rect a0 = geom_find(g, "a")->rect, b0 = geom_find(g, "b")->rect, f0 = geom_find(g, "fld")->rect,
                  btn0 = geom_find(g, "btn")->rect, l0 = geom_find(g, "lst")->rect;
  const int cw = d.char_w(), ch = d.char_h();
  EXPECT_EQ(geom_find(g, "fld")->maxW, 25u * cw);
  EXPECT_EQ(geom_find(g, "lst")->minH, 3u * ch);
  ASSERT_LT(f0.w, 25 * cw) << "the field must be able to grow to its maximum";

  // 101 pixels wider: 50 for each field of the first row, one pixel left over
  ASSERT_TRUE(d.client(g->dlg.w + 101, g->dlg.h + 40));
  geom_rect a1 = d.ctrl_rect(101), b1 = d.ctrl_rect(102), f1 = d.ctrl_rect(104), btn1 = d.ctrl_rect(105),
            l1 = d.ctrl_rect(106);
  EXPECT_EQ(a1.w, a0.w + 50);
  EXPECT_EQ(b1.w, b0.w + 50);
  EXPECT_EQ(b1.x - (a1.x + a1.w), b0.x - (a0.x + a0.w));  // the gap stays
  EXPECT_EQ(a1.x, a0.x);
  // the middle field stops at 25 characters; the button keeps its size and its gap
  EXPECT_EQ(f1.w, 25 * cw);
  EXPECT_EQ(btn1.w, btn0.w);
  EXPECT_EQ(btn1.x - (f1.x + f1.w), btn0.x - (f0.x + f0.w));
  EXPECT_EQ(l1.w, l0.w + 101);
  EXPECT_EQ(l1.h, l0.h + 40);
  EXPECT_EQ(l1.y, l0.y);

  // the frame refuses to shrink below the minimum; every control keeps its least size
  RECT small{100, 100, 110, 110};
  SendMessageA(d.dlg, WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&small));
  EXPECT_EQ(small.right - small.left, g->minWndW);
  EXPECT_EQ(small.bottom - small.top, g->minWndH);
  ASSERT_TRUE(SetWindowPos(d.dlg, nullptr, 0, 0, 20, 20, SWP_NOMOVE | SWP_NOZORDER));
  RECT wr;
  GetWindowRect(d.dlg, &wr);
  EXPECT_GE(wr.right - wr.left, g->minWndW);
  EXPECT_GE(wr.bottom - wr.top, g->minWndH);
  ASSERT_TRUE(d.client(1, 1));  // the layout itself also holds at its minimum
  EXPECT_EQ(d.ctrl_rect(101).w, a0.w);
  EXPECT_EQ(d.ctrl_rect(104).w, f0.w);
  EXPECT_EQ(d.ctrl_rect(106).h, 3 * ch);
  EXPECT_EQ(d.ctrl_rect(106).w, l0.w);
}

class GeomRes : public TreeDb {};

TEST_F(GeomRes, LayoutFromResources) {
  load("*tGeom.dlg.type: vline\n*tGeom.dlg.ids: ab, mid, lst\n"
       "*tGeom.ab.type: hline\n*tGeom.ab.ids: a b\n*tGeom.ab.growX: 1\n"
       "*tGeom.a.type: wnd\n*tGeom.a.growX: 1\n*tGeom.b.type: wnd\n*tGeom.b.growX: 1\n"
       "*tGeom.mid.type: hline\n*tGeom.mid.ids: lbl fld btn\n*tGeom.mid.growX: 1\n"
       "*tGeom.lbl.type: wnd\n*tGeom.btn.type: wnd\n"
       "*tGeom.fld.type: wnd\n*tGeom.fld.growX: 1\n*tGeom.fld.maxW: 25C\n"
       "*tGeom.lst.type: wnd\n*tGeom.lst.growX: 1\n*tGeom.lst.growY: 1\n*tGeom.lst.minH: 3C\n");
  constexpr xrm_idmap ctrls[] = {{"a", 101}, {"b", 102}, {"lbl", 103}, {"fld", 104}, {"btn", 105}, {"lst", 106}};
  geom g{};
  ASSERT_EQ(geom_init(&g, "dlg"), 0);
  ASSERT_EQ(xrm_geom_load(d_, "tGeom", nullptr, 1, &g, 6, ctrls), 0);
  check(&g);
  geom_free(&g);
}

TEST(GeomWinFail, Failures) {
  geom g{};
  ASSERT_EQ(geom_init(&g, "bad"), 0);
  geom_item* row = geom_add(&g, nullptr, "row", GEOM_HLINE);
  geom_item* w = geom_add(&g, row, "w", GEOM_WND);
  w->ctrlid = 999;
  {
    LogCapture log;
    EXPECT_NE(geom_measure(&g, GetModuleHandleA(nullptr), MAKEINTRESOURCEA(7001), nullptr), 0);
    EXPECT_TRUE(log.has("GetDlgItem() failed [999] - dlg: ")) << log.done();
  }
  {
    LogCapture log;
    EXPECT_NE(geom_measure(&g, GetModuleHandleA(nullptr), "nosuch", nullptr), 0);
    EXPECT_TRUE(log.has("CreateDialogParam() failed - hmodule: ") && log.has("`nosuch'.")) << log.done();
  }
  geom_free(&g);
}

}  // namespace
