#include "support/text_kind.h"

#include <cstring>

TextKind ClassifyText(const char* bytes, std::size_t size) {
  if (size >= 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[0]);
    const unsigned char second = static_cast<unsigned char>(bytes[1]);
    if ((first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF)) return kUtf16Text;
  }
  if (std::memchr(bytes, '\0', size) != nullptr) return kTextWithZeroByte;
  if (size >= kUtf8MarkSize && std::memcmp(bytes, kUtf8Mark, kUtf8MarkSize) == 0) return kUtf8MarkedText;
  return kPlainText;
}

std::size_t Utf8MarkLength(const char* text) {
  return std::strncmp(text, kUtf8Mark, kUtf8MarkSize) == 0 ? kUtf8MarkSize : 0;
}
