#include "quarnw/win32/shex/shexcf.h"

#include <new>

#include "err/err.h"
#include "quarnw/win32/shex/shexmenu.h"

HRESULT STDMETHODCALLTYPE ShExCFactory::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE ShExCFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  ShExCtxMenu* menu = new (std::nothrow) ShExCtxMenu();
  if (!menu) {
    ERR_LOG(ERR_ERR, 9004, "new ShExCtxMenu() failed.");
    return E_OUTOFMEMORY;
  }
  // the caller ends up with the only reference, or none when riid is refused
  HRESULT hr = menu->QueryInterface(riid, ppv);
  menu->Release();
  return hr;
}

HRESULT STDMETHODCALLTYPE ShExCFactory::LockServer(BOOL lock) {
  if (lock)
    shex_count_up();
  else
    shex_count_down();
  return S_OK;
}
