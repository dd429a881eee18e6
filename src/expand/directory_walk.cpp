#include "expand/directory_walk.h"

#include <cstring>

#include "expand/file_expansion.h"
#include "support/path_text.h"
#include "support/messages.h"
#include "support/format_text.h"
#include "support/path_split.h"

namespace {

// The one walk of the program.
char g_baseDirectory[kRowTextSize];
char g_namePattern[kRowTextSize];
WalkFrame* g_top = nullptr;
int g_abort = 0;
int g_blocksHeld = 0;

// The block of a directory that turned out to have no matching subdirectory,
// kept for the next directory scanned: most directories are such leaves, and
// each would otherwise reserve, commit and release a block of its own. Its
// first page is committed. A level that ends releases it with its own block.
char* g_spareBlock = nullptr;

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

void ReportAndAbort(const WalkPlatform& platform, int code) {
  g_abort = 1;
  platform.reportError(code);
}

char* ReserveBlock(const WalkPlatform& platform) {
  char* block = platform.reserveBlock();
  if (block != nullptr) ++g_blocksHeld;
  return block;
}

void ReleaseBlock(const WalkPlatform& platform, char* block) {
  platform.releaseBlock(block);
  --g_blocksHeld;
}

// Keeps the block of a scan that made no level as the spare while a walk is
// under way and has none; releases it otherwise.
void PutBlockAside(const WalkPlatform& platform, char* block) {
  if (g_top != nullptr && g_spareBlock == nullptr) {
    g_spareBlock = block;
  } else {
    ReleaseBlock(platform, block);
  }
}

void ReleaseSpareBlock(const WalkPlatform& platform) {
  if (g_spareBlock != nullptr) ReleaseBlock(platform, g_spareBlock);
  g_spareBlock = nullptr;
}

// Removes the top frame and releases its block and the spare.
void PopFrame(const WalkPlatform& platform) {
  WalkFrame* frame = g_top;
  g_top = frame->parent;
  ReleaseBlock(platform, frame->block);
  ReleaseSpareBlock(platform);
}

void ReleaseAllFrames(const WalkPlatform& platform) {
  while (g_top != nullptr) PopFrame(platform);
  ReleaseSpareBlock(platform);
}

// A block for a new level with its first page committed: the spare, or a new
// one. Null (reported, walk aborted) when memory ran out.
char* TakeBlock(const WalkPlatform& platform) {
  char* block = g_spareBlock;
  if (block != nullptr) {
    g_spareBlock = nullptr;
    return block;
  }
  block = ReserveBlock(platform);
  if (block == nullptr) {
    ReportAndAbort(platform, kErrorNoMemory);
    return nullptr;
  }
  if (!platform.commitPages(block, kWalkPageSize)) {
    ReleaseBlock(platform, block);
    ReportAndAbort(platform, kErrorNoMemory);
    return nullptr;
  }
  return block;
}

// Pushes frames for the path at the top frame's cursor, then for the first
// path of each new frame, until a directory has no matching subdirectory.
void Descend(const WalkPlatform& platform) {
  while (g_top != nullptr && g_top->cursor[0] != '\0' &&
         ScanWalkDirectory(platform, g_top, g_top->cursor)) {
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

int StartDirectoryWalk(const WalkPlatform& platform, const char* currentDirectoryText) {
  ReleaseAllFrames(platform);  // a walk left unfinished holds no memory beyond this point
  g_abort = 0;
  if (currentDirectoryText == nullptr || currentDirectoryText[0] == '\0') return 0;
  char translated[kRowTextSize];
  if (!TranslateTokens(currentDirectoryText, translated, sizeof translated, 1)) return 0;
  SplitWalkText(translated, g_baseDirectory, g_namePattern);
  if (!ScanWalkDirectory(platform, nullptr, g_baseDirectory)) return 0;
  Descend(platform);
  return 1;
}

int TakeWalkDirectory(const WalkPlatform& platform, char* out, std::size_t size) {
  if (size > 0) out[0] = '\0';
  if (g_top == nullptr) return 0;
  const std::size_t length = std::strlen(g_top->cursor);
  if (size > 0) {
    const std::size_t copied = length < size - 1 ? length : size - 1;
    std::memcpy(out, g_top->cursor, copied);
    out[copied] = '\0';
  }
  g_top->cursor += length + 1;
  if (g_top->cursor[0] != '\0') {
    Descend(platform);
  } else {
    PopFrame(platform);
  }
  if (g_abort) {
    ReleaseAllFrames(platform);
    if (size > 0) out[0] = '\0';
    return 0;
  }
  return 1;
}

void EndDirectoryWalk(const WalkPlatform& platform) {
  ReleaseAllFrames(platform);
}

int ScanWalkDirectory(const WalkPlatform& platform, WalkFrame* parent, const char* directory) {
  char* block = TakeBlock(platform);
  if (block == nullptr) return 0;
  WalkFrame* frame = reinterpret_cast<WalkFrame*>(block);
  frame->parent = parent;
  frame->block = block;
  frame->cursor = ListStart(frame);
  frame->cursor[0] = '\0';

  char search[kJoinedPathSize];
  JoinPath(search, sizeof search, directory, g_namePattern);
  WalkEntry entry;
  if (search[0] == '\0' || !platform.findFirst(search, &entry)) {
    PutBlockAside(platform, block);
    return 0;
  }
  do {
    entry.shortName[sizeof entry.shortName - 1] = '\0';
    if (AddWalkEntry(platform, frame, directory, entry.name, entry.isDirectory, entry.shortName) <
        0) {
      platform.findClose();
      ReleaseBlock(platform, block);
      return 0;
    }
  } while (platform.findNext(&entry));
  platform.findClose();

  if (ListStart(frame)[0] == '\0') {
    PutBlockAside(platform, block);
    return 0;
  }
  frame->cursor = ListStart(frame);
  g_top = frame;
  return 1;
}

int AddWalkEntry(const WalkPlatform& platform, WalkFrame* frame, const char* directory,
                 const char* name, int isDirectory, const char* shortName) {
  if (!isDirectory) return 0;
  if (IsDotEntry(name)) return 0;
  // Joined, a name starting with a double quote would lose its quotes and
  // name another directory, possibly the one being scanned, over and over.
  if (name[0] == '"') return 0;
  char usable[kRowTextSize];
  FormatText(usable, sizeof usable, "%s", name);
  if (!UseFoundName(usable, shortName)) return 0;
  char path[kJoinedPathSize];
  JoinPath(path, sizeof path, directory, usable);
  const std::size_t length = std::strlen(path);
  if (length == 0 || length > kWalkMaxPath) return 0;

  std::size_t commitOffset = 0;
  std::size_t commitSize = 0;
  const std::size_t cursorOffset = static_cast<std::size_t>(frame->cursor - frame->block);
  switch (PlanListAppend(cursorOffset, length, &commitOffset, &commitSize)) {
    case kListFull:
      ReportAndAbort(platform, kErrorMemoryUsedUp);
      return -1;
    case kListNeedsCommit:
      if (!platform.commitPages(frame->block + commitOffset, commitSize)) {
        ReportAndAbort(platform, kErrorNoMemory);
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

int WalkAborted() {
  return g_abort;
}

WalkFrame* WalkTopFrame() {
  return g_top;
}

int WalkBlocksHeld() {
  return g_blocksHeld;
}
