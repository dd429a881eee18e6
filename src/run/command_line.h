// Command-line assembly: the argument text built from the eight argument rows
// and the two forms of the program text. The path operations it uses live in
// support/path_text.h, the argument rows in params/field_table.h.
#pragma once

#include <cstddef>

#include "params/field_table.h"
#include "support/path_text.h"

constexpr std::size_t kArgumentTextCapacity = 512;   // argument text: at most 511 characters
constexpr std::size_t kBatchProgramTextSize = 261;   // program text, quoted, plus one blank

// Builds the argument text of `rows` into `out` (`capacity` bytes) around the
// current file expansion: one command per call, in the given LineForm. A
// file piece enclosed in quotes has the backslashes that end it doubled, so
// the called program does not read the closing quote as part of the text.
// Returns 1 when a text was built; 0 when it would not fit, when a file text
// could not be rewritten within 259 characters, or when the file search has
// no (further) match.
int AssembleArgumentText(const ArgumentRows& rows, char* out, std::size_t capacity,
                         int form = kCommandLineForm);

// Program text for a batch-file line: `programText` with QuoteBatchPath
// applied and one blank appended, into `out` (kBatchProgramTextSize bytes).
void MakeBatchProgramText(const char* programText, char* out);

// Program text for a direct run: `programText` with one enclosing pair of
// double quotes removed and never quoted again, into `out` (kRowTextSize bytes).
void MakeDirectProgramText(const char* programText, char* out);
