// The list-view layer and its column dialog on real windows, built from the
// program's own built-in column sets: columns, titles, widths and alignment as
// the list shows them, the sort mark in the header, the user's width and order
// changes landing in the resource database, and the column dialog driven with
// button clicks up to the notification that makes the list rebuild its columns.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "ntf/ntf.h"
#include "ntf/test_window.h"
#include "quarnw/resimg.h"
#include "res/lvwcoldlg.h"
#include "txr/txr_load.h"
#include "ui/win32/lvw.h"
#include "ui/win32/lvwcoldlg.h"
#include "xrm/xrm_load.h"

namespace {

constexpr int kListId = 100;

LRESULT CALLBACK host_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    auto* l = (lvw*)GetWindowLongPtrA(w, GWLP_USERDATA);
    LRESULT r = 0;
    if (l && lvw_notify(l, (NMHDR*)lp, &r)) return r;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

struct Col {
  std::string title;
  int width;
  int align;
};

class Lvw : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = host_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "lvwtest";
    RegisterClassA(&wc);
    txr_clear(&tx_);
    ASSERT_EQ(txr_init(&tx_, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    ASSERT_EQ(txrl_load_data(&tl, &tx_, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
  }
  static void TearDownTestSuite() { txr_free(&tx_); }

  void SetUp() override {
    ASSERT_EQ(xrm_init(&x_, "quarnw", "moxware", "tester", nullptr, nullptr), 0);
    d_ = xrm_db_new(&x_);
    ASSERT_NE(d_, nullptr);
    xrml xl;
    xrml_init(&xl);
    ASSERT_EQ(xrml_load_data(&xl, d_, quarnw_xrm_img, quarnw_xrm_img_size), 0);
    xrml_free(&xl);
    host_ = CreateWindowExA(0, "lvwtest", "lvw", WS_OVERLAPPEDWINDOW, 0, 0, 900, 300, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    list_ = new_list(LVS_OWNERDATA);
    lvw_init(&l_);
    SetWindowLongPtrA(host_, GWLP_USERDATA, (LONG_PTR)&l_);
  }
  void TearDown() override {
    lvw_free(&l2_);
    lvw_free(&l_);
    DestroyWindow(host_);
    xrm_free(&x_);
  }

  HWND new_list(DWORD style) {
    return CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | style, 0, 0, 880, 260, host_,
                           (HMENU)(INT_PTR)kListId, GetModuleHandleA(nullptr), nullptr);
  }

  void create_flist() { ASSERT_EQ(lvw_create(&l_, list_, d_, "flist.col", nullptr, &tx_, "flist.col.name"), 0); }
  // A second list built from the same database.
  void create_flist_on(HWND list) {
    ASSERT_EQ(lvw_create(&l2_, list, d_, "flist.col", nullptr, &tx_, "flist.col.name"), 0);
  }

  static std::vector<Col> columns(HWND list) {
    std::vector<Col> out;
    for (int i = 0;; ++i) {
      char buf[256] = "";
      LVCOLUMNA c{};
      c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      c.pszText = buf;
      c.cchTextMax = sizeof buf;
      if (!SendMessageA(list, LVM_GETCOLUMNA, i, (LPARAM)&c)) break;
      out.push_back({buf, c.cx, c.fmt & LVCFMT_JUSTIFYMASK});
    }
    return out;
  }
  // Titles in display order.
  static std::vector<std::string> shown(HWND list) {
    std::vector<Col> cols = columns(list);
    std::vector<int> arr(cols.size());
    std::vector<std::string> out;
    if (!cols.empty()) SendMessageA(list, LVM_GETCOLUMNORDERARRAY, arr.size(), (LPARAM)arr.data());
    for (int k : arr) out.push_back(cols[k].title);
    return out;
  }
  // The text the list view shows in a cell (asking its owner for it).
  static std::string cell(HWND list, int row, int lvcol) {
    char buf[64] = "";
    LVITEMA it{};
    it.iSubItem = lvcol;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&it);
    return buf;
  }
  static int char_width(HWND list) {
    HDC dc = GetDC(list);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    ReleaseDC(list, dc);
    return tm.tmAveCharWidth;
  }
  std::string saved(const std::string& name) {
    char buf[1024];
    int e = xrm_get_str(d_, name.c_str(), nullptr, 1, buf, sizeof buf);
    return e == 0 ? buf : e == 9006 ? "-" : "error " + std::to_string(e);
  }
  int header_fmt(int lvcol) {
    HDITEMA it{};
    it.mask = HDI_FORMAT;
    SendMessageA(l_.hdr, HDM_GETITEMA, lvcol, (LPARAM)&it);
    return it.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  }
  // A header notification as the list view passes it on to its parent.
  LRESULT header_notify(UINT code, int lvcol, UINT mask, int cxy, int order) {
    HDITEMA it{};
    it.mask = mask;
    it.cxy = cxy;
    it.iOrder = order;
    NMHEADERA nm{};
    nm.hdr.hwndFrom = l_.hdr;
    nm.hdr.idFrom = GetDlgCtrlID(l_.hdr);
    nm.hdr.code = code;
    nm.iItem = lvcol;
    nm.pitem = &it;
    return SendMessageA(host_, WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
  }
  int lvcol_of(const char* id) { return lvw_lvcol(&l_, listcol_find(&l_.lc, id)); }
  RECT header_rect(const char* id) {
    RECT r{};
    SendMessageA(l_.hdr, HDM_GETITEMRECT, lvcol_of(id), (LPARAM)&r);
    return r;
  }
  // The left button pressed on the header at x0, moved to x1 and released.
  void mouse_drag(int x0, int x1) {
    const int y = (header_rect("path").bottom) / 2;
    SendMessageA(l_.hdr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y));
    for (int x = x0; x != x1; x += x1 > x0 ? 1 : -1) SendMessageA(l_.hdr, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(l_.hdr, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y));
    SendMessageA(l_.hdr, WM_LBUTTONUP, 0, MAKELPARAM(x1, y));
  }

  static txr tx_;
  xrm x_{};
  db* d_ = nullptr;
  HWND host_ = nullptr;
  HWND list_ = nullptr;
  lvw l_{};
  lvw l2_{};
};
txr Lvw::tx_;

// --- columns ------------------------------------------------------------------

TEST_F(Lvw, BuiltInResultListShowsItsVisibleColumnsInOrder) {
  create_flist();
  const int cw = char_width(list_);
  ASSERT_GT(cw, 0);
  struct {
    const char* id;
    const char* title;
    int chars;
    int align;
  } const want[] = {
      {"path", "Path", 40, LVCFMT_LEFT},
      {"md", "Modified time", 18, LVCFMT_LEFT},
      {"size", "Size", 8, LVCFMT_RIGHT},
      {"attr", "Attributes", 10, LVCFMT_LEFT},
  };
  std::vector<Col> cols = columns(list_);
  ASSERT_EQ(cols.size(), std::size(want));
  EXPECT_EQ(l_.nshown, std::size(want));
  for (unsigned k = 0; k < std::size(want); ++k) {
    SCOPED_TRACE(want[k].id);
    EXPECT_EQ(cols[k].title, want[k].title);
    EXPECT_EQ(cols[k].width, want[k].chars * cw);
    EXPECT_EQ(cols[k].align, want[k].align);
    ASSERT_STREQ(lvw_colid(&l_, (int)k), want[k].id);
    EXPECT_EQ(lvw_lvcol(&l_, lvw_col(&l_, (int)k)), (int)k);
  }
  for (const char* hidden : {"rpath", "dir", "name", "ext", "ad", "Bd", "err"})
    EXPECT_EQ(lvcol_of(hidden), -1) << hidden;
  EXPECT_EQ(lvw_sortrev_dflt(&l_, "md"), 1);
  EXPECT_EQ(lvw_sortrev_dflt(&l_, "path"), 0);
  DWORD ex = (DWORD)SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
  EXPECT_TRUE(ex & LVS_EX_HEADERDRAGDROP);
}

TEST_F(Lvw, SetWithEveryColumnHiddenStillShowsOne) {
  for (const char* id : {"path", "md", "size", "attr"})
    ASSERT_EQ(xrm_put(d_, (std::string("*flist.col.") + id + ".visible").c_str(), 0, "No"), 0);
  LogCapture log;
  create_flist();
  EXPECT_TRUE(log.has("No visible column - [rpath] shown - name: `flist.col'.")) << log.done();
  EXPECT_EQ(shown(list_), std::vector<std::string>{"Real path"});
}

TEST_F(Lvw, ErrorListIsAPlainListWithItsOwnSet) {
  HWND plain = new_list(0);
  lvw e{};
  ASSERT_EQ(lvw_create(&e, plain, d_, "uerrlist.col", nullptr, &tx_, "uerrlist.col.name"), 0);
  SetWindowLongPtrA(host_, GWLP_USERDATA, (LONG_PTR)&e);
  EXPECT_EQ(shown(plain), (std::vector<std::string>{"Description", "Time"}));

  // rows carry the owner's pointer; their texts come from the owner by tag
  static const char* const kIds[] = {"type", "desc", "code", "timestamp"};
  ASSERT_EQ(lvw_set_tags(&e, kIds, 4), 0);
  auto disp = [](lvw* l, NMLVDISPINFOA* di, int tag, void*) {
    if (di->item.mask & LVIF_TEXT)
      snprintf(di->item.pszText, di->item.cchTextMax, "%s#%d", kIds[tag], (int)lvw_param(l, di->item.iItem));
    return 0;
  };
  ASSERT_EQ(lvw_set_cbs(&e, disp, nullptr, nullptr), 0);
  ASSERT_EQ(lvw_insert(&e, -1, 10), 0);
  ASSERT_EQ(lvw_insert(&e, -1, 20), 0);
  EXPECT_EQ(lvw_param(&e, 1), 20);
  EXPECT_EQ(cell(plain, 1, 1), "timestamp#20");
  SetWindowLongPtrA(host_, GWLP_USERDATA, (LONG_PTR)&l_);
  lvw_free(&e);
}

// --- owner callbacks ----------------------------------------------------------------

struct Drawn {
  std::vector<DWORD> stages;
  std::vector<int> tags;
};

TEST_F(Lvw, VirtualRowsAndColoursComeFromTheOwner) {
  create_flist();
  // the owner knows three of the four visible columns
  static const char* const kIds[] = {"size", "path", "md"};
  ASSERT_EQ(lvw_set_tags(&l_, kIds, 3), 0);
  Drawn drawn;
  auto disp = [](lvw*, NMLVDISPINFOA* di, int tag, void*) {
    if (di->item.mask & LVIF_TEXT) snprintf(di->item.pszText, di->item.cchTextMax, "r%d t%d", di->item.iItem, tag);
    return 0;
  };
  auto draw = [](lvw*, NMLVCUSTOMDRAW* cd, int tag, void* u) -> LRESULT {
    auto* dr = static_cast<Drawn*>(u);
    dr->stages.push_back(cd->nmcd.dwDrawStage);
    if (cd->nmcd.dwDrawStage & CDDS_SUBITEM) dr->tags.push_back(tag);
    if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
    return CDRF_DODEFAULT;
  };
  ASSERT_EQ(lvw_set_cbs(&l_, disp, draw, &drawn), 0);
  ASSERT_EQ(lvw_set_count(&l_, 3, 0), 0);
  EXPECT_EQ(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0), 3);

  struct {
    const char* id;
    const char* text;
  } const cells[] = {{"path", "r2 t1"}, {"md", "r2 t2"}, {"size", "r2 t0"}, {"attr", "r2 t-1"}};
  for (const auto& c : cells) EXPECT_EQ(cell(list_, 2, lvcol_of(c.id)), c.text) << c.id;

  // one item stage per row; the sub-item stages name the columns by tag
  ShowWindow(host_, SW_SHOWNOACTIVATE);
  UpdateWindow(list_);
  ASSERT_FALSE(drawn.stages.empty());
  EXPECT_EQ(drawn.stages.front(), (DWORD)CDDS_PREPAINT);
  EXPECT_EQ(std::count(drawn.stages.begin(), drawn.stages.end(), (DWORD)CDDS_ITEMPREPAINT), 3);
  EXPECT_EQ(std::set<int>(drawn.tags.begin(), drawn.tags.end()), (std::set<int>{-1, 0, 1, 2}));
}

// --- sort mark ------------------------------------------------------------------------

TEST_F(Lvw, SortColumnAndDirectionShowInTheHeader) {
  create_flist();
  struct {
    const char* id;
    int rev;
    bool rebuild;
    const char* marked;  // the column expected to carry the mark
    int flag;
  } const steps[] = {
      {"md", 1, false, "md", HDF_SORTDOWN},  {"size", 0, false, "size", HDF_SORTUP},
      {nullptr, 0, false, nullptr, 0},
      {"dir", 0, false, nullptr, 0},             {"path", 1, true, "path", HDF_SORTDOWN},
  };
  for (const auto& s : steps) {
    SCOPED_TRACE(s.id ? s.id : "none");
    ASSERT_EQ(lvw_set_sort_id(&l_, s.id, s.rev), 0);
    if (s.rebuild) {
      ASSERT_EQ(lvw_apply(&l_), 0);
    }
    for (int k = 0; k < (int)l_.nshown; ++k) {
      bool marked = s.marked && strcmp(lvw_colid(&l_, k), s.marked) == 0;
      EXPECT_EQ(header_fmt(k), marked ? s.flag : 0) << lvw_colid(&l_, k);
    }
  }
}

// --- layout changes by the user ---------------------------------------------------

TEST_F(Lvw, WidthChangesAreSavedAndComeBack) {
  create_flist();
  // a width as a list view passing on its header's wide notifications reports it
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, lvcol_of("md"), 123);
  header_notify(HDN_ITEMCHANGEDW, lvcol_of("md"), HDI_WIDTH, 123, 0);
  EXPECT_EQ(saved("flist.col.md.w"), "123");
  // a change of another attribute is no width
  header_notify(HDN_ITEMCHANGEDA, lvcol_of("attr"), HDI_FORMAT, 5, 0);
  EXPECT_EQ(saved("flist.col.attr.w"), "-");

  // the divider after attr dragged with the mouse, 21 pixels to the right
  RECT r = header_rect("attr");
  const int attr_w = r.right - r.left + 21;
  mouse_drag(r.right - 1, r.right + 20);
  EXPECT_EQ(saved("flist.col.attr.w"), std::to_string(attr_w));

  // a width a program gives the list view is taken when the layer lets go of it
  SendMessageA(list_, LVM_SETCOLUMNWIDTH, lvcol_of("path"), 211);
  EXPECT_EQ(saved("flist.col.path.w"), "-");
  lvw_free(&l_);
  EXPECT_EQ(saved("flist.col.path.w"), "211");
  EXPECT_EQ(saved("flist.col.dir.w"), "-");

  // the next list built from the database shows the user's widths
  HWND again = new_list(LVS_OWNERDATA);
  create_flist_on(again);
  std::vector<Col> cols = columns(again);
  ASSERT_EQ(cols.size(), 4u);
  EXPECT_EQ(cols[0].width, 211);
  EXPECT_EQ(cols[1].width, 123);
  EXPECT_EQ(cols[2].width, 8 * char_width(again));
  EXPECT_EQ(cols[3].width, attr_w);
}

TEST_F(Lvw, ReorderIsSavedAndComesBack) {
  create_flist();
  // md dragged with the mouse onto path
  RECT md = header_rect("md");
  mouse_drag((md.left + md.right) / 2, 10);
  EXPECT_EQ(shown(list_), (std::vector<std::string>{"Modified time", "Path", "Size", "Attributes"}));
  EXPECT_EQ(saved("flist.col.order"), "rpath,md,dir,name,ext,path,ad,Bd,size,attr,err");
  // a drag the user gives up changes nothing
  EXPECT_EQ(header_notify(HDN_ENDDRAG, lvcol_of("attr"), HDI_ORDER, 0, -1), FALSE);
  // attr put first by a program: taken when asked for
  int arr[4] = {lvcol_of("attr"), lvcol_of("md"), lvcol_of("path"), lvcol_of("size")};
  SendMessageA(list_, LVM_SETCOLUMNORDERARRAY, 4, (LPARAM)arr);
  EXPECT_EQ(saved("flist.col.order"), "rpath,md,dir,name,ext,path,ad,Bd,size,attr,err");
  ASSERT_EQ(lvw_take_layout(&l_), 0);
  EXPECT_EQ(saved("flist.col.order"), "rpath,attr,dir,name,ext,md,ad,Bd,path,size,err");

  HWND again = new_list(LVS_OWNERDATA);
  create_flist_on(again);
  EXPECT_EQ(shown(again), (std::vector<std::string>{"Attributes", "Modified time", "Path", "Size"}));
}

// --- column dialog ----------------------------------------------------------------

class ColDlg : public Lvw {
 public:
  void SetUp() override {
    Lvw::SetUp();
    create_flist();
    ASSERT_EQ(ntf_init(&hub_, &hubwnd_.wnd, NTF_WAKE_MSG), 0);
    ASSERT_EQ(lvw_subscribe(&l_, &hub_), 0);
    lvwcoldlg_init(&dlg_);
    ASSERT_EQ(lvwcoldlg_set(&dlg_, &l_.lc, &tx_, "flist.col.name", &hub_), 0);
  }
  void open() {
    ASSERT_EQ(lvwcoldlg_open(&dlg_, GetModuleHandleA(nullptr), host_), 0);
    ASSERT_NE(dlg_.wnd, nullptr);
  }
  void TearDown() override {
    lvwcoldlg_free(&dlg_);
    lvw_free(&l_);
    ntf_free(&hub_);
    Lvw::TearDown();
  }
  std::vector<std::string> box(int id) {
    std::vector<std::string> out;
    HWND b = GetDlgItem(dlg_.wnd, id);
    int n = (int)SendMessageA(b, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
      char buf[256] = "";
      SendMessageA(b, LB_GETTEXT, i, (LPARAM)buf);
      out.push_back(buf);
    }
    return out;
  }
  // As a click on a row: the selection, then the box's notification.
  void pick(int id, int row) {
    HWND b = GetDlgItem(dlg_.wnd, id);
    SendMessageA(b, LB_SETCURSEL, row, 0);
    SendMessageA(dlg_.wnd, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)b);
  }
  void click(int id) { click(&dlg_, id); }
  static void click(lvwcoldlg* d, int id) { SendMessageA(GetDlgItem(d->wnd, id), BM_CLICK, 0, 0); }
  bool enabled(int id) { return IsWindowEnabled(GetDlgItem(dlg_.wnd, id)) != 0; }
  int visible(const char* id) { return l_.lc.cols[listcol_find(&l_.lc, id)].visible; }

  TestWindow hubwnd_;
  ntf hub_{};
  lvwcoldlg dlg_{};
};

TEST_F(ColDlg, HideMoveUpShowAndApplyRebuildTheList) {
  open();
  EXPECT_EQ(box(LVWCOLDLG_SHOWN), (std::vector<std::string>{"Path", "Modified time", "Size", "Attributes"}));
  EXPECT_EQ(box(LVWCOLDLG_HIDDEN), (std::vector<std::string>{"Real path", "Directory", "Name", "Extension",
                                                             "Accessed time", "Created time", "Error"}));
  EXPECT_FALSE(enabled(LVWCOLDLG_APPLY));

  pick(LVWCOLDLG_SHOWN, 3);
  click(LVWCOLDLG_HIDE);
  pick(LVWCOLDLG_SHOWN, 2);
  EXPECT_TRUE(enabled(LVWCOLDLG_UP));
  click(LVWCOLDLG_UP);
  EXPECT_EQ(box(LVWCOLDLG_SHOWN), (std::vector<std::string>{"Path", "Size", "Modified time"}));
  EXPECT_EQ(box(LVWCOLDLG_HIDDEN).back(), "Attributes");
  // nothing reaches the set before Apply
  EXPECT_EQ(visible("attr"), 1);
  EXPECT_EQ(ntf_queued(&hub_), 0u);

  click(LVWCOLDLG_APPLY);
  EXPECT_EQ(visible("attr"), 0);
  EXPECT_EQ(hubwnd_.take(NTF_WAKE_MSG), 1u);
  EXPECT_EQ(ntf_queued(&hub_), 1u);
  EXPECT_EQ(shown(list_).size(), 4u);  // the list follows when the notification arrives
  ASSERT_EQ(ntf_dispatch(&hub_), 0);
  EXPECT_EQ(shown(list_), (std::vector<std::string>{"Path", "Size", "Modified time"}));
  EXPECT_EQ(saved("flist.col.attr.visible"), "No");
  EXPECT_EQ(saved("flist.col.order"), "path,size,md,rpath,dir,name,ext,ad,Bd,err,attr");

  // Error shown again and OK: applied, posted and closed
  pick(LVWCOLDLG_HIDDEN, 6);
  click(LVWCOLDLG_SHOW);
  click(IDOK);
  EXPECT_EQ(dlg_.wnd, nullptr);
  EXPECT_EQ(visible("err"), 1);
  EXPECT_EQ(ntf_queued(&hub_), 1u);
  ASSERT_EQ(ntf_dispatch(&hub_), 0);
  EXPECT_EQ(shown(list_), (std::vector<std::string>{"Path", "Size", "Modified time", "Error"}));
}

TEST_F(ColDlg, CancelLeavesTheSetAlone) {
  open();
  listcol before = l_.lc;
  pick(LVWCOLDLG_SHOWN, 0);
  click(LVWCOLDLG_HIDE);
  pick(LVWCOLDLG_SHOWN, 1);
  click(LVWCOLDLG_DOWN);
  click(IDCANCEL);
  EXPECT_EQ(dlg_.wnd, nullptr);
  EXPECT_EQ(memcmp(&before, &l_.lc, sizeof before), 0);
  EXPECT_EQ(ntf_queued(&hub_), 0u);
  EXPECT_EQ(hubwnd_.take(NTF_WAKE_MSG), 0u);
}

TEST_F(ColDlg, ButtonsFollowTheSelectionAndTheLastColumnStays) {
  open();
  struct {
    int row;
    bool up, down, hide;
  } const rows[] = {{0, false, true, true}, {1, true, true, true}, {3, true, false, true}};
  for (const auto& r : rows) {
    pick(LVWCOLDLG_SHOWN, r.row);
    EXPECT_EQ(enabled(LVWCOLDLG_UP), r.up) << r.row;
    EXPECT_EQ(enabled(LVWCOLDLG_DOWN), r.down) << r.row;
    EXPECT_EQ(enabled(LVWCOLDLG_HIDE), r.hide) << r.row;
  }
  // moving past the edges changes nothing
  EXPECT_EQ(lvwcoldlg_move(&dlg_, 0, -1), 0);
  EXPECT_EQ(lvwcoldlg_move(&dlg_, 3, 1), 0);
  EXPECT_EQ(box(LVWCOLDLG_SHOWN).front(), "Path");
  EXPECT_EQ(dlg_.dirty, 0);

  for (int i = 0; i < 3; ++i) ASSERT_EQ(lvwcoldlg_hide(&dlg_, 0), 0);
  EXPECT_FALSE(enabled(LVWCOLDLG_HIDE));
  LogCapture log;
  EXPECT_EQ(lvwcoldlg_hide(&dlg_, 0), 9012);
  EXPECT_TRUE(log.has("Last shown column [attr] cannot be hidden."));
  EXPECT_EQ(box(LVWCOLDLG_SHOWN), std::vector<std::string>{"Attributes"});
}

// The program's way: a modal dialog; the user hides Size and presses OK.
lvwcoldlg* g_modal;
void CALLBACK modal_user(HWND, UINT, UINT_PTR id, DWORD) {
  if (!g_modal->wnd) return;
  KillTimer(nullptr, id);
  SendDlgItemMessageA(g_modal->wnd, LVWCOLDLG_SHOWN, LB_SETCURSEL, 2, 0);
  ColDlg::click(g_modal, LVWCOLDLG_HIDE);
  ColDlg::click(g_modal, IDOK);
}

TEST_F(ColDlg, ModalDialogEndsWithOk) {
  g_modal = &dlg_;
  ASSERT_NE(SetTimer(nullptr, 0, 10, modal_user), 0u);
  INT_PTR r = 0;
  ASSERT_EQ(lvwcoldlg_run(&dlg_, GetModuleHandleA(nullptr), host_, &r), 0);
  EXPECT_EQ(r, IDOK);
  EXPECT_EQ(dlg_.wnd, nullptr);
  ASSERT_EQ(ntf_dispatch(&hub_), 0);
  EXPECT_EQ(shown(list_), (std::vector<std::string>{"Path", "Modified time", "Attributes"}));
  EXPECT_EQ(saved("flist.col.size.visible"), "No");
}

}  // namespace
