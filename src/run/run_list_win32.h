// The run list dialog (resource 103): it starts the commands of a file
// expansion, up to N at a time, with a chosen process priority, in consoles
// of their own or with their output taken in, and shows how each ended.
#pragma once

#include <windows.h>

#include "run/command_list.h"

// Opens the run list over `commands` (their program, folder and argument
// texts, which stay valid until it returns) and runs the thread's messages
// until it has closed. The rows whose commands `targets` marks (after
// CheckTargets, expand/target_check.h) are highlighted, and the first Start
// asks about them. Returns 1 when it was shown and has closed; 0 when the
// dialog could not be made (after a message owned by `mainDialog`).
int ShowRunList(HWND mainDialog, const CommandList& commands, const TargetRecord& targets);

// 1 while a run list dialog exists.
int RunListOpen();

// Closes the run list if one is open: 1 when it did.
int CloseRunList();

// Procedure of the run list dialog; its creation parameter points to the
// main dialog's window rectangle.
INT_PTR CALLBACK RunListProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Message-filter hook of the list box: clicks and the space key change no
// selection, since the selection shows the progress; a click moves the
// caret, a double-click or Enter opens the output window of the row.
LRESULT CALLBACK RunListHook(int code, WPARAM wParam, LPARAM lParam);
