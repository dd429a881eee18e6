#include "expand/target_check_win32.h"

#include "expand/file_expansion_win32.h"

namespace {

int LongFolder(const char* folder, char* out) {
  const DWORD length = GetLongPathNameA(folder, out, kRowTextSize);
  if (length == 0 || length >= kRowTextSize) return 0;
  const DWORD attributes = GetFileAttributesA(out);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void WorkingFolder(char* out) {
  const DWORD length = GetCurrentDirectoryA(kRowTextSize, out);
  if (length == 0 || length >= kRowTextSize) out[0] = '\0';
}

}  // namespace

TargetPlatform SystemTargetPlatform(HANDLE* find) {
  return TargetPlatform{SystemSearchSource(find), LongFolder, WorkingFolder};
}
