// A fake disk for core tests of what reads directories: a tree of folders
// and files behind both a file search (SearchSource) and the directory walk's
// platform (WalkPlatform), with wildcard matching like the system's and
// blocks from the heap. Entries come back in the order they were added.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "support/dbcs.h"

struct FakeDiskEntry {
  std::string name;
  int isDirectory;
};

struct FakeDisk {
  std::map<std::string, std::vector<FakeDiskEntry>> folders;  // by path, no final backslash
  int reservesLeft = -1;       // blocks the walk may still reserve (-1: no limit)
  std::vector<int> reported;   // program errors the walk reported
  std::vector<FakeDiskEntry> found;  // the open search's matches
  std::size_t next = 0;
  std::map<char*, std::unique_ptr<char[]>> blocks;
};

inline FakeDisk g_fakeDisk;

// Index of the separator ('\' or '/') before a path's last component, or npos.
inline std::size_t FakeLastSeparator(const std::string& path) {
  std::size_t cut = std::string::npos;
  for (const char* p = path.c_str(); *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) cut = static_cast<std::size_t>(p - path.c_str());
  }
  return cut;
}

// Adds a file or folder (and its "." and ".." entries) below its parent.
inline void FakeAdd(const std::string& path, int isDirectory) {
  const std::size_t cut = FakeLastSeparator(path);
  g_fakeDisk.folders[path.substr(0, cut)].push_back({path.substr(cut + 1), isDirectory});
  if (isDirectory) g_fakeDisk.folders[path] = {{".", 1}, {"..", 1}};
}

// '*' matches any run of characters, '?' any one, as the system's search does.
inline bool FakeMatches(const char* mask, const char* name) {
  if (*mask == '\0') return *name == '\0';
  if (*mask == '*') return FakeMatches(mask + 1, name) || (*name != '\0' && FakeMatches(mask, name + 1));
  if (*name == '\0') return false;
  return (*mask == '?' || *mask == *name) && FakeMatches(mask + 1, name + 1);
}

inline int FakeFindFirstName(const char* pattern, std::string* name, int* isDirectory) {
  const std::string text = pattern;
  const std::size_t cut = FakeLastSeparator(text);
  g_fakeDisk.found.clear();
  const auto folder = g_fakeDisk.folders.find(cut == std::string::npos ? "" : text.substr(0, cut));
  if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return 0;
  for (const FakeDiskEntry& entry : folder->second) {
    if (FakeMatches(text.c_str() + cut + 1, entry.name.c_str())) g_fakeDisk.found.push_back(entry);
  }
  g_fakeDisk.next = 0;
  if (g_fakeDisk.found.empty()) return 0;
  *name = g_fakeDisk.found[0].name;
  *isDirectory = g_fakeDisk.found[0].isDirectory;
  g_fakeDisk.next = 1;
  return 1;
}

inline int FakeFindNextName(std::string* name, int* isDirectory) {
  if (g_fakeDisk.next >= g_fakeDisk.found.size()) return 0;
  *name = g_fakeDisk.found[g_fakeDisk.next].name;
  *isDirectory = g_fakeDisk.found[g_fakeDisk.next].isDirectory;
  ++g_fakeDisk.next;
  return 1;
}

inline void FakeFill(const std::string& name, int isDirectory, FoundEntry* entry) {
  entry->attributes = isDirectory ? kDirectoryAttribute : 0x20;
  std::snprintf(entry->name, sizeof entry->name, "%s", name.c_str());
}

inline void FakeFill(const std::string& name, int isDirectory, WalkEntry* entry) {
  entry->isDirectory = isDirectory;
  std::snprintf(entry->name, sizeof entry->name, "%s", name.c_str());
}

template <typename Entry>
int FakeFindFirst(const char* pattern, Entry* entry) {
  std::string name;
  int isDirectory = 0;
  if (!FakeFindFirstName(pattern, &name, &isDirectory)) return 0;
  FakeFill(name, isDirectory, entry);
  return 1;
}

template <typename Entry>
int FakeFindNext(Entry* entry) {
  std::string name;
  int isDirectory = 0;
  if (!FakeFindNextName(&name, &isDirectory)) return 0;
  FakeFill(name, isDirectory, entry);
  return 1;
}

inline void FakeFindClose() { g_fakeDisk.found.clear(); }

inline char* FakeReserveBlock() {
  if (g_fakeDisk.reservesLeft == 0) return nullptr;
  if (g_fakeDisk.reservesLeft > 0) --g_fakeDisk.reservesLeft;
  auto bytes = std::make_unique<char[]>(kWalkBlockSize);
  char* start = bytes.get();
  g_fakeDisk.blocks[start] = std::move(bytes);
  return start;
}

inline int FakeCommitPages(char*, std::size_t) { return 1; }
inline void FakeReleaseBlock(char* block) { g_fakeDisk.blocks.erase(block); }
inline void FakeReportError(int code) { g_fakeDisk.reported.push_back(code); }

inline constexpr SearchSource kFakeSearch = {FakeFindFirst<FoundEntry>, FakeFindNext<FoundEntry>,
                                             FakeFindClose};
inline constexpr WalkPlatform kFakeWalk = {FakeReserveBlock, FakeCommitPages, FakeReleaseBlock,
                                           FakeFindFirst<WalkEntry>, FakeFindNext<WalkEntry>,
                                           FakeFindClose, FakeReportError};
