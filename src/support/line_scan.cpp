#include "support/line_scan.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Nonzero when one of the eight bytes is below 0x20 (exact for any word).
constexpr std::uint64_t HasLineEndByte(std::uint64_t word) {
  return (word - kEveryByte * 0x20) & ~word & kHighBits;
}

}  // namespace

const char* FindLineEnd(const char* from, const char* end) {
  while (end - from >= 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if (HasLineEndByte(word)) break;
    from += 8;
  }
  while (!IsLineEndByte(static_cast<unsigned char>(*from))) ++from;
  return from;
}

char* FindLineEnd(char* from, const char* end) {
  return const_cast<char*>(FindLineEnd(static_cast<const char*>(from), end));
}

char* SkipLineEnds(char* from, const char* end) {
  while (from < end && IsLineEndByte(static_cast<unsigned char>(*from))) ++from;
  return from;
}
