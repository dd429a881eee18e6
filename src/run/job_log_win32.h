// Saving the run list's job log into a file chosen in the save dialog.
#pragma once

#include <windows.h>

#include "run/run_list.h"

// Offers "tavix-log.tsv" in `directory` (the folder the commands ran in; the
// program's own current directory when it is empty) and writes the job log
// of `state` to the chosen file in one step, or the log with output when its
// file type was chosen. Failures are shown to the user
// in boxes owned by `dialog`.
void SaveJobLog(HWND dialog, const RunListState& state, const char* directory);
