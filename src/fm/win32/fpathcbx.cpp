#include "fm/win32/fpathcbx.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;

int last_error() {
  int e = (int)GetLastError();
  return e ? e : 9001;
}

// The edit's text, whole.
std::vector<char> edit_text(HWND cbx) {
  std::vector<char> t((size_t)GetWindowTextLengthA(cbx) + 1, 0);
  GetWindowTextA(cbx, t.data(), (int)t.size());
  return t;
}

}  // namespace

int fpathcbx_init(fpathcbx* c, HWND cbx, pathl* pl, int order, int ignorecase) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fpathcbx' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  if (!cbx || !pl || (order != FPATHCBX_HIST && order != FPATHCBX_ABC)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - ctrl: %p, pathlist: %p, order: %d.", (void*)cbx, (void*)pl, order);
    return kParam;
  }
  c->cbx = cbx;
  c->pl = pl;
  c->order = order;
  c->ignorecase = ignorecase;
  return 0;
}

int fpathcbx_free(fpathcbx* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fpathcbx' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  return 0;
}

int fpathcbx_refill(fpathcbx* c) {
  if (!c || !c->cbx || !c->pl) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fpathcbx: %p.", (void*)c);
    return kParam;
  }
  // emptying the list empties the edit too
  std::vector<char> text = edit_text(c->cbx);
  std::vector<const char*> paths;
  for (list_node* n = fpathlist_first(c->pl); n; n = fpathlist_next(n))
    if (const char* p = fpathlist_text(n)) paths.push_back(p);
  if (c->order == FPATHCBX_ABC) {
    int (*cmp)(const char*, const char*) = c->ignorecase ? _stricmp : strcmp;
    std::stable_sort(paths.begin(), paths.end(), [cmp](const char* a, const char* b) { return cmp(a, b) < 0; });
  }
  SendMessageA(c->cbx, CB_RESETCONTENT, 0, 0);
  int rc = 0;
  for (const char* p : paths) {
    const LRESULT idx = SendMessageA(c->cbx, CB_ADDSTRING, 0, (LPARAM)p);
    if (idx == CB_ERR || idx == CB_ERRSPACE) {
      ERR_LOG(ERR_ERR, 9001, "CB_ADDSTRING failed - ctrl: %p, path: `%s'.", (void*)c->cbx, p);
      rc = 9001;
      break;
    }
    if (SendMessageA(c->cbx, CB_SETITEMDATA, (WPARAM)idx, (LPARAM)p) == CB_ERR) {
      ERR_LOG(ERR_ERR, 9001, "CB_SETITEMDATA failed - ctrl: %p, idx: %u, path: `%s'.", (void*)c->cbx, (unsigned)idx,
              p);
      rc = 9001;
      break;
    }
  }
  if (!SetWindowTextA(c->cbx, text.data())) {
    int e = last_error();
    ERR_LOG(ERR_ERR, e, "SetWindowText() failed - ctrl: %p, path: `%.50s'.", (void*)c->cbx, text.data());
    if (!rc) rc = e;
  }
  return rc;
}

int fpathcbx_sel_text(const fpathcbx* c, char* buf, unsigned bufsize) {
  if (!c || !c->cbx || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fpathcbx: %p, buf: %p, bufsize: %u.", (const void*)c, (void*)buf,
            bufsize);
    return kParam;
  }
  buf[0] = 0;
  const LRESULT idx = SendMessageA(c->cbx, CB_GETCURSEL, 0, 0);
  if (idx == CB_ERR) return 9006;
  // the item's text, which the list keeps itself: the history may have changed since the fill
  const LRESULT len = SendMessageA(c->cbx, CB_GETLBTEXTLEN, (WPARAM)idx, 0);
  if (len == CB_ERR || len == 0) {
    ERR_LOG(ERR_ERR, 9006, "No `path' - ctrl: %p, idx: %u.", (void*)c->cbx, (unsigned)idx);
    return 9006;
  }
  std::vector<char> t((size_t)len + 1, 0);
  SendMessageA(c->cbx, CB_GETLBTEXT, (WPARAM)idx, (LPARAM)t.data());
  int err = 0;
  mox_strcpy(buf, bufsize, t.data(), &err);
  return err;
}
