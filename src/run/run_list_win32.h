// The direct run: one command started at once, or the run list dialog
// (resource 103) that starts the commands of a file expansion one after
// another with a chosen process priority.
#pragma once

#include <windows.h>

// Runs the main dialog's parameter set directly. Without file expansion it
// launches the one command; with it, it fills the command list, opens the
// run list and returns when that has closed, running the thread's messages
// meanwhile. Returns 1 when a command was launched or the run list was
// shown and has closed; 0 when the run was refused or could not be built
// (after a message).
int RunDirect(HWND mainDialog);

// Closes the run list if one is open: 1 when it did.
int CloseRunList();

// Procedure of the run list dialog; its creation parameter points to the
// main dialog's window rectangle.
INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Message-filter hook of the list box: clicks and the space key change no
// selection, since the selection shows the progress.
LRESULT CALLBACK RunListHook(int code, WPARAM wParam, LPARAM lParam);
