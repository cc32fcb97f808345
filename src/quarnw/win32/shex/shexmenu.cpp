#include "quarnw/win32/shex/shexmenu.h"

#include <shellapi.h>

#include <cstdlib>
#include <cstring>

#include "c/path.h"
#include "c/str.h"
#include "c/tcvt.h"
#include "c/win32/reg.h"
#include "err/err.h"
#include "quarnw/win32/shex/shex.h"

namespace {

constexpr char kItemText[] = "Quarn";
constexpr char kHelpText[] = "Finds the selected directories with Quarn";
constexpr char kVendor[] = "moxware";
constexpr char kEnabledVal[] = "shex.enabled";
constexpr char kPathVal[] = "quarnw.path";

constexpr unsigned kFlagSize = 256;
constexpr unsigned kPathSize = 4096;
constexpr unsigned kNameSize = 3 * kPathSize;  // a name of kPathSize characters in UTF-8
constexpr unsigned kListSize = 20480;
constexpr unsigned kCmdSize = 20480;

constexpr int kSysErr = 9001;
constexpr int kMissing = 9002;
constexpr int kParam = 9003;
constexpr int kNoMem = 9004;
constexpr int kCut = 9005;

inline HRESULT items_added(unsigned n) { return MAKE_HRESULT(SEVERITY_SUCCESS, FACILITY_NULL, n); }

inline int last_error() {
  DWORD e = GetLastError();
  return e ? (int)e : kSysErr;
}

// A value of the settings key: the user's key when it exists, else the machine's.
int read_setting(const char* valname, char* buf, unsigned bufsz) {
  buf[0] = 0;
  HKEY key = nullptr;
  int rc = mox_reg_open_key(HKEY_CURRENT_USER, SHEX_CFG_KEY, KEY_QUERY_VALUE, &key, REG_F_QUIET_MISSING);
  if (rc == ERROR_FILE_NOT_FOUND) rc = mox_reg_open_key(HKEY_LOCAL_MACHINE, SHEX_CFG_KEY, KEY_QUERY_VALUE, &key);
  if (rc) return rc;
  rc = mox_reg_query_str(key, valname, buf, bufsz);
  mox_reg_close_key(key);
  return rc;
}

// Explorer's code page is not UTF-8, so the texts handed on are kept in UTF-8 here and
// the program is started with a wide command line: any name arrives as it is.
int wide_to_utf8(const WCHAR* w, char* out, unsigned outsz) {
  if (WideCharToMultiByte(CP_UTF8, 0, w, -1, out, (int)outsz, nullptr, nullptr) > 0) return 0;
  int rc = last_error();
  ERR_LOG(ERR_ERR, rc, "WideCharToMultiByte() failed - size: %u.", outsz);
  *out = 0;
  return rc;
}

int acp_to_utf8(const char* s, char* out, unsigned outsz) {
  WCHAR w[kPathSize];
  if (!MultiByteToWideChar(CP_ACP, 0, s, -1, w, kPathSize)) {
    int rc = last_error();
    ERR_LOG(ERR_ERR, rc, "MultiByteToWideChar() failed - str: `%.64s'.", s);
    return rc;
  }
  return wide_to_utf8(w, out, outsz);
}

// The program file in UTF-8: "quarnw.path" as it stands when it names a directory,
// else in the library's own directory.
int program_file(char* prog, unsigned progsz) {
  char val[kPathSize];
  int rc = read_setting(kPathVal, val, sizeof val);
  if (rc) return rc;
  unsigned dirlen = 0;
  if ((rc = mox_path_split(val, nullptr, &dirlen, nullptr, nullptr, nullptr)) != 0) return rc;
  if (dirlen) return acp_to_utf8(val, prog, progsz);
  char mod[kPathSize], dir[kPathSize], sepdir[kPathSize], file[kPathSize];
  if ((rc = shex_module_name(mod, sizeof mod)) != 0) return rc;
  if ((rc = mox_split_dir_fname(mod, dir, sizeof dir, nullptr, 0)) != 0) return rc;
  mox_path_add_sep(dir, sepdir, sizeof sepdir, &rc);
  if (rc) return rc;
  if ((rc = mox_snprintf(file, sizeof file, "%s%s", sepdir, val)) != 0) {
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kPathSize);
    return rc;
  }
  return acp_to_utf8(file, prog, progsz);
}

// Name i of the drop list, in UTF-8 and quoted, appended to list.
int append_name(HDROP drop, UINT i, WCHAR* wname, char* name, char* quoted, char* list, unsigned listsz) {
  // a name that does not fit would be cut without a word and name another directory
  UINT len = DragQueryFileW(drop, i, nullptr, 0);
  if (len >= kPathSize) {
    ERR_LOG(ERR_ERR, kCut, "DragQueryFile() failed - index: %u, len: %u, size: %u.", i, len, kPathSize);
    return kCut;
  }
  if (!DragQueryFileW(drop, i, wname, kPathSize)) {
    int rc = last_error();
    ERR_LOG(ERR_ERR, rc, "DragQueryFile() failed - index: %u.", i);
    return rc;
  }
  int rc = wide_to_utf8(wname, name, kNameSize);
  if (rc) return rc;
  mox_quote_path(name, quoted, kNameSize + 2, &rc);
  if (rc) return rc;
  if (i) mox_strcat(list, listsz, " ", &rc);
  if (!rc) mox_strcat(list, listsz, quoted, &rc);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_strcat() failed - size: %u, name: `%.64s'.", listsz, quoted);
  return rc;
}

// The dropped names of the locked list in UTF-8, quoted and separated by blanks.
int append_names(HDROP drop, char* list, unsigned listsz) {
  UINT n = DragQueryFileW(drop, 0xFFFFFFFFu, nullptr, 0);
  // off the shell thread's stack, as the list itself
  struct scratch {
    WCHAR wname[kPathSize];
    char name[kNameSize], quoted[kNameSize + 2];
  };
  scratch* sc = (scratch*)malloc(sizeof(scratch));
  if (!sc) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)sizeof(scratch));
    return kNoMem;
  }
  int rc = 0;
  for (UINT i = 0; i < n && !rc; ++i) rc = append_name(drop, i, sc->wname, sc->name, sc->quoted, list, listsz);
  free(sc);
  return rc;
}

// The selection of the data object as one argument list.
int selection_list(IDataObject* dtobj, char* list, unsigned listsz) {
  list[0] = 0;
  if (!dtobj) {
    ERR_LOG(ERR_ERR, kMissing, "`dtobj' is NUL.");
    return kMissing;
  }
  FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM stm = {};
  if (FAILED(dtobj->GetData(&fe, &stm)) || stm.tymed != TYMED_HGLOBAL) {
    if (stm.tymed != TYMED_NULL) ReleaseStgMedium(&stm);
    ERR_LOG(ERR_ERR, kMissing, "GetData() failed.");
    return kMissing;
  }
  int rc = 0;
  if (!GlobalLock(stm.hGlobal)) {
    rc = last_error();
    ERR_LOG(ERR_ERR, rc, "GlobalLock() failed - stm.hGlobal: %p.", (void*)stm.hGlobal);
  } else {
    rc = append_names((HDROP)stm.hGlobal, list, listsz);
    SetLastError(NO_ERROR);
    if (!GlobalUnlock(stm.hGlobal)) {
      DWORD e = GetLastError();
      if (e != NO_ERROR) ERR_LOG(ERR_ERR, (int)e, "GlobalUnlock() failed - stm.hGlobal: %p.", (void*)stm.hGlobal);
    }
  }
  ReleaseStgMedium(&stm);
  if (rc) list[0] = 0;
  return rc;
}

int start_program(const char* cmdln) {
  const int wsize = (int)kCmdSize + 1;
  WCHAR* wcmdln = (WCHAR*)malloc(wsize * sizeof(WCHAR));
  if (!wcmdln) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", (unsigned)(wsize * sizeof(WCHAR)));
    return kNoMem;
  }
  if (!MultiByteToWideChar(CP_UTF8, 0, cmdln, -1, wcmdln, wsize)) {
    int rc = last_error();
    ERR_LOG(ERR_ERR, rc, "MultiByteToWideChar() failed - cmdln: `%.1024s'.", cmdln);
    free(wcmdln);
    return rc;
  }
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  BOOL started = CreateProcessW(nullptr, wcmdln, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  int rc = started ? 0 : last_error();
  free(wcmdln);
  if (!started) {
    ERR_LOG(ERR_ERR, rc, "CreateProcess() failed - cmdln: `%.1024s'.", cmdln);
    return rc;
  }
  // the program runs on its own; nothing waits for it
  if (!CloseHandle(pi.hThread)) ERR_LOG(ERR_ERR, last_error(), "CloseHandle() failed - pi.hThread: %p.", pi.hThread);
  if (!CloseHandle(pi.hProcess))
    ERR_LOG(ERR_ERR, last_error(), "CloseHandle() failed - pi.hProcess: %p.", pi.hProcess);
  return 0;
}

int run_program(IDataObject* dtobj) {
  char prog[kNameSize], qprog[kNameSize + 2];
  int rc = program_file(prog, sizeof prog);
  if (rc) return rc;
  // the two large texts stay off the shell thread's stack
  char* list = (char*)malloc(kListSize + kCmdSize);
  if (!list) {
    ERR_LOG(ERR_ERR, kNoMem, "size: %u.", kListSize + kCmdSize);
    return kNoMem;
  }
  char* cmdln = list + kListSize;
  if ((rc = selection_list(dtobj, list, kListSize)) == 0) {
    mox_quote_path(prog, qprog, sizeof qprog, &rc);
    if (rc) ERR_LOG(ERR_ERR, rc, "mox_quote_path() failed - size: %u.", kNameSize);
  }
  // the started program's own log expands the macros
  if (rc == 0 &&
      (rc = mox_snprintf(cmdln, kCmdSize, "%s %s -errout:$(LOCALAPPDATA)\\%s\\$(app).err", qprog, list, kVendor)))
    ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kCmdSize);
  if (rc == 0) rc = start_program(cmdln);
  free(list);
  return rc;
}

}  // namespace

ShExCtxMenu::~ShExCtxMenu() {
  if (dtobj_) dtobj_->Release();
}

HRESULT STDMETHODCALLTYPE ShExCtxMenu::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IShellExtInit)) {
    *ppv = static_cast<IShellExtInit*>(this);
  } else if (IsEqualIID(riid, IID_IContextMenu)) {
    *ppv = static_cast<IContextMenu*>(this);
  } else {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ShExCtxMenu::Initialize(PCIDLIST_ABSOLUTE, IDataObject* dtobj, HKEY) {
  // the new one first: the shell may hand the same object again
  if (dtobj) dtobj->AddRef();
  if (dtobj_) dtobj_->Release();
  dtobj_ = dtobj;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ShExCtxMenu::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) {
  char flag[kFlagSize];
  if (read_setting(kEnabledVal, flag, sizeof flag) || !tcvt_str_to_bool(flag)) return E_FAIL;
  // no id left to give the entry
  if ((flags & CMF_DEFAULTONLY) || first > last) return items_added(0);
  MENUITEMINFOA mi = {};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
  mi.fType = MFT_STRING;
  mi.fState = MFS_ENABLED;
  mi.wID = first;
  mi.dwTypeData = const_cast<char*>(kItemText);
  SetLastError(NO_ERROR);
  if (!InsertMenuItemA(menu, index, TRUE, &mi)) {
    ERR_LOG(ERR_ERR, last_error(), "InsertMenuItem() failed.");
    return E_FAIL;
  }
  return items_added(1);
}

HRESULT STDMETHODCALLTYPE ShExCtxMenu::GetCommandString(UINT_PTR, UINT type, UINT*, CHAR* buf, UINT size) {
  if (type != GCS_HELPTEXTA) return S_OK;
  int rc = 0;
  mox_strcpy(buf, size, kHelpText, &rc);
  if (rc) {
    ERR_LOG(ERR_ERR, rc, "mox_strcpy() failed - buf: %p, size: %u.", (void*)buf, size);
    return E_FAIL;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ShExCtxMenu::InvokeCommand(CMINVOKECOMMANDINFO* info) {
  if (!info) {
    ERR_LOG(ERR_ERR, kParam, "`info' is NUL.");
    return E_FAIL;
  }
  // ours is the entry at offset 0; a verb text belongs to another handler
  if (!IS_INTRESOURCE(info->lpVerb) || LOWORD((ULONG_PTR)info->lpVerb) != 0) return E_FAIL;
  return run_program(dtobj_) ? E_FAIL : S_OK;
}
