// Files dropped on the Path combo box.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "c/str.h"
#include "err/err.h"
#include "fm/ffiltcmd.h"
#include "fm/win32/fpathcbx.h"

namespace {

constexpr int kParam = 9003;
constexpr UINT_PTR kSubclassId = 0x7061;  // one subclass per box

int is_dir(const char* path, void*) {
  const DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

LRESULT CALLBACK drop_proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
  if (msg == WM_DROPFILES) {
    auto h = reinterpret_cast<HDROP>(wp);
    fpathcbx_drop(reinterpret_cast<fpathcbx*>(data), h, GetKeyState(VK_CONTROL) < 0);
    DragFinish(h);
    return 0;
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(wnd, drop_proc, kSubclassId);
  return DefSubclassProc(wnd, msg, wp, lp);
}

}  // namespace

int fpathcbx_drop(fpathcbx* c, HDROP h, int append) {
  if (!c || !c->cbx || !h) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fpathcbx: %p, hdrop: %p.", (void*)c, (void*)h);
    return kParam;
  }
  const UINT n = DragQueryFileA(h, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::string> names;
  for (UINT i = 0; i < n; ++i) {
    std::string f(DragQueryFileA(h, i, nullptr, 0) + 1, '\0');
    f.resize(DragQueryFileA(h, i, &f[0], (UINT)f.size()));
    names.push_back(f);
  }
  std::vector<const char*> files;
  for (const std::string& s : names) files.push_back(s.c_str());
  std::string cur(GetWindowTextLengthA(c->cbx) + 1, '\0');
  cur.resize(GetWindowTextA(c->cbx, &cur[0], (int)cur.size()));

  std::vector<char> text(FFILT_CMDSIZE);
  int rc = ffilt_drop_text(cur.c_str(), files.data(), (unsigned)files.size(), is_dir, nullptr, c->ignorecase, append,
                           text.data(), (unsigned)text.size());
  if (rc) return rc;
  if (!SetWindowTextA(c->cbx, text.data())) {
    rc = (int)GetLastError();
    ERR_LOG(ERR_ERR, rc ? rc : 9001, "SetWindowText() failed - ctrl: %p, path: `%.50s'.", (void*)c->cbx, text.data());
    return rc ? rc : 9001;
  }
  const int len = (int)strlen(text.data());
  SendMessageA(c->cbx, CB_SETEDITSEL, 0, MAKELPARAM(len, len));
  HWND parent = GetParent(c->cbx);
  const int id = GetDlgCtrlID(c->cbx);
  if (parent && !PostMessageA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), (LPARAM)c->cbx)) {
    rc = (int)GetLastError();
    ERR_LOG(ERR_ERR, rc ? rc : 9001, "PostMessage() failed - parent: %p, id: %d, ctrl: %p.", (void*)parent, id,
            (void*)c->cbx);
    return rc ? rc : 9001;
  }
  return 0;
}

int fpathcbx_accept_drops(fpathcbx* c) {
  if (!c || !c->cbx) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - fpathcbx: %p.", (void*)c);
    return kParam;
  }
  if (!SetWindowSubclass(c->cbx, drop_proc, kSubclassId, reinterpret_cast<DWORD_PTR>(c))) {
    ERR_LOG(ERR_ERR, 9001, "SetWindowSubclass() failed - ctrl: %p.", (void*)c->cbx);
    return 9001;
  }
  DragAcceptFiles(c->cbx, TRUE);
  return 0;
}
