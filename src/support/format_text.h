// Bounded printf-style formatting that always leaves a terminated text.
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
