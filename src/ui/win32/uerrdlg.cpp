// Error dialog: a modal dialog over the user error list; its procedure only turns
// messages into the calls below.
#include "ui/win32/uerrdlg.h"

#include <commctrl.h>

#include <cstring>

#include "c/str.h"
#include "err/err.h"
#include "fio/timef.h"
#include "fio/wndf.h"
#include "txr/txr.h"
#include "ui/win32/dlgplace.h"
#include "ui/win32/lvwcoldlg.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr unsigned kInfoSize = 32768 + 128;
enum : int { IDM_ECOLS = 8301, IDM_ECLEAR = 8302 };

constexpr xrm_idmap kCtrls[] = {{"errList", IDC_UERR_LIST},
                               {"errInfo", IDC_UERR_INFO},
                               {"errTitl", IDC_UERR_TITL},
                               {"closeSpace", IDC_UERR_CLOSESPACE},
                               {"close", IDCANCEL}};

int last_error() {
  const int e = (int)GetLastError();
  return e ? e : 9001;
}

const uerr_item* report(const uerrdlg* d, unsigned idx) {
  const uerr_item* it = nullptr;
  return d->l && idx < uerrlist_count(d->l) && uerrlist_get(d->l, idx, &it) == 0 ? it : nullptr;
}

constexpr const char* kColIds[] = {"type", "desc", "code", "timestamp"};
constexpr unsigned kNColIds = sizeof kColIds / sizeof kColIds[0];

int disp(lvw*, NMLVDISPINFOA* di, int tag, void* usrdata);
LRESULT draw(lvw*, NMLVCUSTOMDRAW* cd, int tag, void* usrdata);

void make_columns(uerrdlg* d) {
  lvw_init(&d->lv);
  if (lvw_create(&d->lv, d->list, d->rdb, "uerrlist.col", nullptr, d->tx, "uerrlist.col.name")) return;
  lvw_set_tags(&d->lv, kColIds, kNColIds);
  lvw_set_cbs(&d->lv, disp, draw, d);
}

void make_images(uerrdlg* d) {
  if (!d->cfg->elist_img) return;
  HIMAGELIST il = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                   ILC_COLOR32 | ILC_MASK, 3, 0);
  if (!il) return;
  const LPCSTR icons[] = {IDI_HAND, IDI_EXCLAMATION, IDI_ASTERISK};
  for (LPCSTR ic : icons) ImageList_AddIcon(il, LoadIconA(nullptr, ic));
  SendMessageA(d->list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)il);  // freed with the list (no LVS_SHAREIMAGELISTS)
}

int level_image(int level) { return level <= ERR_ERR ? 0 : level == ERR_WARN ? 1 : 2; }

void set_title_colors(uerrdlg* d, int level) {
  d->titl_clr = 0;
  if (d->titl_brush) {
    DeleteObject(d->titl_brush);
    d->titl_brush = nullptr;
  }
  if (d->cfg->etitl_color && level > 0 &&
      (level == ERR_ERR || level == ERR_WARN || level == ERR_INFO) &&
      uerrdlgcfg_level_colors(d->cfg, level, &d->titl_fg, &d->titl_bg) == 0) {
    d->titl_clr = 1;
    d->titl_brush = CreateSolidBrush(d->titl_bg);
  }
  InvalidateRect(d->titl, nullptr, TRUE);
}

void show_report(uerrdlg* d, int idx) {
  d->sel = idx;
  const uerr_item* it = idx >= 0 ? report(d, (unsigned)idx) : nullptr;
  if (!it) {
    SetWindowTextA(d->titl, "");
    SetWindowTextA(d->info, "");
    set_title_colors(d, 0);
    return;
  }
  char word[32];
  SetWindowTextA(d->titl, uerr_level_word(it->level, 0, word, sizeof word));
  static char info[kInfoSize];
  if (uerrdlg_info_text(d, it, info, sizeof info) == 0) SetWindowTextA(d->info, info);
  set_title_colors(d, it->level);
}

void fill(uerrdlg* d) {
  const unsigned n = d->l ? uerrlist_count(d->l) : 0;
  SendMessageA(d->list, LVM_SETITEMCOUNT, n, LVSICF_NOSCROLL);
  InvalidateRect(d->list, nullptr, TRUE);
  if (n && d->sel < 0) {
    LVITEMA li{};
    li.stateMask = li.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(d->list, LVM_SETITEMSTATE, n - 1, (LPARAM)&li);
    SendMessageA(d->list, LVM_ENSUREVISIBLE, n - 1, FALSE);
  }
  if (!n) show_report(d, -1);
}

int disp(lvw*, NMLVDISPINFOA* di, int tag, void* usrdata) {
  auto* d = static_cast<uerrdlg*>(usrdata);
  LVITEMA& li = di->item;
  if ((li.mask & LVIF_TEXT) && li.pszText && li.cchTextMax > 0) {
    li.pszText[0] = 0;
    if (tag >= 0 && (unsigned)tag < kNColIds)
      uerrdlg_cell(d, (unsigned)li.iItem, kColIds[tag], li.pszText, (unsigned)li.cchTextMax);
  }
  if (li.mask & LVIF_IMAGE) {
    const uerr_item* it = report(d, (unsigned)li.iItem);
    li.iImage = it && d->cfg->elist_img ? level_image(it->level) : -1;
  }
  return 0;
}

LRESULT draw(lvw*, NMLVCUSTOMDRAW* cd, int, void* usrdata) {
  auto* d = static_cast<uerrdlg*>(usrdata);
  if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) return d->cfg->elist_color ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
  if (cd->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    const uerr_item* it = report(d, (unsigned)cd->nmcd.dwItemSpec);
    unsigned fg, bg;
    if (it && (it->level == ERR_ERR || it->level == ERR_WARN || it->level == ERR_INFO) &&
        uerrdlgcfg_level_colors(d->cfg, it->level, &fg, &bg) == 0) {
      cd->clrText = fg;
      cd->clrTextBk = bg;
    }
  }
  return CDRF_DODEFAULT;
}

void column_dialog(uerrdlg* d) {
  lvwcoldlg cd{};
  lvwcoldlg_init(&cd);
  INT_PTR result = 0;
  if (!lvwcoldlg_set(&cd, &d->lv.lc, d->tx, "uerrlist.col.name", nullptr) &&
      !lvwcoldlg_run(&cd, reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(d->dlg, GWLP_HINSTANCE)), d->dlg, &result) &&
      cd.napplied) {
    lvw_apply(&d->lv);
    lvw_save(&d->lv);
    InvalidateRect(d->list, nullptr, TRUE);
  }
  lvwcoldlg_free(&cd);
}

void clear_list(uerrdlg* d) {
  uerrlist_clear(d->l);
  d->sel = -1;
  fill(d);
}

void context_menu(uerrdlg* d, int x, int y) {
  HMENU m = CreatePopupMenu();
  if (!m) return;
  const char* cols = d->tx ? txr_get(d->tx, "uerrlistMenu.name", "ecols") : nullptr;
  const char* clr = d->tx ? txr_get(d->tx, "uerrlistMenu.name", "eclear") : nullptr;
  AppendMenuA(m, MF_STRING, IDM_ECOLS, cols ? cols : "Columns...");
  AppendMenuA(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(m, MF_STRING, IDM_ECLEAR, clr ? clr : "Clear\tCtrl+Del");
  if (x == -1 && y == -1) {
    RECT r;
    GetWindowRect(d->list, &r);
    x = r.left, y = r.top;
  }
  const int cmd = (int)TrackPopupMenu(m, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, d->dlg, nullptr);
  DestroyMenu(m);
  if (cmd == IDM_ECLEAR) clear_list(d);
  if (cmd == IDM_ECOLS) column_dialog(d);
}

void store_placement(uerrdlg* d) {
  if (const int e = dlgplace_store(d->dlg, &d->cfg->wp, &d->cfg->wp_size))
    ERR_LOG(ERR_ERR, e, "GetWindowPlacement() failed - wnd: %p.", (void*)d->dlg);
}

void on_init(uerrdlg* d, HWND dlg) {
  d->dlg = dlg;
  d->sel = -1;
  d->list = GetDlgItem(dlg, IDC_UERR_LIST);
  d->info = GetDlgItem(dlg, IDC_UERR_INFO);
  d->titl = GetDlgItem(dlg, IDC_UERR_TITL);
  make_columns(d);
  make_images(d);
  dlgplace_layout(&d->g, dlg);
  dlgplace_restore(dlg, &d->cfg->wp, d->cfg->wp_size, -1);
  fill(d);
}

void on_close(uerrdlg* d) {
  store_placement(d);
  if (d->cfg->clearOnClose)
    uerrlist_clear(d->l);
  else
    uerrlist_seen(d->l);
  EndDialog(d->dlg, IDCANCEL);
}

INT_PTR on_notify(uerrdlg* d, NMHDR* h) {
  LRESULT res = 0;
  if (d->lv.wnd && lvw_notify(&d->lv, h, &res)) {
    SetWindowLongPtrA(d->dlg, DWLP_MSGRESULT, res);
    return TRUE;
  }
  if (h->idFrom != IDC_UERR_LIST) return FALSE;
  switch (h->code) {
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
      if ((nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED) && !(nm->uOldState & LVIS_SELECTED))
        show_report(d, nm->iItem);
      return TRUE;
    }
    case LVN_KEYDOWN: {
      auto* kd = reinterpret_cast<NMLVKEYDOWN*>(h);
      if (kd->wVKey == VK_DELETE && (GetKeyState(VK_CONTROL) & 0x8000)) clear_list(d);
      return TRUE;
    }
    default: return FALSE;
  }
}

INT_PTR CALLBACK proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrA(dlg, DWLP_USER, lp);
    on_init(reinterpret_cast<uerrdlg*>(lp), dlg);
    return TRUE;
  }
  auto* d = reinterpret_cast<uerrdlg*>(GetWindowLongPtrA(dlg, DWLP_USER));
  if (!d) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wp) == IDCANCEL || LOWORD(wp) == IDOK) {
        on_close(d);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE: on_close(d); return TRUE;
    case WM_NOTIFY: return on_notify(d, reinterpret_cast<NMHDR*>(lp));
    case WM_CONTEXTMENU:
      if ((HWND)wp == d->list) {
        context_menu(d, (short)LOWORD(lp), (short)HIWORD(lp));
        return TRUE;
      }
      return FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      if ((HWND)lp == d->titl && d->titl_clr) {
        SetTextColor((HDC)wp, d->titl_fg);
        SetBkColor((HDC)wp, d->titl_bg);
        return (INT_PTR)d->titl_brush;
      }
      return FALSE;
    case WM_SIZE:
    case WM_SIZING: return dlgplace_size_msg(&d->g, dlg, msg, wp, lp);
    case WM_DESTROY:
      lvw_free(&d->lv);
      if (d->titl_brush) DeleteObject(d->titl_brush);
      d->titl_brush = nullptr;
      d->dlg = d->list = d->info = d->titl = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

int uerrdlg_init(uerrdlg* d, db* rdb, const txr* tx, const syscfg* sc) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlg' is NUL.");
    return kParam;
  }
  memset(d, 0, sizeof *d);
  d->rdb = rdb;
  d->tx = tx;
  d->sc = sc;
  d->sel = -1;
  return 0;
}

int uerrdlg_free(uerrdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlg' is NUL.");
    return kParam;
  }
  geom_free(&d->g);
  lvw_free(&d->lv);
  return uerrdlg_init(d, nullptr, nullptr, nullptr);
}

int uerrdlg_run(uerrdlg* d, uerrdlgcfg* cfg, uerrlist* l, HINSTANCE inst, HWND parent) {
  if (!d || !cfg || !l) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, cfg: %p, uerrlist: %p.", (void*)d, (void*)cfg, (void*)l);
    return kParam;
  }
  if (d->dlg) return uerrdlg_refresh(d);
  d->cfg = cfg;
  d->l = l;
  const int tmpl = cfg->botlist ? IDD_UERRDLG_BOT : IDD_UERRDLG_TOP;
  geom_free(&d->g);
  if (d->rdb) {
    // a layout that cannot be read leaves the template as it is
    const char* name = cfg->botlist ? "uerrdlgBotlistGeom" : "uerrdlgGeom";
    int rc = geom_init(&d->g, cfg->botlist ? "uerrdlgBotlist" : "uerrdlg");
    if (!rc) rc = xrm_geom_load(d->rdb, name, nullptr, 1, &d->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls);
    if (!rc) rc = geom_measure(&d->g, inst, MAKEINTRESOURCEA(tmpl), parent);
    if (!rc) rc = geom_compute(&d->g);
    if (rc) geom_free(&d->g);
  }
  const INT_PTR r = DialogBoxParamA(inst, MAKEINTRESOURCEA(tmpl), parent, proc, (LPARAM)d);
  d->dlg = nullptr;
  if (r == -1) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "DialogBoxParam() failed - %d.", tmpl);
    return e;
  }
  return 0;
}

int uerrdlg_refresh(uerrdlg* d) {
  if (!d) {
    ERR_LOG(ERR_ERR, kParam, "`uerrdlg' is NUL.");
    return kParam;
  }
  if (d->dlg) fill(d);
  return 0;
}

int uerrdlg_info_text(const uerrdlg* d, const uerr_item* it, char* buf, unsigned bufsize) {
  if (!d || !it || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - dlg: %p, item: %p, buf: %p.", (const void*)d, (const void*)it,
            (void*)buf);
    return kParam;
  }
  char word[32], when[128];
  when[0] = 0;
  if (d->cfg)
    timef_to_str(&it->tm, (unsigned)d->cfg->timefmt, d->cfg->timefmt_usr, d->sc, when, sizeof when);
  return mox_snprintf(buf, bufsize, "%s\r\n[%s %d %s]", it->msg ? it->msg : "",
                      uerr_level_word(it->level, 1, word, sizeof word), it->code, when);
}

int uerrdlg_cell(const uerrdlg* d, unsigned idx, const char* col, char* buf, unsigned bufsize) {
  if (!d || !col || !buf || !bufsize) return kParam;
  buf[0] = 0;
  const uerr_item* it = report(d, idx);
  if (!it) return 9006;
  char word[32];
  if (strcmp(col, "type") == 0) return mox_snprintf(buf, bufsize, "%s", uerr_level_word(it->level, 0, word, sizeof word));
  if (strcmp(col, "desc") == 0) {
    // one line of the message in the list; the whole text below it
    const char* m = it->msg ? it->msg : "";
    const size_t n = strcspn(m, "\r\n");
    return mox_snprintf(buf, bufsize, "%.*s", (int)n, m);
  }
  if (strcmp(col, "code") == 0) return mox_snprintf(buf, bufsize, "%d", it->code);
  if (strcmp(col, "timestamp") == 0)
    return d->cfg ? timef_to_str(&it->tm, (unsigned)d->cfg->timefmt, d->cfg->timefmt_usr, d->sc, buf, bufsize) : 0;
  return 9006;
}
