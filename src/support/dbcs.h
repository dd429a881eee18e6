// Double-byte-aware scanning of texts in the Japanese ANSI code page. Every
// scan of the program that looks for separators or special characters walks
// a text with these operations: a lead byte (0x81-0x9F, 0xE0-0xFC) and the
// byte after it are one character, and neither byte is tested. The bytes 0x80
// and 0xFD-0xFF are single characters in this code page.
#pragma once

#include <cstddef>
#include <string_view>

// True when `byte` starts a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Byte length of the character at `p`: 0 at the terminator, 2 for a lead
// byte followed by a non-zero byte, 1 otherwise (a lead byte at the very end
// of a text counts as one character).
inline std::size_t CharLength(const char* p) {
  if (*p == '\0') return 0;
  if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') return 2;
  return 1;
}

// The character after the one at `p`; at the terminator, `p` itself. Never
// steps over the terminator.
inline const char* NextChar(const char* p) { return p + CharLength(p); }
inline char* NextChar(char* p) { return p + CharLength(p); }

// Index of the character after the one at `index` in a counted text (which
// need not be zero-terminated): index + 2 for a lead byte with a byte after
// it inside the text, index + 1 otherwise.
std::size_t NextCharIndex(std::string_view text, std::size_t index);

// First and last single-byte character equal to `c` in a zero-terminated
// text, trail bytes never taken for it; null when there is none.
const char* FindCharDbcs(const char* text, char c);
char* FindCharDbcs(char* text, char c);
const char* FindLastCharDbcs(const char* text, char c);
char* FindLastCharDbcs(char* text, char c);

// First single-byte character of `text` that is one of the bytes of `set`,
// trail bytes never taken for one; null when there is none.
const char* FindAnyCharDbcs(const char* text, const char* set);

// Ends `text` before a lead byte that stands last without its second byte,
// as a text cut to a byte limit may leave it; whole characters stay.
void CutToWholeCharacters(char* text);
