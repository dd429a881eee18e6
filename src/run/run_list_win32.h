// The run list dialog (resource 103): it starts the commands of a file
// expansion, up to N at a time, with a chosen process priority, in consoles
// of their own or with their output taken in, and shows how each ended.
// One list at a time. Its state lives with its window; its commands, their
// pipes and the reader of their output belong to the program and outlive
// it: closing the list lets them run on (run/run_child_win32.h).
#pragma once

#include <windows.h>

#include "run/run_list_input_win32.h"

// Opens the run list and runs the thread's messages until it has closed.
// Returns 1 when it was shown and has closed; 0 when it could not be made
// (after a message owned by the owner).
int ShowRunList(const RunListInput& input);

// 1 while a run list dialog exists.
int RunListOpen();

// Closes the run list if one is open: 1 when it did.
int CloseRunList();

// Procedure of the run list dialog; its creation parameter is its state.
INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
