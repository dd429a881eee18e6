// Placing windows inside the work area: the main dialog at its saved
// position, a dialog centred on its owner (rules in app/placement.h).
#pragma once

#include <windows.h>

// Moves the main dialog to the position stored in the settings file, kept
// inside the work area, without changing its size or z-order. TRUE.
BOOL RestoreWindowPosition(HWND dialog);

// Moves `dialog` so that it is centred on `owner`, kept inside the work
// area. TRUE.
BOOL CenterOverOwner(HWND dialog, HWND owner);

// The top-left corner, in screen coordinates, of `window` as it is shown
// when not minimised: its window rectangle's, or for a minimised window
// (whose rectangle lies far off the screen) that of its normal position.
void GetRestoredWindowCorner(HWND window, long* x, long* y);
