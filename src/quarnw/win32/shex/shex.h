// The shell extension's module: its class identifier, the count of live objects and
// server locks that decides unloading, and what the objects need of the module.
#pragma once

#include <windows.h>

// The one place of the class identifier: the 16-byte form is derived from this text.
constexpr char SHEX_CLSID_TEXT[] = "{6B5F172F-DE45-425A-8EFA-C6E2A72A1BA1}";

constexpr int shex_hex_digit(char c) {
  return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
constexpr bool shex_guid_text_ok(const char* s) {
  for (int i = 0; i < 38; ++i) {
    bool dash = i == 9 || i == 14 || i == 19 || i == 24;
    if (i == 0 ? s[i] != '{' : i == 37 ? s[i] != '}' : dash ? s[i] != '-' : shex_hex_digit(s[i]) < 0) return false;
  }
  return s[38] == 0;
}

constexpr unsigned long shex_hex_at(const char* s, int pos, int digits) {
  unsigned long v = 0;
  for (int i = 0; i < digits; ++i) v = v << 4 | (unsigned long)shex_hex_digit(s[pos + i]);
  return v;
}

constexpr GUID shex_guid_from_text(const char* s) {
  GUID g{};
  g.Data1 = shex_hex_at(s, 1, 8);
  g.Data2 = (unsigned short)shex_hex_at(s, 10, 4);
  g.Data3 = (unsigned short)shex_hex_at(s, 15, 4);
  constexpr int pos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) g.Data4[i] = (unsigned char)shex_hex_at(s, pos[i], 2);
  return g;
}

static_assert(shex_guid_text_ok(SHEX_CLSID_TEXT), "class identifier text malformed");
inline constexpr GUID SHEX_CLSID = shex_guid_from_text(SHEX_CLSID_TEXT);

// Live objects and server locks, interlocked.
void shex_count_up();
void shex_count_down();

// AddRef and Release of the module's objects; each object alive counts towards unloading.
template <class... Ifaces>
class ShExUnknown : public Ifaces... {
 public:
  ShExUnknown(const ShExUnknown&) = delete;
  ShExUnknown& operator=(const ShExUnknown&) = delete;

  ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return (ULONG)n;
  }

 protected:
  ShExUnknown() { shex_count_up(); }
  virtual ~ShExUnknown() { shex_count_down(); }  // through Release only

 private:
  LONG refs_ = 1;
};

// The library's instance, kept from process attach to detach.
HINSTANCE shex_instance();
// The library's own file name, 4096 characters at most; 0 or the system's code (logged).
int shex_module_name(char* buf, unsigned bufsz);
