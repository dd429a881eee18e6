// The rows of a run list window: its list box, drawn by the program, and the
// output window of a row.
#pragma once

#include <windows.h>

#include "run/run_list_window_win32.h"

// Tab stops, the bold font of running rows and the height of a row; then
// every row.
void PrepareRows(RunListWindow* window);
void FillRows(RunListWindow* window);

// A row whose text or mark changed: shown with the others noted since
// ShowNotedRows last ran. 0 when it could not be noted (no memory): it is
// then shown at once.
int NoteRow(RunListWindow* window, int row);

// The rows noted, each with its text and mark as the list says now, in one
// update of the list box: it is drawn once for all of them, and the caret
// and the view stay where they were.
void ShowNotedRows(RunListWindow* window);

// WM_DRAWITEM of the list box.
BOOL DrawRow(RunListWindow* window, const DRAWITEMSTRUCT* item);

// The output window as the output of its row is now; `activate` makes it
// the active window (opened from a row).
void ShowRowOutput(RunListWindow* window, int row, int activate);

// The row with the caret, where 停止 acts.
int CaretRow(const RunListWindow* window);

// The rows' font and the noted rows back to the system.
void FreeRows(RunListWindow* window);
