// The plans of the main dialog's Run, Confirm and Save over the system.
#pragma once

#include <windows.h>

#include "run/plan.h"

// Makes the plan of `set` for `mode` (run/plan.h) over the system's file
// search, directory walk and command interpreter; the program's working
// folder now is the planning folder (PlanPlatform), unless
// `inWorkingFolder` is 0 (a batch file saved to run elsewhere). The
// commands' inputs and targets go into `targets` (null: none recorded).
// With `given`, the files given on the command line are the matches.
// Returns plan->error.
int MakeSystemPlan(const ParameterSet& set, int mode, TargetRecord* targets, RunPlan* plan,
                   const GivenFiles* given = nullptr, int inWorkingFolder = 1);
