// Files far larger than their contents, for tests of the 4 GiB size limit:
// the bytes after the head are a hole that takes no disk space. Windows only.
#pragma once

#include <windows.h>
#include <winioctl.h>

#include <string>

// Creates `path` holding `head` and then zero bytes up to `size` bytes in all.
inline bool MakeSparseFile(const std::string& path, const std::string& head, LONGLONG size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD unused = 0;
  // Where the file system knows no holes the file is merely long.
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &unused, nullptr);
  DWORD written = 0;
  LARGE_INTEGER end{};
  end.QuadPart = size;
  bool ok = WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written, nullptr) &&
            written == head.size() && SetFilePointerEx(file, end, nullptr, FILE_BEGIN) &&
            SetEndOfFile(file);
  CloseHandle(file);
  if (!ok) DeleteFileA(path.c_str());
  return ok;
}
