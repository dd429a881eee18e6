#include "support/dbcs.h"

#include <cstring>

std::size_t NextCharIndex(std::string_view text, std::size_t index) {
  if (index < text.size() && IsLeadByte(static_cast<unsigned char>(text[index])) &&
      index + 1 < text.size()) {
    return index + 2;
  }
  return index + 1;
}

const char* FindCharDbcs(const char* text, char c) {
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && *p == c) return p;
  }
  return nullptr;
}

char* FindCharDbcs(char* text, char c) {
  return const_cast<char*>(FindCharDbcs(static_cast<const char*>(text), c));
}

const char* FindLastCharDbcs(const char* text, char c) {
  const char* found = nullptr;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && *p == c) found = p;
  }
  return found;
}

char* FindLastCharDbcs(char* text, char c) {
  return const_cast<char*>(FindLastCharDbcs(static_cast<const char*>(text), c));
}

const char* FindAnyCharDbcs(const char* text, const char* set) {
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) != 1) continue;
    // The sets are a few characters: compared here rather than through strchr.
    for (const char* s = set; *s != '\0'; ++s) {
      if (*s == *p) return p;
    }
  }
  return nullptr;
}

void CutToWholeCharacters(char* text) {
  for (char* p = text; *p != '\0'; p = NextChar(p)) {
    if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] == '\0') {
      *p = '\0';
      return;
    }
  }
}
