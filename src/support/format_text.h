// Bounded printf-style formatting that always leaves a terminated text, and
// a bounded writer that puts pieces together.
#pragma once

#include <cstdarg>
#include <cstddef>

// Formats into `buffer` of `size` bytes. Returns the length of the text when
// the text and its terminating zero fit; otherwise the buffer holds the first
// size - 1 bytes and a zero byte, and the result is -1 (also when the text is
// exactly `size` bytes long, or when size is 0).
int FormatText(char* buffer, std::size_t size, const char* format, ...)
    __attribute__((format(gnu_printf, 3, 4)));

// The same with an argument list.
int FormatTextV(char* buffer, std::size_t size, const char* format, std::va_list arguments);

// A text put together piece by piece in a buffer of `capacity` bytes: once a
// piece does not fit (with room left for the terminating zero), the writer
// is full and takes nothing more.
struct LineWriter {
  char* out;
  std::size_t capacity;
  std::size_t length;
  int full;
};

// Appends `n` bytes, or marks the writer full.
void Put(LineWriter* writer, const char* bytes, std::size_t n);

// Appends a zero-terminated text, or marks the writer full.
void Put(LineWriter* writer, const char* text);

// Terminates the text: 1 when everything fitted, else 0 with `out` empty.
int FinishLine(LineWriter* writer);
