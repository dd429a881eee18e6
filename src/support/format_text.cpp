#include "support/format_text.h"

#include <cstdio>

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
