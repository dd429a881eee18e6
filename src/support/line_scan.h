// Finding line ends in a text block of the program's own files, where every
// byte below 0x20 (CR, LF, TAB, any other control byte, the terminating zero)
// ends a line. Sixteen bytes at a time, since blocks may hold megabytes; the
// scans are inline because a parser calls them for every line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// True for a byte that ends a line: 0x00 to 0x1F.
constexpr bool IsLineEndByte(unsigned char byte) {
  return byte < 0x20;
}

// --- eight bytes at a time ---------------------------------------------------
// Words are loaded in memory order on a little-endian machine (the first byte
// is the lowest); kWordScan tells whether this build scans that way, and the
// callers fall back to a byte at a time where it does not.

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
inline constexpr bool kWordScan = true;
#else
inline constexpr bool kWordScan = false;
#endif

inline std::uint64_t LoadWord(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// High bit set in every byte of `word` below 0x20, and possibly in bytes
// after the first such byte; zero when there is none.
constexpr std::uint64_t LineEndMarks(std::uint64_t word) {
  return (word - 0x2020202020202020ull) & ~word & 0x8080808080808080ull;
}

// High bit set in every byte of `word` equal to `byte`, and possibly in
// bytes after the first such byte; zero when there is none.
constexpr std::uint64_t ByteMarks(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (0x0101010101010101ull * byte);
  return (x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull;
}

// Index (0-7) of the first marked byte of nonzero `marks`.
constexpr std::size_t FirstMarkedByte(std::uint64_t marks) {
#if defined(__GNUC__)
  return static_cast<std::size_t>(__builtin_ctzll(marks)) >> 3;
#else
  const std::uint64_t lowest = marks & (~marks + 1);  // one bit: 8 * index + 7
  return static_cast<std::size_t>(((lowest >> 7) * 0x0001020304050607ull) >> 56);
#endif
}

// The first line-end byte in [from, end]. `end` points at the block's
// terminating zero, so one is always found; no byte past `end` is read.
inline const char* FindLineEnd(const char* from, const char* end) {
  if (kWordScan) {
    for (; end - from >= 16; from += 16) {
      const std::uint64_t low = LineEndMarks(LoadWord(from));
      const std::uint64_t high = LineEndMarks(LoadWord(from + 8));
      if (low != 0) return from + FirstMarkedByte(low);
      if (high != 0) return from + 8 + FirstMarkedByte(high);
    }
  }
  while (!IsLineEndByte(static_cast<unsigned char>(*from))) ++from;
  return from;
}

inline char* FindLineEnd(char* from, const char* end) {
  return const_cast<char*>(FindLineEnd(static_cast<const char*>(from), end));
}

// The first byte in [from, end) that is not a control byte from 0x01 to
// 0x1F (a zero byte included), or `end`.
inline char* SkipLineEnds(char* from, const char* end) {
  while (from < end && *from != '\0' && IsLineEndByte(static_cast<unsigned char>(*from))) ++from;
  return from;
}
