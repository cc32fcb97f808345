// The context menu object: the selection from the shell, the menu entry, and starting
// the windowed program on the selected directories.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include "quarnw/win32/shex/shex.h"

// The settings an installer writes; a per-user key takes precedence over the machine's.
constexpr char SHEX_CFG_KEY[] = "SOFTWARE\\moxware\\quarnw-shex";

class ShExCtxMenu final : public ShExUnknown<IShellExtInit, IContextMenu> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;

  HRESULT STDMETHODCALLTYPE Initialize(PCIDLIST_ABSOLUTE folder, IDataObject* dtobj, HKEY key) override;

  HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) override;
  HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override;
  HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR id, UINT type, UINT* reserved, CHAR* buf,
                                             UINT size) override;

 private:
  ~ShExCtxMenu() override;
  IDataObject* dtobj_ = nullptr;  // the current selection, one reference held
};
