#include "support/safe_replace_win32.h"

#include <windows.h>

#include "support/file_io_win32.h"
#include "support/path_split.h"

namespace {

// Room for the temporary path, which is never longer than the file's own.
constexpr std::size_t kTemporaryPathSize = 1024;

// Names tried for the temporary file before giving up on one.
constexpr unsigned kTemporaryNameAttempts = 64;

// The attributes a replaced file takes over from the one it replaces (the
// archive bit stays as the write left it: the file did change).
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A read-only file or a folder in the file's place is never replaced (the
// system would refuse to truncate either one; a rename need not), and neither
// is a path without a name.
int TargetMayBeReplaced(const char* path, DWORD attributes) {
  if (path[0] == '\0') return 0;
  if (attributes == INVALID_FILE_ATTRIBUTES) return 1;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Writes all the bytes to an open file and closes it: 1 when every byte was
// written and flushed; 0 with the reason as the last error (a write that
// stops short without one counts as a write fault).
int WriteAllAndClose(HANDLE file, const char* bytes, std::size_t size) {
  DWORD error = NO_ERROR;
  std::size_t done = 0;
  while (error == NO_ERROR && done < size) {
    std::size_t left = size - done;
    DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    SetLastError(NO_ERROR);
    DWORD written = WriteBytes(file, bytes + done, chunk);
    if (written != chunk) error = GetLastError() != NO_ERROR ? GetLastError() : ERROR_WRITE_FAULT;
    done += written;
  }
  if (error == NO_ERROR && !FlushFileBuffers(file)) error = GetLastError();
  if (!CloseFile(file) && error == NO_ERROR) error = GetLastError();
  SetLastError(error);
  return error == NO_ERROR;
}

// Creates a temporary file beside `path` under a name nobody uses: its
// handle, with the name in `temporary`; INVALID_HANDLE_VALUE when the folder
// takes no new file, with the system's reason in *error.
HANDLE CreateTemporarySibling(const char* path, char* temporary, DWORD* error) {
  const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
  *error = ERROR_FILE_EXISTS;
  for (unsigned attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    if (!MakeTemporarySiblingPath(path, seed + attempt, temporary, kTemporaryPathSize)) break;
    HANDLE file = CreateNewForWrite(temporary);
    if (file != INVALID_HANDLE_VALUE) return file;
    *error = GetLastError();
    if (*error != ERROR_FILE_EXISTS && *error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

int IsTransientReplaceError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED ||
         error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
}

// One try at putting the temporary file in the place of `path`: over an
// existing file in a way that keeps its identity, attributes and
// permissions; by a rename where there is no file (any more) or where the
// system's replace cannot handle the path. On failure *error holds the
// reason.
int ReplaceOrMove(const char* temporary, const char* path, DWORD* error) {
  // A file that others hold without letting it be taken away is waited for
  // rather than handed to the replace, which may have moved it aside under a
  // name of its own before it fails.
  HANDLE target = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (target == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    if (*error != ERROR_FILE_NOT_FOUND) return 0;
  } else {
    CloseHandle(target);
    if (ReplaceFileA(path, temporary, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) return 1;
    *error = GetLastError();
    if (IsTransientReplaceError(*error) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return 0;
  }
  if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
  *error = GetLastError();
  return 0;
}

int MoveIntoPlace(const char* temporary, const char* path, DWORD* error) {
  for (int attempt = 0; attempt < kBusyFileAttempts; ++attempt) {
    if (attempt > 0) Sleep(kBusyFileRetryDelayMs);
    if (ReplaceOrMove(temporary, path, error)) return 1;
    if (!IsTransientReplaceError(*error)) break;
  }
  return 0;
}

// Gives the file in place the attributes its predecessor had.
void KeepAttributes(const char* path, DWORD old) {
  DWORD now = GetFileAttributesA(path);
  if (old == INVALID_FILE_ATTRIBUTES || now == INVALID_FILE_ATTRIBUTES) return;
  if ((now & kKeptAttributes) == (old & kKeptAttributes)) return;
  SetFileAttributesA(path, (now & ~kKeptAttributes) | (old & kKeptAttributes));
}

int RewriteInPlace(const char* path, const char* bytes, std::size_t size) {
  HANDLE file = CreateForWrite(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  return WriteAllAndClose(file, bytes, size);
}

// Returns 0 with `error` as the last error.
int Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

}  // namespace

int SafeReplaceFile(const char* path, const void* bytes, std::size_t size, void (*letGo)()) {
  const char* content = static_cast<const char*>(bytes);
  const DWORD attributes = GetFileAttributesA(path);
  if (!TargetMayBeReplaced(path, attributes)) {
    return Fail(path[0] == '\0' ? ERROR_PATH_NOT_FOUND : ERROR_ACCESS_DENIED);
  }
  const int targetExists = attributes != INVALID_FILE_ATTRIBUTES;
  char temporary[kTemporaryPathSize] = {};
  DWORD error = 0;
  HANDLE file = CreateTemporarySibling(path, temporary, &error);
  if (file != INVALID_HANDLE_VALUE) {
    if (!WriteAllAndClose(file, content, size)) {
      error = GetLastError();
      DeleteFileA(temporary);
      return Fail(error);
    }
    if (letGo != nullptr) letGo();
    letGo = nullptr;
    if (MoveIntoPlace(temporary, path, &error)) {
      KeepAttributes(path, targetExists ? attributes : INVALID_FILE_ATTRIBUTES);
      return 1;
    }
    // Should the old file be gone after all, the new bytes stay where they are.
    if (targetExists && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return Fail(error);
    DeleteFileA(temporary);
  }
  // Only a folder that takes no new file, or lets none be renamed, makes the
  // plain rewrite worth its risk.
  if (error != ERROR_ACCESS_DENIED) return Fail(error);
  if (letGo != nullptr) letGo();
  return RewriteInPlace(path, content, size);
}
