// The choices of a run list window: its priority, parallel and output
// combo boxes and 失敗で中止.
#pragma once

#include "run/run_list_window_win32.h"

// The combo boxes and 失敗で中止, their stored choices preselected.
void FillChoices(RunListWindow* window);

// The choices as the window shows them, for the scheduler.
void ReadChoices(RunListWindow* window);
