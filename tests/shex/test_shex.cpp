// Drives the built quarnw-shex.dll as the shell would: a private copy of it is loaded
// for each test, with an argument file beside it that sends its log to a file there.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quarnw/win32/shex/shex.h"
#include "quarnw/win32/shex/shexmenu.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadFn)();

constexpr char kLogOpt[] = "-errout:$(LOCALAPPDATA)\\moxware\\$(app).err";
const HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1), kNoItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
const LPCSTR kOurs = MAKEINTRESOURCEA(0);

std::string read_file(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    fclose(f);
  }
  return s;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ptr_text(const void* p) {
  char buf[32];
  snprintf(buf, sizeof buf, "%p", p);
  return buf;
}

std::string blank_quoted(const std::string& s) { return s.find(' ') == std::string::npos ? s : "\"" + s + "\""; }

void remove_tree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &fd)) {
    std::string n = fd.cFileName, p = dir + "\\" + n;
    if (n == "." || n == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      remove_tree(p);
    else
      DeleteFileA(p.c_str());
  }
  if (h != INVALID_HANDLE_VALUE) FindClose(h);
  RemoveDirectoryA(dir.c_str());
}

// A selection as the shell hands it over: a file drop list in global memory. Owned by
// the test, so Release never deletes it and refs() shows what the library holds.
class DropData final : public IDataObject {
 public:
  explicit DropData(std::vector<std::string> names, bool has_drop = true) : names_(std::move(names)), drop_(has_drop) {}
  LONG refs() const { return refs_; }
  int gets = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs_); }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* stm) override {
    if (!drop_ || fe->cfFormat != CF_HDROP || !(fe->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& n : names_) size += n.size() + 1;
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    char* p = (char*)GlobalLock(g);
    ((DROPFILES*)p)->pFiles = sizeof(DROPFILES);
    p += sizeof(DROPFILES);
    for (const std::string& n : names_) p = (char*)memcpy(p, n.c_str(), n.size() + 1) + n.size() + 1;
    GlobalUnlock(g);
    *stm = STGMEDIUM{};
    stm->tymed = TYMED_HGLOBAL;
    stm->hGlobal = g;
    ++gets;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  LONG refs_ = 1;
  std::vector<std::string> names_;
  bool drop_;
};

void set_cfg(HKEY root, const char* valname, const char* value, DWORD type = REG_SZ) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(root, SHEX_CFG_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
  DWORD size = type == REG_SZ ? (DWORD)strlen(value) + 1 : sizeof(DWORD);
  EXPECT_EQ(RegSetValueExA(k, valname, 0, type, (const BYTE*)value, size), 0);
  RegCloseKey(k);
}

void drop_cfg() {
  RegDeleteTreeA(HKEY_CURRENT_USER, SHEX_CFG_KEY);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, SHEX_CFG_KEY);
}

// The library's directory, shared by all tests: the copy, its argument file, its log
// and the recorder.
std::string g_dir;

struct ShexEnv : testing::Environment {
  void SetUp() override {
    char tmp[MAX_PATH], self[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    g_dir = std::string(tmp) + "shex-test-" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(g_dir.c_str(), nullptr)) << g_dir;
    std::string bin(self, GetModuleFileNameA(nullptr, self, sizeof self));
    bin.resize(bin.find_last_of('\\') + 1);
    for (const char* f : {"quarnw-shex.dll", "shex_recorder.exe"})
      ASSERT_TRUE(CopyFileA((bin + f).c_str(), (g_dir + f).c_str(), FALSE)) << f;
    // a comment, then a continued line: only that first logical line counts
    std::string arg = "# log of the tests\n\"-errout:" + g_dir + "shex.log\" \\\n  -errsever:dbg\n-errsever:err\n";
    FILE* f = fopen((g_dir + "quarnw-shex.arg").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs(arg.c_str(), f);
    fclose(f);
  }
  void TearDown() override {
    drop_cfg();
    remove_tree(g_dir.substr(0, g_dir.size() - 1));
  }
};
testing::Environment* const shex_env = testing::AddGlobalTestEnvironment(new ShexEnv);

struct Shex : testing::Test {
  HMODULE lib = nullptr;
  GetClassObjectFn get_class_object = nullptr;
  CanUnloadFn can_unload = nullptr;
  size_t log_start = 0;
  std::string work, record;  // this test's files; the recorder's output

  void SetUp() override {
    drop_cfg();
    log_start = read_file(g_dir + "shex.log").size();
    ASSERT_NE(lib = LoadLibraryA((g_dir + "quarnw-shex.dll").c_str()), nullptr) << GetLastError();
    get_class_object = (GetClassObjectFn)(void*)GetProcAddress(lib, "DllGetClassObject");
    can_unload = (CanUnloadFn)(void*)GetProcAddress(lib, "DllCanUnloadNow");
    ASSERT_TRUE(get_class_object && can_unload);
    ASSERT_TRUE(GetProcAddress(lib, "DllRegisterServer") && GetProcAddress(lib, "DllUnregisterServer"));
    work = g_dir + testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    record = work + "cmdline.txt";
    SetEnvironmentVariableA("SHEX_RECORD", record.c_str());
  }
  void TearDown() override {
    if (lib) {
      EXPECT_EQ(can_unload(), S_OK);  // every object the test made is gone
      FreeLibrary(lib);
    }
    drop_cfg();
  }

  // the log since the library was loaded, written in text mode
  std::string log() const {
    std::string t;
    for (char c : read_file(g_dir + "shex.log").substr(log_start))
      if (c != '\r') t += c;
    return t;
  }
  // a record's message line: the name, then the whole text
  bool logged(const std::string& msg) const { return log().find("quarnw-shex: " + msg + "\n") != std::string::npos; }

  IClassFactory* factory() {
    IClassFactory* cf = nullptr;
    EXPECT_EQ(get_class_object(SHEX_CLSID, IID_IClassFactory, (void**)&cf), S_OK);
    return cf;
  }
  // a menu object, initialised with the selection when there is one
  IContextMenu* menu_on(DropData* data) {
    IClassFactory* cf = factory();
    IContextMenu* cm = nullptr;
    IShellExtInit* init = nullptr;
    if (cf) {
      EXPECT_EQ(cf->CreateInstance(nullptr, IID_IContextMenu, (void**)&cm), S_OK);
      cf->Release();
    }
    if (cm && data && cm->QueryInterface(IID_IShellExtInit, (void**)&init) == S_OK) {
      EXPECT_EQ(init->Initialize(nullptr, data, nullptr), S_OK);
      init->Release();
    }
    return cm;
  }
  static HRESULT invoke(IContextMenu* cm, LPCSTR verb) {
    CMINVOKECOMMANDINFO ci = {};
    ci.cbSize = sizeof ci;
    ci.lpVerb = verb;
    return cm->InvokeCommand(&ci);
  }
  // the command line the recorder saw, or "" when nothing was started within ms
  std::string recorded(DWORD ms = 20000) {
    for (DWORD t = 0; t < ms && !exists(record); t += 50) Sleep(50);
    return read_file(record);
  }
  std::string beside_lib() const { return blank_quoted(g_dir + "shex_recorder.exe"); }
};

TEST_F(Shex, AttachReadsTheArgumentFileAndTracesAttachAndDetach) {
  char ver[64];
  snprintf(ver, sizeof ver, "quarnw-shex %d.%d.%d.0 (%s)", QUARN_VER_MAJOR, QUARN_VER_MINOR, QUARN_VER_PATCH,
           sizeof(void*) == 8 ? "win64-x64" : "win32-x86");
  std::string inst = ptr_text(lib);
  // the level from the continued first line; the line after it was not read
  EXPECT_NE(log().find("quarnw-shex: DBG 0 "), std::string::npos) << log();
  EXPECT_TRUE(logged(std::string(ver) + " DLL attach [" + inst + "].")) << log();
  FreeLibrary(lib);
  lib = nullptr;
  EXPECT_TRUE(logged(std::string(ver) + " DLL detach [" + inst + "].")) << log();
}

TEST_F(Shex, VersionResourceAndClassIdentifier) {
  std::string path = g_dir + "quarnw-shex.dll";
  DWORD h = 0, size = GetFileVersionInfoSizeA(path.c_str(), &h);
  std::vector<char> data(size + 1);
  ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  char* text = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", (void**)&fixed, &len));
  EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)MAKELONG(QUARN_VER_MINOR, QUARN_VER_MAJOR));
  EXPECT_EQ(fixed->dwFileVersionLS, (DWORD)MAKELONG(0, QUARN_VER_PATCH));
  EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_DLL);
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904B0\\OriginalFilename", (void**)&text, &len));
  EXPECT_STREQ(text, "quarnw-shex.dll");
  // the 16-byte form is the text's
  CLSID parsed;
  std::wstring w(SHEX_CLSID_TEXT, SHEX_CLSID_TEXT + strlen(SHEX_CLSID_TEXT));
  ASSERT_EQ(CLSIDFromString(w.c_str(), &parsed), S_OK);
  EXPECT_TRUE(IsEqualCLSID(parsed, SHEX_CLSID));
}

TEST_F(Shex, ClassObjectOnlyForOurClass) {
  void* p = (void*)1;
  EXPECT_EQ(get_class_object(IID_IContextMenu, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  CLSID near_miss = SHEX_CLSID;
  near_miss.Data4[7] ^= 1;
  p = (void*)1;
  EXPECT_EQ(get_class_object(near_miss, IID_IUnknown, &p), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  p = (void*)1;
  EXPECT_EQ(get_class_object(SHEX_CLSID, IID_IShellExtInit, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(can_unload(), S_OK);  // nothing left behind
}

TEST_F(Shex, FactoryInterfacesCountsAndLocks) {
  IClassFactory* cf = factory();
  ASSERT_NE(cf, nullptr);
  EXPECT_EQ(can_unload(), S_FALSE);
  EXPECT_EQ(cf->AddRef(), 2u);  // the caller held the only reference
  IUnknown* unk = nullptr;
  EXPECT_EQ(cf->QueryInterface(IID_IUnknown, (void**)&unk), S_OK);
  EXPECT_EQ((void*)unk, (void*)cf);
  EXPECT_EQ(unk->Release(), 2u);
  EXPECT_EQ(cf->Release(), 1u);
  DropData outer({});
  void* p = (void*)1;
  EXPECT_EQ(cf->CreateInstance(&outer, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(p, nullptr);
  p = (void*)1;
  EXPECT_EQ(cf->CreateInstance(nullptr, IID_IClassFactory, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(cf->LockServer(TRUE), S_OK);
  EXPECT_EQ(can_unload(), S_FALSE);  // the factory and a lock
  EXPECT_EQ(cf->LockServer(TRUE), S_OK);
  EXPECT_EQ(cf->Release(), 0u);
  EXPECT_EQ(can_unload(), S_FALSE);  // locked without objects
  ASSERT_NE(cf = factory(), nullptr);
  EXPECT_EQ(cf->LockServer(FALSE), S_OK);
  EXPECT_EQ(cf->LockServer(FALSE), S_OK);
  EXPECT_EQ(can_unload(), S_FALSE);  // the factory itself
  cf->Release();
  EXPECT_EQ(can_unload(), S_OK);
}

TEST_F(Shex, MenuObjectHasOneIdentityAndHoldsTheSelectionOnce) {
  DropData d1({"C:\\a"}), d2({"C:\\b"});
  IContextMenu* cm = menu_on(&d1);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(d1.refs(), 2);
  IShellExtInit* init = nullptr;
  IUnknown *u1 = nullptr, *u2 = nullptr;
  IContextMenu* cm2 = nullptr;
  ASSERT_EQ(cm->QueryInterface(IID_IShellExtInit, (void**)&init), S_OK);
  EXPECT_NE((void*)init, (void*)cm);  // two tables of one object
  ASSERT_EQ(cm->QueryInterface(IID_IUnknown, (void**)&u1), S_OK);
  ASSERT_EQ(init->QueryInterface(IID_IUnknown, (void**)&u2), S_OK);
  ASSERT_EQ(init->QueryInterface(IID_IContextMenu, (void**)&cm2), S_OK);
  EXPECT_EQ(u1, u2);
  EXPECT_EQ((void*)u1, (void*)init);
  EXPECT_EQ(cm2, cm);
  void* p = (void*)1;
  EXPECT_EQ(cm->QueryInterface(IID_IDataObject, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  // a new selection replaces the old one; the same one again changes nothing
  EXPECT_EQ(init->Initialize(nullptr, &d2, nullptr), S_OK);
  EXPECT_EQ(init->Initialize(nullptr, &d2, nullptr), S_OK);
  EXPECT_EQ(d1.refs(), 1);
  EXPECT_EQ(d2.refs(), 2);
  // one count behind both tables
  EXPECT_EQ(u1->Release(), 4u);
  EXPECT_EQ(u2->Release(), 3u);
  EXPECT_EQ(cm2->Release(), 2u);
  EXPECT_EQ(init->Release(), 1u);
  EXPECT_EQ(can_unload(), S_FALSE);
  EXPECT_EQ(cm->Release(), 0u);
  EXPECT_EQ(d2.refs(), 1);
}

struct Menu {
  HMENU h = CreatePopupMenu();
  ~Menu() { DestroyMenu(h); }
  std::string text(int pos) const {
    char buf[64] = "";
    GetMenuStringA(h, (UINT)pos, buf, sizeof buf, MF_BYPOSITION);
    return buf;
  }
};

TEST_F(Shex, EntryOnlyWhenSwitchedOn) {
  IContextMenu* cm = menu_on(nullptr);
  ASSERT_NE(cm, nullptr);
  auto added = [&](const char* flag) {
    if (flag) set_cfg(HKEY_CURRENT_USER, "shex.enabled", flag);
    Menu m;
    HRESULT hr = cm->QueryContextMenu(m.h, 0, 100, 200, CMF_NORMAL);
    EXPECT_EQ(GetMenuItemCount(m.h), hr == kOneItem) << (flag ? flag : "absent");
    EXPECT_TRUE(hr == kOneItem || hr == E_FAIL) << hr;
    if (hr == kOneItem) {
      EXPECT_EQ(m.text(0) + ":" + std::to_string(GetMenuItemID(m.h, 0)), "Quarn:100");
    }
    return hr == kOneItem;
  };
  EXPECT_FALSE(added(nullptr));  // no key at all
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "quarnw.exe");
  EXPECT_FALSE(added(nullptr));  // the key without the flag
  EXPECT_NE(log().find(", valname: `shex.enabled'.\n"), std::string::npos) << log();
  for (const char* w : {"1", "T", "t", "Y", "y", "Yes", "true", "On", "ON", "oN", "on please"}) EXPECT_TRUE(added(w)) << w;
  for (const char* w : {"No", "0", "n", "off", "O", "", " on", "False", "enabled"}) EXPECT_FALSE(added(w)) << w;
  DWORD one = 1;
  set_cfg(HKEY_CURRENT_USER, "shex.enabled", (const char*)&one, REG_DWORD);
  EXPECT_FALSE(added(nullptr));  // not a text
  // the user's key, when there is one, decides alone
  drop_cfg();
  set_cfg(HKEY_LOCAL_MACHINE, "shex.enabled", "yes");
  EXPECT_TRUE(added(nullptr));
  EXPECT_FALSE(added("no"));
  drop_cfg();
  EXPECT_FALSE(added(nullptr));
  EXPECT_TRUE(logged("RegOpenKeyEx() failed - key: " + ptr_text(HKEY_LOCAL_MACHINE) +
                     ", subkey: `SOFTWARE\\moxware\\quarnw-shex'."))
      << log();
  EXPECT_EQ(log().find("RegOpenKeyEx() failed - key: " + ptr_text(HKEY_CURRENT_USER)), std::string::npos);
  cm->Release();
}

TEST_F(Shex, EntryPositionAndNoEntryCases) {
  set_cfg(HKEY_CURRENT_USER, "shex.enabled", "on");
  IContextMenu* cm = menu_on(nullptr);
  ASSERT_NE(cm, nullptr);
  Menu m;
  AppendMenuA(m.h, MF_STRING, 1, "First");
  AppendMenuA(m.h, MF_STRING, 2, "Last");
  EXPECT_EQ(cm->QueryContextMenu(m.h, 1, 40, 40, CMF_EXPLORE), kOneItem);
  EXPECT_EQ(m.text(0) + "|" + m.text(1) + "|" + m.text(2), "First|Quarn|Last");
  MENUITEMINFOA mi = {};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(m.h, 1, TRUE, &mi));
  EXPECT_EQ(mi.wID, 40u);
  EXPECT_EQ(mi.fType, (UINT)MFT_STRING);
  EXPECT_EQ(mi.fState & (MFS_DISABLED | MFS_CHECKED), 0u);
  Menu empty;
  EXPECT_EQ(cm->QueryContextMenu(empty.h, 0, 1, 9, CMF_DEFAULTONLY), kNoItem);
  EXPECT_EQ(cm->QueryContextMenu(empty.h, 0, 10, 9, CMF_NORMAL), kNoItem);  // no id left
  EXPECT_EQ(GetMenuItemCount(empty.h), 0);
  HMENU gone = CreatePopupMenu();
  DestroyMenu(gone);
  EXPECT_EQ(cm->QueryContextMenu(gone, 0, 1, 9, CMF_NORMAL), E_FAIL);
  EXPECT_TRUE(logged("InsertMenuItem() failed.")) << log();
  cm->Release();
}

TEST_F(Shex, HelpTextAndUntouchedBufferForOtherRequests) {
  const char help[] = "Finds the selected directories with Quarn";
  IContextMenu* cm = menu_on(nullptr);
  ASSERT_NE(cm, nullptr);
  char buf[128];
  EXPECT_EQ(cm->GetCommandString(0, GCS_HELPTEXTA, nullptr, buf, sizeof help), S_OK);  // just fits
  EXPECT_STREQ(buf, help);
  EXPECT_EQ(cm->GetCommandString(0, GCS_HELPTEXTA, nullptr, buf, sizeof help - 1), E_FAIL);
  for (UINT type : {(UINT)GCS_VERBA, (UINT)GCS_VERBW, (UINT)GCS_HELPTEXTW, (UINT)GCS_VALIDATEA}) {
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(cm->GetCommandString(0, type, nullptr, buf, sizeof buf), S_OK) << type;
    EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, 'x')) << type;
  }
  cm->Release();
}

TEST_F(Shex, StartsTheProgramOnTheSelectedDirectories) {
  std::string a = work + "alpha", b = work + "be ta", c = work + "gamma", prog = work + "prog dir\\rec.exe";
  for (const std::string& d : {a, b, c, work + "prog dir"}) ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA((g_dir + "shex_recorder.exe").c_str(), prog.c_str(), FALSE));
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", prog.c_str());
  DropData sel({a, b, c});
  IContextMenu* cm = menu_on(&sel);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), "\"" + prog + "\" " + blank_quoted(a) + " \"" + b + "\" " + blank_quoted(c) + " " + kLogOpt);
  cm->Release();
}

TEST_F(Shex, ProgramNameAloneIsLookedForBesideTheLibrary) {
  set_cfg(HKEY_LOCAL_MACHINE, "quarnw.path", "shex_recorder.exe");  // the machine's, the user has none
  DropData sel({"C:\\"});
  IContextMenu* cm = menu_on(&sel);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + " C:\\ " + kLogOpt);
  cm->Release();
}

TEST_F(Shex, OtherVerbsStartNothing) {
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");
  DropData sel({"C:\\"});
  IContextMenu* cm = menu_on(&sel);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, "open"), E_FAIL);
  EXPECT_EQ(invoke(cm, "Quarn"), E_FAIL);
  EXPECT_EQ(invoke(cm, MAKEINTRESOURCEA(1)), E_FAIL);
  EXPECT_EQ(cm->InvokeCommand(nullptr), E_FAIL);
  EXPECT_EQ(recorded(1500), "");
  EXPECT_EQ(sel.gets, 0);  // refused before the selection was read
  cm->Release();
}

TEST_F(Shex, SelectionLimits) {
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");
  // five names of 3900 characters and their blanks: 19504, under 20480
  std::vector<std::string> names;
  std::string list;
  for (char ch = 'a'; ch < 'f'; ++ch) list += " " + names.emplace_back("C:\\" + std::string(3897, ch));
  DropData fits(names);
  IContextMenu* cm = menu_on(&fits);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + list + " " + kLogOpt);
  DeleteFileA(record.c_str());
  // one more, quoted: past the limit
  names.push_back("C:\\dir 5\\" + std::string(1000, 'x'));
  DropData too_long(names);
  IShellExtInit* init = nullptr;
  ASSERT_EQ(cm->QueryInterface(IID_IShellExtInit, (void**)&init), S_OK);
  init->Initialize(nullptr, &too_long, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_EQ(recorded(1500), "");
  EXPECT_NE(log().find("quarnw-shex: mox_strcat() failed - size: 20480, name: `\"C:\\dir 5\\xxx"), std::string::npos)
      << log();
  // a name the 4096-character buffer cannot hold is not passed on cut
  DropData long_name({"C:\\short", "C:\\" + std::string(4093, 'n')});
  init->Initialize(nullptr, &long_name, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_EQ(recorded(1500), "");
  EXPECT_TRUE(logged("DragQueryFile() failed - index: 1, len: 4096, size: 4096.")) << log();
  DropData longest({"C:\\" + std::string(4092, 'n')});
  init->Initialize(nullptr, &longest, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + " C:\\" + std::string(4092, 'n') + " " + kLogOpt);
  init->Release();
  cm->Release();
}

TEST_F(Shex, FailuresStartNothingAndAreLogged) {
  DropData sel({"C:\\"}), other({"C:\\"}, false);
  IContextMenu* cm = menu_on(&sel);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);  // no settings
  EXPECT_TRUE(logged("RegOpenKeyEx() failed - key: " + ptr_text(HKEY_LOCAL_MACHINE) +
                     ", subkey: `SOFTWARE\\moxware\\quarnw-shex'."))
      << log();
  set_cfg(HKEY_CURRENT_USER, "shex.enabled", "on");
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);  // no program
  EXPECT_NE(log().find(", valname: `quarnw.path'.\n"), std::string::npos) << log();
  EXPECT_EQ(sel.gets, 0);
  cm->Release();

  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");
  cm = menu_on(&other);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_TRUE(logged("GetData() failed.")) << log();
  cm->Release();
  cm = menu_on(nullptr);  // never initialised
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_TRUE(logged("`dtobj' is NUL.")) << log();
  cm->Release();
  EXPECT_EQ(recorded(1500), "");

  // a program that cannot start: the command line is shown cut to 1024 characters
  std::string prog = work + "missing.exe", name = "C:\\" + std::string(2000, 'm');
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", prog.c_str());
  DropData big({name});
  cm = menu_on(&big);
  ASSERT_NE(cm, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  std::string cmdln = blank_quoted(prog) + " " + name;
  EXPECT_TRUE(logged("CreateProcess() failed - cmdln: `" + cmdln.substr(0, 1024) + "'.")) << log();
  cm->Release();
}

}  // namespace
