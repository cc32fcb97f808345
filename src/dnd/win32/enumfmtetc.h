// IEnumFORMATETC over a fixed copy of a few formats (none of them with a target device).
#pragma once

#include <windows.h>

#include <objidl.h>

class EnumFmtetc final : public IEnumFORMATETC {
 public:
  enum { MAX_FMTS = 8 };

  // nullptr when out of memory or n exceeds MAX_FMTS; the reference count starts at 1.
  static EnumFmtetc* create(const FORMATETC* fmts, unsigned n, unsigned pos = 0);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, FORMATETC* rgelt, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** ppenum) override;

 private:
  EnumFmtetc() = default;
  ~EnumFmtetc() = default;

  LONG refs_ = 1;
  FORMATETC fmts_[MAX_FMTS] = {};
  unsigned n_ = 0;
  unsigned pos_ = 0;
};
