// Writing the batch file of the main dialog's parameter set (Run, Confirm
// and Save), and the Save command with its save dialog. The bytes are
// composed by run/batch_file.h (WriteCommandLines writes one block there).
#pragma once

#include <windows.h>

#include <cstddef>

#include "run/batch_file.h"

// Writes the batch file of the dialog's parameter set to `path`, or to
// g_batchFilePath when path is null. Returns 1 when the whole file was
// written; 0 after telling the user why not: the file could not be created
// or written completely (the system's text under "タビクス：バッチファイル出力"),
// a command did not fit (program error 0 under "タビクス：実行コマンド作成"),
// or the directory walk ran out of memory (its own message).
int WriteBatchFile(HWND dialog, const char* path);

// Reads what the batch file is made from out of the dialog's controls.
void ReadBatchInput(HWND dialog, BatchInput* input);

// Shows the save dialog with `buffer`'s text as the proposed name. On OK
// copies the chosen path into `buffer` (at most size - 1 bytes, whole
// characters) and returns 1; on cancel or failure returns 0 and leaves it.
int ChooseBatchFileName(HWND dialog, char* buffer, std::size_t size);

// The Save command (button 1047): proposes the current set name, then writes
// the batch file to the chosen path. Nothing is run.
void SaveBatchAs(HWND dialog);
