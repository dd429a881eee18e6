// The plans of the main dialog's Run, Confirm and Save over the system.
#pragma once

#include <windows.h>

#include "run/plan.h"

// Makes the plan of `set` for `mode` (run/plan.h) over the system's file
// search, directory walk and command interpreter; a direct plan's empty
// current directory stands for the program's working folder now. The
// commands' inputs and targets go into `targets` (null: none recorded).
// Returns plan->error.
int MakeSystemPlan(const ParameterSet& set, int mode, TargetRecord* targets, RunPlan* plan);
