#include "fm/win32/fcmdcbx.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "c/str.h"
#include "err/err.h"

namespace {
constexpr int kParam = 9003;
}  // namespace

int fcmdcbx_init(fcmdcbx* c, HWND cbx, fcmdlist* l, int order, int ignorecase) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fcmdcbx' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  if (!cbx || !l || (order != FCMDCBX_HIST && order != FCMDCBX_ABC)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - ctrl: %p, cmdlist: %p, order: %d.", (void*)cbx, (void*)l, order);
    return kParam;
  }
  c->cbx = cbx;
  c->l = l;
  c->order = order;
  c->ignorecase = ignorecase;
  return 0;
}

int fcmdcbx_free(fcmdcbx* c) {
  if (!c) {
    ERR_LOG(ERR_ERR, kParam, "`fcmdcbx' is NUL.");
    return kParam;
  }
  memset(c, 0, sizeof *c);
  return 0;
}

int fcmdcbx_refill(fcmdcbx* c) {
  if (!c || !c->cbx || !c->l) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fcmdcbx: %p.", (void*)c);
    return kParam;
  }
  std::vector<const char*> cmds(c->l->cmds, c->l->cmds + c->l->n);
  if (c->order == FCMDCBX_ABC) {
    int (*cmp)(const char*, const char*) = c->ignorecase ? _stricmp : strcmp;
    std::stable_sort(cmds.begin(), cmds.end(), [cmp](const char* a, const char* b) { return cmp(a, b) < 0; });
  }
  SendMessageA(c->cbx, CB_RESETCONTENT, 0, 0);
  for (const char* s : cmds) {
    const LRESULT idx = SendMessageA(c->cbx, CB_ADDSTRING, 0, (LPARAM)s);
    if (idx == CB_ERR || idx == CB_ERRSPACE) {
      ERR_LOG(ERR_ERR, 9001, "CB_ADDSTRING failed - ctrl: %p, cmd: `%s'.", (void*)c->cbx, s);
      return 9001;
    }
    if (SendMessageA(c->cbx, CB_SETITEMDATA, (WPARAM)idx, (LPARAM)s) == CB_ERR) {
      ERR_LOG(ERR_ERR, 9001, "CB_SETITEMDATA failed - ctrl: %p, idx: %u, cmd: `%s'.", (void*)c->cbx, (unsigned)idx, s);
      return 9001;
    }
  }
  return 0;
}

int fcmdcbx_sel_text(const fcmdcbx* c, char* buf, unsigned bufsize) {
  if (!c || !c->cbx || !buf || !bufsize) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fcmdcbx: %p, buf: %p, bufsize: %u.", (const void*)c, (void*)buf,
            bufsize);
    return kParam;
  }
  *buf = 0;
  const LRESULT idx = SendMessageA(c->cbx, CB_GETCURSEL, 0, 0);
  if (idx == CB_ERR) return 9006;
  const LRESULT data = SendMessageA(c->cbx, CB_GETITEMDATA, (WPARAM)idx, 0);
  if (data == CB_ERR || !data) {
    ERR_LOG(ERR_ERR, 9006, "No `cmd' - ctrl: %p, idx: %u.", (void*)c->cbx, (unsigned)idx);
    return 9006;
  }
  int rc = 0;
  mox_strcpy(buf, bufsize, reinterpret_cast<const char*>(data), &rc);
  return rc;
}
