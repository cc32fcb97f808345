#include "fm/win32/ftsys.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>

namespace {
int last_error() {
  const DWORD e = GetLastError();
  return e ? (int)e : 9001;
}
}  // namespace

int ftsys_attr(const char* path, unsigned* attr) {
  const DWORD a = GetFileAttributesA(path);
  if (a == INVALID_FILE_ATTRIBUTES) return last_error();
  if (attr) *attr = a;
  return 0;
}

int ftsys_set_attr(const char* path, unsigned attr) {
  return SetFileAttributesA(path, attr ? attr : FILE_ATTRIBUTE_NORMAL) ? 0 : last_error();
}

int ftsys_copy(const char* src, const char* dst) { return CopyFileA(src, dst, FALSE) ? 0 : last_error(); }

int ftsys_move(const char* src, const char* dst) {
  return MoveFileExA(src, dst, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) ? 0 : last_error();
}

int ftsys_delete(const char* path) { return DeleteFileA(path) ? 0 : last_error(); }

int ftsys_rmdir(const char* path) { return RemoveDirectoryA(path) ? 0 : last_error(); }

int ftsys_mkdir(const char* path) { return CreateDirectoryA(path, nullptr) ? 0 : last_error(); }

int ftsys_recycle(const char* path, int confirm, int* aborted) {
  const size_t n = strlen(path);
  // the shell reads a list of names ended by an empty one
  char* from = static_cast<char*>(calloc(n + 2, 1));
  if (!from) return 9004;
  memcpy(from, path, n);
  SHFILEOPSTRUCTA op{};
  op.hwnd = nullptr;
  op.wFunc = FO_DELETE;
  op.pFrom = from;
  op.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_NOERRORUI;
  if (!confirm) op.fFlags |= FOF_NOCONFIRMATION;
  const int rc = SHFileOperationA(&op);
  free(from);
  if (aborted) *aborted = op.fAnyOperationsAborted ? 1 : 0;
  return rc;
}
