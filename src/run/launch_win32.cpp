#include "run/launch_win32.h"

#include <cstdio>

#include "run/launch.h"

HANDLE LaunchCommand(HWND owner, const char* command, const char* arguments,
                     const char* currentDirectory, int priorityIndex) {
  char line[kCommandLineCapacity];
  if (!ComposeCommandLine(line, sizeof line, command, arguments)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    ShowSystemError(owner, kLaunchFailedTitle);
    return nullptr;
  }
  return StartCommandLine(owner, kLaunchFailedTitle, line, currentDirectory, priorityIndex);
}

HANDLE StartCommandLine(HWND owner, const char* title, char* commandLine,
                        const char* currentDirectory, int priorityIndex) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  const char* directory =
      (currentDirectory != nullptr && currentDirectory[0] != '\0') ? currentDirectory : nullptr;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE,
                      CreationFlagsForPriority(priorityIndex), nullptr, directory, &startup,
                      &info)) {
    ShowSystemError(owner, title);
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

void ShowInformationText(HWND owner, const char* title, const char* text) {
  MessageBoxA(owner, text, title, MB_OK | MB_ICONINFORMATION);
}

void ShowSystemError(HWND owner, const char* title) {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  if (length != 0 && text != nullptr) {
    ShowInformationText(owner, title, text);
  } else {
    char fallback[64];
    std::snprintf(fallback, sizeof fallback, kSystemErrorFallbackFormat,
                  static_cast<unsigned long>(code));
    ShowInformationText(owner, title, fallback);
  }
  if (text != nullptr) LocalFree(text);
}

void ShowShellError(HWND owner, const char* title, INT_PTR value) {
  const char* text = ShellErrorText(static_cast<long long>(value));
  if (text != nullptr) ShowInformationText(owner, title, text);
}

void ShowProgramError(HWND owner, const char* title, int code) {
  const char* text = ProgramErrorText(code);
  if (text != nullptr) ShowInformationText(owner, title, text);
}
