#include "dnd/win32/dnd.h"

#include <ole2.h>

#include "dnd/win32/comref.h"
#include "dnd/win32/dataobj.h"
#include "dnd/win32/dropsrc.h"
#include "ds/list.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/flist.h"
#include "fm/win32/flistchg.h"
#include "txr/txr.h"

namespace {

constexpr const char* kTooLong = "Drag and Drop initialization failed - bufsz: %u KB.";

UINT s_cf_preferred;
UINT s_cf_performed;
const txr* s_tx;
ntf* s_hub;
unsigned s_next_id;
// The object placed on the clipboard last, with a reference of our own so that the
// pointer stays valid for the test whether it is still there.
com_ref<DataObj> s_clip;

int formats() {
  if (!s_cf_preferred) s_cf_preferred = RegisterClipboardFormatA("Preferred DropEffect");
  if (!s_cf_performed) s_cf_performed = RegisterClipboardFormatA("Performed DropEffect");
  if (s_cf_preferred && s_cf_performed) return 0;
  int rc = (int)GetLastError();
  ERR_LOG(ERR_ERR, rc ? rc : 9001, "RegisterClipboardFormat() failed.");
  return rc ? rc : 9001;
}

int make(const list* recs, DWORD effect, HWND ntf_wnd, UINT ntf_msg, unsigned bufszK, DataObj** out) {
  int rc = formats();
  if (rc) return rc;
  const char* toolong = s_tx ? txr_get(s_tx, "err.dndInit", kTooLong) : kTooLong;
  dataobj_args a{recs, effect, ntf_wnd, ntf_msg, bufszK, s_cf_preferred, s_cf_performed, toolong ? toolong : kTooLong};
  return DataObj::create(++s_next_id, a, out);
}

}  // namespace

void dnd_set_env(UINT cf_preferred, UINT cf_performed, const txr* tx, ntf* hub) {
  s_cf_preferred = cf_preferred;
  s_cf_performed = cf_performed;
  s_tx = tx;
  s_hub = hub;
}

int dnd_release_clipboard(int flush) {
  if (!s_clip) return 0;
  int rc = 0;
  if (OleIsCurrentClipboard(s_clip.get()) == S_OK) {
    HRESULT hr = flush ? OleFlushClipboard() : OleSetClipboard(nullptr);
    if (FAILED(hr)) {
      rc = 9001;
      if (flush)
        ERR_LOG(ERR_ERR, rc, "OleFlushClipboard() failed.");
      else
        ERR_LOG(ERR_ERR, rc, "OleSetClipboard() failed.");
    }
  }
  s_clip.reset();
  return rc;
}

DataObj* dnd_clipboard_obj() {
  if (!s_clip || OleIsCurrentClipboard(s_clip.get()) != S_OK) return nullptr;
  s_clip->AddRef();
  return s_clip.get();
}

int dnd_copy(flist* fl, const list* recs, DWORD effect, HWND ntf_wnd, UINT ntf_msg, unsigned bufszK) {
  if (!fl || !recs || (effect != DROPEFFECT_COPY && effect != DROPEFFECT_MOVE)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - fl: %p, recs: %p, effect: %lu.", (void*)fl, (const void*)recs,
            (unsigned long)effect);
    return 9003;
  }
  dnd_release_clipboard();
  DataObj* p = nullptr;
  int rc = make(recs, effect, ntf_wnd, ntf_msg, bufszK, &p);
  if (rc) return rc;
  com_ref<DataObj> obj(p);
  if (FAILED(OleSetClipboard(obj.get()))) {
    ERR_LOG(ERR_ERR, 9002, "OleSetClipboard() failed - s_dobj: %p.", (void*)obj.get());
    return 9002;
  }
  s_clip = static_cast<com_ref<DataObj>&&>(obj);
  if (effect == DROPEFFECT_MOVE) return flist_mark_handed(recs, s_hub, fl);
  return 0;
}

int dnd_drag(flist* fl, const list* recs, unsigned bufszK, DWORD* effect) {
  if (!fl || !recs) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - fl: %p, recs: %p.", (void*)fl, (const void*)recs);
    return 9003;
  }
  if (effect) *effect = DROPEFFECT_NONE;
  dnd_release_clipboard();
  com_ref<DropSrc> src(DropSrc::create());
  if (!src) {
    ERR_LOG(ERR_ERR, 9004, "new DropSrc() failed.");
    return 9004;
  }
  DataObj* p = nullptr;
  int rc = make(recs, 0, nullptr, 0, bufszK, &p);
  if (rc == 9004) ERR_LOG(ERR_ERR, rc, "new DataObj() failed.");
  if (rc) return rc;
  com_ref<DataObj> obj(p);

  DWORD done = DROPEFFECT_NONE;
  HRESULT hr = DoDragDrop(obj.get(), src.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &done);
  if (FAILED(hr)) {
    ERR_LOG(ERR_ERR, 9001, "DoDragDrop() failed [%#lx].", (unsigned long)hr);
    return 9001;
  }
  if (hr != DRAGDROP_S_DROP) done = DROPEFFECT_NONE;
  if (effect) *effect = done;
  // a receiver that moves the files itself answers "none" and says so in Performed DropEffect
  if (hr != DRAGDROP_S_DROP || (done != DROPEFFECT_MOVE && obj->performed() != DROPEFFECT_MOVE)) return 0;
  rc = flist_mark_handed(recs, s_hub, fl);
  for (list_node* n = list_first(recs); n; n = list_next(n)) {
    frec* r = static_cast<frec*>(list_v_ptr(n));
    if (!r || !(r->flags & FREC_HANDED)) continue;
    int e = flist_check_moved(r, s_hub, fl);
    if (e && !rc) rc = e;
  }
  return rc;
}
