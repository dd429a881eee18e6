#include "expand/directory_walk_win32.h"

#include <cstring>

#include "support/main_handle_win32.h"
#include "support/message_box_win32.h"

namespace {

// The walk closes each search before it opens the next, so one handle serves.
HANDLE g_findHandle = INVALID_HANDLE_VALUE;

char* SystemReserveBlock() {
  return static_cast<char*>(VirtualAlloc(nullptr, kWalkBlockSize, MEM_RESERVE, PAGE_NOACCESS));
}

int SystemCommitPages(char* at, std::size_t size) {
  return VirtualAlloc(at, size, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

void SystemReleaseBlock(char* block) {
  VirtualFree(block, 0, MEM_RELEASE);
}

void CopyEntry(const WIN32_FIND_DATAA& data, WalkEntry* entry) {
  entry->isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::memcpy(entry->name, data.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
  std::memcpy(entry->shortName, data.cAlternateFileName, sizeof entry->shortName);
  entry->shortName[sizeof entry->shortName - 1] = '\0';
}

int SystemFindFirst(const char* pattern, WalkEntry* entry) {
  WIN32_FIND_DATAA data;
  g_findHandle = FindFirstFileA(pattern, &data);
  if (g_findHandle == INVALID_HANDLE_VALUE) return 0;
  CopyEntry(data, entry);
  return 1;
}

int SystemFindNext(WalkEntry* entry) {
  WIN32_FIND_DATAA data;
  if (g_findHandle == INVALID_HANDLE_VALUE || !FindNextFileA(g_findHandle, &data)) return 0;
  CopyEntry(data, entry);
  return 1;
}

void SystemFindClose() {
  if (g_findHandle != INVALID_HANDLE_VALUE) FindClose(g_findHandle);
  g_findHandle = INVALID_HANDLE_VALUE;
}

void SystemReportError(int code) {
  ShowProgramError(g_mainDialog, kDirectoryExpansionTitle, code);
}

constexpr WalkPlatform kSystemWalk = {SystemReserveBlock, SystemCommitPages, SystemReleaseBlock,
                                      SystemFindFirst,    SystemFindNext,    SystemFindClose,
                                      SystemReportError};

}  // namespace

const WalkPlatform& SystemWalkPlatform() {
  return kSystemWalk;
}

int BeginDirectoryWalk(const char* currentDirectoryText) {
  return StartDirectoryWalk(kSystemWalk, currentDirectoryText);
}

int NextWalkDirectory(char* out, std::size_t size) {
  return TakeWalkDirectory(kSystemWalk, out, size);
}

int ScanDirectory(WalkFrame* parent, const char* directory) {
  return ScanWalkDirectory(kSystemWalk, parent, directory);
}

int AddSubdirectory(WalkFrame* frame, const char* directory, const WIN32_FIND_DATAA& entry) {
  return AddWalkEntry(kSystemWalk, frame, directory, entry.cFileName,
                      (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      entry.cAlternateFileName);
}

int DirectoryWalkAborted() {
  return WalkAborted();
}

WalkFrame* DirectoryWalkTopFrame() {
  return WalkTopFrame();
}

int DirectoryWalkBlocksHeld() {
  return WalkBlocksHeld();
}
