// The system-menu command that puts a shortcut to the chosen set into the
// user's Send To folder (app/send_to.h).
#pragma once

#include <windows.h>

// Makes the shortcut of the set chosen in the name box, asking before it
// replaces one of the same name, and says what it did. 1 when it was made.
int AddSendToShortcut(HWND dialog);
