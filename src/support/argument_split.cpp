#include "support/argument_split.h"

#include "support/dbcs.h"

namespace {

template <typename Char>
bool IsBlank(Char c) {
  return c == ' ' || c == '\t';
}

template <typename Char>
const Char* SkipBlanks(const Char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

// The character after the one at `p`: two bytes for a double-byte character
// of the code page, one unit of wide text.
const char* StepChar(const char* p) {
  return NextChar(p);
}
const wchar_t* StepChar(const wchar_t* p) {
  return p + 1;
}

template <typename Char>
int SplitNext(const Char** cursor, Char* out, std::size_t size, int* cut) {
  const Char* p = SkipBlanks(*cursor);
  if (*p == '\0') {
    *cursor = p;
    return 0;
  }
  std::size_t length = 0;
  const auto put = [&](Char c) {
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
      const Char* next = StepChar(p);
      while (p != next) put(*p++);
    }
  }
  if (size > 0) out[length < size ? length : size - 1] = '\0';
  *cursor = SkipBlanks(p);
  return 1;
}

}  // namespace

int NextArgument(const char** cursor, char* out, std::size_t size, int* cut) {
  return SplitNext(cursor, out, size, cut);
}

int NextWideArgument(const wchar_t** cursor, wchar_t* out, std::size_t size, int* cut) {
  return SplitNext(cursor, out, size, cut);
}

int CountArguments(const char* tail) {
  int count = 0;
  char piece[4];
  while (NextArgument(&tail, piece, sizeof piece)) ++count;
  return count;
}

const wchar_t* WideCommandLineTail(const wchar_t* commandLine) {
  const wchar_t* p = commandLine;
  if (*p == L'"') {
    ++p;
    while (*p != L'\0' && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && !IsBlank(*p)) ++p;
  }
  return SkipBlanks(p);
}

int QuoteArgument(const char* text, char* out, std::size_t size) {
  std::size_t length = 0;
  const auto put = [&](char c) {
    if (length + 1 < size) out[length] = c;
    ++length;
  };
  put('"');
  std::size_t slashes = 0;
  for (const char* p = text; *p != '\0';) {
    const char* next = NextChar(p);
    if (next - p == 2) {
      slashes = 0;
      put(*p++);
      put(*p++);
      continue;
    }
    if (*p == '\\') {
      ++slashes;
    } else if (*p == '"') {
      // The backslashes before a quote are doubled, and the quote escaped.
      for (std::size_t i = 0; i < slashes + 1; ++i) put('\\');
      slashes = 0;
    } else {
      slashes = 0;
    }
    put(*p++);
  }
  for (std::size_t i = 0; i < slashes; ++i) put('\\');  // before the closing quote
  put('"');
  if (size > 0) out[length < size ? length : size - 1] = '\0';
  return length < size ? static_cast<int>(length) : -1;
}
