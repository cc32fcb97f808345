// Files of a result list handed to other programs through the clipboard and by dragging,
// in-process under OLE, with this test playing the receiving program.
#include <gtest/gtest.h>
#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "c/log_capture.h"
#include "dnd/win32/comref.h"
#include "dnd/win32/dataobj.h"
#include "dnd/win32/dnd.h"
#include "dnd/win32/dropsrc.h"
#include "dnd/win32/enumfmtetc.h"
#include "ds/list_v.h"
#include "fm/flist.h"
#include "fm/win32/flistchg.h"
#include "ntf/ntf.h"
#include "quarn/quarnlib.h"

namespace {

constexpr UINT kDone = 32772;

struct OleEnv : testing::Environment {
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
  void TearDown() override {
    dnd_release_clipboard();
    OleUninitialize();
  }
};
testing::Environment* const ole_env = testing::AddGlobalTestEnvironment(new OleEnv);

UINT cf(const char* name) { return RegisterClipboardFormatA(name); }

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

int add_match(const qnd* d, int match, unsigned, void* usrdata) {
  return match ? flist_add(static_cast<flist*>(usrdata), d) : 0;
}

// Notifications as the window thread receives them.
struct Hub {
  ntf n{};
  std::vector<std::pair<int, void*>> got;
  Hub() {
    EXPECT_EQ(ntf_init(&n, nullptr, NTF_WAKE_MSG), 0);
    for (int id : {NTF_FREC_MOVING, NTF_FREC_MOVED}) ntf_add(&n, id, nullptr, on, this);
  }
  ~Hub() { ntf_free(&n); }
  static int on(int id, void* data, void* usrdata) {
    static_cast<Hub*>(usrdata)->got.push_back({id, data});
    return 0;
  }
  std::vector<std::pair<int, void*>> drain() {
    got.clear();
    ntf_dispatch(&n);
    return got;
  }
};

// A searched directory with a few files (one with a non-ASCII name), the file list of
// the search, its files as records, and a window standing for the main window.
struct Dnd : testing::Test {
  std::string root, dest;
  flist fl{};
  list recs{};
  Hub hub;
  HWND wnd = nullptr;

  void SetUp() override {
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    root = std::string(tmp) + "dnd" + std::to_string(GetCurrentProcessId());
    dest = root + "-dest";
    remove_tree(root);
    remove_tree(dest);
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dest.c_str(), nullptr));
    for (const char* n : {"one.txt", "two words.txt", "caf\xe9.txt"}) {
      HANDLE h = CreateFileA((root + "\\" + n).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      CloseHandle(h);
    }
    ASSERT_EQ(flist_init(&fl, 1), 0);
    qn q;
    quarn_init(&q);
    ASSERT_EQ(quarn_find(&q, root.c_str(), nullptr, nullptr, nullptr, nullptr, add_match, 1, nullptr, &fl), 0);
    quarn_free(&q);
    ASSERT_EQ(flist_sort(&fl, "name", FLIST_IGNORECASE, nullptr, 0, nullptr), 0);
    list_v_init(&recs, 0xC2, nullptr, nullptr, nullptr, nullptr);
    for (unsigned i = 0; i < flist_count(&fl); ++i)
      if (!frec_isdir(flist_get(&fl, i))) list_v_append(&recs, flist_get(&fl, i));
    ASSERT_EQ(list_count(&recs), 3u);
    wnd = CreateWindowA("STATIC", "main", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(wnd);
    dnd_set_env(0, 0, nullptr, &hub.n);
  }
  void TearDown() override {
    dnd_release_clipboard();
    dnd_set_env(0, 0, nullptr, nullptr);
    DestroyWindow(wnd);
    list_free(&recs);
    flist_free(&fl);
    remove_tree(root);
    remove_tree(dest);
  }

  frec* rec(unsigned i) const {
    list_node* n = list_first(&recs);
    while (i--) n = list_next(n);
    return static_cast<frec*>(list_v_ptr(n));
  }
  static std::wstring wide(const std::string& s) {
    wchar_t w[MAX_PATH];
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w, MAX_PATH);
    return std::wstring(w, n > 0 ? n - 1 : 0);
  }
  std::wstring path(unsigned i) const { return wide(std::string(rec(i)->rdir) + rec(i)->name); }
  // what a receiver expects in the file-drop data: each path ended by a zero, one more zero
  std::wstring expected_list() const {
    std::wstring w;
    for (unsigned i = 0; i < list_count(&recs); ++i) w += path(i) + L'\0';
    return w + L'\0';
  }
  // the messages the program's objects posted to the main window
  std::vector<WPARAM> posted() {
    std::vector<WPARAM> v;
    MSG m;
    while (PeekMessageA(&m, wnd, kDone, kDone, PM_REMOVE)) v.push_back(m.wParam);
    return v;
  }
};

std::string hglobal_bytes(HGLOBAL h, size_t n) {
  global_lock lk(h);
  return lk.get() ? std::string(static_cast<const char*>(lk.get()), std::min(n, (size_t)lk.size())) : std::string();
}

// The paths in file-drop data as a receiver reads them: up to and with the double zero.
std::wstring drop_list(const std::string& data) {
  const DROPFILES* df = reinterpret_cast<const DROPFILES*>(data.data());
  const wchar_t* p = reinterpret_cast<const wchar_t*>(data.data() + df->pFiles);
  size_t n = (data.size() - df->pFiles) / sizeof(wchar_t), i = 0;
  while (i < n && p[i]) i += wcsnlen(p + i, n - i) + 1;
  return std::wstring(p, std::min(i + 1, n));
}

HRESULT get(IDataObject* o, UINT format, std::string* out) {
  FORMATETC fe{(CLIPFORMAT)format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  HRESULT hr = o->GetData(&fe, &m);
  if (SUCCEEDED(hr)) {
    EXPECT_EQ(m.tymed, (DWORD)TYMED_HGLOBAL);
    *out = hglobal_bytes(m.hGlobal, GlobalSize(m.hGlobal));
    ReleaseStgMedium(&m);
  }
  return hr;
}

DWORD get_effect(IDataObject* o, UINT format) {
  std::string s;
  if (FAILED(get(o, format, &s)) || s.size() < sizeof(DWORD)) return 0xffffffff;
  DWORD d;
  std::memcpy(&d, s.data(), sizeof d);
  return d;
}

// As a file manager tells the source what the paste did.
HRESULT set_performed(IDataObject* o, DWORD effect) {
  FORMATETC fe{(CLIPFORMAT)cf("Performed DropEffect"), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  m.tymed = TYMED_HGLOBAL;
  m.hGlobal = GlobalAlloc(GMEM_MOVEABLE, sizeof effect);
  std::memcpy(GlobalLock(m.hGlobal), &effect, sizeof effect);
  GlobalUnlock(m.hGlobal);
  HRESULT hr = o->SetData(&fe, &m, TRUE);
  if (FAILED(hr)) ReleaseStgMedium(&m);
  return hr;
}

bool clipboard_has_files() {
  com_ref<IDataObject> c;
  if (FAILED(OleGetClipboard(c.put()))) return false;
  FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  return c->QueryGetData(&fe) == S_OK;
}

TEST_F(Dnd, CopyPutsTheFullPathsOnTheClipboard) {
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_COPY, wnd, kDone, 0), 0);
  com_ref<IDataObject> c;
  ASSERT_EQ(OleGetClipboard(c.put()), S_OK);

  std::string data;
  ASSERT_EQ(get(c.get(), CF_HDROP, &data), S_OK);
  ASSERT_GE(data.size(), sizeof(DROPFILES));
  const DROPFILES* df = reinterpret_cast<const DROPFILES*>(data.data());
  EXPECT_EQ(df->pFiles, 20u);
  EXPECT_TRUE(df->fWide);
  EXPECT_EQ(drop_list(data), expected_list());

  EXPECT_EQ(get_effect(c.get(), cf("Preferred DropEffect")), (DWORD)DROPEFFECT_COPY);
  // a copy hands nothing over for moving
  for (unsigned i = 0; i < 3; ++i) EXPECT_EQ(rec(i)->flags & FREC_HANDED, 0u);
  EXPECT_TRUE(hub.drain().empty());
}

TEST_F(Dnd, PastedCutMarksTheMovedRecords) {
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_MOVE, wnd, kDone, 0), 0);
  auto got = hub.drain();
  ASSERT_EQ(got.size(), 3u);
  for (unsigned i = 0; i < 3; ++i) {
    EXPECT_EQ(got[i], std::make_pair((int)NTF_FREC_MOVING, (void*)rec(i)));
    EXPECT_EQ(rec(i)->flags & (FREC_HANDED | FREC_MOVED), (unsigned)FREC_HANDED);
  }

  com_ref<IDataObject> c;
  ASSERT_EQ(OleGetClipboard(c.put()), S_OK);
  EXPECT_EQ(get_effect(c.get(), cf("Preferred DropEffect")), (DWORD)DROPEFFECT_MOVE);
  std::string data;
  ASSERT_EQ(get(c.get(), CF_HDROP, &data), S_OK);
  EXPECT_EQ(drop_list(data), expected_list());

  // the file manager says what it did on the object it pasted from; here the clipboard's
  // wrapper keeps SetData to itself (E_NOTIMPL), and the program's own object stands in
  com_ref<IDataObject> to;
  if (set_performed(c.get(), DROPEFFECT_COPY) == E_NOTIMPL)
    to.reset(dnd_clipboard_obj());
  else
    to.share(c.get());
  ASSERT_TRUE(to);
  // a copy or nothing done is not told
  EXPECT_EQ(set_performed(to.get(), DROPEFFECT_COPY), S_OK);
  EXPECT_EQ(set_performed(to.get(), DROPEFFECT_NONE), S_OK);
  EXPECT_TRUE(posted().empty());
  // two of the three moved
  for (unsigned i : {0u, 2u})
    ASSERT_TRUE(MoveFileA((std::string(rec(i)->rdir) + rec(i)->name).c_str(), (dest + "\\" + rec(i)->name).c_str()));
  ASSERT_EQ(set_performed(to.get(), DROPEFFECT_MOVE), S_OK);
  EXPECT_EQ(posted(), std::vector<WPARAM>{DROPEFFECT_MOVE});
  EXPECT_EQ(get_effect(c.get(), cf("Performed DropEffect")), (DWORD)DROPEFFECT_MOVE);

  // the main window's answer to the message
  ASSERT_EQ(flist_check_handed(&fl, &hub.n, &fl), 0);
  got = hub.drain();
  EXPECT_EQ(got, (std::vector<std::pair<int, void*>>{{NTF_FREC_MOVED, rec(0)}, {NTF_FREC_MOVED, rec(2)}}));
  EXPECT_EQ(rec(0)->flags & (FREC_HANDED | FREC_MOVED), (unsigned)FREC_MOVED);
  EXPECT_EQ(rec(2)->flags & (FREC_HANDED | FREC_MOVED), (unsigned)FREC_MOVED);
  EXPECT_EQ(rec(1)->flags & (FREC_HANDED | FREC_MOVED), (unsigned)FREC_HANDED);

  // a later cut leaves the moved ones out of the handing over
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_MOVE, wnd, kDone, 0), 0);
  got = hub.drain();
  EXPECT_EQ(got, (std::vector<std::pair<int, void*>>{{NTF_FREC_MOVING, rec(1)}}));
}

TEST_F(Dnd, SelectionLargerThanTheBufferIsReportedAndNothingPlaced) {
  // one KiB holds 512 wide characters: the most copies of one path that fit, and one more
  frec* r = rec(0);
  unsigned len = (unsigned)path(0).size(), fit = 511 / (len + 1);
  list many{};
  list_v_init(&many, 0xC2, nullptr, nullptr, nullptr, nullptr);
  for (unsigned i = 0; i < fit; ++i) list_v_append(&many, r);

  ASSERT_EQ(dnd_copy(&fl, &many, DROPEFFECT_COPY, wnd, kDone, 1), 0);
  com_ref<IDataObject> c;
  ASSERT_EQ(OleGetClipboard(c.put()), S_OK);
  std::string data;
  ASSERT_EQ(get(c.get(), CF_HDROP, &data), S_OK);
  EXPECT_EQ(drop_list(data).size(), fit * (len + 1) + 1);
  c.reset();

  list_v_append(&many, r);
  {
    LogCapture log;
    EXPECT_EQ(dnd_copy(&fl, &many, DROPEFFECT_MOVE, wnd, kDone, 1), 9005);
    EXPECT_TRUE(log.has("Drag and Drop initialization failed - bufsz: 1 KB.")) << log.got;
  }
  EXPECT_FALSE(clipboard_has_files());
  EXPECT_EQ(r->flags & FREC_HANDED, 0u);
  EXPECT_TRUE(hub.drain().empty());
  list_free(&many);

  // 0 is the default of 256 KiB, which takes them easily
  EXPECT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_COPY, wnd, kDone, 0), 0);
  EXPECT_TRUE(clipboard_has_files());
}

TEST_F(Dnd, ClipboardTakenBackOnlyWhileItIsOurs) {
  // emptied before a file-operation dialog
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_COPY, wnd, kDone, 0), 0);
  EXPECT_EQ(dnd_release_clipboard(), 0);
  EXPECT_FALSE(clipboard_has_files());
  EXPECT_EQ(dnd_clipboard_obj(), nullptr);

  // another program's text is left alone
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_COPY, wnd, kDone, 0), 0);
  ASSERT_TRUE(OpenClipboard(wnd));
  EmptyClipboard();
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(h), "abc", 4);
  GlobalUnlock(h);
  ASSERT_TRUE(SetClipboardData(CF_TEXT, h));
  CloseClipboard();
  EXPECT_EQ(dnd_clipboard_obj(), nullptr);
  EXPECT_EQ(dnd_release_clipboard(), 0);
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

  // at the end the files stay on the clipboard for other programs
  ASSERT_EQ(dnd_copy(&fl, &recs, DROPEFFECT_COPY, wnd, kDone, 0), 0);
  EXPECT_EQ(dnd_release_clipboard(1), 0);
  EXPECT_EQ(dnd_clipboard_obj(), nullptr);
  com_ref<IDataObject> c;
  ASSERT_EQ(OleGetClipboard(c.put()), S_OK);
  std::string data;
  ASSERT_EQ(get(c.get(), CF_HDROP, &data), S_OK);
  EXPECT_EQ(drop_list(data), expected_list());
}

// A window of another program that files are dropped on: it reads them and answers as
// told (moving them itself when it answers with a move).
struct Target final : IDropTarget {
  enum How { COPY, MOVE, MOVE_SAID_ON_OBJECT };
  How how = MOVE;
  std::string dest;
  std::vector<std::wstring> dropped;
  unsigned enters = 0;
  LONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
  ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs); }
  DWORD want(DWORD allowed) const { return allowed & (how == COPY ? DROPEFFECT_COPY : DROPEFFECT_MOVE); }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    ++enters;
    *effect = want(*effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = want(*effect);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* o, DWORD, POINTL, DWORD* effect) override {
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    if (FAILED(o->GetData(&fe, &m))) return E_UNEXPECTED;
    HDROP hd = static_cast<HDROP>(m.hGlobal);
    wchar_t p[MAX_PATH];
    for (UINT i = 0, n = DragQueryFileW(hd, 0xFFFFFFFF, nullptr, 0); i < n; ++i) {
      DragQueryFileW(hd, i, p, MAX_PATH);
      dropped.push_back(p);
      if (how == COPY) continue;
      std::wstring name = dropped.back().substr(dropped.back().rfind(L'\\'));
      MoveFileW(p, (Dnd::wide(dest) + name).c_str());
    }
    ReleaseStgMedium(&m);
    *effect = how == COPY ? DROPEFFECT_COPY : how == MOVE ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    if (how == MOVE_SAID_ON_OBJECT) set_performed(o, DROPEFFECT_MOVE);
    return S_OK;
  }
};

// Runs a drag with the pointer over the target window and no button down, so the drop
// source lets go at once; Escape posted beforehand cancels. A late Escape ends a drag
// that would otherwise never end.
struct DragRun {
  HWND target = nullptr;
  Target t;
  explicit DragRun(const std::string& dest) {
    t.dest = dest;
    target = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "target", WS_POPUP | WS_VISIBLE | SS_NOTIFY, 100, 100, 200, 200, nullptr,
                             nullptr, nullptr, nullptr);
    EXPECT_TRUE(target);
    EXPECT_EQ(RegisterDragDrop(target, &t), S_OK);
    UpdateWindow(target);
    MSG m;
    for (int i = 0; i < 20; ++i) {
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
      Sleep(10);
    }
    SetCursorPos(200, 200);
  }
  ~DragRun() {
    RevokeDragDrop(target);
    DestroyWindow(target);
  }
  static void CALLBACK escape(HWND, UINT, UINT_PTR, DWORD) { PostThreadMessageA(GetCurrentThreadId(), WM_KEYDOWN, VK_ESCAPE, 0); }
  int run(flist* fl, const list* recs, bool esc, DWORD* effect) {
    if (esc) PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0);
    UINT_PTR watchdog = SetTimer(nullptr, 0, 5000, escape);
    int rc = dnd_drag(fl, recs, 0, effect);
    KillTimer(nullptr, watchdog);
    return rc;
  }
};

TEST_F(Dnd, DragOnAnotherWindow) {
  using N = std::vector<std::pair<int, void*>>;
  struct {
    Target::How how;
    bool esc;
    std::vector<unsigned> dragged;
    DWORD effect;
    bool moved;
  } const cases[] = {
      {Target::COPY, false, {0, 1, 2}, DROPEFFECT_COPY, false},
      {Target::MOVE, true, {0, 1, 2}, DROPEFFECT_NONE, false},
      {Target::MOVE, false, {0}, DROPEFFECT_MOVE, true},
      // a receiver that moves the files itself answers "none" and says so on the object
      {Target::MOVE_SAID_ON_OBJECT, false, {1, 2}, DROPEFFECT_NONE, true},
  };
  DragRun d(dest);
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.how << " esc " << k.esc);
    d.t.how = k.how;
    d.t.dropped.clear();
    list some{};
    list_v_init(&some, 0xC2, nullptr, nullptr, nullptr, nullptr);
    std::vector<std::wstring> paths;
    N handed, moved;
    for (unsigned i : k.dragged) {
      list_v_append(&some, rec(i));
      paths.push_back(path(i));
      handed.push_back({NTF_FREC_MOVING, rec(i)});
      moved.push_back({NTF_FREC_MOVED, rec(i)});
    }
    DWORD effect = 0xff;
    EXPECT_EQ(d.run(&fl, &some, k.esc, &effect), 0);
    list_free(&some);
    EXPECT_EQ(effect, k.effect);
    EXPECT_EQ(d.t.dropped, k.esc ? std::vector<std::wstring>{} : paths);
    handed.insert(handed.end(), moved.begin(), moved.end());
    EXPECT_EQ(hub.drain(), k.moved ? handed : N{});
    for (unsigned i : k.dragged)
      EXPECT_EQ(rec(i)->flags & (FREC_HANDED | FREC_MOVED), k.moved ? (unsigned)FREC_MOVED : 0u);
    // nothing of a drag is left on the clipboard
    EXPECT_EQ(dnd_clipboard_obj(), nullptr);
  }
}

std::vector<UINT> enumerate(IEnumFORMATETC* e) {
  std::vector<UINT> v;
  FORMATETC f;
  while (e->Next(1, &f, nullptr) == S_OK) {
    EXPECT_EQ(f.tymed, (DWORD)TYMED_HGLOBAL);
    EXPECT_EQ(f.dwAspect, (DWORD)DVASPECT_CONTENT);
    EXPECT_EQ(f.lindex, -1);
    v.push_back(f.cfFormat);
  }
  return v;
}

TEST_F(Dnd, DataObjectOffersItsFormatsOnly) {
  const UINT pref = cf("Preferred DropEffect"), perf = cf("Performed DropEffect");
  struct {
    DWORD effect;
    std::vector<UINT> fmts;
  } const cases[] = {{DROPEFFECT_COPY, {CF_HDROP, perf, pref}}, {DROPEFFECT_MOVE, {CF_HDROP, perf, pref}},
                     {DROPEFFECT_NONE, {CF_HDROP, perf}}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.effect);
    DataObj* p = nullptr;
    dataobj_args a{&recs, k.effect, nullptr, 0, 0, pref, perf, nullptr};
    ASSERT_EQ(DataObj::create(7, a, &p), 0);
    com_ref<DataObj> o(p);
    EXPECT_EQ(o->id(), 7u);

    com_ref<IEnumFORMATETC> e;
    ASSERT_EQ(o->EnumFormatEtc(DATADIR_GET, e.put()), S_OK);
    EXPECT_EQ(enumerate(e.get()), k.fmts);
    EXPECT_EQ(o->EnumFormatEtc(DATADIR_SET, e.put()), E_NOTIMPL);

    for (UINT f : {(UINT)CF_HDROP, perf, pref, (UINT)CF_TEXT}) {
      FORMATETC fe{(CLIPFORMAT)f, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      bool offered = std::count(k.fmts.begin(), k.fmts.end(), f) > 0;
      EXPECT_EQ(o->QueryGetData(&fe), offered ? S_OK : DV_E_FORMATETC) << f;
      STGMEDIUM m{};
      HRESULT hr = o->GetData(&fe, &m);
      EXPECT_EQ(hr, offered ? S_OK : DV_E_FORMATETC) << f;
      if (SUCCEEDED(hr)) ReleaseStgMedium(&m);
      EXPECT_EQ(o->GetDataHere(&fe, &m), DV_E_FORMATETC);
    }
    // only global memory is offered
    FORMATETC fe{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_EQ(o->QueryGetData(&fe), DV_E_FORMATETC);
    std::string data;
    ASSERT_EQ(get(o.get(), CF_HDROP, &data), S_OK);
    EXPECT_EQ(drop_list(data), expected_list());
    if (k.effect) {
      EXPECT_EQ(get_effect(o.get(), pref), k.effect);
    }
    EXPECT_EQ(get_effect(o.get(), perf), (DWORD)DROPEFFECT_NONE);
  }
}

TEST(EnumFmtetc, NextSkipResetClone) {
  const FORMATETC fmts[] = {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                            {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                            {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI}};
  com_ref<EnumFmtetc> e(EnumFmtetc::create(fmts, 3));
  ASSERT_TRUE(e);
  FORMATETC got[4]{};
  ULONG n = 9;
  EXPECT_EQ(e->Next(2, got, &n), S_OK);
  EXPECT_EQ(n, 2u);
  EXPECT_EQ(got[0].cfFormat, CF_HDROP);
  EXPECT_EQ(got[1].cfFormat, CF_TEXT);

  // a clone goes on from the same place, on its own
  com_ref<IEnumFORMATETC> c;
  ASSERT_EQ(e->Clone(c.put()), S_OK);
  EXPECT_EQ(e->Next(4, got, &n), S_FALSE);
  EXPECT_EQ(n, 1u);
  EXPECT_EQ(got[0].cfFormat, CF_BITMAP);
  EXPECT_EQ(got[0].tymed, (DWORD)TYMED_GDI);
  EXPECT_EQ(e->Next(1, got, &n), S_FALSE);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(c->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(got[0].cfFormat, CF_BITMAP);

  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Skip(2), S_OK);
  EXPECT_EQ(e->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(got[0].cfFormat, CF_BITMAP);
  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Skip(4), S_FALSE);
  EXPECT_EQ(e->Next(1, got, nullptr), S_FALSE);
  // more than one without a count to tell how many
  e->Reset();
  EXPECT_EQ(e->Next(2, got, nullptr), E_INVALIDARG);

  EXPECT_EQ(EnumFmtetc::create(fmts, EnumFmtetc::MAX_FMTS + 1), nullptr);
}

TEST(DropSrc, AnswersByEscapeAndButtons) {
  com_ref<DropSrc> s(DropSrc::create());
  ASSERT_TRUE(s);
  struct {
    BOOL escape;
    DWORD keys;
    HRESULT want;
  } const cases[] = {
      {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},          {TRUE, 0, DRAGDROP_S_CANCEL},
      {FALSE, MK_LBUTTON, S_OK},                      {FALSE, MK_LBUTTON | MK_CONTROL | MK_SHIFT, S_OK},
      {FALSE, 0, DRAGDROP_S_DROP},                    {FALSE, MK_RBUTTON | MK_CONTROL, DRAGDROP_S_DROP},
  };
  for (const auto& k : cases)
    EXPECT_EQ(s->QueryContinueDrag(k.escape, k.keys), k.want) << k.escape << " " << k.keys;
  for (DWORD eff : {DROPEFFECT_NONE, DROPEFFECT_COPY, DROPEFFECT_MOVE})
    EXPECT_EQ(s->GiveFeedback(eff), DRAGDROP_S_USEDEFAULTCURSORS);
}

}  // namespace
