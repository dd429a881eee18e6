// What ending the program means for the commands whose output is taken in:
// once it has ended, nothing reads their pipes, and their next write fails.
#pragma once

#include <windows.h>

// A run without a user (the program closes itself when it is done): ending
// it asks nothing.
void SetUnattendedRun(int on);

// The session ends (log-off, shut-down): ending the program asks nothing.
void NoteSessionEnding();

// 1 when the program may end now: no pipe of a taken-in command can still
// be written to, the run is unattended, the session ends, or the user
// answered Yes in the Yes/No box owned by `owner` that says how many.
int MayEndWithTakenInOutput(HWND owner);
