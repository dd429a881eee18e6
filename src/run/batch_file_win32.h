// Writing the batch file of the main dialog's parameter set (Run, Confirm
// and Save), and the Save command with its save dialog. The bytes are
// planned by run/plan.h and printed by run/batch_file.h.
#pragma once

#include <windows.h>

#include <cstddef>

#include "expand/given_files.h"
#include "run/batch_file.h"

// Writes the batch file of the parameter set `set` to `path`, or to
// g_batchFilePath when path is null: composed whole first, then put in the
// place of the old file in one step (support/safe_replace_win32.h). Returns
// 1 when the whole file was written; 0 after telling the user why not, the
// old file then left byte for byte as it was: the file could not be written
// (the system's text under "タビクス：バッチファイル出力"), a command did not
// fit (kErrorLineTooLong under "タビクス：実行コマンド作成"), or the directory
// walk ran out of memory (its own message). `owner` owns the messages.
// With `askAboutTargets`, the targets of the commands are checked first
// (expand/target_check.h) and, when a command carries a mark, the user is
// asked; No writes nothing and returns 0.
// At g_batchFilePath (Run, Confirm) the commands of an empty or relative
// current directory run in or below the working folder even where that is a
// UNC folder (run/plan.h); a file saved to `path` leaves that to whoever
// runs it. With `given`, the files given on the command line are the matches; with
// `planned`, the number of commands planned is put there.
int WriteBatchFile(HWND owner, const ParameterSet& set, const char* path, int askAboutTargets = 0,
                   const GivenFiles* given = nullptr, int* planned = nullptr);

// Shows the save dialog with `buffer`'s text as the proposed name, the
// characters Windows refuses in file names replaced (and no name at all
// should the dialog still refuse it). On OK copies the chosen path into
// `buffer` and returns 1; on cancel or failure returns 0 and leaves it. A
// path longer than size - 1 bytes is never cut: the user is told and 0
// returned.
int ChooseBatchFileName(HWND dialog, char* buffer, std::size_t size);

// The Save command (the button IDC_SAVE_BATCH) for the parameter set `set`: proposes the
// current set name, then writes the batch file to the chosen path. Nothing
// is run.
void SaveBatchAs(HWND dialog, const ParameterSet& set);
