// Command-line assembly: the argument text built from the eight argument rows
// and the two forms of the program text. The path operations it uses live in
// support/path_text.h, the argument rows in params/field_table.h.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/path_text.h"

constexpr std::size_t kArgumentTextCapacity = 512;   // argument text: at most 511 characters
// Program text of a batch line: "call ", the quoted text, one blank.
constexpr std::size_t kBatchProgramTextSize = 5 + kQuotedPathSize + 1;

// Builds the argument text of `rows` into `out` (`capacity` bytes) around the
// current file expansion: one command per call, in the given LineForm. A
// plain file text loses its own double quotes (no name holds one) and is
// enclosed in one pair when it needs them; the expanded row names the
// matched file. A file piece enclosed in quotes has the backslashes that end
// it doubled, so the called program does not read the closing quote as part
// of the text.
// Returns 1 when a text was built; 0 when it would not fit, when a file text
// could not be rewritten within 259 characters, or when the file search has
// no (further) match.
int AssembleArgumentText(const ArgumentRows& rows, char* out, std::size_t capacity,
                         int form = kCommandLineForm);

// The LineForm of the commands of `programText`: in a batch file
// (`batch` 1) or started directly, and whether cmd reads its arguments.
int ProgramLineForm(const char* programText, int batch);

// Program text for a batch-file line into `out` (kBatchProgramTextSize
// bytes): "call " first when the program is a batch file (without it cmd
// would not come back to the next line), `programText` as a path piece of a
// batch line (quoted when it needs it, whatever its length) and one blank.
void MakeBatchProgramText(const char* programText, char* out);

// Program text for a direct run as the run list shows it: `programText`
// with one enclosing pair of double quotes removed, into `out` (kRowTextSize
// bytes). The launch quotes it in the command line (ComposeCommandLine).
void MakeDirectProgramText(const char* programText, char* out);
