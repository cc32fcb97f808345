// The data object handed to other programs: the listed files in the shell's file-drop
// format, and the drop effects the shell uses for cut and paste ("Preferred DropEffect"
// said by us, "Performed DropEffect" said by the receiver).
#pragma once

#include <windows.h>

#include <objidl.h>

struct list;

enum : unsigned {
  DATAOBJ_HDR = 20,        // file-drop header; the path list follows it
  DATAOBJ_DFLT_BUFSZK = 256,
  DATAOBJ_MAX_BUFSZK = 1024 * 1024  // 1 GiB: larger settings are taken as this
};

// What an object is made of; the formats are the registered numbers of the two
// drop-effect names.
struct dataobj_args {
  const list* recs;     // frec* (type 0xC2)
  DWORD effect;         // preferred: DROPEFFECT_COPY, DROPEFFECT_MOVE, or 0 for a drag
  HWND ntf_wnd;         // told with ntf_msg (wparam DROPEFFECT_MOVE) of a performed move; may be none
  UINT ntf_msg;
  unsigned bufszK;      // file-drop buffer in KiB; 0: DATAOBJ_DFLT_BUFSZK
  UINT cf_preferred;
  UINT cf_performed;
  const char* toolong;  // user report when the paths do not fit; "%u" is the buffer size in KiB
};

class DataObj final : public IDataObject {
 public:
  // 0 and a new object with one reference, or the code of a failure: 9004 out of memory,
  // 9005 the paths do not fit (the user report is raised), 9003 bad arguments.
  static int create(unsigned id, const dataobj_args& a, DataObj** out);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* med) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* fe, STGMEDIUM* med) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* fe, STGMEDIUM* med, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD dir, IEnumFORMATETC** ppenum) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* fe, DWORD advf, IAdviseSink* sink, DWORD* conn) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD conn) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** ppenum) override;

  unsigned id() const { return id_; }
  DWORD performed() const { return performed_; }
  unsigned used() const { return used_; }

 private:
  DataObj() = default;
  ~DataObj();
  int build(const dataobj_args& a);
  // index of the offered format fe asks for, or -1
  int find(const FORMATETC* fe) const;

  LONG refs_ = 1;
  unsigned id_ = 0;
  unsigned char* buf_ = nullptr;  // file-drop data
  unsigned bufsz_ = 0;
  unsigned used_ = 0;
  DWORD preferred_ = 0;
  volatile DWORD performed_ = 0;
  HWND ntf_wnd_ = nullptr;
  UINT ntf_msg_ = 0;
  UINT cf_preferred_ = 0;
  UINT cf_performed_ = 0;
  FORMATETC fmts_[3] = {};
  unsigned nfmts_ = 0;
};
