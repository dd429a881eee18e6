#include "expand/directory_walk_win32.h"

#include "expand/file_expansion_win32.h"
#include "support/main_handle_win32.h"
#include "support/message_box_win32.h"

namespace {

char* SystemReserveBlock() {
  return static_cast<char*>(VirtualAlloc(nullptr, kWalkBlockSize, MEM_RESERVE, PAGE_NOACCESS));
}

int SystemCommitPages(char* at, std::size_t size) {
  return VirtualAlloc(at, size, MEM_COMMIT, PAGE_READWRITE) != nullptr;
}

void SystemReleaseBlock(char* block) {
  VirtualFree(block, 0, MEM_RELEASE);
}

void SystemReportError(int code) {
  ShowProgramError(g_mainDialog, kDirectoryExpansionTitle, code);
}

}  // namespace

WalkPlatform SystemWalkPlatform(HANDLE* find) {
  return WalkPlatform{SystemReserveBlock, SystemCommitPages, SystemReleaseBlock,
                      SystemSearchSource(find), SystemReportError};
}
