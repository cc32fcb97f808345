// Plays Explorer for one context-menu use of the registered extension: creates it by
// its class identifier (so the registration is what finds the library), hands it the
// folders of the command line as the selection, builds the menu and chooses the entry.
// Prints the entry's text; the status says which step failed.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quarnw/win32/shex/shex.h"

namespace {

// The selection as a file drop list in global memory.
struct Selection final : IDataObject {
  explicit Selection(std::vector<std::string> names) : names_(std::move(names)) {}
  LONG refs = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject) ? this : nullptr;
    return *ppv ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
  ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs); }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* stm) override {
    if (fe->cfFormat != CF_HDROP || !(fe->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    std::string list(sizeof(DROPFILES), '\0');
    ((DROPFILES*)&list[0])->pFiles = sizeof(DROPFILES);
    for (const std::string& n : names_) list += n + '\0';
    *stm = STGMEDIUM{};
    stm->tymed = TYMED_HGLOBAL;
    if (!(stm->hGlobal = GlobalAlloc(GMEM_FIXED, list.size() + 1))) return E_OUTOFMEMORY;
    memcpy(stm->hGlobal, list.c_str(), list.size() + 1);
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
  std::vector<std::string> names_;
};

int fail(int status, const char* step, HRESULT hr) {
  fprintf(stderr, "shexhost: %s: %#lx\n", step, (unsigned long)hr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return fail(2, "usage: shexhost folder...", E_INVALIDARG);
  if (FAILED(CoInitialize(nullptr))) return fail(3, "CoInitialize", E_FAIL);
  Selection sel(std::vector<std::string>(argv + 1, argv + argc));
  IShellExtInit* init = nullptr;
  HRESULT hr = CoCreateInstance(SHEX_CLSID, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, (void**)&init);
  if (FAILED(hr)) return fail(4, "CoCreateInstance", hr);
  int status = 0;
  IContextMenu* cm = nullptr;
  HMENU menu = CreatePopupMenu();
  if (FAILED(hr = init->Initialize(nullptr, &sel, nullptr))) {
    status = fail(5, "Initialize", hr);
  } else if (FAILED(hr = init->QueryInterface(IID_IContextMenu, (void**)&cm))) {
    status = fail(6, "QueryInterface", hr);
  } else if ((hr = cm->QueryContextMenu(menu, 0, 100, 200, CMF_NORMAL)) != MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)) {
    status = fail(7, "QueryContextMenu", hr);
  } else {
    char text[256] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    printf("%s\n", text);
    CMINVOKECOMMANDINFO ci = {};
    ci.cbSize = sizeof ci;
    ci.lpVerb = MAKEINTRESOURCEA(0);
    if (FAILED(hr = cm->InvokeCommand(&ci))) status = fail(8, "InvokeCommand", hr);
  }
  if (cm) cm->Release();
  init->Release();
  DestroyMenu(menu);
  CoUninitialize();
  return status;
}
