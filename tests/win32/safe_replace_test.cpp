// Rewriting a file through a temporary file beside it: what the file holds,
// and what is left in its folder, when each step of the way fails.
#include "support/safe_replace_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folder_entries.h"
#include "hold_file_process.h"
#include "support/import_patch.h"
#include "test_env.h"

namespace {

enum Failure { kNoFailure, kCreateDenied, kCreateDiskFull, kWriteFails, kMoveDenied };

Failure g_failure = kNoFailure;

decltype(&CreateFileA) g_realCreateFileA = nullptr;
decltype(&WriteFile) g_realWriteFile = nullptr;
decltype(&ReplaceFileA) g_realReplaceFileA = nullptr;
decltype(&MoveFileExA) g_realMoveFileExA = nullptr;

HANDLE WINAPI TestCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE templateFile) {
  if (disposition == CREATE_NEW && (g_failure == kCreateDenied || g_failure == kCreateDiskFull)) {
    SetLastError(g_failure == kCreateDenied ? ERROR_ACCESS_DENIED : ERROR_DISK_FULL);
    return INVALID_HANDLE_VALUE;
  }
  return g_realCreateFileA(path, access, share, security, disposition, flags, templateFile);
}

BOOL WINAPI TestWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  if (g_failure != kWriteFails) return g_realWriteFile(file, bytes, size, written, overlapped);
  *written = size / 2;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

BOOL WINAPI TestReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID a, LPVOID b) {
  if (g_failure != kMoveDenied) return g_realReplaceFileA(replaced, replacement, backup, flags, a, b);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

BOOL WINAPI TestMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  if (g_failure != kMoveDenied) return g_realMoveFileExA(from, to, flags);
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(SafeReplace, FileHoldsTheOldOrTheNewBytesAndNothingIsLeftBeside) {
  void** slots[] = {
      SwapKernelImport("CreateFileA", &TestCreateFileA, &g_realCreateFileA),
      SwapKernelImport("WriteFile", &TestWriteFile, &g_realWriteFile),
      SwapKernelImport("ReplaceFileA", &TestReplaceFileA, &g_realReplaceFileA),
      SwapKernelImport("MoveFileExA", &TestMoveFileExA, &g_realMoveFileExA),
  };
  for (void** slot : slots) ASSERT_NE(nullptr, slot);
  const DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
  const struct {
    const char* what;
    Failure failure;
    DWORD attributes;  // of the file beforehand; 0: no file
    bool held;         // another program holds the file
    int result;
  } cases[] = {
      {"new file", kNoFailure, 0, false, 1},
      {"hidden file", kNoFailure, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, false, 1},
      {"read-only file", kNoFailure, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE, false, 0},
      {"folder takes no new file", kCreateDenied, FILE_ATTRIBUTE_ARCHIVE, false, 1},
      {"disk full", kCreateDiskFull, FILE_ATTRIBUTE_ARCHIVE, false, 0},
      {"write fails", kWriteFails, FILE_ATTRIBUTE_ARCHIVE, false, 0},
      {"no rename allowed", kMoveDenied, FILE_ATTRIBUTE_ARCHIVE, false, 1},
      {"no rename allowed, new file", kMoveDenied, 0, false, 1},
      {"held by another program", kNoFailure, FILE_ATTRIBUTE_ARCHIVE, true, 0},
  };
  const std::string fresh = "[tavix]\r\nDialogCurrentPositionX=1\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string dir = MakeTempDir("replace");
    const std::string path = JoinTestPath(dir, "tavix.ini");
    if (c.attributes != 0) {
      ASSERT_TRUE(WriteWholeFile(path, "old"));
      ASSERT_TRUE(SetFileAttributesA(path.c_str(), c.attributes));
    }
    int result = -1;
    {
      OtherHolder* holder = c.held ? new OtherHolder(path) : nullptr;
      if (holder != nullptr) {
        ASSERT_TRUE(holder->holding());
      }
      g_failure = c.failure;
      result = SafeReplaceFile(path.c_str(), fresh.data(), fresh.size(), nullptr);
      g_failure = kNoFailure;
      delete holder;
    }
    EXPECT_EQ(c.result, result);
    EXPECT_EQ(c.attributes != 0 || c.result == 1 ? std::vector<std::string>{"tavix.ini"}
                                                 : std::vector<std::string>{},
              FolderEntries(dir));
    if (c.attributes != 0) {
      EXPECT_EQ(c.attributes & kKept, GetFileAttributesA(path.c_str()) & kKept);
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    EXPECT_EQ(c.result == 1 ? fresh : c.attributes != 0 ? "old" : "", ReadWholeFile(path));
  }
  RestoreKernelImport(slots[0], g_realCreateFileA);
  RestoreKernelImport(slots[1], g_realWriteFile);
  RestoreKernelImport(slots[2], g_realReplaceFileA);
  RestoreKernelImport(slots[3], g_realMoveFileExA);
}

}  // namespace
