// Sizes of resizable dialogs: the outer size of a window, and the smallest
// size a dialog may be dragged to.
#pragma once

#include <windows.h>

// The outer width and height of `window`.
SIZE OuterSize(HWND window);

// Answers WM_GETMINMAXINFO (its `lParam`) so that the dialog cannot become
// smaller than `minimum`; FALSE while `minimum` is not known yet (zero).
BOOL KeepMinimumTrackSize(LPARAM lParam, SIZE minimum);
