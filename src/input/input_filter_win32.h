// Dropped files and Ctrl+Tab in the main dialog. The dialog runs in the
// system's modal loop, so both are caught with message-filter hooks on the
// dialog's thread, one per member of the four control groups.
#pragma once

#include <windows.h>

// Initialisation step of the main dialog: for each group and member in order
// notes the member's window, lets the path edits accept dropped files, and
// installs InputFilterHook for the window's thread (35 hooks in all).
void InstallInputHooks(HWND dialog);

// Destruction step of the main dialog: removes every hook installed, once.
void RemoveInputHooks();

// The hook procedure. A file dropped on a path edit puts the first dropped
// path into it; Ctrl+Tab / Ctrl+Shift+Tab on a group member move the focus to
// the next / previous member (nowhere at the ends of the group). Both are
// consumed (1); every other message is passed on.
LRESULT CALLBACK InputFilterHook(int code, WPARAM wParam, LPARAM lParam);

// 1 when `message` was Ctrl+Tab or Ctrl+Shift+Tab for a member of `group`
// (ControlGroup in input/control_groups.h) and has been handled, else 0.
int MoveFocusInGroup(const MSG* message, int group);
