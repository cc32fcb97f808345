#include "ui/win32/lvwcoldlg.h"

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "res/lvwcoldlg.h"

namespace {

constexpr int kParam = 9003;
constexpr int kUnexpected = 9012;

constexpr const char* kTxrCtx = "lvwcoldlg";
// The controls whose template texts are translated.
constexpr int kTextIds[] = {LVWCOLDLG_SHOWN_LBL, LVWCOLDLG_HIDDEN_LBL, LVWCOLDLG_SHOW, LVWCOLDLG_HIDE,
                            LVWCOLDLG_UP,        LVWCOLDLG_DOWN,       LVWCOLDLG_APPLY, IDOK,
                            IDCANCEL};

bool bad(const lvwcoldlg* d) {
  if (d) return false;
  ERR_LOG(ERR_ERR, kParam, "`lvwcoldlg' is NUL.");
  return true;
}

const char* title(const lvwcoldlg* d, unsigned c) {
  const char* name = d->lc->cols[c].name;
  return d->tx ? txr_get(d->tx, d->txrctx, name) : name;
}

void translate(HWND wnd, const txr* tx) {
  if (!tx) return;
  char buf[256];
  if (GetWindowTextA(wnd, buf, sizeof buf) > 0) SetWindowTextA(wnd, txr_get(tx, kTxrCtx, buf));
  for (int id : kTextIds) {
    HWND c = GetDlgItem(wnd, id);
    if (c && GetWindowTextA(c, buf, sizeof buf) > 0) SetWindowTextA(c, txr_get(tx, kTxrCtx, buf));
  }
}

int cur_sel(const lvwcoldlg* d, int id) {
  return d->wnd ? (int)SendDlgItemMessageA(d->wnd, id, LB_GETCURSEL, 0, 0) : LB_ERR;
}

void enable(const lvwcoldlg* d) {
  if (!d->wnd) return;
  int s = cur_sel(d, LVWCOLDLG_SHOWN);
  int h = cur_sel(d, LVWCOLDLG_HIDDEN);
  EnableWindow(GetDlgItem(d->wnd, LVWCOLDLG_HIDE), s >= 0 && d->nshown > 1);
  EnableWindow(GetDlgItem(d->wnd, LVWCOLDLG_SHOW), h >= 0);
  EnableWindow(GetDlgItem(d->wnd, LVWCOLDLG_UP), s > 0);
  EnableWindow(GetDlgItem(d->wnd, LVWCOLDLG_DOWN), s >= 0 && s + 1 < (int)d->nshown);
  EnableWindow(GetDlgItem(d->wnd, LVWCOLDLG_APPLY), d->dirty);
}

void fill_box(const lvwcoldlg* d, int id, const unsigned* cols, unsigned n, int sel) {
  HWND box = GetDlgItem(d->wnd, id);
  SendMessageA(box, WM_SETREDRAW, FALSE, 0);
  SendMessageA(box, LB_RESETCONTENT, 0, 0);
  for (unsigned i = 0; i < n; ++i) SendMessageA(box, LB_ADDSTRING, 0, (LPARAM)title(d, cols[i]));
  if (sel >= (int)n) sel = (int)n - 1;
  SendMessageA(box, LB_SETCURSEL, (WPARAM)sel, 0);
  SendMessageA(box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box, nullptr, TRUE);
}

// Refills the boxes with the given selections (-1: none).
void refresh(const lvwcoldlg* d, int shown_sel, int hidden_sel) {
  if (!d->wnd) return;
  fill_box(d, LVWCOLDLG_SHOWN, d->shown, d->nshown, shown_sel);
  fill_box(d, LVWCOLDLG_HIDDEN, d->hidden, d->nhidden, hidden_sel);
  enable(d);
}

bool bound(const lvwcoldlg* d) {
  if (d->lc) return true;
  ERR_LOG(ERR_ERR, kParam, "Invalid param - lvwcoldlg: %p, listcol: %p.", (const void*)d, (void*)d->lc);
  return false;
}

INT_PTR CALLBACK dlg_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* d = (lvwcoldlg*)GetWindowLongPtrA(wnd, DWLP_USER);
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(wnd, DWLP_USER, lp);
      lvwcoldlg_on_init((lvwcoldlg*)lp, wnd);
      return TRUE;
    case WM_COMMAND:
      if (!d) return FALSE;
      lvwcoldlg_on_command(d, LOWORD(wp), HIWORD(wp));
      return TRUE;
    case WM_CLOSE:
      if (d) lvwcoldlg_close(d, IDCANCEL);
      return TRUE;
    case WM_DESTROY:
      if (d) d->wnd = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int lvwcoldlg_init(lvwcoldlg* d) {
  if (bad(d)) return kParam;
  memset(d, 0, sizeof *d);
  return 0;
}

int lvwcoldlg_free(lvwcoldlg* d) {
  if (bad(d)) return kParam;
  if (d->wnd && !d->modal) DestroyWindow(d->wnd);
  return lvwcoldlg_init(d);
}

int lvwcoldlg_set(lvwcoldlg* d, listcol* lc, const txr* tx, const char* txrctx, ntf* hub) {
  if (!d || !lc || lc->ncols > LISTCOL_MAX) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvwcoldlg: %p, listcol: %p.", (void*)d, (void*)lc);
    return kParam;
  }
  int e = 0;
  mox_strcpy(d->txrctx, sizeof d->txrctx, txrctx ? txrctx : "", &e);
  if (e) {
    ERR_LOG(ERR_ERR, e, "`txrctx' too long - size: %u, txrctx: `%.100s'.", (unsigned)sizeof d->txrctx, txrctx);
    return e;
  }
  d->lc = lc;
  d->tx = tx;
  d->hub = hub;
  return lvwcoldlg_load(d);
}

int lvwcoldlg_load(lvwcoldlg* d) {
  if (bad(d) || !bound(d)) return kParam;
  d->nshown = d->nhidden = 0;
  for (unsigned i = 0; i < d->lc->ncols; ++i) {
    unsigned c = d->lc->order[i];
    if (c >= d->lc->ncols) {
      ERR_LOG(ERR_ERR, kUnexpected, "Invalid listcol order [%u] - name: `%s', ncols: %u.", c, d->lc->name,
              d->lc->ncols);
      d->nshown = d->nhidden = 0;
      return kUnexpected;
    }
    const listcol_col& col = d->lc->cols[c];
    if (col.excl) continue;
    if (col.visible)
      d->shown[d->nshown++] = c;
    else
      d->hidden[d->nhidden++] = c;
  }
  d->dirty = 0;
  refresh(d, d->nshown ? 0 : -1, -1);
  return 0;
}

int lvwcoldlg_show(lvwcoldlg* d, unsigned hidden_pos) {
  if (!d || hidden_pos >= d->nhidden) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvwcoldlg: %p, pos: %u.", (void*)d, hidden_pos);
    return kParam;
  }
  unsigned c = d->hidden[hidden_pos];
  memmove(d->hidden + hidden_pos, d->hidden + hidden_pos + 1, (d->nhidden - hidden_pos - 1) * sizeof c);
  --d->nhidden;
  d->shown[d->nshown++] = c;
  d->dirty = 1;
  refresh(d, (int)d->nshown - 1, d->nhidden ? (int)hidden_pos : -1);
  return 0;
}

int lvwcoldlg_hide(lvwcoldlg* d, unsigned shown_pos) {
  if (!d || shown_pos >= d->nshown) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvwcoldlg: %p, pos: %u.", (void*)d, shown_pos);
    return kParam;
  }
  unsigned c = d->shown[shown_pos];
  // a list without columns shows nothing and offers no header to bring them back
  if (d->nshown == 1) {
    ERR_LOG(ERR_WARN, kUnexpected, "Last shown column [%s] cannot be hidden.", d->lc->cols[c].id);
    return kUnexpected;
  }
  memmove(d->shown + shown_pos, d->shown + shown_pos + 1, (d->nshown - shown_pos - 1) * sizeof c);
  --d->nshown;
  d->hidden[d->nhidden++] = c;
  d->dirty = 1;
  refresh(d, (int)shown_pos, (int)d->nhidden - 1);
  return 0;
}

int lvwcoldlg_move(lvwcoldlg* d, unsigned shown_pos, int delta) {
  if (!d || shown_pos >= d->nshown || (delta != -1 && delta != 1)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - lvwcoldlg: %p, pos: %u, delta: %d.", (void*)d, shown_pos, delta);
    return kParam;
  }
  long to = (long)shown_pos + delta;
  if (to < 0 || to >= (long)d->nshown) return 0;  // already at the edge
  unsigned c = d->shown[shown_pos];
  d->shown[shown_pos] = d->shown[to];
  d->shown[to] = c;
  d->dirty = 1;
  refresh(d, (int)to, cur_sel(d, LVWCOLDLG_HIDDEN));
  return 0;
}

int lvwcoldlg_apply(lvwcoldlg* d) {
  if (bad(d) || !bound(d)) return kParam;
  listcol* lc = d->lc;
  // shown, then hidden, then the excluded ones where they were
  unsigned order[LISTCOL_MAX];
  unsigned n = 0;
  for (unsigned i = 0; i < d->nshown; ++i) order[n++] = d->shown[i];
  for (unsigned i = 0; i < d->nhidden; ++i) order[n++] = d->hidden[i];
  for (unsigned i = 0; i < lc->ncols; ++i)
    if (lc->order[i] < lc->ncols && lc->cols[lc->order[i]].excl) order[n++] = lc->order[i];
  if (n != lc->ncols) {
    ERR_LOG(ERR_ERR, kUnexpected, "Listcol changed under the dialog - name: `%s', ncols: %u, n: %u.", lc->name,
            lc->ncols, n);
    return kUnexpected;
  }
  memcpy(lc->order, order, n * sizeof order[0]);
  for (unsigned i = 0; i < d->nshown; ++i) lc->cols[d->shown[i]].visible = 1;
  for (unsigned i = 0; i < d->nhidden; ++i) lc->cols[d->hidden[i]].visible = 0;
  d->dirty = 0;
  ++d->napplied;
  enable(d);
  return d->hub ? ntf_post(d->hub, NTF_COLS, lc, lc) : 0;
}

int lvwcoldlg_close(lvwcoldlg* d, int result) {
  if (bad(d)) return kParam;
  if (!d->wnd) return 0;
  if (d->modal) {
    EndDialog(d->wnd, result);
    return 0;
  }
  HWND w = d->wnd;
  d->wnd = nullptr;
  DestroyWindow(w);
  return 0;
}

int lvwcoldlg_run(lvwcoldlg* d, HINSTANCE inst, HWND parent, INT_PTR* result) {
  if (bad(d) || !bound(d)) return kParam;
  d->modal = 1;
  INT_PTR r = DialogBoxParamA(inst, MAKEINTRESOURCEA(LVWCOLDLG_DLG), parent, dlg_proc, (LPARAM)d);
  d->wnd = nullptr;
  d->modal = 0;
  // the dialog ends with IDOK or IDCANCEL only: 0 and -1 are failures
  if (r <= 0) {
    DWORD e = GetLastError();
    int rc = e ? (int)e : 9001;
    ERR_LOG(ERR_ERR, rc, "DialogBoxParam() failed - %d.", LVWCOLDLG_DLG);
    return rc;
  }
  if (result) *result = r;
  return 0;
}

int lvwcoldlg_open(lvwcoldlg* d, HINSTANCE inst, HWND parent) {
  if (bad(d) || !bound(d)) return kParam;
  if (d->wnd) return 0;
  d->modal = 0;
  HWND w = CreateDialogParamA(inst, MAKEINTRESOURCEA(LVWCOLDLG_DLG), parent, dlg_proc, (LPARAM)d);
  if (!w) {
    DWORD e = GetLastError();
    int rc = e ? (int)e : 9001;
    ERR_LOG(ERR_ERR, rc, "CreateDialogParam() failed - %d.", LVWCOLDLG_DLG);
    return rc;
  }
  return 0;
}

int lvwcoldlg_on_init(lvwcoldlg* d, HWND wnd) {
  if (bad(d)) return kParam;
  d->wnd = wnd;
  translate(wnd, d->tx);
  refresh(d, d->nshown ? 0 : -1, -1);
  return 0;
}

int lvwcoldlg_on_command(lvwcoldlg* d, int id, int code) {
  if (bad(d)) return kParam;
  int s = cur_sel(d, LVWCOLDLG_SHOWN);
  int h = cur_sel(d, LVWCOLDLG_HIDDEN);
  switch (id) {
    case LVWCOLDLG_SHOWN:
      if (code == LBN_DBLCLK && s >= 0) return lvwcoldlg_hide(d, (unsigned)s);
      if (code == LBN_SELCHANGE) enable(d);
      return 0;
    case LVWCOLDLG_HIDDEN:
      if (code == LBN_DBLCLK && h >= 0) return lvwcoldlg_show(d, (unsigned)h);
      if (code == LBN_SELCHANGE) enable(d);
      return 0;
    case LVWCOLDLG_SHOW: return h >= 0 ? lvwcoldlg_show(d, (unsigned)h) : 0;
    case LVWCOLDLG_HIDE: return s >= 0 ? lvwcoldlg_hide(d, (unsigned)s) : 0;
    case LVWCOLDLG_UP: return s >= 0 ? lvwcoldlg_move(d, (unsigned)s, -1) : 0;
    case LVWCOLDLG_DOWN: return s >= 0 ? lvwcoldlg_move(d, (unsigned)s, 1) : 0;
    case LVWCOLDLG_APPLY: return lvwcoldlg_apply(d);
    case IDOK: {
      int e = d->dirty ? lvwcoldlg_apply(d) : 0;
      if (e == 0) lvwcoldlg_close(d, IDOK);
      return e;
    }
    case IDCANCEL: return lvwcoldlg_close(d, IDCANCEL);
    default: return 0;
  }
}
