#include "app/startup_win32.h"

#include "app/main_dialog_win32.h"
#include "params/param_file.h"
#include "params/param_file_win32.h"
#include "resource.h"
#include "run/launch_win32.h"
#include "support/file_io_win32.h"

namespace {

constexpr DWORD kModulePathSize = 260;
constexpr DWORD kHandOverPollMs = 100;

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
  MessageBoxA(nullptr, text, kProductName, MB_OK | MB_ICONINFORMATION);
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

int RunTavix(HINSTANCE instance, const char* commandTail) {
  const StartupFailure failure = PrepareStartupPaths(commandTail);
  if (failure != kStartupOk) {
    ShowStartupMessage(StartupFailureText(failure));
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
