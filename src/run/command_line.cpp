#include "run/command_line.h"

#include <cstring>
#include <string_view>

#include "expand/file_expansion.h"
#include "support/dbcs.h"

char g_currentFolderName[kRowTextSize] = "";
int g_currentFolderNameFromDisk = 0;

namespace {

// Length of a text held in a row buffer: at most 259 characters count.
std::size_t RowTextLength(const char* text) { return strnlen(text, kRowTextSize - 1); }

// Copies a row text, cut to 259 characters, into a 260-byte buffer.
void CopyRowText(char* out, const char* text) {
  std::size_t length = RowTextLength(text);
  std::memcpy(out, text, length);
  out[length] = '\0';
}

// 1 when the last character of `text` is a backslash (a trail byte 0x5C of a
// two-byte character is not one).
int EndsWithBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) last = p;
  return last != nullptr && CharLength(last) == 1 && *last == '\\';
}

// Characters that make a path piece need enclosing quotes in a line of each
// form: cmd reads "&" and "^" in a batch line, a blank splits both.
const char* QuoteTriggers(int form) { return form == kBatchLineForm ? " &^" : " "; }

// Number of backslashes (single-byte characters) that end `text`.
std::size_t TrailingBackslashes(const char* text) {
  std::size_t count = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    count = (CharLength(p) == 1 && *p == '\\') ? count + 1 : 0;
  }
  return count;
}

// Removes enclosing quotes of `text` (a 260-byte buffer) and encloses it in
// double quotes when it holds one of `triggers` and the quotes fit.
void QuoteIfHolding(char* text, const char* triggers) {
  text[kRowTextSize - 1] = '\0';
  std::size_t length = RemoveEnclosingQuotes(text);
  if (length >= kRowTextSize - 2) return;  // quoting would not fit the buffer
  if (FindAnyCharDbcs(text, triggers) == nullptr) return;
  std::memmove(text + 1, text, length);
  text[0] = '"';
  text[length + 1] = '"';
  text[length + 2] = '\0';
}

// The argument text being built, within its capacity.
struct ArgumentBuilder {
  char* out;
  std::size_t capacity;
  std::size_t length;
};

// Appends an optional blank and then `piece`. Returns 0, appending nothing,
// when the text would reach the capacity.
int AppendPiece(ArgumentBuilder* builder, int blank, std::string_view piece) {
  std::size_t needed = (blank ? 1 : 0) + piece.size();
  if (builder->length + needed >= builder->capacity) return 0;
  if (blank) builder->out[builder->length++] = ' ';
  std::memcpy(builder->out + builder->length, piece.data(), piece.size());
  builder->length += piece.size();
  builder->out[builder->length] = '\0';
  return 1;
}

// A file piece in quotes: the text, its ending backslashes doubled, and the
// two quotes.
constexpr std::size_t kFilePieceSize = 2 * kRowTextSize + 2;

// The piece appended for a file text: a plain text holding a character that
// needs quotes in this form is enclosed in double quotes exactly once, the
// backslashes that end it doubled; any other text stands as it is.
std::string_view FilePiece(const char* fileText, int plain, int form, char* buffer) {
  if (!plain || FindAnyCharDbcs(fileText, QuoteTriggers(form)) == nullptr) return fileText;
  char text[kRowTextSize];
  CopyRowText(text, fileText);
  std::size_t length = RemoveEnclosingQuotes(text);
  std::size_t backslashes = TrailingBackslashes(text);
  buffer[0] = '"';
  std::memcpy(buffer + 1, text, length);
  std::memset(buffer + 1 + length, '\\', backslashes);
  buffer[1 + length + backslashes] = '"';
  return std::string_view(buffer, length + backslashes + 2);
}

}  // namespace

std::size_t RemoveEnclosingQuotes(char* text) {
  std::size_t length = std::strlen(text);
  if (length == 0 || text[0] != '"') return length;
  std::memmove(text, text + 1, length);  // moves the terminator too
  --length;
  if (length > 0 && text[length - 1] == '"') text[--length] = '\0';
  return length;
}

int AssembleArgumentText(const ArgumentRows& rows, char* out, std::size_t capacity, int form) {
  if (out == nullptr || capacity == 0) return 0;
  if (!SearchPreStep()) return 0;
  // The match is captured before any row is rewritten, so rows above the
  // expanded row see the same match as the rows below it.
  if (g_expansion.search == kSearchOpen && g_expansion.expandedRow < kArgumentRowCount) {
    char expandedText[kRowTextSize];
    CopyRowText(expandedText, rows.row[g_expansion.expandedRow].fileText);
    CaptureMatch(expandedText);
  }

  ArgumentBuilder builder{out, capacity, 0};
  out[0] = '\0';
  for (const ArgumentRow& row : rows.row) {
    int separatorOwed = builder.length > 0;

    std::string_view switchText(row.switchText, RowTextLength(row.switchText));
    if (!switchText.empty()) {
      if (!AppendPiece(&builder, separatorOwed, switchText)) return 0;
      separatorOwed = 0;
    }

    char fileText[kRowTextSize];
    CopyRowText(fileText, row.fileText);
    int plain = IsPlainFileText(fileText);
    if (plain) {
      char rewritten[kRowTextSize];
      if (!RewriteFileText(fileText, rewritten, form)) return 0;
      std::memcpy(fileText, rewritten, std::strlen(rewritten) + 1);
    }
    if (fileText[0] == '\0') continue;

    char quoted[kFilePieceSize];
    if (!AppendPiece(&builder, separatorOwed || row.spaceOn,
                     FilePiece(fileText, plain, form, quoted))) {
      return 0;
    }
  }

  SearchPostStep();
  return 1;
}

int IsPlainFileText(const char* text) {
  if (text[0] == ' ') return 0;
  return FindAnyCharDbcs(text, ";<>|") == nullptr;
}

void QuotePathIfBlank(char* text) { QuoteIfHolding(text, QuoteTriggers(kCommandLineForm)); }

void QuoteBatchPath(char* text) { QuoteIfHolding(text, QuoteTriggers(kBatchLineForm)); }

int JoinPath(char* out, std::size_t outSize, const char* directory, const char* name) {
  if (outSize > 0) out[0] = '\0';
  if (directory == nullptr || name == nullptr) return 1;
  if (directory[0] == '\0' || name[0] == '\0') return 1;
  // Copies that are too long count as empty, which makes the result empty.
  constexpr std::size_t kCopySize = kRowTextSize + 1;
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

void MakeBatchProgramText(const char* programText, char* out) {
  char text[kRowTextSize];
  CopyRowText(text, programText);
  QuoteBatchPath(text);
  std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  out[length] = ' ';
  out[length + 1] = '\0';
}

void MakeDirectProgramText(const char* programText, char* out) {
  CopyRowText(out, programText);
  RemoveEnclosingQuotes(out);
}
