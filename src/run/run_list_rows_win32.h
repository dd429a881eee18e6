// The rows of a run list window: its list box, drawn by the program, and the
// output window of a row.
#pragma once

#include <windows.h>

#include "run/run_list_window_win32.h"

// Tab stops, the bold font of running rows and the height of a row; then
// every row.
void PrepareRows(RunListWindow* window);
void FillRows(RunListWindow* window);

// A row's text and mark as the list says now.
void ShowRow(RunListWindow* window, int row);

// WM_DRAWITEM of the list box.
BOOL DrawRow(RunListWindow* window, const DRAWITEMSTRUCT* item);

// The output window as the output of its row is now; `activate` makes it
// the active window (opened from a row).
void ShowRowOutput(RunListWindow* window, int row, int activate);

// The row with the caret, where 停止 acts.
int CaretRow(const RunListWindow* window);

// The rows' font back to the system.
void FreeRows(RunListWindow* window);
