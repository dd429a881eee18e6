#include "run/launch_win32.h"

#include "run/launch.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"

void CommandInterpreterPath(char* out, UINT size) {
  const UINT length = GetSystemDirectoryA(out, size);
  if (length == 0 || length >= size || FormatText(out + length, size - length, "\\cmd.exe") < 0) {
    FormatText(out, size, "cmd.exe");
  }
}

HANDLE LaunchCommand(HWND owner, const char* command, const char* arguments,
                     const char* currentDirectory, int priorityIndex) {
  char shell[MAX_PATH];
  CommandInterpreterPath(shell, sizeof shell);
  char line[kCommandLineCapacity];
  if (!ComposeCommandLineIn(line, sizeof line, command, arguments, shell, currentDirectory)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    ShowSystemError(owner, kLaunchFailedTitle);
    return nullptr;
  }
  return StartCommandLine(owner, kLaunchFailedTitle, line,
                          DirectoryForStart(command, currentDirectory), priorityIndex);
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

int ChildEnded(HANDLE child, DWORD* exitCode) {
  if (!ChildHasEnded(WaitForSingleObject(child, 0))) return 0;
  if (!GetExitCodeProcess(child, exitCode)) *exitCode = 0xFFFFFFFF;
  return 1;
}
