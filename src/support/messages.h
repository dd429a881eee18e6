// The texts of the three kinds of failure message every subsystem shows: the
// program's own error table, the texts for ShellExecuteA failure values, and
// the fallback for a system error code without a text. No system calls.
#pragma once

#include <cstddef>

// Shown, with the error code in decimal, when the system has no text for an
// error code.
inline constexpr const char kSystemErrorFallbackFormat[] = "エラーコード %lu";

// Program error codes; ProgramErrorText gives their texts.
enum ProgramError : int {
  kErrorLineTooLong = 0,       // a command line is too long
  kErrorNoMemory = 1,          // memory is not available
  kErrorMemoryUsedUp = 2,      // the memory set aside is used up
  kErrorWildcardDirectory = 3, // a wildcard current directory needs batch mode
  kErrorBatchRunning = 4,      // the batch file is still running
  kErrorRunStopped = 5,        // the run is being stopped
  kErrorRunListOpen = 6,       // a run list is already open
};

// Text of a program error code, or null for a code outside 0-6.
const char* ProgramErrorText(int code);

// Text for a failure value of ShellExecuteA, or null when the value has none
// (every success value, above 32, has none).
const char* ShellErrorText(long long value);

// A run that must not wait for anyone (started with /exit) writes its
// messages to a log instead of showing them: one line per message, the time
// `stamp`, a tab, the title, a tab and the text with every line end and tab
// written as " / ", then CR LF. Returns the length, or -1 when `size` was
// too small (the line is then cut but still ends with CR LF).
int FormatLogLine(char* out, std::size_t size, const char* stamp, const char* title, const char* text);

// Written after a question in the log: the answer the run took.
inline constexpr char kLogAnswerYes[] = "→ はい (/yes)";
inline constexpr char kLogAnswerNo[] = "→ いいえ (/yes がないため)";
