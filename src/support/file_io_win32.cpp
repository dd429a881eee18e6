#include "support/file_io_win32.h"

namespace {

HANDLE OpenWithMode(const char* path, DWORD access, DWORD sharing, DWORD disposition) {
  return CreateFileA(path, access, sharing, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

HANDLE OpenForRead(const char* path) {
  return OpenWithMode(path, GENERIC_READ, 0, OPEN_EXISTING);
}

HANDLE OpenForReadShared(const char* path) {
  return OpenWithMode(path, GENERIC_READ, FILE_SHARE_WRITE, OPEN_EXISTING);
}

HANDLE CreateForWrite(const char* path) {
  return OpenWithMode(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
}

HANDLE CreateNewForWrite(const char* path) {
  return OpenWithMode(path, GENERIC_WRITE, 0, CREATE_NEW);
}

int FileExists(const char* path) {
  HANDLE handle = OpenWithMode(path, 0, 0, OPEN_EXISTING);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  CloseHandle(handle);
  return 1;
}

int CloseFile(HANDLE handle) {
  return CloseHandle(handle) ? 1 : 0;
}

DWORD ReadBytes(HANDLE handle, void* buffer, DWORD n) {
  DWORD done = 0;
  if (!ReadFile(handle, buffer, n, &done, nullptr)) return 0;
  return done;
}

DWORD WriteBytes(HANDLE handle, const void* buffer, DWORD n) {
  DWORD done = 0;
  if (!WriteFile(handle, buffer, n, &done, nullptr)) return 0;
  return done;
}

DWORD GetSmallFileSize(HANDLE handle) {
  DWORD high = 0;
  SetLastError(NO_ERROR);
  DWORD low = GetFileSize(handle, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  if (high != 0) return 0;
  return low;
}
