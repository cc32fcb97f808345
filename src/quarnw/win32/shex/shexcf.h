// The class factory of the context menu object.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "quarnw/win32/shex/shex.h"

class ShExCFactory final : public ShExUnknown<IClassFactory> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~ShExCFactory() override = default;
};
