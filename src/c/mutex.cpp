// Mutex record over a Win32 mutex.
#include "c/mutex.h"

#include <windows.h>

#include "err/err.h"

int mutex_init(mutex* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`mutex' is NUL.");
    return 9003;
  }
  if (m->h) {
    ERR_LOG(ERR_ERR, 9007, "Mutex already created - mutex[%p]: %p.", (void*)m, m->h);
    return 9007;
  }
  SetLastError(0);
  HANDLE h = CreateMutexA(nullptr, FALSE, nullptr);
  DWORD e = GetLastError();
  if (!h) {
    if (!e) e = 9001;
    ERR_LOG(ERR_ERR, (int)e, "CreateMutex() failed [%p].", (void*)m);
    return (int)e;
  }
  m->h = h;
  if (e) {
    ERR_LOG(ERR_ERR, (int)e, "CreateMutex() error - mutex[%p]: %p.", (void*)m, m->h);
    return (int)e;
  }
  return 0;
}

int mutex_free(mutex* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`mutex' is NUL.");
    return 9003;
  }
  if (m->h && !CloseHandle(m->h)) {
    DWORD e = GetLastError();
    ERR_LOG(ERR_ERR, (int)e, "CloseHandle() failed - mutex[%p]: %p.", (void*)m, m->h);
    return e ? (int)e : 9001;
  }
  m->h = nullptr;
  return 0;
}

void mutex_clear(mutex* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`mutex' is NUL.");
    return;
  }
  m->h = nullptr;
}

int mutex_lock(mutex* m, unsigned long timeout) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`mutex' is NUL.");
    return 9003;
  }
  switch (WaitForSingleObject(m->h, timeout)) {
    case WAIT_OBJECT_0:
      return 0;
    case WAIT_ABANDONED:
      // we own it now; what the dead owner guarded may be half done
      ERR_LOG(ERR_WARN, ERROR_ABANDONED_WAIT_0, "Abandoned mutex - mutex[%p]: %p.", (void*)m, m->h);
      return 0;
    case WAIT_TIMEOUT:
      ERR_LOG(ERR_WARN, 9011, "Mutex timeout - mutex[%p]: %p.", (void*)m, m->h);
      return 9011;
    default: {
      DWORD e = GetLastError();
      if (!e) e = 9001;
      ERR_LOG(ERR_ERR, (int)e, "Mutex lock failed - mutex[%p]: %p.", (void*)m, m->h);
      return (int)e;
    }
  }
}

int mutex_unlock(mutex* m) {
  if (!m) {
    ERR_LOG(ERR_ERR, 9003, "`mutex' is NUL.");
    return 9003;
  }
  if (!ReleaseMutex(m->h)) {
    DWORD e = GetLastError();
    if (!e) e = 9001;
    ERR_LOG(ERR_ERR, (int)e, "ReleseMutex() failed - mutex[%p]: %p.", (void*)m, m->h);
    return (int)e;
  }
  return 0;
}
