#include "run/command_line.h"

#include <cstring>
#include <string_view>

#include "expand/file_expansion.h"
#include "support/dbcs.h"
#include "support/format_text.h"
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

int AssembleArgumentText(Expansion* expansion, const ArgumentRows& rows, char* out,
                         std::size_t capacity, int form) {
  if (out == nullptr || capacity == 0) return 0;
  expansion->nameLeftOut = 0;
  if (!SearchPreStep(expansion, form)) return 0;
  // The match is captured before any row is rewritten, so rows above the
  // expanded row see the same match as the rows below it.
  if (expansion->search == kSearchOpen && expansion->expandedRow < kArgumentRowCount) {
    char expandedText[kRowTextSize];
    CopyPathText(expandedText, rows.row[expansion->expandedRow].fileText);
    CaptureMatch(expansion, expandedText);
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
    // A plain text of one path loses its own quotes (no name holds one) and
    // is quoted again where it needs it; several paths stay as typed.
    const int path = IsPlainFileText(fileText) && IsOnePath(fileText);
    if (IsPlainFileText(fileText)) {
      if (path) DropQuotes(fileText);
      const int matched = index == expansion->expandedRow && expansion->search == kSearchOpen &&
                          expansion->matchCaptured;
      char rewritten[kRowTextSize];
      if (!(matched ? WriteMatchedPath(*expansion, fileText, rewritten, form)
            : path  ? RewriteOnePath(expansion, fileText, rewritten, form)
                    : RewriteFileText(*expansion, fileText, rewritten, form))) {
        return 0;
      }
      std::memcpy(fileText, rewritten, std::strlen(rewritten) + 1);
    }
    if (fileText[0] == '\0') continue;

    char quoted[kFilePieceSize];
    if (!AppendPiece(&builder, separatorOwed || row.spaceOn,
                     FilePiece(fileText, path, form, quoted))) {
      return 0;
    }
  }

  SearchPostStep(expansion);
  return 1;
}

CommandShape ShapeOfCommand(const char* programText, const char* arguments) {
  CommandShape shape{};
  shape.kind = IsBatchProgram(programText)         ? kBatchProgram
               : IsCommandInterpreter(programText) ? kInterpreterProgram
                                                   : kPlainProgram;
  shape.switched = shape.kind == kInterpreterProgram && arguments != nullptr &&
                   FindInterpreterCommand(arguments, &shape.command);
  return shape;
}

int ProgramLineForm(const char* programText, int batch) {
  if (ShapeOfCommand(programText, nullptr).kind != kPlainProgram) {
    return batch ? kCmdBatchLineForm : kCmdCommandLineForm;
  }
  return batch ? kBatchLineForm : kCommandLineForm;
}

void MakeBatchProgramText(const char* programText, char* out) {
  std::size_t length = 0;
  if (ShapeOfCommand(programText, nullptr).kind == kBatchProgram) {
    // Quoted whatever it holds: the child's command then has more than two
    // quotes, and cmd strips only the pair around it.
    length = sizeof kChildCmdStart - 1;
    std::memcpy(out, kChildCmdStart, length);
    out[length++] = '"';
    CopyPathText(out + length, programText);
    length += RemoveEnclosingQuotes(out + length);
    out[length++] = '"';
  } else {
    length = QuotePathPiece(programText, kBatchLineForm, out);
  }
  out[length] = ' ';
  out[length + 1] = '\0';
}

namespace {

// Appends `length` bytes of `text` for a child cmd that reads it after the
// batch file's cmd: every character the batch file's cmd would act on
// outside quotes gets a caret, so it reaches the child as written.
void PutForChildCmd(LineWriter* writer, const char* text, std::size_t length) {
  int quoted = 0;
  for (const char* p = text; p < text + length && *p != '\0'; p = NextChar(p)) {
    if (*p == '"') quoted = !quoted;
    if (!quoted && CharLength(p) == 1 && std::strchr("^&|<>()", *p) != nullptr) Put(writer, "^");
    Put(writer, p, CharLength(p));
  }
}

}  // namespace

int ComposeBatchLine(const char* programText, const char* arguments, char* out, std::size_t size) {
  if (out == nullptr || size == 0) return 0;
  LineWriter writer{out, size, 0, 0};
  char program[kBatchProgramTextSize];
  MakeBatchProgramText(programText, program);
  Put(&writer, program);
  const CommandShape shape = ShapeOfCommand(programText, arguments);
  const InterpreterCommand& found = shape.command;
  const int caret = EndsInEscapingCaret(arguments);
  if (shape.kind == kBatchProgram) {
    PutForChildCmd(&writer, arguments, std::strlen(arguments));
    if (caret) PutForChildCmd(&writer, "^", 1);
    Put(&writer, "^\"");
  } else if (shape.switched && found.length > 0) {
    Put(&writer, arguments, found.start);
    Put(&writer, "^\"");
    PutForChildCmd(&writer, found.command, found.length);
    Put(&writer, "^\"");
  } else {
    Put(&writer, arguments);
    if (caret) Put(&writer, "^");
  }
  return FinishLine(&writer);
}

int EndsInEscapingCaret(const char* text) {
  int quoted = 0;
  int escaping = 0;
  for (const char* p = text; *p != '\0'; p = NextChar(p)) {
    if (escaping) {
      escaping = 0;
    } else if (*p == '"') {
      quoted = !quoted;
    } else if (*p == '^' && !quoted) {
      escaping = 1;
    }
  }
  return escaping;
}

int FindInterpreterCommand(const char* arguments, InterpreterCommand* found) {
  int quoted = 0;
  for (const char* p = arguments; *p != '\0'; p = NextChar(p)) {
    if (*p == '"') quoted = !quoted;
    const int wordStart = p == arguments || p[-1] == ' ';
    if (quoted || !wordStart || p[0] != '/' || p[1] == '\0' ||
        std::strchr("cCkK", p[1]) == nullptr || (p[2] != ' ' && p[2] != '\0')) {
      continue;
    }
    const char* command = p + 2;
    while (*command == ' ') ++command;
    std::size_t length = std::strlen(command);
    if (length >= 3 && command[0] == '"' && command[1] == '"' && command[length - 1] == '"') {
      ++command;  // already enclosed for cmd to strip
      length -= 2;
    }
    found->start = static_cast<std::size_t>((p + 2) - arguments);
    while (arguments[found->start] == ' ') ++found->start;
    found->command = command;
    found->length = length;
    return 1;
  }
  return 0;
}

void MakeDirectProgramText(const char* programText, char* out) {
  CopyPathText(out, programText);
  RemoveEnclosingQuotes(out);
}
