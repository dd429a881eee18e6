// The output window (resource 107): what one command of the run list wrote,
// followed live while it runs. One for the program, owned by the run list.
#pragma once

#include <windows.h>

#include "run/kept_output.h"

// Shows row `row`, captioned `title`, whose latest start is output `entry`
// of `outputs` (-1: not started), as it is now: opens the window owned by
// `owner` and activates it when it is not open; otherwise shows that row in
// it, bringing it to the top, and activates it only when `activate` says
// so (opened from a row rather than followed).
void ShowOutput(HWND owner, const OutputStore& outputs, int row, int entry, const char* title,
                int activate);

// The row the window shows, -1 while it is closed.
int OutputRow();

void CloseOutput();

// The window, for the message loop's keyboard handling (null while closed).
HWND OutputWindow();

INT_PTR CALLBACK OutputWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
