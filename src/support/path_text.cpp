#include "support/path_text.h"

#include <cstring>

#include "support/dbcs.h"
#include "support/format_text.h"
#include "support/path_split.h"

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

// 1 when `text` equals the lower-case ASCII `lower`, letters in any case.
int EqualsIgnoringCase(const char* text, const char* lower) {
  for (; *lower != '\0'; ++text, ++lower) {
    char c = *text;
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != *lower) return 0;
  }
  return *text == '\0';
}

// The last component of a program text into `out` (260 bytes): enclosing
// quotes removed, its file name and extension.
void ProgramName(const char* text, char* out) {
  char bare[kPathTextSize];
  CopyPathText(bare, text);
  RemoveEnclosingQuotes(bare);
  char fname[kMaxFname] = {};
  char ext[kMaxExt] = {};
  SplitPath(bare, nullptr, nullptr, fname, ext);
  FormatText(out, kPathTextSize, "%s%s", fname, ext);
}

}  // namespace

const char* PathQuoteTriggers(int form) {
  switch (form) {
    case kBatchLineForm: return " &^";
    case kCmdCommandLineForm: case kCmdBatchLineForm: return " &^(),;=";
    default: return " ";
  }
}

const char* CmdChangedCharacters(int form) {
  // The child cmd that runs the program reads its command line once more,
  // and cmd expands "%" inside quotes and cannot be told not to.
  return form == kCmdCommandLineForm || form == kCmdBatchLineForm ? "%" : "";
}

int IsOnePath(const char* text) {
  int quoted = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (*p == '"') quoted = !quoted;
    if (*p == ' ' && !quoted) return FindCharDbcs(text, '"') == nullptr;
  }
  return 1;
}

int IsNetworkPath(const char* text) {
  if (text[0] == '"') ++text;
  return text[0] == '\\' && text[1] == '\\';
}

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

std::size_t DropQuotes(char* text) {
  char* to = text;
  for (const char* from = text; *from != '\0'; ++from) {
    if (*from != '"') *to++ = *from;
  }
  *to = '\0';
  return static_cast<std::size_t>(to - text);
}

int IsPlainFileText(const char* text) {
  if (text[0] == ' ') return 0;
  return FindAnyCharDbcs(text, ";<>|") == nullptr;
}

void QuotePathIfBlank(char* text) { QuoteIfHolding(text, PathQuoteTriggers(kCommandLineForm)); }

std::size_t QuotePathPiece(const char* text, int form, char* out) {
  char bare[kPathTextSize];
  CopyPathText(bare, text);
  const std::size_t length = RemoveEnclosingQuotes(bare);
  if (FindAnyCharDbcs(bare, PathQuoteTriggers(form)) == nullptr) {
    std::memcpy(out, bare, length + 1);
    return length;
  }
  out[0] = '"';
  std::memcpy(out + 1, bare, length);
  out[length + 1] = '"';
  out[length + 2] = '\0';
  return length + 2;
}

int IsBatchProgram(const char* text) {
  char name[kPathTextSize];
  ProgramName(text, name);
  const std::size_t length = std::strlen(name);
  return length >= 4 && (EqualsIgnoringCase(name + length - 4, ".bat") ||
                         EqualsIgnoringCase(name + length - 4, ".cmd"));
}

int IsProgramFileName(const char* text) {
  char name[kPathTextSize];
  ProgramName(text, name);
  const std::size_t length = std::strlen(name);
  if (length < 4) return 0;
  for (const char* extension : {".exe", ".com", ".bat", ".cmd"}) {
    if (EqualsIgnoringCase(name + length - 4, extension)) return 1;
  }
  return 0;
}

int IsCommandInterpreter(const char* text) {
  char name[kPathTextSize];
  ProgramName(text, name);
  return EqualsIgnoringCase(name, "cmd") || EqualsIgnoringCase(name, "cmd.exe") ||
         EqualsIgnoringCase(name, "%comspec%");
}

int IsCmdProgram(const char* text) { return IsCommandInterpreter(text) || IsBatchProgram(text); }

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

const char* NameAfterFolder(const char* path) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; p = NextChar(p)) {
    if (CharLength(p) == 1 && (*p == '\\' || *p == '/')) name = p + 1;
  }
  return name;
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
