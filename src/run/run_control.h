// Run control: what the Run and Confirm buttons decide without the system.
#pragma once

#include <cstddef>

// Caption of the direct run's messages; a command that cannot be built is
// reported under kCommandBuildTitle (run/batch_file.h), as batch mode
// reports it: RunErrorTitle gives the caption of a program error.
inline constexpr char kRunTitle[] = "タビクス：実行";
const char* RunErrorTitle(int code);

// Captions of the messages of batch-mode Run and of Confirm.
inline constexpr char kDoubleStartTitle[] = "タビクス：二重起動チェック";
inline constexpr char kConfirmTitle[] = "タビクス：出力確認";

// The file type and verb whose registered command Confirm uses.
inline constexpr char kBatchFileType[] = ".bat";
inline constexpr char kEditVerb[] = "edit";

// The command line of a command registered for a file type, as the shell
// makes it: `command` with each %1, %0, %L and %l replaced by `path`, and
// %* and %2-%9 by nothing; other percent signs stay. When `command` names
// the file nowhere, a blank and `path` in double quotes follow it. Into
// `out` (`capacity` bytes); 0, with `out` empty, when it does not fit.
int ExpandEditCommand(const char* command, const char* path, char* out, std::size_t capacity);
