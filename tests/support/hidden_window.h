// A plain hidden top-level window, as an owner for boxes or as a window to be
// found by its title. Windows only.
#pragma once

#include <windows.h>

// A hidden popup window titled `title`, or null when it could not be made.
inline HWND CreateHiddenWindow(const char* title) {
  return CreateWindowExA(0, "STATIC", title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}
