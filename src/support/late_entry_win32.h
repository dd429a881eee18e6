// Entry points of the system DLLs that only some commands need (the file
// dialogs, the shell, file associations). The program does not import them:
// an imported DLL, with the DLLs it brings along, is loaded at every start,
// before the window can appear. They are loaded at their first use instead.
#pragma once

#include <windows.h>

// The entry `name` of `dll`, loading the DLL if needed; null when either
// cannot be had. Callers keep the result (a function-local static).
template <typename Entry>
Entry LateEntry(const char* dll, const char* name) {
  HMODULE library = GetModuleHandleA(dll);
  if (library == nullptr) library = LoadLibraryA(dll);
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
