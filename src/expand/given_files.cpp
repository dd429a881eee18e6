#include "expand/given_files.h"

#include <cstring>

#include "expand/target_check.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"
#include "support/path_text.h"

namespace {

void Unmatched(GivenMatches* out, const char* name) {
  if (out->unmatched++ == 0) FormatText(out->firstUnmatched, sizeof out->firstUnmatched, "%s", name);
}

void AddMatch(GivenMatches* out, const char* path) {
  if (AppendBytes(&out->paths, path, std::strlen(path) + 1)) ++out->count;
}

// The files of `folder` that match `mask`, in the order the search gives.
void AddFolderMatches(const char* folder, const char* mask, const SearchSource& search, GivenMatches* out) {
  char pattern[kJoinedPathSize];
  if (!JoinPath(pattern, sizeof pattern, folder, mask) || std::strlen(pattern) >= kRowTextSize) {
    Unmatched(out, folder);
    return;
  }
  FoundEntry entry{};
  for (int found = search.findFirst(pattern, &entry); found; found = search.findNext(&entry)) {
    if ((entry.attributes & kDirectoryAttribute) != 0 || !UseFoundName(entry.name, entry.shortName)) continue;
    char path[kJoinedPathSize];
    if (!JoinPath(path, sizeof path, folder, entry.name) || std::strlen(path) >= kRowTextSize) {
      Unmatched(out, entry.name);
    } else if (GivenNameMatches(mask, entry.name)) {
      AddMatch(out, path);
    }
  }
  search.close();
}

}  // namespace

int GivenNameMatches(const char* mask, const char* name) {
  char foldedMask[kRowTextSize];
  char foldedName[kRowTextSize];
  if (FormatText(foldedMask, sizeof foldedMask, "%s", mask) < 0 ||
      FormatText(foldedName, sizeof foldedName, "%s", name) < 0) {
    return 0;
  }
  FoldNameCase(foldedMask);
  FoldNameCase(foldedName);
  if (NameMatchesMask(foldedMask, foldedName)) return 1;
  const std::size_t length = std::strlen(foldedMask);
  const int dotless = FindCharDbcs(foldedName, '.') == nullptr;
  if (dotless && length >= 2 && std::strcmp(foldedMask + length - 2, ".*") == 0) {
    foldedMask[length - 2] = '\0';  // "*.*" and "x*.*" take a name without a dot too
    return NameMatchesMask(foldedMask, foldedName);
  }
  if (!dotless && length >= 1 && foldedMask[length - 1] == '.') return 0;
  if (dotless && length >= 1 && foldedMask[length - 1] == '.') {
    foldedMask[length - 1] = '\0';  // "x*." takes only names without a dot
    return NameMatchesMask(foldedMask, foldedName);
  }
  return 0;
}

int CollectGivenMatches(const char* files, int count, const char* mask, const GivenFilesPlatform& platform,
                        GivenMatches* out) {
  FreeGivenMatches(out);
  const char* file = files;
  for (int i = 0; i < count; ++i, file += std::strlen(file) + 1) {
    if (platform.isFolder(file)) {
      AddFolderMatches(file, mask, *platform.search, out);
      continue;
    }
    char name[kMaxFname + kMaxExt] = {};
    char ext[kMaxExt] = {};
    SplitPath(file, nullptr, nullptr, name, ext);
    FormatText(name + std::strlen(name), sizeof name - std::strlen(name), "%s", ext);
    if (GivenNameMatches(mask, name)) {
      AddMatch(out, file);
    } else {
      Unmatched(out, file);
    }
  }
  return !out->paths.failed;
}

void FreeGivenMatches(GivenMatches* matches) {
  FreeByteBuffer(&matches->paths);
  matches->count = 0;
  matches->unmatched = 0;
  matches->firstUnmatched[0] = '\0';
}

const char* NextGivenMatch(const GivenMatches& matches, const char* path) {
  const char* next = path + std::strlen(path) + 1;
  return next < matches.paths.data + matches.paths.size ? next : nullptr;
}
