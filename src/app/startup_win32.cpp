#include "app/startup_win32.h"

#include "app/hand_over_win32.h"
#include "app/main_dialog_win32.h"
#include "app/set_request_win32.h"
#include "app/set_start_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "resource.h"
#include "run/launch_win32.h"
#include "run/run_quit_win32.h"
#include "support/byte_buffer.h"
#include "support/file_io_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"

namespace {

constexpr DWORD kModulePathSize = 260;
constexpr DWORD kHandOverPollMs = 100;

// A file larger than this is no parameter file a person keeps by hand.
constexpr DWORD kLargestParameterFile = 16u * 1024 * 1024;

int KindOfPath(const char* path) {
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return kNoSuchPath;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? kPathIsFolder : kPathIsFile;
}

int ReadWholeSmallFile(const char* path, ByteBuffer* out) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  DWORD high = 0;
  const DWORD size = GetFileSize(file, &high);
  int result = -1;
  if (size != INVALID_FILE_SIZE && high == 0 && size <= kLargestParameterFile) {
    char* bytes = ExtendBuffer(out, size + 1);
    DWORD read = 0;
    result = bytes != nullptr && (size == 0 || ReadFile(file, bytes, size, &read, nullptr)) ? 1 : 0;
    if (result == 1) {
      bytes[read] = '\0';
      out->size = read;
    }
  }
  CloseHandle(file);
  return result;
}

constexpr StartupDisk kStartupDisk = {KindOfPath, ReadWholeSmallFile};

}  // namespace

StartupFailure PrepareStartupPaths(const char* commandTail) {
  char modulePath[kModulePathSize] = {};
  if (GetModuleFileNameA(nullptr, modulePath, kModulePathSize) == 0) return kModulePathUnavailable;
  StartupFailure failure = SetExecutableDirectory(modulePath);
  if (failure == kStartupOk) failure = ChooseParameterFile(commandTail);
  if (failure != kStartupOk) return failure;
  FormBuildDateText();
  ComposeTitleAndBatchPath();
  return kStartupOk;
}

void ShowStartupMessage(const char* text) {
  ShowInformationText(nullptr, kProductName, text);
}

int HandOverToRunningInstance(DWORD waitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND running = FindWindowA(nullptr, g_windowTitle);
    if (running != nullptr) {
      SetForegroundWindow(running);
      return 1;
    }
    if (GetTickCount() - start >= waitMs) return 0;
    Sleep(kHandOverPollMs);
  }
}

namespace {

// A start-up message of a start that names a set; with /exit it goes to the
// log once the parameter file is known, and is dropped before.
void ShowSetStartMessage(const SetRequest& request, const char* text) {
  if (request.exit && !MessagesGoToLog()) return;
  ShowStartupMessage(text);
}

// A start that names a set (app/set_request.h).
int RunSetStart(HINSTANCE instance, SetRequest* request) {
  const StartupFailure failure = PrepareStartupPaths(request->parameterFile);
  char logPath[kParameterFilePathSize];
  if (request->exit && g_parameterFilePath[0] != '\0' &&
      ComposeRunLogPath(g_parameterFilePath, logPath, sizeof logPath)) {
    SendMessagesToLog(logPath, request->yes);
  }
  // Nobody is asked before the program ends in a run that closes itself.
  SetUnattendedRun(request->exit);
  if (failure != kStartupOk) {
    ShowSetStartMessage(*request, StartupFailureText(failure));
    return kExitStartupError;
  }
  char text[kParameterFilePathSize + 512] = {};
  if (request->error != kRequestOk) {
    SetRequestErrorText(*request, text, sizeof text);
    ShowSetStartMessage(*request, text);
    return kExitStartupError;
  }
  char quoted[kParameterFilePathSize + 2] = {};
  if (request->parameterFile[0] != '\0') FormatText(quoted, sizeof quoted, "\"%s\"", request->parameterFile);
  char named[kParameterFilePathSize] = {};
  const StartupFailure refusal = CheckCommandLineName(quoted, kStartupDisk, named, sizeof named);
  if (refusal != kStartupOk) {
    StartupRefusalText(refusal, named, text, sizeof text);
    ShowSetStartMessage(*request, text);
    return kExitStartupError;
  }
  if (TakeParameterFile()) {
    KeepStartRequest(request);
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    return RequestExitCode();
  }
  if (!IsParameterFileText()) {
    ShowSetStartMessage(*request, StartupFailureText(kParameterFileNotText));
    return kExitStartupError;
  }
  // A run nobody watches does not hand over: the file is simply in use.
  if (request->exit) {
    FormatText(text, sizeof text, kParameterFileInUseFormat, g_parameterFilePath);
    ShowSetStartMessage(*request, text);
    return kExitBusy;
  }
  return HandRequestOver(*request, kHandOverWaitMs);
}

}  // namespace

int RunTavix(HINSTANCE instance, const char* commandTail) {
  SetRequest request{};
  if (ReadProcessSetRequest(&request)) {
    const int code = RunSetStart(instance, &request);
    FreeSetRequest(&request);
    return code;
  }
  const StartupFailure failure = PrepareStartupPaths(commandTail);
  if (failure != kStartupOk) {
    ShowStartupMessage(StartupFailureText(failure));
    return -1;
  }
  char named[kParameterFilePathSize] = {};
  const StartupFailure refusal = CheckCommandLineName(commandTail, kStartupDisk, named, sizeof named);
  if (refusal != kStartupOk) {
    char text[kParameterFilePathSize + 512] = {};
    StartupRefusalText(refusal, named, text, sizeof text);
    ShowStartupMessage(text);
    return -1;
  }
  // The windows use only the standard controls of user32, so the common
  // controls library is not loaded: it would only make every start slower.
  if (TakeParameterFile()) {
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0);
    return 0;
  }
  // A file this program cannot read is left as it is, and the user is told.
  if (!IsParameterFileText()) {
    ShowStartupMessage(StartupFailureText(kParameterFileNotText));
    return -1;
  }
  // Usually another copy holds the file: its window takes over. Without one
  // the file itself is unusable, and the user is told why.
  DWORD error = GetLastError();
  if (error == ERROR_SUCCESS) error = ERROR_OPEN_FAILED;
  if (HandOverToRunningInstance(kHandOverWaitMs)) return 0;
  SetLastError(error);
  ShowSystemError(nullptr, kProductName);
  return -1;
}
