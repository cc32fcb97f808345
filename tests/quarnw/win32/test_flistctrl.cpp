// The result list on a real virtual list view in a test window, over a file list built
// by walking a real tree: cells and colours as the list view asks for them, the count
// published while the user looks at the rows, selection across a sort, the gestures that
// become commands of the main window, and the list commands started through the shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "c/log_capture.h"
#include "ds/list_v.h"
#include "fio/dgrp.h"
#include "fm/flist.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"
#include "quarnw/quarnwcfg.h"
#include "quarnw/resimg.h"
#include "quarnw/win32/flistctrl.h"
#include "syscfg/syscfg.h"
#include "txr/txr.h"
#include "txr/txr_load.h"
#include "ui/menu.h"
#include "ui/win32/lvw.h"
#include "xrm/xrm.h"
#include "xrm/xrm_load.h"

namespace {

using V = std::vector<std::string>;

std::string exe_dir() {
  char p[MAX_PATH];
  GetModuleFileNameA(nullptr, p, MAX_PATH);
  std::string s = p;
  return s.substr(0, s.find_last_of('\\') + 1);
}

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? remove_tree(p) : (void)DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

// A fresh directory; names ending in '\' are directories, files get size bytes.
struct Tree {
  std::string root;
  Tree() {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "flc" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount());
    EXPECT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
  }
  ~Tree() { remove_tree(root); }
  std::string path(const std::string& rel) const { return root + "\\" + rel; }
  void add(const std::string& rel, unsigned size = 0) {
    if (rel.back() == '\\') {
      EXPECT_TRUE(CreateDirectoryA(path(rel.substr(0, rel.size() - 1)).c_str(), nullptr));
      return;
    }
    HANDLE h = CreateFileA(path(rel).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    std::string data(size, 'x');
    WriteFile(h, data.data(), size, &n, nullptr);
    CloseHandle(h);
  }
};

int add_match(const qnd* d, int match, unsigned, void* usrdata) {
  return match ? flist_add(static_cast<flist*>(usrdata), d) : 0;
}

void walk(flist* fl, const std::string& path) {
  qn q;
  quarn_init(&q);
  quarn_find(&q, path.c_str(), nullptr, nullptr, nullptr, nullptr, add_match, 1, nullptr, fl);
  quarn_free(&q);
}

// The main window's stand-in: the commands it is sent.
std::vector<WPARAM> g_cmds;

LRESULT CALLBACK main_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_COMMAND) g_cmds.push_back(wp);
  return DefWindowProcA(w, msg, wp, lp);
}

// Rows the list view painted (custom drawing, item stage).
std::vector<DWORD_PTR> g_painted;

// The find dialog's stand-in: forwards the list view's notifications.
LRESULT CALLBACK host_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NOTIFY) {
    auto* cd = (NMLVCUSTOMDRAW*)lp;
    if (cd->nmcd.hdr.code == NM_CUSTOMDRAW && cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
      g_painted.push_back(cd->nmcd.dwItemSpec);
    auto* lc = (flistctrl*)GetWindowLongPtrA(w, GWLP_USERDATA);
    LRESULT r = 0;
    if (lc && lc->lv && flistctrl_notify(lc, (NMHDR*)lp, &r)) return r;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

void pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

class FlistCtrl : public testing::Test {
 public:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpfnWndProc = host_proc;
    wc.lpszClassName = "flctest";
    RegisterClassA(&wc);
    wc.lpfnWndProc = main_proc;
    wc.lpszClassName = "flcmain";
    RegisterClassA(&wc);
    // one shown window for all: Wine takes long to destroy a shown top-level window
    host = CreateWindowExA(0, "flctest", "find", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 300, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }
  static void TearDownTestSuite() { DestroyWindow(host); }
  static HWND host;

  Tree t;
  flist fl{};
  xrm x{};
  db* d = nullptr;
  txr tx{};
  syscfg sc{};
  dgrp dg{};
  ntf hub{};
  quarnwcfg cfg{};
  flistctrl_env env{};
  flistctrl lc{};
  HWND main = nullptr, lv = nullptr;
  int titles = 0;
  std::vector<std::pair<int, void*>> infos;

  void SetUp() override {
    ASSERT_EQ(flist_init(&fl, 1), 0);
    ASSERT_EQ(xrm_init(&x, "quarnw", "moxware", "tester", nullptr, nullptr), 0);
    d = xrm_db_new(&x);
    xrml xl;
    xrml_init(&xl);
    ASSERT_EQ(xrml_load_data(&xl, d, quarnw_xrm_img, quarnw_xrm_img_size), 0);
    xrml_free(&xl);
    // every column shown, so that each can be asked for
    for (const char* c : {"rpath", "dir", "name", "ext", "ad", "Bd", "err"})
      xrm_put(d, ("*flist.col." + std::string(c) + ".visible").c_str(), 0, "Yes");
    ASSERT_EQ(txr_init(&tx, "en"), 0);
    txrl tl;
    txrl_clear(&tl);
    ASSERT_EQ(txrl_load_data(&tl, &tx, quarnw_txr_img, quarnw_txr_img_size), 0);
    txrl_clear(&tl);
    syscfg_init(&sc);
    dgrp_init(&dg, &sc);
    ASSERT_EQ(quarnwcfg_init(&cfg), 0);
    ASSERT_EQ(quarnwcfg_get_xrm(&cfg, d), 0);
    cfg.dgrp_num = DGRP_SI_EN;
    cfg.sizefmt = FSZ_K;
    cfg.flist_img = 0;
    ASSERT_EQ(ntf_init(&hub, nullptr, NTF_WAKE_MSG), 0);
    ntf_add(&hub, NTF_SHOW_INFO, nullptr, on_info, this);

    main = CreateWindowExA(0, "flcmain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    lv = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                         0, 0, 880, 260, host, (HMENU)(INT_PTR)1005, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(main && host && lv);
    env = {main, GetModuleHandleA(nullptr), &cfg, &tx, d, &hub, &dg, &sc, nullptr, on_title, nullptr, this};
    flistctrl_init(&lc);
    g_cmds.clear();
  }

  void TearDown() override {
    flistctrl_free(&lc);
    SetWindowLongPtrA(host, GWLP_USERDATA, 0);
    DestroyWindow(lv);
    DestroyWindow(main);
    pump();
    ntf_dispatch(&hub);
    ntf_free(&hub);
    quarnwcfg_free(&cfg);
    dgrp_free(&dg);
    syscfg_free(&sc);
    txr_free(&tx);
    xrm_free(&x);
    flist_free(&fl);
  }

  static void on_title(void* usrdata) { ++static_cast<FlistCtrl*>(usrdata)->titles; }
  static int on_info(int id, void* data, void* usrdata) {
    static_cast<FlistCtrl*>(usrdata)->infos.push_back({id, data});
    return 0;
  }

  void create() {
    ASSERT_EQ(flistctrl_create(&lc, lv, &fl, &env), 0);
    SetWindowLongPtrA(host, GWLP_USERDATA, (LONG_PTR)&lc);
  }

  int row_of(const std::string& name) const {
    for (unsigned i = 0; i < flist_count(&fl); ++i)
      if (name == flist_get(&fl, i)->name) return (int)i;
    return -1;
  }
  frec* rec(const std::string& name) const { return flist_get(&fl, (unsigned)row_of(name)); }

  // The cell as the list view gets it: text and image.
  std::string cell(int row, const char* col, int* image = nullptr) {
    int lvcol = lvw_lvcol(lc.lv, listcol_find(&lc.lv->lc, col));
    EXPECT_GE(lvcol, 0) << col;
    char buf[512] = "?";
    NMLVDISPINFOA di{};
    di.hdr = {lv, 1005, LVN_GETDISPINFOA};
    di.item.mask = LVIF_TEXT | LVIF_IMAGE;
    di.item.iItem = row;
    di.item.iSubItem = lvcol;
    di.item.pszText = buf;
    di.item.cchTextMax = sizeof buf;
    di.item.iImage = -7;
    SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&di);
    if (image) *image = di.item.iImage;
    return buf;
  }

  // Custom drawing of a row: whether colours were set, and which.
  bool colours(int row, COLORREF* fg, COLORREF* bg) {
    NMLVCUSTOMDRAW cd{};
    cd.nmcd.hdr = {lv, 1005, NM_CUSTOMDRAW};
    cd.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    cd.nmcd.dwItemSpec = (DWORD_PTR)row;
    cd.clrText = cd.clrTextBk = 0x123456;
    LRESULT r = SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&cd);
    *fg = cd.clrText, *bg = cd.clrTextBk;
    return r == CDRF_NEWFONT;
  }

  void select(const V& names, const std::string& focus = "") {
    ListView_SetItemState(lv, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (const auto& n : names) ListView_SetItemState(lv, row_of(n), LVIS_SELECTED, LVIS_SELECTED);
    if (!focus.empty()) ListView_SetItemState(lv, row_of(focus), LVIS_FOCUSED, LVIS_FOCUSED);
  }
  std::set<std::string> selected() const {
    std::set<std::string> s;
    for (int i = ListView_GetNextItem(lv, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(lv, i, LVNI_SELECTED))
      s.insert(flist_get(&fl, (unsigned)i)->name);
    return s;
  }
  std::vector<WPARAM> commands() {
    pump();
    return g_cmds;
  }
  // An entry the search could not read, without a system text.
  void add_error(const std::string& name, unsigned code) {
    qnd e;
    qnd_clear(&e);
    std::string dir = t.root + "\\";
    e.dir = e.rdir = dir.c_str();
    e.name = name.c_str();
    e.errcode = code;
    ASSERT_EQ(flist_add(&fl, &e), 0);
  }
};

TEST_F(FlistCtrl, CellsOfEveryColumnWithMarksAndImages) {
  t.add("a.txt", 1025);
  t.add("m.txt", 10);
  t.add("sub\\");
  walk(&fl, t.root);
  walk(&fl, t.root + "\\missing");  // a listing that fails: an error row with the system's text
  add_error("locked", 5);
  rec("m.txt")->flags |= FREC_MOVED;
  create();
  ASSERT_EQ(flistctrl_publish(&lc), 0);
  ASSERT_EQ(ListView_GetItemCount(lv), 6);
  EXPECT_EQ(titles, 1);

  std::string r = t.root + "\\";
  int a = row_of("a.txt"), m = row_of("m.txt"), sub = row_of("sub"), locked = row_of("locked");
  const struct {
    int row;
    const char* col;
    int file_type;
    std::string want;
  } rows[] = {
      {a, "path", 0, r + "a.txt"},     {a, "rpath", 0, r + "a.txt"},  {a, "dir", 0, t.root},
      {a, "dir", 1, r},                {a, "name", 0, "a.txt"},       {a, "ext", 0, "txt"},
      {a, "size", 0, "2 KB"},          {a, "attr", 0, "A"},           {a, "err", 0, ""},
      {m, "name", 0, "< m.txt"},       {m, "path", 0, "< " + r + "m.txt"},
      {sub, "path", 1, r + "sub\\"},   {sub, "path", 0, r + "sub"},   {sub, "size", 1, ""},
      {sub, "attr", 0, "D"},           {locked, "err", 0, "[5]"},     {locked, "md", 0, ""},
      {locked, "size", 0, ""},         {locked, "attr", 0, ""},
  };
  for (const auto& c : rows) {
    cfg.file_type = c.file_type;
    EXPECT_EQ(cell(c.row, c.col), c.want) << c.row << " " << c.col << " file.type " << c.file_type;
  }
  for (const char* col : {"md", "ad", "Bd"}) EXPECT_NE(cell(a, col), "") << col;

  // the failed listing: its code and the system's words
  int missing = -1;
  for (unsigned i = 0; i < flist_count(&fl); ++i)
    if (flist_get(&fl, i)->errcode && flist_get(&fl, i)->errtext) missing = (int)i;
  ASSERT_GE(missing, 0);
  std::string err = cell(missing, "err");
  EXPECT_EQ(err.rfind("[" + std::to_string(flist_get(&fl, (unsigned)missing)->errcode) + "] ", 0), 0u) << err;
  EXPECT_GT(err.size(), 5u);

  // images: 0 only for errors; a row past the count is not touched
  int img = -1;
  cell(locked, "path", &img);
  EXPECT_EQ(img, 0);
  cell(a, "path", &img);
  EXPECT_GT(img, 0);
  EXPECT_EQ(cell(6, "path"), "?");
}

TEST_F(FlistCtrl, RowColoursFirstMatchWins) {
  t.add("f.txt", 1);
  t.add("m.txt", 1);
  t.add("x.txt", 1);
  t.add("d\\");
  walk(&fl, t.root);
  add_error("bad", 5);
  rec("m.txt")->flags |= FREC_MOVED;
  rec("x.txt")->flags |= FREC_DELETED;
  create();
  flistctrl_publish(&lc);
  cfg.file_fgClr = 0x000001, cfg.file_bgClr = 0x000002;
  cfg.dir_fgClr = 0x000003, cfg.dir_bgClr = 0x000004;
  cfg.fmoved_fgClr = 0x000005, cfg.fmoved_bgClr = 0x000006;
  cfg.fdeleted_fgClr = 0x000007, cfg.fdeleted_bgClr = 0x000008;
  cfg.err_fgClr = 0x000009, cfg.err_bgClr = 0x00000A;
  const struct {
    const char* name;
    int color;
    bool set;
    COLORREF fg, bg;
  } rows[] = {
      {"f.txt", 1, true, 1, 2}, {"d", 1, true, 3, 4},   {"m.txt", 1, true, 5, 6},   {"x.txt", 1, true, 7, 8},
      {"bad", 1, true, 9, 10},  {"bad", 0, true, 9, 10}, {"f.txt", 0, false, 0, 0}, {"m.txt", 0, false, 0, 0},
  };
  for (const auto& c : rows) {
    cfg.flist_color = c.color;
    COLORREF fg, bg;
    EXPECT_EQ(colours(row_of(c.name), &fg, &bg), c.set) << c.name << " color " << c.color;
    if (c.set) {
      EXPECT_EQ(std::make_pair(fg, bg), std::make_pair(c.fg, c.bg)) << c.name;
    }
  }
  // the first stage asks for the rows
  NMLVCUSTOMDRAW cd{};
  cd.nmcd.hdr = {lv, 1005, NM_CUSTOMDRAW};
  cd.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&cd), CDRF_NOTIFYITEMDRAW);
}

TEST_F(FlistCtrl, GrowingListFollowsOnlyAUserWhoSelectedNothing) {
  for (const char* d : {"a\\", "b\\", "c\\"}) t.add(d);
  for (int i = 0; i < 30; ++i) t.add("a\\f" + std::to_string(100 + i));
  for (int i = 0; i < 60; ++i) t.add("b\\g" + std::to_string(100 + i));
  for (int i = 0; i < 60; ++i) t.add("c\\h" + std::to_string(100 + i));
  walk(&fl, t.path("a"));
  create();
  ASSERT_EQ(ListView_GetItemCount(lv), 31);
  ASSERT_GT(ListView_GetCountPerPage(lv), 3);
  ASSERT_LT(ListView_GetCountPerPage(lv), 31);

  // the user scrolled and selected a row: the rows they look at stay put
  ListView_EnsureVisible(lv, 30, FALSE);
  int top = ListView_GetTopIndex(lv);
  ASSERT_GT(top, 0);
  select({"f125"}, "f125");
  walk(&fl, t.path("b"));
  ASSERT_EQ(ntf_post(&hub, NTF_FLIST_GROWN, &fl, &fl), 0);
  ASSERT_EQ(ntf_dispatch(&hub), 0);
  EXPECT_EQ(ListView_GetItemCount(lv), 92);
  EXPECT_EQ(ListView_GetTopIndex(lv), top);
  EXPECT_EQ(selected(), (std::set<std::string>{"f125"}));

  // nothing selected: the last row comes into view
  select({});
  walk(&fl, t.path("c"));
  ntf_post(&hub, NTF_FLIST_GROWN, &fl, &fl);
  ntf_dispatch(&hub);
  pump();
  EXPECT_EQ(ListView_GetItemCount(lv), 153);
  top = ListView_GetTopIndex(lv);
  EXPECT_GT(top, 92);
  EXPECT_GE(top + ListView_GetCountPerPage(lv), 153);

  // another list's growth is not this one's
  flist other{};
  flist_init(&other, 1);
  walk(&other, t.path("a"));
  ntf_post(&hub, NTF_FLIST_GROWN, &other, &other);
  ntf_dispatch(&hub);
  EXPECT_EQ(ListView_GetItemCount(lv), 153);
  flist_free(&other);
}

TEST_F(FlistCtrl, ChangedRecordsRedrawTheirRowWhenShown) {
  for (int i = 0; i < 80; ++i) t.add("f" + std::to_string(100 + i), 1);
  walk(&fl, t.root);
  create();
  flistctrl_publish(&lc);
  UpdateWindow(lv);
  ASSERT_LT(ListView_GetCountPerPage(lv), 60);
  for (int id : {NTF_FREC_CHANGED, NTF_FREC_DELETED, NTF_FREC_MOVED}) {
    for (const char* name : {"f102", "f170"}) {
      g_painted.clear();
      ntf_post(&hub, id, rec(name), nullptr);
      ntf_dispatch(&hub);
      UpdateWindow(lv);
      std::vector<DWORD_PTR> want;
      if (row_of(name) < ListView_GetCountPerPage(lv)) want.push_back((DWORD_PTR)row_of(name));
      EXPECT_EQ(g_painted, want) << id << " " << name;
    }
  }
}

TEST_F(FlistCtrl, SortStateAndColumnsFromTheColumnDialog) {
  t.add("a.txt", 1);
  walk(&fl, t.root);
  auto keys = [&](char*& field, const char* v) {
    free(field);
    field = strdup(v);
  };
  keys(cfg.sortby_size, "size,path");
  keys(cfg.sortby_path, "path");
  keys(cfg.sortby_md, "md,path");
  strcpy(cfg.sortby, "size,path");
  cfg.sortrev = 1;
  create();
  auto sort_mark = [&](const char* col) {
    HDITEMA hi{};
    hi.mask = HDI_FORMAT;
    Header_GetItem(ListView_GetHeader(lv), lvw_lvcol(lc.lv, listcol_find(&lc.lv->lc, col)), &hi);
    return hi.fmt & (HDF_SORTUP | HDF_SORTDOWN);
  };
  EXPECT_EQ(sort_mark("size"), HDF_SORTDOWN);
  EXPECT_EQ(sort_mark("path"), 0);
  strcpy(cfg.sortby, "path");
  cfg.sortrev = 0;
  ASSERT_EQ(flistctrl_show_sort(&lc), 0);
  EXPECT_EQ(sort_mark("path"), HDF_SORTUP);
  EXPECT_EQ(sort_mark("size"), 0);
  strcpy(cfg.sortby, "name,nothing");
  flistctrl_show_sort(&lc);
  EXPECT_EQ(lc.lv->sortcol, -1);

  EXPECT_EQ(flistctrl_sortrev_dflt(&lc, "size,path"), 1);
  EXPECT_EQ(flistctrl_sortrev_dflt(&lc, "md,path"), 1);
  EXPECT_EQ(flistctrl_sortrev_dflt(&lc, "path"), 0);
  EXPECT_EQ(flistctrl_sortrev_dflt(&lc, ""), 0);

  // the column dialog hides a column and says so
  int ncols = Header_GetItemCount(ListView_GetHeader(lv));
  lc.lv->lc.cols[listcol_find(&lc.lv->lc, "ext")].visible = 0;
  EXPECT_EQ(ntf_call(&hub, NTF_COLS, &lc.lv->lc, &lc.lv->lc), 0);
  EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(lv)), ncols - 1);
  EXPECT_EQ(lvw_lvcol(lc.lv, listcol_find(&lc.lv->lc, "ext")), -1);
}

TEST_F(FlistCtrl, SelectionAndFocusFollowTheRecordsAcrossASort) {
  for (const char* n : {"c.txt", "a.txt", "d.txt", "b.txt", "e.txt"}) t.add(n, 1);
  walk(&fl, t.root);
  create();
  flistctrl_publish(&lc);
  select({"b.txt", "d.txt"}, "d.txt");
  int before_b = row_of("b.txt");

  ASSERT_EQ(flistctrl_remember_sel(&lc), 0);
  EXPECT_EQ(ListView_GetSelectedCount(lv), 0u);
  ASSERT_EQ(flist_sort(&fl, "name", FLIST_REVERSE, nullptr, 0, nullptr), 0);
  ASSERT_EQ(flistctrl_restore_sel(&lc), 0);

  EXPECT_NE(row_of("b.txt"), before_b);
  EXPECT_EQ(selected(), (std::set<std::string>{"b.txt", "d.txt"}));
  EXPECT_EQ(ListView_GetNextItem(lv, -1, LVNI_FOCUSED), row_of("d.txt"));
  for (unsigned i = 0; i < flist_count(&fl); ++i)
    EXPECT_EQ(flist_get(&fl, i)->flags & (FREC_FOCUS | FREC_SELECTED), 0u) << flist_get(&fl, i)->name;
}

TEST_F(FlistCtrl, GesturesBecomeCommandsOfTheMainWindow) {
  t.add("a.txt", 1);
  t.add("b.txt", 1);
  walk(&fl, t.root);
  create();
  flistctrl_publish(&lc);

  BYTE keys[256];
  GetKeyboardState(keys);
  SendMessageA(lv, WM_KEYDOWN, VK_DELETE, 0);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageA(lv, WM_KEYDOWN, 'C', 0);
  SendMessageA(lv, WM_KEYDOWN, 'X', 0);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  SendMessageA(lv, WM_CONTEXTMENU, (WPARAM)ListView_GetHeader(lv), MAKELPARAM(5, 5));
  NMLISTVIEW click{};
  click.hdr = {lv, 1005, LVN_COLUMNCLICK};
  click.iItem = -1;
  for (const char* col : {"size", "Bd", "rpath"}) {
    click.iSubItem = lvw_lvcol(lc.lv, listcol_find(&lc.lv->lc, col));
    SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&click);
  }
  EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(40034, 1), MAKEWPARAM(40004, 1), MAKEWPARAM(40005, 1),
                                             MAKEWPARAM(40022, 1), MAKEWPARAM(40015, 1), MAKEWPARAM(40013, 1),
                                             MAKEWPARAM(40024, 1)}));

  // focus moving to a row shows its record in the information dialog and retitles
  int t0 = titles;
  select({}, "b.txt");
  ntf_dispatch(&hub);
  ASSERT_FALSE(infos.empty());
  EXPECT_EQ(infos.back(), (std::pair<int, void*>{NTF_SHOW_INFO, rec("b.txt")}));
  EXPECT_GT(titles, t0);
}

// Where the pop-up menu opened; closed again at once.
RECT g_popup;
void CALLBACK close_popup(HWND, UINT, UINT_PTR id, DWORD) {
  HWND pop = FindWindowA("#32768", nullptr);
  if (pop && IsWindowVisible(pop)) GetWindowRect(pop, &g_popup);
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(FlistCtrl, ContextMenuAtTheMouseOrAtTheFocusedRow) {
  for (int i = 0; i < 5; ++i) t.add("f" + std::to_string(i), 1);
  walk(&fl, t.root);
  menu m{};
  ASSERT_EQ(menu_init(&m, "flistMenu"), 0);
  ASSERT_NE(menu_add(&m, nullptr, "fopen", 40028, "Open", 1), nullptr);
  ASSERT_NE(menu_add(&m, nullptr, "fedit", 40027, "Edit", 1), nullptr);
  env.flistmenu = &m;  // built on first use
  create();
  flistctrl_publish(&lc);
  auto open_at = [&](LPARAM where) {
    g_popup = RECT{-1, -1, -1, -1};
    SetTimer(nullptr, 0, 200, close_popup);
    SendMessageA(lv, WM_CONTEXTMENU, (WPARAM)lv, where);
    pump();
    return POINT{g_popup.left, g_popup.top};
  };
  POINT p = open_at(MAKELPARAM(300, 150));
  EXPECT_EQ(p.x, 300);
  EXPECT_EQ(p.y, 150);

  // from the keyboard: below the focused row's left edge
  select({}, "f3");
  RECT rc{};
  rc.left = LVIR_BOUNDS;
  ASSERT_TRUE(SendMessageA(lv, LVM_GETITEMRECT, row_of("f3"), (LPARAM)&rc));
  POINT want{rc.left, rc.bottom};
  ClientToScreen(lv, &want);
  p = open_at((LPARAM)-1);
  EXPECT_EQ(p.x, want.x);
  EXPECT_EQ(p.y, want.y);
  EXPECT_TRUE(commands().empty());
  flistctrl_free(&lc);
  menu_destroy(&m);
  menu_free(&m);
}

TEST_F(FlistCtrl, UsableRecordsLeaveOutErrorsMovedAndDeleted) {
  for (const char* n : {"a.txt", "b.txt", "m.txt", "x.txt"}) t.add(n, 1);
  walk(&fl, t.root);
  add_error("bad", 5);
  rec("m.txt")->flags |= FREC_MOVED;
  rec("x.txt")->flags |= FREC_DELETED;
  create();
  flistctrl_publish(&lc);
  auto collected = [&] {
    list recs{};
    list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(flistctrl_collect(&lc, &recs), 0);
    std::set<std::string> s;
    for (list_node* n = list_first(&recs); n; n = list_next(n)) s.insert(static_cast<frec*>(list_v_ptr(n))->name);
    list_v_free(&recs);
    return s;
  };
  // nothing selected: every row (the searched directory is one)
  EXPECT_EQ(collected().size(), 3u);
  EXPECT_EQ(collected().count("a.txt") + collected().count("b.txt"), 2u);
  EXPECT_EQ(flistctrl_usable_count(&lc), 2u);  // counting stops at two
  select({"m.txt", "bad", "x.txt", "b.txt"});
  EXPECT_EQ(collected(), (std::set<std::string>{"b.txt"}));
  EXPECT_EQ(flistctrl_usable_count(&lc), 1u);
  EXPECT_EQ(flistctrl_selected_count(&lc), 4u);
  select({"m.txt", "bad"});
  EXPECT_EQ(flistctrl_usable_count(&lc), 0u);
}

// A window of another program that copies what is dropped on it (it keeps the names).
struct DropTarget final : IDropTarget {
  std::set<std::string> dropped;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect &= DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* o, DWORD, POINTL, DWORD* effect) override {
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (FAILED(o->GetData(&fe, &m))) return E_UNEXPECTED;
    char p[MAX_PATH];
    for (UINT i = 0, n = DragQueryFileA(static_cast<HDROP>(m.hGlobal), 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
      DragQueryFileA(static_cast<HDROP>(m.hGlobal), i, p, MAX_PATH);
      dropped.insert(p);
    }
    ReleaseStgMedium(&m);
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

int g_busy;
int busy(void*) { return g_busy; }
void CALLBACK escape(HWND, UINT, UINT_PTR, DWORD) { PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0); }

TEST_F(FlistCtrl, RowsDraggedToAnotherWindowUnlessTheMachineRuns) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  for (const char* n : {"a.txt", "b.txt", "c.txt"}) t.add(n, 1);
  walk(&fl, t.root);
  env.busy = busy;
  create();
  flistctrl_publish(&lc);
  // the pointer rests over the other window (a static that answers hit tests) with no
  // button down: the drop happens at once
  DropTarget target;
  HWND other = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "other", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 300, 100, 200, 150, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_TRUE(other);
  ASSERT_EQ(RegisterDragDrop(other, &target), S_OK);
  pump();
  SetCursorPos(400, 175);
  auto begin_drag = [&](const std::string& name) {
    NMLISTVIEW nm{};
    nm.hdr = {lv, 1005, LVN_BEGINDRAG};
    nm.iItem = row_of(name);
    UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, escape);  // a drag that never ends
    SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&nm);
    KillTimer(nullptr, watchdog);
  };
  struct {
    int busy;
    V sel;
    std::set<std::string> dropped;
  } const cases[] = {
      {1, {"a.txt", "c.txt"}, {}},  // a search or sort runs: no drag
      {0, {"a.txt", "c.txt"}, {t.path("a.txt"), t.path("c.txt")}},
      {0, {"b.txt"}, {t.path("b.txt")}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << "busy " << k.busy << ", " << k.sel.size() << " selected");
    g_busy = k.busy;
    target.dropped.clear();
    select(k.sel, k.sel[0]);
    begin_drag(k.sel[0]);
    EXPECT_EQ(target.dropped, k.dropped);
  }
  RevokeDragDrop(other);
  DestroyWindow(other);
  OleUninitialize();
}

// The commands started: "command line|working directory" per run, sorted.
V wait_log(const std::string& file, size_t n) {
  V lines;
  for (int i = 0; i < 500 && lines.size() < n; ++i) {
    Sleep(20);
    lines.clear();
    std::ifstream in(file);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

TEST_F(FlistCtrl, ListCommandsRunOncePerUsableRecordInItsDirectory) {
  std::string tool = exe_dir() + "cmdlog.exe";
  ASSERT_NE(GetFileAttributesA(tool.c_str()), INVALID_FILE_ATTRIBUTES) << "the tool cmdlog is not built";
  t.add("one\\");
  t.add("two\\");
  ASSERT_TRUE(CopyFileA(tool.c_str(), t.path("one\\r1.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(tool.c_str(), t.path("two\\r2.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(tool.c_str(), t.path("two\\r3.exe").c_str(), FALSE));
  walk(&fl, t.root);
  rec("r3.exe")->flags |= FREC_MOVED;
  std::string out = t.path("log.txt");
  SetEnvironmentVariableA("CMDLOG_OUT", out.c_str());
  ASSERT_NE(cmdlist_add(&cfg.flistCmd, "frun", "shexec -verb:open", "p1", 3), nullptr);
  ASSERT_NE(cmdlist_add(&cfg.flistCmd, "fone", "shexec -verb:open", "p1", 1), nullptr);
  create();
  flistctrl_publish(&lc);

  // three rows selected, a command for one file: a report, nothing started
  select({"r1.exe", "r2.exe", "one"});
  strcpy(cfg.flist_dblclk_cmd_id, "fone");
  {
    LogCapture log;
    NMITEMACTIVATE dbl{};
    dbl.hdr = {lv, 1005, NM_DBLCLK};
    dbl.iItem = row_of("r1.exe");
    SendMessageA(host, WM_NOTIFY, 1005, (LPARAM)&dbl);
    EXPECT_TRUE(log.has("Maximum selected items [1] exceeded (shexec -verb:open).")) << log.done();
  }
  Sleep(300);
  EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);

  // the moved one is left out; each runs with its own directory
  select({"r1.exe", "r2.exe", "r3.exe"});
  ASSERT_EQ(flistctrl_run_cmd(&lc, "frun"), 0);
  V lines = wait_log(out, 2);
  Sleep(200);
  lines = wait_log(out, 2);
  ASSERT_EQ(lines.size(), 2u);
  const std::string dirs[] = {t.path("one"), t.path("two")};
  for (int i = 0; i < 2; ++i) {
    std::string name = i ? "r2.exe" : "r1.exe";
    EXPECT_NE(lines[i].find(name), std::string::npos) << lines[i];
    EXPECT_NE(lines[i].find(" p1|"), std::string::npos) << lines[i];
    std::string cwd = lines[i].substr(lines[i].find('|') + 1);
    EXPECT_EQ(lstrcmpiA(cwd.c_str(), dirs[i].c_str()), 0) << cwd;
  }

  LogCapture log;
  EXPECT_EQ(flistctrl_run_cmd(&lc, "nosuch"), 9006);
  EXPECT_TRUE(log.has("`cmd' [nosuch] not found.")) << log.done();
}

TEST_F(FlistCtrl, OpenDirectoryRefusesMoreThanItsLimit) {
  for (int i = 0; i < 513; ++i) t.add("f" + std::to_string(i));
  walk(&fl, t.root);
  create();
  flistctrl_publish(&lc);
  LogCapture log;
  EXPECT_EQ(flistctrl_open_dir(&lc), 9009);
  EXPECT_TRUE(log.has("Maximum selected files [512] exceeded.")) << log.done();
}

TEST_F(FlistCtrl, RowImagesFromTheProgramOrAWarning) {
  t.add("a.txt", 1);
  walk(&fl, t.root);
  cfg.flist_img = 1;
  create();  // this test program carries the program's bitmap
  ASSERT_NE(lc.img, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(lc.img), 3);
  EXPECT_EQ((HIMAGELIST)SendMessageA(lv, LVM_GETIMAGELIST, LVSIL_SMALL, 0), lc.img);
  flistctrl_free(&lc);

  env.inst = GetModuleHandleA("kernel32.dll");  // one without it
  {
    LogCapture log;
    create();
    EXPECT_TRUE(log.has("ImageList_LoadBitmap() failed [7450].")) << log.done();
    EXPECT_TRUE(log.has("WARN")) << log.done();
  }
  EXPECT_EQ(lc.img, nullptr);
  EXPECT_EQ(cell(row_of("a.txt"), "name"), "a.txt");
}

TEST_F(FlistCtrl, BadArgumentsAndFreeGivesTheListViewBack) {
  {
    LogCapture log;
    EXPECT_EQ(flistctrl_create(&lc, nullptr, &fl, &env), 9003);
    EXPECT_TRUE(log.has("Invalid param - listctrl: ")) << log.done();
  }
  WNDPROC own = (WNDPROC)GetWindowLongPtrA(lv, GWLP_WNDPROC);
  create();
  EXPECT_NE((WNDPROC)GetWindowLongPtrA(lv, GWLP_WNDPROC), own);
  EXPECT_EQ(ntf_count(&hub, NTF_FLIST_GROWN), 1u);
  flistctrl_free(&lc);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(lv, GWLP_WNDPROC), own);
  EXPECT_EQ(ntf_count(&hub, NTF_FLIST_GROWN), 0u);
  EXPECT_EQ(ntf_count(&hub, NTF_FREC_CHANGED), 0u);
}

HWND FlistCtrl::host = nullptr;

}  // namespace
