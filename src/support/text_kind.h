// What the bytes of a whole settings or parameter file are to this program:
// ANSI text, ANSI text behind a UTF-8 byte-order mark, UTF-16 text (a
// byte-order mark of either order), or text with a zero byte inside. No
// system calls.
#pragma once

#include <cstddef>

enum TextKind : int {
  kPlainText = 0,
  kUtf8MarkedText = 1,   // starts with EF BB BF
  kUtf16Text = 2,        // starts with FF FE or FE FF
  kTextWithZeroByte = 3, // no UTF-16 mark, but a zero byte somewhere
};

// The UTF-8 byte-order mark.
inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
inline constexpr std::size_t kUtf8MarkSize = 3;

// The kind of the `size` bytes at `bytes`: a UTF-16 mark wins over a zero
// byte, and a zero byte over a UTF-8 mark.
TextKind ClassifyText(const char* bytes, std::size_t size);

// kUtf8MarkSize when `text` (zero-terminated) starts with the UTF-8 mark, else 0.
std::size_t Utf8MarkLength(const char* text);
