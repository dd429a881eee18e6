// Finding line ends in a text block of the program's own files, where every
// byte below 0x20 (CR, LF, TAB, any other control byte, the terminating zero)
// ends a line. Eight bytes at a time, since blocks may hold megabytes.
#pragma once

#include <cstddef>

// True for a byte that ends a line: 0x00 to 0x1F.
constexpr bool IsLineEndByte(unsigned char byte) {
  return byte < 0x20;
}

// The first line-end byte in [from, end]. `end` points at the block's
// terminating zero, so one is always found; no byte past `end` is read.
const char* FindLineEnd(const char* from, const char* end);
char* FindLineEnd(char* from, const char* end);

// The first byte in [from, end) that is not a control byte from 0x01 to
// 0x1F, or `end`.
char* SkipLineEnds(char* from, const char* end);
