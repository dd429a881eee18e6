#include "expand/directory_walk.h"

#include <cstring>

#include "expand/file_expansion.h"
#include "support/path_text.h"
#include "support/messages.h"
#include "support/format_text.h"
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

char* ListStart(WalkFrame* frame) {
  return frame->block + sizeof(WalkFrame);
}

void ReportAndAbort(DirectoryWalk* walk, const WalkPlatform& platform, int code) {
  walk->aborted = 1;
  platform.reportError(code);
}

char* ReserveBlock(DirectoryWalk* walk, const WalkPlatform& platform) {
  char* block = platform.reserveBlock();
  if (block != nullptr) ++walk->blocksHeld;
  return block;
}

void ReleaseBlock(DirectoryWalk* walk, const WalkPlatform& platform, char* block) {
  platform.releaseBlock(block);
  --walk->blocksHeld;
}

// Keeps the block of a scan that made no level as the spare while a walk is
// under way and has none; releases it otherwise.
void PutBlockAside(DirectoryWalk* walk, const WalkPlatform& platform, char* block) {
  if (walk->top != nullptr && walk->spareBlock == nullptr) {
    walk->spareBlock = block;
  } else {
    ReleaseBlock(walk, platform, block);
  }
}

void ReleaseSpareBlock(DirectoryWalk* walk, const WalkPlatform& platform) {
  if (walk->spareBlock != nullptr) ReleaseBlock(walk, platform, walk->spareBlock);
  walk->spareBlock = nullptr;
}

// Removes the top frame and releases its block and the spare: a level that
// ends releases the spare with its own block.
void PopFrame(DirectoryWalk* walk, const WalkPlatform& platform) {
  WalkFrame* frame = walk->top;
  walk->top = frame->parent;
  ReleaseBlock(walk, platform, frame->block);
  ReleaseSpareBlock(walk, platform);
}

void ReleaseAllFrames(DirectoryWalk* walk, const WalkPlatform& platform) {
  while (walk->top != nullptr) PopFrame(walk, platform);
  ReleaseSpareBlock(walk, platform);
}

// A block for a new level with its first page committed: the spare, or a new
// one. Null (reported, walk aborted) when memory ran out.
char* TakeBlock(DirectoryWalk* walk, const WalkPlatform& platform) {
  char* block = walk->spareBlock;
  if (block != nullptr) {
    walk->spareBlock = nullptr;
    return block;
  }
  block = ReserveBlock(walk, platform);
  if (block == nullptr) {
    ReportAndAbort(walk, platform, kErrorNoMemory);
    return nullptr;
  }
  if (!platform.commitPages(block, kWalkPageSize)) {
    ReleaseBlock(walk, platform, block);
    ReportAndAbort(walk, platform, kErrorNoMemory);
    return nullptr;
  }
  return block;
}

// Pushes frames for the path at the top frame's cursor, then for the first
// path of each new frame, until a directory has no matching subdirectory.
void Descend(DirectoryWalk* walk, const WalkPlatform& platform) {
  while (walk->top != nullptr && walk->top->cursor[0] != '\0' &&
         ScanWalkDirectory(walk, platform, walk->top, walk->top->cursor)) {
  }
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

int StartDirectoryWalk(DirectoryWalk* walk, const WalkPlatform& platform,
                       const char* currentDirectoryText) {
  ReleaseAllFrames(walk, platform);  // a walk left unfinished holds no memory beyond this point
  walk->aborted = 0;
  if (currentDirectoryText == nullptr || currentDirectoryText[0] == '\0') return 0;
  char translated[kRowTextSize];
  if (!TranslateTokens(currentDirectoryText, translated, sizeof translated, 1)) return 0;
  SplitWalkText(translated, walk->baseDirectory, walk->namePattern);
  if (!ScanWalkDirectory(walk, platform, nullptr, walk->baseDirectory)) return 0;
  Descend(walk, platform);
  return 1;
}

int TakeWalkDirectory(DirectoryWalk* walk, const WalkPlatform& platform, char* out,
                      std::size_t size) {
  if (size > 0) out[0] = '\0';
  WalkFrame* top = walk->top;
  if (top == nullptr) return 0;
  const std::size_t length = std::strlen(top->cursor);
  if (size > 0) {
    const std::size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(out, top->cursor, copied);
    out[copied] = '\0';
  }
  top->cursor += length + 1;
  if (top->cursor[0] != '\0') {
    Descend(walk, platform);
  } else {
    PopFrame(walk, platform);
  }
  if (walk->aborted) {
    ReleaseAllFrames(walk, platform);
    if (size > 0) out[0] = '\0';
    return 0;
  }
  return 1;
}

void EndDirectoryWalk(DirectoryWalk* walk, const WalkPlatform& platform) {
  ReleaseAllFrames(walk, platform);
}

int ScanWalkDirectory(DirectoryWalk* walk, const WalkPlatform& platform, WalkFrame* parent,
                      const char* directory) {
  char* block = TakeBlock(walk, platform);
  if (block == nullptr) return 0;
  WalkFrame* frame = reinterpret_cast<WalkFrame*>(block);
  frame->parent = parent;
  frame->block = block;
  frame->cursor = ListStart(frame);
  frame->cursor[0] = '\0';

  char pattern[kJoinedPathSize];
  JoinPath(pattern, sizeof pattern, directory, walk->namePattern);
  const SearchSource& search = platform.search;
  FoundEntry entry;
  if (pattern[0] == '\0' || !search.findFirst(search.self, pattern, &entry)) {
    PutBlockAside(walk, platform, block);
    return 0;
  }
  do {
    entry.name[sizeof entry.name - 1] = '\0';
    entry.shortName[sizeof entry.shortName - 1] = '\0';
    if (AddWalkEntry(walk, platform, frame, directory, entry.name, IsFolderEntry(entry),
                     entry.shortName) < 0) {
      search.close(search.self);
      ReleaseBlock(walk, platform, block);
      return 0;
    }
  } while (search.findNext(search.self, &entry));
  search.close(search.self);

  if (ListStart(frame)[0] == '\0') {
    PutBlockAside(walk, platform, block);
    return 0;
  }
  frame->cursor = ListStart(frame);
  walk->top = frame;
  return 1;
}

int AddWalkEntry(DirectoryWalk* walk, const WalkPlatform& platform, WalkFrame* frame,
                 const char* directory, const char* name, int isDirectory,
                 const char* shortName) {
  if (!isDirectory) return 0;
  if (IsDotEntry(name)) return 0;
  // Joined, a name starting with a double quote would lose its quotes and
  // name another directory, possibly the one being scanned, over and over.
  if (name[0] == '"') return 0;
  char usable[kRowTextSize];
  FormatText(usable, sizeof usable, "%s", name);
  if (!UseFoundName(walk->leftOut, usable, shortName)) return 0;
  char path[kJoinedPathSize];
  JoinPath(path, sizeof path, directory, usable);
  const std::size_t length = std::strlen(path);
  if (length == 0 || length > kWalkMaxPath) return 0;

  std::size_t commitOffset = 0;
  std::size_t commitSize = 0;
  const std::size_t cursorOffset = static_cast<std::size_t>(frame->cursor - frame->block);
  switch (PlanListAppend(cursorOffset, length, &commitOffset, &commitSize)) {
    case kListFull:
      ReportAndAbort(walk, platform, kErrorMemoryUsedUp);
      return -1;
    case kListNeedsCommit:
      if (!platform.commitPages(frame->block + commitOffset, commitSize)) {
        ReportAndAbort(walk, platform, kErrorNoMemory);
        return -1;
      }
      break;
    default:
      break;
  }
  std::memcpy(frame->cursor, path, length + 1);
  frame->cursor += length + 1;
  frame->cursor[0] = '\0';
  return static_cast<int>(length);
}
