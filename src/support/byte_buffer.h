// A growable byte buffer for producing whole files in memory. No exceptions:
// a failed growth marks the buffer failed, and every later append is ignored.
#pragma once

#include <cstddef>

struct ByteBuffer {
  char* data = nullptr;      // the bytes (not zero-terminated)
  std::size_t size = 0;      // bytes in use
  std::size_t capacity = 0;  // bytes obtained
  int failed = 0;            // 1 once a growth failed
};

// Appends n bytes: 1 on success, 0 when the buffer could not grow (or had
// failed before).
int AppendBytes(ByteBuffer* buffer, const void* bytes, std::size_t n);

// Makes room for n (> 0) more bytes at the end and counts them as used: where the
// caller writes them, or nullptr when the buffer could not grow (or had
// failed before; it is then marked failed).
char* ExtendBuffer(ByteBuffer* buffer, std::size_t n);

// Appends a zero-terminated text without its terminator.
int AppendText(ByteBuffer* buffer, const char* text);

// Releases the bytes and empties the buffer (also clears `failed`).
void FreeByteBuffer(ByteBuffer* buffer);

// A buffer used as an array of plain records of type T: its records, and
// how many it holds.
template <typename T>
T* Records(const ByteBuffer& buffer) {
  return reinterpret_cast<T*>(buffer.data);
}
template <typename T>
std::size_t RecordCount(const ByteBuffer& buffer) {
  return buffer.size / sizeof(T);
}
