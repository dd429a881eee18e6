// The direct run: one command started at once, or the run list over the
// commands of a file expansion.
#pragma once

#include <windows.h>

#include "expand/given_files.h"
#include "params/field_table.h"

// What a run started from the command line adds to a run of the record,
// and what it learns of the run.
struct RunExtras {
  const GivenFiles* given;  // files that are the matches (run/plan.h), or null
  int startAtOnce;          // the run list starts as soon as it shows
  int closeWhenFinished;    // it closes when finished or when its question is declined
  // Set by the run: the commands planned; the process of the batch file or
  // of the one command of a direct run without file expansion (the caller
  // closes it), or null; the commands of the run list that did not end
  // with 0 (-1 when none showed).
  int planned;
  HANDLE process;
  int unsuccessful;
};

// Runs the parameter set `set` directly: makes its plan (run/plan.h), in
// the program's working folder now when the current directory is empty.
// Without file expansion it launches the one command; with it, it opens the
// run list over the plan's commands and returns when that has closed,
// running the thread's messages meanwhile. Returns 1 when a command was
// launched or the run list was shown and has closed; 0 when the run was
// refused or could not be built (after a message owned by `owner`). With
// `extras`, the one command's process is handed over there instead of
// being let go.
int RunDirect(HWND owner, const ParameterSet& set, RunExtras* extras = nullptr);
