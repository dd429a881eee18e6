#include "params/param_file_win32.h"

#include <cstddef>

#include "params/param_file.h"
#include "params/param_set_win32.h"
#include "resource.h"
#include "support/byte_buffer.h"
#include "support/control_text_win32.h"
#include "support/file_io_win32.h"
#include "support/format_text.h"
#include "support/memory_win32.h"
#include "support/safe_replace_win32.h"

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

// 1 when the last load found text the parser does not read (UTF-16).
int g_notText = 0;


void CloseHeldFile() {
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) return;
  CloseFile(g_parameterFileHandle);
  g_parameterFileHandle = INVALID_HANDLE_VALUE;
}

// Whether a failed open means that there is no file to lose.
int IsMissingFileError(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Opens the file the way it is held, `attempts` times at most while another
// program has it open. The handle, or INVALID_HANDLE_VALUE with the reason
// as the last error.
HANDLE OpenHeld(int attempts) {
  for (int attempt = 1;; ++attempt) {
    HANDLE file = OpenForReadShared(g_parameterFilePath);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (attempt >= attempts || IsMissingFileError(error)) return INVALID_HANDLE_VALUE;
    Sleep(kBusyFileRetryDelayMs);
    SetLastError(error);
  }
}

void HoldFile() {
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) g_parameterFileHandle = OpenHeld(kBusyFileAttempts);
}

// Replaces the parameter file with `content` in one step (letting go of it
// just before) and holds it again. On failure the file keeps its old bytes
// and the old file is held again.
int RewriteParameterFile(const ByteBuffer& content) {
  int replaced = SafeReplaceFile(g_parameterFilePath, content.data, content.size, CloseHeldFile);
  HoldFile();
  return replaced;
}

int FailLoad() {
  g_loadIncomplete = 1;
  FreeStoredSets();
  FreeBlock(&g_textBlock);
  CloseHeldFile();
  return 0;
}

// LoadParameterFile with the open tried `attempts` times at most.
int LoadFile(int attempts) {
  CloseHeldFile();
  g_loadIncomplete = 0;
  g_notText = 0;
  g_parameterFileHandle = OpenHeld(attempts);
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
  if (!ParameterTextIsReadable(g_textBlock, size)) {
    g_notText = 1;
    return FailLoad();
  }
  if (!ParseParameterText(g_textBlock, size)) return FailLoad();
  return 1;
}

// A load that failed on a file that is there leaves every rewrite refused;
// the next rewrite first tries the load again, so that the file can be
// saved into once the program that held it has let go.
int RecoverFromFailedLoad() {
  return !g_loadIncomplete || ReloadParameterFile();
}

}  // namespace

int LoadParameterFile() {
  return LoadFile(1);
}

int ReloadParameterFile() {
  ReleaseParameterFile();
  return LoadFile(kBusyFileAttempts);
}

int IsParameterFileText() {
  return !g_notText;
}

int CreateParameterFile() {
  CloseHeldFile();
  HANDLE file = CreateForWrite(g_parameterFilePath);
  if (file == INVALID_HANDLE_VALUE) return 0;
  CloseFile(file);
  HoldFile();
  if (g_parameterFileHandle == INVALID_HANDLE_VALUE) return 0;
  g_loadIncomplete = 0;
  g_notText = 0;
  return 1;
}

void ReleaseParameterFile() {
  CloseHeldFile();
  FreeBlock(&g_textBlock);
  FreeStoredSets();
}

int SaveSetFromDialog(HWND dialog, const char* name) {
  if (!RecoverFromFailedLoad()) return 0;
  ByteBuffer content;
  int ok = AppendParameterFileMark(&content) && WriteSetSection(&content, name, dialog) &&
           BuildParameterFileText(&content, nullptr, nullptr, name) &&
           RewriteParameterFile(content);
  FreeByteBuffer(&content);
  if (!ok) return 0;
  RemoveStoredSet(name);
  return 1;
}

int DeleteStoredSet(const char* name) {
  if (!RecoverFromFailedLoad() || FindStoredSet(name) == nullptr) return 0;
  ByteBuffer content;
  int ok = AppendParameterFileMark(&content) &&
           BuildParameterFileText(&content, nullptr, nullptr, name) &&
           RewriteParameterFile(content);
  FreeByteBuffer(&content);
  if (!ok) return 0;
  RemoveStoredSet(name);
  ReloadParameterFile();
  return 1;
}

int TakeParameterFile() {
  if (FileExists(g_parameterFilePath)) return LoadParameterFile();
  return CreateParameterFile();
}

int IsParameterFileHeld() {
  return g_parameterFileHandle != INVALID_HANDLE_VALUE ? 1 : 0;
}
