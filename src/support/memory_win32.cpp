#include "support/memory_win32.h"

#include <windows.h>

int AllocBlock(void** holder, std::size_t size) {
  if (*holder != nullptr) return 0;
  // Committed pages come zero-filled.
  *holder = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  return *holder != nullptr ? 1 : 0;
}

int FreeBlock(void** holder) {
  if (*holder == nullptr) return 0;
  VirtualFree(*holder, 0, MEM_RELEASE);
  *holder = nullptr;
  return 1;
}
