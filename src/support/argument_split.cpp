#include "support/argument_split.h"

#include "support/dbcs.h"

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

const char* SkipBlanks(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

}  // namespace

int NextArgument(const char** cursor, char* out, std::size_t size, int* cut) {
  const char* p = SkipBlanks(*cursor);
  if (*p == '\0') {
    *cursor = p;
    return 0;
  }
  std::size_t length = 0;
  const auto put = [&](char c) {
    if (length + 1 < size) {
      out[length++] = c;
    } else if (cut != nullptr) {
      *cut = 1;
    }
  };
  bool quoted = false;
  while (*p != '\0' && (quoted || !IsBlank(*p))) {
    if (*p == '\\') {
      std::size_t slashes = 0;
      while (*p == '\\') ++slashes, ++p;
      if (*p == '"') {
        for (std::size_t i = 0; i < slashes / 2; ++i) put('\\');
        if (slashes % 2 == 1) {
          put('"');
          ++p;
        }
      } else {
        for (std::size_t i = 0; i < slashes; ++i) put('\\');
      }
    } else if (*p == '"') {
      if (quoted && p[1] == '"') {
        put('"');
        p += 2;
      } else {
        quoted = !quoted;
        ++p;
      }
    } else {
      const char* next = NextChar(p);
      while (p != next) put(*p++);
    }
  }
  if (size > 0) out[length < size ? length : size - 1] = '\0';
  *cursor = SkipBlanks(p);
  return 1;
}

int CountArguments(const char* tail) {
  int count = 0;
  char piece[4];
  while (NextArgument(&tail, piece, sizeof piece)) ++count;
  return count;
}
