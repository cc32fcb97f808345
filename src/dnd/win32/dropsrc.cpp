#include "dnd/win32/dropsrc.h"

#include <new>

DropSrc* DropSrc::create() { return new (std::nothrow) DropSrc; }

HRESULT STDMETHODCALLTYPE DropSrc::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
    *ppv = static_cast<IDropSource*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropSrc::AddRef() { return (ULONG)InterlockedIncrement(&refs_); }

ULONG STDMETHODCALLTYPE DropSrc::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (!n) delete this;
  return (ULONG)n;
}

HRESULT STDMETHODCALLTYPE DropSrc::QueryContinueDrag(BOOL escape, DWORD keys) {
  if (escape) return DRAGDROP_S_CANCEL;
  if (!(keys & MK_LBUTTON)) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DropSrc::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }
