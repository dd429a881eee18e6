// Run control: the Run (IDC_RUN) and Confirm (IDC_CONFIRM) buttons of the main dialog
// and the batch process that batch-mode Run starts.
#pragma once

#include <windows.h>

#include "params/field_table.h"
#include "run/direct_run_win32.h"

// Run of the parameter set `set` as the main dialog shows it: through the
// batch file when the option BATCHOUT (kOptionBatchOut) is on, directly
// otherwise. `dialog` owns the messages. With `extras` (run from the
// command line), as those say and with what they learn of the run filled
// in. Returns 1 when a launch was attempted or the run list was shown, 0
// when nothing ran.
int RunCommand(HWND dialog, const ParameterSet& set, RunExtras* extras = nullptr);

// Batch-mode Run: writes the batch file at the batch file path and starts
// it through cmd /c with the path quoted (LaunchCommand), so that any folder
// holding tavix.exe works, unless the batch process of an earlier Run still
// runs (kErrorBatchRunning). When a command's target carries a mark, the user is
// asked first; No writes and runs nothing.
// Returns 1 when the file was written and a launch attempted.
int RunBatch(HWND owner, const ParameterSet& set, const GivenFiles* given = nullptr, int* planned = nullptr);

// Confirm: writes the batch file of `set` and opens it with the command registered
// for editing batch files, started as a program of its own; the batch file
// itself never runs. Returns 1 when the editor was started.
int ConfirmBatch(HWND dialog, const ParameterSet& set);
