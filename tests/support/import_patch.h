// Swapping a system function for a test: the test executable's own import of
// a kernel32 function is pointed at a replacement for the duration of a test.
#pragma once

#include <windows.h>

// The import address slot of kernel32's `name` in this executable, or null.
void** FindKernelImport(const char* name);

// Writes `value` into an import slot. Returns false when the slot could not
// be made writable.
bool PatchSlot(void** slot, void* value);
