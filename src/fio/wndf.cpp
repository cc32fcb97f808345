#include "fio/wndf.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "c/str.h"
#include "err/err.h"

namespace {

constexpr int kParam = 9003;

// The window's device context, released whatever way the caller leaves.
struct DcGuard {
  HWND wnd;
  HDC dc;
  ~DcGuard() {
    if (dc) ReleaseDC(wnd, dc);
  }
};

int sys_code() {
  DWORD e = GetLastError();
  return e ? (int)e : 9001;
}

int wndf_conv(HWND wnd, const char* str, int* value, bool xaxis) {
  if (!str || !value) {
    ERR_LOG(ERR_ERR, kParam, "Invalid param - wnd: %p, str: `%s', value: %p.", (void*)wnd, mox_nul(str),
            (void*)value);
    return kParam;
  }
  if (!isdigit((unsigned char)*str)) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `str' [%s].", str);
    return kParam;
  }
  errno = 0;
  char* e = nullptr;
  unsigned long n = strtoul(str, &e, 10);
  if (errno == ERANGE || n > INT_MAX) {
    ERR_LOG(ERR_ERR, kParam, "Invalid `str' [%s].", str);
    return kParam;
  }
  if (n == 0) {
    *value = 0;
    return 0;
  }
  char unit = 'L';
  if (*e && !isspace((unsigned char)*e)) unit = (char)toupper((unsigned char)*e);
  if (unit != 'C' && unit != 'L' && unit != 'P') {
    ERR_LOG(ERR_ERR, kParam, "Invalid `str' [%s].", str);
    return kParam;
  }
  if (unit == 'P') {
    *value = (int)n;
    return 0;
  }
  DcGuard g{wnd, GetDC(wnd)};
  if (!g.dc) {
    int rc = sys_code();
    ERR_LOG(ERR_ERR, rc, "GetDC() failed - wnd: %p.", (void*)wnd);
    return rc;
  }
  long long px;
  if (unit == 'C') {
    TEXTMETRICA tm;
    if (!GetTextMetricsA(g.dc, &tm)) {
      int rc = sys_code();
      ERR_LOG(ERR_ERR, rc, "GetTextMetrics() failed - dc: %p.", (void*)g.dc);
      return rc;
    }
    px = (long long)n * (xaxis ? tm.tmAveCharWidth : tm.tmHeight);
  } else {
    POINT pt = {xaxis ? (LONG)n : 0, xaxis ? 0 : (LONG)n};
    if (!LPtoDP(g.dc, &pt, 1)) {
      int rc = sys_code();
      if (xaxis)
        ERR_LOG(ERR_ERR, rc, "LPtoDP() failed - dc: %p, x: %ld.", (void*)g.dc, (long)n);
      else
        ERR_LOG(ERR_ERR, rc, "LPtoDP() failed - dc: %p, y: %ld.", (void*)g.dc, (long)n);
      return rc;
    }
    px = xaxis ? pt.x : pt.y;
  }
  if (px > INT_MAX || px < INT_MIN) {
    ERR_LOG(ERR_ERR, 9009, "Window unit out of range [%s] - wnd: %p.", str, (void*)wnd);
    return 9009;
  }
  *value = (int)px;
  return 0;
}

}  // namespace

int wndf_x(HWND wnd, const char* str, int* value) { return wndf_conv(wnd, str, value, true); }

int wndf_y(HWND wnd, const char* str, int* value) { return wndf_conv(wnd, str, value, false); }
