#include "quarnw/win32/stdvw.h"

#include <cstring>
#include <ctime>

#include "c/str.h"
#include "err/err.h"
#include "ex/ex.h"
#include "quarn/qnexparser.h"
#include "quarnw/qnexfld.h"
#include "fm/win32/ffiltdlg.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "xrm/xrm_geom.h"

namespace {

constexpr int kParam = 9003;
constexpr int IDC_STD_PATHLBL = 1032, IDC_STD_NAMELBL = 1033, IDC_STD_MDLBL = 1034, IDC_STD_SIZELBL = 1035,
              IDC_STD_VRULE = 1036;
constexpr xrm_idmap kCtrls[] = {{"pathLbl", IDC_STD_PATHLBL}, {"path", IDC_STD_PATH}, {"nameLbl", IDC_STD_NAMELBL},
                                {"name", IDC_STD_NAME},       {"mdLbl", IDC_STD_MDLBL}, {"md", IDC_STD_MD},
                                {"sizeLbl", IDC_STD_SIZELBL}, {"size", IDC_STD_SIZE},   {"vrule", IDC_STD_VRULE},
                                {"find", IDC_STD_FIND}};

int last_error() {
  int e = (int)GetLastError();
  return e ? e : 9001;
}

// A field, its setting and the primary it stands for, in the order they are validated.
struct field {
  HWND stdvw::*ctrl;
  char* (*setting)();
  const char* prim;
  const char* what;
};
constexpr field kFields[] = {
    {&stdvw::name, [] { return g_cfg.std_name; }, "name", "name"},
    {&stdvw::md, [] { return g_cfg.std_md; }, "md", "md"},
    {&stdvw::size, [] { return g_cfg.std_size; }, "size", "size"},
};

const field* field_of(const stdvw* v, HWND ctrl) {
  for (const field& f : kFields)
    if (v->*f.ctrl == ctrl) return &f;
  return nullptr;
}

void repaint(HWND ctrl) { InvalidateRect(ctrl, nullptr, TRUE); }

int get_text(HWND ctrl, char* buf, unsigned size) {
  buf[0] = 0;
  GetWindowTextA(ctrl, buf, (int)size);
  return 0;
}

int set_field(HWND ctrl, const char* text, const char* what) {
  if (SetWindowTextA(ctrl, text)) return 0;
  int e = last_error();
  ERR_LOG(ERR_ERR, e, "SetWindowText() failed - %s_ctrl: %p, %s: `%.50s'.", what, (void*)ctrl, what, text);
  return e;
}

int on_init(HWND dlg, stdvw* v) {
  v->dlg = dlg;
  SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)v);
  int rc = wndmap_add(&g_wndmap, dlg, v);
  SendMessageA(dlg, DM_SETDEFID, IDC_STD_FIND, 0);
  // a layout that cannot be read leaves the template as it is
  int lrc = geom_init(&v->g, "std");
  if (!lrc) lrc = xrm_geom_load(g_xrm.maindb, "stdGeom", nullptr, 1, &v->g, sizeof kCtrls / sizeof kCtrls[0], kCtrls);
  if (!lrc) lrc = geom_measure(&v->g, g_inst, MAKEINTRESOURCEA(IDD_STDVW), GetParent(dlg));
  if (!lrc) lrc = geom_compute(&v->g);
  if (lrc) geom_free(&v->g);
  v->ctllock = 0;
  HWND path = GetDlgItem(dlg, IDC_STD_PATH);
  const struct {
    int id;
    HWND* out;
  } ctrls[] = {{IDC_STD_PATH, &path}, {IDC_STD_NAME, &v->name}, {IDC_STD_MD, &v->md}, {IDC_STD_SIZE, &v->size},
               {IDC_STD_FIND, &v->find}};
  for (const auto& c : ctrls) {
    *c.out = GetDlgItem(dlg, c.id);
    if (!*c.out) {
      int e = last_error();
      ERR_LOG(ERR_ERR, e, "GetDlgItem() failed [%d] - dlg: %p.", c.id, (void*)dlg);
      if (!rc) rc = e;
    }
  }
  if (rc) return rc;
  rc = fpathcbx_init(&v->pcbx, path, &g_cfg.pathlist,
                     g_cfg.pathlist_sort == QUARNW_PATHLIST_ABC ? FPATHCBX_ABC : FPATHCBX_HIST, g_cfg.ignorecase);
  if (!rc) SendMessageA(path, CB_LIMITTEXT, QUARNWCFG_PATH_SIZE - 1, 0);
  if (!rc) rc = fpathcbx_accept_drops(&v->pcbx);
  for (const field& f : kFields) SendMessageA(v->*f.ctrl, EM_LIMITTEXT, QUARNWCFG_FIELD_SIZE - 1, 0);
  if (!rc) rc = stdvw_set_btn(v, "Find");
  return rc;
}

void on_path_edit(stdvw* v) {
  get_text(v->pcbx.cbx, g_cfg.path, sizeof g_cfg.path);
  quarnw_update_title();
}

void on_path_chosen(stdvw* v) {
  if (fpathcbx_sel_text(&v->pcbx, g_cfg.path, sizeof g_cfg.path)) return;
  fpathlist_add(&g_cfg.pathlist, g_cfg.path);
  quarnw_update_title();
}

void on_field_edit(stdvw* v, HWND ctrl) {
  const field* f = field_of(v, ctrl);
  if (!f || v->ctllock) return;
  get_text(ctrl, f->setting(), QUARNWCFG_FIELD_SIZE);
  if (ctlclr_del(&g_ctlclr, ctrl) == 0) repaint(ctrl);
}

INT_PTR on_command(stdvw* v, int id, int code, HWND ctrl) {
  switch (id) {
    case IDC_STD_PATH:
      if (code == CBN_EDITCHANGE) on_path_edit(v);
      if (code == CBN_SELCHANGE) on_path_chosen(v);
      return TRUE;
    case IDC_STD_NAME:
    case IDC_STD_MD:
    case IDC_STD_SIZE:
      if (code == EN_CHANGE) on_field_edit(v, ctrl);
      return TRUE;
    case IDC_STD_FIND:
      if (code == BN_CLICKED) stdvw_find(v);
      return TRUE;
    default: return FALSE;
  }
}

}  // namespace

int stdvw_init(stdvw* v, quarndlg* qd) {
  if (!v) {
    ERR_LOG(ERR_ERR, kParam, "`stdvw' is NUL.");
    return kParam;
  }
  memset(v, 0, sizeof *v);
  v->qd = qd;
  return 0;
}

int stdvw_free(stdvw* v) {
  if (!v) {
    ERR_LOG(ERR_ERR, kParam, "`stdvw' is NUL.");
    return kParam;
  }
  for (const field& f : kFields)
    if (v->*f.ctrl) ctlclr_del(&g_ctlclr, v->*f.ctrl);
  if (v->dlg) wndmap_del(&g_wndmap, v->dlg);
  geom_free(&v->g);
  fpathcbx_free(&v->pcbx);
  quarndlg* qd = v->qd;
  memset(v, 0, sizeof *v);
  v->qd = qd;
  return 0;
}

int stdvw_create(stdvw* v, HWND parent, HWND after) {
  if (!v || !parent) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - stdvw: %p, parent: %p.", (void*)v, (void*)parent);
    return kParam;
  }
  HWND dlg = CreateDialogParamA(g_inst, MAKEINTRESOURCEA(IDD_STDVW), parent, stdvw_proc, (LPARAM)v);
  if (!dlg) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "CreateDialogParam() failed - %d.", IDD_STDVW);
    return e;
  }
  if (!v->find || !v->pcbx.cbx) {
    DestroyWindow(dlg);  // its controls were reported
    return 9006;
  }
  if (after) SetWindowPos(dlg, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return 0;
}

int stdvw_fill(stdvw* v) {
  if (!v || !v->dlg) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - stdvw: %p.", (void*)v);
    return kParam;
  }
  v->ctllock = 1;
  int rc = set_field(v->pcbx.cbx, g_cfg.path, "path");
  if (int e = fpathcbx_refill(&v->pcbx); e && !rc) rc = e;
  for (const field& f : kFields)
    if (int e = set_field(v->*f.ctrl, f.setting(), f.what); e && !rc) rc = e;
  v->ctllock = 0;
  if (int e = stdvw_validate(v); e && !rc) rc = e;
  return rc;
}

int stdvw_validate(stdvw* v) {
  if (!v) {
    ERR_LOG(ERR_ERR, kParam, "`stdvw' is NUL.");
    return kParam;
  }
  for (const field& f : kFields)
    if (ctlclr_del(&g_ctlclr, v->*f.ctrl) == 0) repaint(v->*f.ctrl);
  int failed = 0;
  qnexp p{};
  ex e{};
  for (const field& f : kFields) {
    const char* text = f.setting();
    if (!*text) continue;
    char part[QNEXFLD_EXPR_SIZE] = "";
    int parsed = 0;
    int rc = qnexfld_part(f.prim, text, part, sizeof part);
    if (!rc) rc = qnexfld_parse(&p, &e, part, g_cfg.ignorecase, g_cfg.timef_fmts, (long)time(nullptr), &parsed);
    if (rc) {
      failed = 1;
      ctlclr_set(&g_ctlclr, v->*f.ctrl, g_cfg.inval_fgClr, g_cfg.inval_bgClr);
      repaint(v->*f.ctrl);
    }
  }
  ex_free(&e);
  qnexparser_free(&p);
  return failed ? kParam : 0;
}

int stdvw_find(stdvw* v) {
  if (!v || !v->qd) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - stdvw: %p.", (void*)v);
    return kParam;
  }
  quarndlg* qd = v->qd;
  if (quarndlg_running(qd)) return progr_cancel(&g_progr);
  char expr[QNEXFLD_EXPR_SIZE];
  int rc = stdvw_validate(v);
  if (!rc && ffiltdlg_is_open(&g_ffiltdlg)) {
    rc = ffiltdlg_apply(&g_ffiltdlg);
    if (!rc) rc = ffiltdlg_check(&g_ffiltdlg);
  }
  if (!rc) rc = qnexfld_expr(g_cfg.std_md, g_cfg.std_size, g_cfg.std_name, expr, sizeof expr);
  if (!rc && g_cfg.path[0]) {
    fpathlist_add(&g_cfg.pathlist, g_cfg.path);
    v->ctllock = 1;
    fpathcbx_refill(&v->pcbx);
    v->ctllock = 0;
  }
  if (!rc) rc = quarndlg_search(qd, expr);
  if (rc) quarndlg_clear(qd);
  return rc;
}

int stdvw_set_btn(stdvw* v, const char* id) {
  if (!v || !id) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - stdvw: %p, id: %p.", (void*)v, (const void*)id);
    return kParam;
  }
  if (!v->find) return 0;
  if (SetWindowTextA(v->find, quarnw_text("quarndlg.btn", id))) return 0;
  int e = last_error();
  ERR_LOG(ERR_ERR, e, "SetWindowText() failed - ctrl: %p.", (void*)v->find);
  return e;
}

int stdvw_min_size(const stdvw* v, int* w, int* h) {
  if (!v || !w || !h) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - stdvw: %p, w: %p, h: %p.", (const void*)v, (void*)w, (void*)h);
    return kParam;
  }
  if (!v->g.root) return 9006;
  *w = v->g.minWndW;
  *h = v->g.minWndH;
  return 0;
}

INT_PTR CALLBACK stdvw_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  stdvw* v = reinterpret_cast<stdvw*>(GetWindowLongPtrA(dlg, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      on_init(dlg, reinterpret_cast<stdvw*>(lp));
      return FALSE;
    case WM_SIZE:
      if (v && v->g.root && geom_resize(&v->g, LOWORD(lp), HIWORD(lp)) == 0) geom_apply(&v->g, dlg);
      return TRUE;
    case WM_COMMAND: return v ? on_command(v, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) : FALSE;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      void* brush = ctlclr_paint(&g_ctlclr, reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp));
      return brush ? reinterpret_cast<INT_PTR>(brush) : FALSE;
    }
    case WM_NCDESTROY:
      if (v) {
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        if (v->dlg) wndmap_del(&g_wndmap, v->dlg);
        v->dlg = nullptr;
      }
      return FALSE;
    default: return FALSE;
  }
}
