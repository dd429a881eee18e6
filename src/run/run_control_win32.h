// Run control: the Run (1043) and Confirm (1045) buttons of the main dialog
// and the batch process that batch-mode Run starts.
#pragma once

#include <windows.h>

#include "params/field_table.h"

// Run of the parameter set `set` as the main dialog shows it: empties the
// current folder name, then runs through the batch file when the option
// 40013 is on, directly otherwise. `dialog` owns the messages. With
// `process`, a caller that waits for the run's end gets there the process
// of the batch file or of the one command of a direct run without file
// expansion (it closes it), or null when none was started. Returns 1 when a
// launch was attempted or the run list was shown, 0 when nothing ran.
int RunCommand(HWND dialog, const ParameterSet& set, HANDLE* process = nullptr);

// Batch-mode Run: writes the batch file at the batch file path and starts
// it through cmd /c with the path quoted (LaunchCommand), so that any folder
// holding tavix.exe works, unless the batch process of an earlier Run still
// runs (message code 4). When a command's target carries a mark, the user is
// asked first; No writes and runs nothing.
// Returns 1 when the file was written and a launch attempted.
int RunBatch(HWND owner, const ParameterSet& set);

// Confirm: writes the batch file of `set` and opens it with the command registered
// for editing batch files, started as a program of its own; the batch file
// itself never runs. Returns 1 when the editor was started.
int ConfirmBatch(HWND dialog, const ParameterSet& set);
