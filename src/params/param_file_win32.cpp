#include "params/param_file_win32.h"

#include <cstddef>

#include "params/name_list_win32.h"
#include "params/param_file.h"
#include "params/param_set_win32.h"
#include "resource.h"
#include "support/byte_buffer.h"
#include "support/control_text_win32.h"
#include "support/file_io_win32.h"
#include "support/format_text.h"
#include "support/memory_win32.h"

namespace {

// The held parameter file; INVALID_HANDLE_VALUE while it is not held.
HANDLE g_parameterFileHandle = INVALID_HANDLE_VALUE;

// The file's bytes and a terminating zero; the set list points into it.
char* g_textBlock = nullptr;

// 1 when the last load found the file but could not read it whole into
// memory (it could not be opened, or not read, or not parsed). The set list
// then does not mirror the file, so no rewrite may replace the file until a
// load succeeds.
int g_loadIncomplete = 0;

// Capacity of the name box text read by Delete (at most 255 characters).
constexpr int kDeleteNameSize = 256;

// The new content is written next to the file under this suffix first.
const char kTempSuffix[] = ".~tmp";

// How often, and how far apart, the final replace is tried while another
// program briefly has the file open.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryDelayMs = 50;

void CloseHeldFile() {
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) return;
  CloseFile(g_parameterFileHandle);
  g_parameterFileHandle = INVALID_HANDLE_VALUE;
}

void HoldFile() {
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) {
    g_parameterFileHandle = OpenForReadShared(g_parameterFilePath);
  }
}

// Writes all of `content` to a new file at `path` and flushes it: 1 when every
// byte reached the disk.
int WriteTemporaryFile(const char* path, const ByteBuffer& content) {
  HANDLE file = CreateForWrite(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  int ok = 1;
  std::size_t done = 0;
  while (ok && done < content.size) {
    std::size_t left = content.size - done;
    DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
    DWORD written = WriteBytes(file, content.data + done, chunk);
    if (written != chunk) ok = 0;
    done += written;
  }
  if (ok && !FlushFileBuffers(file)) ok = 0;
  if (!CloseFile(file)) ok = 0;
  return ok;
}

int IsTransientReplaceError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION;
}

int ReplaceWithRetry(const char* from, const char* to) {
  for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
    if (attempt > 0) Sleep(kReplaceRetryDelayMs);
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
    if (!IsTransientReplaceError(GetLastError())) break;
  }
  return 0;
}

// A read-only file or a folder in the file's place is never replaced (the
// system would refuse to truncate either one; a rename need not), and neither
// is a path without a name.
int TargetMayBeReplaced(const char* path) {
  if (path[0] == '\0') return 0;
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 1;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Replaces the parameter file with `content` in one step and holds it again.
// On failure the file keeps its old bytes, no temporary file is left, and the
// old file is held again.
int RewriteParameterFile(const ByteBuffer& content) {
  if (!TargetMayBeReplaced(g_parameterFilePath)) return 0;
  char tempPath[kParameterFilePathSize + sizeof kTempSuffix];
  if (FormatText(tempPath, sizeof tempPath, "%s%s", g_parameterFilePath, kTempSuffix) < 0) return 0;
  if (!WriteTemporaryFile(tempPath, content)) {
    DeleteFileA(tempPath);
    return 0;
  }
  // The held handle does not share deletion, so it has to go for the replace.
  CloseHeldFile();
  int replaced = ReplaceWithRetry(tempPath, g_parameterFilePath);
  if (!replaced) DeleteFileA(tempPath);
  HoldFile();
  return replaced;
}

// Whether a failed open means that there is no file to lose.
int IsMissingFileError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

int FailLoad() {
  g_loadIncomplete = 1;
  FreeStoredSets();
  FreeBlock(&g_textBlock);
  CloseHeldFile();
  return 0;
}

}  // namespace

int LoadParameterFile() {
  CloseHeldFile();
  g_loadIncomplete = 0;
  g_parameterFileHandle = OpenForReadShared(g_parameterFilePath);
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) {
    // A file that someone else has open (a scanner reading it just after a
    // rewrite, say) still holds sets that the list in memory does not.
    if (!IsMissingFileError(GetLastError())) g_loadIncomplete = 1;
    return 0;
  }
  // Records of an earlier load would point into the block released here.
  FreeStoredSets();
  FreeBlock(&g_textBlock);
  DWORD size = GetSmallFileSize(g_parameterFileHandle);
  if (size == 0) {
    // The size is 0 also for a file of 4 GiB or more: empty only when there
    // is nothing to read.
    char probe = 0;
    if (ReadBytes(g_parameterFileHandle, &probe, 1) != 0) return FailLoad();
    return 1;
  }
  std::size_t blockSize = static_cast<std::size_t>(size) + 1;
  if (blockSize == 0 || !AllocBlock(&g_textBlock, blockSize)) return FailLoad();
  if (ReadBytes(g_parameterFileHandle, g_textBlock, size) != size) return FailLoad();
  if (!ParseParameterText(g_textBlock)) return FailLoad();
  return 1;
}

int CreateParameterFile() {
  CloseHeldFile();
  HANDLE file = CreateForWrite(g_parameterFilePath);
  if (file == INVALID_HANDLE_VALUE) return 0;
  CloseFile(file);
  HoldFile();
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) return 0;
  g_loadIncomplete = 0;
  return 1;
}

void ReleaseParameterFile() {
  CloseHeldFile();
  FreeBlock(&g_textBlock);
  FreeStoredSets();
}

int SaveSetFromDialog(HWND dialog, const char* name) {
  if (g_loadIncomplete) return 0;
  ByteBuffer content;
  int ok = WriteSetSection(&content, name, dialog) &&
           BuildParameterFileText(&content, nullptr, nullptr, name) &&
           RewriteParameterFile(content);
  FreeByteBuffer(&content);
  if (!ok) return 0;
  RemoveStoredSet(name);
  return 1;
}

int DeleteSelectedSet(HWND dialog) {
  char name[kDeleteNameSize] = {};
  ReadControlText(dialog, IDC_NAME_LIST, name, kDeleteNameSize);
  if (name[0] == '\0') return 0;
  if (FindStoredSet(name) == nullptr || g_loadIncomplete) return 0;
  ByteBuffer content;
  int ok = BuildParameterFileText(&content, nullptr, nullptr, name) &&
           RewriteParameterFile(content);
  FreeByteBuffer(&content);
  if (!ok) return 0;
  RemoveStoredSet(name);
  ReleaseParameterFile();
  LoadParameterFile();
  FillNameList(dialog);
  return 1;
}

int IsParameterFileHeld() {
  return g_parameterFileHandle != INVALID_HANDLE_VALUE ? 1 : 0;
}
