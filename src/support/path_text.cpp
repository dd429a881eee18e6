#include "support/path_text.h"

#include <cstring>

#include "support/dbcs.h"

namespace {

// 1 when the last character of `text` is a backslash (a trail byte 0x5C of a
// two-byte character is not one).
int EndsWithBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) last = p;
  return last != nullptr && CharLength(last) == 1 && *last == '\\';
}

// Removes enclosing quotes of `text` (a 260-byte buffer) and encloses it in
// double quotes when it holds one of `triggers` and the quotes fit.
void QuoteIfHolding(char* text, const char* triggers) {
  text[kPathTextSize - 1] = '\0';
  std::size_t length = RemoveEnclosingQuotes(text);
  if (length >= kPathTextSize - 2) return;  // quoting would not fit the buffer
  if (FindAnyCharDbcs(text, triggers) == nullptr) return;
  std::memmove(text + 1, text, length);
  text[0] = '"';
  text[length + 1] = '"';
  text[length + 2] = '\0';
}

}  // namespace

const char* PathQuoteTriggers(int form) { return form == kBatchLineForm ? " &^" : " "; }

std::size_t PathTextLength(const char* text) { return strnlen(text, kPathTextSize - 1); }

void CopyPathText(char* out, const char* text) {
  std::size_t length = PathTextLength(text);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

std::size_t TrailingBackslashes(const char* text) {
  std::size_t count = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    count = (CharLength(p) == 1 && *p == '\\') ? count + 1 : 0;
  }
  return count;
}

std::size_t RemoveEnclosingQuotes(char* text) {
  std::size_t length = std::strlen(text);
  if (length == 0 || text[0] != '"') return length;
  std::memmove(text, text + 1, length);  // moves the terminator too
  --length;
  if (length > 0 && text[length - 1] == '"') text[--length] = '\0';
  return length;
}

int IsPlainFileText(const char* text) {
  if (text[0] == ' ') return 0;
  return FindAnyCharDbcs(text, ";<>|") == nullptr;
}

void QuotePathIfBlank(char* text) { QuoteIfHolding(text, PathQuoteTriggers(kCommandLineForm)); }

void QuoteBatchPath(char* text) { QuoteIfHolding(text, PathQuoteTriggers(kBatchLineForm)); }

int JoinPath(char* out, std::size_t outSize, const char* directory, const char* name) {
  if (outSize > 0) out[0] = '\0';
  if (directory == nullptr || name == nullptr) return 1;
  if (directory[0] == '\0' || name[0] == '\0') return 1;
  // Copies that are too long count as empty, which makes the result empty.
  constexpr std::size_t kCopySize = kPathTextSize + 1;
  if (strnlen(directory, kCopySize) >= kCopySize || strnlen(name, kCopySize) >= kCopySize) {
    return 1;
  }
  char directoryCopy[kCopySize];
  char nameCopy[kCopySize];
  std::strcpy(directoryCopy, directory);
  std::strcpy(nameCopy, name);
  std::size_t directoryLength = RemoveEnclosingQuotes(directoryCopy);
  std::size_t nameLength = RemoveEnclosingQuotes(nameCopy);

  int separator = !EndsWithBackslash(directoryCopy);
  std::size_t total = directoryLength + (separator ? 1 : 0) + nameLength;
  if (total + 1 > outSize) return 0;
  std::memcpy(out, directoryCopy, directoryLength);
  if (separator) out[directoryLength] = '\\';
  std::memcpy(out + directoryLength + (separator ? 1 : 0), nameCopy, nameLength);
  out[total] = '\0';
  return 1;
}

int CutToDirectory(char* path) {
  char* cut = nullptr;
  for (char* p = path; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) != 1 || *p != '\\') continue;
    cut = (cut == nullptr) ? p + 1 : p;
  }
  if (cut == nullptr) return 0;
  *cut = '\0';
  return 1;
}
