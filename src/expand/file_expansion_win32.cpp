#include "expand/file_expansion_win32.h"

#include <cstring>

namespace {

void CopyEntry(const WIN32_FIND_DATAA& data, FoundEntry* entry) {
  entry->attributes = data.dwFileAttributes;
  std::memcpy(entry->name, data.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  std::memcpy(entry->shortName, data.cAlternateFileName, sizeof entry->shortName);
  entry->shortName[sizeof entry->shortName - 1] = '\0';
}

int SystemFindFirst(void* self, const char* pattern, FoundEntry* entry) {
  HANDLE* find = static_cast<HANDLE*>(self);
  WIN32_FIND_DATAA data;
  *find = FindFirstFileA(pattern, &data);
  if (*find == INVALID_HANDLE_VALUE) return 0;
  CopyEntry(data, entry);
  return 1;
}

int SystemFindNext(void* self, FoundEntry* entry) {
  HANDLE find = *static_cast<HANDLE*>(self);
  WIN32_FIND_DATAA data;
  if (find == INVALID_HANDLE_VALUE || !FindNextFileA(find, &data)) return 0;
  CopyEntry(data, entry);
  return 1;
}

void SystemFindClose(void* self) {
  HANDLE* find = static_cast<HANDLE*>(self);
  if (*find != INVALID_HANDLE_VALUE) ::FindClose(*find);
  *find = INVALID_HANDLE_VALUE;
}

int SystemEntryExists(void*, const char* path) {
  return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

SearchSource SystemSearchSource(HANDLE* find) {
  return SearchSource{SystemFindFirst, SystemFindNext, SystemFindClose, SystemEntryExists, find};
}
