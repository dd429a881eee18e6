// Rewriting a file through a temporary file beside it: what the file holds,
// and what is left in its folder, when each step of the way fails.
#include "support/safe_replace_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "folder_entries.h"
#include "support/import_patch.h"
#include "test_env.h"

namespace {

enum Failure { kNoFailure, kCreateDenied, kCreateDiskFull, kWriteFails, kMoveDenied };
Failure g_failure = kNoFailure;

decltype(&CreateFileA) g_realCreateFileA = nullptr;
decltype(&WriteFile) g_realWriteFile = nullptr;
decltype(&ReplaceFileA) g_realReplaceFileA = nullptr;
decltype(&MoveFileExA) g_realMoveFileExA = nullptr;

BOOL Fail(Failure when, DWORD error) {
  if (g_failure == when) SetLastError(error);
  return g_failure != when;
}

HANDLE WINAPI TestCreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                              DWORD disposition, DWORD flags, HANDLE model) {
  if (disposition == CREATE_NEW &&
      !(Fail(kCreateDenied, ERROR_ACCESS_DENIED) && Fail(kCreateDiskFull, ERROR_DISK_FULL))) {
    return INVALID_HANDLE_VALUE;
  }
  return g_realCreateFileA(path, access, share, security, disposition, flags, model);
}

BOOL WINAPI TestWriteFile(HANDLE file, LPCVOID bytes, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
  *written = 0;
  return Fail(kWriteFails, ERROR_DISK_FULL) && g_realWriteFile(file, bytes, size, written, overlapped);
}

BOOL WINAPI TestReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID a, LPVOID b) {
  return Fail(kMoveDenied, ERROR_ACCESS_DENIED) && g_realReplaceFileA(replaced, replacement, backup, flags, a, b);
}

BOOL WINAPI TestMoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
  return Fail(kMoveDenied, ERROR_ACCESS_DENIED) && g_realMoveFileExA(from, to, flags);
}

TEST(SafeReplace, FileHoldsTheOldOrTheNewBytesAndNothingIsLeftBeside) {
  void** slots[] = {
      SwapKernelImport("CreateFileA", &TestCreateFileA, &g_realCreateFileA),
      SwapKernelImport("WriteFile", &TestWriteFile, &g_realWriteFile),
      SwapKernelImport("ReplaceFileA", &TestReplaceFileA, &g_realReplaceFileA),
      SwapKernelImport("MoveFileExA", &TestMoveFileExA, &g_realMoveFileExA),
  };
  for (void** slot : slots) ASSERT_NE(nullptr, slot);
  const DWORD kArchive = FILE_ATTRIBUTE_ARCHIVE;
  const DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY;
  const struct {
    const char* what;
    Failure failure;
    DWORD attributes;  // of the file beforehand; 0: no file
    int result;
  } cases[] = {
      {"new file", kNoFailure, 0, 1},
      {"hidden file", kNoFailure, FILE_ATTRIBUTE_HIDDEN | kArchive, 1},
      {"read-only file", kNoFailure, FILE_ATTRIBUTE_READONLY | kArchive, 0},
      {"folder takes no new file", kCreateDenied, kArchive, 1},
      {"disk full", kCreateDiskFull, kArchive, 0},
      {"write fails", kWriteFails, kArchive, 0},
      {"no rename allowed", kMoveDenied, kArchive, 1},
      {"no rename allowed, new file", kMoveDenied, 0, 1},
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
    g_failure = c.failure;
    EXPECT_EQ(c.result, SafeReplaceFile(path.c_str(), fresh.data(), fresh.size(), nullptr));
    g_failure = kNoFailure;
    const bool exists = c.attributes != 0 || c.result == 1;
    EXPECT_EQ(exists ? std::vector<std::string>{"tavix.ini"} : std::vector<std::string>{}, FolderEntries(dir));
    EXPECT_EQ(c.attributes & kKept, (c.attributes != 0 ? GetFileAttributesA(path.c_str()) : 0) & kKept);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(c.result == 1 ? fresh : c.attributes != 0 ? "old" : "", ReadWholeFile(path));
  }
  RestoreKernelImport(slots[0], g_realCreateFileA);
  RestoreKernelImport(slots[1], g_realWriteFile);
  RestoreKernelImport(slots[2], g_realReplaceFileA);
  RestoreKernelImport(slots[3], g_realMoveFileExA);
}

}  // namespace
