// Memory blocks held through caller-owned holders (one pointer each). A block
// is committed, readable and writable, and zero-filled when obtained.
#pragma once

#include <cstddef>

// Obtains a block of `size` bytes into an empty holder. Returns 0 without
// doing anything when the holder already holds a block (call FreeBlock first),
// and 0 with the holder left empty when the system has no memory; 1 with the
// block in the holder otherwise.
int AllocBlock(void** holder, std::size_t size);

// Releases the holder's block and empties the holder: 0 when the holder was
// empty, else 1.
int FreeBlock(void** holder);

// Typed holders (char*, records): the same operations.
template <typename T>
int AllocBlock(T** holder, std::size_t size) {
  void* block = *holder;
  int result = AllocBlock(&block, size);
  *holder = static_cast<T*>(block);
  return result;
}

template <typename T>
int FreeBlock(T** holder) {
  void* block = *holder;
  int result = FreeBlock(&block);
  *holder = static_cast<T*>(block);
  return result;
}
