// The main dialog (resource 101): its set-up, the dispatch of every command to
// the operation that does the work, the option popup, and its close.
#pragma once

#include <windows.h>

// Procedure of the main dialog. Handles WM_INITDIALOG, WM_DESTROY, WM_COMMAND
// and WM_SYSCOMMAND; TRUE when the message was handled.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the OPTION popup (menu 105) at the mouse cursor, its items checked
// for the options that are on. A chosen item arrives as command kOptionBatchOut or kOptionLastPause.
void ShowOptionMenu(HWND dialog);
