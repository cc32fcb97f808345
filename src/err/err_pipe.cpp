// Monitor pipe client. Its failures are the log's own, so they go out as internal
// error lines and never through the pipe again.
#include "err/err_pipe.h"

#include <windows.h>

#include "err/err.h"

void errpipe_clear(errpipe* pipe) {
  if (pipe) pipe->h = INVALID_HANDLE_VALUE;
}

bool errpipe_is_open(const errpipe* pipe) {
  return pipe && pipe->h && pipe->h != INVALID_HANDLE_VALUE;
}

int errpipe_connect(errpipe* pipe, const char* name, unsigned long waittimeout) {
  if (!pipe || !name || !*name) return ERR_E_PARAM;
  errpipe_clear(pipe);
  for (;;) {
    HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      DWORD mode = PIPE_READMODE_MESSAGE;
      if (!SetNamedPipeHandleState(h, &mode, nullptr, nullptr)) {
        DWORD e = GetLastError();
        err_internal((int)e, __FILE__, __LINE__, "SetNamedPipeHandleState() failed [%s].", name);
        CloseHandle(h);
        return (int)e;
      }
      pipe->h = h;
      return 0;
    }
    DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND) return (int)e;  // no monitor running: normal
    if (e != ERROR_PIPE_BUSY) {
      err_internal((int)e, __FILE__, __LINE__, "CreateFile() failed [%s].", name);
      return (int)e;
    }
    // every instance serves another client; wait for one to come free, then race for it
    if (!WaitNamedPipeA(name, waittimeout)) {
      e = GetLastError();
      err_internal((int)e, __FILE__, __LINE__, "WaitNamedPipe() failed - pipename: `%s', waittimeout: %ul.", name,
                   (unsigned)waittimeout);
      return (int)e;
    }
  }
}

int errpipe_write(errpipe* pipe, const void* data, unsigned long size) {
  if (!errpipe_is_open(pipe) || (!data && size)) return ERR_E_PARAM;
  DWORD written = 0;
  if (WriteFile(pipe->h, data, size, &written, nullptr) && written == size) return 0;
  DWORD e = GetLastError();
  if (!e) e = ERROR_WRITE_FAULT;  // a short write leaves no error of its own
  err_internal((int)e, __FILE__, __LINE__, "WriteFile() failed [%p].", pipe->h);
  errpipe_close(pipe);
  return (int)e;
}

void errpipe_close(errpipe* pipe) {
  if (!errpipe_is_open(pipe)) return;
  if (!CloseHandle(pipe->h)) err_internal((int)GetLastError(), __FILE__, __LINE__, "CloseHandle() failed.");
  errpipe_clear(pipe);
}
