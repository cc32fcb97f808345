#include "quarnw/win32/quarnw_lc.h"

#include <windows.h>

#include <commctrl.h>

#include "err/err.h"
#include "fm/flist.h"
#include "quarnw/win32/quarndlg.h"

namespace {

bool usable(const frec* r) { return r && !r->errcode && !(r->flags & (FREC_MOVED | FREC_DELETED)); }

}  // namespace

int quarnw_lc_counts(quarndlg* qd, unsigned* nusable, unsigned* nselected) {
  if (!qd || !nusable || !nselected) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - qd: %p, usable: %p, selected: %p.", (void*)qd, (void*)nusable,
            (void*)nselected);
    return 9003;
  }
  *nusable = *nselected = 0;
  HWND lv = qd->dlg ? GetDlgItem(qd->dlg, IDC_QD_FLIST) : nullptr;
  const flist* fl = quarndlg_flist(qd);
  if (!lv || !fl) return 0;
  const int count = (int)SendMessageA(lv, LVM_GETITEMCOUNT, 0, 0);
  *nselected = (unsigned)SendMessageA(lv, LVM_GETSELECTEDCOUNT, 0, 0);
  if (*nselected) {
    for (int i = -1; *nusable < 2 && (i = (int)SendMessageA(lv, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED)) >= 0;)
      if (i < count && usable(flist_get(fl, (unsigned)i))) ++*nusable;
  } else {
    for (int i = 0; *nusable < 2 && i < count; ++i)
      if (usable(flist_get(fl, (unsigned)i))) ++*nusable;
  }
  return 0;
}
