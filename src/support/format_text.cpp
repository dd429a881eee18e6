#include "support/format_text.h"

#include <cstdio>
#include <cstring>

int FormatTextV(char* buffer, std::size_t size, const char* format, std::va_list arguments) {
  if (buffer == nullptr || size == 0) return -1;
  int length = std::vsnprintf(buffer, size, format, arguments);
  // Some runtimes leave the buffer unterminated when the text does not fit.
  buffer[size - 1] = '\0';
  if (length < 0 || static_cast<std::size_t>(length) >= size) return -1;
  return length;
}

int FormatText(char* buffer, std::size_t size, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  int result = FormatTextV(buffer, size, format, arguments);
  va_end(arguments);
  return result;
}

void Put(LineWriter* writer, const char* bytes, std::size_t n) {
  if (writer->full || writer->capacity == 0 || n >= writer->capacity - writer->length) {
    writer->full = 1;
    return;
  }
  std::memcpy(writer->out + writer->length, bytes, n);
  writer->length += n;
}

void Put(LineWriter* writer, const char* text) { Put(writer, text, std::strlen(text)); }

int FinishLine(LineWriter* writer) {
  if (writer->capacity == 0) return 0;
  writer->out[writer->full ? 0 : writer->length] = '\0';
  return writer->full ? 0 : 1;
}
