#include "support/byte_buffer.h"

#include <cstdlib>
#include <cstring>

int AppendBytes(ByteBuffer* buffer, const void* bytes, std::size_t n) {
  if (buffer->failed) return 0;
  if (n == 0) return 1;
  if (n > buffer->capacity - buffer->size) {
    std::size_t wanted = buffer->capacity < 256 ? 256 : buffer->capacity;
    while (wanted - buffer->size < n) {
      if (wanted > static_cast<std::size_t>(-1) / 2) {
        buffer->failed = 1;
        return 0;
      }
      wanted *= 2;
    }
    void* grown = std::realloc(buffer->data, wanted);
    if (grown == nullptr) {
      buffer->failed = 1;
      return 0;
    }
    buffer->data = static_cast<char*>(grown);
    buffer->capacity = wanted;
  }
  std::memcpy(buffer->data + buffer->size, bytes, n);
  buffer->size += n;
  return 1;
}

int AppendText(ByteBuffer* buffer, const char* text) {
  return AppendBytes(buffer, text, std::strlen(text));
}

void FreeByteBuffer(ByteBuffer* buffer) {
  std::free(buffer->data);
  buffer->data = nullptr;
  buffer->size = 0;
  buffer->capacity = 0;
  buffer->failed = 0;
}
