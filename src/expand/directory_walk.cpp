#include "expand/directory_walk.h"

#include <cstring>

#include "run/command_line.h"
#include "support/path_split.h"

namespace {

std::size_t RoundUpToPage(std::size_t offset) {
  return (offset + kWalkPageSize - 1) / kWalkPageSize * kWalkPageSize;
}

// Appends `part` to `out` (a kRowTextSize buffer holding `used` characters).
std::size_t AppendPart(char* out, std::size_t used, const char* part) {
  std::size_t length = std::strlen(part);
  if (used + length > kRowTextSize - 1) length = kRowTextSize - 1 - used;
  std::memcpy(out + used, part, length);
  out[used + length] = '\0';
  return used + length;
}

}  // namespace

void SplitWalkText(const char* translated, char* baseDirectory, char* namePattern) {
  char text[kRowTextSize];
  const char* source = translated ? translated : "";
  std::size_t length = std::strlen(source);
  if (length > sizeof text - 1) length = sizeof text - 1;
  std::memcpy(text, source, length);
  text[length] = '\0';
  RemoveEnclosingQuotes(text);
  char drive[kMaxDrive];
  char dir[kMaxDir];
  char fname[kMaxFname];
  char ext[kMaxExt];
  SplitPath(text, drive, dir, fname, ext);
  baseDirectory[0] = '\0';
  namePattern[0] = '\0';
  // A part too long for its buffer comes back cut; a cut directory part
  // would name some other directory, so such a text is not split at all.
  if (std::strlen(drive) + std::strlen(dir) + std::strlen(fname) + std::strlen(ext) !=
      std::strlen(text)) {
    return;
  }
  AppendPart(baseDirectory, AppendPart(baseDirectory, 0, drive), dir);
  AppendPart(namePattern, AppendPart(namePattern, 0, fname), ext);
}

int IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

int PlanListAppend(std::size_t cursorOffset, std::size_t pathLength, std::size_t* commitOffset,
                   std::size_t* commitSize) {
  *commitOffset = 0;
  *commitSize = 0;
  const std::size_t committedEnd = RoundUpToPage(cursorOffset + 1);
  const std::size_t neededEnd = cursorOffset + pathLength + 2;  // terminator, final empty text
  if (neededEnd <= committedEnd) return kListFits;
  const std::size_t newEnd = RoundUpToPage(neededEnd);
  if (newEnd > kWalkBlockSize) return kListFull;
  *commitOffset = committedEnd;
  *commitSize = newEnd - committedEnd;
  return kListNeedsCommit;
}
