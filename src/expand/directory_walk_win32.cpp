#include "expand/directory_walk_win32.h"

#include <cstring>

#include "app/main_handle_win32.h"
#include "expand/directory_walk.h"
#include "expand/file_expansion.h"
#include "run/command_line.h"
#include "run/launch.h"
#include "run/launch_win32.h"

namespace {

// The one walk of the program.
char g_baseDirectory[kRowTextSize];
char g_namePattern[kRowTextSize];
WalkFrame* g_top = nullptr;
int g_abort = 0;
int g_blocksHeld = 0;

char* ListStart(WalkFrame* frame) {
  return frame->block + sizeof(WalkFrame);
}

void ReportAndAbort(int code) {
  g_abort = 1;
  ShowProgramError(g_mainDialog, kDirectoryExpansionTitle, code);
}

char* ReserveBlock() {
  char* block = static_cast<char*>(VirtualAlloc(nullptr, kWalkBlockSize, MEM_RESERVE, PAGE_NOACCESS));
  if (block != nullptr) ++g_blocksHeld;
  return block;
}

void ReleaseBlock(char* block) {
  VirtualFree(block, 0, MEM_RELEASE);
  --g_blocksHeld;
}

int CommitPages(char* at, std::size_t size) {
  return VirtualAlloc(at, size, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

// Removes the top frame and releases its block.
void PopFrame() {
  WalkFrame* frame = g_top;
  g_top = frame->parent;
  ReleaseBlock(frame->block);
}

void ReleaseAllFrames() {
  while (g_top != nullptr) PopFrame();
}

// Pushes frames for the path at the top frame's cursor, then for the first
// path of each new frame, until a directory has no matching subdirectory.
void Descend() {
  while (g_top != nullptr && g_top->cursor[0] != '\0' && ScanDirectory(g_top, g_top->cursor)) {
  }
}

}  // namespace

int BeginDirectoryWalk(const char* currentDirectoryText) {
  ReleaseAllFrames();  // a walk left unfinished holds no memory beyond this point
  g_abort = 0;
  if (currentDirectoryText == nullptr || currentDirectoryText[0] == '\0') return 0;
  char translated[kRowTextSize];
  if (!TranslateTokens(currentDirectoryText, translated, sizeof translated, 1)) return 0;
  SplitWalkText(translated, g_baseDirectory, g_namePattern);
  if (!ScanDirectory(nullptr, g_baseDirectory)) return 0;
  Descend();
  return 1;
}

int NextWalkDirectory(char* out, std::size_t size) {
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
    Descend();
  } else {
    PopFrame();
  }
  if (g_abort) {
    ReleaseAllFrames();
    if (size > 0) out[0] = '\0';
    return 0;
  }
  return 1;
}

int ScanDirectory(WalkFrame* parent, const char* directory) {
  char* block = ReserveBlock();
  if (block == nullptr) {
    ReportAndAbort(kErrorNoMemory);
    return 0;
  }
  if (!CommitPages(block, kWalkPageSize)) {
    ReleaseBlock(block);
    ReportAndAbort(kErrorNoMemory);
    return 0;
  }
  WalkFrame* frame = reinterpret_cast<WalkFrame*>(block);
  frame->parent = parent;
  frame->block = block;
  frame->cursor = ListStart(frame);
  frame->cursor[0] = '\0';

  char search[kJoinedPathSize];
  JoinPath(search, sizeof search, directory, g_namePattern);
  WIN32_FIND_DATAA entry;
  HANDLE find = search[0] != '\0' ? FindFirstFileA(search, &entry) : INVALID_HANDLE_VALUE;
  if (find == INVALID_HANDLE_VALUE) {
    ReleaseBlock(block);
    return 0;
  }
  do {
    if (AddSubdirectory(frame, directory, entry) < 0) {
      FindClose(find);
      ReleaseBlock(block);
      return 0;
    }
  } while (FindNextFileA(find, &entry));
  FindClose(find);

  if (ListStart(frame)[0] == '\0') {
    ReleaseBlock(block);
    return 0;
  }
  frame->cursor = ListStart(frame);
  g_top = frame;
  return 1;
}

int AddSubdirectory(WalkFrame* frame, const char* directory, const WIN32_FIND_DATAA& entry) {
  if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return 0;
  if (IsDotEntry(entry.cFileName)) return 0;
  char path[kJoinedPathSize];
  JoinPath(path, sizeof path, directory, entry.cFileName);
  const std::size_t length = std::strlen(path);
  if (length == 0 || length > kWalkMaxPath) return 0;

  std::size_t commitOffset = 0;
  std::size_t commitSize = 0;
  const std::size_t cursorOffset = static_cast<std::size_t>(frame->cursor - frame->block);
  switch (PlanListAppend(cursorOffset, length, &commitOffset, &commitSize)) {
    case kListFull:
      ReportAndAbort(kErrorMemoryUsedUp);
      return -1;
    case kListNeedsCommit:
      if (!CommitPages(frame->block + commitOffset, commitSize)) {
        ReportAndAbort(kErrorNoMemory);
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

int DirectoryWalkAborted() {
  return g_abort;
}

WalkFrame* DirectoryWalkTopFrame() {
  return g_top;
}

int DirectoryWalkBlocksHeld() {
  return g_blocksHeld;
}
