// Command-line assembly: the argument text built from the eight argument rows
// and the two forms of the program text. The path operations it uses live in
// support/path_text.h, the argument rows in params/field_table.h.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/path_text.h"

constexpr std::size_t kArgumentTextCapacity = 512;   // argument text: at most 511 characters
// Every cmd the program starts: its AutoRun commands off, command
// extensions on and delayed expansion off, whatever the registry says, so
// that it reads its line by the same rules everywhere.
inline constexpr char kCmdSwitches[] = "/d /e:on /v:off";
// A batch file as the program runs in a child cmd (the command interpreter
// that the system names in %ComSpec%): the line opens its command with a
// quote the batch file's cmd passes on without reading it as one.
inline constexpr char kChildCmdStart[] = "\"%ComSpec%\" /d /e:on /v:off /c ^\"";
// Program text of a batch line: the child cmd, the quoted text, one blank.
constexpr std::size_t kBatchProgramTextSize = sizeof kChildCmdStart - 1 + kQuotedPathSize + 1;
// A whole batch line: the program text and the argument text, each
// character of it escaped at most once, and the closing quote.
constexpr std::size_t kBatchLineSize = kBatchProgramTextSize + 2 * kArgumentTextCapacity + 2;

struct Expansion;

// Builds the argument text of `rows` into `out` (`capacity` bytes) around
// `expansion`: one command per call, in the given LineForm. A
// plain file text loses its own double quotes (no name holds one) and is
// enclosed in one pair when it needs them; the expanded row names the
// matched file. A file piece enclosed in quotes has the backslashes that end
// it doubled, so the called program does not read the closing quote as part
// of the text.
// Returns 1 when a text was built; 0 when it would not fit, when a file text
// could not be rewritten within 259 characters, or when the file search has
// no (further) match.
int AssembleArgumentText(Expansion* expansion, const ArgumentRows& rows, char* out,
                         std::size_t capacity, int form = kCommandLineForm);

// The LineForm of the commands of `programText`: in a batch file
// (`batch` 1) or started directly, and whether cmd reads its arguments.
int ProgramLineForm(const char* programText, int batch);

// How a batch line starts, up to its arguments, into `out`
// (kBatchProgramTextSize bytes): `programText` as a path piece of a batch
// line (quoted when it needs it, whatever its length) and one blank. A batch
// file as the program runs in a child cmd, so that cmd comes back to the next
// line and neither its folder nor its variables change for the lines after
// it: kChildCmdStart and the program in quotes come first.
void MakeBatchProgramText(const char* programText, char* out);

// The whole batch line (without CR LF) of `programText` with `arguments`
// into `out` (`size` bytes; kBatchLineSize holds every line). The command
// that a child cmd reads (a batch file's, or what follows "/c" or "/k" of
// cmd.exe as the program) stands between two quotes that the batch file's
// cmd passes on (^"), every "^ & | < > ( )" of it outside quotes escaped
// with "^", so that the child reads it as written. Returns 1, or 0 (with
// `out` empty) when the line does not fit.
int ComposeBatchLine(const char* programText, const char* arguments, char* out, std::size_t size);

// The command that cmd.exe runs within the `arguments` given to it.
struct InterpreterCommand {
  std::size_t start;    // where the command starts: after "/c" or "/k" and its blanks
  const char* command;  // the command meant: a pair of quotes the user put
  std::size_t length;   // around it for cmd to strip is not part of it
};

// Finds the switch "/c" or "/k" of cmd.exe (in any case, a whole word
// outside quotes) in `arguments`. Returns 0 when there is none.
int FindInterpreterCommand(const char* arguments, InterpreterCommand* found);

// 1 when `text` ends in a caret that cmd would read as escaping what comes
// after the text (outside quotes, itself not escaped): at the end of a
// batch line it would join the next line, before a closing quote it would
// be lost. Such a caret is written twice.
int EndsInEscapingCaret(const char* text);

// What runs a program, which decides the form of every line that starts it.
enum ProgramKind : int {
  kPlainProgram = 0,        // started as it is
  kBatchProgram = 1,        // a batch file (.bat, .cmd): a child cmd runs it
  kInterpreterProgram = 2,  // cmd.exe itself: it reads what follows "/c" or "/k"
};

// The form of a command's line, decided once for both modes: the kind of
// its program and, for cmd.exe, the command after its "/c" or "/k".
struct CommandShape {
  int kind;                    // ProgramKind
  int switched;                // cmd.exe with "/c" or "/k": `command` tells where
  InterpreterCommand command;
};

// The shape of `programText` started with `arguments` (null for none).
CommandShape ShapeOfCommand(const char* programText, const char* arguments);

// Program text for a direct run as the run list shows it: `programText`
// with one enclosing pair of double quotes removed, into `out` (kRowTextSize
// bytes). The launch quotes it in the command line (ComposeCommandLine).
void MakeDirectProgramText(const char* programText, char* out);
