// The direct run: one command started at once, or the run list over the
// commands of a file expansion.
#pragma once

#include <windows.h>

#include "params/field_table.h"

// Runs the parameter set `set` directly. Without file expansion it launches
// the one command; with it, it makes the commands, opens the run list and
// returns when that has closed, running the thread's messages meanwhile.
// Returns 1 when a command was launched or the run list was shown and has
// closed; 0 when the run was refused or could not be built (after a message
// owned by `owner`). With `child`, the process of the one command launched
// without file expansion is handed over there (the caller closes it)
// instead of being let go.
int RunDirect(HWND owner, const ParameterSet& set, HANDLE* child = nullptr);
