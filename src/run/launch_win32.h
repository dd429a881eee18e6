// Starting a command line as a child process, and the three kinds of failure
// message: the system's text for the last error, the texts for ShellExecuteA
// failure values, and the program's own error table (codes in run/launch.h).
// Every box is an information box with one OK button, owned by `owner` and
// titled by the caller; each call returns after the user has closed it.
#pragma once

#include <windows.h>

// Starts `command`, followed by one blank and `arguments` when `arguments` is
// not null (even when it is empty), in `currentDirectory` (null or "" keeps
// the program's own current directory). `priorityIndex` is a row of the
// process priority table (run/launch.h); a negative index passes no priority
// class. Returns the child's process handle, which the caller then owns and
// must close, or null after showing the system's text under "タビクス：実行失敗".
HANDLE LaunchCommand(HWND owner, const char* command, const char* arguments,
                     const char* currentDirectory, int priorityIndex);

// Starts the whole `commandLine` (a writable buffer, as CreateProcessA wants
// it) as LaunchCommand starts its line, and shows the system's text under
// `title` when that fails.
HANDLE StartCommandLine(HWND owner, const char* title, char* commandLine,
                        const char* currentDirectory, int priorityIndex);

// Shows `text` in an information box with one OK button.
void ShowInformationText(HWND owner, const char* title, const char* text);

// Shows the system's text for the calling thread's last error code.
void ShowSystemError(HWND owner, const char* title);

// Shows the text for a failure value returned by ShellExecuteA (pass
// reinterpret_cast<INT_PTR>(result)); values without a text, success values
// (above 32) included, show nothing.
void ShowShellError(HWND owner, const char* title, INT_PTR value);

// Shows the program's text for an error code 0-6 (ProgramError in
// run/launch.h); any other code shows nothing.
void ShowProgramError(HWND owner, const char* title, int code);
