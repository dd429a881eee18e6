#include "expand/file_expansion_win32.h"

#include <cstring>

#include "expand/file_expansion.h"

namespace {

HANDLE g_findHandle = INVALID_HANDLE_VALUE;

void CopyEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  std::memcpy(entry->name, data.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  std::memcpy(entry->shortName, data.cAlternateFileName, sizeof entry->shortName);
  entry->shortName[sizeof entry->shortName - 1] = '\0';
}

int SystemFindFirst(const char* pattern, FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  g_findHandle = FindFirstFileA(pattern, &data);
  if (g_findHandle == INVALID_HANDLE_VALUE) return 0;
  CopyEntry(data, entry);
  return 1;
}

int SystemFindNext(FoundEntry* entry) {
  WIN32_FIND_DATAA data;
  if (g_findHandle == INVALID_HANDLE_VALUE || !FindNextFileA(g_findHandle, &data)) return 0;
  CopyEntry(data, entry);
  return 1;
}

void SystemFindClose() {
  if (g_findHandle != INVALID_HANDLE_VALUE) ::FindClose(g_findHandle);
  g_findHandle = INVALID_HANDLE_VALUE;
}

int SystemEntryExists(const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

constexpr SearchSource kSystemSearch = {SystemFindFirst, SystemFindNext, SystemFindClose,
                                        SystemEntryExists};

}  // namespace

const SearchSource& SystemSearchSource() {
  return kSystemSearch;
}
