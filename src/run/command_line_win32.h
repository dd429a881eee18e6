// Command-line assembly from the controls of the main dialog.
#pragma once

#include <windows.h>

#include <cstddef>

#include "run/command_line.h"

// Reads the eight argument rows (switch edits, space boxes, file edits) of
// the main dialog, each text at most 259 characters.
void ReadArgumentRows(HWND dialog, ArgumentRows* rows);

// Builds the argument text of the dialog's rows for a direct run of the
// program of edit 1036 into `out` (`capacity` bytes, callers pass
// kArgumentTextCapacity), stepping the file expansion started by
// StartFileExpansion. Returns 1 when one argument text was built; 0 when it
// would not fit or the file search has no (further) match.
int BuildArgumentText(HWND dialog, char* out, std::size_t capacity);

// Program text of edit 1036 in its batch-line form (MakeBatchProgramText)
// into `out` of kBatchProgramTextSize bytes.
void GetBatchProgramText(HWND dialog, char* out);

// Program text of edit 1036 in its direct-run form as the run list shows it
// (one enclosing pair of quotes removed) into `out` of kRowTextSize bytes.
void GetDirectProgramText(HWND dialog, char* out);
