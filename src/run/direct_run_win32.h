// The direct run: one command started at once, or the run list over the
// commands of a file expansion.
#pragma once

#include <windows.h>

#include "params/field_table.h"

// Runs the parameter set `set` directly: makes its plan (run/plan.h), in
// the program's working folder now when the current directory is empty.
// Without file expansion it launches the one command; with it, it opens the
// run list over the plan's commands and
// returns when that has closed, running the thread's messages meanwhile.
// Returns 1 when a command was launched or the run list was shown and has
// closed; 0 when the run was refused or could not be built (after a message
// owned by `owner`).
int RunDirect(HWND owner, const ParameterSet& set);
