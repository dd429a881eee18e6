// A fake disk for core tests: folders and files (ASCII paths) behind both a
// file search (SearchSource) and the directory walk's platform, with '*' and
// '?' matching like the system's (the long name or the short name). Entries
// come in the order they were added.
#pragma once

#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "support/dbcs.h"
#include "run/plan.h"
#include "run/program_search.h"

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

// Where the last '\' or '/' of `path` stands, a trail byte of a two-byte
// character never taken for one (npos: none).
inline std::size_t FakeLastSeparator(const std::string& path) {
  std::size_t cut = std::string::npos;
  for (std::size_t i = 0; i < path.size(); i = NextCharIndex(path, i)) {
    if (path[i] == '\\' || path[i] == '/') cut = i;
  }
  return cut;
}

// Adds a file or a folder (with its "." and "..") below its parent.
inline void FakeAdd(const std::string& path, int isDirectory, const std::string& shortName = "") {
  const std::size_t cut = FakeLastSeparator(path);
  g_fakeDisk.folders[path.substr(0, cut)].push_back({path.substr(cut + 1), isDirectory, shortName});
  if (isDirectory) g_fakeDisk.folders[path] = {{".", 1, ""}, {"..", 1, ""}};
}

// A fresh fake disk holding `tree`: paths split by '|', folders ending in
// '\', a short name after '>'.
inline void FakeTree(const std::string& tree) {
  g_fakeDisk = FakeDisk();
  for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
    end = tree.find('|', start);
    std::string path = tree.substr(start, end == std::string::npos ? end : end - start);
    const std::size_t arrow = path.find('>');
    const std::string shortName = arrow == std::string::npos ? "" : path.substr(arrow + 1);
    path = path.substr(0, arrow);
    const int folder = path.back() == '\\';
    FakeAdd(folder ? path.substr(0, path.size() - 1) : path, folder, shortName);
  }
}

inline bool FakeSameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The long form of the folder `path` into `out` (260 bytes), its names
// found without regard to case, by long or short name: 1, or 0 when the
// fake disk has no such folder.
inline int FakeLongFolder(const char* path, char* out) {
  std::string rest = path;
  while (rest.size() > 2 && rest.back() == '\\') rest.pop_back();
  std::size_t cut = rest.find('\\');
  std::string found = rest.substr(0, cut);
  while (cut != std::string::npos && g_fakeDisk.folders.count(found) != 0) {
    const std::size_t next = rest.find('\\', cut + 1);
    const std::string part =
        rest.substr(cut + 1, next == std::string::npos ? next : next - cut - 1);
    const FakeDiskEntry* match = nullptr;
    for (const FakeDiskEntry& entry : g_fakeDisk.folders[found]) {
      if (entry.isDirectory &&
          (FakeSameName(entry.name, part) || FakeSameName(entry.shortName, part))) {
        match = &entry;
      }
    }
    if (match == nullptr) return 0;
    found += "\\" + match->name;
    cut = next;
  }
  if (g_fakeDisk.folders.count(found) == 0) return 0;
  std::snprintf(out, 260, "%s%s", found.c_str(), found.size() == 2 ? "\\" : "");
  return 1;
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
    const std::size_t cut = FakeLastSeparator(text);
    g_fakeDisk.found.clear();
    g_fakeDisk.next = 0;
    const auto folder = g_fakeDisk.folders.find(text.substr(0, cut));
    if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return nullptr;
    for (const FakeDiskEntry& entry : folder->second) {
      const char* mask = pattern + cut + 1;
      if (FakeMatches(mask, entry.name.c_str()) ||
          (!entry.shortName.empty() && FakeMatches(mask, entry.shortName.c_str()))) {
        g_fakeDisk.found.push_back(entry);
      }
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

inline int FakeFindFirst(void*, const char* pattern, FoundEntry* entry) {
  return FakeFill(FakeFind(pattern), entry);
}
inline int FakeFindNext(void*, FoundEntry* entry) { return FakeFill(FakeFind(nullptr), entry); }

inline char* FakeReserveBlock() {
  if (g_fakeDisk.reservesLeft == 0) return nullptr;
  if (g_fakeDisk.reservesLeft > 0) --g_fakeDisk.reservesLeft;
  auto bytes = std::make_unique<char[]>(kWalkBlockSize);
  return (g_fakeDisk.blocks[bytes.get()] = std::move(bytes)).get();
}

inline int FakeExists(void*, const char* path) {
  const std::string text = path;
  const std::size_t cut = FakeLastSeparator(text);
  const auto folder = g_fakeDisk.folders.find(text.substr(0, cut));
  if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return 0;
  for (const FakeDiskEntry& entry : folder->second) {
    if (entry.name == text.substr(cut + 1)) return 1;
  }
  return 0;
}

inline constexpr SearchSource kFakeSearch = {FakeFindFirst, FakeFindNext, [](void*) {},
                                             FakeExists, nullptr};
inline constexpr WalkPlatform kFakeWalk = {FakeReserveBlock,
                                           [](char*, std::size_t) { return 1; },
                                           [](char* block) { g_fakeDisk.blocks.erase(block); },
                                           kFakeSearch,
                                           [](int) {}};

// The entry of `path` on the fake disk, its names in any case (as the
// system finds them), or null.
inline const FakeDiskEntry* FakeEntryInAnyCase(const std::string& path) {
  const std::size_t cut = FakeLastSeparator(path);
  const auto folder = g_fakeDisk.folders.find(path.substr(0, cut));
  if (cut == std::string::npos || folder == g_fakeDisk.folders.end()) return nullptr;
  for (const FakeDiskEntry& entry : folder->second) {
    if (FakeSameName(entry.name, path.substr(cut + 1))) return &entry;
  }
  return nullptr;
}

// Programs named without an extension are looked for in C:\bin, as PATH.
inline int FakeIsFile(const char* path) {
  const FakeDiskEntry* entry = FakeEntryInAnyCase(path);
  return entry != nullptr && !entry->isDirectory;
}
inline constexpr ProgramSearch kFakePrograms = {"C:\\bin", ".COM;.EXE;.BAT;.CMD", FakeIsFile};

// The shell a plan over the fake disk starts batch programs with.
inline constexpr char kFakeShell[] = "C:\\cmd.exe";

// A plan of `set` over the fake disk (its targets recorded into `targets`
// when not null), an empty current directory standing for `planningFolder`,
// over the files `given` when not null.
inline int FakePlan(const ParameterSet& set, int mode, RunPlan* plan,
                    TargetRecord* targets = nullptr, const char* planningFolder = "",
                    const GivenFiles* given = nullptr) {
  const PlanPlatform platform = {&kFakeSearch, &kFakeWalk, planningFolder, kFakeShell, &kFakePrograms,
                                 targets, given};
  return MakeRunPlan(set, mode, platform, plan);
}
