#include "fm/win32/ffiltdlg.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "c/str.h"
#include "err/err.h"
#include "res/ffiltdlg.h"
#include "txr/txr.h"
#include "ui/win32/dlgplace.h"
#include "ui/ctlclr.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr xrm_idmap kCtrls[] = {{"cmdln", FFILTDLG_CMDLN},
                                {"cmdlist", FFILTDLG_CMDLIST},
                                {"cmdout", FFILTDLG_CMDOUT},
                                {"cmdoutTo", FFILTDLG_CMDOUTTO}};

int last_error() {
  const int e = (int)GetLastError();
  return e ? e : 9001;
}

std::vector<char> text_of(HWND w) {
  std::vector<char> t((size_t)GetWindowTextLengthA(w) + 1, 0);
  GetWindowTextA(w, t.data(), (int)t.size());
  return t;
}

void set_str(char** slot, const char* text) {
  int err = 0;
  char* s = mox_strndup(text, (unsigned)strlen(text), &err);
  if (!s) return;
  free(*slot);
  *slot = s;
}

void set_text(HWND w, const char* text) {
  if (!SetWindowTextA(w, text ? text : ""))
    ERR_LOG(ERR_ERR, last_error(), "SetWindowText() failed - ctrl: %p, cmd: `%.50s'.", (void*)w, text ? text : "");
}

void store_placement(ffiltdlg* d) { dlgplace_store(d->dlg, &d->cfg->wp, &d->cfg->wp_size); }

void fill(ffiltdlg* d) {
  d->lock = 1;
  set_text(d->cmdln, d->cfg->cmdln);
  set_text(d->cmdoutTo, d->cfg->cmdoutTo);
  CheckDlgButton(d->dlg, FFILTDLG_CMDOUT, d->cfg->cmdout ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(d->cmdoutTo, d->cfg->cmdout);
  fcmdcbx_refill(&d->cbx);
  d->lock = 0;
}

void make_font(ffiltdlg* d) {
  if (!d->cfg->font_name || !*d->cfg->font_name) return;
  LOGFONTA lf{};
  lf.lfHeight = -(LONG)d->cfg->font_height;
  lf.lfCharSet = DEFAULT_CHARSET;
  mox_strcpy(lf.lfFaceName, sizeof lf.lfFaceName, d->cfg->font_name);
  d->font = CreateFontIndirectA(&lf);
  if (d->font) SendMessageA(d->cmdln, WM_SETFONT, (WPARAM)d->font, TRUE);
}

void on_init(ffiltdlg* d, HWND dlg) {
  d->dlg = dlg;
  d->cmdln = GetDlgItem(dlg, FFILTDLG_CMDLN);
  d->cmdout = GetDlgItem(dlg, FFILTDLG_CMDOUT);
  d->cmdoutTo = GetDlgItem(dlg, FFILTDLG_CMDOUTTO);
  fcmdcbx_init(&d->cbx, GetDlgItem(dlg, FFILTDLG_CMDLIST), &d->cfg->cmdlist,
               d->cfg->cmdlist_sort == FFILT_SORT_ABC ? FCMDCBX_ABC : FCMDCBX_HIST, d->cfg->ignorecase);
  make_font(d);
  dlgplace_layout(&d->g, dlg);
  dlgplace_restore(dlg, &d->cfg->wp, d->cfg->wp_size, SW_SHOWNOACTIVATE);
  fill(d);
}

void on_command(ffiltdlg* d, int id, int code) {
  if (id == IDCANCEL) {
    store_placement(d);
    d->cfg->open = 0;
    DestroyWindow(d->dlg);
    return;
  }
  if (d->lock) return;
  if (id == FFILTDLG_CMDLN && code == EN_CHANGE) set_str(&d->cfg->cmdln, text_of(d->cmdln).data());
  if (id == FFILTDLG_CMDOUTTO && code == EN_CHANGE) {
    set_str(&d->cfg->cmdoutTo, text_of(d->cmdoutTo).data());
    if (d->clr && ctlclr_del(d->clr, d->cmdoutTo) == 0) InvalidateRect(d->cmdoutTo, nullptr, TRUE);
  }
  if (id == FFILTDLG_CMDOUT && code == BN_CLICKED) {
    d->cfg->cmdout = IsDlgButtonChecked(d->dlg, FFILTDLG_CMDOUT) == BST_CHECKED;
    EnableWindow(d->cmdoutTo, d->cfg->cmdout);
  }
  if (id == FFILTDLG_CMDLIST && code == CBN_SELCHANGE) {
    std::vector<char> cmd(FCMDLIST_CMDSIZE);
    if (fcmdcbx_sel_text(&d->cbx, cmd.data(), (unsigned)cmd.size()) == 0) {
      set_text(d->cmdln, cmd.data());  // EN_CHANGE takes it over
      SetFocus(d->cmdln);
    }
  }
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, lp);
    on_init(reinterpret_cast<ffiltdlg*>(lp), dlg);
    return FALSE;  // shown without taking the focus
  }
  auto* d = reinterpret_cast<ffiltdlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (!d) return FALSE;
  switch (msg) {
    case WM_COMMAND: on_command(d, LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_CLOSE: on_command(d, IDCANCEL, 0); return TRUE;
    case WM_ACTIVATE:
      if (d->on_activate) d->on_activate(dlg, LOWORD(wp) != WA_INACTIVE);
      return FALSE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (d->clr) return (INT_PTR)ctlclr_paint(d->clr, (void*)lp, (void*)wp);
      return FALSE;
    case WM_SIZE:
    case WM_SIZING: return dlgplace_size_msg(&d->g, dlg, msg, wp, lp);
    case WM_DESTROY:
      store_placement(d);  // the owner's end leaves the open setting as it is
      if (d->on_activate) d->on_activate(dlg, 0);
      if (d->clr) ctlclr_del(d->clr, d->cmdoutTo);
      if (d->font) DeleteObject(d->font);
      d->font = nullptr;
      fcmdcbx_free(&d->cbx);
      d->dlg = d->cmdln = d->cmdout = d->cmdoutTo = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int ffiltdlg_init(ffiltdlg* d, ffiltdlgcfg* cfg, db* rdb, const txr* tx, ctlclr* clr) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  d->cfg = cfg;
  d->rdb = rdb;
  d->tx = tx;
  d->clr = clr;
  return 0;
}

int ffiltdlg_free(ffiltdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`ffiltdlg' is NUL.");
    return kParam;
  }
  if (d->dlg) DestroyWindow(d->dlg);
  geom_free(&d->g);
  return ffiltdlg_init(d, nullptr, nullptr, nullptr, nullptr);
}

int ffiltdlg_open(ffiltdlg* d, HINSTANCE inst, HWND owner) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (d->dlg) {
    ShowWindow(d->dlg, SW_SHOWNORMAL);
    SetActiveWindow(d->dlg);
    return 0;
  }
  geom_free(&d->g);
  if (d->rdb) {
    // a layout that cannot be read leaves the template as it is
    int rc = geom_init(&d->g, "ffiltdlg");
    if (!rc) rc = xrm_geom_load(d->rdb, "ffiltdlgGeom", nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls);
    if (!rc) rc = geom_measure(&d->g, inst, MAKEINTRESOURCEA(FFILTDLG_DLG), owner);
    if (!rc) rc = geom_compute(&d->g);
    if (rc) geom_free(&d->g);
  }
  HWND dlg = CreateDialogParamA(inst, MAKEINTRESOURCEA(FFILTDLG_DLG), owner, proc, (LPARAM)d);
  if (!dlg) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - %d.", FFILTDLG_DLG);
    return e;
  }
  d->cfg->open = 1;
  ShowWindow(dlg, SW_SHOWNOACTIVATE);
  return 0;
}

int ffiltdlg_apply(ffiltdlg* d) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (!d->dlg) return 0;
  set_str(&d->cfg->cmdln, text_of(d->cmdln).data());
  set_str(&d->cfg->cmdoutTo, text_of(d->cmdoutTo).data());
  d->cfg->cmdout = IsDlgButtonChecked(d->dlg, FFILTDLG_CMDOUT) == BST_CHECKED;
  return 0;
}

int ffiltdlg_check(ffiltdlg* d) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (!d->cfg->cmdout) return 0;
  ffilt_out o;
  const int rc = ffilt_out_parse(d->cfg->cmdoutTo, &o);
  if (rc != 9010) return rc;
  ERR_USER(ERR_ERR, rc, "%s", d->tx ? txr_get(d->tx, "ffiltdlg", "No output specified.") : "No output specified.");
  if (d->dlg) {
    if (d->clr) ctlclr_set(d->clr, d->cmdoutTo, d->cfg->inval_fgClr, d->cfg->inval_bgClr);
    InvalidateRect(d->cmdoutTo, nullptr, TRUE);
    ShowWindow(d->dlg, SW_SHOWNORMAL);
    SetActiveWindow(d->dlg);
  }
  return rc;
}

int ffiltdlg_prepare(ffiltdlg* d, ffiltjob* job) {
  if (!d || !d->cfg || !job) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, job: %p.", (void*)d, (void*)job);
    return kParam;
  }
  return ffilt_prepare(d->cfg, ffilt_xrm_lookup, d->rdb, job);
}

int ffiltdlg_search_started(ffiltdlg* d) {
  if (!d || !d->cfg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p.", (void*)d);
    return kParam;
  }
  if (!d->cfg->cmdln || mox_is_blank(d->cfg->cmdln)) return 0;
  int rc = fcmdlist_add(&d->cfg->cmdlist, d->cfg->cmdln);
  if (!rc && d->dlg) {
    d->lock = 1;
    rc = fcmdcbx_refill(&d->cbx);
    d->lock = 0;
  }
  return rc;
}
