// Switching the main dialog to another parameter file.
#pragma once

#include <windows.h>

// Asks for a parameter file with the open-file dialog, keeps the screen as the
// set "default" of the current file and moves to the chosen one, listing its
// sets and applying its "default". A file that cannot be used (no file name,
// or held by another copy of the program) brings back the previous file and
// asks again. Returns 1 when another file is now open, 0 when the user
// cancelled.
int SwitchParameterFile(HWND dialog);
