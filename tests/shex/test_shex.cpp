// Drives the built quarnw-shex.dll as the shell would: a private copy of it is loaded
// for each test, with an argument file beside it that sends its log to a file there.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "quarnw/win32/shex/shex.h"
#include "quarnw/win32/shex/shexmenu.h"

namespace {

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFn)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadFn)();

constexpr char kLogOpt[] = "-errout:$(LOCALAPPDATA)\\moxware\\$(app).err";
const HRESULT kOneItem = MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1);
const LPCSTR kOurs = MAKEINTRESOURCEA(0);

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ptr_text(const void* p) {
  char buf[32];
  return std::string(buf, snprintf(buf, sizeof buf, "%p", p));
}

std::string blank_quoted(const std::string& s) { return s.find(' ') == std::string::npos ? s : "\"" + s + "\""; }

// A selection as the shell hands it over: a file drop list in global memory (none for no
// names). Owned by the test, so Release never deletes it and refs shows what the library holds.
struct DropData final : IDataObject {
  explicit DropData(std::vector<std::string> names) : names_(std::move(names)) {}
  explicit DropData(std::vector<std::wstring> names) : wnames_(std::move(names)) {}
  LONG refs = 1;
  int gets = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
    return *ppv ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
  ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs); }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* stm) override {
    if ((names_.empty() && wnames_.empty()) || fe->cfFormat != CF_HDROP || !(fe->tymed & TYMED_HGLOBAL))
      return DV_E_FORMATETC;
    std::string list(sizeof(DROPFILES), '\0');
    ((DROPFILES*)&list[0])->pFiles = sizeof(DROPFILES);
    ((DROPFILES*)&list[0])->fWide = !wnames_.empty();
    for (const std::string& n : names_) list += n + '\0';
    for (const std::wstring& n : wnames_) list.append((const char*)n.c_str(), (n.size() + 1) * sizeof(wchar_t));
    if (!wnames_.empty()) list += '\0';  // the wide list ends in a wide zero
    *stm = STGMEDIUM{};
    stm->tymed = TYMED_HGLOBAL;
    memcpy(stm->hGlobal = GlobalAlloc(GMEM_FIXED, list.size() + 1), list.c_str(), list.size() + 1);
    ++gets;
    return S_OK;
  }
  // the rest is never asked for
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  std::vector<std::string> names_;
  std::vector<std::wstring> wnames_;  // a list of wide names instead, as Explorer hands them
};

void set_cfg(HKEY root, const char* valname, const char* value) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(root, SHEX_CFG_KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), 0);
  EXPECT_EQ(RegSetValueExA(k, valname, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1), 0);
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
    std::ofstream(g_dir + "quarnw-shex.arg", std::ios::binary)
        << "# log of the tests\n\"-errout:" << g_dir << "shex.log\" \\\n  -errsever:dbg\n-errsever:err\n";
  }
  void TearDown() override {
    drop_cfg();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
  }
};
testing::Environment* const shex_env = testing::AddGlobalTestEnvironment(new ShexEnv);

struct Shex : testing::Test {
  HMODULE lib = nullptr;
  GetClassObjectFn get_class_object = nullptr;
  CanUnloadFn can_unload = nullptr;
  size_t log_start = 0;
  std::string record = g_dir + "cmdline.txt";  // the recorder's output
  void SetUp() override {
    drop_cfg();
    log_start = read_file(g_dir + "shex.log").size();
    ASSERT_NE(lib = LoadLibraryA((g_dir + "quarnw-shex.dll").c_str()), nullptr) << GetLastError();
    get_class_object = (GetClassObjectFn)(void*)GetProcAddress(lib, "DllGetClassObject");
    can_unload = (CanUnloadFn)(void*)GetProcAddress(lib, "DllCanUnloadNow");
    ASSERT_TRUE(get_class_object && can_unload);
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
    std::string t = read_file(g_dir + "shex.log").substr(log_start);
    t.erase(std::remove(t.begin(), t.end(), '\r'), t.end());
    return t;
  }
  bool has(const std::string& part) const { return log().find("quarnw-shex: " + part) != std::string::npos; }
  // a record's message line: the name, then the whole text
  bool logged(const std::string& msg) const { return has(msg + "\n"); }

  // a menu object, initialised with the selection when there is one
  IContextMenu* menu_on(DropData* data) {
    IClassFactory* cf = nullptr;
    IContextMenu* cm = nullptr;
    EXPECT_EQ(get_class_object(SHEX_CLSID, IID_IClassFactory, (void**)&cf), S_OK);
    EXPECT_EQ(cf->CreateInstance(nullptr, IID_IContextMenu, (void**)&cm), S_OK);
    cf->Release();
    if (data) {
      IShellExtInit* init = init_of(cm);
      EXPECT_EQ(init->Initialize(nullptr, data, nullptr), S_OK);
      init->Release();
    }
    return cm;
  }
  static IShellExtInit* init_of(IContextMenu* cm) {
    IShellExtInit* init = nullptr;
    EXPECT_EQ(cm->QueryInterface(IID_IShellExtInit, (void**)&init), S_OK);
    return init;
  }
  static HRESULT invoke(IContextMenu* cm, LPCSTR verb) {
    CMINVOKECOMMANDINFO ci = {};
    ci.cbSize = sizeof ci;
    ci.lpVerb = verb;
    return cm->InvokeCommand(&ci);
  }
  // the command line the recorder saw, or "" when nothing was started within ms
  std::string recorded(DWORD ms = 20000) {
    for (DWORD t = 0; t < ms && GetFileAttributesA(record.c_str()) == INVALID_FILE_ATTRIBUTES; t += 50) Sleep(50);
    std::string s = read_file(record);
    DeleteFileA(record.c_str());
    return s;
  }
  std::string beside_lib() const { return blank_quoted(g_dir + "shex_recorder.exe"); }
};

TEST_F(Shex, AttachReadsTheArgumentFileAndTracesAttachAndDetach) {
  char ver[64];
  snprintf(ver, sizeof ver, "quarnw-shex %d.%d.%d.0 (%s) DLL ", QUARN_VER_MAJOR, QUARN_VER_MINOR, QUARN_VER_PATCH,
           sizeof(void*) == 8 ? "win64-x64" : "win32-x86");
  std::string inst = ptr_text(lib);
  // the level from the continued first line; the line after it was not read
  EXPECT_TRUE(has("DBG 0 ")) << log();
  EXPECT_TRUE(logged(ver + ("attach [" + inst + "]."))) << log();
  FreeLibrary(lib);
  lib = nullptr;
  EXPECT_TRUE(logged(ver + ("detach [" + inst + "]."))) << log();
}

TEST_F(Shex, ClassObjectsCountsAndOneIdentity) {
  void* p = (void*)1;
  EXPECT_EQ(get_class_object(IID_IContextMenu, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(p, nullptr);
  IClassFactory* cf = nullptr;
  ASSERT_EQ(get_class_object(SHEX_CLSID, IID_IClassFactory, (void**)&cf), S_OK);
  DropData d1({"C:\\a"}), d2({"C:\\b"});
  EXPECT_EQ(cf->CreateInstance(&d1, IID_IUnknown, &p), CLASS_E_NOAGGREGATION);
  EXPECT_TRUE(cf->LockServer(TRUE) == S_OK && cf->Release() == 0);
  EXPECT_EQ(can_unload(), S_FALSE);  // locked without objects
  ASSERT_EQ(get_class_object(SHEX_CLSID, IID_IClassFactory, (void**)&cf), S_OK);
  EXPECT_TRUE(cf->LockServer(FALSE) == S_OK && cf->Release() == 0);
  // one count behind both tables of the menu object; the selection held once
  IContextMenu* cm = menu_on(&d1);
  IShellExtInit* init = init_of(cm);
  EXPECT_NE((void*)init, (void*)cm);
  EXPECT_EQ(init->Initialize(nullptr, &d2, nullptr), S_OK);
  EXPECT_EQ(init->Initialize(nullptr, &d2, nullptr), S_OK);
  EXPECT_EQ(d1.refs * 10 + d2.refs, 12);
  EXPECT_EQ(init->Release(), 1u);
  EXPECT_EQ(cm->Release(), 0u);
  EXPECT_EQ(d2.refs, 1);
}

TEST_F(Shex, EntryOnlyWhenSwitchedOnAndWhereAsked) {
  IContextMenu* cm = menu_on(nullptr);
  HMENU m = CreatePopupMenu();
  auto added = [&](const char* flag) {
    if (flag) set_cfg(HKEY_CURRENT_USER, "shex.enabled", flag);
    HRESULT hr = cm->QueryContextMenu(m, 0, 100, 200, CMF_NORMAL);
    EXPECT_TRUE(hr == kOneItem || hr == E_FAIL) << hr;
    return hr == kOneItem && DeleteMenu(m, 0, MF_BYPOSITION);
  };
  EXPECT_FALSE(added(nullptr));  // no key at all
  EXPECT_TRUE(logged("RegOpenKeyEx() failed - key: " + ptr_text(HKEY_LOCAL_MACHINE) +
                     ", subkey: `SOFTWARE\\moxware\\quarnw-shex'."))
      << log();
  for (const char* w : {"1", "T", "y", "oN", "on please"}) EXPECT_TRUE(added(w)) << w;
  for (const char* w : {"No", "O", "", " on"}) EXPECT_FALSE(added(w)) << w;
  drop_cfg();  // the machine's, when the user has no key
  set_cfg(HKEY_LOCAL_MACHINE, "shex.enabled", "yes");
  EXPECT_TRUE(added(nullptr));
  EXPECT_FALSE(added("no"));  // the user's key decides alone
  set_cfg(HKEY_CURRENT_USER, "shex.enabled", "on");
  AppendMenuA(m, MF_STRING, 1, "First");
  AppendMenuA(m, MF_STRING, 2, "Last");
  EXPECT_EQ(cm->QueryContextMenu(m, 1, 40, 40, CMF_EXPLORE), kOneItem);
  char text[16] = "";
  GetMenuStringA(m, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_EQ(text + (":" + std::to_string(GetMenuItemID(m, 1))), "Quarn:40");
  for (auto [first, flags] : {std::pair{1u, CMF_DEFAULTONLY}, {10u, CMF_NORMAL}})  // default only; no id left
    EXPECT_EQ(cm->QueryContextMenu(m, 0, first, 9, flags), S_OK) << flags;
  EXPECT_EQ(GetMenuItemCount(m), 3);
  DestroyMenu(m);
  EXPECT_EQ(cm->QueryContextMenu(m, 0, 1, 9, CMF_NORMAL), E_FAIL);
  EXPECT_TRUE(logged("InsertMenuItem() failed.")) << log();
  // the help text when it fits; other requests leave the buffer as it was
  const char help[] = "Finds the selected directories with Quarn";
  char buf[sizeof help];
  EXPECT_TRUE(cm->GetCommandString(0, GCS_HELPTEXTA, nullptr, buf, sizeof help) == S_OK && !strcmp(buf, help));
  EXPECT_EQ(cm->GetCommandString(0, GCS_HELPTEXTA, nullptr, buf, sizeof help - 1), E_FAIL);
  memset(buf, 'x', sizeof buf);
  EXPECT_EQ(cm->GetCommandString(0, GCS_VERBA, nullptr, buf, sizeof buf), S_OK);
  EXPECT_EQ(std::string(buf, sizeof buf), std::string(sizeof buf, 'x'));
  cm->Release();
}

TEST_F(Shex, StartsTheProgramOnTheSelectedDirectories) {
  std::string a = g_dir + "alpha", b = g_dir + "be ta", prog = g_dir + "prog dir\\rec.exe";
  CreateDirectoryA((g_dir + "prog dir").c_str(), nullptr);
  ASSERT_TRUE(CopyFileA((g_dir + "shex_recorder.exe").c_str(), prog.c_str(), FALSE));
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", prog.c_str());
  DropData sel({a, b, a});
  IContextMenu* cm = menu_on(&sel);
  EXPECT_TRUE(invoke(cm, "open") == E_FAIL && invoke(cm, MAKEINTRESOURCEA(1)) == E_FAIL);  // a verb, another offset
  EXPECT_EQ(sel.gets, 0);  // refused before the selection was read
  std::string args = " " + a + " \"" + b + "\" " + a + " " + kLogOpt;
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), "\"" + prog + "\"" + args);
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");  // a name alone: beside the library
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + args);
  cm->Release();
}

// Explorer's code page is not UTF-8: names outside it still reach the program intact.
TEST_F(Shex, NamesInAnyLanguageArriveIntact) {
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");
  DropData sel(std::vector<std::wstring>{L"C:\\日本", L"C:\\café dir", L"C:\\Ελλάδα"});
  IContextMenu* cm = menu_on(&sel);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + " C:\\\xE6\x97\xA5\xE6\x9C\xAC \"C:\\caf\xC3\xA9 dir\" "
                        "C:\\\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1 " + kLogOpt);
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
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + list + " " + kLogOpt);
  IShellExtInit* init = init_of(cm);
  auto fails_with = [&](std::vector<std::string> sel, const std::string& msg) {
    DropData d(std::move(sel));
    init->Initialize(nullptr, &d, nullptr);
    EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
    EXPECT_TRUE(has(msg)) << log();
    init->Initialize(nullptr, nullptr, nullptr);
  };
  names.push_back("C:\\dir 5\\" + std::string(1000, 'x'));  // one more, quoted: past the limit
  fails_with(names, "mox_strcat() failed - size: 20480, name: `\"C:\\dir 5\\xxx");
  // a name the 4096-character buffer cannot hold is not passed on cut
  fails_with({"C:\\short", "C:\\" + std::string(4093, 'n')}, "DragQueryFile() failed - index: 1, len: 4096, size: 4096.\n");
  EXPECT_EQ(recorded(1500), "");
  DropData longest({"C:\\" + std::string(4092, 'n')});
  init->Initialize(nullptr, &longest, nullptr);
  EXPECT_EQ(invoke(cm, kOurs), S_OK);
  EXPECT_EQ(recorded(), beside_lib() + " C:\\" + std::string(4092, 'n') + " " + kLogOpt);
  init->Release();
  cm->Release();
}

TEST_F(Shex, FailuresStartNothingAndAreLogged) {
  DropData sel({"C:\\"}), other(std::vector<std::string>{});
  IContextMenu* cm = menu_on(&sel);
  set_cfg(HKEY_CURRENT_USER, "shex.enabled", "on");
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);  // no program
  EXPECT_NE(log().find(", valname: `quarnw.path'.\n"), std::string::npos) << log();
  cm->Release();
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", "shex_recorder.exe");
  cm = menu_on(&other);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_TRUE(logged("GetData() failed.")) << log();
  cm->Release();
  cm = menu_on(nullptr);  // never initialised: no data object
  EXPECT_TRUE(invoke(cm, kOurs) == E_FAIL && cm->InvokeCommand(nullptr) == E_FAIL);
  EXPECT_TRUE(logged("`dtobj' is NUL.")) << log();
  cm->Release();
  EXPECT_EQ(recorded(1500), "");
  // a program that cannot start: the command line is shown cut to 1024 characters
  std::string prog = g_dir + "missing.exe", name = "C:\\" + std::string(2000, 'm');
  set_cfg(HKEY_CURRENT_USER, "quarnw.path", prog.c_str());
  DropData big({name});
  cm = menu_on(&big);
  EXPECT_EQ(invoke(cm, kOurs), E_FAIL);
  EXPECT_TRUE(logged("CreateProcess() failed - cmdln: `" + (prog + " " + name).substr(0, 1024) + "'.")) << log();
  cm->Release();
}

}  // namespace
