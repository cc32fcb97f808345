// Entry points of the in-process server: attach and detach, the class object, the
// unload test, and the registration of the handler for directories and drives.
#include "quarnw/win32/shex/shex.h"

#include <olectl.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "c/arg.h"
#include "c/cmdfile.h"
#include "c/path.h"
#include "c/str.h"
#include "c/ver.h"
#include "c/win32/reg.h"
#include "err/err.h"
#include "quarnw/win32/shex/shexcf.h"

namespace {

constexpr unsigned kPathSize = 4096;
constexpr unsigned kKeySize = 4096;
constexpr unsigned kVerSize = 256;
constexpr int kEnd = 9016;

constexpr char kDefOpts[] = "-errout:$(LOCALAPPDATA)\\$(app).err";
constexpr char kClassName[] = "Quarn Shell Extension";

HINSTANCE s_inst = nullptr;
volatile LONG s_count = 0;

const char* ver_nvp(char* buf, unsigned bufsz) { return ver_text(&app_ver, "nvp", nullptr, buf, bufsz, nullptr); }

// The first logical line of the argument file beside the library, or nothing.
int read_arg_line(const char* path, cmdf* cf, const char** line) {
  *line = "";
  char dir[kPathSize], fname[kPathSize], argfile[kPathSize];
  int rc = mox_split_dir_fname_ext(path, dir, sizeof dir, fname, sizeof fname, nullptr, 0);
  if (rc == 0) rc = mox_snprintf(argfile, sizeof argfile, "%s%s.arg", dir, fname);
  if (rc) return rc;
  DWORD at = GetFileAttributesA(argfile);
  if (at == INVALID_FILE_ATTRIBUTES || (at & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  if ((rc = cmdf_init(cf, argfile)) != 0) return rc;
  const char* l = cmdf_next(cf, &rc);
  if (l) *line = l;
  return rc == kEnd ? 0 : rc;
}

// The library's words: its own path (quoted, it may hold blanks), then the argument line.
int build_args(const char* path, arg* a) {
  cmdf cf;
  cmdf_clear(&cf);
  const char* line = nullptr;
  int rc = read_arg_line(path, &cf, &line);
  char qpath[kPathSize + 2];
  if (rc == 0) mox_quote_path(path, qpath, sizeof qpath, &rc);
  char* text = nullptr;
  unsigned size = 0;
  if (rc == 0) {
    size = (unsigned)(strlen(qpath) + strlen(line) + 2);
    if (!(text = (char*)malloc(size))) rc = 9004;
  }
  if (rc == 0) rc = mox_snprintf(text, size, "%s %s", qpath, line);
  // every word fits a buffer as long as the whole text
  if (rc == 0) rc = arg_init(a, 0, nullptr, size, 0);
  if (rc == 0) rc = arg_split(a, text);
  free(text);
  cmdf_free(&cf);
  return rc;
}

bool attach(HINSTANCE inst) {
  char path[kPathSize];
  DWORD n = GetModuleFileNameA(inst, path, sizeof path);
  if (!n || n >= sizeof path) return false;
  arg a;
  arg_clear(&a);
  if (build_args(path, &a)) {
    arg_free(&a);
    return false;
  }
  err_init(a.argc, a.argv, kDefOpts, inst, nullptr, nullptr);
  arg_free(&a);
  char ver[kVerSize];
  ERR_LOG(ERR_DBG, 0, "%s DLL attach [%p].", ver_nvp(ver, sizeof ver), (void*)inst);
  s_inst = inst;
  DisableThreadLibraryCalls(inst);
  return true;
}

void detach() {
  char ver[kVerSize];
  ERR_LOG(ERR_DBG, 0, "%s DLL detach [%p].", ver_nvp(ver, sizeof ver), (void*)s_inst);
  s_inst = nullptr;
  err_free();
}

// A registry key name from a format with one text.
bool key_name(char* buf, const char* format, const char* text) {
  int rc = mox_snprintf(buf, kKeySize, format, text);
  if (rc) ERR_LOG(ERR_ERR, rc, "mox_snprintf() failed - size: %u.", kKeySize);
  return rc == 0;
}

constexpr char kClassKey[] = "CLSID\\%s";
constexpr char kServerKey[] = "CLSID\\%s\\InprocServer32";
constexpr char kHandlerKey[] = "%s\\shellex\\ContextMenuHandlers\\quarnw";
constexpr const char* kHandlerTypes[] = {"Directory", "Drive"};

}  // namespace

void shex_count_up() { InterlockedIncrement(&s_count); }

void shex_count_down() { InterlockedDecrement(&s_count); }

HINSTANCE shex_instance() { return s_inst; }

int shex_module_name(char* buf, unsigned bufsz) {
  if (!buf || !bufsz) {
    ERR_LOG(ERR_ERR, 9003, "Invalid param - buf: %p, bufsz: %u.", (void*)buf, bufsz);
    return 9003;
  }
  SetLastError(NO_ERROR);
  DWORD n = GetModuleFileNameA(s_inst, buf, bufsz);
  // a cut name still succeeds; it must not be taken for the file
  if (!n || n >= bufsz) {
    DWORD e = GetLastError();
    int rc = e ? (int)e : ERROR_INSUFFICIENT_BUFFER;
    ERR_LOG(ERR_ERR, rc, "GetModuleFileName() failed - s_inst: %p.", (void*)s_inst);
    buf[0] = 0;
    return rc;
  }
  return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE inst, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) return attach(inst);
  if (reason == DLL_PROCESS_DETACH) detach();
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, SHEX_CLSID)) return CLASS_E_CLASSNOTAVAILABLE;
  ShExCFactory* cf = new (std::nothrow) ShExCFactory();
  if (!cf) {
    ERR_LOG(ERR_ERR, 9004, "new ShExCFactory() failed.");
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  HRESULT hr = cf->QueryInterface(riid, ppv);
  cf->Release();
  return hr;
}

STDAPI DllCanUnloadNow() { return InterlockedCompareExchange(&s_count, 0, 0) == 0 ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
  char ver[kVerSize];
  ERR_LOG(ERR_INFO, 0, "%s register server.", ver_nvp(ver, sizeof ver));
  char mod[kPathSize];
  if (shex_module_name(mod, sizeof mod)) return SELFREG_E_CLASS;
  struct Entry {
    const char* format;
    const char* text;
    const char* valname;
    const char* value;
  };
  const Entry entries[] = {
      {kClassKey, SHEX_CLSID_TEXT, nullptr, kClassName},
      {kServerKey, SHEX_CLSID_TEXT, nullptr, mod},
      {kServerKey, SHEX_CLSID_TEXT, "ThreadingModel", "Apartment"},
      {kHandlerKey, kHandlerTypes[0], nullptr, SHEX_CLSID_TEXT},
      {kHandlerKey, kHandlerTypes[1], nullptr, SHEX_CLSID_TEXT},
  };
  char key[kKeySize];
  for (const Entry& e : entries) {
    if (!key_name(key, e.format, e.text)) return SELFREG_E_CLASS;
    if (mox_reg_set_str(HKEY_CLASSES_ROOT, key, e.valname, e.value)) return SELFREG_E_CLASS;
  }
  return S_OK;
}

STDAPI DllUnregisterServer() {
  char ver[kVerSize];
  ERR_LOG(ERR_INFO, 0, "%s unregister server.", ver_nvp(ver, sizeof ver));
  char key[kKeySize];
  // the subkey before its parent: a key with subkeys cannot be deleted
  for (const char* format : {kServerKey, kClassKey}) {
    if (!key_name(key, format, SHEX_CLSID_TEXT)) return SELFREG_E_CLASS;
    if (int rc = mox_reg_del_key(HKEY_CLASSES_ROOT, key))
      ERR_LOG(ERR_NOTICE, rc, "mox_reg_del_key() failed - subkey: `%s'.", key);
  }
  for (const char* type : kHandlerTypes) {
    if (!key_name(key, kHandlerKey, type)) return SELFREG_E_CLASS;
    if (int rc = mox_reg_del_key(HKEY_CLASSES_ROOT, key))
      ERR_LOG(ERR_NOTICE, rc, "mox_reg_del_key() failed - isubkey: `%s'.", key);
  }
  return S_OK;
}
