// The names in a folder, for tests that check what a write left behind.
// Windows only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// Names of the files and folders in `dir` ("." and ".." left out), sorted.
inline std::vector<std::string> FolderEntries(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") names.push_back(found.cFileName);
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}
