#include "expand/given_files.h"

#include <cstring>

#include "expand/target_check.h"
#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_text.h"

namespace {

void AddMatch(GivenMatches* out, const char* path) {
  if (AppendBytes(&out->paths, path, std::strlen(path) + 1)) ++out->count;
}

int IsGivenFolder(const char* name, const SearchSource& search) {
  if (*NameAfterFolder(name) == '\0') return 1;  // "D:\" and the like
  FoundEntry entry{};
  const int found = search.findFirst(search.self, name, &entry);
  if (found) search.close(search.self);
  return found && IsFolderEntry(entry);
}

// The files of `folder` that match `mask`, in the order the search gives.
void AddFolderMatches(const char* folder, const char* mask, const SearchSource& search,
                      LeftOutNames* leftOut, GivenMatches* out) {
  char pattern[kJoinedPathSize];
  if (!JoinPath(pattern, sizeof pattern, folder, mask) || std::strlen(pattern) >= kRowTextSize) {
    LeaveOut(leftOut, folder, kNotMatched);
    return;
  }
  FoundEntry entry{};
  for (int found = search.findFirst(search.self, pattern, &entry); found;
       found = search.findNext(search.self, &entry)) {
    if (IsFolderEntry(entry) || !UseFoundName(leftOut, entry.name, entry.shortName)) continue;
    char path[kJoinedPathSize];
    if (!JoinPath(path, sizeof path, folder, entry.name) || std::strlen(path) >= kRowTextSize) {
      LeaveOut(leftOut, entry.name, kNotMatched);
    } else if (GivenNameMatches(mask, entry.name)) {
      AddMatch(out, path);
    }
  }
  search.close(search.self);
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
  const std::size_t length = std::strlen(foldedMask);
  const int dotless = FindCharDbcs(foldedName, '.') == nullptr;
  if (length >= 1 && foldedMask[length - 1] == '.' && (length < 2 || foldedMask[length - 2] != '.')) {
    foldedMask[length - 1] = '\0';  // "x*." takes only names without a dot
    return dotless && NameMatchesMask(foldedMask, foldedName);
  }
  if (NameMatchesMask(foldedMask, foldedName)) return 1;
  if (dotless && length >= 2 && std::strcmp(foldedMask + length - 2, ".*") == 0) {
    foldedMask[length - 2] = '\0';  // "*.*" and "x*.*" take a name without a dot too
    return NameMatchesMask(foldedMask, foldedName);
  }
  return 0;
}

int CollectGivenMatches(const GivenFiles& given, const char* mask, const SearchSource& search,
                        LeftOutNames* leftOut, GivenMatches* out) {
  FreeGivenMatches(out);
  const char* name = given.names;
  for (int i = 0; i < given.count; ++i, name += std::strlen(name) + 1) {
    if (IsGivenFolder(name, search)) {
      AddFolderMatches(name, mask, search, leftOut, out);
    } else if (std::strlen(name) < kRowTextSize && GivenNameMatches(mask, NameAfterFolder(name))) {
      AddMatch(out, name);
    } else {
      LeaveOut(leftOut, name, kNotMatched);
    }
  }
  return !out->paths.failed;
}

void FreeGivenMatches(GivenMatches* matches) {
  FreeByteBuffer(&matches->paths);
  matches->count = 0;
}

const char* NextGivenMatch(const GivenMatches& matches, const char* path) {
  const char* next = path + std::strlen(path) + 1;
  return next < matches.paths.data + matches.paths.size ? next : nullptr;
}
