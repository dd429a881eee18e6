// Swapping a system function for a test: the test executable's own import of
// a kernel32 function is pointed at a replacement for the duration of a test.
#pragma once

#include <windows.h>

// The import address slot of kernel32's `name` in this executable, or null.
void** FindKernelImport(const char* name);

// Writes `value` into an import slot. Returns false when the slot could not
// be made writable.
bool PatchSlot(void** slot, void* value);

// Stores the function kernel32's `name` import slot holds in *original (so the
// replacement can pass calls on) and then points the slot at `replacement`.
// Returns the slot, or null when the import was not found or not patched.
template <typename Fn>
void** SwapKernelImport(const char* name, Fn replacement, Fn* original) {
  void** slot = FindKernelImport(name);
  if (slot == nullptr) return nullptr;
  *original = reinterpret_cast<Fn>(*slot);
  if (!PatchSlot(slot, reinterpret_cast<void*>(replacement))) return nullptr;
  return slot;
}

// Puts `original` back into a slot from SwapKernelImport (nothing when the
// slot or the function is null).
template <typename Fn>
void RestoreKernelImport(void** slot, Fn original) {
  if (slot != nullptr && original != nullptr) PatchSlot(slot, reinterpret_cast<void*>(original));
}
