// Helpers of the fuzz targets: the input cut into texts at its zero bytes,
// and a check that stops the run with a message when an invariant fails.
// Core only, ASCII only: the targets build with clang (libFuzzer) and, for
// the corpus replay of scripts/test, natively with g++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define FUZZ_CHECK(condition)                                                         \
  do {                                                                                \
    if (!(condition)) {                                                               \
      std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                   \
    }                                                                                 \
  } while (0)

// The input as a sequence of texts separated by zero bytes; past the end,
// every text is empty.
struct FuzzInput {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;

  // The next text, cut to `limit` bytes.
  std::string Text(std::size_t limit) {
    std::string text;
    while (at < size && data[at] != 0) {
      if (text.size() < limit) text += static_cast<char>(data[at]);
      ++at;
    }
    if (at < size) ++at;  // the separator
    return text;
  }

  // The next text, cut to fit `buffer` (`size` bytes with the terminator).
  void TextInto(char* buffer, std::size_t bufferSize) {
    const std::string text = Text(bufferSize - 1);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
  }

  // A flag: the first byte of the next text is odd.
  int Flag() {
    const std::string text = Text(1);
    return !text.empty() && (static_cast<unsigned char>(text[0]) & 1);
  }

  bool Done() const { return at >= size; }
};

// 1 when `text` holds a CR or an LF.
inline bool HoldsLineBreak(const std::string& text) {
  return text.find_first_of("\r\n") != std::string::npos;
}
