// Start-up of the program on the system: the executable's path, the parameter
// file taken and held, the hand-over to a copy that already holds it, the main
// dialog, and the start-up messages.
#pragma once

#include <windows.h>

#include "app/startup.h"

// How long a start on a parameter file that cannot be taken looks for the
// window of a copy that holds it (that copy may still be starting).
inline constexpr DWORD kHandOverWaitMs = 2000;

// Works out the executable directory from the executable's own path, the
// parameter file from the command-line tail, the build date text, the window
// title and the batch file path. Touches no file.
StartupFailure PrepareStartupPaths(const char* commandTail);

// Shows a start-up message: no owner, caption "タビクス", information icon.
void ShowStartupMessage(const char* text);

// Looks for a top-level window titled with this run's window title for up to
// `waitMs` milliseconds and brings it to the foreground: 1 when found.
int HandOverToRunningInstance(DWORD waitMs);

// The whole start-up and the main dialog; returns the exit code of the
// program: 0, or -1 after a start-up message.
int RunTavix(HINSTANCE instance, const char* commandTail);
