// The class factory of the context menu object.
#pragma once

#include <windows.h>
#include <objbase.h>

class ShExCFactory final : public IClassFactory {
 public:
  ShExCFactory();
  ShExCFactory(const ShExCFactory&) = delete;
  ShExCFactory& operator=(const ShExCFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~ShExCFactory();  // through Release only
  LONG refs_;
};
