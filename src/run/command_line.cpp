#include "run/command_line.h"

#include <cstring>
#include <string_view>

#include "expand/file_expansion.h"
#include "support/dbcs.h"
#include "support/path_text.h"

namespace {

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

// The piece appended for a file text: a plain text (its own quotes already
// dropped) holding a character that needs quotes in this form is enclosed in
// double quotes, the backslashes that end it doubled; any other text stands
// as it is.
std::string_view FilePiece(const char* fileText, int plain, int form, char* buffer) {
  if (!plain || FindAnyCharDbcs(fileText, PathQuoteTriggers(form)) == nullptr) return fileText;
  const std::size_t length = std::strlen(fileText);
  const std::size_t backslashes = TrailingBackslashes(fileText);
  buffer[0] = '"';
  std::memcpy(buffer + 1, fileText, length);
  std::memset(buffer + 1 + length, '\\', backslashes);
  buffer[1 + length + backslashes] = '"';
  return std::string_view(buffer, length + backslashes + 2);
}

}  // namespace

int AssembleArgumentText(const ArgumentRows& rows, char* out, std::size_t capacity, int form) {
  if (out == nullptr || capacity == 0) return 0;
  if (!SearchPreStep(form)) return 0;
  // The match is captured before any row is rewritten, so rows above the
  // expanded row see the same match as the rows below it.
  if (g_expansion.search == kSearchOpen && g_expansion.expandedRow < kArgumentRowCount) {
    char expandedText[kRowTextSize];
    CopyPathText(expandedText, rows.row[g_expansion.expandedRow].fileText);
    CaptureMatch(expandedText);
  }

  ArgumentBuilder builder{out, capacity, 0};
  out[0] = '\0';
  for (int index = 0; index < kArgumentRowCount; ++index) {
    const ArgumentRow& row = rows.row[index];
    int separatorOwed = builder.length > 0;

    std::string_view switchText(row.switchText, PathTextLength(row.switchText));
    if (!switchText.empty()) {
      if (!AppendPiece(&builder, separatorOwed, switchText)) return 0;
      separatorOwed = 0;
    }

    char fileText[kRowTextSize];
    CopyPathText(fileText, row.fileText);
    int plain = IsPlainFileText(fileText);
    if (plain) {
      DropQuotes(fileText);
      const int matched = index == g_expansion.expandedRow && g_expansion.search == kSearchOpen &&
                          g_expansion.matchCaptured;
      char rewritten[kRowTextSize];
      if (!(matched ? WriteMatchedPath(fileText, rewritten, form)
                    : RewriteFileText(fileText, rewritten, form))) {
        return 0;
      }
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

int ProgramLineForm(const char* programText, int batch) {
  if (IsCmdProgram(programText)) return batch ? kCmdBatchLineForm : kCmdCommandLineForm;
  return batch ? kBatchLineForm : kCommandLineForm;
}

void MakeBatchProgramText(const char* programText, char* out) {
  std::size_t length = 0;
  if (IsBatchProgram(programText)) {
    std::memcpy(out, "call ", 5);
    length = 5;
  }
  length += QuotePathPiece(programText, kBatchLineForm, out + length);
  out[length] = ' ';
  out[length + 1] = '\0';
}

void MakeDirectProgramText(const char* programText, char* out) {
  CopyPathText(out, programText);
  RemoveEnclosingQuotes(out);
}
