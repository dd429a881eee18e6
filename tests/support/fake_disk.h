// A fake disk for core tests: folders and files (ASCII paths) behind both a
// file search (SearchSource) and the directory walk's platform, with '*' and
// '?' matching like the system's. Entries come in the order they were added.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "expand/directory_walk.h"
#include "expand/file_expansion.h"

struct FakeDiskEntry {
  std::string name;
  int isDirectory;
  std::string shortName;  // empty: the system gives none
};

struct FakeDisk {
  std::map<std::string, std::vector<FakeDiskEntry>> folders;  // by path without final '\'
  int reservesLeft = -1;             // blocks the walk may still reserve (-1: any number)
  std::vector<FakeDiskEntry> found;  // matches of the open search
  std::size_t next = 0;
  std::map<char*, std::unique_ptr<char[]>> blocks;
};

inline FakeDisk g_fakeDisk;

// Adds a file or a folder (with its "." and "..") below its parent.
inline void FakeAdd(const std::string& path, int isDirectory, const std::string& shortName = "") {
  const std::size_t cut = path.find_last_of("\\/");
  g_fakeDisk.folders[path.substr(0, cut)].push_back({path.substr(cut + 1), isDirectory, shortName});
  if (isDirectory) g_fakeDisk.folders[path] = {{".", 1, ""}, {"..", 1, ""}};
}

inline bool FakeMatches(const char* mask, const char* name) {
  if (*mask == '*') return FakeMatches(mask + 1, name) || (*name && FakeMatches(mask, name + 1));
  if (*mask == '\0' || *name == '\0') return *mask == *name;
  return (*mask == '?' || *mask == *name) && FakeMatches(mask + 1, name + 1);
}

// Starts a search (with a pattern) or goes on with it (null): the next
// entry, or null.
inline const FakeDiskEntry* FakeFind(const char* pattern) {
  if (pattern != nullptr) {
    const std::string text = pattern;
    const std::size_t cut = text.find_last_of("\\/");
    g_fakeDisk.found.clear();
    g_fakeDisk.next = 0;
    const auto folder = g_fakeDisk.folders.find(text.substr(0, cut));
    if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return nullptr;
    for (const FakeDiskEntry& entry : folder->second) {
      if (FakeMatches(pattern + cut + 1, entry.name.c_str())) g_fakeDisk.found.push_back(entry);
    }
  }
  return g_fakeDisk.next < g_fakeDisk.found.size() ? &g_fakeDisk.found[g_fakeDisk.next++] : nullptr;
}

inline int FakeFill(const FakeDiskEntry* found, FoundEntry* entry) {
  if (found == nullptr) return 0;
  entry->attributes = found->isDirectory ? kDirectoryAttribute : 0x20;
  std::snprintf(entry->name, sizeof entry->name, "%s", found->name.c_str());
  std::snprintf(entry->shortName, sizeof entry->shortName, "%s", found->shortName.c_str());
  return 1;
}

inline int FakeFill(const FakeDiskEntry* found, WalkEntry* entry) {
  if (found == nullptr) return 0;
  entry->isDirectory = found->isDirectory;
  std::snprintf(entry->name, sizeof entry->name, "%s", found->name.c_str());
  std::snprintf(entry->shortName, sizeof entry->shortName, "%s", found->shortName.c_str());
  return 1;
}

template <typename Entry>
int FakeFindFirst(const char* pattern, Entry* entry) {
  return FakeFill(FakeFind(pattern), entry);
}
template <typename Entry>
int FakeFindNext(Entry* entry) {
  return FakeFill(FakeFind(nullptr), entry);
}

inline char* FakeReserveBlock() {
  if (g_fakeDisk.reservesLeft == 0) return nullptr;
  if (g_fakeDisk.reservesLeft > 0) --g_fakeDisk.reservesLeft;
  auto bytes = std::make_unique<char[]>(kWalkBlockSize);
  return (g_fakeDisk.blocks[bytes.get()] = std::move(bytes)).get();
}

inline int FakeExists(const char* path) {
  const std::string text = path;
  const std::size_t cut = text.find_last_of("\\/");
  const auto folder = g_fakeDisk.folders.find(text.substr(0, cut));
  if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return 0;
  for (const FakeDiskEntry& entry : folder->second) {
    if (entry.name == text.substr(cut + 1)) return 1;
  }
  return 0;
}

inline constexpr SearchSource kFakeSearch = {FakeFindFirst<FoundEntry>, FakeFindNext<FoundEntry>,
                                             [] {}, FakeExists};
inline constexpr WalkPlatform kFakeWalk = {FakeReserveBlock,
                                           [](char*, std::size_t) { return 1; },
                                           [](char* block) { g_fakeDisk.blocks.erase(block); },
                                           FakeFindFirst<WalkEntry>,
                                           FakeFindNext<WalkEntry>,
                                           [] {},
                                           [](int) {}};
