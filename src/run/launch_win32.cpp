#include "run/launch_win32.h"

#include <cstring>

#include "run/launch.h"
#include "run/launch_flags.h"
#include "run/shared_console_win32.h"
#include "support/format_text.h"
#include "support/message_box_win32.h"

void CommandInterpreterPath(char* out, UINT size) {
  const UINT length = GetSystemDirectoryA(out, size);
  if (length == 0 || length >= size || FormatText(out + length, size - length, "\\cmd.exe") < 0) {
    FormatText(out, size, "cmd.exe");
  }
}

namespace {

// Tells the user that a command line did not fit its buffer.
void ReportLineTooLong(HWND owner) {
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  ShowSystemError(owner, kLaunchFailedTitle);
}

// The command line of `command` and `arguments` for a child starting in
// `currentDirectory` into `line`; 0 after the message when it does not fit.
int ComposeLaunchLine(HWND owner, const char* command, const char* arguments,
                      const char* currentDirectory, char* line, std::size_t size) {
  char shell[MAX_PATH];
  CommandInterpreterPath(shell, sizeof shell);
  if (ComposeCommandLineIn(line, size, command, arguments, shell, currentDirectory)) return 1;
  ReportLineTooLong(owner);
  return 0;
}

int CreateChild(HWND owner, const char* title, char* commandLine, const char* currentDirectory,
                const ChildStart& start, PROCESS_INFORMATION* info) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  if (start.output != nullptr) {
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = start.input;
    startup.hStdOutput = start.output;
    startup.hStdError = start.output;
  }
  *info = PROCESS_INFORMATION{};
  const char* directory =
      (currentDirectory != nullptr && currentDirectory[0] != '\0') ? currentDirectory : nullptr;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, start.output != nullptr, start.flags,
                      nullptr, directory, &startup, info)) {
    ShowSystemError(owner, title);
    return 0;
  }
  return 1;
}

}  // namespace

HANDLE LaunchCommand(HWND owner, const char* command, const char* arguments,
                     const char* currentDirectory, int priorityIndex) {
  char line[kCommandLineCapacity];
  if (!ComposeLaunchLine(owner, command, arguments, currentDirectory, line, sizeof line)) {
    return nullptr;
  }
  return StartCommandLine(owner, kLaunchFailedTitle, line,
                          DirectoryForStart(command, currentDirectory), priorityIndex);
}

HANDLE StartComposedLine(HWND owner, const char* composed, const char* command,
                         const char* currentDirectory, int priorityIndex) {
  char line[kCommandLineCapacity];
  const std::size_t length = composed != nullptr ? strnlen(composed, sizeof line) : 0;
  if (length == 0 || length >= sizeof line) {
    ReportLineTooLong(owner);
    return nullptr;
  }
  std::memcpy(line, composed, length + 1);
  return StartCommandLine(owner, kLaunchFailedTitle, line,
                          DirectoryForStart(command, currentDirectory), priorityIndex);
}

HANDLE StartCommandLine(HWND owner, const char* title, char* commandLine,
                        const char* currentDirectory, int priorityIndex) {
  const ChildStart start = {OwnConsoleFlags(priorityIndex, SharedConsoleHeld()), nullptr, nullptr};
  PROCESS_INFORMATION info;
  if (!CreateChild(owner, title, commandLine, currentDirectory, start, &info)) return nullptr;
  CloseHandle(info.hThread);
  return info.hProcess;
}

int LaunchChild(HWND owner, const char* command, const char* arguments,
                const char* currentDirectory, const ChildStart& start, PROCESS_INFORMATION* info) {
  char line[kCommandLineCapacity];
  if (!ComposeLaunchLine(owner, command, arguments, currentDirectory, line, sizeof line)) return 0;
  return CreateChild(owner, kLaunchFailedTitle, line, DirectoryForStart(command, currentDirectory),
                     start, info);
}

int ChildEnded(HANDLE child, DWORD* exitCode) {
  if (!ChildHasEnded(WaitForSingleObject(child, 0))) return 0;
  if (!GetExitCodeProcess(child, exitCode)) *exitCode = 0xFFFFFFFF;
  return 1;
}
