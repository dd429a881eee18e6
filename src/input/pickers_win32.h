// The file and folder pickers behind the "..." buttons of the main dialog.
#pragma once

#include <windows.h>

// Shows the file-open dialog titled `title` for edit `field`, proposing the
// field's text (without enclosing quotes); with an empty field, the directory
// of edit `startField` (kNoStartField: none) becomes the working directory so
// that the dialog opens there. The chosen path is written into the field, in
// double quotes when it holds a blank. 1 when a file was chosen, else 0 (no
// message in any case).
int PickFile(HWND dialog, int field, const char* title, int executablesFirst, int startField);

// Shows the folder browser for edit `field`, starting at the field's folder
// or else at the directory of edit `startField`; a chosen folder is written
// into the field bare. Returns 1.
int PickFolder(HWND dialog, int field, int startField);

// Callback of the folder browser: selects the folder text passed as `data`
// once the browser is ready. Returns 0.
int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM parameter, LPARAM data);

// The "..." button `button` beside the executable, the current directory or
// the help file: opens its picker. 0 for any other id.
int RunPickerButton(HWND dialog, int button);
