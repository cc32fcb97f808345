#include "dnd/win32/enumfmtetc.h"

#include <new>

EnumFmtetc* EnumFmtetc::create(const FORMATETC* fmts, unsigned n, unsigned pos) {
  if ((!fmts && n) || n > MAX_FMTS) return nullptr;
  EnumFmtetc* e = new (std::nothrow) EnumFmtetc;
  if (!e) return nullptr;
  for (unsigned i = 0; i < n; ++i) e->fmts_[i] = fmts[i];
  e->n_ = n;
  e->pos_ = pos < n ? pos : n;
  return e;
}

HRESULT STDMETHODCALLTYPE EnumFmtetc::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumFORMATETC)) {
    *ppv = static_cast<IEnumFORMATETC*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EnumFmtetc::AddRef() { return (ULONG)InterlockedIncrement(&refs_); }

ULONG STDMETHODCALLTYPE EnumFmtetc::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (!n) delete this;
  return (ULONG)n;
}

HRESULT STDMETHODCALLTYPE EnumFmtetc::Next(ULONG celt, FORMATETC* rgelt, ULONG* fetched) {
  // without a count to fill in only one element may be asked for
  if (!rgelt || (!fetched && celt != 1)) return E_INVALIDARG;
  ULONG got = 0;
  while (got < celt && pos_ < n_) rgelt[got++] = fmts_[pos_++];
  if (fetched) *fetched = got;
  return got == celt ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE EnumFmtetc::Skip(ULONG celt) {
  if (celt > n_ - pos_) {
    pos_ = n_;
    return S_FALSE;
  }
  pos_ += celt;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EnumFmtetc::Reset() {
  pos_ = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE EnumFmtetc::Clone(IEnumFORMATETC** ppenum) {
  if (!ppenum) return E_POINTER;
  *ppenum = create(fmts_, n_, pos_);
  return *ppenum ? S_OK : E_OUTOFMEMORY;
}
