// The drop source of a drag of listed files: left button only, Escape cancels.
#pragma once

#include <windows.h>

#include <ole2.h>

class DropSrc final : public IDropSource {
 public:
  // nullptr when out of memory; the reference count starts at 1.
  static DropSrc* create();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

 private:
  DropSrc() = default;
  ~DropSrc() = default;

  LONG refs_ = 1;
};
