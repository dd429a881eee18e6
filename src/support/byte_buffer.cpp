#include "support/byte_buffer.h"

#include <cstdlib>
#include <cstring>

char* ExtendBuffer(ByteBuffer* buffer, std::size_t n) {
  if (buffer->failed) return nullptr;
  if (n > buffer->capacity - buffer->size) {
    std::size_t wanted = buffer->capacity < 256 ? 256 : buffer->capacity;
    while (wanted - buffer->size < n) {
      if (wanted > static_cast<std::size_t>(-1) / 2) {
        buffer->failed = 1;
        return nullptr;
      }
      wanted *= 2;
    }
    void* grown = std::realloc(buffer->data, wanted);
    if (grown == nullptr) {
      buffer->failed = 1;
      return nullptr;
    }
    buffer->data = static_cast<char*>(grown);
    buffer->capacity = wanted;
  }
  char* at = buffer->data + buffer->size;
  buffer->size += n;
  return at;
}

int AppendBytes(ByteBuffer* buffer, const void* bytes, std::size_t n) {
  if (n == 0) return buffer->failed ? 0 : 1;
  char* at = ExtendBuffer(buffer, n);
  if (at == nullptr) return 0;
  std::memcpy(at, bytes, n);
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
