#include "dnd/win32/dataobj.h"

#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "dnd/win32/comref.h"
#include "dnd/win32/enumfmtetc.h"
#include "err/err.h"
#include "fm/flist.h"

global_lock::global_lock(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {
  if (!p_) ERR_LOG(ERR_ERR, (int)GetLastError(), "GlobalLock() failed [%p].", (void*)h);
}

global_lock::~global_lock() {
  if (!p_) return;
  SetLastError(NO_ERROR);
  // 0 with no error is the normal end of the last lock
  if (!GlobalUnlock(h_) && GetLastError() != NO_ERROR)
    ERR_LOG(ERR_ERR, (int)GetLastError(), "GlobalUnlock() failed [%p].", (void*)h_);
}

namespace {

FORMATETC hglobal_fmt(UINT cf) { return FORMATETC{(CLIPFORMAT)cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// A new shareable block holding a copy of data.
HRESULT to_medium(const void* data, unsigned size, STGMEDIUM* med) {
  hglobal_ref h(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size));
  if (!h.get()) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", size);
    return E_OUTOFMEMORY;
  }
  {
    global_lock lk(h.get());
    if (!lk.get()) return E_OUTOFMEMORY;
    std::memcpy(lk.get(), data, size);
  }
  med->tymed = TYMED_HGLOBAL;
  med->hGlobal = h.detach();
  med->pUnkForRelease = nullptr;
  return S_OK;
}

}  // namespace

int DataObj::create(unsigned id, const dataobj_args& a, DataObj** out) {
  if (!out || !a.recs || a.effect > DROPEFFECT_MOVE || !a.cf_preferred || !a.cf_performed) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - recs: %p, effect: %lu, out: %p.", (const void*)a.recs,
            (unsigned long)a.effect, (void*)out);
    return 9003;
  }
  *out = nullptr;
  com_ref<DataObj> o(new (std::nothrow) DataObj);
  if (!o) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)sizeof(DataObj));
    return 9004;
  }
  o->id_ = id;
  int rc = o->build(a);
  if (rc) return rc;
  *out = o.detach();
  return 0;
}

int DataObj::build(const dataobj_args& a) {
  preferred_ = a.effect;
  ntf_wnd_ = a.ntf_wnd;
  ntf_msg_ = a.ntf_msg;
  cf_preferred_ = a.cf_preferred;
  cf_performed_ = a.cf_performed;
  fmts_[nfmts_++] = hglobal_fmt(CF_HDROP);
  fmts_[nfmts_++] = hglobal_fmt(cf_performed_);
  if (preferred_) fmts_[nfmts_++] = hglobal_fmt(cf_preferred_);

  unsigned k = a.bufszK ? a.bufszK : DATAOBJ_DFLT_BUFSZK;
  // a larger setting would wrap the byte count around
  if (k > DATAOBJ_MAX_BUFSZK) k = DATAOBJ_MAX_BUFSZK;
  unsigned size = k * 1024 + DATAOBJ_HDR;
  buf_ = static_cast<unsigned char*>(std::malloc(size));
  if (!buf_) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", size);
    return 9004;
  }
  bufsz_ = size;

  DROPFILES hdr{};
  hdr.pFiles = DATAOBJ_HDR;
  POINT pt{};
  if (GetCursorPos(&pt)) hdr.pt = pt;
  hdr.fNC = TRUE;
  hdr.fWide = TRUE;
  std::memcpy(buf_, &hdr, DATAOBJ_HDR);

  wchar_t* paths = reinterpret_cast<wchar_t*>(buf_ + DATAOBJ_HDR);
  unsigned nwc = (size - DATAOBJ_HDR) / sizeof(wchar_t);
  int rc = flist_fullpaths(a.recs, 0, paths, nwc);
  if (rc) {
    if (rc == 9005) ERR_USER(ERR_ERR, rc, a.toolong ? a.toolong : "Drag and Drop initialization failed - bufsz: %u KB.", k);
    std::free(buf_);
    buf_ = nullptr;
    bufsz_ = 0;
    return rc;
  }
  // the list ends at the first empty path
  unsigned n = 0;
  while (paths[n]) n += (unsigned)wcslen(paths + n) + 1;
  used_ = DATAOBJ_HDR + (n + 1) * (unsigned)sizeof(wchar_t);
  return 0;
}

DataObj::~DataObj() { std::free(buf_); }

HRESULT STDMETHODCALLTYPE DataObj::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
    *ppv = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DataObj::AddRef() { return (ULONG)InterlockedIncrement(&refs_); }

ULONG STDMETHODCALLTYPE DataObj::Release() {
  LONG n = InterlockedDecrement(&refs_);
  if (!n) delete this;
  return (ULONG)n;
}

int DataObj::find(const FORMATETC* fe) const {
  if (!fe || fe->dwAspect != DVASPECT_CONTENT || !(fe->tymed & TYMED_HGLOBAL)) return -1;
  for (unsigned i = 0; i < nfmts_; ++i)
    if (fmts_[i].cfFormat == fe->cfFormat) return (int)i;
  return -1;
}

HRESULT STDMETHODCALLTYPE DataObj::GetData(FORMATETC* fe, STGMEDIUM* med) {
  if (!fe || !med) return E_INVALIDARG;
  if (find(fe) < 0) return DV_E_FORMATETC;
  if (!buf_) return E_UNEXPECTED;
  if (fe->cfFormat == CF_HDROP) return to_medium(buf_, used_, med);
  DWORD effect = fe->cfFormat == cf_preferred_ ? preferred_ : performed_;
  return to_medium(&effect, sizeof effect, med);
}

HRESULT STDMETHODCALLTYPE DataObj::GetDataHere(FORMATETC*, STGMEDIUM*) { return DV_E_FORMATETC; }

HRESULT STDMETHODCALLTYPE DataObj::QueryGetData(FORMATETC* fe) { return find(fe) < 0 ? DV_E_FORMATETC : S_OK; }

HRESULT STDMETHODCALLTYPE DataObj::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DataObj::SetData(FORMATETC* fe, STGMEDIUM* med, BOOL release) {
  if (!fe || !med) return E_INVALIDARG;
  if (fe->cfFormat != cf_performed_ || med->tymed != TYMED_HGLOBAL) return E_NOTIMPL;
  DWORD effect = 0;
  {
    global_lock lk(med->hGlobal);
    if (!lk.get()) return E_INVALIDARG;
    if (lk.size() < sizeof effect) return E_INVALIDARG;
    std::memcpy(&effect, lk.get(), sizeof effect);
  }
  // the medium is ours once the call succeeds
  if (release) ReleaseStgMedium(med);
  performed_ = effect;
  if (effect == DROPEFFECT_MOVE && ntf_wnd_ && !PostMessageA(ntf_wnd_, ntf_msg_, DROPEFFECT_MOVE, (LPARAM)id_))
    ERR_LOG(ERR_ERR, (int)GetLastError(), "PostMessage() failed - ntf_wnd: %p, ntf_msg: %u (%#X).", (void*)ntf_wnd_,
            ntf_msg_, ntf_msg_);
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObj::EnumFormatEtc(DWORD dir, IEnumFORMATETC** ppenum) {
  if (!ppenum) return E_INVALIDARG;
  *ppenum = nullptr;
  if (dir != DATADIR_GET) return E_NOTIMPL;
  *ppenum = EnumFmtetc::create(fmts_, nfmts_);
  if (!*ppenum) {
    ERR_LOG(ERR_ERR, 9004, "new EnumFmtetc() failed.");
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DataObj::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT STDMETHODCALLTYPE DataObj::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT STDMETHODCALLTYPE DataObj::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }
