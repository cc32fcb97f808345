#include "quarnw/win32/quarnw_export.h"

#include <commdlg.h>

#include <cstdlib>
#include <cstring>

#include "c/osu.h"
#include "c/path.h"
#include "c/str.h"
#include "c/strbuf.h"
#include "ds/list.h"
#include "ds/list_v.h"
#include "err/err.h"
#include "fm/flist.h"
#include "quarn/quarnlib.h"
#include "quarnw/flistcell.h"
#include "quarnw/flistexp.h"
#include "quarnw/qncmdln.h"
#include "quarnw/win32/flistctrl.h"
#include "quarnw/win32/quarndlg.h"
#include "quarnw/win32/quarnw.h"
#include "txr/txr.h"
#include "ui/win32/lvw.h"

namespace {

constexpr const char* kCtx = "flistexp";
constexpr unsigned kMsgSize = 1024 + MAX_PATH * 2;

int last_error() {
  const int e = (int)GetLastError();
  return e ? e : 9001;
}

struct handle_guard {
  HANDLE h;
  ~handle_guard() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};

struct recs_guard {
  list l{};
  recs_guard() { list_v_init(&l, 0xC2, nullptr, nullptr, nullptr, nullptr); }
  ~recs_guard() { list_free(&l); }
};

struct buf_guard {
  strbuf sb;
  buf_guard() { strbuf_init(&sb, 65536); }
  ~buf_guard() { strbuf_free(&sb); }
};

// The failure's text, "%s [%s]" with the system message and the file.
int fail(const char* what, const char* file, char* errmsg, unsigned errmsgsz) {
  const int code = last_error();
  char sys[1024];
  mox_sys_errmsg(code, sys, sizeof sys);
  ERR_LOG(ERR_ERR, code, "%s failed - file: `%s'.", what, file);
  if (errmsg && errmsgsz) mox_snprintf(errmsg, errmsgsz, "%s [%s]", sys, file);
  return code;
}

flistctrl* list_control() { return g_quarndlg ? quarndlg_flistctrl(g_quarndlg) : nullptr; }

flistcell_fmt cell_fmt(const flistctrl* lc) {
  flistcell_fmt f{};
  f.file_type = g_cfg.file_type;
  f.timefmt = (unsigned)g_cfg.timefmt;
  f.timefmt_usr = g_cfg.timefmt_usr;
  f.sizefmt = (unsigned)g_cfg.sizefmt;
  f.grpstyle = (unsigned)g_cfg.dgrp_num;
  f.dg = &g_dgrp;
  f.sc = &g_syscfg;
  f.mark_moved = lc->mark_moved;
  f.mark_deleted = lc->mark_deleted;
  return f;
}

}  // namespace

int quarnw_export_write(const char* path, const char* text, unsigned len, char* errmsg, unsigned errmsgsz) {
  if (errmsg && errmsgsz) errmsg[0] = 0;
  if (!path || !*path || (!text && len)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', text: %p.", mox_nul(path), (const void*)text);
    return 9003;
  }
  // the new file goes beside the target, so the rename stays on one volume
  char dir[MAX_PATH * 4], name[MAX_PATH * 4], tmp[MAX_PATH * 4];
  int rc = mox_split_dir_fname(path, dir, sizeof dir, name, sizeof name);
  if (rc) return rc;
  if (!GetTempFileNameA(*dir ? dir : ".", "qnx", 0, tmp)) return fail("GetTempFileName()", path, errmsg, errmsgsz);
  {
    handle_guard h{CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (h.h == INVALID_HANDLE_VALUE) rc = fail("CreateFile()", tmp, errmsg, errmsgsz);
    DWORD done = 0;
    if (!rc && len && (!WriteFile(h.h, text, len, &done, nullptr) || done != len))
      rc = fail("WriteFile()", tmp, errmsg, errmsgsz);
    if (!rc && !FlushFileBuffers(h.h)) rc = fail("FlushFileBuffers()", tmp, errmsg, errmsgsz);
    if (!rc) {
      const BOOL closed = CloseHandle(h.h);
      h.h = INVALID_HANDLE_VALUE;
      if (!closed) rc = fail("CloseHandle()", tmp, errmsg, errmsgsz);
    }
  }
  if (!rc && !MoveFileExA(tmp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    rc = fail("MoveFileEx()", path, errmsg, errmsgsz);
  if (rc) DeleteFileA(tmp);
  return rc;
}

int quarnw_export_rows(const char* path, int mode) {
  flistctrl* lc = list_control();
  if (!path || !lc || !lc->lv || (mode != FLISTEXP_PATHS && mode != FLISTEXP_CSV)) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - path: `%s', listctrl: %p, mode: %d.", mox_nul(path), (void*)lc, mode);
    return 9003;
  }
  recs_guard recs;
  int rc = flistctrl_collect(lc, &recs.l);
  const unsigned n = list_count(&recs.l);
  const frec** rows = n ? static_cast<const frec**>(calloc(n, sizeof(frec*))) : nullptr;
  if (!rc && n && !rows) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)(n * sizeof(frec*)));
    rc = 9004;
  }
  unsigned i = 0;
  for (list_node* nd = rc ? nullptr : list_first(&recs.l); nd; nd = list_next(nd))
    rows[i++] = static_cast<const frec*>(list_v_ptr(nd));
  buf_guard out;
  if (!rc && mode == FLISTEXP_PATHS) {
    rc = flistexp_paths(rows, n, &out.sb);
  } else if (!rc) {
    int cols[LISTCOL_MAX], idx[LISTCOL_MAX];
    const char* titles[LISTCOL_MAX];
    const unsigned ncols = flistexp_cols(&lc->lv->lc, cols, idx, LISTCOL_MAX);
    for (unsigned c = 0; c < ncols; ++c) {
      const char* id = lc->lv->lc.cols[idx[c]].name;
      titles[c] = lc->lv->tx ? txr_get(lc->lv->tx, lc->lv->txrctx, id) : id;
    }
    const flistcell_fmt f = cell_fmt(lc);
    rc = flistexp_csv(rows, n, cols, titles, ncols, &f, &out.sb);
  }
  free(rows);
  char msg[kMsgSize];
  if (!rc) {
    const char* text = out.sb.str ? out.sb.str : "";
    rc = quarnw_export_write(path, text, (unsigned)strlen(text), msg, sizeof msg);
    // a translated text is used only when it asks for the same values
    constexpr const char* kFailed = "Save results failed: %s";
    const char* fmt = quarnw_text(kCtx, kFailed);
    if (rc) ERR_USER(ERR_ERR, rc, flistcell_same_convs(fmt, kFailed) ? fmt : kFailed, msg);
  }
  return rc;
}

int quarnw_save_results(HWND owner) {
  if (!list_control() || flistctrl_usable_count(list_control()) == 0) return 0;
  // the filters: pairs of texts, each ended by a NUL, the list by another
  char filters[512];
  const char* ft[] = {quarnw_text(kCtx, "Full paths (*.txt)"), "*.txt", quarnw_text(kCtx, "Columns as CSV (*.csv)"),
                      "*.csv"};
  unsigned len = 0;
  for (const char* s : ft) {
    const unsigned n = (unsigned)strlen(s) + 1;
    if (len + n + 1 > sizeof filters) break;
    memcpy(filters + len, s, n);
    len += n;
  }
  filters[len] = 0;
  char file[MAX_PATH * 4] = "";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filters;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrTitle = quarnw_text(kCtx, "Save results");
  ofn.lpstrDefExt = "txt";
  ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameA(&ofn)) {
    const DWORD e = CommDlgExtendedError();
    if (e) ERR_LOG(ERR_ERR, (int)e, "GetSaveFileName() failed - code: %#X.", (unsigned)e);
    return e ? 9001 : 0;  // no error: the user cancelled
  }
  return quarnw_export_rows(file, ofn.nFilterIndex == 2 ? FLISTEXP_CSV : FLISTEXP_PATHS);
}

int quarnw_clip_text(HWND owner, const char* text) {
  if (!text) {
    ERR_LOG(ERR_ERR, 9003, "`text' is NUL.");
    return 9003;
  }
  const size_t n = strlen(text) + 1;
  const int wn = MultiByteToWideChar(CP_ACP, 0, text, (int)n, nullptr, 0);
  HGLOBAL a = GlobalAlloc(GMEM_MOVEABLE, n);
  HGLOBAL w = wn > 0 ? GlobalAlloc(GMEM_MOVEABLE, (size_t)wn * sizeof(wchar_t)) : nullptr;
  if (!a || !w) {
    ERR_LOG(ERR_ERR, 9004, "size: %u.", (unsigned)n);
    if (a) GlobalFree(a);
    if (w) GlobalFree(w);
    return 9004;
  }
  memcpy(GlobalLock(a), text, n);
  GlobalUnlock(a);
  MultiByteToWideChar(CP_ACP, 0, text, (int)n, static_cast<wchar_t*>(GlobalLock(w)), wn);
  GlobalUnlock(w);
  if (!OpenClipboard(owner)) {
    const int e = last_error();
    ERR_LOG(ERR_ERR, e, "OpenClipboard() failed - wnd: %p.", (void*)owner);
    GlobalFree(a);
    GlobalFree(w);
    return e;
  }
  int rc = 0;
  EmptyClipboard();
  // once set, the clipboard owns the memory
  if (!SetClipboardData(CF_TEXT, a)) {
    rc = last_error();
    GlobalFree(a);
  }
  if (!SetClipboardData(CF_UNICODETEXT, w)) {
    if (!rc) rc = last_error();
    GlobalFree(w);
  }
  if (rc) ERR_LOG(ERR_ERR, rc, "SetClipboardData() failed - wnd: %p.", (void*)owner);
  CloseClipboard();
  return rc;
}

int quarnw_cmdln(char* buf, unsigned bufsize) {
  qncmdln_src s{};
  s.paths = g_cfg.path;
  s.md = g_cfg.std_md;
  s.size = g_cfg.std_size;
  s.name = g_cfg.std_name;
  s.ignorecase = g_cfg.ignorecase;
  s.de = g_cfg.disable_err_size ? reinterpret_cast<const diserr*>(g_cfg.disable_err) : nullptr;
  return qncmdln_build(&s, buf, bufsize);
}

int quarnw_copy_cmdln(HWND owner) {
  char line[QNCMDLN_SIZE];
  int rc = quarnw_cmdln(line, sizeof line);
  return rc ? rc : quarnw_clip_text(owner, line);
}
