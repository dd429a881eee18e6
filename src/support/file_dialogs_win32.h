// The system's file-open and file-save dialogs. comdlg32 (and the DLLs it
// brings along) is loaded at the first dialog rather than at start: the
// window does not need it to appear, and importing it would make every start
// of the program wait for it. Use these instead of calling GetOpenFileNameA or
// GetSaveFileNameA directly.
#pragma once

#include <windows.h>

#include <commdlg.h>

// GetOpenFileNameA and GetSaveFileNameA: FALSE also when comdlg32 cannot be
// loaded (GetLastError then tells why).
BOOL ShowOpenFileDialog(OPENFILENAMEA* request);
BOOL ShowSaveFileDialog(OPENFILENAMEA* request);

// CommDlgExtendedError: why the last dialog gave FALSE (0 for a cancel), or
// CDERR_INITIALIZATION when comdlg32 could not be loaded.
DWORD FileDialogError();

// A dialog request owned by `owner` with the first filter of `filter`
// chosen, the name in `name` (`nameSize` bytes), `title`, `flags` and the
// default extension (null for none).
OPENFILENAMEA FileDialogRequest(HWND owner, const char* filter, char* name, DWORD nameSize,
                                const char* title, DWORD flags, const char* defaultExtension);
