#include "fm/win32/finfdlg.h"

#include <cstring>
#include <vector>

#include "c/str.h"
#include "err/err.h"
#include "ntf/ntf.h"
#include "quarnw/finftext.h"
#include "res/finfdlg.h"
#include "txr/txr.h"
#include "ui/win32/dlgplace.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr xrm_idmap kCtrls[] = {{"clrStrip", FINFDLG_STRIP}, {"info", FINFDLG_INFO}};

int last_error() {
  const int e = (int)GetLastError();
  return e ? e : 9001;
}

void store_placement(finfdlg* d) { dlgplace_store(d->dlg, &d->cfg->wp, &d->cfg->wp_size); }

int on_show(int, void* data, void* usrdata) {
  finfdlg_show(static_cast<finfdlg*>(usrdata), static_cast<const frec*>(data));
  return 0;
}

int on_changed(int, void* data, void* usrdata) {
  auto* d = static_cast<finfdlg*>(usrdata);
  if (d->rec && data == d->rec) finfdlg_show(d, d->rec);
  return 0;
}

void unsubscribe(finfdlg* d) {
  if (!d->subscribed) return;
  ntf_del(d->hub, NTF_SHOW_INFO, nullptr, on_show, d);
  ntf_del(d->hub, NTF_FREC_CHANGED, nullptr, on_changed, d);
  d->subscribed = 0;
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, lp);
    auto* d = reinterpret_cast<finfdlg*>(lp);
    d->dlg = dlg;
    d->info = GetDlgItem(dlg, FINFDLG_INFO);
    d->strip = GetDlgItem(dlg, FINFDLG_STRIP);
    dlgplace_layout(&d->g, dlg);
    dlgplace_restore(dlg, &d->cfg->wp, d->cfg->wp_size, SW_SHOWNOACTIVATE);
    return FALSE;
  }
  auto* d = reinterpret_cast<finfdlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (!d) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) != IDCANCEL) return FALSE;
      [[fallthrough]];
    case WM_CLOSE:
      store_placement(d);
      d->cfg->open = 0;
      DestroyWindow(dlg);
      return TRUE;
    case WM_ACTIVATE:
      if (d->on_activate) d->on_activate(dlg, LOWORD(wp) != WA_INACTIVE);
      return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if (d->err && d->brush && ((HWND)lp == d->info || (HWND)lp == d->strip)) {
        SetTextColor((HDC)wp, d->cfg->err_fgClr);
        SetBkColor((HDC)wp, d->cfg->err_bgClr);
        return (INT_PTR)d->brush;
      }
      return FALSE;
    case WM_SIZE:
    case WM_SIZING: return dlgplace_size_msg(&d->g, dlg, msg, wp, lp);
    case WM_DESTROY:
      store_placement(d);
      if (d->on_activate) d->on_activate(dlg, 0);
      unsubscribe(d);
      if (d->brush) DeleteObject(d->brush);
      d->brush = nullptr;
      d->dlg = d->info = d->strip = nullptr;
      d->rec = nullptr;
      d->err = 0;
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int finfdlg_init(finfdlg* d, finfdlgcfg* cfg, db* rdb, const txr* tx, const syscfg* sc, const dgrp* dg, ntf* hub) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`finfdlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  d->cfg = cfg;
  d->rdb = rdb;
  d->tx = tx;
  d->sc = sc;
  d->dg = dg;
  d->hub = hub;
  return 0;
}

int finfdlg_free(finfdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`finfdlg' is NUL.");
    return kParam;
  }
  if (d->dlg) DestroyWindow(d->dlg);
  geom_free(&d->g);
  return finfdlg_init(d, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

int finfdlg_open(finfdlg* d, HINSTANCE inst, HWND owner) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (d->dlg) {
    ShowWindow(d->dlg, SW_SHOWNOACTIVATE);
    return 0;
  }
  geom_free(&d->g);
  if (d->rdb) {
    int rc = geom_init(&d->g, "finfdlg");
    if (!rc) rc = xrm_geom_load(d->rdb, "finfdlgGeom", nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls);
    if (!rc) rc = geom_measure(&d->g, inst, MAKEINTRESOURCEA(FINFDLG_DLG), owner);
    if (!rc) rc = geom_compute(&d->g);
    if (rc) geom_free(&d->g);
  }
  HWND dlg = CreateDialogParamA(inst, MAKEINTRESOURCEA(FINFDLG_DLG), owner, proc, (LPARAM)d);
  if (!dlg) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - %d.", FINFDLG_DLG);
    return e;
  }
  if (d->hub) {
    int rc = ntf_add(d->hub, NTF_SHOW_INFO, nullptr, on_show, d);
    if (!rc) rc = ntf_add(d->hub, NTF_FREC_CHANGED, nullptr, on_changed, d);
    d->subscribed = 1;
    if (rc) {
      DestroyWindow(dlg);
      return rc;
    }
  }
  d->cfg->open = 1;
  ShowWindow(dlg, SW_SHOWNOACTIVATE);
  return 0;
}

int finfdlg_show(finfdlg* d, const frec* r) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (!d->dlg) return 0;
  d->rec = r;
  flistcell_fmt f{};
  f.file_type = 0;
  f.timefmt = (unsigned)d->cfg->timefmt;
  f.timefmt_usr = d->cfg->timefmt_usr;
  f.sizefmt = (unsigned)d->cfg->sizefmt;
  f.grpstyle = (unsigned)d->cfg->dgrp_num;
  f.dg = d->dg;
  f.sc = d->sc;
  char moved[32], deleted[32];
  mox_strcpy(moved, sizeof moved, d->tx ? txr_get(d->tx, "flist.mark", "< ") : "< ");
  mox_strcpy(deleted, sizeof deleted, d->tx ? txr_get(d->tx, "flist.mark", "# ") : "# ");
  f.mark_moved = moved;
  f.mark_deleted = deleted;
  std::vector<char> text(FINF_TEXTSIZE);
  int has_err = 0;
  int rc = finf_text(r, &f, d->tx, text.data(), (unsigned)text.size(), &has_err);
  if (!SetWindowTextA(d->info, text.data())) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "SetWindowText() failed - ctrl: %p.", (void*)d->info);
    if (!rc) rc = e;
  }
  d->err = d->cfg->color && has_err;
  if (d->brush) DeleteObject(d->brush);
  d->brush = d->err ? CreateSolidBrush(d->cfg->err_bgClr) : nullptr;
  InvalidateRect(d->info, nullptr, TRUE);
  InvalidateRect(d->strip, nullptr, TRUE);
  return rc;
}

int finfdlg_text(const finfdlg* d, char* buf, unsigned bufsize) {
  if (!d || !buf || !bufsize) return kParam;
  *buf = 0;
  if (d->info) GetWindowTextA(d->info, buf, (int)bufsize);
  return 0;
}
