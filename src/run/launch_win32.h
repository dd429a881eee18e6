// Starting a command line as a child process; a failed start shows the
// system's text (support/message_box_win32.h).
#pragma once

#include <windows.h>

#include "support/message_box_win32.h"

// Full path of the command interpreter in the system folder, which runs
// batch files ("cmd.exe", found the usual way, when that cannot be had).
void CommandInterpreterPath(char* out, UINT size);

// Starts `command`, followed by one blank and `arguments` when `arguments` is
// not null (even when it is empty), as ComposeCommandLine (run/launch.h)
// makes the line: a program path with a blank quoted, a batch file started
// through the system's cmd.exe; in `currentDirectory` (null or "" keeps
// the program's own current directory; a UNC folder that cmd would refuse is
// entered by the command line itself, ComposeCommandLineIn). `priorityIndex` is a row of the
// process priority table (run/launch.h); a negative index passes no priority
// class. While the program holds the hidden console of the taken-in commands
// (run/shared_console_win32.h), the child gets a console of its own, as it
// would without it. Returns the child's process handle, which the caller then owns and
// must close, or null after showing the system's text under "タビクス：実行失敗".
HANDLE LaunchCommand(HWND owner, const char* command, const char* arguments,
                     const char* currentDirectory, int priorityIndex);

// Starts `composed`, the line ComposeCommandLineIn (run/launch.h) made of
// `command` for a child in `currentDirectory`, as LaunchCommand starts its
// line; an empty `composed` is a line that did not fit, reported as
// LaunchCommand reports it.
HANDLE StartComposedLine(HWND owner, const char* composed, const char* command,
                         const char* currentDirectory, int priorityIndex);

// Starts the whole `commandLine` (a writable buffer, as CreateProcessA wants
// it) as LaunchCommand starts its line, and shows the system's text under
// `title` when that fails.
HANDLE StartCommandLine(HWND owner, const char* title, char* commandLine,
                        const char* currentDirectory, int priorityIndex);

// How a child starts besides its command line: its creation flags, and
// either a console of its own (null handles) or its standard output and
// error into `output` and its input from `input` (both inheritable).
struct ChildStart {
  DWORD flags;
  HANDLE output;
  HANDLE input;
};

// Starts `command` and `arguments` as LaunchCommand composes and starts
// them, but as `start` says; both handles of the started process in `info`
// (the caller closes them). 0 after the system's text under
// "タビクス：実行失敗".
int LaunchChild(HWND owner, const char* command, const char* arguments,
                const char* currentDirectory, const ChildStart& start, PROCESS_INFORMATION* info);

// 1 when the child's process has ended (its handle is waited on with no
// time-out), with its exit code (0xFFFFFFFF when the system cannot tell it);
// 0 while it runs.
int ChildEnded(HANDLE child, DWORD* exitCode);
